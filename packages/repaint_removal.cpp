#include "packages/repaint_removal.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "aircraft/cfg_files.h"
#include "aircraft/entry_list.h"
#include "aircraft/entry_writer.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "packages/file_helpers.h"
#include "packages/package_format.h"
#include "packages/restore_points.h"

namespace pw {
namespace {

std::vector<std::string> exclusion_items(const std::string& exclude_list) {
  std::vector<std::string> items;
  if (exclude_list.empty()) return items;
  std::size_t start = 0;
  while (true) {
    const std::size_t bar = exclude_list.find('|', start);
    items.push_back(to_lower(trim_blanks(exclude_list.substr(start, bar - start))));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return items;
}

bool is_removable(const FltsimEntry& entry, const std::vector<std::string>& exclusions) {
  if (trim_blanks(entry.texture).empty()) return false;
  const std::string variation = to_lower(trim_blanks(entry.ui_variation));
  for (const std::string& item : exclusions) {
    if (item == variation) return false;
  }
  return true;
}

// The aircraft and the entries chosen for removal.
struct Removal {
  const AircraftState& s;
  const std::vector<bool>& selection;
};

bool is_selected(const Removal& r, std::size_t i) { return i < r.selection.size() && r.selection[i]; }

// Unknown (a listing that did not say) counts as not whole.
bool is_whole(const AircraftState& s, std::size_t i) { return i < s.g_AircraftWhole.size() && s.g_AircraftWhole[i]; }

std::string texture_folder_name(const FltsimEntry& entry) { return "Texture." + trim_blanks(entry.texture); }

// Aircraft.cfg as it must read after the removal: the sections of every
// listed entry and of the numbers 0 to the last index deleted (a section
// above a numbering gap must not survive beside its renumbered copy), the
// kept entries written back from 0, the empty lines tidied.
std::string removed_cfg_text(const Removal& r, std::string cfg_bytes) {
  const AircraftState& s = r.s;
  ProfileDocument cfg = ProfileDocument::parse(with_trailing_newline(cfg_bytes));
  // Each number once: naming it twice would also take a hidden twin.
  std::set<int> numbers(s.g_AircraftSections.begin(), s.g_AircraftSections.end());
  for (int n = 0; n <= s.g_AircraftLast; ++n) numbers.insert(n);
  // The old lines of kept entries whose records do not hold them whole,
  // taken before their sections go: what the records cannot hold is
  // written back from them. The views stay valid while the document lives.
  std::vector<std::vector<ProfileDocument::KeyValue>> original(s.g_AircraftEntries.size());
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    if (is_selected(r, i) || is_whole(s, i)) continue;
    const std::optional<std::size_t> position = cfg.section_position(fltsim_section(s.g_AircraftSections[i]));
    if (position) original[i] = cfg.key_values(*position);
  }
  std::vector<std::string> doomed;
  for (int n : numbers) doomed.push_back(fltsim_section(n));
  cfg.delete_sections(doomed);
  int next = 0;
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    if (!is_selected(r, i)) WriteAircraftEntry(cfg, s.g_AircraftEntries[i], next++, original[i]);
  }
  return normalise_aircraft_cfg_text(cfg.serialize());
}

// Texture folders of the removed entries that no kept entry names.
std::vector<std::string> folders_to_move(const Removal& r) {
  const AircraftState& s = r.s;
  std::set<std::string> kept;
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    if (!is_selected(r, i)) kept.insert(to_lower(texture_folder_name(s.g_AircraftEntries[i])));
  }
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    if (!is_selected(r, i)) continue;
    const std::string name = texture_folder_name(s.g_AircraftEntries[i]);
    if (kept.count(to_lower(name)) == 0) folders.push_back(s.g_AircraftFolder + "\\" + name);
  }
  return folders;
}

// A selected entry whose texture names no folder of its own (empty, or a
// path that would leave the aircraft's folder) cannot be removed safely.
bool selection_is_safe(const Removal& r) {
  const AircraftState& s = r.s;
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    if (is_selected(r, i) && (trim_blanks(s.g_AircraftEntries[i].texture).empty() ||
                              !is_safe_entry_name(texture_folder_name(s.g_AircraftEntries[i])))) {
      return false;
    }
  }
  return true;
}

// The sections the removal deletes and the numbers it changes.
void note_sections(const Removal& r, RemovalPlan& report) {
  int next = 0;
  for (std::size_t i = 0; i < r.s.g_AircraftEntries.size(); ++i) {
    const int old_number = r.s.g_AircraftSections[i];
    if (is_selected(r, i)) {
      report.deleted_sections.push_back("[" + fltsim_section(old_number) + "] " +
                                        trim_blanks(r.s.g_AircraftEntries[i].title));
    } else if (old_number != next++) {
      report.renumbered.emplace_back(old_number, next - 1);
    }
  }
}

