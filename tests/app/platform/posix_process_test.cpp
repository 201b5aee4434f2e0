#include "base/platform/process.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_ops.h"
#include "base/platform/file_system.h"
#include "base/text.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

TEST(Process, ExecutableFolderHoldsThisProgram) {
  const std::string folder = executable_folder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(normal_path(folder), folder);  // the one form both builds write
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(native_file_system().native_path(folder)) / "paintwell_base_tests"));
}

TEST(Process, ArgumentsLeaveOutTheProgramName) {
  char program[] = "paintwell-cli", command[] = "list", operand[] = "a.rcf";
  char* argv[] = {program, command, operand};
  EXPECT_EQ((std::vector<std::string>{"list", "a.rcf"}), program_arguments(3, argv));
}

}  // namespace
}  // namespace pw
