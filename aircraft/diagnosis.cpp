#include "aircraft/diagnosis.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <set>

#include "aircraft/cfg_files.h"
#include "aircraft/entry_list.h"
#include "aircraft/texture_check.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "config/profile.h"
#include "config/raw_lines.h"

namespace pw {
namespace {

std::optional<int> fltsim_number(std::string_view name) { return number_after_prefix(name, "fltsim."); }

struct FltsimSection {
  std::size_t position;  // in section_names()
  int number;
  std::string title;     // as the listing reads it
  std::string texture;
};

std::vector<FltsimSection> fltsim_sections(const ProfileDocument& cfg) {
  std::vector<FltsimSection> sections;
  const std::vector<std::string> names = cfg.section_names();
  for (std::size_t p = 0; p < names.size(); ++p) {
    const std::optional<int> n = fltsim_number(names[p]);
    if (!n) continue;
    sections.push_back({p, *n, trim_blanks(cfg.find_in(p, "title").value_or("")),
                        trim_blanks(cfg.find_in(p, "texture").value_or(""))});
  }
  return sections;
}

std::string section_label(int number) { return fltsim_section(number); }

}  // namespace

std::vector<Finding> unsafe_profile_findings(std::string_view bytes, const std::string& file_name) {
  std::vector<Finding> out;
  const bool utf16_bom = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                               (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
  if (utf16_bom) {
    out.push_back({FindingKind::kUnreadable, file_name, "the file is UTF-16 text, not single-byte text"});
    return out;
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    out.push_back({FindingKind::kUnreadable, file_name,
                   "the file starts with a UTF-8 byte order mark, which hides its first section"});
  }
  if (bytes.find('\0') != std::string_view::npos) {
    out.push_back({FindingKind::kUnreadable, file_name, "the file holds NUL bytes"});
  }
  RawLines lines(bytes);
  int line_number = 0;
  for (std::string_view line; lines.next(line);) {
    ++line_number;
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] != '[' || line.find(']', first) != std::string_view::npos) {
      continue;
    }
    const std::string label = "line " + std::to_string(line_number);
    out.push_back({FindingKind::kUnreadable, label, label + " opens a section with '[' but never closes it"});
  }
  return out;
}

std::optional<int> number_after_prefix(std::string_view name, std::string_view prefix) {
  if (!starts_with_ci(name, prefix) || name.size() == prefix.size() || name.size() > prefix.size() + 9) {
    return std::nullopt;
  }
  int n = 0;
  const char* first = name.data() + prefix.size();
  const auto [end, ec] = std::from_chars(first, name.data() + name.size(), n);
  if (ec != std::errc() || end != name.data() + name.size()) return std::nullopt;
  return n;
}

namespace {

void check_numbers(const std::vector<FltsimSection>& sections, const ProfileDocument& cfg, std::vector<Finding>& out) {
  std::map<int, int> uses;
  for (const FltsimSection& s : sections) ++uses[s.number];
  for (const auto& [number, count] : uses) {
    if (count < 2) continue;
    out.push_back({FindingKind::kDuplicateNumber, section_label(number),
                   "[" + section_label(number) + "] is used " + std::to_string(count) +
                       " times; only the first is seen, the others are hidden and may be overwritten"});
  }
  const AircraftListing listing = read_aircraft_entries(cfg);
  const std::set<int> listed(listing.section_numbers.begin(), listing.section_numbers.end());
  std::set<int> reported;
  for (const FltsimSection& s : sections) {
    if (s.title.empty() || listed.count(s.number) || uses[s.number] > 1 || !reported.insert(s.number).second) continue;
    out.push_back({FindingKind::kHiddenEntry, section_label(s.number),
                   "[" + section_label(s.number) + "] (" + s.title +
                       ") comes after a second missing number, so it is never listed"});
  }
}

void check_titles(const std::vector<FltsimSection>& sections, std::vector<Finding>& out) {
  std::map<std::string, std::vector<int>> by_title;
  for (const FltsimSection& s : sections) {
    if (s.title.empty()) {
      out.push_back({FindingKind::kMissingTitle, section_label(s.number),
                     "[" + section_label(s.number) + "] has no title, so it counts as a missing number"});
      continue;
    }
    by_title[to_lower(s.title)].push_back(s.number);
  }
  for (const FltsimSection& s : sections) {
    std::vector<int>& numbers = by_title[to_lower(s.title)];
    if (s.title.empty() || numbers.size() < 2) continue;
    std::string where;
    for (int n : numbers) where += (where.empty() ? "[" : ", [") + section_label(n) + "]";
    out.push_back({FindingKind::kDuplicateTitle, section_label(numbers[0]),
                   "the title \"" + s.title + "\" is used by " + where + "; the simulator cannot tell them apart"});
    numbers.clear();  // one finding per title
  }
}

// What the file's bytes show, from their document parsed once.
std::vector<Finding> cfg_findings(std::string_view bytes, const ProfileDocument& cfg,
                                  const std::vector<FltsimSection>& sections) {
  std::vector<Finding> findings = unsafe_profile_findings(bytes, "Aircraft.cfg");
  check_numbers(sections, cfg, findings);
  check_titles(sections, findings);
  // The kinds in their declared order, each in file order.
  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) { return a.kind < b.kind; });
  return findings;
}

