#include <gtest/gtest.h>

#include <string>

#include "base/platform/file_system.h"
#include "config/profile.h"
#include "support/faulty_file_system.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

const std::string kCfg =
    "[fltsim.0]\r\ntitle=Boeing 737\r\nui_variation=\"  House colours  \"\r\n\r\n[General]\r\natc_type=BOEING\r\n";

class ProfileStoreTest : public ::testing::Test {
 protected:
  ProfileStoreTest() { dir.write("aircraft.cfg", kCfg); }
  std::string read(const char* section, const char* key) { return store.ReadProfileString(section, key, file); }
  Result<void> write(const char* section, const char* key, const char* value, bool quoted = false) {
    return store.WriteProfileString(section, key, value, file, quoted);
  }
  test::TempDir dir;
  ProfileStore store{native_file_system()};
  const std::string file = dir.path() + "\\aircraft.cfg";
};

TEST_F(ProfileStoreTest, ParsesOnceUntilTheFileChanges) {
  for (int i = 0; i < 50; ++i) ASSERT_EQ("BOEING", read("general", "atc_type"));
  EXPECT_EQ(1u, store.parse_count());
  dir.write("aircraft.cfg", kCfg + "[fltsim.1]\r\ntitle=Second\r\n");
  EXPECT_EQ("Second", read("fltsim.1", "title"));
  EXPECT_EQ("Second", read("fltsim.1", "title"));
  EXPECT_EQ(2u, store.parse_count());
  // Its own saves refresh the cache: no parse needed to read them back.
  ASSERT_TRUE(write("fltsim.2", "title", "Third").ok());
  EXPECT_EQ("Third", read("fltsim.2", "title"));
  EXPECT_EQ("Second", read("fltsim.1", "title"));
  EXPECT_EQ(2u, store.parse_count());
}

// Whichever file call fails, the file holds its old bytes and the failure
// is reported, or (a failed folder sync after the rename) the new ones;
// no temporary file is left behind.
TEST_F(ProfileStoreTest, WriteFailingAtEveryStepLeavesOldOrNewFile) {
  const std::string after = kCfg + "[fltsim.1]\r\ntitle=New\r\n";
  test::FaultyFileSystem faulty(native_file_system());
  for (int k = 1;; ++k) {
    SCOPED_TRACE("failing call " + std::to_string(k));
    ASSERT_LT(k, 100);
    dir.write("aircraft.cfg", kCfg);
    ProfileStore fresh(faulty);  // so the read goes through the faults too
    faulty.fail_at(k, ErrorCode::kNoSpace);
    const Result<void> written = fresh.WriteProfileString("fltsim.1", "title", "New", file, false);
    const std::string bytes = dir.read("aircraft.cfg");
    if (faulty.failed_call().empty()) {
      ASSERT_TRUE(written.ok());
      EXPECT_EQ(after, bytes);
      break;
    }
    EXPECT_EQ(written.ok() ? after : kCfg, bytes) << faulty.failed_call();
    const Result<std::vector<DirEntry>> listed = native_file_system().list(dir.path());
    ASSERT_TRUE(listed.ok());
    ASSERT_EQ(1u, listed->size());
    EXPECT_EQ("aircraft.cfg", (*listed)[0].name);
  }
}

}  // namespace
}  // namespace pw
