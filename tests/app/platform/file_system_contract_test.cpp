// The contract of the native file layer that every platform keeps alike:
// reads, writes, stamps and the error codes of each failure.
#include "base/platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/platform/file_system_helpers.h"
#include "base/file_ops.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

using test::code_of;
using test::write_file;

class NativeFileSystemTest : public ::testing::Test {
 protected:
  std::string at(std::string_view rel) const { return dir_.path() + "\\" + std::string(rel); }

  FileSystem& fs_ = native_file_system();
  test::TempDir dir_;
};

TEST_F(NativeFileSystemTest, FilesReadWriteAndStamp) {
  auto out = fs_.create(at("data.bin"));
  ASSERT_TRUE(out.ok());
  ASSERT_TRUE((*out)->write(std::string("0123\0" "56789", 10)).ok());
  ASSERT_TRUE((*out)->sync().ok());
  ASSERT_TRUE((*out)->close().ok());
  EXPECT_EQ(ErrorCode::kIo, code_of((*out)->write("late")));
  EXPECT_EQ(ErrorCode::kIo, code_of((*out)->close()));
  EXPECT_TRUE(fs_.sync_folder(dir_.path()).ok());

  auto in = fs_.open_read(at("DATA.BIN"));
  ASSERT_TRUE(in.ok());
  EXPECT_EQ(10, (*in)->size());
  std::string buffer(100, '*');
  auto got = (*in)->read_at(4, buffer);
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(6u, *got);
  EXPECT_EQ(std::string("\0" "56789", 6), buffer.substr(0, 6));
  got = (*in)->read_at(20, buffer);
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(0u, *got);

  const auto first = fs_.stamp(at("data.BIN"));
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(10, first->size);
  EXPECT_GT(first->modified_ns, 0);
  EXPECT_FALSE(fs_.stamp(at("missing.bin")).has_value());
  ASSERT_TRUE(write_file(fs_, at("data.bin"), "longer content").ok());  // emptied and rewritten in place
  const auto second = fs_.stamp(at("data.bin"));
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(14, second->size);
  EXPECT_EQ(first->file_id, second->file_id);
}

// On every platform a link is reported as one and a walk deletes the link,
// never the files of the folder it leads to.
TEST_F(NativeFileSystemTest, RemoveTreeDeletesLinksNotWhatTheyLeadTo) {
  dir_.write("outside/keep.txt", "k");
  dir_.write("tree/own.txt", "o");
  std::error_code error;
  std::filesystem::create_directory_symlink(dir_.native("outside"), dir_.native("tree/link"), error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  EXPECT_TRUE(fs_.is_link(at("tree\\link")));
  remove_tree(fs_, at("tree"));
  EXPECT_FALSE(dir_.exists("tree"));
  EXPECT_EQ("k", dir_.read("outside/keep.txt"));
}

}  // namespace
}  // namespace pw
