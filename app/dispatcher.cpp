#include "app/dispatcher.h"

#include "aircraft/cfg_files.h"
#include "app/aircraft_selection.h"
#include "app/safeguards.h"
#include "app/text.h"
#include "packages/package_creation.h"
#include "packages/package_installation.h"
#include "packages/repaint_removal.h"

namespace pw {
namespace {

constexpr char kCR = '\r';

std::string lines(std::initializer_list<std::string> parts) {
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += kCR;
    text += part;
  }
  return text;
}

bool confirmed(AppContext& ctx, const std::string& text, const std::string& title) {
  return ctx.view.ShowMessage(text, kStyleOkCancel, title) == kResultOk;
}

const std::string kLongRun =
    "number of aircraft you have selected to install and the speed of your computer.";

void show_error(AppContext& ctx, PressedButton& button, const std::string& text, const std::string& title) {
  ctx.view.ShowMessage(text, kStyleCritical, title);
  button.error_reported = true;
}

// Removes the installed entry `index` (of the entries as the file holds them
// now) and its folder, so that a package can take its place.
bool remove_installed(AppContext& ctx, std::size_t index) {
  get_aircraft_list(ctx);
  ctx.state.g_RemoveSelection.assign(ctx.state.g_AircraftEntries.size(), false);
  ctx.state.g_RemoveSelection[index] = true;
  const RemovalReport removal = remove_repaints(ctx);
  log_removal(ctx, removal);
  get_aircraft_list(ctx);
  return removal.result == kRemoveDone;
}

// One ticked package of the install command, after the duplicate check.
PackageResult install_one(AppContext& ctx, PressedButton& button, int k) {
  const SharedState& s = ctx.state;
  const bool listed = k >= 0 && k <= s.g_PackageLast;
  PackageResult result{listed ? s.g_PackagePaths[static_cast<std::size_t>(k)] : "", {}, false};
  if (listed) {
    const FltsimEntry& entry = s.g_PackageEntries[static_cast<std::size_t>(k)];
    if (const auto installed = installed_duplicate(ctx, entry)) {
      const DuplicateChoice choice = ctx.view.ask_duplicate(trim_blanks(entry.title));
      if (choice == DuplicateChoice::kSkip) {
        log_skipped_install(ctx, result.path, trim_blanks(entry.title));
        result.skipped = true;
        return result;
      }
      if (choice == DuplicateChoice::kReplace && !remove_installed(ctx, *installed)) {
        show_error(ctx, button, package_cfg_error_text(result.path), kInstallErrorTitle);
        result.report.error = make_error(ErrorCode::kIo, "the installed entry could not be removed");
        return result;
      }
    }
  }
  // Judged by the outcome, not the variation text: a repaint with a blank
  // ui_variation that was installed is a success.
  result.report = install_package(ctx, k);
  log_install(ctx, result.path, result.report);
  if (result.report.outcome == InstallOutcome::kFailed) {
    show_error(ctx, button, package_error_text(result.path), kInstallErrorTitle);
  } else if (result.report.outcome == InstallOutcome::kCfgNotWritten) {
    show_error(ctx, button, package_cfg_error_text(result.path), kInstallErrorTitle);
  }
  return result;
}

// A removal on a file with a number used twice would bring the hidden twin
// back beside a renumbered entry: refuse it and offer the repair first.
bool refuse_removal_on_duplicate_numbers(AppContext& ctx, PressedButton& button) {
  Result<std::vector<Finding>> findings = diagnose_aircraft(ctx.fs, ctx.state.g_AircraftFolder);
  if (!findings || !has_kind(*findings, FindingKind::kDuplicateNumber)) return false;
  std::string names;
  for (const Finding& f : *findings) {
    if (f.kind == FindingKind::kDuplicateNumber) names += (names.empty() ? "[" : ", [") + f.subject + "]";
  }
  show_error(ctx, button,
             lines({"The aircraft.cfg file uses " + names + " more than once.",
                    "Removing repaints now would bring a hidden entry back beside a renumbered one.", "",
                    "Renumber the entries first, then tick the repaints to remove again."}),
             "Repaint Removal Error");
  if (ctx.view.offer_repair(*findings)) repair_with_log(ctx);
  return true;
}

void run_preview_command(AppContext& ctx) {
  SharedState& s = ctx.state;
  s.g_PreviewChosen = false;
  // The dialog object keeps its FileName: a cancel yields the earlier choice.
  if (auto chosen = ctx.view.open_file("frm_Package", {"Bitmap Image Files |*.bmp", s.program_folder})) {
    s.preview_dialog_file_name = *chosen;
  }
  const std::string path = trim_blanks(s.preview_dialog_file_name);
  if (path.empty()) return;
  s.g_PreviewChosen = true;
  s.g_PreviewPath = path;
  ctx.view.show_picture("frm_Package", "picPreview", path);
}

void run_main_command(AppContext& ctx, const std::string& command) {
  if (command == "exit") return ctx.view.shut_down();
  if (command == "upload") return ctx.view.show_screen_in_place("frm_Package", "frm_Main");
  if (command == "add") return ctx.view.show_screen_in_place("frm_Install", "frm_Main");
  if (command == "remove") return ctx.view.show_centred_over_main("frm_Remove", true);
  if (command == "select") return select_aircraft(ctx);
}

void run_screen_command(AppContext& ctx, PressedButton& button, const std::string& screen,
                        const std::string& command) {
  if (screen == "frm_Main") return run_main_command(ctx, command);
  if (screen == "frm_Remove") {
    if (command == "return") return ctx.view.hide_screen("frm_Remove");
    if (command == "remove") return run_remove_command(ctx, button);
    return;
  }
  if (screen != "frm_Package" && screen != "frm_Install") return;
  if (command == "exit") return ctx.view.shut_down();
  if (command == "return") return ctx.view.show_screen_in_place("frm_Main", screen);
  if (screen == "frm_Package") {
    if (command == "preview") return run_preview_command(ctx);
    if (command == "package") run_package_command(ctx);
    return;
  }
  if (command == "browse") return BrowseForPackages(ctx);
  if (command == "install") run_install_command(ctx, button);
}

}  // namespace

