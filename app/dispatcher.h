// The command dispatcher: every release of an enabled image button ends
// here, and the screen's name and the button's command key pick what runs.
#pragma once

#include <string>

#include <vector>

#include "app/app_context.h"
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

// The install and remove commands' texts, shared with the command line.
inline constexpr const char* kInstallErrorTitle = "Package Install Error";
std::string package_error_text(const std::string& package_path);
std::string package_cfg_error_text(const std::string& package_path);

// The commands that the command line runs without a button; each behaves
// exactly as pressing its button does.
struct PackageResult {
  std::string path;
  InstallReport report;
  bool skipped = false;  // already installed, and the user chose to skip it
};

// The install command reports each ticked package's outcome, in list order
// (none when it was cancelled or the backups failed).
std::vector<PackageResult> run_install_command(AppContext& ctx, PressedButton& button);
void run_remove_command(AppContext& ctx, PressedButton& button);
// Returns the package file name, or the empty text when none was made.
std::string run_package_command(AppContext& ctx);

}  // namespace pw
