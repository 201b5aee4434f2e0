// Our profile reader against the platform's own GetPrivateProfileStringA,
// on a corpus of aircraft.cfg files kept beside the test program: every
// section and key the entry listing reads must give the same value.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "aircraft/fltsim_entry.h"
#include "app/file_ops.h"
#include "app/platform/file_system.h"
#include "app/platform/process.h"
#include "app/text.h"
#include "config/profile.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

// Windows finds sections and keys without regard to case for every letter;
// Wine does not fold accented letters, so such a name in the other case is
// not found.
constexpr const char* kAccentCase = "accented name in the other case";
// A quoted value whose text between the quotes is exactly 254 characters
// fits the 255-byte buffer, and Windows returns all of it; Wine drops its
// last character (253 come back). Shorter and longer ones agree.
constexpr const char* kQuoted254 = "quoted value of exactly 254 characters";

// Cases where Wine's profile functions are known to answer otherwise than
// Windows itself; they are left out when the test runs under Wine.
struct WineGap {
  const char* file;
  const char* section;
  const char* key;
  const char* why;
};
const WineGap kWineGaps[] = {
    {"high_bytes.cfg", "fltsim.0", "\xC9" "COLE", kAccentCase},
    {"high_bytes.cfg", "FltSim.0", "\xC9" "COLE", kAccentCase},
    {"high_bytes.cfg", "fltsim.2", "\xE9" "cole", kAccentCase},
    {"high_bytes.cfg", "fltsim.\xC9", "title", kAccentCase},
    {"high_bytes.cfg", "fltsim.\xC9", "TITLE", kAccentCase},
    {"high_bytes.cfg", "\xE9t\xE9", "key", kAccentCase},
    {"long_values.cfg", "fltsim.0", "kb_Reference", kQuoted254},
    {"long_values.cfg", "FltSim.0", "kb_Reference", kQuoted254},
    {"long_values.cfg", "fltsim.0", "ui_typerole", kQuoted254},
    {"long_values.cfg", "FltSim.0", "ui_typerole", kQuoted254},
    {"long_values.cfg", "fltsim.0", "ui_createdby", kQuoted254},
    {"long_values.cfg", "FltSim.0", "ui_createdby", kQuoted254},
};

// Files whose bytes >= 0x80 mean what they should only in code page 1252.
bool needs_code_page_1252(const std::string& file) { return file == "high_bytes.cfg"; }

bool running_under_wine() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Why the reading is left out, or nullptr when it is compared.
const char* wine_gap(const std::string& file, const std::string& section, const std::string& key) {
  if (!running_under_wine()) return nullptr;
  for (const WineGap& gap : kWineGaps) {
    if (file == gap.file && section == gap.section && key == gap.key) return gap.why;
  }
  return nullptr;
}

// ReadProfileString through the platform: a 255-byte buffer of blanks, the
// default " ", then NULs to blanks and blanks trimmed.
std::string platform_read(const std::string& section, const std::string& key, const std::string& path) {
  std::string buffer(255, ' ');
  const DWORD copied = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), " ", buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), path.c_str());
  if (copied == 0) return {};
  std::replace(buffer.begin(), buffer.end(), '\0', ' ');
  return trim_blanks(buffer);
}

std::string corpus_folder() { return join_path(executable_folder(), "conformance"); }

std::vector<std::string> corpus_files() {
  auto names = list_matching(native_file_system(), join_path(corpus_folder(), "*.cfg"), ListFilter::kNormalFiles);
  if (!names) return {};
  std::sort(names->begin(), names->end());
  return *names;
}

// The sections the listing reads (fltsim.0 up), those the file names, and
// spellings that must find them or nothing.
std::vector<std::string> sections_to_read(const ProfileDocument& document) {
  std::vector<std::string> sections = document.section_names();
  for (int n = 0; n <= 11; ++n) sections.push_back("fltsim." + std::to_string(n));
  for (const char* extra : {"General", "GENERAL", "weight_and_balance", "FLTSIM.1", "FltSim.0", "fltsim.\xC9",
                            "\xE9t\xE9", "missing", "fltsim.01", "fltsim"}) {
    sections.push_back(extra);
  }
  std::set<std::string> seen;
  std::vector<std::string> unique;
  for (std::string& s : sections) {
    // An empty section name is a request for the names of all sections.
    if (!s.empty() && seen.insert(s).second) unique.push_back(std::move(s));
  }
  return unique;
}

