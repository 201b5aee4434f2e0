#include "packages/repaint_removal.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "aircraft/cfg_files.h"
#include "aircraft/entry_list.h"
#include "aircraft/entry_writer.h"
#include "app/file_ops.h"
#include "app/text.h"
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

bool is_selected(const SharedState& s, std::size_t i) {
  return i < s.g_RemoveSelection.size() && s.g_RemoveSelection[i];
}

// Unknown (a listing that did not say) counts as not whole.
bool is_whole(const SharedState& s, std::size_t i) { return i < s.g_AircraftWhole.size() && s.g_AircraftWhole[i]; }

std::string texture_folder_name(const FltsimEntry& entry) { return "Texture." + trim_blanks(entry.texture); }

// Aircraft.cfg as it must read after the removal: the sections of every
// listed entry and of the numbers 0 to the last index deleted (a section
// above a numbering gap must not survive beside its renumbered copy), the
// kept entries written back from 0, the empty lines tidied.
std::string removed_cfg_text(const SharedState& s, std::string cfg_bytes) {
  ProfileDocument cfg = ProfileDocument::parse(with_trailing_newline(cfg_bytes));
  // Each number once: naming it twice would also take a hidden twin.
  std::set<int> numbers(s.g_AircraftSections.begin(), s.g_AircraftSections.end());
  for (int n = 0; n <= s.g_AircraftLast; ++n) numbers.insert(n);
  // The old lines of kept entries whose records do not hold them whole,
  // taken before their sections go: what the records cannot hold is
  // written back from them. The views stay valid while the document lives.
  std::vector<std::vector<ProfileDocument::KeyValue>> original(s.g_AircraftEntries.size());
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    if (is_selected(s, i) || is_whole(s, i)) continue;
    const std::optional<std::size_t> position = cfg.section_position(fltsim_section(s.g_AircraftSections[i]));
    if (position) original[i] = cfg.key_values(*position);
  }
  std::vector<std::string> doomed;
  for (int n : numbers) doomed.push_back(fltsim_section(n));
  cfg.delete_sections(doomed);
  int next = 0;
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    if (!is_selected(s, i)) WriteAircraftEntry(cfg, s.g_AircraftEntries[i], next++, original[i]);
  }
  return normalise_aircraft_cfg_text(cfg.serialize());
}

// Texture folders of the removed entries that no kept entry names.
std::vector<std::string> folders_to_delete(const SharedState& s) {
  std::set<std::string> kept;
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    if (!is_selected(s, i)) kept.insert(to_lower(texture_folder_name(s.g_AircraftEntries[i])));
  }
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    if (!is_selected(s, i)) continue;
    const std::string name = texture_folder_name(s.g_AircraftEntries[i]);
    if (kept.count(to_lower(name)) == 0) folders.push_back(s.g_AircraftFolder + "\\" + name);
  }
  return folders;
}

// A selected entry whose texture names no folder of its own (empty, or a
// path that would leave the aircraft's folder) cannot be removed safely.
bool selection_is_safe(const SharedState& s) {
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    if (is_selected(s, i) && (trim_blanks(s.g_AircraftEntries[i].texture).empty() ||
                              !is_safe_entry_name(texture_folder_name(s.g_AircraftEntries[i])))) {
      return false;
    }
  }
  return true;
}

// The sections the removal deletes and the numbers it changes.
void note_sections(const SharedState& s, RemovalReport& report) {
  int next = 0;
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    const int old_number = s.g_AircraftSections[i];
    if (is_selected(s, i)) {
      report.deleted_sections.push_back("[" + fltsim_section(old_number) + "] " + trim_blanks(s.g_AircraftEntries[i].title));
    } else if (old_number != next++) {
      report.renumbered.emplace_back(old_number, next - 1);
    }
  }
}

}  // namespace

RemovalReport remove_repaints(AppContext& ctx) {
  const SharedState& s = ctx.state;
  RemovalReport report;
  if (!selection_is_safe(s) || s.g_AircraftSections.size() != s.g_AircraftEntries.size()) return report;
  // Progress in steps: the backups, the restore point, the new Aircraft.cfg.
  report_progress(ctx.progress, 0, 3);
  if (!RefreshAircraftCfgBackup(ctx.fs, s.g_AircraftFolder).ok()) return report;
  BackupAircraftCfgOnce(ctx.fs, s.g_AircraftFolder);
  report_progress(ctx.progress, 1, 3);
  Result<std::string> bytes = read_whole_file(ctx.fs, aircraft_cfg_path(s.g_AircraftFolder), kMaxAircraftCfgBytes);
  if (!bytes) return report;
  Result<RestorePoint> point = begin_restore_point(ctx.fs, s.g_AircraftFolder, "remove", *bytes);
  if (!point) return report;
  // The folders are moved into the restore point first and come back if
  // Aircraft.cfg cannot be replaced: the removal happens whole or not at all.
  std::vector<std::string> names;
  for (const std::string& folder : folders_to_delete(s)) {
    if (ctx.fs.is_folder(folder)) names.push_back(file_name(folder));
  }
  if (Result<void> moved = move_folders_into_restore_point(ctx.fs, *point, s.g_AircraftFolder, names); !moved) {
    report.error = moved.error();
    return report;
  }
  report_progress(ctx.progress, 2, 3);
  note_sections(s, report);
  point->manifest.sections_deleted = report.deleted_sections;
  if (Result<void> written = replace_cfg_with_restore_point(ctx.fs, *point, s.g_AircraftFolder,
                                                            removed_cfg_text(s, std::move(*bytes)));
      !written) {
    report.deleted_sections.clear();
    report.renumbered.clear();
    report.error = written.error();
    report.result = kRemoveCfgFailed;
    return report;
  }
  for (const std::string& name : names) report.moved_folders.push_back(join_path(point->folder, "folders\\" + name));
  report_progress(ctx.progress, 3, 3);
  report.result = kRemoveDone;
  return report;
}

std::int16_t RemoveRepaints(AppContext& ctx) { return remove_repaints(ctx).result; }

void FillRemoveAircraftList(AppContext& ctx) {
  const SharedState& s = ctx.state;
  const std::vector<std::string> exclusions = exclusion_items(s.g_ExcludeList);
  ListContent content;
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    const FltsimEntry& entry = s.g_AircraftEntries[i];
    if (!is_removable(entry, exclusions)) continue;
    content.rows.push_back({trim_blanks(entry.ui_variation), static_cast<int>(i), false});
  }
  if (!content.rows.empty()) content.current = 0;
  ctx.view.set_list("frm_Remove", "lstAircraft", content);
  // Also for an empty list: the remove button must not stay usable then.
  RemoveListClicked(ctx);
}

void RemoveListClicked(AppContext& ctx) {
  const ListContent content = ctx.view.list("frm_Remove", "lstAircraft");
  bool any_ticked = false;
  for (const ListRow& row : content.rows) any_ticked = any_ticked || row.checked;
  ctx.view.set_button_state("frm_Remove", "btn_Remove", any_ticked ? "enabled" : "disabled");
}

}  // namespace pw
