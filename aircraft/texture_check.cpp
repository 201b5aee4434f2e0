#include "aircraft/texture_check.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <span>
#include <unordered_map>
#include <utility>

#include "aircraft/entry_list.h"
#include "base/file_ops.h"
#include "base/text.h"

namespace pw {
namespace {

constexpr std::string_view kTextureCfg = "texture.cfg";
constexpr std::string_view kThumbnail = "thumbnail.jpg";
constexpr std::string_view kFallbackPrefix = "fallback.";
// texture.cfg holds a handful of lines; anything this large is not one.
constexpr std::int64_t kMaxTextureCfgBytes = std::int64_t{1} << 20;

// One listing of a texture folder: everything the rules need of its names.
struct FolderScan {
  std::string path;  // where the files are now
  std::vector<DirEntry> entries;            // without the names below
  std::vector<std::string> unusable_names;  // holding a separator: never joined to a path
  std::optional<std::string> texture_cfg;  // its name as listed
  bool has_files = false;
  bool has_thumbnail = false;
};

Result<FolderScan> scan_folder(FileSystem& fs, const std::string& path) {
  Result<std::vector<DirEntry>> listed = fs.list(path);
  if (!listed) return listed.error();
  FolderScan scan{path, std::move(*listed), {}, std::nullopt, false, false};
  for (const DirEntry& entry : scan.entries) {
    if (holds_separator(entry.name)) scan.unusable_names.push_back(entry.name);
  }
  std::erase_if(scan.entries, [](const DirEntry& entry) { return holds_separator(entry.name); });
  // Findings in name order, whatever order the native listing gives.
  std::sort(scan.entries.begin(), scan.entries.end(), [](const DirEntry& a, const DirEntry& b) {
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                        [](char x, char y) { return to_lower_byte(x) < to_lower_byte(y); });
  });
  for (const DirEntry& entry : scan.entries) {
    if (entry.is_folder) continue;
    scan.has_files = true;
    if (iequals(entry.name, kTextureCfg)) scan.texture_cfg = entry.name;
    if (iequals(entry.name, kThumbnail)) scan.has_thumbnail = true;
  }
  return scan;
}

void add_unusable_names(const std::vector<std::string>& names, const std::string& subject,
                        std::vector<Finding>& out) {
  for (const std::string& name : names) {
    out.push_back({FindingKind::kUnusableName, subject,
                   name + " holds a backslash or slash, which no Windows name may: the simulator cannot read it, "
                          "and Paintwell leaves it alone"});
  }
}

// The aircraft's repaints a folder is compared with.
struct Others {
  int count = 0;
  int with_texture_cfg = 0;
  int with_thumbnail = 0;

  void add(const FolderScan& scan, int sign) {
    count += sign;
    with_texture_cfg += scan.texture_cfg ? sign : 0;
    with_thumbnail += scan.has_thumbnail ? sign : 0;
  }
};

// Whether fallback folders exist, each asked of the file layer once: an
// aircraft's repaints mostly name the same few.
class FallbackFolders {
 public:
  explicit FallbackFolders(FileSystem& fs) : fs_(fs) {}
  bool exists(const std::string& path) {
    const auto [at, added] = known_.try_emplace(path, false);
    if (added) at->second = fs_.is_folder(path);
    return at->second;
  }

 private:
  FileSystem& fs_;
  std::unordered_map<std::string, bool> known_;
};

// A painter's habit shows when most of the aircraft's other repaints follow it.
bool is_habit(int followers, int count) { return 2 * followers > count; }

// The folder a fallback names, as the simulator resolves it: relative to
// the texture folder, ".." taken from the text, so a folder that is not
// in place yet resolves as it will.
std::string fallback_path(const std::string& placed_as, std::string_view value) {
  if (is_absolute_path(value)) return std::string(value);
  std::string path = placed_as;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= value.size(); ++i) {
    if (i < value.size() && value[i] != '\\' && value[i] != '/') continue;
    const std::string_view part = value.substr(start, i - start);
    start = i + 1;
    if (part.empty() || part == ".") continue;
    path = part == ".." ? parent_path(path) : join_path(path, part);
  }
  return path;
}

