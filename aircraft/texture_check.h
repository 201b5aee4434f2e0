// The texture folders of an aircraft as the simulator will read them: the
// texture.cfg whose fallback folders supply what a repaint leaves out, the
// thumbnail, and texture files cut short by a broken download. Parts the
// simulator cannot find show transparent or in another livery, so these
// are caught before it shows them. Findings take the form of the checks of
// aircraft.cfg: the folder (or entry), then one line naming the key.
#pragma once

#include <string>
#include <vector>

#include "aircraft/diagnosis.h"
#include "base/platform/file_system.h"
#include "base/result.h"
#include "config/profile.h"

namespace pw {

// The names of the aircraft's repaint folders, Texture.<name>, in listing
// order (its own Texture folder is none). Errors: those of listing it; a
// missing folder has none.
Result<std::vector<std::string>> repaint_folders(FileSystem& fs, const std::string& aircraft_folder);

// Checks one texture folder that is, or is about to be, directly inside an
// aircraft's folder. `folder` holds the files now; `placed_as` is the path
// the simulator will see them at: `folder` itself for a folder in place,
// the final name for a staging folder. Relative fallbacks resolve from
// `placed_as` (absolute ones as written), findings name its last part, and
// the aircraft's other repaints are the Texture.* folders beside it.
// Findings: kMissingFallback, kFallbackGap, kMissingTextureCfg and
// kMissingThumbnail (when most other repaints have the file), kUnreadable
// (texture.cfg), kTruncatedTexture, kUnusableName (a name in `folder` that
// holds a separator, which nothing here opens). Errors: `folder` or the aircraft's
// folder cannot be listed.
Result<std::vector<Finding>> check_texture_folder(FileSystem& fs, const std::string& folder,
                                                  const std::string& placed_as);

// check_texture_folder of the existing texture folder of every entry the
// listing of `cfg` shows (a folder two entries share once), with every
// Texture.* folder of the aircraft as a repaint to compare with; then
// kInlineComment for each value of a listed entry that holds a comment
// (`texture = "DCX" ; texture folder`): a ';' after a blank, a tab or a
// quote, which the profile reader keeps as part of the value; then
// kUnusableName for each such name directly in the aircraft's folder.
// Each folder is listed once. Errors: a folder cannot be listed.
Result<std::vector<Finding>> check_aircraft_textures(FileSystem& fs, const std::string& aircraft_folder,
                                                     const ProfileDocument& cfg);

}  // namespace pw
