// What the review screen shows of downloads before anything is installed:
// per download, every repaint found in it with its title, the aircraft it
// goes to (proposed, changeable), where its entry came from, what the
// texture check finds and whether it is ticked. Built without Qt; the
// screen only shows it and writes the user's ticks and choices back.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "aircraft/diagnosis.h"
#include "aircraft/library_index.h"
#include "packages/download.h"
#include "packages/download_scan.h"

namespace pw {

struct ReviewedRepaint {
  std::size_t found = 0;   // index in the download's scan.repaints
  std::string title;       // the entry's, or the made-up one for the target
  std::string folder;      // the Texture.<name> folder's path in the download
  std::vector<std::size_t> candidates;  // library aircraft, best first (see choose_target_aircraft)
  std::optional<std::size_t> target;    // the chosen library aircraft; nullopt: none yet
  std::string source;      // "readme.txt, line 12" or kMadeUpSource
  bool made_up = false;
  // Why it cannot be installed at all (a refused block); empty when it can.
  std::string refusal;
  // What the texture check finds in the folder as it will be placed in the
  // target, and the notes of the scan (keys left out, what was looked for).
  std::vector<Finding> findings;
  std::vector<std::string> notes;
  bool ticked = false;
  // The folder the picture is read from (its thumbnail, copied out of the
  // download for the review); empty for none.
  std::string picture;
};

struct ReviewedDownload {
  std::string path;  // the archive or folder, as given
  // Why nothing of it can be installed (it could not be read, or holds no
  // texture folder); empty when it can.
  std::string problem;
  std::unique_ptr<Download> download;
  DownloadScan scan;
  std::vector<ReviewedRepaint> repaints;
};

struct ReviewAircraft {
  std::string folder;  // full path
  std::string label;   // folder name and first title, for choosing it
  std::string first_title;
};

class DownloadReview {
 public:
  DownloadReview(FileSystem& fs, std::string scratch) : fs_(fs), scratch_(std::move(scratch)) {}
  // The folder the review copied texture folders' heads into is deleted.
  ~DownloadReview();
  DownloadReview(const DownloadReview&) = delete;
  DownloadReview& operator=(const DownloadReview&) = delete;

  std::vector<ReviewAircraft> aircraft;  // the library's, same indices
  std::vector<ReviewedDownload> downloads;

  // Makes `aircraft_index` the target of repaint `r` of download `d`: a
  // made-up title follows the new aircraft's first title and the texture
  // check runs again against it. Out-of-range indices change nothing.
  void choose_target(std::size_t d, std::size_t r, std::size_t aircraft_index);
  // The ticked repaints that have a target and no refusal, download by download.
  std::size_t installable_count() const;

  FileSystem& fs() { return fs_; }
  const std::string& scratch() const { return scratch_; }

 private:
  FileSystem& fs_;
  std::string scratch_;
};

// Opens each download (see open_download), finds its repaints
// (scan_download) and their aircraft in `library` (choose_target_aircraft).
// A clear best is proposed; a tie or no match proposes none. Entries read
// from the download are ticked when they have a target and no refusal;
// made-up ones never are, until the user ticks them. Each texture folder's
// thumbnail and the first bytes of its other files are copied into a
// folder made inside `scratch_root` for the texture check and the
// pictures; it is deleted with the review.
std::unique_ptr<DownloadReview> review_downloads(FileSystem& fs, const Library& library,
                                                 const std::vector<std::string>& paths,
                                                 const std::string& scratch_root);

}  // namespace pw
