#include "config/parser.h"

#include <gtest/gtest.h>

TEST(Parser, SplitsAtTheDelimiterDroppingEmptyFields) {
  const struct { const char *delimiter, *text; std::vector<std::string> fields; } cases[] = {
      {",", "a,b,,c,", {"a", "b", "c"}}, {",", ",a", {"a"}}, {"|x", "one|two", {"one", "two"}}, {"", "a,b", {"a,b"}}, {",", "", {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    pw::Parser p;
    p.Parse(c.delimiter);
    p.Text(c.text);
    std::vector<std::string> got;
    for (std::int16_t i = 1; i <= p.NumberOfFields(); ++i) got.push_back(p.Field(i).value());
    EXPECT_EQ(c.fields, got);
    EXPECT_EQ(c.text, p.Field(0).value());
    EXPECT_FALSE(p.Field(static_cast<std::int16_t>(p.NumberOfFields() + 1)).ok());
  }
}
