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

#include "aircraft/cfg_files.h"
#include "aircraft/entry_list.h"
#include "aircraft/entry_writer.h"
#include "aircraft/texture_check.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "config/profile.h"
#include "packages/file_helpers.h"
#include "packages/package_format.h"
#include "packages/repaint_removal.h"
#include "packages/restore_points.h"

namespace pw {
namespace {

constexpr int kMaxSuffix = 999;

struct Target {
  std::string folder;  // T: the base name or a numbered candidate
  std::int16_t suffix = kNoSuffix;
};

struct OpenPackage {
  std::unique_ptr<InputFile> file;
  PackageLayout layout;
};

std::string with_suffix(const std::string& base, int suffix) {
  char digits[12];
  std::snprintf(digits, sizeof digits, "%03d", suffix);
  return base + "_" + digits;
}

// The first free name of base, base_000 ... base_999; nullopt when all
// 1000 candidates exist, so no other repaint is ever overwritten. The
// folders a replace moves away (`freed`, names) count as free.
std::optional<Target> choose_target(FileSystem& fs, const std::string& base,
                                    const std::vector<std::string>& freed = {}) {
  const auto is_free = [&](const std::string& candidate) {
    return !fs.exists(candidate) ||
           std::any_of(freed.begin(), freed.end(), [&](const std::string& n) { return iequals(n, file_name(candidate)); });
  };
  if (is_free(base)) return Target{base, kNoSuffix};
  for (int i = 0; i <= kMaxSuffix; ++i) {
    std::string candidate = with_suffix(base, i);
    if (is_free(candidate)) return Target{std::move(candidate), static_cast<std::int16_t>(i)};
  }
  return std::nullopt;
}

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

// Expands every file into a new staging folder.
Result<void> fill_staging(const OperationContext& op, const std::string& stage, OpenPackage& package) {
  PW_TRY(op.fs.make_folder(stage));
  report_progress(op.progress, 0, package.layout.total_size);
  {
    StagingSink sink(op.fs, stage, op.progress, package.layout.total_size);
    PW_TRY(stream_package_files(*package.file, package.layout, sink));
  }
  (void)op.fs.sync_folder(stage);  // not every file system can sync a folder
  return {};
}


struct CfgChange {
  std::string before;  // Aircraft.cfg as it is
  std::string bytes;   // the new Aircraft.cfg
  int section = -1;
  std::int16_t next_free = 0;
};

// Aircraft.cfg with the entry appended; a missing file is an empty one.
// Nothing is written here, so g_FirstFreeFltsim advances only once the
// file is replaced and failed installs leave no run of gaps that would hide
// later entries from the listing.
Result<std::string> read_cfg(FileSystem& fs, const std::string& aircraft_folder) {
  auto read = read_whole_file(fs, aircraft_cfg_path(aircraft_folder), kMaxAircraftCfgBytes);
  if (!read && read.error().code != ErrorCode::kNotFound) return read.error();
  return read ? std::move(*read) : std::string();
}

// `base_text` (Aircraft.cfg as it is, or as a replace leaves it) with the
// entry appended. The final empty line the new entry needs is added here,
// in memory, so an install that fails leaves Aircraft.cfg byte for byte as
// it was.
Result<CfgChange> cfg_with_entry(std::string before, std::string_view base_text, const FltsimEntry& entry,
                                 std::int16_t first_free, std::int16_t suffix) {
  CfgChange change;
  change.before = std::move(before);
  ProfileDocument doc = ProfileDocument::parse(with_trailing_newline(base_text));
  change.next_free = first_free;
  Result<int> section = AppendPackageEntry(doc, entry, change.next_free, suffix);
  if (!section) return section.error();
  change.section = *section;
  change.bytes = doc.serialize();
  return change;
}

// The install's restore point, begun before anything is placed: the
// package, the new section, the new folder, and what becomes of the
// package when it is to be deleted: one of Downloads is kept in the point,
// so undo gives it back; one from elsewhere is deleted for good.
Result<RestorePoint> begin_install_point(FileSystem& fs, const std::string& folder, const CfgChange& change,
                                         const std::string& package_path, const FltsimEntry& entry,
                                         const Target& target, bool delete_package,
                                         const RemovalPlan* replaced = nullptr) {
  RestoreManifest intent;
  intent.operation = replaced ? "replace" : "install";
  if (replaced) {
    intent.sections_deleted = replaced->deleted_sections;
    intent.folders_removed = replaced->folder_names;
  }
  intent.packages = {package_path};
  intent.sections_written = {"[" + fltsim_section(change.section) + "] " + trim_blanks(entry.title)};
  intent.folders_created = {file_name(target.folder)};
  if (delete_package && iequals(parent_path(package_path), join_path(folder, "Downloads"))) {
    intent.packages_kept = {file_name(package_path)};
  } else if (delete_package) {
    intent.packages_deleted = {package_path};
  }
  return begin_restore_point(fs, folder, std::move(intent), change.before, change.bytes);
}

InstallReport failure(InstallOutcome outcome, Error error) {
  InstallReport report;
  report.outcome = outcome;
  report.error = std::move(error);
  return report;
}

Error refused(std::string message) { return make_error(ErrorCode::kRefused, std::move(message)); }

// An install's steps once its point is begun: the package expanded whole
// into the point, then (only then) the folders it replaces moved into the
// point, the new folder renamed into place, a kept package moved into the
// point and Aircraft.cfg replaced. A failure takes back what was done.
InstallReport carry_out_install(const OperationContext& op, RestorePoint& point, const std::string& folder,
                                const Target& target, OpenPackage& package, const CfgChange& change,
                                const FltsimEntry& entry) {
  const std::string& path = point.manifest.packages.front();
  const std::string stage = restore_point_work_folder(point);
  Result<void> staged = fill_staging(op, stage, package);
  package.file.reset();  // closed before anything may move or delete the package
  if (!staged) return failure(InstallOutcome::kFailed, roll_back_operation(op.fs, point, folder, staged.error()));
  // A failed move takes itself back.
  if (Result<void> moved = move_folders_into_restore_point(op.fs, point, folder); !moved) {
    return failure(InstallOutcome::kFailed, moved.error());
  }
  // The texture check looks at the staged files as the folder they become;
  // one that cannot run finds nothing, since it never stops an install.
  Result<std::vector<Finding>> findings = check_texture_folder(op.fs, stage, target.folder);
  if (Result<void> placed = op.fs.rename_new(stage, target.folder); !placed) {
    return failure(InstallOutcome::kFailed, roll_back_operation(op.fs, point, folder, placed.error()));
  }
  (void)op.fs.sync_folder(folder);
  // A package that cannot be moved stays in Downloads: the install goes on.
  if (!point.manifest.packages_kept.empty()) (void)move_package_into_restore_point(op.fs, point, path);
  if (Result<void> written = replace_cfg_with_restore_point(op.fs, point, folder, change.bytes); !written) {
    return failure(InstallOutcome::kCfgNotWritten, written.error());
  }
  InstallReport report;
  if (!point.manifest.packages_deleted.empty()) {
    DeleteFileAndWait(op, path);
    if (op.fs.exists(path)) report.package_not_deleted = path;
  }
  report.outcome = InstallOutcome::kInstalled;
  report.variation = trim_blanks(entry.ui_variation);
  report.folder = target.folder;
  report.title = suffixed_title(trim_blanks(entry.title), target.suffix);
  report.section = change.section;
  report.texture_findings = findings ? std::move(*findings) : std::vector<Finding>{};
  return report;
}

// Install and replace alike: `replaced` marks the entries a replace takes
// out (none for an install). `first_free` advances only when an install
// wrote its entry.
InstallReport install_replacing(const OperationContext& op, const AircraftState& aircraft,
                                const std::vector<bool>& replaced, const std::string& package_path,
                                const FltsimEntry& entry, bool delete_package, std::int16_t& first_free) {
  const std::string path = trim_blanks(package_path);
  const std::string& folder = aircraft.g_AircraftFolder;
  const auto base = texture_folder_path(folder, entry);
  if (!base) return failure(InstallOutcome::kFailed, refused("unsafe texture folder name: " + entry.texture));
  auto package = open_package(op.fs, path);
  if (!package) return failure(InstallOutcome::kFailed, package.error());
  Result<std::string> before = read_cfg(op.fs, folder);
  if (!before) return failure(InstallOutcome::kFailed, before.error());
  std::optional<RemovalPlan> plan;
  if (std::find(replaced.begin(), replaced.end(), true) != replaced.end()) {
    Result<RemovalPlan> planned = plan_removal(op.fs, aircraft, replaced, *before);
    if (!planned) return failure(InstallOutcome::kFailed, planned.error());
    plan = std::move(*planned);
  }
  const auto target = choose_target(op.fs, *base, plan ? plan->folder_names : std::vector<std::string>{});
  if (!target) return failure(InstallOutcome::kFailed, refused("all 1000 texture folder names are taken: " + *base));
  // A replace's entry goes after the kept entries, numbered from 0 again.
  Result<CfgChange> change =
      cfg_with_entry(*before, plan ? plan->new_cfg : *before, entry, plan ? 0 : first_free, target->suffix);
  if (!change) return failure(InstallOutcome::kFailed, change.error());
  Result<RestorePoint> point = begin_install_point(op.fs, folder, *change, path, entry, *target, delete_package,
                                                   plan ? &*plan : nullptr);
  if (!point) return failure(InstallOutcome::kFailed, point.error());
  InstallReport report = carry_out_install(op, *point, folder, *target, *package, *change, entry);
  if (report.outcome == InstallOutcome::kInstalled && !plan) first_free = change->next_free;
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
