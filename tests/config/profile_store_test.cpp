#include <gtest/gtest.h>

#include <string>

#include "app/platform/file_system.h"
#include "config/profile.h"
#include "support/faulty_file_system.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

const std::string kCfg =
    "[fltsim.0]\r\n"
    "title=Boeing 737\r\n"
    "ui_variation=\"  House colours  \"\r\n"
    "\r\n"
    "[General]\r\n"
    "atc_type=BOEING\r\n";

TEST(ProfileStore, ReadsGiveValueOrEmptyText) {
  test::TempDir dir;
  dir.write("aircraft.cfg", kCfg);
  ProfileStore store(native_file_system());
  const std::string file = dir.path() + "\\aircraft.cfg";
  EXPECT_EQ("Boeing 737", store.ReadProfileString("FLTSIM.0", "TITLE", file));
  EXPECT_EQ("House colours", store.ReadProfileString("fltsim.0", "ui_variation", file));
  EXPECT_EQ("", store.ReadProfileString("fltsim.0", "model", file));
  EXPECT_EQ("", store.ReadProfileString("fltsim.1", "title", file));
  EXPECT_EQ("", store.ReadProfileString("fltsim.0", "title", dir.path() + "\\missing.cfg"));
  EXPECT_EQ("", store.ReadProfileString("fltsim.0", "title", dir.path()));  // a folder is no file
}

TEST(ProfileStore, ParsesOnceUntilTheFileChanges) {
  test::TempDir dir;
  dir.write("aircraft.cfg", kCfg);
  ProfileStore store(native_file_system());
  const std::string file = dir.path() + "\\aircraft.cfg";
  for (int i = 0; i < 50; ++i) ASSERT_EQ("BOEING", store.ReadProfileString("general", "atc_type", file));
  EXPECT_EQ(1u, store.parse_count());

  dir.write("aircraft.cfg", kCfg + "[fltsim.1]\r\ntitle=Second\r\n");
  EXPECT_EQ("Second", store.ReadProfileString("fltsim.1", "title", file));
  EXPECT_EQ("Second", store.ReadProfileString("fltsim.1", "title", file));
  EXPECT_EQ(2u, store.parse_count());

  // Its own saves refresh the cache: no parse needed to read them back.
  ASSERT_TRUE(store.WriteProfileString("fltsim.2", "title", "Third", file, false).ok());
  EXPECT_EQ("Third", store.ReadProfileString("fltsim.2", "title", file));
  EXPECT_EQ("Second", store.ReadProfileString("fltsim.1", "title", file));
  EXPECT_EQ(2u, store.parse_count());
}

TEST(ProfileStore, WritesGiveExactBytes) {
  test::TempDir dir;
  dir.write("aircraft.cfg", kCfg);
  ProfileStore store(native_file_system());
  const std::string file = dir.path() + "\\aircraft.cfg";
  ASSERT_TRUE(store.WriteProfileString("FLTSIM.0", "ui_variation", "Blue", file, true).ok());
  ASSERT_TRUE(store.WriteProfileString("fltsim.0", "texture", "blue", file, false).ok());
  ASSERT_TRUE(store.WriteProfileString("fltsim.1", "visual_damage", "0\r\n", file, false).ok());
  EXPECT_EQ(
      "[fltsim.0]\r\n"
      "title=Boeing 737\r\n"
      "ui_variation=\"Blue\"\r\n"
      "texture=blue\r\n"
      "\r\n"
      "[General]\r\n"
      "atc_type=BOEING\r\n"
      "[fltsim.1]\r\n"
      "visual_damage=0\r\n"
      "\r\n",
      dir.read("aircraft.cfg"));
  EXPECT_EQ("Blue", store.ReadProfileString("fltsim.0", "ui_variation", file));
  // A fresh store reads what is on disk, not a cache.
  ProfileStore fresh(native_file_system());
  EXPECT_EQ("Blue", fresh.ReadProfileString("fltsim.0", "ui_variation", file));
}

