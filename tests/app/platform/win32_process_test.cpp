#include "base/platform/process.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "base/platform/file_system.h"
#include "base/text.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

TEST(Win32Process, ExecutableFolderIsADrivePathHoldingThisProgram) {
  const std::string folder = executable_folder();
  ASSERT_GT(folder.size(), 3u);
  EXPECT_EQ(':', folder[1]) << folder;
  EXPECT_EQ(std::string::npos, folder.find('/')) << folder;
  EXPECT_NE('\\', folder.back());
  EXPECT_TRUE(native_file_system().exists(folder + "\\paintwell_tests.exe")) << folder;
}

// Restores the current directory however the test ends.
class CurrentDirectory {
 public:
  CurrentDirectory() : saved_(std::filesystem::current_path()) {}
  ~CurrentDirectory() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
};

TEST(Win32Process, CurrentDirectoryIsWindows1252WithoutTrailingSeparator) {
  test::TempDir dir;
  const std::filesystem::path accented = dir.native(".") / L"Caf\u00E9 \u20AC";
  std::filesystem::create_directory(accented);
  CurrentDirectory restore;
  ASSERT_TRUE(::SetCurrentDirectoryW(accented.c_str()));
  const std::string here = current_directory();
  EXPECT_TRUE(ends_with_ci(here, "\\Caf\xE9 \x80")) << here;
  EXPECT_EQ(dir.path() + "\\Caf\xE9 \x80", here);
  ASSERT_TRUE(::SetCurrentDirectoryW(L"C:\\"));
  EXPECT_EQ("C:\\", current_directory());
}

}  // namespace
}  // namespace pw
