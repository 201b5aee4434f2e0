// Looking at an aircraft's aircraft.cfg and folder before writing: the
// faults users of repaint tools meet most, each explained in one line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/platform/file_system.h"
#include "base/result.h"

namespace pw {

enum class FindingKind {
  kUnreadable,            // not a profile file this program can read safely
  kDuplicateNumber,       // [fltsim.N] used more than once
  kHiddenEntry,           // above a second missing number: never listed
  kDuplicateTitle,        // two entries with one title
  kMissingTitle,          // a [fltsim.N] without a title counts as missing
  kMissingTextureFolder,  // an entry whose Texture.<texture> is gone
  kOrphanTextureFolder,   // a Texture.* folder no entry names
  // What the texture check finds (aircraft/texture_check.h):
  kMissingFallback,       // a texture.cfg fallback that is no folder here
  kFallbackGap,           // fallbacks after a missing number are never read
  kMissingTextureCfg,     // no texture.cfg where most repaints have one
  kMissingThumbnail,      // no thumbnail.jpg where most repaints have one
  kTruncatedTexture,      // an empty .dds/.bmp, or one without its kind's first bytes
  kUnusableName,          // a name holding '\' or '/', which Windows allows in no name
  kInlineComment,         // an entry's value that holds a "; comment"
};

struct Finding {
  FindingKind kind;
  std::string subject;      // the section ("fltsim.3") or folder ("Texture.Old") concerned
  std::string explanation;  // one line a user understands
};

// A short stable name of the kind ("duplicate-number"), for the command line.
const char* finding_kind_name(FindingKind kind);

// The findings that the file's bytes alone show, in the order of the kinds
// above and, within a kind, of the file.
std::vector<Finding> diagnose_cfg_text(std::string_view cfg_bytes);

// The kUnreadable findings of a profile file's bytes: UTF-16, a UTF-8 byte
// order mark, NUL bytes (subject `file_name`), a '[' never closed (subject
// "line N").
std::vector<Finding> unsafe_profile_findings(std::string_view bytes, const std::string& file_name);

// N of a name made of `prefix` (any case) and plain decimal digits
// ("fltsim.3", "fallback.2"); nullopt for any other name.
std::optional<int> number_after_prefix(std::string_view name, std::string_view prefix);

// diagnose_cfg_text of the aircraft's Aircraft.cfg (a missing file has no
// findings), plus the texture folders named and not named, plus
// check_aircraft_textures. Errors: the file or a folder cannot be read.
Result<std::vector<Finding>> diagnose_aircraft(FileSystem& fs, const std::string& aircraft_folder);

bool has_kind(const std::vector<Finding>& findings, FindingKind kind);

// A finding the renumbering repair mends: a number used twice, or an
// entry hidden after a second missing number.
bool is_mended_by_renumbering(const Finding& finding);

// The safe repair: every [fltsim.N] header renumbered in file order into
// one sequence from 0; every other line kept as it is.
std::string renumbered_cfg_text(std::string_view cfg_bytes);

// The numbers renumbered_cfg_text changes: old, new, in file order.
using Renumbering = std::vector<std::pair<int, int>>;
Renumbering renumbering_of(std::string_view cfg_bytes);

// Refreshes Aircraft.vnb, then replaces Aircraft.cfg with its renumbered
// text in one step; gives what was renumbered. Errors: those of reading and
// writing the files.
Result<Renumbering> repair_aircraft_cfg(FileSystem& fs, const std::string& aircraft_folder);

}  // namespace pw
