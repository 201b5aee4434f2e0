// The command dispatcher: every release of an enabled image button ends
// here, and the screen's name and the button's command key pick what runs.
// Each command reads its screen's controls into a command's inputs, runs
// it and shows its outcome.
#pragma once

#include <string>
#include <vector>

#include "app/desktop/app_context.h"
#include "packages/package_installation.h"

namespace pw {

// The released button as the dispatcher sees it.
class PressedButton {
 public:
  virtual ~PressedButton() = default;
  virtual std::string state() const = 0;
  virtual void set_state(const std::string& state) = 0;
  // Forgets that the pointer was inside (the next move counts as entering).
  virtual void clear_tracking() = 0;
  virtual std::string button_type() const = 0;
  virtual std::string form_name() const = 0;
  // Set by the remove and install commands when they showed an error.
  bool error_reported = false;
};

// The whole release: nothing for a "disabled" button; else "highlight",
// the command of the table for form_name (exact) and button_type (any
// case), then the common end (tracking cleared, "enabled" unless
// "disabled").
void dispatch_release(AppContext& ctx, PressedButton& button);

// The select command with the chosen file: selects it or says why not
// (the previous aircraft then stays); after a selection, the check of the
// aircraft offers its repair. True when the aircraft was selected.
bool select_aircraft_path(AppContext& ctx, const std::string& path);

// The package command's step after its confirmation: entry `entryIndex`
// with the ticked rows of frm_Package's lstTextures, in list order, and the
// chosen preview (see create_package).
Result<std::string> CreatePackage(AppContext& ctx, int entryIndex);

// The install command of the button's screen (frm_Install or the Hangar):
// its lstPackages' ticked rows, hidden by a search or not, and its
// chkDelete. The outcome for each of them, in list order (none when it
// was cancelled or the backups failed).
struct PackageResult {
  std::string path;
  InstallReport report;
};
std::vector<PackageResult> run_install_command(AppContext& ctx, PressedButton& button);

}  // namespace pw
