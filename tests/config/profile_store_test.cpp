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

// How a value is found and cut is profile_document_test's.
TEST_F(ProfileStoreTest, ReadsGiveValueOrEmptyText) {
  EXPECT_EQ("House colours", read("fltsim.0", "ui_variation"));
  EXPECT_EQ("", read("fltsim.1", "title"));
  EXPECT_EQ("", store.ReadProfileString("fltsim.0", "title", dir.path() + "\\missing.cfg"));
  EXPECT_EQ("", store.ReadProfileString("fltsim.0", "title", dir.path()));  // a folder is no file
}

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

TEST_F(ProfileStoreTest, WritesGiveExactBytes) {
  ASSERT_TRUE(write("FLTSIM.0", "ui_variation", "Blue", true).ok());
  ASSERT_TRUE(write("fltsim.0", "texture", "blue").ok());
  ASSERT_TRUE(write("fltsim.1", "visual_damage", "0\r\n").ok());
  EXPECT_EQ(
      "[fltsim.0]\r\ntitle=Boeing 737\r\nui_variation=\"Blue\"\r\ntexture=blue\r\n\r\n"
      "[General]\r\natc_type=BOEING\r\n[fltsim.1]\r\nvisual_damage=0\r\n\r\n",
      dir.read("aircraft.cfg"));
  EXPECT_EQ("Blue", read("fltsim.0", "ui_variation"));
  // A fresh store reads what is on disk, not a cache.
  ProfileStore fresh(native_file_system());
  EXPECT_EQ("Blue", fresh.ReadProfileString("fltsim.0", "ui_variation", file));

  const std::string created = dir.path() + "\\new.cfg";
  EXPECT_EQ("", store.ReadProfileString("s", "k", created));  // caches the file as missing
  ASSERT_TRUE(store.WriteProfileString("s", "k", "v", created, false).ok());
  EXPECT_EQ("[s]\r\nk=v\r\n", dir.read("new.cfg"));
  EXPECT_EQ("v", store.ReadProfileString("s", "k", created));
}

TEST_F(ProfileStoreTest, RefusedWritesAreReportedAndChangeNothing) {
  const std::string nowhere = dir.path() + "\\no such folder\\aircraft.cfg";
  const Result<void> written = store.WriteProfileString("s", "k", "v", nowhere, false);
  ASSERT_FALSE(written.ok());
  EXPECT_EQ(ErrorCode::kNotFound, written.error().code);
  EXPECT_FALSE(dir.exists("no such folder"));
  EXPECT_EQ("", store.ReadProfileString("s", "k", nowhere));

  dir.write("huge.cfg", "");
  std::filesystem::resize_file(dir.native("huge.cfg"), std::uintmax_t{65} * 1024 * 1024);
  const auto loaded = store.load(dir.path() + "\\huge.cfg");
  ASSERT_FALSE(loaded.ok());
  EXPECT_EQ(ErrorCode::kRefused, loaded.error().code);
  EXPECT_FALSE(store.WriteProfileString("s", "k", "v", dir.path() + "\\huge.cfg", false).ok());
}

TEST_F(ProfileStoreTest, DeleteSection) {
  const auto stamp = native_file_system().stamp(file);
  ASSERT_TRUE(store.DeleteProfileSection("fltsim.9", file).ok());
  EXPECT_EQ(stamp, native_file_system().stamp(file));  // not rewritten at all
  ASSERT_TRUE(store.DeleteProfileSection("FLTSIM.0", file).ok());
  EXPECT_EQ("[General]\r\natc_type=BOEING\r\n", dir.read("aircraft.cfg"));
  EXPECT_EQ("", read("fltsim.0", "title"));
  EXPECT_TRUE(store.DeleteProfileSection("x", dir.path() + "\\missing.cfg").ok());
  EXPECT_FALSE(dir.exists("missing.cfg"));
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