// Entries whose Texture.<texture> folder is gone, then the aircraft's
// Texture.* folders that no entry names.
void check_folders(const std::vector<FltsimSection>& sections, const std::vector<std::string>& folders,
                   std::vector<Finding>& out) {
  std::set<std::string> present;  // lower-case: the listing answers what one look-up per entry would
  for (const std::string& folder : folders) present.insert(to_lower(folder));
  std::set<std::string> named;
  std::set<int> reported;
  for (const FltsimSection& s : sections) {
    if (s.texture.empty()) continue;
    const std::string folder_name = "Texture." + s.texture;
    named.insert(to_lower(folder_name));
    if (s.title.empty() || present.count(to_lower(folder_name)) || !reported.insert(s.number).second) continue;
    out.push_back({FindingKind::kMissingTextureFolder, section_label(s.number),
                   "[" + section_label(s.number) + "] names the folder " + folder_name + ", which does not exist"});
  }
  for (const std::string& folder : folders) {
    if (named.count(to_lower(folder))) continue;
    out.push_back({FindingKind::kOrphanTextureFolder, folder, folder + " is not named by any entry"});
  }
}

}  // namespace

const char* finding_kind_name(FindingKind kind) {
  switch (kind) {
    case FindingKind::kUnreadable: return "unreadable";
    case FindingKind::kDuplicateNumber: return "duplicate-number";
    case FindingKind::kHiddenEntry: return "hidden-entry";
    case FindingKind::kDuplicateTitle: return "duplicate-title";
    case FindingKind::kMissingTitle: return "missing-title";
    case FindingKind::kMissingTextureFolder: return "missing-texture-folder";
    case FindingKind::kOrphanTextureFolder: return "orphan-texture-folder";
    case FindingKind::kMissingFallback: return "missing-fallback";
    case FindingKind::kFallbackGap: return "fallback-gap";
    case FindingKind::kMissingTextureCfg: return "missing-texture-cfg";
    case FindingKind::kMissingThumbnail: return "missing-thumbnail";
    case FindingKind::kTruncatedTexture: return "truncated-texture";
    case FindingKind::kUnusableName: return "unusable-name";
    case FindingKind::kInlineComment: return "inline-comment";
  }
  return "unknown";
}

std::vector<Finding> diagnose_cfg_text(std::string_view cfg_bytes) {
  const ProfileDocument cfg = ProfileDocument::parse(cfg_bytes);
  return cfg_findings(cfg_bytes, cfg, fltsim_sections(cfg));
}

Result<std::vector<Finding>> diagnose_aircraft(FileSystem& fs, const std::string& aircraft_folder) {
  const std::string cfg_path = aircraft_cfg_path(aircraft_folder);
  std::string bytes;
  if (fs.exists(cfg_path)) {
    Result<std::string> read = read_whole_file(fs, cfg_path, kMaxAircraftCfgBytes);
    if (!read) return read.error();
    bytes = std::move(*read);
  }
  const ProfileDocument cfg = ProfileDocument::parse(bytes);
  const std::vector<FltsimSection> sections = fltsim_sections(cfg);
  std::vector<Finding> findings = cfg_findings(bytes, cfg, sections);
  Result<std::vector<std::string>> folders = repaint_folders(fs, aircraft_folder);
  if (!folders) return folders.error();
  check_folders(sections, *folders, findings);
  Result<std::vector<Finding>> textures = check_aircraft_textures(fs, aircraft_folder, cfg);
  if (!textures) return textures.error();
  findings.insert(findings.end(), textures->begin(), textures->end());
  return findings;
}

bool has_kind(const std::vector<Finding>& findings, FindingKind kind) {
  for (const Finding& f : findings) {
    if (f.kind == kind) return true;
  }
  return false;
}

bool is_mended_by_renumbering(const Finding& finding) {
  return finding.kind == FindingKind::kDuplicateNumber || finding.kind == FindingKind::kHiddenEntry;
}

std::string renumbered_cfg_text(std::string_view cfg_bytes) {
  ProfileDocument cfg = ProfileDocument::parse(cfg_bytes);
  int next = 0;
  for (const FltsimSection& s : fltsim_sections(cfg)) cfg.rename_section(s.position, fltsim_section(next++));
  return cfg.serialize();
}

Renumbering renumbering_of(std::string_view cfg_bytes) {
  Renumbering changes;
  int next = 0;
  for (const FltsimSection& s : fltsim_sections(ProfileDocument::parse(cfg_bytes))) {
    if (s.number != next) changes.emplace_back(s.number, next);
    ++next;
  }
  return changes;
}

Result<Renumbering> repair_aircraft_cfg(FileSystem& fs, const std::string& aircraft_folder) {
  const std::string cfg_path = aircraft_cfg_path(aircraft_folder);
  Result<std::string> bytes = read_whole_file(fs, cfg_path, kMaxAircraftCfgBytes);
  if (!bytes) return bytes.error();
  PW_TRY(RefreshAircraftCfgBackup(fs, aircraft_folder));
  PW_TRY(replace_file(fs, cfg_path, renumbered_cfg_text(*bytes)));
  return renumbering_of(*bytes);
}

}  // namespace pw
