#include "packages/download_target.h"

#include <algorithm>
#include <compare>
#include <tuple>
#include <unordered_set>
#include <utility>

#include "base/file_ops.h"
#include "base/text.h"

namespace pw {
namespace {

// What the download says about the aircraft a repaint belongs to, lower case.
struct Wanted {
  std::vector<std::string> folders;      // the folders above the texture folder
  std::string sim;                       // the entry's sim=
  std::vector<std::string> own_folders;  // "model.x" for model=x, "panel" for an empty panel=
  std::vector<std::string> files;        // texture file names, each once
};

// Standing in each tier, compared tier by tier: a higher tier always wins.
struct Standing {
  int folder = 0;
  int sim = 0;
  int own_folders = 0;
  int texture_files = 0;
  auto operator<=>(const Standing&) const = default;
  bool decided_before_textures(const Standing& other) const {
    return std::tie(folder, sim, own_folders) != std::tie(other.folder, other.sim, other.own_folders);
  }
};

// What one listing of an aircraft folder gives, lower case.
struct AircraftFolder {
  std::vector<std::string> air_files;  // base names of its .air files
  std::unordered_set<std::string> folders;
  std::vector<std::string> texture_folders;  // as listed, for a later listing
};

// Every texture folder holds these, whatever the aircraft: they tell
// nothing about which one a repaint is for.
bool is_common_texture_file(std::string_view name) { return iequals(name, "texture.cfg") || iequals(name, "thumbnail.jpg"); }

bool is_aircraft_texture_folder(std::string_view name) { return iequals(name, "texture") || starts_with_ci(name, "texture."); }

Wanted wanted_by(const DownloadContents& contents, const FoundRepaint& repaint) {
  Wanted wanted;
  for (const std::string& folder : repaint.path_above) wanted.folders.push_back(to_lower(folder));
  if (repaint.entry) {
    wanted.sim = to_lower(trim_blanks(repaint.entry->sim));
    const std::pair<const char*, const std::string*> own[] = {
        {"model", &repaint.entry->model}, {"panel", &repaint.entry->panel}, {"sound", &repaint.entry->sound}};
    for (const auto& [kind, value] : own) {
      const std::string name = trim_blanks(*value);
      wanted.own_folders.push_back(to_lower(name.empty() ? std::string(kind) : std::string(kind) + "." + name));
    }
  }
  std::unordered_set<std::string> seen;
  for (const std::size_t f : repaint.files) {
    if (f >= contents.files.size()) continue;
    const std::string name = to_lower(file_name(contents.files[f].name));
    if (!is_common_texture_file(name) && seen.insert(name).second) wanted.files.push_back(name);
  }
  return wanted;
}

AircraftFolder list_aircraft(FileSystem& fs, const std::string& folder) {
  AircraftFolder listed;
  const Result<std::vector<DirEntry>> names = fs.list(folder);
  if (!names) return listed;
  for (const DirEntry& e : *names) {
    if (holds_separator(e.name)) continue;
    std::string name = to_lower(e.name);
    if (e.is_folder && is_aircraft_texture_folder(name)) listed.texture_folders.push_back(e.name);
    if (name.size() > 4 && name.ends_with(".air")) listed.air_files.push_back(name.substr(0, name.size() - 4));
    if (e.is_folder) listed.folders.insert(std::move(name));
  }
  return listed;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The first three tiers, from the index and one listing of the folder.
Standing standing_of(const LibraryAircraft& aircraft, const AircraftFolder& listed, const Wanted& wanted) {
  Standing s;
  s.folder = contains(wanted.folders, to_lower(file_name(aircraft.folder))) ? 1 : 0;
  const bool sim_of_entry = std::any_of(aircraft.entries.begin(), aircraft.entries.end(),
                                        [&](const LibraryEntry& e) { return iequals(trim_blanks(e.sim), wanted.sim); });
  s.sim = !wanted.sim.empty() && (contains(listed.air_files, wanted.sim) || sim_of_entry) ? 1 : 0;
  for (const std::string& own : wanted.own_folders) s.own_folders += listed.folders.count(own) ? 1 : 0;
  return s;
}

// The last tier: how many of the repaint's file names the aircraft's own
// texture folders hold, one listing per texture folder.
int shared_texture_files(FileSystem& fs, const std::string& folder, const AircraftFolder& listed, const Wanted& wanted) {
  std::unordered_set<std::string> found;
  for (const std::string& texture_folder : listed.texture_folders) {
    const Result<std::vector<DirEntry>> names = fs.list(join_path(folder, texture_folder));
    if (!names) continue;
    for (const DirEntry& e : *names) {
      std::string name = to_lower(e.name);
      if (!e.is_folder && contains(wanted.files, name)) found.insert(std::move(name));
    }
  }
  return static_cast<int>(found.size());
}

// "a, b or c", the first few of many.
std::string one_of(const std::vector<std::string>& names) {
  constexpr std::size_t kShown = 5;
  std::string text;
  const std::size_t shown = std::min(names.size(), kShown);
  for (std::size_t i = 0; i < shown; ++i) text += (i == 0 ? "" : i + 1 == shown && shown == names.size() ? " or " : ", ") + names[i];
  if (names.size() > shown) text += " (" + std::to_string(names.size()) + " in all)";
  return text;
}

std::string looked_for_text(const FoundRepaint& repaint, const Wanted& wanted) {
  std::vector<std::string> clauses;
  if (!repaint.path_above.empty()) clauses.push_back("folder named " + one_of(repaint.path_above));
  if (!wanted.sim.empty()) clauses.push_back("with sim=" + trim_blanks(repaint.entry->sim));
  if (!wanted.own_folders.empty()) clauses.push_back("with the folders " + one_of(wanted.own_folders));
  if (!wanted.files.empty()) clauses.push_back("whose texture folders hold " + one_of(wanted.files));
  if (clauses.empty()) return "nothing to look for: no folder above the texture folder, no entry and no texture files";
  std::string text = "no aircraft " + clauses.front();
  for (std::size_t i = 1; i < clauses.size(); ++i) text += ", none " + clauses[i];
  return text;
}

}  // namespace

TargetChoice choose_target_aircraft(FileSystem& fs, const Library& library, const DownloadContents& contents,
                                    const FoundRepaint& repaint) {
  const Wanted wanted = wanted_by(contents, repaint);
  const std::size_t count = library.aircraft.size();
  std::vector<AircraftFolder> listed(count);
  std::vector<Standing> standing(count);
  Standing top;
  for (std::size_t a = 0; a < count; ++a) {
    listed[a] = list_aircraft(fs, library.aircraft[a].folder);
    standing[a] = standing_of(library.aircraft[a], listed[a], wanted);
    top = std::max(top, standing[a]);
  }
  // The texture folders, the most listings by far, are read only for the
  // aircraft the first three tiers leave level at the top: when one stands
  // alone there, aircraft matching on texture files alone are not listed.
  const auto level_with_top = [&](const Standing& s) { return !s.decided_before_textures(top); };
  const bool decided = top != Standing{} && std::count_if(standing.begin(), standing.end(), level_with_top) == 1;
  for (std::size_t a = 0; a < count && !decided && !wanted.files.empty(); ++a) {
    if (level_with_top(standing[a])) standing[a].texture_files = shared_texture_files(fs, library.aircraft[a].folder, listed[a], wanted);
  }

  TargetChoice choice;
  for (std::size_t a = 0; a < count; ++a) {
    if (standing[a] != Standing{}) choice.candidates.push_back(a);
  }
  std::stable_sort(choice.candidates.begin(), choice.candidates.end(),
                   [&](std::size_t x, std::size_t y) { return standing[x] > standing[y]; });
  const std::vector<std::size_t>& c = choice.candidates;
  choice.clear = !c.empty() && (c.size() == 1 || standing[c[0]] > standing[c[1]]);
  choice.looked_for = looked_for_text(repaint, wanted);
  return choice;
}

}  // namespace pw
