// The install steps shared by packages and downloads. The files are staged
// whole inside the restore point before anything in the aircraft's folder
// moves, renamed into place only once every one is on disk, and
// Aircraft.cfg names the new folders only after that, in one replace.
#include "packages/install_steps.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "aircraft/cfg_files.h"
#include "aircraft/entry_writer.h"
#include "aircraft/texture_check.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "config/profile.h"
#include "packages/file_helpers.h"
#include "packages/repaint_removal.h"
#include "packages/restore_points.h"

namespace pw {
namespace {

constexpr int kMaxSuffix = 999;

struct Target {
  std::string folder;  // T: the base name or a numbered candidate
  std::int16_t suffix = kNoSuffix;
};

std::string with_suffix(const std::string& base, int suffix) {
  char digits[12];
  std::snprintf(digits, sizeof digits, "%03d", suffix);
  return base + "_" + digits;
}

bool names_one_of(const std::vector<std::string>& names, const std::string& path) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return iequals(n, file_name(path)); });
}

// The first free name of base, base_000 ... base_999; nullopt when all
// 1000 candidates exist, so no other repaint is ever overwritten. The
// folders a replace moves away (`freed`, names) count as free, those
// chosen for the operation's other repaints (`taken`, names) do not.
std::optional<Target> choose_target(FileSystem& fs, const std::string& base, const std::vector<std::string>& freed,
                                    const std::vector<std::string>& taken) {
  const auto is_free = [&](const std::string& candidate) {
    return (!fs.exists(candidate) || names_one_of(freed, candidate)) && !names_one_of(taken, candidate);
  };
  if (is_free(base)) return Target{base, kNoSuffix};
  for (int i = 0; i <= kMaxSuffix; ++i) {
    std::string candidate = with_suffix(base, i);
    if (is_free(candidate)) return Target{std::move(candidate), static_cast<std::int16_t>(i)};
  }
  return std::nullopt;
}

Error refused(std::string message) { return make_error(ErrorCode::kRefused, std::move(message)); }

// A target per entry, in order.
Result<std::vector<Target>> choose_targets(FileSystem& fs, const std::string& folder,
                                           const std::vector<FltsimEntry>& entries,
                                           const std::vector<std::string>& freed) {
  std::vector<Target> targets;
  std::vector<std::string> taken;
  for (const FltsimEntry& entry : entries) {
    const auto base = texture_folder_path(folder, entry);
    if (!base) return refused("unsafe texture folder name: " + entry.texture);
    auto target = choose_target(fs, *base, freed, taken);
    if (!target) return refused("all 1000 texture folder names are taken: " + *base);
    taken.push_back(file_name(target->folder));
    targets.push_back(std::move(*target));
  }
  return targets;
}

struct CfgChange {
  std::string before;  // Aircraft.cfg as it is
  std::string bytes;   // the new Aircraft.cfg
  std::vector<int> sections;  // one per entry
  std::int16_t next_free = 0;
};

// Aircraft.cfg as it is; a missing file is an empty one.
Result<std::string> read_cfg(FileSystem& fs, const std::string& aircraft_folder) {
  auto read = read_whole_file(fs, aircraft_cfg_path(aircraft_folder), kMaxAircraftCfgBytes);
  if (!read && read.error().code != ErrorCode::kNotFound) return read.error();
  return read ? std::move(*read) : std::string();
}

// `base_text` (Aircraft.cfg as it is, or as a replace leaves it) with the
// entries appended. Nothing is written here, so g_FirstFreeFltsim advances
// only once the file is replaced and failed installs leave no run of gaps
// that would hide later entries from the listing; the final empty line the
// new entries need is added in memory, so an install that fails leaves
// Aircraft.cfg byte for byte as it was.
Result<CfgChange> cfg_with_entries(std::string before, std::string_view base_text,
                                   const std::vector<FltsimEntry>& entries, const std::vector<Target>& targets,
                                   std::int16_t first_free) {
  CfgChange change;
  change.before = std::move(before);
  ProfileDocument doc = ProfileDocument::parse(with_trailing_newline(base_text));
  change.next_free = first_free;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    Result<int> section = AppendPackageEntry(doc, entries[i], change.next_free, targets[i].suffix);
    if (!section) return section.error();
    change.sections.push_back(*section);
  }
  change.bytes = doc.serialize();
  return change;
}

// The operation's restore point, begun before anything is placed: the
// source, the new sections, the new folders, and what becomes of a
// package to be deleted: one of Downloads is kept in the point, so undo
// gives it back; one from elsewhere is deleted for good.
Result<RestorePoint> begin_install_point(FileSystem& fs, const std::string& folder, const CfgChange& change,
                                         const NewRepaints& repaints, const std::vector<Target>& targets,
                                         const RemovalPlan* replaced) {
  RestoreManifest intent;
  intent.operation = repaints.operation;
  if (replaced) {
    intent.sections_deleted = replaced->deleted_sections;
    intent.folders_removed = replaced->folder_names;
  }
  const std::string& source = repaints.source;
  intent.packages = {source};
  for (std::size_t i = 0; i < targets.size(); ++i) {
    intent.sections_written.push_back("[" + fltsim_section(change.sections[i]) + "] " +
                                      trim_blanks(repaints.entries[i].title));
    intent.folders_created.push_back(file_name(targets[i].folder));
  }
  if (repaints.delete_source && iequals(parent_path(source), join_path(folder, "Downloads"))) {
    intent.packages_kept = {file_name(source)};
  } else if (repaints.delete_source) {
    intent.packages_deleted = {source};
  }
  return begin_restore_point(fs, folder, std::move(intent), change.before, change.bytes);
}

