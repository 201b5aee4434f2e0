// Installing a download's repaints through the same steps as a package:
// every file is placed before anything is written, then the download is
// read once, in its own order, into one staging folder per repaint.
#include "packages/download_installation.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "base/file_ops.h"
#include "base/text.h"
#include "packages/block_compressor.h"
#include "packages/install_steps.h"
#include "packages/package_creation.h"
#include "packages/package_format.h"

namespace pw {
namespace {

Error refused(std::string message) { return make_error(ErrorCode::kRefused, std::move(message)); }

// Where a file of the download goes: staging folder `stage`, at `relative`
// ('\'-joined) below it.
struct PlacedFile {
  std::size_t stage = 0;
  std::string relative;
};

// The file's path below the texture folder, each part a safe single name;
// nullopt when it is not below it or a part is unsafe.
std::optional<std::string> path_below(const std::string& name, const std::string& folder) {
  const std::string prefix = folder + "\\";
  if (folder.empty() || !starts_with_ci(name, prefix)) return std::nullopt;
  std::string relative = name.substr(prefix.size());
  std::size_t start = 0;
  while (true) {
    const std::size_t end = relative.find('\\', start);
    if (!is_safe_entry_name(std::string_view(relative).substr(start, end - start))) return std::nullopt;
    if (end == std::string::npos) return relative;
    start = end + 1;
  }
}

// Every file of every repaint placed, each once, before anything is written.
Result<std::map<std::size_t, PlacedFile>> place_files(const DownloadContents& contents,
                                                      const std::vector<DownloadRepaint>& repaints) {
  std::map<std::size_t, PlacedFile> placed;
  for (std::size_t r = 0; r < repaints.size(); ++r) {
    for (const std::size_t index : repaints[r].files) {
      if (index >= contents.files.size()) return refused("the download has no file " + std::to_string(index));
      const std::string& name = contents.files[index].name;
      std::optional<std::string> relative = path_below(name, repaints[r].folder);
      if (!relative) return refused("download names a file outside its texture folder or unusable: " + name);
      if (!placed.emplace(index, PlacedFile{r, std::move(*relative)}).second) {
        return refused("the file " + name + " belongs to two repaints");
      }
    }
  }
  return placed;
}

// Writes the extracted files into their staging folders, making the
// sub-folders on the way, each file complete and synced before the next
// begins; progress counts the bytes written.
class StagingSink final : public DownloadSink {
 public:
  StagingSink(const OperationContext& op, const std::vector<std::string>& stages,
              const std::map<std::size_t, PlacedFile>& placed, std::int64_t total)
      : op_(op), stages_(stages), placed_(placed), total_(total) {}

  Result<void> begin_file(std::size_t file) override {
    const auto it = placed_.find(file);
    if (it == placed_.end()) return make_error(ErrorCode::kDamaged, "the download gave a file that was not asked for");
    const std::string path = join_path(stages_[it->second.stage], it->second.relative);
    PW_TRY(make_parents(stages_[it->second.stage], it->second.relative));
    auto created = op_.fs.create(path);
    if (!created) return created.error();
    out_ = std::move(*created);
    ++begun_;
    return {};
  }
  Result<void> write(std::string_view bytes) override {
    PW_TRY(out_->write(bytes));
    written_ += static_cast<std::int64_t>(bytes.size());
    report_progress(op_.progress, written_, total_);
    return {};
  }
  Result<void> end_file() override {
    PW_TRY(out_->sync());
    const std::unique_ptr<OutputFile> out = std::move(out_);
    return out->close();
  }
  std::size_t begun() const { return begun_; }

 private:
  // The folders between the staging folder and the file, each made once.
  Result<void> make_parents(const std::string& stage, const std::string& relative) {
    for (std::size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1)) {
      const std::string folder = join_path(stage, relative.substr(0, at));
      if (made_.insert(to_lower(folder)).second) PW_TRY(op_.fs.make_folder(folder));
    }
    return {};
  }

  const OperationContext& op_;
  const std::vector<std::string>& stages_;
  const std::map<std::size_t, PlacedFile>& placed_;
  std::int64_t total_;
  std::int64_t written_ = 0;
  std::size_t begun_ = 0;
  std::set<std::string> made_;
  std::unique_ptr<OutputFile> out_;  // the file being written; closed before the folder can go
};

std::vector<std::size_t> indices_of(const std::map<std::size_t, PlacedFile>& placed) {
  std::vector<std::size_t> indices;
  for (const auto& [index, file] : placed) indices.push_back(index);
  return indices;
}

// The download read once into the staging folders.
Result<void> fill_stages(const OperationContext& op, Download& download, const std::map<std::size_t, PlacedFile>& placed,
                         const std::vector<std::string>& stages) {
  std::int64_t total = 0;
  for (const auto& [index, file] : placed) total += download.contents().files[index].size;
  report_progress(op.progress, 0, total);
  StagingSink sink(op, stages, placed, total);
  PW_TRY(download.extract(indices_of(placed), sink));
  if (sink.begun() != placed.size()) return make_error(ErrorCode::kDamaged, "the download ended before its last file");
  for (const std::string& stage : stages) (void)op.fs.sync_folder(stage);  // not every file system can sync a folder
  return {};
}

// Feeds the extracted files to the package's block in table order.
class BlockSink final : public DownloadSink {
 public:
  BlockSink(const OperationContext& op, BlockCompressor& block, const std::vector<std::size_t>& order, std::int64_t total)
      : op_(op), block_(block), order_(order), total_(total) {}

