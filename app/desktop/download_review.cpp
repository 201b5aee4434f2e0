#include "app/desktop/download_review.h"

#include <algorithm>
#include <map>

#include "aircraft/texture_check.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "packages/download_target.h"

namespace pw {
namespace {

// The texture check reads no more of a texture than its first bytes; a
// thumbnail is copied whole, up to what a thumbnail can be.
constexpr std::int64_t kHeadBytes = 64 * 1024;
constexpr std::int64_t kMaxPictureBytes = 16 * 1024 * 1024;

bool is_picture_name(const std::string& name) {
  const std::string lower = to_lower(name);
  return lower == "thumbnail.jpg" || lower == "thumbnail.bmp" || lower == "thumbnail.png";
}

// Makes `folder` and the folders above it that are missing.
Result<void> make_folders(FileSystem& fs, const std::string& folder) {
  if (folder.empty() || fs.is_folder(folder)) return {};
  PW_TRY(make_folders(fs, parent_path(folder)));
  Result<void> made = fs.make_folder(folder);
  if (!made && made.error().code != ErrorCode::kExists) return made;
  return {};
}

// Writes the head of each file extract() passes (a picture whole) to the
// path it was given for it; other files go nowhere.
class HeadSink final : public DownloadSink {
 public:
  HeadSink(FileSystem& fs, std::map<std::size_t, std::string> targets) : fs_(fs), targets_(std::move(targets)) {}

  Result<void> begin_file(std::size_t file) override {
    const auto target = targets_.find(file);
    if (target == targets_.end()) return {};
    left_ = is_picture_name(file_name(target->second)) ? kMaxPictureBytes : kHeadBytes;
    PW_TRY(make_folders(fs_, parent_path(target->second)));
    Result<std::unique_ptr<OutputFile>> out = fs_.create(target->second);
    if (!out) return out.error();
    out_ = std::move(*out);
    return {};
  }
  Result<void> write(std::string_view bytes) override {
    if (!out_ || left_ <= 0) return {};
    const std::size_t n = std::min(bytes.size(), static_cast<std::size_t>(left_));
    left_ -= static_cast<std::int64_t>(n);
    return out_->write(bytes.substr(0, n));
  }
  Result<void> end_file() override {
    if (!out_) return {};
    Result<void> closed = out_->close();
    out_.reset();
    return closed;
  }

 private:
  FileSystem& fs_;
  std::map<std::size_t, std::string> targets_;  // file index -> where its head goes
  std::unique_ptr<OutputFile> out_;
  std::int64_t left_ = 0;
};

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : ", ") + word;
  return text;
}

// Where the copy of repaint `r` of download `d` stands: a Texture.<name>
// folder of its own, as the texture check expects it.
std::string copy_folder(const std::string& scratch, std::size_t d, std::size_t r, const FoundRepaint& found) {
  return join_path(join_path(join_path(scratch, std::to_string(d)), std::to_string(r)), "Texture." + found.texture);
}

// Copies the heads of every repaint's files of the download into the scratch
// folder; a failure leaves the review without pictures and checks.
bool copy_heads(FileSystem& fs, const std::string& scratch, std::size_t d, ReviewedDownload& download) {
  std::map<std::size_t, std::string> targets;
  std::vector<std::size_t> files;
  const std::vector<DownloadFile>& listed = download.download->contents().files;
  for (std::size_t r = 0; r < download.scan.repaints.size(); ++r) {
    const FoundRepaint& found = download.scan.repaints[r];
    const std::string into = copy_folder(scratch, d, r, found);
    for (const std::size_t file : found.files) {
      if (file >= listed.size() || listed[file].name.size() <= found.folder.size() + 1) continue;
      targets[file] = join_path(into, listed[file].name.substr(found.folder.size() + 1));
      files.push_back(file);
    }
  }
  std::sort(files.begin(), files.end());
  HeadSink sink(fs, std::move(targets));
  return download.download->extract(files, sink).ok();
}

std::string aircraft_label(const LibraryAircraft& aircraft) {
  const std::string name = file_name(aircraft.folder);
  const std::string title = aircraft.first_title();
  return title.empty() ? name : name + " (" + title + ")";
}

