#include "base/platform/file_system.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <tuple>

#include "app/platform/file_system_helpers.h"
#include "support/fifo_watchdog.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

namespace stdfs = std::filesystem;
using test::code_of;
using test::read_all;
using test::write_file;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  std::string at(std::string_view rel) const { return dir_.path() + "\\" + std::string(rel); }

  FileSystem& fs_ = native_file_system();
  test::TempDir dir_;
};

TEST_F(PosixFileSystemTest, Windows1252NamesAreUtf8OnDisk) {
  ASSERT_TRUE(write_file(fs_, at("caf\xE9 \x80.txt"), "x").ok());
  EXPECT_EQ((std::vector<std::string>{"caf\xC3\xA9 \xE2\x82\xAC.txt"}), dir_.names());
  EXPECT_EQ("x", read_all(fs_, at("CAF\xC9 \x80.TXT")));  // É finds é

  dir_.write("\xE4\xB8\xAD.txt", "han");  // a name Windows-1252 cannot spell
  auto listed = fs_.list(dir_.path());
  ASSERT_TRUE(listed.ok());
  std::vector<std::string> names;
  for (const DirEntry& entry : *listed) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"?.txt", "caf\xE9 \x80.txt"}), names);
  EXPECT_EQ("han", read_all(fs_, at("?.txt")));

  dir_.write("\xE5\xAD\x97.txt", "zi");  // another name that lists as "?.txt"
  EXPECT_EQ(ErrorCode::kRefused, code_of(fs_.remove_file(at("?.txt"))));
  EXPECT_EQ(3u, dir_.names().size());
}

TEST_F(PosixFileSystemTest, FifoInPlaceOfACreatedFileIsRefusedWithoutWaiting) {
  ASSERT_EQ(0, ::mkfifo(dir_.native("fifo").c_str(), 0600));
  const auto start = std::chrono::steady_clock::now();
  test::release_fifo_later(dir_.native("fifo").string());
  EXPECT_FALSE(fs_.create(at("fifo")).ok());  // no reader: a blocking open would wait for one
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
}  // namespace pw
