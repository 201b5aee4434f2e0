// Restore points: what an operation changed in an aircraft's folder, kept so
// that it can be taken back (see undo.h). Each point is a folder
// <aircraft>\Paintwell.history\<UTC time>-<operation>\ holding
//   aircraft.cfg   the file as it was before the operation
//   manifest.txt   what the operation did (RestoreManifest)
//   folders\       the texture folders it removed: moved here, not deleted
//   created\       the folders it created, once an undo has taken them out
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

struct RestoreManifest {
  std::string operation;  // "install", "remove", "repair"; "interrupted" when the manifest was never written
  std::string time;       // UTC when the point was begun: "20261207-143700.123 UTC"
  std::string cfg_before;  // fingerprint (cfg_fingerprint) of aircraft.cfg before the operation
  std::string cfg_after;   // and as the operation left it; empty until sealed
  bool undone = false;
  std::vector<std::string> packages;
  std::vector<std::string> sections_written;  // "[fltsim.3] title"
  std::vector<std::string> sections_deleted;
  std::vector<std::string> folders_created;  // names directly in the aircraft's folder
  std::vector<std::string> folders_removed;  // names, moved into the point's folders\ .
  bool operator==(const RestoreManifest&) const = default;
};

struct RestorePoint {
  std::string folder;  // full path of the point's folder
  RestoreManifest manifest;
};

// <aircraft>\Paintwell.history
std::string history_folder(const std::string& aircraft_folder);

// "<size>:<64-bit FNV-1a in hex>": enough to tell whether aircraft.cfg is
// still the file an operation left.
std::string cfg_fingerprint(std::string_view bytes);

// The manifest as stored (key=value lines, CR LF) and read back. Reading
// refuses (kDamaged) a text without an operation or with a folder name that
// is not a single safe name, since undo renames what it names.
std::string format_manifest(const RestoreManifest& manifest);
Result<RestoreManifest> parse_manifest(std::string_view text);

// Starts a restore point for `operation`: makes its folder (named after the
// UTC time, later than every existing point) and writes `cfg_before`, the
// bytes of aircraft.cfg now, into it. The copy is not synced: Aircraft.vnb
// holds the same bytes durably, and undo checks the copy against its
// fingerprint before using it. Errors: the history cannot be listed, the
// folders or the copy cannot be written (file layer codes); nothing is
// left behind then.
Result<RestorePoint> begin_restore_point(FileSystem& fs, const std::string& aircraft_folder,
                                         const std::string& operation, std::string_view cfg_before);

// Moves each named folder of the aircraft's folder into the point (one
// rename each on the same volume, so nothing is half-deleted) and notes
// them in the manifest. When one cannot be moved, those moved so far go
// back and the point is discarded: nothing changed. Errors name the
// folder: those of rename_new and make_folder (kAccessDenied when in use).
Result<void> move_folders_into_restore_point(FileSystem& fs, RestorePoint& point, const std::string& aircraft_folder,
                                             const std::vector<std::string>& names);

// Records aircraft.cfg as the operation leaves it, writes the manifest in
// one atomic replace and then replaces aircraft.cfg, so a point always
// describes a change that was made or was about to be. On failure the
// folders moved in go back and the point is discarded: nothing changed.
// Errors: those of replace_file; one of rename_new when a folder cannot
// go back, and the message then names it.
Result<void> replace_cfg_with_restore_point(FileSystem& fs, RestorePoint& point, const std::string& aircraft_folder,
                                            std::string_view new_cfg);

// Records aircraft.cfg as an operation that replaced it itself has left
// it (the manifest in one atomic replace). Errors: those of replace_file.
Result<void> seal_restore_point(FileSystem& fs, RestorePoint& point, std::string_view cfg_after);

// Removes a point whose operation failed and whose folders are back, and
// the history folder when it is left empty. Errors are ignored: a leftover
// point only waits for pruning.
void discard_restore_point(FileSystem& fs, const RestorePoint& point);

// The operation fails after its folders were moved into the point: they go
// back, the last one first, and the point is discarded. Returns `cause`;
// when a folder cannot go back the point stays and the error says where
// that folder is.
Error give_up_restore_point(FileSystem& fs, RestorePoint& point, const std::string& aircraft_folder,
                            const Error& cause);

// The points of the aircraft, newest first. A point without a readable
// manifest (the program was stopped before it was sealed) is listed with
// operation "interrupted". A missing history lists nothing. Errors: those of
// list other than kNotFound.
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
// point always stays, so the last operation can be undone. Returns the
// names of the points deleted.
std::vector<std::string> prune_history(FileSystem& fs, const std::string& aircraft_folder,
                                       const HistoryLimits& limits);

}  // namespace pw
