#include "app/operation_log.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace pw::test {
namespace {

TEST(OperationLog, AppendsInPlaceAfterAWholeRecordAndClosesACutOne) {
  const std::string whole = "2026-12-07 10:00:00 UTC  remove\r\n    result: done\r\n\r\n";
  const struct { const char* name; std::string old_log, kept; bool in_place; } cases[] = {
      {"no log yet", "", "", true},
      {"a whole record", whole, whole, true},
      {"a record cut after its line end", whole + "x  install\r\n", whole + "x  install\r\n\r\n", false},
      {"a record cut inside a line", whole + "x  inst", whole + "x  inst\r\n\r\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    FileSystem& fs = native_file_system();
    const std::string log = operation_log_path(dir.path());
    if (!c.old_log.empty()) dir.write("Paintwell.log", c.old_log);
    const auto before = fs.stamp(log);
    ASSERT_TRUE(append_log_record(fs, dir.path(), {"undo", {"restore point p"}, "done"}).ok());
    const std::string now = dir.read("Paintwell.log");
    ASSERT_TRUE(now.starts_with(c.kept)) << now;
    EXPECT_EQ(format_log_record({"undo", {"restore point p"}, "done"}, now.substr(c.kept.size(), 23)),
              now.substr(c.kept.size()));
    if (before) {
      EXPECT_EQ(c.in_place, before->file_id == fs.stamp(log)->file_id);
    }
  }
}

}  // namespace
}  // namespace pw::test