std::vector<std::string> keys_to_read() {
  std::vector<std::string> keys;
  for (std::size_t f = 0; f < kFltsimKeyCount; ++f) keys.push_back(fltsim_fields()[f].key);
  for (const char* extra : {"TITLE", "Texture", "editable", "performance", "Category", "max_gross_weight",
                            "kb reference", "key", "\xE9" "cole", "\xC9" "COLE", "missing_key", "titl", "title2"}) {
    keys.push_back(extra);
  }
  return keys;
}

struct FileOutcome {
  int compared = 0;
  int filled = 0;  // values that are not empty on both sides
  int skipped = 0;
};

FileOutcome compare_file(const std::string& name, const std::string& bytes, const test::TempDir& dir) {
  FileOutcome outcome;
  // A file of its own per corpus entry: the platform caches profile files by name.
  dir.write(name, bytes);
  const std::string path = join_path(dir.path(), name);
  const ProfileDocument document = ProfileDocument::parse(bytes);
  for (const std::string& section : sections_to_read(document)) {
    for (const std::string& key : keys_to_read()) {
      const std::string ours = read_profile_value(document, section, key);
      const std::string platform = platform_read(section, key, path);
      if (const char* why = wine_gap(name, section, key)) {
        std::cout << "left out under Wine: " << name << " [" << cp1252_to_utf8(section) << "] "
                  << cp1252_to_utf8(key) << ": " << why << (ours == platform ? " (agrees now)" : "") << "\n";
        ++outcome.skipped;
        continue;
      }
      EXPECT_EQ(platform, ours) << name << " [" << cp1252_to_utf8(section) << "] " << cp1252_to_utf8(key);
      ++outcome.compared;
      if (!ours.empty() && !platform.empty()) ++outcome.filled;
    }
  }
  return outcome;
}

TEST(ProfileConformance, ReaderAgreesWithThePlatform) {
  const std::vector<std::string> files = corpus_files();
  ASSERT_GE(files.size(), 15u) << "corpus not found in " << corpus_folder();
  const bool code_page_1252 = ::GetACP() == 1252;
  test::TempDir dir;
  int skipped = 0;
  for (const std::string& name : files) {
    SCOPED_TRACE(name);
    if (needs_code_page_1252(name) && !code_page_1252) {
      std::cout << "left out " << name << ": the system's code page is " << ::GetACP() << ", not 1252\n";
      continue;
    }
    auto bytes = read_whole_file(native_file_system(), join_path(corpus_folder(), name), 1 << 20);
    ASSERT_TRUE(bytes.ok()) << bytes.error().message;
    const FileOutcome outcome = compare_file(name, *bytes, dir);
    skipped += outcome.skipped;
    EXPECT_GT(outcome.compared, 0);
    // Every file but the empty one holds values both sides must find, so a
    // harness that reads nothing cannot pass.
    if (!bytes->empty()) {
      EXPECT_GT(outcome.filled, 0);
    }
  }
  // Every named case must still be met, or the table has gone stale.
  if (running_under_wine() && code_page_1252) {
    EXPECT_EQ(static_cast<int>(std::size(kWineGaps)), skipped);
  }
}

// The documented edge cases, straight through the platform, so that a
// corpus that drifted still pins them.
TEST(ProfileConformance, DocumentedEdgeCases) {
  test::TempDir dir;
  const std::string value300(300, 'v');
  const std::string bytes = "[fltsim.0]\r\nlong=" + value300 + "\r\nquoted=\"Sunrise Air\"\r\npadded=   x y   \r\n";
  dir.write("edge.cfg", bytes);
  const std::string path = join_path(dir.path(), "edge.cfg");
  const ProfileDocument document = ProfileDocument::parse(bytes);
  const struct {
    const char* section;
    const char* key;
    std::string expected;
  } cases[] = {
      {"fltsim.0", "long", value300.substr(0, 254)},
      {"fltsim.0", "quoted", "Sunrise Air"},
      {"FLTSIM.0", "PADDED", "x y"},
      {"fltsim.0", "absent", ""},
      {"fltsim.9", "long", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(c.expected, platform_read(c.section, c.key, path));
    EXPECT_EQ(c.expected, read_profile_value(document, c.section, c.key));
  }
  EXPECT_EQ("", platform_read("fltsim.0", "long", join_path(dir.path(), "no such file.cfg")));
}

}  // namespace
}  // namespace pw
