#include "config/parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pw {
namespace {

std::vector<std::string> fields_of(const Parser& parser) {
  std::vector<std::string> fields;
  for (std::int16_t i = 1; i <= parser.NumberOfFields(); ++i) fields.push_back(parser.Field(i).value());
  return fields;
}

TEST(Parser, SplitsAtDelimiterDroppingEmptyFields) {
  const struct {
    const char* name;
    const char* delimiter;  // nullptr: the default
    std::string text;
    std::vector<std::string> fields;
  } cases[] = {
      {"three fields", nullptr, "a,b,c", {"a", "b", "c"}},
      {"empty field dropped", nullptr, "a,,b", {"a", "b"}},
      {"trailing delimiter adds nothing", nullptr, "a,b,", {"a", "b"}},
      {"leading delimiter adds nothing", nullptr, ",a", {"a"}},
      {"only delimiters", nullptr, ",,,", {}},
      {"no delimiter: whole text", nullptr, "abc def", {"abc def"}},
      {"blanks are kept", nullptr, " a , b ", {" a ", " b "}},
      {"empty text", nullptr, "", {}},
      {"no delimiter set", "", "a,b", {"a,b"}},
      {"no delimiter, empty text", "", "", {}},
      {"only the first character counts", ";,", "a;b,c", {"a", "b,c"}},
      {"delimiter matched exactly", "x", "aXbxc", {"aXb", "c"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Parser parser;
    if (c.delimiter) parser.Parse(c.delimiter);
    parser.Text(c.text);
    EXPECT_EQ(c.text, parser.Text());
    EXPECT_EQ(c.fields, fields_of(parser));
    EXPECT_EQ(static_cast<std::int16_t>(c.fields.size()), parser.NumberOfFields());
    EXPECT_EQ(c.text, parser.Field(0).value());
    EXPECT_FALSE(parser.Field(static_cast<std::int16_t>(c.fields.size() + 1)).ok());
    EXPECT_FALSE(parser.Field(-1).ok());
  }
}

TEST(Parser, FieldBeforeAnyTextIsAnErrorAndANewDelimiterAppliesFromTheNextText) {
  Parser parser;
  EXPECT_EQ(",", parser.Parse());
  EXPECT_EQ(0, parser.NumberOfFields());
  const Result<std::string> field = parser.Field(0);
  ASSERT_FALSE(field.ok());
  EXPECT_EQ(ErrorCode::kRefused, field.error().code);

  parser.Text("a;b,c");
  parser.Parse(";x");
  EXPECT_EQ(";", parser.Parse());
  EXPECT_EQ((std::vector<std::string>{"a;b", "c"}), fields_of(parser));
  parser.Text("a;b,c");
  EXPECT_EQ((std::vector<std::string>{"a", "b,c"}), fields_of(parser));
  parser.Parse("");
  EXPECT_EQ("", parser.Parse());
  parser.Text("");  // an empty text still replaces the fields
  EXPECT_EQ(0, parser.NumberOfFields());
  EXPECT_EQ("", parser.Field(0).value());

  std::string text;
  for (int i = 0; i < 40000; ++i) text += "f,";
  parser.Parse(",");
  parser.Text(text);
  EXPECT_EQ(32767, parser.NumberOfFields());  // the count stops at its limit
  EXPECT_EQ("f", parser.Field(32767).value());
}

}  // namespace
}  // namespace pw