  Result<void> begin_file(std::size_t file) override {
    if (next_ >= order_.size() || order_[next_] != file) {
      return make_error(ErrorCode::kDamaged, "the download gave its files out of order");
    }
    ++next_;
    return {};
  }
  Result<void> write(std::string_view bytes) override {
    PW_TRY(block_.write(bytes));
    report_progress(op_.progress, block_.bytes_in(), total_);
    return {};
  }
  Result<void> end_file() override { return {}; }
  bool complete() const { return next_ == order_.size(); }

 private:
  const OperationContext& op_;
  BlockCompressor& block_;
  const std::vector<std::size_t>& order_;
  std::int64_t total_;
  std::size_t next_ = 0;
};

// The repaint's files a package can carry, as its table, in the
// download's order; the others by name in `left_out`.
struct PackageTable {
  std::vector<std::size_t> order;
  std::vector<PackageFile> files;
  std::int64_t total = 0;
};
PackageTable package_table(const DownloadContents& contents, const DownloadRepaint& repaint,
                           std::vector<std::string>& left_out) {
  std::vector<std::size_t> indices = repaint.files;
  std::sort(indices.begin(), indices.end());
  PackageTable table;
  for (const std::size_t index : indices) {
    if (index >= contents.files.size()) continue;
    const DownloadFile& file = contents.files[index];
    const std::optional<std::string> relative = path_below(file.name, repaint.folder);
    const bool carried = relative && relative->find('\\') == std::string::npos && file.size >= 1 &&
                         file.size <= kMaxPackageDataSize;
    if (!carried) {
      left_out.push_back(file.name);
      continue;
    }
    table.order.push_back(index);
    table.files.push_back(PackageFile{*relative, static_cast<std::int32_t>(file.size)});
    table.total += file.size;
  }
  return table;
}

}  // namespace

DownloadRepaint download_repaint(const FoundRepaint& found, FltsimEntry entry) {
  return DownloadRepaint{found.folder, found.files, std::move(entry)};
}

ImportReport install_download(const OperationContext& op, AircraftState& aircraft, Download& download,
                              const std::vector<DownloadRepaint>& repaints, const std::vector<bool>& replaced) {
  ImportReport report;
  Result<std::map<std::size_t, PlacedFile>> placed =
      repaints.empty() ? refused("no repaint is chosen") : place_files(download.contents(), repaints);
  if (!placed) {
    report.error = placed.error();
    return report;
  }
  NewRepaints news{"import", download.contents().path, {}, {}, false};
  for (const DownloadRepaint& repaint : repaints) news.entries.push_back(repaint.entry);
  news.fill = [&](const std::vector<std::string>& stages) { return fill_stages(op, download, *placed, stages); };
  const bool replacing = std::find(replaced.begin(), replaced.end(), true) != replaced.end();
  std::int16_t replace_first_free = 0;
  RepaintsReport done =
      install_repaints(op, aircraft, replaced, news, replacing ? replace_first_free : aircraft.g_FirstFreeFltsim);
  report.outcome = done.outcome;
  report.repaints = std::move(done.placed);
  report.error = std::move(done.error);
  return report;
}

Result<DownloadPackage> write_download_package(const OperationContext& op, Download& download,
                                               const DownloadRepaint& repaint, const std::string& rcf_text,
                                               const std::string& folder) {
  DownloadPackage made;
  const PackageTable table = package_table(download.contents(), repaint, made.left_out);
  if (table.files.empty()) return refused("the texture folder " + repaint.folder + " holds no file a package can carry");
  PW_TRY(check_package_contents(std::nullopt, table.files, table.total));
  FltsimEntry entry = repaint.entry;
  entry.rcf_text = rcf_text;
  entry.rcf_text.resize(kRcfTextSize, '\0');
  made.path = join_path(folder, package_file_name(entry.ui_variation));
  PW_TRY(replace_file_with(op.fs, made.path, [&](OutputFile& out) -> Result<void> {
    PW_TRY(out.write(build_package_head(entry, std::nullopt, table.files)));
    BlockCompressor block(out, default_compression_threads());
    BlockSink sink(op, block, table.order, table.total);
    PW_TRY(download.extract(table.order, sink));
    if (!sink.complete()) return make_error(ErrorCode::kDamaged, "the download ended before its last file");
    return block.finish();
  }));
  return made;
}

}  // namespace pw
