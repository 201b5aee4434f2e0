#include "aircraft/texture_check.h"

#include <gtest/gtest.h>

#include <chrono>

#include "base/text.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

using namespace std::literals;
using Found = std::vector<std::pair<FindingKind, std::string>>;

// Each finding's kind, subject and the first word of its explanation (the
// key or file it names).
Found summary(const std::vector<Finding>& findings) {
  Found out;
  for (const Finding& f : findings) out.emplace_back(f.kind, f.subject + " " + f.explanation.substr(0, f.explanation.find(' ')));
  return out;
}

const std::string kCfg = "[fltsim]\r\nfallback.1=..\\texture\r\nfallback.2=..\\..\\Texture\r\n";
const std::string kDds = "DDS pixels";

// An aircraft in <dir>/sim/Plane with its own Texture folder, the
// simulator's Texture folder, and two other repaints with texture.cfg and
// thumbnail.jpg unless `bare_others`.
void write_aircraft(const test::TempDir& dir, bool bare_others) {
  dir.write("sim/Texture/global.bmp", "BM");
  dir.write("sim/Plane/Texture/base.dds", kDds);
  for (const char* other : {"sim/Plane/Texture.B/", "sim/Plane/texture.c/"}) {
    dir.write(std::string(other) + "b.dds", kDds);
    if (bare_others) continue;
    dir.write(std::string(other) + "texture.cfg", kCfg);
    dir.write(std::string(other) + "Thumbnail.JPG", "\xFF\xD8");
  }
}

