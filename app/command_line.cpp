#include "app/command_line.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>

#include "app/aircraft_selection.h"
#include "app/dispatcher.h"
#include "app/file_ops.h"
#include "app/headless_view.h"
#include "app/history_commands.h"
#include "app/operation_log.h"
#include "app/safeguards.h"
#include "aircraft/diagnosis.h"
#include "app/startup.h"
#include "app/text.h"
#include "packages/package_creation.h"
#include "packages/package_format.h"
#include "packages/package_installation.h"
#include "packages/repaint_removal.h"

namespace pw {
namespace {

constexpr const char* kHelp = R"(Usage: paintwell-cli [--sim ROOT] COMMAND ARGUMENTS

Installs, removes and packs aircraft repaints of Flight Simulator X, as the
Paintwell desktop program does. FILE selects the aircraft: a Repaint
Configuration File (.rcf) or a repaint package (.pkg) that carries one.

Commands:
  list FILE
      One line per entry of the aircraft's aircraft.cfg: INDEX, TAB,
      ui_variation, TAB, texture, TAB, title.
  pack FILE INDEX [--preview BMP] [--only NAME]...
      Packs entry INDEX into <aircraft>\Uploads\<variation>_Repaint.pkg from
      all files of its texture folder, or only the NAMEs given (letter case
      ignored), with BMP as the preview picture. Prints the package's path.
  install FILE [--delete] PKG...
      Installs each package into the aircraft; a package made for another
      aircraft is refused. --delete deletes each package file once it is
      installed. Prints one line per installed package: ui_variation, TAB,
      the texture folder created.
  install FILE --on-duplicate copy|skip|replace ...
      What to do with a package whose title is installed already: install
      a copy (the default), skip it, or replace the installed entry and its
      folder. Each duplicate is named on standard error.
  remove FILE INDEX...
      Removes those entries and their texture folders. An entry without a
      texture, or excluded by the configuration file, is refused.
  check FILE [--fix]
      Lists what is wrong with the aircraft's aircraft.cfg and texture
      folders: KIND, TAB, SECTION or FOLDER, TAB, explanation. Exit status 0
      when nothing is. --fix renumbers the [fltsim.N] sections into one
      sequence from 0 (Aircraft.vnb keeps the file as it was) and nothing
      else.
  log FILE
      Prints Paintwell.log, the record of every change made to the aircraft.
  history FILE
      Lists the restore points kept in the aircraft's Paintwell.history,
      newest first: time, TAB, operation, TAB, what it did, TAB, "undone"
      or "-".
  undo FILE
      Takes back the latest operation not undone yet: aircraft.cfg as it
      was, created folders taken out, removed folders put back. Refused,
      changing nothing, when aircraft.cfg was edited since or a folder to
      put back exists. Several undos walk back through the history.
  inspect PKG
      Shows the package's entry fields, preview length and file table.

INDEX is the entry's position as `list` prints it, not its section number.

Options:
  --sim ROOT   the simulator's folder (default: two folders above this
               program's folder); it must hold FSX.EXE.
  --progress   a progress line on standard error while a package is
               made or installed or repaints are removed (on by default
               when standard error is a terminal).
  --help       this text.

Every command but inspect first selects the aircraft as the desktop
program's Select Aircraft button does (Downloads created, Aircraft.001 made
once, package.rcf written beside the program when FILE is a package).
Confirmations are answered yes; messages go to standard error.
Exit status: 0 success, 1 an operation failed or was refused, 2 usage error.
)";

struct Options {
  std::string sim_root;
  std::string command;
  std::vector<std::string> operands;
  std::optional<std::string> preview;
  std::vector<std::string> only;
  bool delete_after = false;
  bool fix = false;
  DuplicateChoice on_duplicate = DuplicateChoice::kCopy;
  bool help = false;
  bool progress = false;
};

// Texts from the core are Windows-1252 with CR line breaks. Other control
// bytes (a hostile package's names may hold escape sequences) never reach
// the terminal: they show as '?'.
std::string for_terminal(const std::string& text) {
  std::string out = replace_all(replace_all(text, "\r\n", "\n"), "\r", "\n");
  for (char& c : out) {
    const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    if (control && c != '\n' && c != '\t') c = '?';
  }
  return cp1252_to_utf8(out);
}

