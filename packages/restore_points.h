// Restore points: what an operation changed in an aircraft's folder, kept so
// that it can be taken back (see undo.h). Each point is a folder
// <aircraft>\Paintwell.history\<UTC time>-<operation>\ holding
//   aircraft.cfg   the file as it was before the operation
//   manifest.txt   what the operation does (RestoreManifest), written first
//   folders\       the texture folders it removed: moved here, not deleted
//   created\       the folders it created, once an undo has taken them out
//   packages\      the packages of Downloads an install was to delete
//   work\          the install's staging folder while it runs
// The simulator reads only Texture.* folders and aircraft.cfg, so it never
// looks in here. Points are named so that name order is time order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw {

// Where a point stands. A point is written with what its operation is
// about to do before the operation changes anything (kBegun), and sealed
// once it is done (kDone); an undo marks it kUndoing before its first
// change and kUndone after its last. A point left kBegun or kUndoing was
// interrupted (see recover_interrupted_operation).
enum class PointState { kBegun, kDone, kUndoing, kUndone };

struct RestoreManifest {
  std::string operation;  // "install", "remove", "repair"; "interrupted" when the manifest was never written
  std::string time;       // UTC when the point was begun: "20261207-143700.123 UTC"
  std::string cfg_before;  // fingerprint (cfg_fingerprint) of aircraft.cfg before the operation
  std::string cfg_after;   // and as the operation leaves it, known before it begins
  PointState state = PointState::kBegun;
  std::vector<std::string> packages;
  std::vector<std::string> packages_kept;     // file names of Downloads, moved into the point's packages\ .
  std::vector<std::string> packages_deleted;  // packages from elsewhere, deleted for good
  std::vector<std::string> sections_written;  // "[fltsim.3] title"
  std::vector<std::string> sections_deleted;
  std::vector<std::string> folders_created;  // names directly in the aircraft's folder
  std::vector<std::string> folders_removed;  // names, moved into the point's folders\ .
  bool undone() const { return state == PointState::kUndone; }
  bool interrupted() const { return state == PointState::kBegun || state == PointState::kUndoing; }
  bool operator==(const RestoreManifest&) const = default;
};

// True when the operation (a replace) both removed and created the folder
// `name`: the new repaint took the old one's name.
bool is_replaced_folder(const RestoreManifest& manifest, const std::string& name);

struct RestorePoint {
  std::string folder;  // full path of the point's folder
  RestoreManifest manifest;
  // Why the manifest cannot be used (too large, damaged); empty when it can
  // or when there is none, as for a point stopped before its manifest.
  std::string unreadable;
  bool has_manifest = false;
};

// <aircraft>\Paintwell.history
std::string history_folder(const std::string& aircraft_folder);

// "<size>:<64-bit FNV-1a in hex>": enough to tell whether aircraft.cfg is
// still the file an operation left.
std::string cfg_fingerprint(std::string_view bytes);

// The largest manifest read; a larger one is refused, naming the limit.
inline constexpr std::int64_t kMaxManifestBytes = std::int64_t{16} << 20;

// The manifest as stored (key=value lines, CR LF) and read back, in one
// pass. Reading refuses (kDamaged) a text without an operation or with a
// folder or package name that is not a single safe name, since undo
// renames what it names.
std::string format_manifest(const RestoreManifest& manifest);
Result<RestoreManifest> parse_manifest(std::string_view text);

// True for "Texture.<something>": the only folders an operation creates
// or removes.
bool is_texture_folder_name(std::string_view name);

// Starts a restore point for `intent` (operation and what it is about to
// do: folders, sections, packages): makes its folder (named after the UTC
// time, later than every existing point), writes `cfg_before`, the bytes of
// aircraft.cfg now, into it and then the manifest, kBegun, with the
// fingerprints of `cfg_before` and `cfg_after`. Until the manifest is
// written the point holds nothing a recovery needs. The copy is not
// synced: Aircraft.vnb holds the same bytes durably, and undo checks the
// copy against its fingerprint before using it. Errors: the history cannot
// be listed, the folders or files cannot be written (file layer codes);
// nothing is left behind then, not even an empty history folder.
Result<RestorePoint> begin_restore_point(FileSystem& fs, const std::string& aircraft_folder, RestoreManifest intent,
                                         std::string_view cfg_before, std::string_view cfg_after);

