// Installing one package. The package's head is read and checked before
// anything is created; its block is then expanded a piece at a time
// straight into a staging folder, which is renamed into place only once
// every file is on disk (a block that proves damaged on the way takes the
// staging folder with it), and Aircraft.cfg names the folder only after
// that, in one replace.
#include "packages/package_installation.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "base/file_ops.h"
#include "base/text.h"
#include "packages/file_helpers.h"
#include "packages/install_steps.h"
#include "packages/package_format.h"

namespace pw {
namespace {

struct OpenPackage {
  std::unique_ptr<InputFile> file;
  PackageLayout layout;
};

// Opens the package and checks its head (read_package_head: the entry
// record's text too, whatever record the caller writes), every name, the
// total. The block is checked as it is expanded.
Result<OpenPackage> open_package(FileSystem& fs, const std::string& path) {
  auto opened = fs.open_read(path);
  if (!opened) return opened.error();
  std::unique_ptr<InputFile> file = std::move(*opened);
  auto head = read_package_head(*file);
  if (!head) return head.error();
  PackageLayout& layout = head->layout;
  for (const PackageFile& f : layout.files) {
    if (!is_safe_entry_name(f.name)) {
      return make_error(ErrorCode::kRefused, "package names a file outside its folder or unusable: " + f.name);
    }
  }
  if (layout.total_size > kMaxPackageDataSize) {
    return make_error(ErrorCode::kRefused, "package is too large: its files add up to " +
                                               std::to_string(layout.total_size) + " bytes, over 2 GB");
  }
  return OpenPackage{std::move(file), std::move(layout)};
}

// Writes the expanded files into the staging folder, each complete and
// synced before the next begins; progress counts the bytes written.
class StagingSink final : public PackageFileSink {
 public:
  StagingSink(FileSystem& fs, std::string stage, const ProgressFn& progress, std::int64_t total)
      : fs_(fs), stage_(std::move(stage)), progress_(progress), total_(total) {}

  Result<void> begin_file(const PackageFile& file) override {
    auto created = fs_.create(join_path(stage_, file.name));
    if (!created) return created.error();
    out_ = std::move(*created);
    return {};
  }
  Result<void> write(std::string_view bytes) override {
    PW_TRY(out_->write(bytes));
    written_ += static_cast<std::int64_t>(bytes.size());
    report_progress(progress_, written_, total_);
    return {};
  }
  Result<void> end_file() override {
    PW_TRY(out_->sync());
    const std::unique_ptr<OutputFile> out = std::move(out_);
    return out->close();
  }

 private:
  FileSystem& fs_;
  std::string stage_;
  const ProgressFn& progress_;
  std::int64_t total_;
  std::int64_t written_ = 0;
  std::unique_ptr<OutputFile> out_;  // the file being written; closed before the folder can go
};

// Expands every file into the staging folder.
Result<void> fill_staging(const OperationContext& op, const std::string& stage, OpenPackage& package) {
  report_progress(op.progress, 0, package.layout.total_size);
  {
    StagingSink sink(op.fs, stage, op.progress, package.layout.total_size);
    PW_TRY(stream_package_files(*package.file, package.layout, sink));
  }
  (void)op.fs.sync_folder(stage);  // not every file system can sync a folder
  return {};
}

Error refused(std::string message) { return make_error(ErrorCode::kRefused, std::move(message)); }

// Install and replace alike: `replaced` marks the entries a replace takes
// out (none for an install). The texture is checked before the package is
// opened, the package whole before anything is begun.
InstallReport install_replacing(const OperationContext& op, const AircraftState& aircraft,
                                const std::vector<bool>& replaced, const std::string& package_path,
                                const FltsimEntry& entry, bool delete_package, std::int16_t& first_free) {
  const std::string path = trim_blanks(package_path);
  if (!texture_folder_path(aircraft.g_AircraftFolder, entry)) {
    return failed_install_report(InstallOutcome::kFailed, refused("unsafe texture folder name: " + entry.texture));
  }
  auto package = open_package(op.fs, path);
  if (!package) return failed_install_report(InstallOutcome::kFailed, package.error());
  const bool replacing = std::find(replaced.begin(), replaced.end(), true) != replaced.end();
  const auto fill = [&](const std::vector<std::string>& stages) {
    Result<void> staged = fill_staging(op, stages.front(), *package);
    package->file.reset();  // closed before anything may move or delete the package
    return staged;
  };
  const NewRepaints repaints{replacing ? "replace" : "install", path, {entry}, fill, delete_package};
  RepaintsReport done = install_repaints(op, aircraft, replaced, repaints, first_free);
  if (done.outcome != InstallOutcome::kInstalled) return failed_install_report(done.outcome, done.error);
  InstallReport report = std::move(done.placed.front());
  report.package_not_deleted = done.source_not_deleted;
  return report;
}

}  // namespace

InstallReport install_package(const OperationContext& op, AircraftState& aircraft, const std::string& package_path,
                              const FltsimEntry& entry, bool delete_package) {
  return install_replacing(op, aircraft, {}, package_path, entry, delete_package, aircraft.g_FirstFreeFltsim);
}

InstallReport replace_with_package(const OperationContext& op, const AircraftState& aircraft,
                                   const std::vector<bool>& replaced, const std::string& package_path,
                                   const FltsimEntry& entry, bool delete_package) {
  std::int16_t first_free = 0;  // a replace numbers the kept entries from 0 again
  return install_replacing(op, aircraft, replaced, package_path, entry, delete_package, first_free);
}

}  // namespace pw
