// The checks made before an install or removal writes, and the operation
// log written after it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "aircraft/fltsim_entry.h"
#include "app/app_context.h"
#include "packages/package_installation.h"
#include "packages/repaint_removal.h"

namespace pw {

// The index (in the entries as Aircraft.cfg holds them now) of an entry
// whose title is the package's, with or without a " - NNN" copy suffix.
std::optional<std::size_t> installed_duplicate(AppContext& ctx, const FltsimEntry& package_entry);

// Runs the check of the selected aircraft and, when it found something,
// shows it and offers the renumbering; after an accepted repair the entries
// and lists are read again. True when the file was repaired.
bool check_and_offer_repair(AppContext& ctx);

// The renumbering repair with its log record; false when it failed (a
// message was shown).
bool repair_with_log(AppContext& ctx);

// The texture check of entry `entryIndex`'s folder, which the package
// command packs. Advisory: a folder that cannot be checked gives none, and
// packing reports the fault itself.
std::vector<Finding> packed_folder_findings(AppContext& ctx, int entryIndex);

// Findings as message lines, "- [subject] explanation" each, CR between.
std::string findings_text(const std::vector<Finding>& findings);

// Shows what the texture check found in the folder to pack and asks
// whether to pack it anyway; true when there is nothing or the user goes on.
bool texture_findings_accepted(AppContext& ctx, int entryIndex);

// Records the install, with what the texture check found in the new folder.
void log_install(AppContext& ctx, const std::string& package_path, const InstallReport& report);
void log_skipped_install(AppContext& ctx, const std::string& package_path, const std::string& installed_title);
void log_removal(AppContext& ctx, const RemovalReport& report);

}  // namespace pw
