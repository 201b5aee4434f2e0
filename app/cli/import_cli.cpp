#include "app/cli/import_cli.h"

#include <algorithm>
#include <memory>
#include <ostream>
#include <utility>

#include "aircraft/library_index.h"
#include "app/aircraft_selection.h"
#include "app/cli/command_line.h"
#include "app/cli/library_cli.h"
#include "app/cli/terminal.h"
#include "app/command_texts.h"
#include "base/file_ops.h"
#include "base/json_writer.h"
#include "base/text.h"
#include "packages/download.h"
#include "packages/download_installation.h"
#include "packages/download_scan.h"
#include "packages/download_target.h"
#include "packages/package_creation.h"

namespace pw {
namespace {

struct Opened {
  std::string shown;
  std::unique_ptr<Download> download;
  DownloadScan scan;
};

// A repaint with its aircraft, and what became of it.
struct Planned {
  std::size_t download = 0;  // in the opened downloads
  std::size_t repaint = 0;   // in its scan
  std::string aircraft;      // full path
  std::string first_title;   // of the aircraft, for a made-up entry's title
  std::string outcome = "listed";
  std::string folder;  // the texture folder or package written
};

std::string joined(const std::vector<std::string>& texts) {
  std::string text;
  for (const std::string& t : texts) text += (text.empty() ? "" : ", ") + t;
  return text;
}

class Importer {
 public:
  Importer(Session& session, const ImportCommand& command, std::ostream& out, std::ostream& err)
      : session_(session), command_(command), out_(out), err_(err) {}

  int run() {
    open_all();
    if (opened_.empty()) return status_;
    if (!plan_all()) return status_;
    if (command_.dry_run) {
      list_all();
    } else if (command_.to_pkg) {
      pack_all();
    } else {
      install_all();
    }
    if (command_.json) out_ << json_text();
    return status_;
  }

 private:
  void note(const std::string& text) { err_ << "paintwell-cli: " << for_terminal(text) << '\n'; }
  void fail(const std::string& why, int status = kExitFailed) {
    note(why);
    if (status_ == kExitOk) status_ = status;
  }
  const FoundRepaint& found(const Planned& p) const { return opened_[p.download].scan.repaints[p.repaint]; }
  std::string where(std::size_t download, const FoundRepaint& repaint) const {
    return opened_[download].shown + ": " + repaint.folder;
  }
  std::string where(const Planned& p) const { return where(p.download, found(p)); }

  void open_all() {
    for (std::size_t i = 0; i < command_.downloads.size(); ++i) {
      const std::string& shown = command_.shown[i];
      Result<std::unique_ptr<Download>> download = open_download(session_.fs, command_.downloads[i]);
      if (!download) {
        fail(shown + ": " + download.error().message, exit_status_of_read(download.error()));
        continue;
      }
      DownloadScan scan = scan_download((*download)->contents());
      for (const std::string& folder : scan.left_out) note(shown + ": left out: " + folder);
      if (scan.repaints.empty()) fail(shown + ": no texture folder found");
      opened_.push_back({shown, std::move(*download), std::move(scan)});
    }
  }

  // Each repaint's aircraft; false after a tie (candidates listed) or an
  // --aircraft that cannot be selected.
  bool plan_all() {
    std::optional<Library> library;
    if (command_.aircraft) {
      if (Result<SelectedAircraft> selected = select_aircraft_file(session_, *command_.aircraft); !selected) {
        fail(selected.error().message, exit_status_of_read(selected.error()));
        return false;
      }
    } else {
      library = read_library(session_, command_.cache_folder, err_);
    }
    bool tie = false;
    for (std::size_t d = 0; d < opened_.size(); ++d) {
      for (std::size_t r = 0; r < opened_[d].scan.repaints.size(); ++r) {
        if (!installable(d, opened_[d].scan.repaints[r])) continue;
        tie = !(library ? plan_from_library(*library, d, r) : plan_for_selected(d, r)) || tie;
      }
    }
    return !tie;
  }

