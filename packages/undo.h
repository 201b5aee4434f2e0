// Undo: takes back the latest operation recorded in the aircraft's history
// (restore_points.h) that is not undone yet, after checking that its
// restore point can be trusted; and the recovery of an operation that a
// crash interrupted.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/platform/file_system.h"
#include "base/result.h"
#include "packages/restore_points.h"

namespace pw {

struct UndoReport {
  RestorePoint point;  // the point taken back, now marked undone
  // Empty, or why the point could not be marked undone although the tree
  // is as before the operation (the next change then only marks it).
  std::string history_note;
};

// The operation an undo would take back: the latest point neither undone
// nor interrupted (can_undo), or, once every point is undone, the newest;
// no point without history. `interrupted` names an operation a crash
// stopped, which the next change takes back. Errors: those of
// list_restore_points.
struct LastOperation {
  std::optional<RestorePoint> point;
  bool can_undo = false;
  std::optional<RestorePoint> interrupted;
};
Result<LastOperation> last_operation(FileSystem& fs, const std::string& aircraft_folder);

// Takes back the point named `point_name` (its folder's name), which must
// still be the latest that can be undone: the folders the operation
// created are moved into the point, the folders it removed and the
// packages it kept are moved back, and aircraft.cfg gets its old bytes in
// one atomic replace. The point is marked undoing before the first change
// and undone after the last, so a crash between is completed by
// recover_interrupted_operation.
// Errors, with aircraft.cfg and every texture folder as before the undo
// and a message that begins "nothing was undone: ":
// kNotFound (nothing to undo), kRefused (a newer operation was recorded
// since the point was named; aircraft.cfg is no longer what the operation
// left, so an undo would lose a later edit; the point is not to be
// trusted: a part of it is a link, or its manifest names a folder the
// operation cannot have created or removed), kExists (a folder or package
// to put back exists again), kDamaged (the point's copy of aircraft.cfg
// does not match its fingerprint, a folder it should hold is missing, its
// manifest cannot be read), file layer codes. Only when a failure cannot
// be rolled back does the message begin "the undo stopped half-way: ";
// the next change then completes the undo.
Result<UndoReport> undo_restore_point(FileSystem& fs, const std::string& aircraft_folder,
                                      const std::string& point_name);

// Takes back an operation a crash interrupted, before a command changes
// the aircraft: an operation begun and not sealed is rolled back, an undo
// begun is completed. Returns what it did, one sentence each ("an
// interrupted install of ... was taken back"); nothing when nothing was
// interrupted. A point without a manifest that holds folders is left
// alone and said so, as is one that cannot be trusted (see undo). Errors:
// the history cannot be listed or a step fails (file layer codes, kDamaged
// for a damaged copy of aircraft.cfg); what was taken back so far stays
// taken back and the point stays for the next attempt.
Result<std::vector<std::string>> recover_interrupted_operation(FileSystem& fs, const std::string& aircraft_folder);

// "restore point <folder name>: <operation> of <time>", for logs and lists.
std::string describe_restore_point(const RestorePoint& point);

}  // namespace pw