std::string package_error_text(const std::string& package_path) {
  return lines({"An error occured with the repaint package file named... ", "", package_path});
}

std::string package_cfg_error_text(const std::string& package_path) {
  return lines({"An error occured while writing the aircraft.cfg file for the repaint package file named... ", "",
                package_path});
}

void dispatch_release(AppContext& ctx, PressedButton& button) {
  if (button.state() == "disabled") return;
  button.set_state("highlight");
  run_screen_command(ctx, button, button.form_name(), to_lower(button.button_type()));
  button.clear_tracking();
  if (button.state() != "disabled") button.set_state("enabled");
}

void run_remove_command(AppContext& ctx, PressedButton& button) {
  const std::string question =
      lines({"You are about to remove the selected repaints.  This process could take a few minutes depending on the",
             kLongRun, "", "Do you wish to continue?"});
  if (!confirmed(ctx, question, "Remove Aircraft Repaints")) return;
  button.error_reported = false;
  if (refuse_removal_on_duplicate_numbers(ctx, button)) return;
  ctx.view.set_busy(true);
  SharedState& s = ctx.state;
  s.g_RemoveSelection.assign(s.g_AircraftEntries.size(), false);
  for (const ListRow& row : ctx.view.list("frm_Remove", "lstAircraft").rows) {
    if (row.checked && row.item_data >= 0 && static_cast<std::size_t>(row.item_data) < s.g_RemoveSelection.size()) {
      s.g_RemoveSelection[static_cast<std::size_t>(row.item_data)] = true;
    }
  }
  const RemovalReport removal = remove_repaints(ctx);
  log_removal(ctx, removal);
  const std::int16_t result = removal.result;
  if (result == kRemoveFailed) {
    show_error(ctx, button, "An error occured while attempting to remove a repaint.", "Repaint Removal Error");
  } else if (result == kRemoveCfgFailed) {
    show_error(ctx, button, "An error occured while writing the aircraft.cfg file.", "Repaint Removal Error");
  }
  ctx.view.set_busy(false);
  reread_aircraft(ctx);
  if (button.error_reported) return;
  ctx.view.ShowMessage(lines({"All selected aircraft repaints have been successfully removed", "from your aircraft.", "",
                              "Please press OK to continue."}),
                       kStyleInformation, "Repaint Removal Successful");
}

std::vector<PackageResult> run_install_command(AppContext& ctx, PressedButton& button) {
  const std::string question =
      lines({"You are about to install new repaints.  This process could take a few minutes depending on the",
             kLongRun, "", "Do you wish to continue?"});
  if (!confirmed(ctx, question, "Install Aircraft Repaints")) return {};
  button.error_reported = false;
  ctx.view.set_busy(true);
  SharedState& s = ctx.state;
  if (!RefreshAircraftCfgBackup(ctx.fs, s.g_AircraftFolder).ok()) {
    ctx.view.set_busy(false);
    return {};
  }
  std::vector<PackageResult> results;
  for (const ListRow& row : ctx.view.list("frm_Install", "lstPackages").rows) {
    if (row.checked) results.push_back(install_one(ctx, button, row.item_data));
  }
  ctx.view.set_busy(false);
  if (ListPackages(ctx, "").ok()) FillPackageList(ctx, false);
  reread_aircraft(ctx);
  if (!button.error_reported) {
    ctx.view.ShowMessage(lines({"All selected repaint packages have been successfully installed",
                                "into your selected aircraft.", "", "Please press OK to continue."}),
                         kStyleInformation, "Repaint Packages Installed");
  }
  return results;
}

std::string run_package_command(AppContext& ctx) {
  const ListContent list = ctx.view.list("frm_Package", "lstAircraft");
  if (list.current < 0 || static_cast<std::size_t>(list.current) >= list.rows.size()) return {};
  const int k = list.rows[static_cast<std::size_t>(list.current)].item_data;
  if (k < 0 || static_cast<std::size_t>(k) >= ctx.state.g_AircraftEntries.size()) return {};
  const std::string question =
      lines({"You are about to create a new repaint package for the " +
                 trim_blanks(ctx.state.g_AircraftEntries[static_cast<std::size_t>(k)].ui_variation) + " aircraft.",
             "", "Do you wish to continue?"});
  if (!confirmed(ctx, question, "Create Repaint Package")) return {};
  ctx.view.set_busy(true);
  const std::string name = trim_blanks(CreatePackage(ctx, k));
  ctx.view.set_busy(false);
  if (name.empty()) return {};
  ctx.view.ShowMessage(lines({"A repaint package file named... ", "", name, "",
                              "has been successfully created and placed in the Uploads",
                              "directory of " + ctx.state.g_AircraftFolder + "."}),
                       kStyleInformation, "Repaint Package Created");
  return name;
}

}  // namespace pw