RepaintsReport failure(InstallOutcome outcome, Error error) {
  RepaintsReport report;
  report.outcome = outcome;
  report.error = std::move(error);
  return report;
}

// The staging folders, one per new repaint, inside the point's work folder.
Result<std::vector<std::string>> make_stages(FileSystem& fs, const RestorePoint& point, std::size_t count) {
  const std::string work = restore_point_work_folder(point);
  PW_TRY(fs.make_folder(work));
  std::vector<std::string> stages;
  for (std::size_t i = 0; i < count; ++i) {
    stages.push_back(join_path(work, std::to_string(i)));
    PW_TRY(fs.make_folder(stages.back()));
  }
  return stages;
}

// Every new folder staged whole (only then) and checked, the folders it
// replaces moved into the point, each staged folder renamed into place.
// A failure takes back what was done.
Result<std::vector<std::vector<Finding>>> place_folders(const OperationContext& op, RestorePoint& point,
                                                        const std::string& folder, const NewRepaints& repaints,
                                                        const std::vector<Target>& targets) {
  Result<std::vector<std::string>> stages = make_stages(op.fs, point, targets.size());
  Result<void> staged = stages ? repaints.fill(*stages) : Result<void>(stages.error());
  if (!staged) return roll_back_operation(op.fs, point, folder, staged.error());
  // A failed move takes itself back.
  PW_TRY(move_folders_into_restore_point(op.fs, point, folder));
  std::vector<std::vector<Finding>> findings;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    // The texture check looks at the staged files as the folder they
    // become; one that cannot run finds nothing, since it never stops an
    // install.
    Result<std::vector<Finding>> found = check_texture_folder(op.fs, (*stages)[i], targets[i].folder);
    findings.push_back(found ? std::move(*found) : std::vector<Finding>{});
    if (Result<void> placed = op.fs.rename_new((*stages)[i], targets[i].folder); !placed) {
      return roll_back_operation(op.fs, point, folder, placed.error());
    }
  }
  (void)op.fs.remove_folder(restore_point_work_folder(point));  // empty now; a leftover goes with the point
  (void)op.fs.sync_folder(folder);
  return findings;
}

// An operation's steps once its point is begun: the folders placed, a kept
// package moved into the point, Aircraft.cfg replaced, a package from
// elsewhere deleted.
RepaintsReport carry_out_install(const OperationContext& op, RestorePoint& point, const std::string& folder,
                                 const NewRepaints& repaints, const std::vector<Target>& targets,
                                 const CfgChange& change) {
  Result<std::vector<std::vector<Finding>>> findings = place_folders(op, point, folder, repaints, targets);
  if (!findings) return failure(InstallOutcome::kFailed, findings.error());
  const std::string& path = repaints.source;
  // A package that cannot be moved stays in Downloads: the install goes on.
  if (!point.manifest.packages_kept.empty()) (void)move_package_into_restore_point(op.fs, point, path);
  if (Result<void> written = replace_cfg_with_restore_point(op.fs, point, folder, change.bytes); !written) {
    return failure(InstallOutcome::kCfgNotWritten, written.error());
  }
  RepaintsReport report;
  if (!point.manifest.packages_deleted.empty()) {
    DeleteFileAndWait(op, path);
    if (op.fs.exists(path)) report.source_not_deleted = path;
  }
  report.outcome = InstallOutcome::kInstalled;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    InstallReport placed;
    placed.outcome = InstallOutcome::kInstalled;
    placed.variation = trim_blanks(repaints.entries[i].ui_variation);
    placed.folder = targets[i].folder;
    placed.title = suffixed_title(trim_blanks(repaints.entries[i].title), targets[i].suffix);
    placed.section = change.sections[i];
    placed.texture_findings = std::move((*findings)[i]);
    report.placed.push_back(std::move(placed));
  }
  return report;
}

}  // namespace

InstallReport failed_install_report(InstallOutcome outcome, Error error) {
  InstallReport report;
  report.outcome = outcome;
  report.error = std::move(error);
  return report;
}

RepaintsReport install_repaints(const OperationContext& op, const AircraftState& aircraft,
                                const std::vector<bool>& replaced, const NewRepaints& repaints,
                                std::int16_t& first_free) {
  const std::string& folder = aircraft.g_AircraftFolder;
  Result<std::string> before = read_cfg(op.fs, folder);
  if (!before) return failure(InstallOutcome::kFailed, before.error());
  std::optional<RemovalPlan> plan;
  if (std::find(replaced.begin(), replaced.end(), true) != replaced.end()) {
    Result<RemovalPlan> planned = plan_removal(op.fs, aircraft, replaced, *before);
    if (!planned) return failure(InstallOutcome::kFailed, planned.error());
    plan = std::move(*planned);
  }
  Result<std::vector<Target>> targets =
      choose_targets(op.fs, folder, repaints.entries, plan ? plan->folder_names : std::vector<std::string>{});
  if (!targets) return failure(InstallOutcome::kFailed, targets.error());
  // A replace's entries go after the kept entries, numbered from 0 again.
  Result<CfgChange> change =
      cfg_with_entries(*before, plan ? plan->new_cfg : *before, repaints.entries, *targets, plan ? 0 : first_free);
  if (!change) return failure(InstallOutcome::kFailed, change.error());
  Result<RestorePoint> point =
      begin_install_point(op.fs, folder, *change, repaints, *targets, plan ? &*plan : nullptr);
  if (!point) return failure(InstallOutcome::kFailed, point.error());
  RepaintsReport report = carry_out_install(op, *point, folder, repaints, *targets, *change);
  if (report.outcome == InstallOutcome::kInstalled && !plan) first_free = change->next_free;
  return report;
}

}  // namespace pw
