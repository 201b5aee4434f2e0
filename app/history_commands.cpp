#include "app/history_commands.h"

#include <vector>

#include "app/operation_log.h"
#include "base/file_ops.h"

namespace pw {

std::string history_changes(const RestoreManifest& m, bool package_paths) {
  std::vector<std::string> packages = m.packages;
  if (!package_paths) {
    for (std::string& package : packages) package = file_name(package);
  }
  std::string changes;
  const auto add = [&](const char* what, const std::vector<std::string>& items) {
    for (const std::string& item : items) changes += (changes.empty() ? "" : "; ") + std::string(what) + item;
  };
  add(m.operation == "import" ? "download " : "package ", packages);
  add("wrote ", m.sections_written);
  add("deleted ", m.sections_deleted);
  add("created folder ", m.folders_created);
  add("moved folder ", m.folders_removed);
  return changes;
}

std::string history_line(FileSystem& fs, const RestorePoint& point) {
  RestoreManifest m = point.manifest;
  for (std::string& package : m.packages) package = fs.native_path(package);
  const char* state = m.undone() ? "undone" : m.interrupted() ? "interrupted" : "-";
  return m.time + "\t" + m.operation + "\t" + history_changes(m) + "\t" + state;
}

Result<UndoReport> undo_with_log(FileSystem& fs, const std::string& aircraft_folder, const std::string& point_name) {
  Result<UndoReport> undone = undo_restore_point(fs, aircraft_folder, point_name);
  LogRecord record{"undo", {}, "done"};
  if (undone) {
    record.details.push_back(describe_restore_point(undone->point));
    if (!undone->history_note.empty()) record.details.push_back(undone->history_note);
  } else {
    record.result = undone.error().message;
  }
  (void)append_log_record(fs, aircraft_folder, record);  // the log never fails an operation
  return undone;
}

Result<std::vector<std::string>> recover_with_log(FileSystem& fs, const std::string& aircraft_folder) {
  Result<std::vector<std::string>> recovered = recover_interrupted_operation(fs, aircraft_folder);
  if (recovered && recovered->empty()) return recovered;
  LogRecord record{"recovery", recovered ? *recovered : std::vector<std::string>{}, "done"};
  if (!recovered) record.result = "failed: " + recovered.error().message;
  (void)append_log_record(fs, aircraft_folder, record);
  return recovered;
}

std::string interrupted_note(FileSystem& fs, const std::string& aircraft_folder) {
  Result<LastOperation> last = last_operation(fs, aircraft_folder);
  if (!last || !last->interrupted) return {};
  const RestoreManifest& m = last->interrupted->manifest;
  return "an interrupted " + std::string(m.state == PointState::kUndoing ? "undo of the " : "") + m.operation +
         " of " + m.time + " is taken back by the next change to the aircraft";
}

void prune_with_log(FileSystem& fs, const std::string& aircraft_folder, const std::string& program_folder) {
  const PruneReport pruned = prune_history(fs, aircraft_folder, read_history_limits(fs, program_folder));
  if (pruned.deleted.empty() && pruned.not_deleted.empty()) return;
  LogRecord record{"prune history", {}, pruned.not_deleted.empty() ? "done" : "failed in part"};
  for (const std::string& name : pruned.deleted) record.details.push_back("deleted restore point " + name);
  for (const std::string& name : pruned.not_deleted) {
    record.details.push_back("could not delete restore point " + name);
  }
  (void)append_log_record(fs, aircraft_folder, record);
}

}  // namespace pw
