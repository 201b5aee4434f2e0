#include <gtest/gtest.h>

#include "packages/package_format.h"

namespace pw {
namespace {

TEST(EntryName, RefusesNamesThatCouldEscapeOrMisbehave) {
  struct Case {
    std::string name;
    bool safe;
  } cases[] = {
      {"a320_t.dds", true},
      {"Texture.cfg", true},
      {"thumbnail .jpg", true},
      {".hidden", true},
      {std::string(100, 'n'), true},
      {"Caf\xE9.bmp", true},
      {"console.txt", true},
      {"COM10", true},
      {"LPT0.dds", true},
      {"", false},
      {std::string(101, 'n'), false},
      {".", false},
      {"..", false},
      {"..\\aircraft.cfg", false},
      {"../x", false},
      {"sub/a.dds", false},
      {"C:a.dds", false},
      {"a<b", false}, {"a>b", false}, {"a\"b", false}, {"a|b", false},
      {"a?b", false}, {"a*b", false},
      {"tab\there", false},
      {std::string("nul\0x", 5), false},
      {"\x1F", false},
      {"name.", false},
      {"name ", false},
      {"CON", false},
      {"con.dds", false},
      {"Prn.tar.gz", false},
      {"AUX .txt", false},
      {"nul", false},
      {"COM1", false},
      {"com9.bmp", false},
      {"Lpt5", false},
      {"COM\xB9", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.safe, is_safe_entry_name(c.name));
  }
}

}  // namespace
}  // namespace pw
