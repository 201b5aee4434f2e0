#include "base/file_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

#include "app/platform/file_system_helpers.h"
#include "support/faulty_file_system.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

using test::code_of;

class FileOpsTest : public ::testing::Test {
 protected:
  std::string at(std::string_view rel) const { return dir_.path() + "\\" + std::string(rel); }

  // Fails call k = 1, 2, ... of `op` until it completes. After each run only
  // `names` are in the folder, and `rel` holds `after` if `op` reported
  // success, else `before` with the injected error reported. Gives the names
  // of the calls failed.
  std::set<std::string> run_with_faults(const std::function<Result<void>(FileSystem&)>& op, const std::string& rel,
                                        const std::string& before, const std::string& after,
                                        const std::vector<std::string>& names) {
    std::set<std::string> failed;
    for (int k = 1; k < 50; ++k) {
      test::FaultyFileSystem faulty(native_);
      faulty.fail_at(k, ErrorCode::kNoSpace);
      const Result<void> result = op(faulty);
      SCOPED_TRACE("fault " + std::to_string(k) + " at " + faulty.failed_call());
      EXPECT_EQ(names, dir_.names());
      EXPECT_TRUE(dir_.read(rel) == (result.ok() ? after : before));
      EXPECT_TRUE(result.ok() || result.error().code == ErrorCode::kNoSpace);
      if (faulty.failed_call().empty()) {
        EXPECT_TRUE(result.ok());
        break;
      }
      failed.insert(faulty.failed_call());
      dir_.write(rel, before);
    }
    return failed;
  }

  FileSystem& native_ = native_file_system();
  test::TempDir dir_;
};

TEST_F(FileOpsTest, ReplaceFileLeavesOldOrNewWhicheverStepFails) {
  dir_.write("aircraft.cfg", "old content");
  const auto replace = [&](FileSystem& fs) { return replace_file(fs, at("Aircraft.cfg"), "new content"); };
  // A failed folder sync comes after the rename: the save stands and counts as done.
  EXPECT_EQ((std::set<std::string>{"create", "write", "sync", "close", "rename_over", "sync_folder"}),
            run_with_faults(replace, "aircraft.cfg", "old content", "new content", {"aircraft.cfg"}));
}

std::string patterned(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

TEST_F(FileOpsTest, CopyFileLeavesOldOrFullCopyWhicheverStepFails) {
  const std::string source = patterned(kCopyChunkSize + 3);
  dir_.write("Aircraft.cfg", source);
  dir_.write("Aircraft.001", "old backup");
  const auto copy = [&](FileSystem& fs) { return copy_file(fs, at("aircraft.cfg"), at("aircraft.001")); };
  const std::set<std::string> failed =
      run_with_faults(copy, "Aircraft.001", "old backup", source, {"Aircraft.001", "Aircraft.cfg"});
  for (const char* call : {"open_read", "read_at", "create", "write", "sync", "close", "rename_over"}) {
    EXPECT_EQ(1u, failed.count(call)) << call;
  }
}

// Paths enter in either form and are kept in one: '\\', dots resolved, the root kept.
TEST(NormalPath, OneFormWhateverTheSeparatorsAndDots) {
  EXPECT_EQ("\\home\\u\\x.pkg", absolute_path("/home/u/FSX/Varnel Software", "../..//./x.pkg"));
  EXPECT_EQ("D:\\Planes", absolute_path("/", "D:/../Add-ons/../Planes\\"));
  EXPECT_EQ("\\\\srv\\share\\x", normal_path("//srv/share/../../x"));
  EXPECT_EQ("..\\a", normal_path("x/../../a"));
}

}  // namespace
}  // namespace pw
