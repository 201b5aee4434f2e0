#include "config/ez_cfg.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace pw {
namespace {

TEST(EzCfg, LookupsFollowTheLineRules) {
  const struct {
    const char* name;
    std::string text;
    const char* key;
    std::string expected;
  } cases[] = {
      {"blanks around the equals sign", "folder = SimObjects\\B737 \r\n", "folder", "SimObjects\\B737"},
      {"key case ignored", "FOLDER=SimObjects\\B737", "Folder", "SimObjects\\B737"},
      {"comment in the first column", "//a=1\r\n", "//a", ""},
      {"blank before the comment marker", " //a=1\r\n", "//a", "1"},
      {"two equals signs ignore the line", "a=1=2\r\n", "a", ""},
      {"escaped equals sign", "a=x\xA5" "ey\r\n", "a", "x=y"},
      {"escaped line break", "a=x\xA5ny\r\n", "a", "x\r\ny"},
      {"escapes are lower case only", "a=x\xA5Ny\xA5" "E\r\n", "a", "x\xA5Ny\xA5" "E"},
      {"empty value ignored, later line found", "a=   \r\nA=2\r\n", "a", "2"},
      {"first duplicate wins", "a=1\r\nA=2\r\n", "a", "1"},
      {"tabs stay", "\tb = \tx\t \r\n", "\tb", "\tx\t"},
      {"tabbed key is another key", "\tb=1\r\n", "b", ""},
      {"lone LF stays in the line", "a=1\nb=2\r\n", "b", ""},
      {"lone LF part of the value", "a=1\nb\r\n", "a", "1\nb"},
      {"lone CR ends a line", "a=1\rb=2", "b", "2"},
      {"last line without line end", "a=1\r\nb=2", "b", "2"},
      {"missing key", "a=1\r\n", "c", ""},
      {"empty file", "", "a", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EZ_CFG cfg(native_file_system());
    cfg.ReadCFGText(c.text);
    EXPECT_EQ(c.expected, cfg.GetValue(c.key));
  }
}

TEST(EzCfg, NumericalLookupGivesLeadingNumber) {
  const struct {
    const char* value;  // nullptr: key missing
    const char* expected;
  } cases[] = {
      {nullptr, "0"}, {"12.5abc", "12.5"}, {"abc", "0"},   {"-3", "-3"},     {"+4", "4"},      {"1e2", "100"},
      {"2D3x", "2000"}, {"1.5e", "1.5"},   {"12.50", "12.5"}, {"007", "7"},  {".5", "0.5"},    {"-.25m", "-0.25"},
      {"5.", "5"},      {"-0", "0"},       {"\t42", "42"},  {"1e400", "0"},  {"0.1", "0.1"},   {"1/3", "1"},
      {"1234567890123456789", "1.23456789012346E+18"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value ? c.value : "(missing)");
    EZ_CFG cfg(native_file_system());
    cfg.ReadCFGText(c.value ? std::string("n=") + c.value : std::string("other=1"));
    EXPECT_EQ(c.expected, cfg.GetValue("n", true));
  }
}

TEST(EzCfg, ReadsReplaceOldPairsAndToleratesMissingOrUnreadableFiles) {
  test::TempDir dir;
  EZ_CFG cfg(native_file_system());
  EXPECT_EQ(3, cfg.ReadCFGText("// header\r\na=1\r\nbad line\r\nb=\r\nc=3\r\nx=1=2\r\nd = 4"));
  EXPECT_EQ("4", cfg.GetValue("D"));
  dir.write("Aircraft.rcf", "folder=SimObjects\\Airplanes\\B737\r\ntitle=Boeing\r\n");
  EXPECT_EQ(2, cfg.ReadCFG(dir.path() + "\\Aircraft.rcf"));
  EXPECT_EQ("", cfg.GetValue("a"));
  EXPECT_EQ("Boeing", cfg.GetValue("TITLE"));
  for (const std::string& unreadable : {dir.path() + "\\missing.rcf", dir.path()}) {
    SCOPED_TRACE(unreadable);
    ASSERT_EQ(2, cfg.ReadCFG(dir.path() + "\\Aircraft.rcf"));
    EXPECT_EQ(0, cfg.ReadCFG(unreadable));
    EXPECT_EQ("", cfg.GetValue("title"));
  }
}

TEST(EzCfg, WritesPairsInOrderEscapedAndReportsFailures) {
  test::TempDir dir;
  EZ_CFG cfg(native_file_system());
  cfg.InitCFG();
  EXPECT_TRUE(cfg.AddToCFG(" folder ", "SimObjects\\Airplanes\\B737"));
  EXPECT_TRUE(cfg.AddToCFG("information", " Line one\r\nx=y "));
  EXPECT_TRUE(cfg.AddToCFG("FOLDER", "Other"));
  EXPECT_FALSE(cfg.AddToCFG("  ", "ignored"));
  EXPECT_EQ("Line one\r\nx=y", cfg.GetValue("information"));
  ASSERT_TRUE(cfg.WriteCFG(dir.path() + "\\out.rcf"));
  EXPECT_EQ("folder=Other\r\ninformation=Line one\xA5nx\xA5" "ey\r\n", dir.read("out.rcf"));
  EZ_CFG back(native_file_system());
  EXPECT_EQ(2, back.ReadCFG(dir.path() + "\\out.rcf"));
  EXPECT_EQ("Line one\r\nx=y", back.GetValue("information"));
  // Added pairs follow those read.
  ASSERT_EQ(3, back.ReadCFGText("a=1\r\nb=2\r\nc=3\r\n"));
  EXPECT_TRUE(back.AddToCFG("d", "4"));
  ASSERT_TRUE(back.WriteCFG(dir.path() + "\\out.rcf"));
  EXPECT_EQ("a=1\r\nb=2\r\nc=3\r\nd=4\r\n", dir.read("out.rcf"));
  // Without a read first the object starts empty, with no empty line
  // written; after a read that stored nothing the one empty pair is reused.
  EZ_CFG fresh(native_file_system());
  EXPECT_TRUE(fresh.AddToCFG("k", "v"));
  ASSERT_TRUE(fresh.WriteCFG(dir.path() + "\\fresh.rcf"));
  EXPECT_EQ("k=v\r\n", dir.read("fresh.rcf"));
  ASSERT_EQ(0, fresh.ReadCFGText("none"));
  EXPECT_TRUE(fresh.AddToCFG("j", "w"));
  ASSERT_TRUE(fresh.WriteCFG(dir.path() + "\\fresh.rcf"));
  EXPECT_EQ("j=w\r\n", dir.read("fresh.rcf"));

  // Failures are reported; that the old file stays whole is file_ops_test's.
  EXPECT_FALSE(fresh.WriteCFG(dir.path() + "\\missing\\out.rcf"));
  EXPECT_FALSE(fresh.WriteCFG(dir.path()));  // a folder cannot be replaced by a file
}

}  // namespace
}  // namespace pw