  // Says what of the repaint is left out; false when it is refused.
  bool installable(std::size_t d, const FoundRepaint& repaint) {
    if (!repaint.keys_left_out.empty()) note(where(d, repaint) + ": keys left out: " + joined(repaint.keys_left_out));
    if (!repaint.refusal.empty()) return fail(where(d, repaint) + ": " + repaint.refusal), false;
    if (repaint.entry || command_.make_entry) return true;
    fail(where(d, repaint) + ": no [fltsim] block comes with it; pass --make-entry to install it with an entry " +
         "made from the aircraft's first entry");
    return false;
  }

  bool plan_for_selected(std::size_t d, std::size_t r) {
    const AircraftState& s = session_.state;
    const std::string first_title = s.g_AircraftEntries.empty() ? "" : s.g_AircraftEntries[0].title;
    planned_.push_back({d, r, s.g_AircraftFolder, first_title, "listed", ""});
    return true;
  }

  // False for a tie, whose candidates are listed.
  bool plan_from_library(const Library& library, std::size_t d, std::size_t r) {
    const FoundRepaint& repaint = opened_[d].scan.repaints[r];
    const TargetChoice choice = choose_target_aircraft(session_.fs, library, opened_[d].download->contents(), repaint);
    if (choice.candidates.empty()) return fail(where(d, repaint) + ": " + choice.looked_for), true;
    if (!choice.clear) {
      fail(where(d, repaint) + ": several aircraft fit it equally; choose one with --aircraft:");
      for (const std::size_t c : choice.candidates) {
        err_ << "  " << for_terminal(shown_aircraft_folder(session_, library.aircraft[c].folder)) << '\n';
      }
      return false;
    }
    const LibraryAircraft& aircraft = library.aircraft[choice.candidates.front()];
    planned_.push_back({d, r, aircraft.folder, aircraft.first_title(), "listed", ""});
    return true;
  }

  std::string title(const Planned& p) const {
    const FoundRepaint& repaint = found(p);
    if (repaint.entry) return trim_blanks(repaint.entry->title);
    FltsimEntry first;
    first.title = p.first_title;
    return trim_blanks(made_up_entry(first, repaint.texture).title);
  }

  void list_all() {
    if (command_.json) return;
    for (const Planned& p : planned_) {
      out_ << field_text(opened_[p.download].shown) << '\t' << field_text(found(p).folder) << '\t'
           << field_text(title(p)) << '\t' << field_text(shown_aircraft_folder(session_, p.aircraft)) << '\t'
           << field_text(found(p).source) << '\n';
    }
  }

  // Selects the aircraft as a FOLDER operand does, unless it is selected.
  bool select(const std::string& folder) {
    if (is_same_folder(session_.state.g_AircraftFolder, folder)) return true;
    Result<SelectedAircraft> selected = select_aircraft_file(session_, folder);
    if (!selected) fail(selected.error().message, exit_status_of_read(selected.error()));
    return selected.ok();
  }

  void pack_all();
  void install_all();
  void install_group(std::size_t download, const std::string& aircraft, const std::vector<Planned*>& group);
  std::string json_text() const;

