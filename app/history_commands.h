// The history commands (undo, pruning) with their records in Paintwell.log.
#pragma once

#include <string>

#include "base/platform/file_system.h"
#include "base/result.h"
#include "packages/undo.h"

namespace pw {

// What the operation changed, "; " between the changes ("package
// C:\Downloads\X.pkg; wrote [fltsim.3] Blue; created folder Texture.Blue",
// "download C:\Downloads\X.zip; ..." for an import); without
// `package_paths` packages and downloads are named by file name alone.
std::string history_changes(const RestoreManifest& manifest, bool package_paths = true);

// One line of `paintwell-cli history`: time, TAB, operation, TAB, what it
// did ("; " between the changes, packages as fs.native_path shows them),
// TAB, "undone", "interrupted" or "-".
std::string history_line(FileSystem& fs, const RestorePoint& point);

// undo_restore_point with a record of what was undone, or of why not.
Result<UndoReport> undo_with_log(FileSystem& fs, const std::string& aircraft_folder, const std::string& point_name);

// recover_interrupted_operation with a record of what it took back. Every
// command that changes the aircraft runs it before its own work and shows
// the sentences it returns; an error refuses the command.
Result<std::vector<std::string>> recover_with_log(FileSystem& fs, const std::string& aircraft_folder);

// What a reading command says of an operation a crash interrupted, which
// it leaves alone; empty when there is none.
std::string interrupted_note(FileSystem& fs, const std::string& aircraft_folder);

// Prunes the aircraft's history to the limits of the program's settings
// (read_history_limits), with a record of the points deleted and of those
// that could not be. Run after every operation that kept a restore point.
void prune_with_log(FileSystem& fs, const std::string& aircraft_folder, const std::string& program_folder);

}  // namespace pw
