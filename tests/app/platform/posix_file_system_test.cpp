#include "base/platform/file_system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <tuple>

#include "app/platform/file_system_helpers.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

namespace stdfs = std::filesystem;
using test::code_of;
using test::read_all;
using test::write_file;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  std::string at(std::string_view rel) const { return dir_.path() + "\\" + std::string(rel); }

  FileSystem& fs_ = native_file_system();
  test::TempDir dir_;
};

TEST_F(PosixFileSystemTest, FindsExistingComponentsWhateverTheirCaseExactNameFirst) {
  dir_.write("Aircraft.cfg", "cfg");
  dir_.write("texture.Blue/Tex.bmp", "blue");
  dir_.write("Texture.Red/x.dds", "red");
  dir_.write("a.txt", "lower");
  dir_.write("A.txt", "upper");
  const struct {
    const char* rel;
    const char* bytes;
  } cases[] = {
      {"aircraft.cfg", "cfg"},
      {"AIRCRAFT.CFG", "cfg"},
      {"Texture.Blue\\tex.BMP", "blue"},
      {"TEXTURE.BLUE/TEX.BMP", "blue"},
      {"texture.red\\X.DDS", "red"},
      {"texture.red\\\\x.dds", "red"},              // doubled separator
      {"texture.blue\\..\\aircraft.CFG", "cfg"},     // ".." goes to the system as it is
      {"TEXTURE.BLUE/./tex.bmp", "blue"},
      {"a.txt", "lower"},  // the exact name wins over its case twins
      {"A.txt", "upper"},
      {"A.TXT", "upper"},  // no exact match: the lowest sorting twin
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rel);
    EXPECT_EQ(c.bytes, read_all(fs_, at(c.rel)));
    EXPECT_TRUE(fs_.exists(at(c.rel)));
  }
  EXPECT_EQ((dir_.native("texture.Blue") / "Tex.bmp").string(), fs_.native_path(at("TEXTURE.BLUE\\TEX.BMP")));
  EXPECT_EQ(dir_.native("Aircraft.cfg").string(), fs_.native_path(at("aircraft.cfg\\")));
  EXPECT_TRUE(fs_.is_folder(at("TEXTURE.BLUE")));
  EXPECT_FALSE(fs_.is_folder(at("AIRCRAFT.CFG")));
  EXPECT_FALSE(fs_.exists(at("texture.green")));
  auto missing = fs_.open_read(at("texture.green"));  // the error names the path and the reason
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(std::string::npos, missing.error().message.find(dir_.native("texture.green").string()));
  EXPECT_NE(std::string::npos, missing.error().message.find("No such file")) << missing.error().message;
}

TEST_F(PosixFileSystemTest, CreatingReusesAnExistingNameOfAnyCase) {
  dir_.write("Aircraft.cfg", "old");
  dir_.write("texture.Blue/a.bmp", "a");
  ASSERT_TRUE(write_file(fs_, at("aircraft.cfg"), "new").ok());
  ASSERT_TRUE(write_file(fs_, at("TEXTURE.BLUE\\b.bmp"), "b").ok());
  EXPECT_EQ((std::vector<std::string>{"Aircraft.cfg", "texture.Blue"}), dir_.names());
  EXPECT_EQ((std::vector<std::string>{"a.bmp", "b.bmp"}), dir_.names("texture.Blue"));
  EXPECT_EQ("new", dir_.read("Aircraft.cfg"));

  EXPECT_EQ(ErrorCode::kExists, code_of(fs_.make_folder(at("Texture.Blue"))));
  ASSERT_TRUE(fs_.create_new(at("texture.BLUE\\c.bmp")).ok());
  EXPECT_TRUE(dir_.exists("texture.Blue/c.bmp"));
  ASSERT_TRUE(fs_.make_folder(at("TEXTURE.BLUE\\Sub")).ok());
  EXPECT_TRUE(stdfs::is_directory(dir_.native("texture.Blue/Sub")));
}