// The names the folders to move have on disk, whatever case the entries
// write them in, so that undo brings each back under its own name.
Result<std::vector<std::string>> names_on_disk(FileSystem& fs, const Removal& r) {
  Result<std::vector<DirEntry>> entries = fs.list(r.s.g_AircraftFolder);
  if (!entries) return entries.error();
  std::vector<std::string> names;
  for (const std::string& folder : folders_to_move(r)) {
    const std::string wanted = file_name(folder);
    const auto same = [&](const DirEntry& e) { return e.is_folder && e.name == wanted; };
    const auto alike = [&](const DirEntry& e) { return e.is_folder && iequals(e.name, wanted); };
    auto found = std::find_if(entries->begin(), entries->end(), same);
    if (found == entries->end()) found = std::find_if(entries->begin(), entries->end(), alike);
    if (found != entries->end()) names.push_back(found->name);
  }
  return names;
}

}  // namespace

std::vector<int> removable_entries(const AircraftState& aircraft) {
  const std::vector<std::string> exclusions = exclusion_items(aircraft.g_ExcludeList);
  std::vector<int> removable;
  for (std::size_t i = 0; i < aircraft.g_AircraftEntries.size(); ++i) {
    if (is_removable(aircraft.g_AircraftEntries[i], exclusions)) removable.push_back(static_cast<int>(i));
  }
  return removable;
}

Result<RemovalPlan> plan_removal(FileSystem& fs, const AircraftState& s, const std::vector<bool>& selection,
                                 std::string cfg_bytes) {
  const Removal r{s, selection};
  if (!selection_is_safe(r)) {
    return make_error(ErrorCode::kRefused, "a chosen entry names no texture folder of its own");
  }
  if (s.g_AircraftSections.size() != s.g_AircraftEntries.size()) {
    return make_error(ErrorCode::kRefused, "the entries are not listed from Aircraft.cfg");
  }
  Result<std::vector<std::string>> names = names_on_disk(fs, r);
  if (!names) return names.error();
  RemovalPlan plan;
  plan.folder_names = std::move(*names);
  note_sections(r, plan);
  plan.new_cfg = removed_cfg_text(r, std::move(cfg_bytes));
  return plan;
}

RemovalReport remove_repaints(const OperationContext& op, const AircraftState& s, const std::vector<bool>& selection) {
  RemovalReport report;
  // Progress in steps: the backups, the restore point, the new Aircraft.cfg.
  report_progress(op.progress, 0, 3);
  Result<std::string> bytes = read_whole_file(op.fs, aircraft_cfg_path(s.g_AircraftFolder), kMaxAircraftCfgBytes);
  Result<RemovalPlan> plan = bytes ? plan_removal(op.fs, s, selection, *bytes) : bytes.error();
  if (!plan) {
    report.error = plan.error();
    return report;
  }
  if (Result<void> backup = RefreshAircraftCfgBackup(op.fs, s.g_AircraftFolder); !backup) {
    report.error = backup.error();
    return report;
  }
  BackupAircraftCfgOnce(op.fs, s.g_AircraftFolder);
  report_progress(op.progress, 1, 3);
  // The folders are moved into the restore point first and come back if
  // Aircraft.cfg cannot be replaced: the removal happens whole or not at all.
  RestoreManifest intent;
  intent.operation = "remove";
  intent.sections_deleted = plan->deleted_sections;
  intent.folders_removed = plan->folder_names;
  Result<RestorePoint> point = begin_restore_point(op.fs, s.g_AircraftFolder, std::move(intent), *bytes, plan->new_cfg);
  Result<void> moved = point ? move_folders_into_restore_point(op.fs, *point, s.g_AircraftFolder) : point.error();
  if (!moved) {
    report.error = moved.error();
    return report;
  }
  report_progress(op.progress, 2, 3);
  if (Result<void> written = replace_cfg_with_restore_point(op.fs, *point, s.g_AircraftFolder, plan->new_cfg);
      !written) {
    report.outcome = RemovalOutcome::kCfgNotWritten;
    report.error = written.error();
    return report;
  }
  RemovalReport done;
  done.deleted_sections = std::move(plan->deleted_sections);
  done.renumbered = std::move(plan->renumbered);
  for (const std::string& name : point->manifest.folders_removed) {
    done.moved_folders.push_back(join_path(point->folder, "folders\\" + name));
  }
  report_progress(op.progress, 3, 3);
  done.outcome = RemovalOutcome::kDone;
  return done;
}

}  // namespace pw
