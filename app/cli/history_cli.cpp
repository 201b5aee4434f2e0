#include "app/cli/history_cli.h"

#include <ostream>
#include <vector>

#include "app/cli/json_output.h"
#include "app/cli/terminal.h"
#include "app/history_commands.h"
#include "app/operation_log.h"
#include "base/file_ops.h"

namespace pw {

Result<std::string> log_listing(FileSystem& fs, const std::string& aircraft_folder) {
  const std::string path = operation_log_path(aircraft_folder);
  if (!fs.exists(path)) return std::string();
  Result<std::string> log = read_whole_file(fs, path, std::int64_t{64} << 20);
  if (!log) return log.error();
  return for_terminal(*log);
}

Result<std::string> history_listing(FileSystem& fs, const std::string& aircraft_folder, bool json) {
  Result<std::vector<RestorePoint>> points = list_restore_points(fs, aircraft_folder);
  if (!points) return points.error();
  if (json) return history_json(*points);
  std::string lines;
  for (const RestorePoint& point : *points) lines += for_terminal(history_line(fs, point)) + '\n';
  return lines;
}

Result<std::string> undo_listing(FileSystem& fs, AircraftSession& session, std::ostream& err) {
  // What was read under the lock is what is undone.
  Result<LastOperation> last = last_operation(fs, session.aircraft().g_AircraftFolder);
  if (!last) return last.error();
  Result<UndoReport> undone = session.undo(last->can_undo ? file_name(last->point->folder) : "");
  if (!undone) return undone.error();
  if (!undone->history_note.empty()) err << "paintwell-cli: " << for_terminal(undone->history_note) << "\n";
  return "undone\t" + for_terminal(history_line(fs, undone->point)) + '\n';
}

}  // namespace pw