// One TAB-separated field: line breaks and tabs inside it show as '?' too.
std::string field_text(const std::string& text) {
  std::string out = for_terminal(text);
  for (char& c : out) c = c == '\n' || c == '\t' ? '?' : c;
  return out;
}

const char* choice_name(DuplicateChoice choice) {
  switch (choice) {
    case DuplicateChoice::kSkip: return "skip";
    case DuplicateChoice::kReplace: return "replace";
    case DuplicateChoice::kCopy: break;
  }
  return "copy";
}

// One line on standard error, redrawn in place with CR; cleared before
// any other text goes there and when the operation ends.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& err) : err_(err) {}

  void show(const std::string& label, std::int64_t done, std::int64_t total) {
    const std::int64_t percent = total > 0 ? std::clamp<std::int64_t>(done * 100 / total, 0, 100) : 100;
    if (shown_ && percent == percent_ && label == label_) return;  // redraw only on change
    percent_ = percent;
    label_ = label;
    shown_ = true;
    err_ << '\r' << label << ' ' << percent << '%' << std::flush;
  }

  void clear() {
    if (!shown_) return;
    err_ << '\r' << std::string(label_.size() + 5, ' ') << '\r' << std::flush;
    shown_ = false;
  }

 private:
  std::ostream& err_;
  std::string label_;
  std::int64_t percent_ = -1;
  bool shown_ = false;
};

class CliView : public HeadlessView {
 public:
  explicit CliView(std::ostream& err) : progress_line(err), err_(err) {}
  int failures = 0;  // messages that reported a failure or a refusal
  ProgressLine progress_line;

  DuplicateChoice ask_duplicate(const std::string& title) override {
    progress_line.clear();
    err_ << "paintwell-cli: " << for_terminal(title) << " is installed already: " << choice_name(duplicate_choice)
         << "\n";
    return HeadlessView::ask_duplicate(title);
  }

  int ShowMessage(const std::string& text, int style, const std::string&) override {
    if (style == kStyleOkCancel) return kResultOk;  // the command line always goes on
    progress_line.clear();
    err_ << for_terminal(text) << "\n";
    if (style != kStyleInformation) ++failures;
    return kResultOk;
  }

 private:
  std::ostream& err_;
};

class CliButton : public PressedButton {
 public:
  CliButton(std::string form, std::string type) : form_(std::move(form)), type_(std::move(type)) {}
  std::string state() const override { return state_; }
  void set_state(const std::string& state) override { state_ = state; }
  void clear_tracking() override {}
  std::string button_type() const override { return type_; }
  std::string form_name() const override { return form_; }

 private:
  std::string form_, type_, state_ = "enabled";
};

Result<Options> parse_options(const std::vector<std::string>& args) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--progress") {
      o.progress = true;
    } else if (a == "--delete") {
      o.delete_after = true;
    } else if (a == "--fix") {
      o.fix = true;
    } else if (a == "--on-duplicate") {
      const std::string value = has_value ? args[++i] : "";
      if (value != "copy" && value != "skip" && value != "replace") {
        return make_error(ErrorCode::kRefused, "--on-duplicate takes copy, skip or replace");
      }
      o.on_duplicate = value == "skip" ? DuplicateChoice::kSkip
                       : value == "replace" ? DuplicateChoice::kReplace : DuplicateChoice::kCopy;
    } else if (a == "--sim" || a == "--preview" || a == "--only") {
      if (!has_value) return make_error(ErrorCode::kRefused, a + " needs a value");
      const std::string value = utf8_to_cp1252(args[++i]);
      if (a == "--sim") o.sim_root = value;
      if (a == "--preview") o.preview = value;
      if (a == "--only") o.only.push_back(value);
    } else if (a.size() > 1 && a[0] == '-') {
      return make_error(ErrorCode::kRefused, "unknown option " + a);
    } else if (o.command.empty()) {
      o.command = a;
    } else {
      o.operands.push_back(utf8_to_cp1252(a));
    }
  }
  return o;
}

