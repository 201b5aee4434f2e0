// paintwell-cli's `import`: the repaints of downloads (zip, 7z and rar
// archives, unpacked folders) installed into the aircraft each belongs to,
// listed, or turned into Paintwell packages.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/aircraft_session.h"
#include "app/session.h"

namespace pw {

struct ImportCommand {
  std::vector<std::string> downloads;  // core paths, absolute
  std::vector<std::string> shown;      // the same as given, for the lines printed
  std::optional<std::string> aircraft;  // FILE or FOLDER selecting the target of every repaint
  std::optional<std::string> to_pkg;    // DIR: packages are written there instead
  bool dry_run = false;
  bool make_entry = false;  // repaints without a block get one made up
  bool json = false;
  DuplicateChoice on_duplicate = DuplicateChoice::kCopy;
  std::string cache_folder;  // the library's cache; empty: none
};

// Opens every download, finds its repaints and each one's aircraft (the
// --aircraft one, or the clear best of the library), then lists them
// (dry run), packs them or installs them, one operation per download and
// aircraft. A tie refuses the whole command before anything is written,
// listing the candidates; a repaint with no aircraft, a refused block or a
// made-up entry without make_entry is refused alone. Returns the exit
// status.
int import_downloads(Session& session, const ImportCommand& command, std::ostream& out, std::ostream& err);

// The word --on-duplicate takes for the choice ("copy", "skip", "replace").
const char* choice_name(DuplicateChoice choice);

}  // namespace pw
