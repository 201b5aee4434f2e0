// Undo: takes back the latest operation recorded in the aircraft's history
// (restore_points.h) that is not undone yet.
#pragma once

#include <optional>
#include <string>

#include "base/platform/file_system.h"
#include "base/result.h"
#include "packages/restore_points.h"

namespace pw {

struct UndoReport {
  RestorePoint point;  // the point taken back, now marked undone
  // Empty, or why the point could not be marked undone although the tree
  // is as before the operation (the next undo then only marks it).
  std::string history_note;
};

// The operation an undo would take back: the latest point not yet undone
// (can_undo), or, once every point is undone, the newest; no point without
// history. Errors: those of list_restore_points.
struct LastOperation {
  std::optional<RestorePoint> point;
  bool can_undo = false;
};
Result<LastOperation> last_operation(FileSystem& fs, const std::string& aircraft_folder);

// Takes back the latest point not yet undone: the folders the operation
// created are moved into the point, the folders it removed are moved back,
// and aircraft.cfg gets its old bytes in one atomic replace; then the point
// is marked undone.
// Errors, with aircraft.cfg and every texture folder as before the undo
// and a message that begins "nothing was undone: ":
// kNotFound (nothing to undo), kRefused (aircraft.cfg is no longer what the
// operation left, so an undo would lose a later edit), kExists (a folder to
// put back exists again), kDamaged (the point's copy of aircraft.cfg does
// not match its fingerprint), file layer codes. Only when a failure is
// followed by a failure to move a folder back does the message begin "the
// undo stopped half-way: " and say which folder is where.
Result<UndoReport> undo_latest(FileSystem& fs, const std::string& aircraft_folder);

// "restore point <folder name>: <operation> of <time>", for logs and lists.
std::string describe_restore_point(const RestorePoint& point);

}  // namespace pw
