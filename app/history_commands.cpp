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
  add("package ", packages);
  add("wrote ", m.sections_written);
  add("deleted ", m.sections_deleted);
  add("created folder ", m.folders_created);
  add("moved folder ", m.folders_removed);
  return changes;
}

std::string history_line(const RestorePoint& point) {
  const RestoreManifest& m = point.manifest;
  return m.time + "\t" + m.operation + "\t" + history_changes(m) + "\t" + (m.undone ? "undone" : "-");
}

Result<UndoReport> undo_with_log(FileSystem& fs, const std::string& aircraft_folder) {
  Result<UndoReport> undone = undo_latest(fs, aircraft_folder);
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

void prune_with_log(FileSystem& fs, const std::string& aircraft_folder, const std::string& program_folder) {
  const std::vector<std::string> pruned =
      prune_history(fs, aircraft_folder, read_history_limits(fs, program_folder));
  if (pruned.empty()) return;
  LogRecord record{"prune history", {}, "done"};
  for (const std::string& name : pruned) record.details.push_back("deleted restore point " + name);
  (void)append_log_record(fs, aircraft_folder, record);
}

}  // namespace pw
