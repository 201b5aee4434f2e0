#include "base/platform/process.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/platform/file_system.h"

namespace pw {
namespace {

TEST(Win32Process, ExecutableFolderIsADrivePathHoldingThisProgram) {
  const std::string folder = executable_folder();
  ASSERT_GT(folder.size(), 3u);
  EXPECT_EQ(':', folder[1]) << folder;
  EXPECT_EQ(std::string::npos, folder.find('/')) << folder;
  EXPECT_NE('\\', folder.back());
  EXPECT_TRUE(native_file_system().exists(folder + "\\paintwell_base_tests.exe")) << folder;
}

}  // namespace
}  // namespace pw
