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
  // In the one form both builds write, shown natively where it is shown.
  EXPECT_EQ(normal_path(folder), folder);
  EXPECT_EQ(std::string::npos, folder.find('/'));
  const std::string native = native_file_system().native_path(folder);
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(native) / "paintwell_base_tests")) << native;
}

TEST(Process, ArgumentsLeaveOutTheProgramName) {
  char program[] = "paintwell-cli", command[] = "list", operand[] = "a.rcf";
  char* argv[] = {program, command, operand};
  EXPECT_EQ((std::vector<std::string>{"list", "a.rcf"}), program_arguments(3, argv));
}

}  // namespace
}  // namespace pw