ReviewedRepaint reviewed(FileSystem& fs, const Library& library, const DownloadContents& contents,
                         const FoundRepaint& found, std::size_t index) {
  ReviewedRepaint r;
  r.found = index;
  r.folder = found.folder;
  r.source = found.source;
  r.made_up = !found.entry.has_value();
  r.refusal = found.refusal;
  if (found.entry) r.title = trim_blanks(found.entry->title);
  if (!found.keys_left_out.empty()) r.notes.push_back("Left out, as an entry has no such key: " + joined(found.keys_left_out));
  const TargetChoice choice = choose_target_aircraft(fs, library, contents, found);
  r.candidates = choice.candidates;
  if (choice.clear && !choice.candidates.empty()) r.target = choice.candidates.front();
  if (choice.candidates.empty()) r.notes.push_back("No aircraft found: " + choice.looked_for);
  if (!choice.clear && !choice.candidates.empty()) r.notes.push_back("Several aircraft fit as well: choose one.");
  if (r.made_up) r.title = r.target ? trim_blanks(library.aircraft[*r.target].first_title() + " " + found.texture) : found.texture;
  r.ticked = !r.made_up && r.refusal.empty() && r.target.has_value();
  return r;
}

ReviewedDownload reviewed_download(FileSystem& fs, const Library& library, const std::string& path) {
  ReviewedDownload d;
  d.path = path;
  Result<std::unique_ptr<Download>> opened = open_download(fs, path);
  if (!opened) {
    d.problem = opened.error().message;
    return d;
  }
  d.download = std::move(*opened);
  d.scan = scan_download(d.download->contents());
  if (d.scan.repaints.empty()) d.problem = "no Texture.* folder found in it";
  for (std::size_t i = 0; i < d.scan.repaints.size(); ++i) {
    d.repaints.push_back(reviewed(fs, library, d.download->contents(), d.scan.repaints[i], i));
  }
  return d;
}

}  // namespace

DownloadReview::~DownloadReview() {
  if (!scratch_.empty()) remove_tree(fs_, scratch_);
}

void DownloadReview::choose_target(std::size_t d, std::size_t r, std::size_t aircraft_index) {
  if (d >= downloads.size() || r >= downloads[d].repaints.size() || aircraft_index >= aircraft.size()) return;
  ReviewedDownload& download = downloads[d];
  ReviewedRepaint& repaint = download.repaints[r];
  const FoundRepaint& found = download.scan.repaints[repaint.found];
  repaint.target = aircraft_index;
  if (repaint.made_up) repaint.title = trim_blanks(aircraft[aircraft_index].first_title + " " + found.texture);
  repaint.findings.clear();
  if (repaint.picture.empty()) return;  // nothing was copied to check
  const std::string placed_as = join_path(aircraft[aircraft_index].folder, "Texture." + found.texture);
  if (Result<std::vector<Finding>> findings = check_texture_folder(fs_, repaint.picture, placed_as)) {
    repaint.findings = std::move(*findings);
  }
}

std::size_t DownloadReview::installable_count() const {
  std::size_t n = 0;
  for (const ReviewedDownload& d : downloads) {
    n += static_cast<std::size_t>(std::count_if(d.repaints.begin(), d.repaints.end(), [](const ReviewedRepaint& r) {
      return r.ticked && r.target && r.refusal.empty();
    }));
  }
  return n;
}

std::unique_ptr<DownloadReview> review_downloads(FileSystem& fs, const Library& library,
                                                 const std::vector<std::string>& paths,
                                                 const std::string& scratch_root) {
  const std::string scratch =
      scratch_root.empty() ? std::string() : temp_path_for(join_path(scratch_root, "download-review"));
  const bool copies = !scratch.empty() && make_folders(fs, scratch).ok();
  auto review = std::make_unique<DownloadReview>(fs, copies ? scratch : std::string());
  for (const LibraryAircraft& a : library.aircraft) review->aircraft.push_back({a.folder, aircraft_label(a), a.first_title()});
  for (const std::string& path : paths) {
    const std::size_t d = review->downloads.size();
    review->downloads.push_back(reviewed_download(fs, library, path));
    ReviewedDownload& download = review->downloads.back();
    if (!download.download || !copies || !copy_heads(fs, scratch, d, download)) continue;
    for (std::size_t r = 0; r < download.repaints.size(); ++r) {
      ReviewedRepaint& repaint = download.repaints[r];
      repaint.picture = copy_folder(scratch, d, r, download.scan.repaints[repaint.found]);
      // Checked against the proposed aircraft; a made-up title is named after it.
      if (repaint.target) review->choose_target(d, r, *repaint.target);
    }
  }
  return review;
}

}  // namespace pw
