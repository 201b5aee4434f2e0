// The contract of the native file layer that every platform keeps alike:
// reads, writes, stamps and the error codes of each failure.
#include "base/platform/file_system.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "app/platform/file_system_helpers.h"
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

TEST_F(NativeFileSystemTest, FailuresMapToErrorCodes) {
  dir_.write("file.txt", "x");
  dir_.write("full/inner.txt", "x");
  dir_.write("Other.txt", "x");
  using Op = std::function<std::optional<ErrorCode>()>;
  const struct {
    const char* name;
    Op op;
    std::optional<ErrorCode> expected;
  } cases[] = {
      {"open missing", [&] { return code_of(fs_.open_read(at("none.txt"))); }, ErrorCode::kNotFound},
      {"open in missing folder", [&] { return code_of(fs_.open_read(at("no\\x.txt"))); }, ErrorCode::kNotFound},
      {"open under a file", [&] { return code_of(fs_.open_read(at("file.txt\\x"))); }, ErrorCode::kNotFound},
      {"open a folder", [&] { return code_of(fs_.open_read(at("FULL"))); }, ErrorCode::kAccessDenied},
      {"create in missing folder", [&] { return code_of(fs_.create(at("no\\x.txt"))); }, ErrorCode::kNotFound},
      {"create over a folder", [&] { return code_of(fs_.create(at("full"))); }, ErrorCode::kAccessDenied},
      {"create_new existing", [&] { return code_of(fs_.create_new(at("FILE.TXT"))); }, ErrorCode::kExists},
      {"make_folder existing", [&] { return code_of(fs_.make_folder(at("file.txt"))); }, ErrorCode::kExists},
      {"make_folder no parent", [&] { return code_of(fs_.make_folder(at("no\\sub"))); }, ErrorCode::kNotFound},
      {"remove_folder not empty", [&] { return code_of(fs_.remove_folder(at("Full"))); }, ErrorCode::kIo},
      {"remove_folder missing", [&] { return code_of(fs_.remove_folder(at("none"))); }, ErrorCode::kNotFound},
      {"remove_file missing", [&] { return code_of(fs_.remove_file(at("none.txt"))); }, ErrorCode::kNotFound},
      {"remove_file on a folder", [&] { return code_of(fs_.remove_file(at("full"))); }, ErrorCode::kAccessDenied},
      {"rename missing", [&] { return code_of(fs_.rename_over(at("none"), at("x"))); }, ErrorCode::kNotFound},
      {"rename over a folder", [&] { return code_of(fs_.rename_over(at("file.txt"), at("FULL"))); },
       ErrorCode::kAccessDenied},
      {"rename_new onto other case", [&] { return code_of(fs_.rename_new(at("file.txt"), at("OTHER.TXT"))); },
       ErrorCode::kExists},
      {"list a file", [&] { return code_of(fs_.list(at("file.txt"))); }, ErrorCode::kNotFound},
      {"list missing", [&] { return code_of(fs_.list(at("none"))); }, ErrorCode::kNotFound},
      {"sync missing folder", [&] { return code_of(fs_.sync_folder(at("none"))); }, ErrorCode::kNotFound},
      {"NUL in path", [&] { return code_of(fs_.create(at(std::string("a\0b", 3)))); }, ErrorCode::kRefused},
      {"NUL in rename target", [&] { return code_of(fs_.rename_over(at("file.txt"), at(std::string("a\0", 2)))); },
       ErrorCode::kRefused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, c.op());
  }
  EXPECT_EQ("x", dir_.read("file.txt"));
  EXPECT_TRUE(dir_.exists("full/inner.txt"));
  EXPECT_FALSE(dir_.exists("a"));
}

}  // namespace
}  // namespace pw
