// What an install or a removal may leave in an aircraft's folder, whatever
// failed on the way: no temporary file of a replace, no staging folder, and
// no texture folder that is neither old nor complete and named.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "config/profile.h"
#include "packages/sim_tree.h"

namespace pw::test {

// Every name below `folder`, relative and joined with '/', sorted.
inline std::vector<std::string> all_names_under(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    names.push_back(std::filesystem::relative(it->path(), folder).generic_string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Relative name -> bytes ("<folder>" for a folder) of everything below
// `root` but the names `skip` says to leave out.
inline std::map<std::string, std::string> files_under(const std::filesystem::path& root,
                                                      bool (*skip)(const std::string&) = nullptr) {
  std::map<std::string, std::string> files;
  for (const std::string& name : all_names_under(root)) {
    if (skip && skip(name)) continue;
    std::ifstream in(root / name, std::ios::binary);
    files[name] = std::filesystem::is_directory(root / name) ? "<folder>" : std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

// The names added or rewritten, and those gone (" (gone)"), between two files_under.
inline std::vector<std::string> changed_names(const std::map<std::string, std::string>& before,
                                              const std::map<std::string, std::string>& after) {
  std::vector<std::string> changed;
  for (const auto& [name, bytes] : after) {
    if (!before.contains(name) || before.at(name) != bytes) changed.push_back(name);
  }
  for (const auto& [name, bytes] : before) {
    if (!after.contains(name)) changed.push_back(name + " (gone)");
  }
  return changed;
}

// Names below the folder that no finished command may leave behind. The
// history is left out: a point a stopped command left half written waits
// there for pruning.
inline std::vector<std::string> stray_names(const std::filesystem::path& folder) {
  std::vector<std::string> stray;
  for (const std::string& name : all_names_under(folder)) {
    const bool temporary = name.find(".pwtmp") != std::string::npos || name.find(".pwstage") != std::string::npos;
    if (temporary && !name.starts_with("Paintwell.history/")) stray.push_back(name);
  }
  return stray;
}

// The "Texture.*" folders directly inside the folder, as named on disk.
inline std::set<std::string> texture_folders(const std::filesystem::path& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& e : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = e.path().filename().string();
    if (e.is_directory() && to_lower(name).rfind("texture.", 0) == 0) names.insert(name);
  }
  return names;
}

// The folders "Texture.<texture>" that the [fltsim.N] sections of an
// Aircraft.cfg name, in lower case.
inline std::set<std::string> named_texture_folders(const std::string& cfg_bytes) {
  const ProfileDocument doc = ProfileDocument::parse(cfg_bytes);
  std::set<std::string> names;
  for (const std::string& section : doc.section_names()) {
    if (to_lower(section).rfind("fltsim.", 0) != 0) continue;
    const std::string texture = read_profile_value(doc, section, "texture");
    if (!texture.empty()) names.insert(to_lower("Texture." + texture));
  }
  return names;
}

// Name -> bytes of the files directly inside a folder.
inline std::map<std::string, std::string> folder_files(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (const auto& e : std::filesystem::directory_iterator(folder, error)) {
    std::ifstream in(e.path(), std::ios::binary);
    files[e.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

inline std::map<std::string, std::string> as_files(const std::vector<NamedBytes>& files) {
  std::map<std::string, std::string> map;
  for (const NamedBytes& f : files) map[f.name] = f.bytes;
  return map;
}

}  // namespace pw::test
