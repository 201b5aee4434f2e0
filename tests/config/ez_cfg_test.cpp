#include "config/ez_cfg.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace pw {
namespace {

TEST(EzCfg, NumericalLookupGivesLeadingNumberAndANewKeyFollowsTheLast) {
  // value: nullptr when the key is missing.
  const struct { const char* value; const char* expected; } cases[] = {
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
  EZ_CFG cfg(native_file_system());
  cfg.ReadCFGText("a=1\r\nb=2");
  EXPECT_TRUE(cfg.AddToCFG("c", "3"));
  EXPECT_EQ("3", cfg.GetValue("c"));
}

}  // namespace
}  // namespace pw