  Session& session_;
  const ImportCommand& command_;
  std::ostream& out_;
  std::ostream& err_;
  std::vector<Opened> opened_;
  std::vector<Planned> planned_;
  int status_ = kExitOk;
};

// One package per repaint, carrying its aircraft's .rcf text (the made-up
// one where the aircraft has none, as a FOLDER operand gets it).
void Importer::pack_all() {
  const std::string& dir = *command_.to_pkg;
  if (!session_.fs.is_folder(dir)) {
    Result<void> made = session_.fs.make_folder(dir);
    if (!made) return fail("cannot create " + dir + ": " + made.error().message);
  }
  std::vector<std::string> written;
  for (Planned& p : planned_) {
    if (!select(p.aircraft)) continue;
    const std::vector<FltsimEntry>& entries = session_.state.g_AircraftEntries;
    if (!found(p).entry && entries.empty()) {
      fail(where(p) + ": the aircraft has no entry to make its entry from");
      continue;
    }
    const FltsimEntry entry = found(p).entry ? *found(p).entry : made_up_entry(entries.front(), found(p).texture);
    const std::string path = join_path(dir, package_file_name(entry.ui_variation));
    if (std::any_of(written.begin(), written.end(), [&](const std::string& w) { return iequals(w, path); })) {
      fail(where(p) + ": its package would replace the one just written: " + path);
      continue;
    }
    Download& download = *opened_[p.download].download;
    const DownloadRepaint repaint = download_repaint(found(p), entry);
    Result<DownloadPackage> made =
        write_download_package(session_.operation(), download, repaint, session_.state.g_RcfText, dir);
    if (!made) {
      fail(where(p) + ": the package could not be written: " + made.error().message);
      continue;
    }
    for (const std::string& name : made->left_out) note(where(p) + ": left out of the package: " + name);
    written.push_back(made->path);
    p.outcome = "packed";
    p.folder = made->path;
    if (!command_.json) out_ << for_terminal(session_.fs.native_path(made->path)) << '\n';
  }
}

// One operation per download and aircraft, in the order found.
void Importer::install_all() {
  std::vector<bool> done(planned_.size(), false);
  for (std::size_t i = 0; i < planned_.size(); ++i) {
    if (done[i]) continue;
    std::vector<Planned*> group;
    for (std::size_t k = i; k < planned_.size(); ++k) {
      if (planned_[k].download == planned_[i].download && is_same_folder(planned_[k].aircraft, planned_[i].aircraft)) {
        group.push_back(&planned_[k]);
        done[k] = true;
      }
    }
    install_group(planned_[i].download, planned_[i].aircraft, group);
  }
}

void Importer::install_group(std::size_t download, const std::string& aircraft, const std::vector<Planned*>& group) {
  if (!select(aircraft)) return;
  Result<AircraftSession> session = AircraftSession::open(session_);
  if (!session) return fail(session.error().message);
  for (const std::string& sentence : session->recovered()) note(sentence);
  std::vector<FoundRepaint> repaints;
  for (const Planned* p : group) repaints.push_back(found(*p));
  const ImportReport report = session->import(*opened_[download].download, repaints, command_.on_duplicate);
  std::vector<Finding> findings;
  for (std::size_t k = 0; k < group.size(); ++k) {
    Planned& p = *group[k];
    const InstallReport& r = report.repaints[k];
    if (!r.duplicate_of.empty()) {
      note(where(p) + ": " + r.duplicate_of + " is installed already: " + choice_name(command_.on_duplicate));
    }
    if (r.outcome == InstallOutcome::kSkipped) p.outcome = "skipped";
    if (r.outcome == InstallOutcome::kInstalled) {
      p.outcome = "installed";
      p.folder = r.folder;
      findings.insert(findings.end(), r.texture_findings.begin(), r.texture_findings.end());
      if (!command_.json) out_ << field_text(r.variation) << '\t' << session_.fs.native_path(r.folder) << '\n';
    } else if (r.outcome != InstallOutcome::kSkipped) {
      p.outcome = "failed";
      fail(where(p) + ": " + r.error.message);
    }
  }
  if (!findings.empty()) err_ << for_terminal(installed_findings_text(findings)) << '\n';
}

std::string Importer::json_text() const {
  JsonWriter doc;
  doc.begin_object().key("repaints").begin_array();
  for (const Planned& p : planned_) {
    doc.begin_object().key("archive").string(opened_[p.download].shown).key("texture_folder").string(found(p).folder);
    doc.key("title").string(title(p)).key("aircraft").string(shown_aircraft_folder(session_, p.aircraft));
    doc.key("source").string(found(p).source).key("outcome").string(p.outcome);
    if (!p.folder.empty()) doc.key("folder").string(session_.fs.native_path(p.folder));
    doc.end_object();
  }
  return doc.end_array().end_object().text();
}

}  // namespace

const char* choice_name(DuplicateChoice choice) {
  switch (choice) {
    case DuplicateChoice::kSkip: return "skip";
    case DuplicateChoice::kReplace: return "replace";
    case DuplicateChoice::kCopy: break;
  }
  return "copy";
}

int import_downloads(Session& session, const ImportCommand& command, std::ostream& out, std::ostream& err) {
  return Importer(session, command, out, err).run();
}

}  // namespace pw