// What is wrong with the command's words; empty when nothing is.
std::string usage_problem(const Options& o) {
  const std::size_t n = o.operands.size();
  if (o.command.empty()) return "no command";
  if (o.command == "list") return n == 1 ? "" : "list takes one FILE";
  if (o.command == "pack") return n == 2 ? "" : "pack takes FILE and one INDEX";
  if (o.command == "install") return n >= 2 ? "" : "install takes FILE and at least one PKG";
  if (o.command == "remove") return n >= 2 ? "" : "remove takes FILE and at least one INDEX";
  if (o.command == "inspect") return n == 1 ? "" : "inspect takes one PKG";
  if (o.command == "check") return n == 1 ? "" : "check takes one FILE";
  if (o.command == "log") return n == 1 ? "" : "log takes one FILE";
  if (o.command == "history") return n == 1 ? "" : "history takes one FILE";
  if (o.command == "undo") return n == 1 ? "" : "undo takes one FILE";
  return "unknown command " + o.command;
}

bool is_absolute(const std::string& path) {
  return (!path.empty() && (path[0] == '/' || path[0] == '\\')) || (path.size() > 1 && path[1] == ':');
}

std::string absolute(const CommandLineEnvironment& env, const std::string& path) {
  return is_absolute(path) ? path : join_path(env.current_directory, path);
}