void check_fallbacks(FallbackFolders& folders, const ProfileDocument& cfg, const std::string& placed_as,
                     const std::string& subject, std::vector<Finding>& out) {
  const std::optional<std::size_t> section = cfg.section_position("fltsim");
  if (!section) return;
  std::set<int> written;
  // The value the simulator reads for each fallback.N: that of the first
  // key spelled so. Gathered in one pass, as a key looked up one at a time
  // would make a file of many fallbacks take quadratic time.
  std::unordered_map<int, std::string_view> first_values;
  for (const ProfileDocument::KeyValue& kv : cfg.key_values(*section)) {
    const std::optional<int> n = number_after_prefix(kv.key, kFallbackPrefix);
    if (!n) continue;
    written.insert(*n);
    if (iequals(kv.key, std::string(kFallbackPrefix) + std::to_string(*n))) first_values.try_emplace(*n, kv.value);
  }
  // The simulator reads fallback.1, fallback.2, ... up to the first gap.
  int next = 1;
  for (; written.count(next) != 0; ++next) {
    const std::string key = std::string(kFallbackPrefix) + std::to_string(next);
    const auto found = first_values.find(next);
    const std::string value = found == first_values.end() ? "" : clip_profile_value(found->second);
    if (folders.exists(fallback_path(placed_as, value))) continue;
    out.push_back({FindingKind::kMissingFallback, subject,
                   key + " = " + value + " is no folder on this machine: what the repaint leaves out shows transparent"});
  }
  std::string unread;
  int unread_count = 0;
  for (const int n : written) {
    if (n >= 1 && n < next) continue;
    unread += (unread.empty() ? "" : ", ") + std::string(kFallbackPrefix) + std::to_string(n);
    ++unread_count;
  }
  if (unread_count == 0) return;
  out.push_back({FindingKind::kFallbackGap, subject,
                 std::string(kFallbackPrefix) + std::to_string(next) + " is missing, so " + unread +
                     (unread_count == 1 ? " is" : " are") + " never read"});
}

void check_texture_cfg(FileSystem& fs, FallbackFolders& folders, const FolderScan& scan,
                       const std::string& placed_as, const std::string& subject, std::vector<Finding>& out) {
  const std::string name = *scan.texture_cfg;
  Result<std::string> bytes = read_whole_file(fs, join_path(scan.path, name), kMaxTextureCfgBytes);
  if (!bytes) {
    out.push_back({FindingKind::kUnreadable, subject, name + " cannot be read: " + bytes.error().message});
    return;
  }
  for (const Finding& f : unsafe_profile_findings(*bytes, name)) {
    out.push_back({FindingKind::kUnreadable, subject, name + ": " + f.explanation});
  }
  check_fallbacks(folders, ProfileDocument::parse(*bytes), placed_as, subject, out);
}

// The first bytes every file of a texture kind starts with; empty for
// files that are no texture.
std::string_view texture_magic(std::string_view name) {
  if (ends_with_ci(name, ".dds")) return "DDS ";
  if (ends_with_ci(name, ".bmp")) return "BM";
  return {};
}

// Why a texture file will not show; nullopt when it starts as its kind does.
std::optional<std::string> texture_problem(FileSystem& fs, const std::string& path, std::string_view magic) {
  Result<std::unique_ptr<InputFile>> file = fs.open_read(path);
  if (!file) return "cannot be read: " + file.error().message;
  if ((*file)->size() == 0) return std::string("is empty");
  std::array<char, 4> head{};
  Result<std::size_t> got = (*file)->read_at(0, std::span<char>(head.data(), magic.size()));
  if (!got) return "cannot be read: " + got.error().message;
  if (std::string_view(head.data(), *got) == magic) return std::nullopt;
  return "does not start with \"" + std::string(magic) + "\" as its kind does: a download cut short?";
}

void check_texture_files(FileSystem& fs, const FolderScan& scan, const std::string& subject,
                         std::vector<Finding>& out) {
  for (const DirEntry& entry : scan.entries) {
    const std::string_view magic = texture_magic(entry.name);
    if (entry.is_folder || magic.empty()) continue;
    if (std::optional<std::string> problem = texture_problem(fs, join_path(scan.path, entry.name), magic)) {
      out.push_back({FindingKind::kTruncatedTexture, subject, entry.name + " " + *problem});
    }
  }
}

void check_scanned(FileSystem& fs, FallbackFolders& folders, const FolderScan& scan, const std::string& placed_as,
                   const Others& others, std::vector<Finding>& out) {
  const std::string subject = file_name(placed_as);
  if (scan.texture_cfg) {
    check_texture_cfg(fs, folders, scan, placed_as, subject, out);
  } else if (scan.has_files && is_habit(others.with_texture_cfg, others.count)) {
    out.push_back({FindingKind::kMissingTextureCfg, subject,
                   "texture.cfg is missing, though most of the aircraft's repaints have one: the parts this "
                   "folder leaves out show transparent"});
  }
  if (!scan.has_thumbnail && is_habit(others.with_thumbnail, others.count)) {
    out.push_back({FindingKind::kMissingThumbnail, subject,
                   "thumbnail.jpg is missing, though most of the aircraft's repaints have one"});
  }
  check_texture_files(fs, scan, subject, out);
  add_unusable_names(scan.unusable_names, subject, out);
}

