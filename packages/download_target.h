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

// Ranks every aircraft of the library for the repaint. Reads the aircraft
// folders' listings (no file contents); nothing is written.
TargetChoice choose_target_aircraft(FileSystem& fs, const Library& library, const DownloadContents& contents,
                                    const FoundRepaint& repaint);

}  // namespace pw