TEST_F(PosixFileSystemTest, RenamesKeepOrChangeCaseAsAsked) {
  dir_.write("Aircraft.cfg", "old");
  dir_.write("~aircraft.cfg.pwtmp", "new");
  const auto before = fs_.stamp(at("aircraft.cfg"));
  ASSERT_TRUE(fs_.rename_over(at("~aircraft.cfg.pwtmp"), at("AIRCRAFT.CFG")).ok());
  EXPECT_EQ((std::vector<std::string>{"Aircraft.cfg"}), dir_.names());
  EXPECT_EQ("new", dir_.read("Aircraft.cfg"));
  const auto after = fs_.stamp(at("aircraft.cfg"));
  ASSERT_TRUE(before && after);
  EXPECT_NE(before->file_id, after->file_id);

  // Naming the source itself in another case renames it to that case.
  ASSERT_TRUE(fs_.rename_over(at("aircraft.cfg"), at("AIRCRAFT.CFG")).ok());
  ASSERT_TRUE(fs_.make_folder(at("texture.blue")).ok());
  ASSERT_TRUE(fs_.rename_new(at("texture.blue"), at("Texture.Blue")).ok());
  EXPECT_EQ((std::vector<std::string>{"AIRCRAFT.CFG", "Texture.Blue"}), dir_.names());

  ASSERT_TRUE(fs_.make_folder(at("texture.red")).ok());
  EXPECT_EQ(ErrorCode::kExists, code_of(fs_.rename_new(at("texture.red"), at("TEXTURE.blue"))));
  ASSERT_TRUE(fs_.rename_new(at("texture.red"), at("Texture.Green")).ok());
  EXPECT_EQ((std::vector<std::string>{"AIRCRAFT.CFG", "Texture.Blue", "Texture.Green"}), dir_.names());
}

TEST_F(PosixFileSystemTest, Windows1252NamesAreUtf8OnDisk) {
  ASSERT_TRUE(write_file(fs_, at("caf\xE9 \x80.txt"), "x").ok());
  EXPECT_EQ((std::vector<std::string>{"caf\xC3\xA9 \xE2\x82\xAC.txt"}), dir_.names());
  EXPECT_EQ("x", read_all(fs_, at("CAF\xC9 \x80.TXT")));  // É finds é

  dir_.write("\xE4\xB8\xAD.txt", "han");  // a name Windows-1252 cannot spell
  auto listed = fs_.list(dir_.path());
  ASSERT_TRUE(listed.ok());
  std::vector<std::string> names;
  for (const DirEntry& entry : *listed) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"?.txt", "caf\xE9 \x80.txt"}), names);
  EXPECT_EQ("han", read_all(fs_, at("?.txt")));
}

TEST_F(PosixFileSystemTest, ListTellsFoldersAndHiddenEntries) {
  dir_.write("a.bmp", "");
  dir_.write(".hidden", "");
  dir_.write("sub/inner.txt", "");
  stdfs::create_directory_symlink(dir_.native("sub"), dir_.native("link"));
  auto listed = fs_.list(dir_.path() + "/");
  ASSERT_TRUE(listed.ok());
  std::vector<std::tuple<std::string, bool, bool>> entries;
  for (const DirEntry& e : *listed) entries.emplace_back(e.name, e.is_folder, e.is_hidden);
  std::sort(entries.begin(), entries.end());
  const std::vector<std::tuple<std::string, bool, bool>> expected = {
      {".hidden", false, true}, {"a.bmp", false, false}, {"link", true, false}, {"sub", true, false}};
  EXPECT_EQ(expected, entries);
}

TEST_F(PosixFileSystemTest, PermissionRefusalIsAccessDenied) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  dir_.write("locked/file.txt", "x");
  stdfs::permissions(dir_.native("locked"), stdfs::perms::owner_read | stdfs::perms::owner_exec);
  EXPECT_EQ(ErrorCode::kAccessDenied, code_of(fs_.create(at("locked\\new.txt"))));
  EXPECT_EQ(ErrorCode::kAccessDenied, code_of(fs_.remove_file(at("locked\\file.txt"))));
  stdfs::permissions(dir_.native("locked"), stdfs::perms::owner_all);
}

}  // namespace
}  // namespace pw
