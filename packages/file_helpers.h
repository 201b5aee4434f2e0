// Small file and folder procedures shared by the package and removal
// operations.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "aircraft/fltsim_entry.h"
#include "app/app_context.h"

namespace pw {

// DeleteFileAndWait gives up after this many passes over the matching files,
// pausing kDeleteRetryMs between passes once the first one left files behind.
inline constexpr int kDeleteAttempts = 20;
inline constexpr int kDeleteRetryMs = 10;

// lstTextures holds at most this many rows.
inline constexpr std::size_t kMaxTextureRows = 100;

// Deletes every normal (not hidden) file matching the path or pattern
// (wildcards in the last part, case ignored) and repeats, letting the
// screens handle their events between passes, until none matches or
// kDeleteAttempts passes are done. Errors are ignored.
void DeleteFileAndWait(AppContext& ctx, const std::string& path_or_pattern);

// Deletes the first 1000 files directly inside the folder, hidden ones
// included, then the folder itself (which stays when it still holds
// something, a subfolder for instance). Errors are ignored.
void RemoveFolder(AppContext& ctx, const std::string& folder);

// <g_AircraftFolder>\Texture.<trimmed texture>, doubled backslashes
// reduced; nullopt when "Texture.<texture>" is not a safe single folder
// name (an empty texture, "..", a separator, a drive...).
std::optional<std::string> texture_folder_path(const SharedState& state, const FltsimEntry& entry);

// Fills lstTextures of frm_Package (enabled) with the normal files of the
// entry's texture folder, sorted by name without regard to case, all
// checked, item data = row position, at most kMaxTextureRows, row 0 current.
// A bad index, an unsafe or empty texture or a missing folder gives an
// empty list.
void ListTextureFiles(AppContext& ctx, int entryIndex);

// Shows the preview of package `packageIndex` (of g_PackagePaths) in
// picPreview of frm_Install: the stored bitmap is written, byte for byte,
// to temp_preview_path and that file is shown. A package without a
// preview, a bad index, a vanished or damaged package, a failed write or a
// bitmap that does not load leave the picture as it was.
void ShowPackagePreview(AppContext& ctx, int packageIndex);

// <program folder>\Media\tmpPreviewImage.bmp
std::string temp_preview_path(const SharedState& state);

}  // namespace pw
