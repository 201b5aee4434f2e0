// Which aircraft of the library a found repaint belongs to, ranked on what
// the download says: a path naming the aircraft's folder first, then sim=
// matching its .air files or its entries' sim, then model=, panel= and
// sound= naming its folders, then texture file names shared with its own
// texture folders.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "aircraft/library_index.h"
#include "packages/download.h"
#include "packages/download_scan.h"

namespace pw {

struct TargetChoice {
  // Indices in Library::aircraft, best first. One ahead of all others is
  // the clear best; several with the same standing are a tie to choose
  // from; none means nothing matched.
  std::vector<std::size_t> candidates;
  bool clear = false;  // candidates.front() is ahead of every other
  // What was looked for, for a refusal when nothing matched
  // ("no aircraft folder named C172, with sim=c172, ...").
  std::string looked_for;
};

// Ranks every aircraft of the library for the repaint, tier by tier: a
// folder of path_above equal to the aircraft folder's name (case ignored);
// the entry's sim= equal to the base name of one of its .air files or to
// the sim of one of its entries; how many of the folders model=, panel= and
// sound= name it holds ("model.X" for model=X, "model" for an empty
// model=); how many of the repaint's texture file names its own texture
// folders hold (texture.cfg and thumbnail.jpg, which every one holds, do
// not count). Only aircraft that score somewhere are candidates. Each
// aircraft folder is listed once; its texture folders only when the first
// three tiers leave it level with the best, so when they decide alone,
// aircraft that would match on texture file names only are not listed.
// Reads listings, no file contents; a folder that cannot be listed scores
// on what the index holds. Nothing is written.
TargetChoice choose_target_aircraft(FileSystem& fs, const Library& library, const DownloadContents& contents,
                                    const FoundRepaint& repaint);

}  // namespace pw
