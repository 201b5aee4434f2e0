#include "app/desktop/download_command.h"

#include <map>
#include <optional>

#include "app/aircraft_session.h"
#include "app/command_texts.h"
#include "app/desktop/dispatcher.h"
#include "app/desktop/download_review.h"
#include "app/desktop/library_tab.h"
#include "app/desktop/screen_lists.h"
#include "base/file_ops.h"
#include "base/text.h"

namespace pw {
namespace {

// What one download's install into one aircraft came to.
struct GroupOutcome {
  std::string download;  // its file name
  std::string aircraft;  // the aircraft folder's name
  int installed = 0;
  std::vector<std::string> skipped;  // titles installed already
  std::vector<std::string> refused;  // "title: why", of repaints left out alone
  std::vector<Finding> findings;
  std::string error;  // empty when it went through
};

// The ticked, installable repaints of the download by target aircraft.
std::map<std::size_t, std::vector<std::size_t>> by_aircraft(const ReviewedDownload& download) {
  std::map<std::size_t, std::vector<std::size_t>> groups;
  for (std::size_t r = 0; r < download.repaints.size(); ++r) {
    const ReviewedRepaint& repaint = download.repaints[r];
    if (repaint.ticked && repaint.target && repaint.refusal.empty()) groups[*repaint.target].push_back(r);
  }
  return groups;
}

// The aircraft becomes the selected one, as the Hangar's library selects
// it, unless it is already.
bool select_target(AppContext& ctx, const std::string& folder) {
  return is_same_folder(folder, ctx.state.g_AircraftFolder) || select_aircraft_path(ctx, folder);
}

// The title of the first repaint to install that the aircraft holds already.
std::optional<std::string> first_duplicate(const AircraftState& aircraft, const ReviewedDownload& download,
                                           const std::vector<std::size_t>& repaints) {
  for (const std::size_t r : repaints) {
    const std::string& title = download.repaints[r].title;
    for (const FltsimEntry& entry : aircraft.g_AircraftEntries) {
      if (iequals(trim_blanks(entry.title), title)) return title;
    }
  }
  return std::nullopt;
}

// The repaints into the selected aircraft as one operation, under its lock;
// a duplicate title is asked about once for them all.
void install_group(AppContext& ctx, ReviewedDownload& download, const std::vector<std::size_t>& repaints,
                   GroupOutcome& outcome) {
  Result<AircraftSession> aircraft = AircraftSession::open(ctx);
  if (!aircraft) {
    outcome.error = aircraft.error().message;
    return;
  }
  std::vector<FoundRepaint> chosen;
  for (const std::size_t r : repaints) chosen.push_back(download.scan.repaints[download.repaints[r].found]);
  DuplicateChoice on_duplicate = DuplicateChoice::kCopy;
  if (const auto title = first_duplicate(aircraft->aircraft(), download, repaints)) {
    on_duplicate = ctx.view.ask_duplicate(*title);
  }
  const ImportReport report = aircraft->import(*download.download, chosen, on_duplicate);
  if (report.outcome == InstallOutcome::kFailed || report.outcome == InstallOutcome::kCfgNotWritten) {
    outcome.error = report.error.message;
  }
  for (std::size_t i = 0; i < report.repaints.size() && i < repaints.size(); ++i) {
    const InstallReport& r = report.repaints[i];
    if (r.outcome == InstallOutcome::kInstalled) {
      ++outcome.installed;
      outcome.findings.insert(outcome.findings.end(), r.texture_findings.begin(), r.texture_findings.end());
    } else if (r.outcome == InstallOutcome::kSkipped) {
      outcome.skipped.push_back(r.duplicate_of);
    } else if (outcome.error.empty() || r.error.message != outcome.error) {
      outcome.refused.push_back(download.repaints[repaints[i]].title + ": " + r.error.message);
    }
  }
}

std::string outcome_lines(const std::vector<GroupOutcome>& outcomes) {
  std::vector<std::string> lines;
  for (const GroupOutcome& o : outcomes) {
    std::string line = o.download + " into " + o.aircraft + ": ";
    if (!o.error.empty()) {
      lines.push_back(line + "not installed, " + o.error);
      continue;
    }
    lines.push_back(line + std::to_string(o.installed) + (o.installed == 1 ? " repaint installed" : " repaints installed"));
    for (const std::string& title : o.skipped) lines.push_back("- skipped, installed already: " + title);
    for (const std::string& why : o.refused) lines.push_back("- not installed: " + why);
    if (const std::string found = installed_findings_text(o.findings); !found.empty()) lines.push_back(found);
  }
  return cr_lines(lines);
}

void install_reviewed(AppContext& ctx, DownloadReview& review) {
  std::vector<GroupOutcome> outcomes;
  for (ReviewedDownload& download : review.downloads) {
    for (const auto& [aircraft, repaints] : by_aircraft(download)) {
      GroupOutcome outcome;
      outcome.download = file_name(download.path);
      outcome.aircraft = file_name(review.aircraft[aircraft].folder);
      if (!select_target(ctx, review.aircraft[aircraft].folder)) {
        outcome.error = "the aircraft could not be selected";
      } else {
        ctx.view.set_busy(true);
        install_group(ctx, download, repaints, outcome);
        ctx.view.set_busy(false);
      }
      outcomes.push_back(std::move(outcome));
    }
  }
  reread_aircraft(ctx);
  int installed = 0;
  for (const GroupOutcome& o : outcomes) installed += o.installed;
  ctx.view.ShowMessage(outcome_lines(outcomes), installed > 0 ? kStyleInformation : kStyleCritical,
                       installed > 0 ? "Repaints Installed" : "No Repaints Installed");
}

}  // namespace

void open_downloads(AppContext& ctx, const std::vector<std::string>& paths) {
  ctx.view.set_busy(true);
  LoadHangarLibrary(ctx);
  const std::unique_ptr<DownloadReview> review = review_downloads(ctx.fs, ctx.library, paths, ctx.library_cache_folder);
  ctx.view.set_busy(false);
  if (!ctx.view.show_review(*review)) return;
  install_reviewed(ctx, *review);
}

}  // namespace pw