// The start of an inline comment in a value; npos when there is none.
std::size_t comment_start(std::string_view value) {
  for (std::size_t i = 1; i < value.size(); ++i) {
    if (value[i] == ';' && (value[i - 1] == ' ' || value[i - 1] == '\t' || value[i - 1] == '"')) return i;
  }
  return std::string_view::npos;
}

void add_inline_comments(const ProfileDocument& cfg, const AircraftListing& listing, std::vector<Finding>& out) {
  for (const int number : listing.section_numbers) {
    const std::string section = fltsim_section(number);
    const std::optional<std::size_t> position = cfg.section_position(section);
    if (!position) continue;
    for (const ProfileDocument::KeyValue& kv : cfg.key_values(*position)) {
      const std::size_t start = comment_start(kv.value);
      if (start == std::string_view::npos) continue;
      out.push_back({FindingKind::kInlineComment, section,
                     std::string(kv.key) + " holds the comment \"" + std::string(kv.value.substr(start)) +
                         "\", which the simulator reads as part of the value"});
    }
  }
}

}  // namespace

Result<std::vector<std::string>> repaint_folders(FileSystem& fs, const std::string& aircraft_folder) {
  Result<std::vector<std::string>> names =
      list_matching(fs, join_path(aircraft_folder, "Texture.*"), ListFilter::kFolders);
  if (!names) return names;
  // The pattern also takes the aircraft's own Texture folder, which is no repaint.
  std::erase_if(*names, [](const std::string& name) { return !starts_with_ci(name, "Texture."); });
  return names;
}

Result<std::vector<Finding>> check_texture_folder(FileSystem& fs, const std::string& folder,
                                                  const std::string& placed_as) {
  Result<FolderScan> own = scan_folder(fs, folder);
  if (!own) return own.error();
  Result<std::vector<std::string>> names = repaint_folders(fs, parent_path(placed_as));
  if (!names) return names.error();
  Others others;
  for (const std::string& name : *names) {
    if (iequals(name, file_name(placed_as)) || iequals(name, file_name(folder))) continue;
    Result<FolderScan> scan = scan_folder(fs, join_path(parent_path(placed_as), name));
    if (!scan) return scan.error();
    others.add(*scan, 1);
  }
  std::vector<Finding> findings;
  FallbackFolders folders(fs);
  check_scanned(fs, folders, *own, placed_as, others, findings);
  return findings;
}

Result<std::vector<Finding>> check_aircraft_textures(FileSystem& fs, const std::string& aircraft_folder,
                                                     const ProfileDocument& cfg) {
  const AircraftListing listing = read_aircraft_entries(cfg);
  std::vector<Finding> findings;
  Result<std::vector<std::string>> names = listing.entries.empty() ? std::vector<std::string>{}
                                                                   : repaint_folders(fs, aircraft_folder);
  if (!names) return names.error();
  std::vector<FolderScan> scans;
  std::unordered_map<std::string, std::size_t> by_name;  // lower-case folder name -> scan
  Others all;
  for (const std::string& name : *names) {
    Result<FolderScan> scan = scan_folder(fs, join_path(aircraft_folder, name));
    if (!scan) return scan.error();
    all.add(*scan, 1);
    by_name.emplace(to_lower(name), scans.size());
    scans.push_back(std::move(*scan));
  }
  std::set<std::size_t> checked;
  FallbackFolders folders(fs);
  for (const FltsimEntry& entry : listing.entries) {
    const auto found = by_name.find(to_lower("Texture." + trim_blanks(entry.texture)));
    if (found == by_name.end() || !checked.insert(found->second).second) continue;
    const FolderScan& scan = scans[found->second];
    Others others = all;
    others.add(scan, -1);
    check_scanned(fs, folders, scan, scan.path, others, findings);
  }
  add_inline_comments(cfg, listing, findings);
  Result<FolderScan> aircraft = scan_folder(fs, aircraft_folder);
  if (!aircraft && aircraft.error().code != ErrorCode::kNotFound) return aircraft.error();
  if (aircraft) add_unusable_names(aircraft->unusable_names, file_name(aircraft_folder), findings);
  return findings;
}

}  // namespace pw
