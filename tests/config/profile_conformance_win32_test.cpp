// Our profile reader against the platform's own GetPrivateProfileStringA,
// on a corpus of aircraft.cfg files kept beside the test program: every
// section and key the entry listing reads must give the same value.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "aircraft/fltsim_entry.h"
#include "base/file_ops.h"
#include "base/platform/file_system.h"
#include "base/platform/process.h"
#include "base/text.h"
#include "config/profile.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

// Readings where Wine's profile functions are known to answer otherwise
// than Windows itself; they are left out when the test runs under Wine.
struct WineGap {
  const char* file;
  const char* why;
  std::vector<std::pair<std::string, std::string>> readings;  // section, key
};
const WineGap kWineGaps[] = {
    // Windows folds the case of every letter; Wine not that of accented ones.
    {"high_bytes.cfg", "accented name in the other case",
     {{"fltsim.0", "\xC9" "COLE"}, {"FltSim.0", "\xC9" "COLE"}, {"fltsim.2", "\xE9" "cole"},
      {"fltsim.\xC9", "title"}, {"fltsim.\xC9", "TITLE"}, {"\xE9t\xE9", "key"}}},
    // 254 characters between quotes fit the 255-byte buffer and Windows
    // returns them all; Wine drops the last. Shorter and longer ones agree.
    {"long_values.cfg", "quoted value of exactly 254 characters",
     {{"fltsim.0", "kb_Reference"}, {"FltSim.0", "kb_Reference"}, {"fltsim.0", "ui_typerole"},
      {"FltSim.0", "ui_typerole"}, {"fltsim.0", "ui_createdby"}, {"FltSim.0", "ui_createdby"}}},
};

bool running_under_wine() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Why the reading is left out, or nullptr when it is compared.
const char* wine_gap(const std::string& file, const std::string& section, const std::string& key) {
  if (!running_under_wine()) return nullptr;
  for (const WineGap& gap : kWineGaps) {
    for (const auto& [s, k] : gap.readings) {
      if (file == gap.file && section == s && key == k) return gap.why;
    }
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

TEST(ProfileConformance, ReaderAgreesWithThePlatform) {
  const std::string corpus = join_path(executable_folder(), "conformance");
  auto files = list_matching(native_file_system(), join_path(corpus, "*.cfg"), ListFilter::kNormalFiles);
  ASSERT_TRUE(files.ok());
  ASSERT_GE(files->size(), 15u) << "corpus not found in " << corpus;
  // The keys the listing reads, other spellings, and keys that find nothing.
  std::vector<std::string> keys = {"TITLE", "Texture", "editable", "performance", "Category", "max_gross_weight",
                                   "kb reference", "key", "\xE9" "cole", "\xC9" "COLE", "missing_key", "titl",
                                   "title2"};
  for (std::size_t f = 0; f < kFltsimKeyCount; ++f) keys.push_back(fltsim_fields()[f].key);
  const bool code_page_1252 = ::GetACP() == 1252;
  test::TempDir dir;
  std::size_t skipped = 0;
  for (const std::string& name : *files) {
    SCOPED_TRACE(name);
    // Its bytes >= 0x80 mean what they should only in code page 1252.
    if (name == "high_bytes.cfg" && !code_page_1252) {
      std::cout << "left out " << name << ": the system's code page is " << ::GetACP() << ", not 1252\n";
      continue;
    }
    auto bytes = read_whole_file(native_file_system(), join_path(corpus, name), 1 << 20);
    ASSERT_TRUE(bytes.ok()) << bytes.error().message;
    // A file of its own per corpus entry: the platform caches profile files by name.
    dir.write(name, *bytes);
    const std::string path = join_path(dir.path(), name);
    const ProfileDocument document = ProfileDocument::parse(*bytes);
    // The sections the file names, those the listing reads (fltsim.0 up),
    // and spellings that must find them or nothing. An empty name would be
    // a request for the names of all sections.
    std::set<std::string> sections = {"General", "GENERAL", "weight_and_balance", "FLTSIM.1", "FltSim.0",
                                      "fltsim.\xC9", "\xE9t\xE9", "missing", "fltsim.01", "fltsim"};
    for (const std::string& s : document.section_names()) sections.insert(s);
    for (int n = 0; n <= 11; ++n) sections.insert("fltsim." + std::to_string(n));
    sections.erase("");
    int compared = 0, filled = 0;  // filled: not empty on both sides
    for (const std::string& section : sections) {
      for (const std::string& key : keys) {
        const std::string ours = read_profile_value(document, section, key);
        const std::string platform = platform_read(section, key, path);
        const std::string where = name + " [" + cp1252_to_utf8(section) + "] " + cp1252_to_utf8(key);
        if (const char* why = wine_gap(name, section, key)) {
          std::cout << "left out under Wine: " << where << ": " << why << (ours == platform ? " (agrees now)" : "")
                    << "\n";
          ++skipped;
          continue;
        }
        EXPECT_EQ(platform, ours) << where;
        ++compared;
        filled += !ours.empty() && !platform.empty() ? 1 : 0;
      }
    }
    EXPECT_GT(compared, 0);
    // Every file but the empty one holds values both sides must find, so a
    // harness that reads nothing cannot pass.
    if (!bytes->empty()) {
      EXPECT_GT(filled, 0);
    }
  }
  // Every named case must still be met, or the table has gone stale.
  if (running_under_wine() && code_page_1252) {
    EXPECT_EQ(kWineGaps[0].readings.size() + kWineGaps[1].readings.size(), skipped);
  }
}

}  // namespace
}  // namespace pw
