#include "app/platform/process.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/text.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

TEST(Process, ExecutableFolderHoldsThisProgram) {
  const std::string folder = executable_folder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE('/', folder.back());
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(cp1252_to_utf8(folder)) / "paintwell_tests"));
}

TEST(Process, ArgumentsLeaveOutTheProgramName) {
  char program[] = "paintwell-cli", command[] = "list", operand[] = "a.rcf";
  char* argv[] = {program, command, operand};
  EXPECT_EQ((std::vector<std::string>{"list", "a.rcf"}), program_arguments(3, argv));
}

TEST(Process, CurrentDirectoryIsACorePath) {
  test::TempDir dir;
  dir.write("caf\xC3\xA9/x", "");
  const std::filesystem::path start = std::filesystem::current_path();
  std::filesystem::current_path("/");
  EXPECT_EQ("/", current_directory());
  std::filesystem::current_path(dir.native("caf\xC3\xA9"));
  const std::string here = current_directory();
  std::filesystem::current_path(start);
  EXPECT_EQ(utf8_to_cp1252(std::filesystem::canonical(dir.native("caf\xC3\xA9")).string()), here);
  EXPECT_TRUE(ends_with_ci(here, "/CAF\xC9")) << here;
  EXPECT_EQ(utf8_to_cp1252(start.string()), current_directory());
}

}  // namespace
}  // namespace pw
