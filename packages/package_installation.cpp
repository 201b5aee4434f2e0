// Installing one package. The package's head is read and checked before
// anything is created; its block is then expanded a piece at a time
// straight into a staging folder, which is renamed into place only once
// every file is on disk (a block that proves damaged on the way takes the
// staging folder with it), and Aircraft.cfg names the folder only after
// that, in one replace.
#include "packages/package_installation.h"

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
// 1000 candidates exist, so no other repaint is ever overwritten.
std::optional<Target> choose_target(FileSystem& fs, const std::string& base) {
  if (!fs.exists(base)) return Target{base, kNoSuffix};
  for (int i = 0; i <= kMaxSuffix; ++i) {
    std::string candidate = with_suffix(base, i);
    if (!fs.exists(candidate)) return Target{std::move(candidate), static_cast<std::int16_t>(i)};
  }
  return std::nullopt;
}

// Opens the package and checks its head: the layout, every name, the
// total. The block is checked as it is expanded.
Result<OpenPackage> open_package(FileSystem& fs, const std::string& path) {
  auto opened = fs.open_read(path);
  if (!opened) return opened.error();
  std::unique_ptr<InputFile> file = std::move(*opened);
  auto layout = read_package_layout(*file);
  if (!layout) return layout.error();
  for (const PackageFile& f : layout->files) {
    if (!is_safe_entry_name(f.name)) {
      return make_error(ErrorCode::kRefused, "package names a file outside its folder or unusable: " + f.name);
    }
  }
  if (layout->total_size > kMaxPackageDataSize) {
    return make_error(ErrorCode::kRefused, "package is too large: its files add up to " +
                                               std::to_string(layout->total_size) + " bytes, over 2 GB");
  }
  return OpenPackage{std::move(file), std::move(*layout)};
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

// Expands the package into "~<base name>.pwstage" beside the target;
// nothing is left behind on failure.
Result<std::string> stage_files(const OperationContext& op, const std::string& aircraft_folder,
                                const std::string& base, OpenPackage& package) {
  const std::string stage = collapse_backslashes(aircraft_folder + "\\~" + file_name(base) + ".pwstage");
  if (op.fs.exists(stage)) (void)RemoveFolder(op, stage);  // left by a crash
  Result<void> staged = fill_staging(op, stage, package);
  package.file.reset();  // closed before anything may delete the package
  if (!staged) {
    (void)RemoveFolder(op, stage);
    return staged.error();
  }
  return stage;
}

// Puts the staged files in place under T in one rename. Returns what the
// texture check found in them, looked at as the folder T they become; a
// check that cannot run finds nothing, since it never stops an install.
Result<std::vector<Finding>> place_staged(const OperationContext& op, const std::string& aircraft_folder,
                                          const std::string& stage, const Target& target) {
  Result<std::vector<Finding>> findings = check_texture_folder(op.fs, stage, target.folder);
  if (Result<void> placed = op.fs.rename_new(stage, target.folder); !placed) {
    (void)RemoveFolder(op, stage);
    return placed.error();
  }
  (void)op.fs.sync_folder(aircraft_folder);
  return findings ? std::move(*findings) : std::vector<Finding>{};
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

// `base_text` with the entry appended. The final empty line the new entry
// needs is added here, in memory, so an install that fails leaves
// Aircraft.cfg byte for byte as it was.
CfgChange cfg_with_entry(std::string before, const std::string& base_text, const FltsimEntry& entry,
                         std::int16_t first_free, std::int16_t suffix) {
  CfgChange change;
  change.before = std::move(before);
  ProfileDocument doc = ProfileDocument::parse(with_trailing_newline(base_text));
  change.next_free = first_free;
  change.section = AppendPackageEntry(doc, entry, change.next_free, suffix);
  change.bytes = doc.serialize();
  return change;
}

// What the restore point of an install notes: the package, the new
// section and the new folder.
void note_install(RestorePoint& point, const CfgChange& change, const std::string& package_path,
                  const FltsimEntry& entry, const Target& target) {
  point.manifest.packages = {package_path};
  point.manifest.sections_written = {"[" + fltsim_section(change.section) + "] " + trim_blanks(entry.title)};
  point.manifest.folders_created = {file_name(target.folder)};
}

// Replaces Aircraft.cfg through a restore point of its own.
Result<void> write_recorded(FileSystem& fs, const std::string& folder, const CfgChange& change,
                            const std::string& package_path, const FltsimEntry& entry, const Target& target) {
  Result<RestorePoint> point = begin_restore_point(fs, folder, "install", change.before);
  if (!point) return point.error();
  note_install(*point, change, package_path, entry, target);
  return replace_cfg_with_restore_point(fs, *point, folder, change.bytes);
}

InstallReport failure(InstallOutcome outcome, Error error) {
  InstallReport report;
  report.outcome = outcome;
  report.error = std::move(error);
  return report;
}

Error refused(std::string message) { return make_error(ErrorCode::kRefused, std::move(message)); }

// The report of a done install; the package goes now when asked, and a
// package that cannot go is named.
InstallReport installed(const OperationContext& op, const std::string& path, const FltsimEntry& entry,
                        bool delete_package, const CfgChange& change, const Target& target,
                        std::vector<Finding> texture_findings) {
  InstallReport report;
  if (delete_package) {
    DeleteFileAndWait(op, path);
    if (op.fs.exists(path)) report.package_not_deleted = path;
  }
  report.outcome = InstallOutcome::kInstalled;
  report.variation = trim_blanks(entry.ui_variation);
  report.folder = target.folder;
  report.section = change.section;
  report.texture_findings = std::move(texture_findings);
  return report;
}

}  // namespace

InstallReport install_package(const OperationContext& op, AircraftState& aircraft, const std::string& package_path,
                              const FltsimEntry& entry, bool delete_package) {
  const std::string path = trim_blanks(package_path);
  const auto base = texture_folder_path(aircraft.g_AircraftFolder, entry);
  if (!base) return failure(InstallOutcome::kFailed, refused("unsafe texture folder name: " + entry.texture));
  auto package = open_package(op.fs, path);
  if (!package) return failure(InstallOutcome::kFailed, package.error());
  const auto target = choose_target(op.fs, *base);
  if (!target) return failure(InstallOutcome::kFailed, refused("all 1000 texture folder names are taken: " + *base));
  Result<std::string> stage = stage_files(op, aircraft.g_AircraftFolder, *base, *package);
  Result<std::vector<Finding>> texture_findings =
      stage ? place_staged(op, aircraft.g_AircraftFolder, *stage, *target) : stage.error();
  if (!texture_findings) return failure(InstallOutcome::kFailed, texture_findings.error());
  Result<std::string> before = read_cfg(op.fs, aircraft.g_AircraftFolder);
  Result<CfgChange> change =
      before ? Result<CfgChange>(cfg_with_entry(*before, *before, entry, aircraft.g_FirstFreeFltsim, target->suffix))
             : before.error();
  Result<void> written = change ? write_recorded(op.fs, aircraft.g_AircraftFolder, *change, path, entry, *target)
                                : Result<void>(change.error());
  if (!written) {
    (void)RemoveFolder(op, target->folder);
    return failure(change ? InstallOutcome::kCfgNotWritten : InstallOutcome::kFailed, written.error());
  }
  aircraft.g_FirstFreeFltsim = change->next_free;
  return installed(op, path, entry, delete_package, *change, *target, std::move(*texture_findings));
}

InstallReport replace_with_package(const OperationContext& op, const AircraftState& aircraft,
                                   const std::vector<bool>& replaced, const std::string& package_path,
                                   const FltsimEntry& entry, bool delete_package) {
  const std::string path = trim_blanks(package_path);
  const std::string& folder = aircraft.g_AircraftFolder;
  const auto base = texture_folder_path(folder, entry);
  if (!base) return failure(InstallOutcome::kFailed, refused("unsafe texture folder name: " + entry.texture));
  Result<std::string> before = read_cfg(op.fs, folder);
  Result<RemovalPlan> plan = before ? plan_removal(op.fs, aircraft, replaced, *before) : before.error();
  if (!plan) return failure(InstallOutcome::kFailed, plan.error());
  auto package = open_package(op.fs, path);
  // Every byte of the package is expanded before the installed repaint is
  // touched: a damaged one leaves it in place.
  Result<std::string> stage = package ? stage_files(op, folder, *base, *package) : package.error();
  if (!stage) return failure(InstallOutcome::kFailed, stage.error());
  Result<RestorePoint> point = begin_restore_point(op.fs, folder, "replace", *before);
  Result<void> moved =
      point ? move_folders_into_restore_point(op.fs, *point, folder, plan->folder_names) : point.error();
  const auto target = moved ? choose_target(op.fs, *base) : std::nullopt;
  Result<std::vector<Finding>> texture_findings =
      !moved   ? moved.error()
      : target ? place_staged(op, folder, *stage, *target)
               : Result<std::vector<Finding>>(refused("all 1000 texture folder names are taken: " + *base));
  if (!texture_findings) {
    if (moved) (void)give_up_restore_point(op.fs, *point, folder, texture_findings.error());
    (void)RemoveFolder(op, *stage);
    return failure(InstallOutcome::kFailed, texture_findings.error());
  }
  // The kept entries are numbered from 0 again: the new one goes after them.
  const CfgChange change = cfg_with_entry(*before, plan->new_cfg, entry, 0, target->suffix);
  note_install(*point, change, path, entry, *target);
  point->manifest.sections_deleted = plan->deleted_sections;
  // Not replace_cfg_with_restore_point: the new folder may hold the name
  // the old one must get back, so it goes first.
  Result<void> written = seal_restore_point(op.fs, *point, change.bytes);
  if (written) written = replace_file(op.fs, aircraft_cfg_path(folder), change.bytes);
  if (!written) {
    (void)RemoveFolder(op, target->folder);
    return failure(InstallOutcome::kCfgNotWritten, give_up_restore_point(op.fs, *point, folder, written.error()));
  }
  return installed(op, path, entry, delete_package, change, *target, std::move(*texture_findings));
}

}  // namespace pw
