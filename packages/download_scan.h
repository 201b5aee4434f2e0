// Finding the repaints in a download: its Texture.<name> folders at any
// depth, and the [fltsim.x] blocks its text files hold, paired by the
// blocks' texture= values.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "aircraft/fltsim_entry.h"
#include "packages/download.h"

namespace pw {

inline constexpr const char* kMadeUpSource = "made up";

struct FoundRepaint {
  std::string folder;   // the Texture.<name> folder's path in the download
  std::string texture;  // <name>: what follows "Texture." in the folder's name
  std::vector<std::size_t> files;  // its files (indices in DownloadContents::files), sub-folders included
  // The block paired with the folder; nullopt when the download holds none
  // (made_up_entry then makes one from the target aircraft).
  std::optional<FltsimEntry> entry;
  std::string source;  // "readme.txt, line 12", or kMadeUpSource
  std::vector<std::string> keys_left_out;  // keys of the block an entry does not hold
  // Why the block cannot be installed ("the value of atc_id is longer
  // than its field (50 characters)", or check_entry_text's reason, the
  // first found); empty when it can.
  std::string refusal;
  // The names of the folders above the texture folder in the download,
  // outermost first (an aircraft's folder, SimObjects, ...).
  std::vector<std::string> path_above;
};

struct DownloadScan {
  std::vector<FoundRepaint> repaints;  // in the download's order
  // Folders of the download that are no texture folder and are left out:
  // model.*, panel.*, sound.* and the bare model, panel and sound, each
  // once, outside texture folders (named in the review).
  std::vector<std::string> left_out;
};

// Every repaint of the download. Text files are read as Windows-1252 or
// UTF-8 (well-formed UTF-8 with bytes past ASCII is turned into
// Windows-1252; a BOM is dropped), with CR LF, LF or CR; a block's section
// number as written is ignored. A block is paired with the folder its
// texture= names (case and blanks ignored); of several for one folder the
// first in the download's order wins. Values are read as aircraft.cfg's
// are (blanks, tabs and one pair of quotes removed); a value longer than
// its field is kept cut and the block refused.
DownloadScan scan_download(const DownloadContents& contents);

// The entry of a texture folder that came without a block: the target
// aircraft's first entry with `texture` the folder's name, `title` the
// first entry's title, a blank and that name, and `ui_variation` that
// name.
FltsimEntry made_up_entry(const FltsimEntry& first_entry, const std::string& texture);

}  // namespace pw
