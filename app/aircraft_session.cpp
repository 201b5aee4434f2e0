#include "app/aircraft_session.h"

#include <algorithm>
#include <thread>
#include <utility>

#include "aircraft/cfg_files.h"
#include "app/aircraft_selection.h"
#include "app/command_texts.h"
#include "app/history_commands.h"
#include "app/safeguards.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "packages/package_creation.h"
#include "packages/package_format.h"

namespace pw {
namespace {

constexpr std::chrono::milliseconds kLockRetry{50};

Error refused(std::string message) { return make_error(ErrorCode::kRefused, std::move(message)); }

InstallReport failed_install(Error error) {
  InstallReport report;
  report.error = std::move(error);
  return report;
}

RemovalReport failed_removal(Error error) {
  RemovalReport report;
  report.error = std::move(error);
  return report;
}

// The entry a found repaint is installed with: its block, or one made up
// from the aircraft's first entry.
Result<FltsimEntry> entry_to_import(const AircraftState& aircraft, const FoundRepaint& repaint) {
  if (!repaint.refusal.empty()) return refused(repaint.folder + ": " + repaint.refusal);
  if (repaint.entry) return *repaint.entry;
  if (aircraft.g_AircraftEntries.empty()) {
    return refused(repaint.folder + ": the aircraft has no entry to make its entry from");
  }
  return made_up_entry(aircraft.g_AircraftEntries.front(), repaint.texture);
}

Result<FltsimEntry> package_entry(FileSystem& fs, const std::string& path) {
  Result<std::unique_ptr<InputFile>> file = fs.open_read(trim_blanks(path));
  if (!file) return file.error();
  return read_package_entry(**file);
}

}  // namespace

EntryIdentity identity_of(const AircraftState& aircraft, std::size_t index) {
  const FltsimEntry& entry = aircraft.g_AircraftEntries[index];
  const int section = index < aircraft.g_AircraftSections.size() ? aircraft.g_AircraftSections[index] : -1;
  return {section, entry.title, entry.texture};
}

Result<AircraftSession> AircraftSession::open(Session& program, std::chrono::milliseconds wait) {
  const std::string lock_path = join_path(program.state.g_AircraftFolder, kLockFileName);
  const auto give_up_at = std::chrono::steady_clock::now() + wait;
  while (true) {
    Result<std::unique_ptr<FileLock>> lock = try_lock_file(program.fs, lock_path);
    if (!lock) return lock.error();
    if (*lock) {
      AircraftSession session(program, std::move(*lock));
      PW_TRY(session.take_over_aircraft());
      return session;
    }
    if (std::chrono::steady_clock::now() >= give_up_at) {
      return make_error(ErrorCode::kAccessDenied, kAircraftBusyMessage);
    }
    if (program.pump_events) program.pump_events();
    std::this_thread::sleep_for(kLockRetry);
  }
}

Result<void> AircraftSession::take_over_aircraft() {
  Result<std::vector<std::string>> recovered = recover_with_log(program_.fs, program_.state.g_AircraftFolder);
  if (!recovered) return recovered.error();
  recovered_ = std::move(*recovered);
  // A read that fails leaves what the screens show as it was.
  AircraftState shown = program_.state;
  if (Result<void> listed = get_aircraft_list(program_); !listed) {
    static_cast<AircraftState&>(program_.state) = std::move(shown);
    const std::string cfg = aircraft_cfg_path(program_.state.g_AircraftFolder);
    return make_error(listed.error().code, "cannot read " + cfg + ": " + listed.error().message);
  }
  return {};
}

// What every write may need: Aircraft.vnb as Aircraft.cfg is now and the
// first Aircraft.001, made by the write that needs them, never by reading.
Result<void> AircraftSession::prepare_writes() {
  if (prepared_) return {};
  const std::string& folder = program_.state.g_AircraftFolder;
  if (Result<void> backup = RefreshAircraftCfgBackup(program_.fs, folder); !backup) {
    return make_error(backup.error().code, "cannot write " + aircraft_vnb_path(folder) + ": " + backup.error().message);
  }
  BackupAircraftCfgOnce(program_.fs, folder);
  prepared_ = true;
  return {};
}

std::optional<std::size_t> AircraftSession::find(const EntryIdentity& entry) const {
  const AircraftState& s = program_.state;
  for (std::size_t i = 0; i < s.g_AircraftEntries.size(); ++i) {
    if (identity_of(s, i) == entry) return i;
  }
  return std::nullopt;
}

// Why the marked entries may not go; nullopt when they may.
std::optional<Error> AircraftSession::refusal_to_remove(const std::vector<bool>& selection) {
  const std::vector<int> removable = removable_entries(program_.state);
  for (std::size_t i = 0; i < selection.size(); ++i) {
    if (selection[i] && std::find(removable.begin(), removable.end(), static_cast<int>(i)) == removable.end()) {
      return refused("the entry " + trim_blanks(program_.state.g_AircraftEntries[i].title) +
                     " has no texture folder or is excluded from removal");
    }
  }
  if (const std::vector<Finding> twice = numbers_used_twice(program_); !twice.empty()) {
    return refused(removal_refused_text(twice));
  }
  return std::nullopt;
}

void AircraftSession::finish() {
  prune_with_log(program_.fs, program_.state.g_AircraftFolder, program_.state.program_folder);
  (void)get_aircraft_list(program_);
}

std::optional<std::string> AircraftSession::installed_duplicate(const std::string& package_path) {
  Result<FltsimEntry> entry = package_entry(program_.fs, package_path);
  if (!entry || !pw::installed_duplicate(program_, *entry)) return std::nullopt;
  return trim_blanks(entry->title);
}

InstallReport AircraftSession::install(const std::string& package_path, const InstallOptions& options) {
  Result<FltsimEntry> entry = package_entry(program_.fs, package_path);
  if (!entry) return failed_install(entry.error());
  if (Result<void> ready = prepare_writes(); !ready) return failed_install(ready.error());
  const std::optional<std::size_t> installed = pw::installed_duplicate(program_, *entry);
  const std::string duplicate_of = installed ? trim_blanks(entry->title) : "";
  InstallReport report;
  if (installed && options.on_duplicate == DuplicateChoice::kSkip) {
    report.outcome = InstallOutcome::kSkipped;
    report.duplicate_of = duplicate_of;
    log_skipped_install(program_, package_path, duplicate_of);
    return report;
  }
  if (installed && options.on_duplicate == DuplicateChoice::kReplace) {
    std::vector<bool> replaced(program_.state.g_AircraftEntries.size(), false);
    replaced[*installed] = true;
    const std::optional<Error> refusal = refusal_to_remove(replaced);
    report = refusal ? failed_install(*refusal)
                     : replace_with_package(program_.operation(), program_.state, replaced, package_path, *entry,
                                            options.delete_package);
  } else {
    report = install_package(program_.operation(), program_.state, package_path, *entry, options.delete_package);
  }
  report.duplicate_of = duplicate_of;
  log_install(program_, package_path, report);
  if (report.outcome == InstallOutcome::kInstalled) finish();
  return report;
}

// Each repaint's refusal and duplicate question answered; what is left
// goes into the one operation.
ImportChoices AircraftSession::choose_imports(const std::vector<FoundRepaint>& repaints, DuplicateChoice on_duplicate,
                                              ImportReport& report) {
  ImportChoices choices;
  choices.replaced.assign(program_.state.g_AircraftEntries.size(), false);
  choices.refused.assign(repaints.size(), false);
  for (std::size_t i = 0; i < repaints.size(); ++i) {
    Result<FltsimEntry> entry = entry_to_import(program_.state, repaints[i]);
    if (!entry) {
      report.repaints[i] = failed_install(entry.error());
      choices.refused[i] = true;
      if (!choices.refusal) choices.refusal = entry.error();
      continue;
    }
    const std::optional<std::size_t> installed = pw::installed_duplicate(program_, *entry);
    report.repaints[i].duplicate_of = installed ? trim_blanks(entry->title) : "";
    if (installed && on_duplicate == DuplicateChoice::kSkip) {
      report.repaints[i].outcome = InstallOutcome::kSkipped;
      continue;
    }
    if (installed && on_duplicate == DuplicateChoice::kReplace) choices.replaced[*installed] = true;
    choices.chosen.push_back(download_repaint(repaints[i], std::move(*entry)));
    choices.at.push_back(i);
  }
  return choices;
}

ImportReport AircraftSession::import(Download& download, const std::vector<FoundRepaint>& repaints,
                                     DuplicateChoice on_duplicate) {
  ImportReport report;
  report.repaints.resize(repaints.size());
  if (Result<void> ready = prepare_writes(); !ready) {
    report.error = ready.error();
    for (InstallReport& r : report.repaints) r = failed_install(ready.error());
    return report;
  }
  const ImportChoices choices = choose_imports(repaints, on_duplicate, report);
  ImportReport done;
  if (choices.chosen.empty()) {
    done.outcome = choices.refusal ? InstallOutcome::kFailed : InstallOutcome::kSkipped;
    if (choices.refusal) done.error = *choices.refusal;
  } else if (const std::optional<Error> no_replace = refusal_to_remove(choices.replaced)) {
    done.error = *no_replace;
  } else {
    done = install_download(program_.operation(), program_.state, download, choices.chosen, choices.replaced);
  }
  report.outcome = done.outcome;
  report.error = done.error;
  for (std::size_t k = 0; k < choices.at.size(); ++k) {
    InstallReport& r = report.repaints[choices.at[k]];
    std::string duplicate_of = std::move(r.duplicate_of);
    r = done.outcome == InstallOutcome::kInstalled ? std::move(done.repaints[k]) : failed_install(done.error);
    r.outcome = done.outcome;
    r.duplicate_of = std::move(duplicate_of);
  }
  log_import(program_, download.contents().path, repaints, choices.refused, report);
  if (report.outcome == InstallOutcome::kInstalled) finish();
  return report;
}

RemovalReport AircraftSession::remove(const std::vector<EntryIdentity>& entries) {
  std::vector<bool> selection(program_.state.g_AircraftEntries.size(), false);
  for (const EntryIdentity& entry : entries) {
    const std::optional<std::size_t> index = find(entry);
    if (!index) return failed_removal(refused(kAircraftChangedMessage));
    selection[*index] = true;
  }
  if (const std::optional<Error> refusal = refusal_to_remove(selection)) return failed_removal(*refusal);
  RemovalReport report = remove_repaints(program_.operation(), program_.state, selection);
  log_removal(program_, report);
  if (report.outcome == RemovalOutcome::kDone) finish();
  return report;
}

Result<std::string> AircraftSession::pack(const EntryIdentity& entry, const std::vector<std::string>& files,
                                          const std::optional<std::string>& preview_path) {
  const std::optional<std::size_t> index = find(entry);
  if (!index) return refused(kAircraftChangedMessage);
  return create_package(program_.operation(), program_.state,
                        PackageRequest{static_cast<int>(*index), files, preview_path});
}

Result<void> AircraftSession::repair() { return repair_with_log(program_); }

Result<UndoReport> AircraftSession::undo(const std::string& point_name) {
  Result<UndoReport> undone = undo_with_log(program_.fs, program_.state.g_AircraftFolder, point_name);
  (void)get_aircraft_list(program_);
  return undone;
}

}  // namespace pw
