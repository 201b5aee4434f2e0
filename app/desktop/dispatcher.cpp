#include "app/desktop/dispatcher.h"

#include <algorithm>
#include <cctype>

#include "app/aircraft_selection.h"
#include "app/aircraft_session.h"
#include "app/command_texts.h"
#include "app/commands.h"
#include "app/safeguards.h"
#include "app/desktop/library_tab.h"
#include "app/desktop/outside_packages.h"
#include "app/desktop/listed_titles.h"
#include "app/desktop/screen_lists.h"
#include "app/desktop/undo_command.h"
#include "base/text.h"
#include "packages/package_creation.h"

namespace pw {
namespace {

constexpr const char* kHangar = "frm_Hangar";
// The design's filters first, then one showing every kind the dialog opens.
constexpr const char* kSelectFilter =
    "Package File (*.pkg)|*.pkg|Repaint Configuration File (*.rcf)|*.rcf|"
    "Package or Repaint Configuration File|*.pkg;*.rcf";
// The design's filter first, then downloads, then every kind it opens.
constexpr const char* kBrowseFilter =
    "Package File (*.pkg)|*.pkg|Repaint Download|*.zip;*.7z;*.rar|Package or Repaint Download|*.pkg;*.zip;*.7z;*.rar";
const std::string kLongRun =
    "number of aircraft you have selected to install and the speed of your computer.";

bool confirmed(AppContext& ctx, const std::string& text, const std::string& title) {
  return ctx.view.ShowMessage(text, kStyleOkCancel, title) == kResultOk;
}

void show_error(AppContext& ctx, PressedButton& button, const std::string& text, const std::string& title) {
  ctx.view.ShowMessage(text, kStyleCritical, title);
  button.error_reported = true;
}

// Before a command that changes the aircraft: an operation a crash
// interrupted is taken back, under the aircraft's lock, and the user told.
// A session that cannot be opened is left to the command, whose own
// session then says why under the command's title.
void take_back_interrupted(AppContext& ctx) {
  Result<AircraftSession> aircraft = AircraftSession::open(ctx);
  if (!aircraft || aircraft->recovered().empty()) return;
  std::vector<std::string> lines;
  for (std::string sentence : aircraft->recovered()) {
    sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
    lines.push_back(sentence + ".");
  }
  ctx.view.ShowMessage(cr_lines(lines), kStyleInformation, kAppTitle);
  reread_aircraft(ctx);
}

// The repair offered after a check found something; a failed repair says
// why, a done one is checked again. Findings renumbering cannot mend alone
// are shown without the offer.
void check_and_offer_repair(AppContext& ctx) {
  Result<std::vector<Finding>> findings = diagnose_aircraft(ctx.fs, ctx.state.g_AircraftFolder);
  if (!findings || findings->empty()) return;
  if (std::none_of(findings->begin(), findings->end(), is_mended_by_renumbering)) {
    ctx.view.ShowMessage(cr_lines({"The check of this aircraft found:", "", findings_lines(*findings)}),
                         kStyleInformation, kAppTitle);
    return;
  }
  if (!ctx.view.offer_repair(*findings)) return;
  take_back_interrupted(ctx);
  Result<AircraftSession> aircraft = AircraftSession::open(ctx);
  Result<void> repaired = aircraft ? aircraft->repair() : aircraft.error();
  if (!repaired) {
    ctx.view.ShowMessage(with_reason(removal_cfg_error_text(), repaired.error()), kStyleCritical, kAppTitle);
  }
  reread_aircraft(ctx);
  if (!repaired) return;
  if (Result<std::vector<Finding>> left = diagnose_aircraft(ctx.fs, ctx.state.g_AircraftFolder)) {
    ctx.view.ShowMessage(after_repair_text(*left), kStyleInformation, kAppTitle);
  }
}

// One ticked package of the install command; a duplicate is asked about.
PackageResult install_one(AppContext& ctx, PressedButton& button, AircraftSession& aircraft, const std::string& path,
                          bool delete_package) {
  InstallOptions options{delete_package, DuplicateChoice::kCopy};
  if (const auto title = aircraft.installed_duplicate(path)) options.on_duplicate = ctx.view.ask_duplicate(*title);
  PackageResult result{path, aircraft.install(path, options)};
  const InstallReport& r = result.report;
  if (r.outcome == InstallOutcome::kFailed) {
    show_error(ctx, button, with_reason(package_error_text(result.path), r.error), kInstallErrorTitle);
  } else if (r.outcome == InstallOutcome::kCfgNotWritten) {
    show_error(ctx, button, with_reason(package_cfg_error_text(result.path), r.error), kInstallErrorTitle);
  }
  return result;
}

// The packages, in list order, under the aircraft's lock, released on
// return.
Result<std::vector<PackageResult>> install_under_lock(AppContext& ctx, PressedButton& button,
                                                      const std::vector<std::string>& paths, bool delete_packages) {
  Result<AircraftSession> aircraft = AircraftSession::open(ctx);
  if (!aircraft) return aircraft.error();
  std::vector<PackageResult> results;
  for (const std::string& path : paths) results.push_back(install_one(ctx, button, *aircraft, path, delete_packages));
  return results;
}

int installed_count(const std::vector<PackageResult>& results) {
  return static_cast<int>(std::count_if(results.begin(), results.end(), [](const PackageResult& r) {
    return r.report.outcome == InstallOutcome::kInstalled;
  }));
}

std::vector<std::string> skipped_titles(const std::vector<PackageResult>& results) {
  std::vector<std::string> titles;
  for (const PackageResult& r : results) {
    if (r.report.outcome == InstallOutcome::kSkipped) titles.push_back(r.report.duplicate_of);
  }
  return titles;
}

std::vector<std::string> copy_titles(const std::vector<PackageResult>& results) {
  std::vector<std::string> titles;
  for (const PackageResult& r : results) {
    if (r.report.outcome == InstallOutcome::kInstalled && !r.report.duplicate_of.empty()) titles.push_back(r.report.title);
  }
  return titles;
}

// The entries of the rows the question named, as the screen shows them.
std::vector<EntryIdentity> entries_of(const AppContext& ctx, const std::vector<ListRow>& rows) {
  std::vector<EntryIdentity> entries;
  for (const ListRow& row : rows) {
    if (row.item_data >= 0 && static_cast<std::size_t>(row.item_data) < ctx.state.g_AircraftEntries.size()) {
      entries.push_back(identity_of(ctx.state, static_cast<std::size_t>(row.item_data)));
    }
  }
  return entries;
}

// The removal under the aircraft's lock, released on return; a lock that
// cannot be had is refused as the removal's own refusals are.
RemovalReport remove_under_lock(AppContext& ctx, const std::vector<EntryIdentity>& entries) {
  Result<AircraftSession> aircraft = AircraftSession::open(ctx);
  if (aircraft) return aircraft->remove(entries);
  RemovalReport refused;
  refused.error = make_error(ErrorCode::kRefused, aircraft.error().message);
  return refused;
}

// The remove command of the remove screen's list or the Hangar's grid.
void run_remove_command(AppContext& ctx, PressedButton& button, const std::string& screen) {
  const std::string question =
      cr_lines({"You are about to remove the selected repaints.  This process could take a few minutes depending on the",
                kLongRun, "", "Do you wish to continue?"});
  const std::vector<ListRow> rows =
      acted_on_rows(ctx.view.list(screen, screen == kHangar ? "lstRepaints" : "lstAircraft"));
  if (!confirmed(ctx, with_acted_on(question, ctx.state, rows, false), "Remove Aircraft Repaints")) return;
  button.error_reported = false;
  // A greyed card (an entry the .rcf keeps) is never among the rows, ticked or not.
  const std::vector<EntryIdentity> entries = entries_of(ctx, rows);
  ctx.view.set_busy(true);
  const RemovalReport removal = remove_under_lock(ctx, entries);
  ctx.view.set_busy(false);
  if (removal.outcome == RemovalOutcome::kFailed && removal.error.code == ErrorCode::kRefused) {
    // A refusal says itself; numbers used twice are offered their repair.
    show_error(ctx, button, removal.error.message, kRemovalErrorTitle);
    check_and_offer_repair(ctx);
  } else if (removal.outcome == RemovalOutcome::kFailed) {
    show_error(ctx, button, with_reason(removal_error_text(), removal.error), kRemovalErrorTitle);
  } else if (removal.outcome == RemovalOutcome::kCfgNotWritten) {
    show_error(ctx, button, with_reason(removal_cfg_error_text(), removal.error), kRemovalErrorTitle);
  }
  reread_aircraft(ctx);
  if (!button.error_reported) ctx.view.ShowMessage(removal_success_text(), kStyleInformation, "Repaint Removal Successful");
}

// The package command: the current entry of lstAircraft with the ticked
// rows of lstTextures and the chosen preview.
void run_package_command(AppContext& ctx) {
  const ListContent list = ctx.view.list("frm_Package", "lstAircraft");
  if (list.current < 0 || static_cast<std::size_t>(list.current) >= list.rows.size()) return;
  const int k = list.rows[static_cast<std::size_t>(list.current)].item_data;
  if (k < 0 || static_cast<std::size_t>(k) >= ctx.state.g_AircraftEntries.size()) return;
  const std::string variation = trim_blanks(ctx.state.g_AircraftEntries[static_cast<std::size_t>(k)].ui_variation);
  const std::string question = cr_lines(
      {"You are about to create a new repaint package for the " + variation + " aircraft.", "", "Do you wish to continue?"});
  if (!confirmed(ctx, question, "Create Repaint Package")) return;
  const std::vector<Finding> findings = packed_folder_findings(ctx, k);
  if (!findings.empty() && !confirmed(ctx, pack_findings_question(findings), "Create Repaint Package")) return;
  ctx.view.set_busy(true);
  const Result<std::string> name = CreatePackage(ctx, k);
  ctx.view.set_busy(false);
  if (!name) {
    ctx.view.ShowMessage("The repaint package could not be created." + std::string("\r\r") + name.error().message,
                         kStyleCritical, "Create Repaint Package");
    return;
  }
  ctx.view.ShowMessage(package_created_text(*name, ctx.state.g_AircraftFolder), kStyleInformation,
                       "Repaint Package Created");
}

void run_preview_command(AppContext& ctx) {
  SharedState& s = ctx.state;
  s.g_PreviewChosen = false;
  // The dialog object keeps its FileName: a cancel yields the earlier choice.
  if (auto chosen = ctx.view.open_file("frm_Package", {"Bitmap Image Files |*.bmp", s.program_folder, ""})) {
    s.preview_dialog_file_name = *chosen;
  }
  const std::string path = trim_blanks(s.preview_dialog_file_name);
  if (path.empty()) return;
  s.g_PreviewChosen = true;
  s.g_PreviewPath = path;
  ctx.view.show_picture("frm_Package", "picPreview", path);
}

// The browse command: a package that fits the aircraft is listed after
// those of Downloads, marked with a "*" and ticked; a download is reviewed.
void BrowseForPackages(AppContext& ctx) {
  const auto chosen = ctx.view.open_file("frm_Install", {kBrowseFilter, "", ctx.state.g_SimRoot});
  const std::string path = chosen ? trim_blanks(*chosen) : "";
  if (!path.empty()) open_packages(ctx, "frm_Install", {path});
}

void run_main_command(AppContext& ctx, const std::string& command) {
  if (command == "exit") return ctx.view.shut_down();
  if (command == "upload") return ctx.view.show_screen_in_place("frm_Package", "frm_Main");
  if (command == "add") return ctx.view.show_screen_in_place("frm_Install", "frm_Main");
  if (command == "remove") return ctx.view.show_centred_over_main("frm_Remove", true);
  if (command == "undo") return run_undo_command(ctx);
  if (command == "hangar") {
    LoadHangarLibrary(ctx);
    return ctx.view.show_screen_in_place(kHangar, "frm_Main");
  }
  if (command == "select") {
    if (const auto path = ctx.view.open_file("frm_Main", {kSelectFilter, "", ctx.state.g_SimRoot})) {
      select_aircraft_path(ctx, *path);
    }
  }
}

void run_screen_command(AppContext& ctx, PressedButton& button, const std::string& screen,
                        const std::string& command) {
  const bool changes = screen == "frm_Main" ? command == "undo"
                                             : command == "install" || command == "remove" || command == "package";
  if (changes) take_back_interrupted(ctx);
  if (screen == "frm_Main") return run_main_command(ctx, command);
  if (screen == "frm_Remove") {
    if (command == "return") return ctx.view.hide_screen("frm_Remove");
    if (command == "remove") return run_remove_command(ctx, button, screen);
    return;
  }
  if (screen != "frm_Package" && screen != "frm_Install" && screen != kHangar) return;
  if (command == "exit") return ctx.view.shut_down();
  if (command == "return") return ctx.view.show_screen_in_place("frm_Main", screen);
  if (screen == "frm_Package") {
    if (command == "preview") return run_preview_command(ctx);
    if (command == "package") return run_package_command(ctx);
    return;
  }
  if (command == "install") {
    run_install_command(ctx, button);
    return;
  }
  if (screen == kHangar && command == "remove") return run_remove_command(ctx, button, screen);
  if (screen == "frm_Install" && command == "browse") return BrowseForPackages(ctx);
}

}  // namespace

void dispatch_release(AppContext& ctx, PressedButton& button) {
  if (button.state() == "disabled") return;
  button.set_state("highlight");
  run_screen_command(ctx, button, button.form_name(), to_lower(button.button_type()));
  button.clear_tracking();
  if (button.state() != "disabled") button.set_state("enabled");
}

Result<std::string> CreatePackage(AppContext& ctx, int entryIndex) {
  if (entryIndex < 0 || static_cast<std::size_t>(entryIndex) >= ctx.state.g_AircraftEntries.size()) {
    return make_error(ErrorCode::kRefused, "no such entry");
  }
  const EntryIdentity entry = identity_of(ctx.state, static_cast<std::size_t>(entryIndex));
  std::vector<std::string> files;
  for (const ListRow& row : ctx.view.list("frm_Package", "lstTextures").rows) {
    if (row.checked) files.push_back(row.text);
  }
  std::optional<std::string> preview;
  if (ctx.state.g_PreviewChosen) preview = ctx.state.g_PreviewPath;
  Result<AircraftSession> aircraft = AircraftSession::open(ctx);
  if (!aircraft) return aircraft.error();
  return aircraft->pack(entry, files, preview);
}

bool select_aircraft_path(AppContext& ctx, const std::string& path) {
  const Result<SelectedAircraft> selected = select_aircraft_file(ctx, path);
  if (!selected) {
    ctx.view.ShowMessage(selected.error().message, kStyleOkOnly, kAppTitle);
    return false;
  }
  make_selection_files(ctx, ends_with_ci(path, ".pkg"));
  show_selected_aircraft(ctx, *selected, ends_with_ci(path, ".pkg"));
  check_and_offer_repair(ctx);
  return true;
}

std::vector<PackageResult> run_install_command(AppContext& ctx, PressedButton& button) {
  const std::string question =
      cr_lines({"You are about to install new repaints.  This process could take a few minutes depending on the",
                kLongRun, "", "Do you wish to continue?"});
  const std::string screen = button.form_name();
  const std::vector<ListRow> rows = acted_on_rows(ctx.view.list(screen, "lstPackages"));
  if (!confirmed(ctx, with_acted_on(question, ctx.state, rows, true), "Install Aircraft Repaints")) return {};
  button.error_reported = false;
  const bool delete_packages = ctx.view.is_checked(screen, "chkDelete");
  std::vector<std::string> paths;
  for (const ListRow& row : rows) {
    if (row.item_data >= 0 && row.item_data <= ctx.state.g_PackageLast) {
      paths.push_back(ctx.state.g_PackagePaths[static_cast<std::size_t>(row.item_data)]);
    }
  }
  ctx.view.set_busy(true);
  const Result<std::vector<PackageResult>> results = install_under_lock(ctx, button, paths, delete_packages);
  ctx.view.set_busy(false);
  if (!results) {
    show_error(ctx, button, with_reason("The repaint packages could not be installed.", results.error()),
               kInstallErrorTitle);
    return {};
  }
  if (ListPackages(ctx, "").ok()) FillPackageList(ctx, false);
  reread_aircraft(ctx);
  if (!button.error_reported) {
    std::vector<Finding> findings;
    for (const PackageResult& r : *results) {
      findings.insert(findings.end(), r.report.texture_findings.begin(), r.report.texture_findings.end());
    }
    const int installed = installed_count(*results);
    std::vector<std::string> parts = {install_outcome_text(installed, skipped_titles(*results))};
    for (const std::string& more : {copies_text(copy_titles(*results)), installed_findings_text(findings)}) {
      if (!more.empty()) parts.insert(parts.end(), {"", more});
    }
    ctx.view.ShowMessage(cr_lines(parts), kStyleInformation,
                         installed > 0 ? "Repaint Packages Installed" : "No Repaint Packages Installed");
  }
  return *results;
}

}  // namespace pw