std::optional<int> parse_index(const std::string& text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

class Session {
 public:
  Session(CommandLineEnvironment& env, const Options& options)
      : env_(env), options_(options), view_(env.err), ctx_(env.fs, view_) {}

  int run() {
    const std::string sim_root = options_.sim_root.empty() ? "" : absolute(env_, options_.sim_root);
    if (!locate_simulator(ctx_, env_.program_folder, sim_root)) return kExitFailed;
    if (!select_aircraft_file(ctx_, absolute(env_, options_.operands[0]))) {
      if (view_.failures == 0) env_.err << "cannot read " << for_terminal(options_.operands[0]) << "\n";
      return kExitFailed;
    }
    if (options_.command == "list") return list();
    if (options_.command == "pack") return pack();
    if (options_.command == "install") return install();
    if (options_.command == "check") return check();
    if (options_.command == "log") return print_log();
    if (options_.command == "history") return history();
    if (options_.command == "undo") return undo();
    return remove();
  }

 private:
  // Runs one long operation, with the progress line when asked for.
  template <class Operation>
  auto with_progress(const std::string& label, Operation&& operation) {
    if (options_.progress) {
      ctx_.progress = [this, label](std::int64_t done, std::int64_t total) {
        view_.progress_line.show(label, done, total);
      };
    }
    auto result = operation();
    ctx_.progress = nullptr;
    view_.progress_line.clear();
    return result;
  }

  int refuse(const std::string& why) {
    env_.err << "paintwell-cli: " << for_terminal(why) << "\n";
    return kExitFailed;
  }

  int list() {
    const auto& entries = ctx_.state.g_AircraftEntries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      env_.out << i << '\t' << field_text(entries[i].ui_variation) << '\t' << field_text(entries[i].texture) << '\t'
               << field_text(entries[i].title) << '\n';
    }
    return kExitOk;
  }

  std::optional<int> entry_index(const std::string& text) {
    const std::optional<int> index = parse_index(text);
    if (!index || *index >= static_cast<int>(ctx_.state.g_AircraftEntries.size())) return std::nullopt;
    return index;
  }

  int pack() {
    const std::optional<int> index = entry_index(options_.operands[1]);
    if (!index) return refuse("there is no entry " + options_.operands[1]);
    ListContent aircraft = view_.list("frm_Package", "lstAircraft");
    aircraft.current = *index;  // this list shows every entry, in order
    view_.set_list("frm_Package", "lstAircraft", aircraft);
    PackageAircraftClicked(ctx_);
    if (!options_.only.empty() && !tick_only_named_files()) return kExitFailed;
    if (options_.preview) {
      ctx_.state.g_PreviewChosen = true;
      ctx_.state.g_PreviewPath = absolute(env_, *options_.preview);
    }
    const std::string name = with_progress("Packing", [&] { return run_package_command(ctx_); });
    if (name.empty()) return refuse("the package could not be created");
    env_.out << env_.fs.native_path(ctx_.state.g_AircraftFolder + "\\Uploads\\" + name) << '\n';
    return kExitOk;
  }

  bool tick_only_named_files() {
    ListContent textures = view_.list("frm_Package", "lstTextures");
    for (ListRow& row : textures.rows) row.checked = false;
    for (const std::string& name : options_.only) {
      bool found = false;
      for (ListRow& row : textures.rows) {
        if (!iequals(row.text, name)) continue;
        row.checked = true;
        found = true;
      }
      if (!found) {
        refuse(name + " is not a file of the entry's texture folder");
        return false;
      }
    }
    view_.set_list("frm_Package", "lstTextures", textures);
    return true;
  }

  int install();

  int check() {
    Result<std::vector<Finding>> findings = diagnose_aircraft(env_.fs, ctx_.state.g_AircraftFolder);
    if (!findings) return refuse(findings.error().message);
    for (const Finding& f : *findings) {
      env_.out << finding_kind_name(f.kind) << '\t' << field_text(f.subject) << '\t' << field_text(f.explanation)
               << '\n';
    }
    if (findings->empty()) return kExitOk;
    if (!options_.fix) return kExitFailed;
    if (!repair_with_log(ctx_)) return kExitFailed;
    Result<std::vector<Finding>> after = diagnose_aircraft(env_.fs, ctx_.state.g_AircraftFolder);
    return after && after->empty() ? kExitOk : kExitFailed;
  }

  int history() {
    Result<std::vector<RestorePoint>> points = list_restore_points(env_.fs, ctx_.state.g_AircraftFolder);
    if (!points) return refuse(points.error().message);
    for (const RestorePoint& point : *points) env_.out << for_terminal(history_line(point)) << '\n';
    return kExitOk;
  }

  int undo() {
    Result<UndoReport> undone = undo_with_log(env_.fs, ctx_.state.g_AircraftFolder);
    if (!undone) return refuse(undone.error().message);
    if (!undone->history_note.empty()) env_.err << "paintwell-cli: " << for_terminal(undone->history_note) << "\n";
    env_.out << "undone\t" << for_terminal(history_line(undone->point)) << '\n';
    return kExitOk;
  }

  int print_log() {
    const std::string path = operation_log_path(ctx_.state.g_AircraftFolder);
    if (!env_.fs.exists(path)) return kExitOk;
    Result<std::string> log = read_whole_file(env_.fs, path, std::int64_t{64} << 20);
    if (!log) return refuse(log.error().message);
    env_.out << for_terminal(*log);
    return kExitOk;
  }

  int remove() {
    const ListContent removable = view_.list("frm_Remove", "lstAircraft");
    std::vector<int> rows;
    for (std::size_t i = 1; i < options_.operands.size(); ++i) {
      const std::string& text = options_.operands[i];
      const std::optional<int> index = entry_index(text);
      if (!index) return refuse("there is no entry " + text);
      int row = -1;
      for (std::size_t r = 0; r < removable.rows.size(); ++r) {
        if (removable.rows[r].item_data == *index) row = static_cast<int>(r);
      }
      if (row < 0) return refuse("entry " + text + " has no texture folder or is excluded from removal");
      rows.push_back(row);
    }
    view_.tick("frm_Remove.lstAircraft", rows);
    CliButton button("frm_Remove", "remove");
    with_progress("Removing", [&] {
      run_remove_command(ctx_, button);
      return 0;
    });
    return button.error_reported ? kExitFailed : kExitOk;
  }

  CommandLineEnvironment& env_;
  const Options& options_;
  CliView view_;
  AppContext ctx_;
};

