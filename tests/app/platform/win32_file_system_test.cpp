#include "base/platform/file_system.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <tuple>

#include "base/file_ops.h"
#include "base/text.h"
#include "app/platform/file_system_helpers.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

namespace stdfs = std::filesystem;
using test::code_of;
using test::read_all;
using test::write_file;

// Bytes of a file named by a wide path, bypassing the layer under test.
std::string read_native(const stdfs::path& path) {
  const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(4096, '\0');
  DWORD got = 0;
  ::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  ::CloseHandle(h);
  bytes.resize(got);
  return bytes;
}

class Win32FileSystemTest : public ::testing::Test {
 protected:
  std::string at(std::string_view rel) const { return dir_.path() + "\\" + std::string(rel); }
  stdfs::path root() const { return dir_.native("."); }

  std::vector<std::wstring> disk_names() const {
    std::vector<std::wstring> names;
    for (const auto& entry : stdfs::directory_iterator(root())) names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
  }

  FileSystem& fs_ = native_file_system();
  test::TempDir dir_;
};

TEST_F(Win32FileSystemTest, Windows1252NamesBecomeTheirUnicodeLetters) {
  ASSERT_TRUE(write_file(fs_, at("Caf\xE9 \x80.bmp"), "x").ok());
  EXPECT_EQ((std::vector<std::wstring>{L"Caf\u00E9 \u20AC.bmp"}), disk_names());
  EXPECT_EQ("x", read_all(fs_, at("CAF\xC9 \x80.BMP")));  // the file system ignores case, accents included

  // A name Windows-1252 cannot spell is listed with '?' and found again by it.
  std::ofstream(root() / L"\u4E2D\u6587.bmp", std::ios::binary) << "han";
  auto listed = fs_.list(dir_.path());
  ASSERT_TRUE(listed.ok());
  std::vector<std::string> names;
  for (const DirEntry& e : *listed) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"??.bmp", "Caf\xE9 \x80.bmp"}), names);
  EXPECT_EQ("han", read_all(fs_, at("??.bmp")));
  auto copied = copy_file(fs_, at("??.bmp"), at("copy.bmp"));
  ASSERT_TRUE(copied.ok()) << copied.error().message;
  EXPECT_EQ("han", read_native(root() / L"copy.bmp"));
  EXPECT_EQ(ErrorCode::kNotFound, code_of(fs_.open_read(at("???.bmp"))));
}

TEST_F(Win32FileSystemTest, PathsLongerThanMaxPathWork) {
  std::string folder = dir_.path();
  for (int depth = 0; folder.size() < 400; ++depth) {
    folder += "\\Texture.A long folder name for depth " + std::to_string(depth);
    ASSERT_TRUE(fs_.make_folder(folder).ok()) << folder.size();
  }
  const std::string file = folder + "\\Aircraft.cfg";
  ASSERT_GT(file.size(), static_cast<std::size_t>(MAX_PATH));
  ASSERT_TRUE(replace_file(fs_, file, "[fltsim.0]\r\n").ok());
  ASSERT_TRUE(replace_file(fs_, file, "[fltsim.1]\r\n").ok());  // over the old one, by rename
  EXPECT_EQ("[fltsim.1]\r\n", read_all(fs_, file));
  auto listed = fs_.list(folder);
  ASSERT_TRUE(listed.ok());
  ASSERT_EQ(1u, listed->size());
  EXPECT_EQ("Aircraft.cfg", (*listed)[0].name);
  EXPECT_TRUE(fs_.stamp(file).has_value());
  EXPECT_TRUE(fs_.remove_file(file).ok());
  EXPECT_TRUE(fs_.remove_folder(folder).ok());
  EXPECT_FALSE(fs_.exists(folder));
}

TEST_F(Win32FileSystemTest, RenameOverReplacesAndKeepsTheTargetsCase) {
  dir_.write("Aircraft.cfg", "old");
  dir_.write("~aircraft.cfg.pwtmp", "new");
  const auto before = fs_.stamp(at("aircraft.cfg"));
  ASSERT_TRUE(fs_.rename_over(at("~aircraft.cfg.pwtmp"), at("AIRCRAFT.CFG")).ok());
  EXPECT_EQ((std::vector<std::wstring>{L"Aircraft.cfg"}), disk_names());
  EXPECT_EQ("new", dir_.read("Aircraft.cfg"));
  const auto after = fs_.stamp(at("aircraft.cfg"));
  ASSERT_TRUE(before && after);
  EXPECT_NE(before->file_id, after->file_id);
  EXPECT_EQ(3, after->size);

  ASSERT_TRUE(fs_.rename_over(at("aircraft.cfg"), at("AIRCRAFT.CFG")).ok());  // itself, in another case
  ASSERT_TRUE(fs_.make_folder(at("texture.blue")).ok());
  ASSERT_TRUE(fs_.rename_new(at("texture.blue"), at("Texture.Blue")).ok());
  EXPECT_EQ((std::vector<std::wstring>{L"AIRCRAFT.CFG", L"Texture.Blue"}), disk_names());
  ASSERT_TRUE(fs_.make_folder(at("texture.red")).ok());
  EXPECT_EQ(ErrorCode::kExists, code_of(fs_.rename_new(at("texture.red"), at("TEXTURE.blue"))));
}

TEST_F(Win32FileSystemTest, ReadOnlyFilesAreNeverReplacedOrDeleted) {
  dir_.write("aircraft.cfg", "kept");
  dir_.write("new.tmp", "new");
  ASSERT_TRUE(::SetFileAttributesW(dir_.native("aircraft.cfg").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(ErrorCode::kAccessDenied, code_of(fs_.rename_over(at("new.tmp"), at("Aircraft.cfg"))));
  EXPECT_EQ(ErrorCode::kAccessDenied, code_of(replace_file(fs_, at("aircraft.cfg"), "changed")));
  EXPECT_EQ(ErrorCode::kAccessDenied, code_of(fs_.create(at("aircraft.cfg"))));
  EXPECT_EQ(ErrorCode::kAccessDenied, code_of(fs_.remove_file(at("aircraft.cfg"))));
  EXPECT_EQ("kept", dir_.read("aircraft.cfg"));
  EXPECT_EQ("new", dir_.read("new.tmp"));
  EXPECT_FALSE(dir_.exists("~aircraft.cfg.pwtmp"));
  ASSERT_TRUE(::SetFileAttributesW(dir_.native("aircraft.cfg").c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(fs_.rename_over(at("new.tmp"), at("aircraft.cfg")).ok());
  EXPECT_EQ("new", dir_.read("aircraft.cfg"));
}

}  // namespace
}  // namespace pw