// A folder of the point the operation uses for its own work (the staging
// of an install); it goes with the point.
std::string restore_point_work_folder(const RestorePoint& point);

// Moves the folders the point's manifest names as removed from the
// aircraft's folder into the point (one rename each on the same volume, so
// nothing is half-deleted). When one cannot be moved, the operation is
// taken back (roll_back_operation): nothing changed. Errors name the
// folder: those of rename_new and make_folder (kAccessDenied when in use).
Result<void> move_folders_into_restore_point(FileSystem& fs, RestorePoint& point, const std::string& aircraft_folder);

// Moves a package of Downloads that the manifest names as kept into the
// point. Errors: those of make_folder and rename_new; the package then
// stays where it is.
Result<void> move_package_into_restore_point(FileSystem& fs, const RestorePoint& point,
                                             const std::string& package_path);

// Replaces aircraft.cfg with `new_cfg` (the text whose fingerprint the
// point holds) and seals the point (kDone). On failure the operation is
// taken back (roll_back_operation): nothing changed. Errors: those of
// replace_file; when the taking back fails too, the message says the next
// change will take it back.
Result<void> replace_cfg_with_restore_point(FileSystem& fs, RestorePoint& point, const std::string& aircraft_folder,
                                            std::string_view new_cfg);

// Seals a point whose operation replaced aircraft.cfg itself (kDone).
// Errors: those of replace_file.
Result<void> seal_restore_point(FileSystem& fs, RestorePoint& point);

// Writes the point's manifest as it is now, in one atomic replace.
Result<void> write_manifest(FileSystem& fs, const RestorePoint& point);

// Takes back whatever part of the point's operation is done, in an order
// that can be repeated after a crash: the folders it created go into the
// point's created\ , those it removed and the packages it kept come back,
// then aircraft.cfg gets the point's copy when it is what the operation
// left (the copy is checked before anything moves). Steps already taken
// back are skipped. Errors: file layer codes;
// kDamaged when the copy of aircraft.cfg is needed and does not match;
// kExists when a folder to put back exists again.
Result<void> take_back_operation(FileSystem& fs, const RestorePoint& point, const std::string& aircraft_folder);

// The operation fails after all: it is taken back and its point goes. A
// point that cannot be taken back stays for the recovery of the next
// change, and the error says so.
Error roll_back_operation(FileSystem& fs, RestorePoint& point, const std::string& aircraft_folder, const Error& cause);

// Removes a point whose operation failed and whose folders are back, and
// the history folder when it is left empty. Errors are ignored: a leftover
// point only waits for pruning.
void discard_restore_point(FileSystem& fs, const RestorePoint& point);

// The points of the aircraft, newest first. A point without a manifest
// (stopped before it was written) is listed kBegun with operation
// "interrupted"; one whose manifest cannot be used says why in
// `unreadable`. A missing history lists nothing. Errors: those of list
// other than kNotFound.
Result<std::vector<RestorePoint>> list_restore_points(FileSystem& fs, const std::string& aircraft_folder);

// How much history is kept. Read from the [history] section of
// <program folder>\Paintwell.ini: keep_points and keep_megabytes; a missing
// file, section or value, or a value that is not a positive number, keeps
// the default.
struct HistoryLimits {
  int keep_points = 20;
  std::int64_t keep_bytes = std::int64_t{2048} * 1024 * 1024;
};
HistoryLimits read_history_limits(FileSystem& fs, const std::string& program_folder);

// Deletes for good the oldest points beyond the limits: from the newest
// back, once more than keep_points are counted or the moved folders add up
// to more than keep_bytes, that point and every older one go. The newest
// point always stays, so the last operation can be undone. Says which
// points were deleted and which could not be (wholly).
struct PruneReport {
  std::vector<std::string> deleted;
  std::vector<std::string> not_deleted;
};
PruneReport prune_history(FileSystem& fs, const std::string& aircraft_folder,
                                       const HistoryLimits& limits);

}  // namespace pw
