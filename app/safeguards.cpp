#include "app/safeguards.h"

#include <cctype>

#include "aircraft/cfg_files.h"
#include "aircraft/diagnosis.h"
#include "aircraft/entry_list.h"
#include "aircraft/texture_check.h"
#include "app/aircraft_selection.h"
#include "app/history_commands.h"
#include "app/operation_log.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "packages/file_helpers.h"
#include "packages/restore_points.h"

namespace pw {
namespace {

// "<title> - NNN", the title an installed copy gets.
bool is_copy_of(const std::string& installed, const std::string& title) {
  if (iequals(installed, title)) return true;
  const std::size_t n = title.size();
  if (installed.size() != n + 6 || !starts_with_ci(installed, title)) return false;
  const std::string_view tail = std::string_view(installed).substr(n);
  return tail.substr(0, 3) == " - " && std::isdigit(static_cast<unsigned char>(tail[3])) &&
         std::isdigit(static_cast<unsigned char>(tail[4])) && std::isdigit(static_cast<unsigned char>(tail[5]));
}

std::string section_text(int number) { return "[" + fltsim_section(number) + "]"; }

void append_log(Session& ctx, const LogRecord& record) {
  // The log is a courtesy to the user: a failure to write it never turns a
  // done operation into a failed one.
  (void)append_log_record(ctx.fs, ctx.state.g_AircraftFolder, record);
}

// The repair through a restore point that names the text the repair will
// write before it writes it, sealed after.
Result<Renumbering> recorded_repair(FileSystem& fs, const std::string& folder) {
  Result<std::string> before = read_whole_file(fs, aircraft_cfg_path(folder), kMaxAircraftCfgBytes);
  if (!before) return before.error();
  RestoreManifest intent;
  intent.operation = "repair";
  for (const auto& [old_number, new_number] : renumbering_of(*before)) {
    intent.sections_written.push_back(section_text(old_number) + " -> " + section_text(new_number));
  }
  Result<RestorePoint> point = begin_restore_point(fs, folder, std::move(intent), *before, renumbered_cfg_text(*before));
  if (!point) return point.error();
  Result<Renumbering> renumbered = repair_aircraft_cfg(fs, folder);
  Result<void> sealed = renumbered ? seal_restore_point(fs, *point) : Result<void>(renumbered.error());
  if (!sealed) return roll_back_operation(fs, *point, folder, sealed.error());
  return renumbered;
}

}  // namespace

std::optional<std::size_t> installed_duplicate(Session& ctx, const FltsimEntry& package_entry) {
  const std::string title = trim_blanks(package_entry.title);
  Result<std::shared_ptr<const ProfileDocument>> cfg = ctx.profiles.load(aircraft_cfg_path(ctx.state.g_AircraftFolder));
  if (!cfg || title.empty()) return std::nullopt;
  const AircraftListing listing = read_aircraft_entries(**cfg);
  for (std::size_t i = 0; i < listing.entries.size(); ++i) {
    if (is_copy_of(listing.entries[i].title, title)) return i;
  }
  return std::nullopt;
}

std::vector<Finding> numbers_used_twice(Session& ctx) {
  // aircraft.cfg's bytes alone show it: no need to check every texture
  // folder before each removal.
  std::vector<Finding> twice;
  const std::string cfg_path = aircraft_cfg_path(ctx.state.g_AircraftFolder);
  if (!ctx.fs.exists(cfg_path)) return twice;
  Result<std::string> bytes = read_whole_file(ctx.fs, cfg_path, kMaxAircraftCfgBytes);
  if (!bytes) return twice;
  for (const Finding& f : diagnose_cfg_text(*bytes)) {
    if (f.kind == FindingKind::kDuplicateNumber) twice.push_back(f);
  }
  return twice;
}

Result<void> repair_with_log(Session& ctx) {
  Result<Renumbering> renumbered = recorded_repair(ctx.fs, ctx.state.g_AircraftFolder);
  LogRecord record{"repair", {}, renumbered ? "done" : "failed: " + renumbered.error().message};
  if (renumbered) {
    for (const auto& [old_number, new_number] : *renumbered) {
      record.details.push_back("renumbered " + section_text(old_number) + " -> " + section_text(new_number));
    }
  }
  append_log(ctx, record);
  if (!renumbered) return renumbered.error();
  prune_with_log(ctx.fs, ctx.state.g_AircraftFolder, ctx.state.program_folder);
  return get_aircraft_list(ctx);
}

std::vector<Finding> packed_folder_findings(Session& ctx, int entry_index) {
  const auto& entries = ctx.state.g_AircraftEntries;
  if (entry_index < 0 || static_cast<std::size_t>(entry_index) >= entries.size()) return {};
  const auto folder =
      texture_folder_path(ctx.state.g_AircraftFolder, entries[static_cast<std::size_t>(entry_index)]);
  if (!folder) return {};
  Result<std::vector<Finding>> findings = check_texture_folder(ctx.fs, *folder, *folder);
  return findings ? std::move(*findings) : std::vector<Finding>{};
}

namespace {

// The lines of one installed repaint: its section, its folder, what the
// texture check found there.
void add_installed(LogRecord& record, const InstallReport& report) {
  record.details.push_back("wrote " + section_text(report.section) + " " + report.variation);
  record.details.push_back("created folder " + report.folder);
  for (const Finding& f : report.texture_findings) {
    record.details.push_back("texture check: [" + f.subject + "] " + f.explanation);
  }
}

std::string failed_result(InstallOutcome outcome, const Error& error) {
  return (outcome == InstallOutcome::kCfgNotWritten ? "aircraft.cfg not written: " : "failed: ") + error.message;
}

}  // namespace

void log_install(Session& ctx, const std::string& package_path, const InstallReport& report) {
  LogRecord record{"install", {"package " + package_path}, "done"};
  if (report.outcome == InstallOutcome::kInstalled) {
    add_installed(record, report);
  } else {
    record.result = failed_result(report.outcome, report.error);
  }
  append_log(ctx, record);
}

void log_import(Session& ctx, const std::string& download_path, const std::vector<FoundRepaint>& repaints,
                const std::vector<bool>& refused, const ImportReport& report) {
  LogRecord record{"import", {"download " + download_path}, "done"};
  for (std::size_t i = 0; i < repaints.size() && i < report.repaints.size() && i < refused.size(); ++i) {
    const InstallReport& r = report.repaints[i];
    if (r.outcome == InstallOutcome::kInstalled) add_installed(record, r);
    if (r.outcome == InstallOutcome::kSkipped) {
      record.details.push_back("skipped " + repaints[i].folder + ": already installed as " + r.duplicate_of);
    }
    if (refused[i]) record.details.push_back("refused " + r.error.message);
  }
  if (report.outcome == InstallOutcome::kSkipped) record.result = "nothing installed";
  if (report.outcome == InstallOutcome::kFailed || report.outcome == InstallOutcome::kCfgNotWritten) {
    record.result = failed_result(report.outcome, report.error);
  }
  append_log(ctx, record);
}

void log_skipped_install(Session& ctx, const std::string& package_path, const std::string& installed_title) {
  append_log(ctx, {"install", {"package " + package_path}, "skipped: already installed as " + installed_title});
}

void log_removal(Session& ctx, const RemovalReport& report) {
  LogRecord record{"remove", {}, "done"};
  for (const std::string& section : report.deleted_sections) record.details.push_back("deleted " + section);
  for (const auto& [old_number, new_number] : report.renumbered) {
    record.details.push_back("renumbered " + section_text(old_number) + " -> " + section_text(new_number));
  }
  for (const std::string& folder : report.moved_folders) record.details.push_back("moved folder to " + folder);
  if (report.outcome == RemovalOutcome::kCfgNotWritten) record.result = "aircraft.cfg not written: " + report.error.message;
  if (report.outcome == RemovalOutcome::kFailed) record.result = "failed: " + report.error.message;
  append_log(ctx, record);
}

}  // namespace pw