// Each package is checked as a browsed one is; those that fit are listed and
// installed by the install command, as if ticked on the install screen.
int Session::install() {
  SharedState& s = ctx_.state;
  s.g_PackageEntries.clear();
  s.g_PackagePaths.clear();
  bool refused = false;
  for (std::size_t i = 1; i < options_.operands.size(); ++i) {
    const std::string path = absolute(env_, options_.operands[i]);
    Result<bool> fits = package_fits_aircraft(ctx_, path);
    Result<std::unique_ptr<InputFile>> file = fits ? env_.fs.open_read(path) : fits.error();
    Result<FltsimEntry> entry = file ? read_package_entry(**file) : file.error();
    if (!entry) {
      refused = true;
      refuse(package_error_text(path) + "\r" + entry.error().message);
      continue;
    }
    if (!*fits) {
      refused = true;
      view_.ShowMessage(kFolderMismatchMessage, kStyleOkOnly, kAppTitle);
      continue;
    }
    s.g_PackageEntries.push_back(std::move(*entry));
    s.g_PackagePaths.push_back(path);
  }
  s.g_PackageLast = static_cast<std::int16_t>(s.g_PackagePaths.size()) - 1;
  if (s.g_PackagePaths.empty()) return kExitFailed;
  FillPackageList(ctx_, false);
  std::vector<int> all(s.g_PackagePaths.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  view_.tick("frm_Install.lstPackages", all);
  view_.check_boxes["frm_Install.chkDelete"] = options_.delete_after;
  view_.duplicate_choice = options_.on_duplicate;
  CliButton button("frm_Install", "install");
  const std::vector<PackageResult> results =
      with_progress("Installing", [&] { return run_install_command(ctx_, button); });
  bool all_done = results.size() == all.size();
  for (const PackageResult& result : results) {
    const InstallReport& report = result.report;
    if (result.skipped) continue;
    if (report.outcome != InstallOutcome::kInstalled) {
      all_done = false;
      env_.err << "paintwell-cli: " << for_terminal(report.error.message) << "\n";
      continue;
    }
    env_.out << field_text(report.variation) << '\t' << env_.fs.native_path(report.folder) << '\n';
  }
  return all_done && !refused ? kExitOk : kExitFailed;
}

int inspect(CommandLineEnvironment& env, const std::string& path) {
  Result<std::unique_ptr<InputFile>> file = env.fs.open_read(path);
  if (!file) return env.err << "paintwell-cli: " << file.error().message << "\n", kExitFailed;
  Result<FltsimEntry> entry = read_package_entry(**file);
  Result<std::optional<std::string>> preview = entry ? read_package_preview(**file) : entry.error();
  Result<PackageLayout> layout = preview ? read_package_layout(**file) : preview.error();
  if (!layout) return env.err << "paintwell-cli: " << layout.error().message << "\n", kExitFailed;
  for (std::size_t f = 0; f < kFltsimKeyCount; ++f) {
    const FltsimField& field = fltsim_fields()[f];
    env.out << field.key << '=' << field_text((*entry).*field.member) << '\n';
  }
  const std::string& rcf = entry->rcf_text;
  env.out << "rcf_text:\n" << for_terminal(rcf.substr(0, rcf.find('\0'))) << '\n';
  env.out << "preview: " << (layout->has_preview ? std::to_string(layout->preview_size) + " bytes" : "none") << '\n';
  env.out << "files: " << layout->files.size() << '\n';
  for (const PackageFile& f : layout->files) env.out << f.size << '\t' << field_text(f.name) << '\n';
  return kExitOk;
}

}  // namespace

int run_command_line(const std::vector<std::string>& args, CommandLineEnvironment& env) {
  Result<Options> options = parse_options(args);
  if (!options) {
    env.err << "paintwell-cli: " << options.error().message << " (see --help)\n";
    return kExitUsage;
  }
  if (options->help) {
    env.out << kHelp;
    return kExitOk;
  }
  const std::string& command = options->command;
  const std::string problem = usage_problem(*options);
  if (!problem.empty()) {
    env.err << "paintwell-cli: " << problem << " (see --help)\n";
    return kExitUsage;
  }
  if (command == "inspect") return inspect(env, absolute(env, options->operands[0]));
  return Session(env, *options).run();
}

}  // namespace pw
