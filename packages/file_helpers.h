// Small file and folder procedures shared by the package and removal
// operations.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "aircraft/fltsim_entry.h"
#include "base/operation_context.h"
#include "base/result.h"

namespace pw {

// DeleteFileAndWait gives up after this many attempts, pausing
// kDeleteRetryMs between them once the first one left the file behind.
inline constexpr int kDeleteAttempts = 20;
inline constexpr int kDeleteRetryMs = 10;

// A texture folder lists at most this many files for packing.
inline constexpr std::size_t kMaxTextureRows = 100;

// Deletes exactly the file at `path` (or the link there, not what it leads
// to) and repeats, letting pending window events run between attempts,
// until it is gone or kDeleteAttempts attempts are done. No character is a
// wildcard; a name whose '?' stand-ins fit several files is left alone.
// Errors are ignored.
void DeleteFileAndWait(const OperationContext& op, const std::string& path);

// Deletes the first 1000 files and links directly inside the folder,
// hidden ones included, then the folder itself; a folder that is itself a
// link loses the link only. Errors: the folder still exists afterwards
// (kIo, naming what is left in it and, when known, why).
Result<void> RemoveFolder(const OperationContext& op, const std::string& folder);

// <aircraft_folder>\Texture.<trimmed texture>, doubled backslashes
// reduced; nullopt when "Texture.<texture>" is not a safe single folder
// name (an empty texture, "..", a separator, a drive...).
std::optional<std::string> texture_folder_path(const std::string& aircraft_folder, const FltsimEntry& entry);

// The preview bitmap stored in a package; nullopt when it has none or
// cannot be read any more.
std::optional<std::string> stored_preview(FileSystem& fs, const std::string& package_path);

// The picture the simulator's aircraft menu shows for a texture folder:
// its thumbnail.jpg, else thumbnail.bmp, else thumbnail.png, whatever the
// case of the name; nullopt when it holds none (or is no folder).
std::optional<std::string> find_thumbnail(FileSystem& fs, const std::string& texture_folder);

// The normal files of the entry's texture folder, sorted by name without
// regard to case, at most kMaxTextureRows. An unsafe or empty texture or a
// missing folder gives none.
std::vector<std::string> texture_file_names(FileSystem& fs, const std::string& aircraft_folder,
                                            const FltsimEntry& entry);

}  // namespace pw