TEST(ProfileStore, WriteCreatesMissingFile) {
  test::TempDir dir;
  ProfileStore store(native_file_system());
  const std::string file = dir.path() + "\\new.cfg";
  EXPECT_EQ("", store.ReadProfileString("s", "k", file));  // caches the file as missing
  ASSERT_TRUE(store.WriteProfileString("s", "k", "v", file, false).ok());
  EXPECT_EQ("[s]\r\nk=v\r\n", dir.read("new.cfg"));
  EXPECT_EQ("v", store.ReadProfileString("s", "k", file));
}

TEST(ProfileStore, RefusedWriteIsReportedAndChangesNothing) {
  test::TempDir dir;
  ProfileStore store(native_file_system());
  const std::string file = dir.path() + "\\no such folder\\aircraft.cfg";
  const Result<void> written = store.WriteProfileString("s", "k", "v", file, false);
  ASSERT_FALSE(written.ok());
  EXPECT_EQ(ErrorCode::kNotFound, written.error().code);
  EXPECT_FALSE(dir.exists("no such folder"));
  EXPECT_EQ("", store.ReadProfileString("s", "k", file));
}

TEST(ProfileStore, DeleteSection) {
  test::TempDir dir;
  dir.write("aircraft.cfg", kCfg);
  ProfileStore store(native_file_system());
  const std::string file = dir.path() + "\\aircraft.cfg";
  const auto stamp = native_file_system().stamp(file);
  ASSERT_TRUE(store.DeleteProfileSection("fltsim.9", file).ok());
  EXPECT_EQ(stamp, native_file_system().stamp(file));  // not rewritten at all
  ASSERT_TRUE(store.DeleteProfileSection("FLTSIM.0", file).ok());
  EXPECT_EQ("[General]\r\natc_type=BOEING\r\n", dir.read("aircraft.cfg"));
  EXPECT_EQ("", store.ReadProfileString("fltsim.0", "title", file));
  EXPECT_TRUE(store.DeleteProfileSection("x", dir.path() + "\\missing.cfg").ok());
  EXPECT_FALSE(dir.exists("missing.cfg"));
}

// Whichever file call fails, the file holds its old bytes and the failure
// is reported, or (a failed folder sync after the rename) the new ones.
TEST(ProfileStore, WriteFailingAtEveryStepLeavesOldOrNewFile) {
  test::TempDir dir;
  const std::string file = dir.path() + "\\aircraft.cfg";
  const std::string after = kCfg + "[fltsim.1]\r\ntitle=New\r\n";
  test::FaultyFileSystem faulty(native_file_system());
  for (int k = 1;; ++k) {
    SCOPED_TRACE("failing call " + std::to_string(k));
    ASSERT_LT(k, 100);
    dir.write("aircraft.cfg", kCfg);
    ProfileStore store(faulty);  // fresh, so the read goes through the faults too
    faulty.fail_at(k, ErrorCode::kNoSpace);
    const Result<void> written = store.WriteProfileString("fltsim.1", "title", "New", file, false);
    const std::string bytes = dir.read("aircraft.cfg");
    if (faulty.failed_call().empty()) {
      ASSERT_TRUE(written.ok());
      EXPECT_EQ(after, bytes);
      break;
    }
    EXPECT_EQ(written.ok() ? after : kCfg, bytes) << faulty.failed_call();
    EXPECT_EQ((std::vector<std::string>{"aircraft.cfg"}), [&] {
      const Result<std::vector<DirEntry>> listed = native_file_system().list(dir.path());
      std::vector<std::string> names;
      if (listed.ok()) {
        for (const DirEntry& entry : *listed) names.push_back(entry.name);
      }
      return names;
    }()) << "no temporary file is left behind";
  }
}

TEST(ProfileStore, OversizedFileIsRefused) {
  test::TempDir dir;
  dir.write("huge.cfg", "");
  std::filesystem::resize_file(dir.native("huge.cfg"), std::uintmax_t{65} * 1024 * 1024);
  ProfileStore store(native_file_system());
  const auto loaded = store.load(dir.path() + "\\huge.cfg");
  ASSERT_FALSE(loaded.ok());
  EXPECT_EQ(ErrorCode::kRefused, loaded.error().code);
  const Result<void> written = store.WriteProfileString("s", "k", "v", dir.path() + "\\huge.cfg", false);
  EXPECT_FALSE(written.ok());
}

}  // namespace
}  // namespace pw
