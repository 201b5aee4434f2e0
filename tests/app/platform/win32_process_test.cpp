#include "app/platform/process.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/app_context.h"
#include "app/platform/file_system.h"
#include "app/startup.h"
#include "app/text.h"
#include "support/scripted_view.h"
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

// Letters outside ASCII are checked by tools/windows-check.sh, which hands
// the program such a file name; here the count and plain arguments.
TEST(Win32Process, ArgumentsAfterTheProgramName) {
  const std::vector<std::string> args = program_arguments(__argc, __argv);
  ASSERT_EQ(static_cast<std::size_t>(__argc - 1), args.size());
  for (int i = 1; i < __argc; ++i) {
    const std::string narrow = __argv[i];
    const bool plain = std::all_of(narrow.begin(), narrow.end(), [](char c) { return c > 0 && c < 0x7F; });
    if (plain) {
      EXPECT_EQ(narrow, args[i - 1]);
    }
  }
}

// The program installed as users have it, two folders below the root,
// finds FSX.EXE whatever the case of its name.
TEST(Win32Process, SimulatorFoundTwoFoldersAboveTheProgram) {
  test::TempDir dir;
  dir.write("FSX/fsx.exe", "MZ");
  dir.write("FSX/Varnel Software/FSX Paintwell/paintwell.exe", "MZ");
  test::ScriptedView view;
  AppContext ctx(native_file_system(), view);
  const std::string program = dir.path() + "\\FSX\\Varnel Software\\FSX Paintwell";
  ASSERT_TRUE(locate_simulator(ctx, program, ""));
  EXPECT_EQ(dir.path() + "\\FSX", ctx.state.g_SimRoot);
  EXPECT_TRUE(view.messages.empty());

  AppContext elsewhere(native_file_system(), view);
  EXPECT_FALSE(locate_simulator(elsewhere, dir.path() + "\\FSX\\Varnel Software", ""));
  ASSERT_EQ(1u, view.messages.size());
  EXPECT_EQ(kFsxMissingMessage, view.messages[0].text);
}

}  // namespace
}  // namespace pw