TEST(TextureCheck, FindsEachFaultOfOneFolder) {
  using K = FindingKind;
  const std::string thumb = "\xFF\xD8";
  using Files = std::vector<std::pair<std::string, std::string>>;
  // files: in Texture.A, "$" standing for the test's folder.
  const struct { const char* name; Files files; bool bare_others; Found expected; } cases[] = {
      {"healthy", {{"texture.cfg", kCfg}, {"thumbnail.jpg", thumb}, {"a.dds", kDds}, {"a.BMP", "BMx"}}, false, {}},
      {"case and absolute fallbacks", {{"TEXTURE.CFG", "[FLTSIM]\nFallback.1=..\\TEXTURE\nfallback.2=$/sim/texture\n"},
                                       {"THUMBNAIL.jpg", thumb}}, false, {}},
      {"quoted, spaced fallback", {{"Texture.cfg", "[fltsim]\nfallback.1 = \"..\\TEXTURE\"\n"}, {"thumbnail.jpg", thumb}}, false, {}},
      {"relative fallback gone", {{"texture.cfg", "[fltsim]\r\nfallback.1=..\\Texture.Base\r\n"}}, true,
       {{K::kMissingFallback, "Texture.A fallback.1"}}},
      {"absolute fallback gone", {{"texture.cfg", "[fltsim]\r\nfallback.1=$/nowhere\r\n"}}, true,
       {{K::kMissingFallback, "Texture.A fallback.1"}}},
      {"gap", {{"texture.cfg", "[fltsim]\r\nfallback.1=..\\texture\r\nfallback.3=..\\gone\r\n"}}, true,
       {{K::kFallbackGap, "Texture.A fallback.2"}}},
      {"doubled and padded keys", {{"texture.cfg", "[fltsim]\nfallback.1=..\\gone\nFALLBACK.1=..\\texture\nfallback.02=x\n"}},
       true, {{K::kMissingFallback, "Texture.A fallback.1"}}},  // the first fallback.1 is read; fallback.2 is none
      {"NUL bytes", {{"texture.cfg", std::string("[fltsim]\r\nfallback.1=..\\texture\0\r\n"sv)}}, true,
       {{K::kUnreadable, "Texture.A texture.cfg:"}}},
      {"forgotten texture.cfg and thumbnail", {{"a.dds", kDds}}, false,
       {{K::kMissingTextureCfg, "Texture.A texture.cfg"}, {K::kMissingThumbnail, "Texture.A thumbnail.jpg"}}},
      {"cut-short textures", {{"a.dds", "DDS"}, {"b.dds", ""}, {"c.bmp", "MB"}, {"d.DDS", kDds}, {"e.txt", ""}}, true,
       {{K::kTruncatedTexture, "Texture.A a.dds"}, {K::kTruncatedTexture, "Texture.A b.dds"},
        {K::kTruncatedTexture, "Texture.A c.bmp"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    write_aircraft(dir, c.bare_others);
    for (const auto& [name, bytes] : c.files) dir.write("sim/Plane/Texture.A/" + name, replace_all(bytes, "$", dir.path()));
    const std::string folder = dir.path() + "\\sim\\Plane\\Texture.A";
    Result<std::vector<Finding>> findings = check_texture_folder(native_file_system(), folder, folder);
    ASSERT_TRUE(findings.ok()) << findings.error().message;
    EXPECT_EQ(c.expected, summary(*findings));
  }
}

// A texture.cfg of many fallbacks is read in one pass; past 1 MB it is
// refused, the limit named.
TEST(TextureCheck, HostileSizesTakeLinearTimeAndTheLimitIsNamed) {
  test::TempDir dir;
  write_aircraft(dir, true);
  std::string cfg = "[fltsim]\r\n";
  for (int n = 1; cfg.size() < 1'048'500; ++n) cfg += "fallback." + std::to_string(n) + "=..\\texture\r\n";
  const std::string folder = dir.path() + "\\sim\\Plane\\Texture.A";
  for (const std::string_view padding : {"", "; past 1 MB"}) {
    dir.write("sim/Plane/Texture.A/texture.cfg", cfg + std::string(100 * padding.size(), ';'));
    const auto start = std::chrono::steady_clock::now();
    Result<std::vector<Finding>> findings = check_texture_folder(native_file_system(), folder, folder);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    const std::string said = findings && !findings->empty() ? findings->front().explanation : "";
    EXPECT_EQ(!padding.empty(), said.find("the limit of 1 MB") != std::string::npos) << said;
  }
}

// A staging folder elsewhere resolves its fallbacks from the folder it will become.
TEST(TextureCheck, StagedFolderIsJudgedWhereItWillBe) {
  test::TempDir dir;
  write_aircraft(dir, false);
  dir.write("stage/~x/texture.cfg", "[fltsim]\r\nfallback.1=..\\texture\r\nfallback.2=..\\Texture.New\\..\\Texture.B\r\n");
  Result<std::vector<Finding>> findings =
      check_texture_folder(native_file_system(), dir.path() + "\\stage\\~x", dir.path() + "\\sim\\Plane\\Texture.New");
  ASSERT_TRUE(findings.ok()) << findings.error().message;
  EXPECT_EQ((Found{{FindingKind::kMissingThumbnail, "Texture.New thumbnail.jpg"}}), summary(*findings));
}

TEST(TextureCheck, AircraftCheckCoversListedEntriesAndInlineComments) {
  test::TempDir dir;
  write_aircraft(dir, false);
  dir.write("sim/Plane/Texture.Old/texture.cfg", "[fltsim]\r\nfallback.1=gone\r\n");  // named by no entry
  dir.write("sim/Plane/texture.c/a.bmp", "");
  const ProfileDocument cfg = ProfileDocument::parse(
      "[fltsim.0]\r\ntitle=B\r\ndescription=Blue; not a comment\r\ntexture = \"B\" ; texture folder\r\n\r\n[fltsim.1]\r\ntitle=C\r\ntexture=c\r\n"
      "[fltsim.2]\r\ntitle=Also C\r\ntexture=C\r\n");
  Result<std::vector<Finding>> findings = check_aircraft_textures(native_file_system(), dir.path() + "\\sim\\Plane", cfg);
  ASSERT_TRUE(findings.ok()) << findings.error().message;
  EXPECT_EQ((Found{{FindingKind::kTruncatedTexture, "texture.c a.bmp"}, {FindingKind::kInlineComment, "fltsim.0 texture"}}),
            summary(*findings));
}

// A name no Windows name may be (a POSIX name may hold a backslash) is
// reported where it lies, never opened, and stops no check.
TEST(TextureCheck, NamesHoldingABackslashAreFindings) {
  if (!test::backslash_is_a_name_byte()) GTEST_SKIP() << "'\\' separates names here";
  test::TempDir dir;
  write_aircraft(dir, false);
  dir.write("sim/Plane/Texture.B/..\\b.dds", "");
  dir.write("sim/Plane/Texture.a\\b/x.dds", kDds);
  const ProfileDocument cfg = ProfileDocument::parse("[fltsim.0]\r\ntitle=B\r\ntexture=B\r\n");
  Result<std::vector<Finding>> findings = check_aircraft_textures(native_file_system(), dir.path() + "\\sim\\Plane", cfg);
  ASSERT_TRUE(findings.ok()) << findings.error().message;
  EXPECT_EQ((Found{{FindingKind::kUnusableName, "Texture.B ..\\b.dds"}, {FindingKind::kUnusableName, "Plane Texture.a\\b"}}),
            summary(*findings));
}

}  // namespace
}  // namespace pw
