// A protected file must refuse to be replaced or emptied, as it does on the
// simulator's own platform, even for the superuser and through a rename.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "base/platform/file_system.h"
#include "support/immutable_flag.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

class PosixWriteProtection : public ::testing::Test {
 protected:
  std::string at(const char* rel) const { return dir_.path() + "\\" + rel; }

  // Both refusals on the protected "Aircraft.cfg", named in another case
  // too; the message must say why.
  void expect_refused(const std::string& reason) {
    for (const char* target : {"Aircraft.cfg", "AIRCRAFT.CFG"}) {
      auto renamed = fs_.rename_over(at("new.tmp"), at(target));
      ASSERT_FALSE(renamed.ok());
      EXPECT_EQ(ErrorCode::kAccessDenied, renamed.error().code);
      EXPECT_NE(std::string::npos, renamed.error().message.find(reason)) << renamed.error().message;
      auto created = fs_.create(at(target));
      ASSERT_FALSE(created.ok());
      EXPECT_EQ(ErrorCode::kAccessDenied, created.error().code);
    }
    EXPECT_EQ("old", dir_.read("Aircraft.cfg"));
    EXPECT_EQ("new", dir_.read("new.tmp"));
  }

  FileSystem& fs_ = native_file_system();
  test::TempDir dir_;
};

TEST_F(PosixWriteProtection, ReadOnlyFileIsNeitherReplacedNorEmptied) {
  dir_.write("Aircraft.cfg", "old");
  dir_.write("new.tmp", "new");
  ASSERT_EQ(0, ::chmod(dir_.native("Aircraft.cfg").c_str(), 0444));
  expect_refused("read-only");

  // Write permission for the owner is what counts; once given back, the
  // same rename replaces the file.
  ASSERT_EQ(0, ::chmod(dir_.native("Aircraft.cfg").c_str(), 0600));
  ASSERT_TRUE(fs_.rename_over(at("new.tmp"), at("Aircraft.cfg")).ok());
  EXPECT_EQ("new", dir_.read("Aircraft.cfg"));

  // A read-only source may still move onto a free name, or onto itself in
  // another case.
  ASSERT_EQ(0, ::chmod(dir_.native("Aircraft.cfg").c_str(), 0444));
  ASSERT_TRUE(fs_.rename_over(at("aircraft.cfg"), at("b.txt")).ok());
  ASSERT_TRUE(fs_.rename_over(at("b.txt"), at("B.TXT")).ok());
  EXPECT_EQ("new", dir_.read("B.TXT"));
}

TEST_F(PosixWriteProtection, ImmutableFileIsNeitherReplacedNorEmptied) {
  dir_.write("Aircraft.cfg", "old");
  dir_.write("new.tmp", "new");
  test::ImmutableFlag flag(dir_.native("Aircraft.cfg"));
  if (!flag.ok()) {
    GTEST_SKIP() << "cannot mark files immutable here (needs the superuser and a file system that keeps the flag)";
  }
  expect_refused("immutable");
}

}  // namespace
}  // namespace pw
