// The checks made before an install, removal or pack writes, and the operation
// log written after it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "aircraft/diagnosis.h"
#include "aircraft/fltsim_entry.h"
#include "app/session.h"
#include "packages/download_installation.h"
#include "packages/download_scan.h"
#include "packages/package_installation.h"
#include "packages/repaint_removal.h"

namespace pw {

// The index (in the entries as Aircraft.cfg holds them now) of an entry
// whose title is the package's, with or without a " - NNN" copy suffix.
std::optional<std::size_t> installed_duplicate(Session& session, const FltsimEntry& package_entry);

// The section numbers that Aircraft.cfg uses more than once. A removal on
// such a file would bring the hidden twin back beside a renumbered entry,
// so it is refused until the file is repaired. Empty when the check fails.
std::vector<Finding> numbers_used_twice(Session& session);

// The renumbering repair with its log record; on success the entries are
// read again. Errors: those of repair_aircraft_cfg.
Result<void> repair_with_log(Session& session);

// The texture check of entry `entry_index`'s folder, which a pack is about
// to write. Advisory: a folder that cannot be checked gives none, and
// packing reports the fault itself.
std::vector<Finding> packed_folder_findings(Session& session, int entry_index);

// Records the install, with what the texture check found in the new folder.
void log_install(Session& session, const std::string& package_path, const InstallReport& report);
void log_skipped_install(Session& session, const std::string& package_path, const std::string& installed_title);
// Records the import of a download's repaints: each one's outcome, in
// order (`refused` marks those refused alone, before the operation), then
// the operation's.
void log_import(Session& session, const std::string& download_path, const std::vector<FoundRepaint>& repaints,
                const std::vector<bool>& refused, const ImportReport& report);
void log_removal(Session& session, const RemovalReport& report);

}  // namespace pw
