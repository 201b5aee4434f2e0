#include "app/cli/command_line.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <ostream>

#include "aircraft/diagnosis.h"
#include "aircraft/entry_search.h"
#include "app/aircraft_selection.h"
#include "app/aircraft_session.h"
#include "app/cli/terminal.h"
#include "app/command_texts.h"
#include "app/commands.h"
#include "app/cli/help_text.h"
#include "app/cli/history_cli.h"
#include "app/cli/import_cli.h"
#include "app/cli/inspect_cli.h"
#include "app/cli/json_output.h"
#include "app/history_commands.h"
#include "app/cli/library_cli.h"
#include "app/safeguards.h"
#include "app/startup.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "packages/file_helpers.h"
#include "packages/package_creation.h"
#include "packages/package_format.h"
#include "packages/package_installation.h"
#include "packages/repaint_removal.h"

namespace pw {
namespace {

struct Options {
  std::string sim_root;
  std::vector<std::string> addons_configs;
  std::vector<std::string> sim_configs;
  std::string command;
  std::vector<std::string> operands;
  std::optional<std::string> preview;
  std::string search;
  std::vector<std::string> only;
  bool delete_after = false;
  bool fix = false;
  bool strict = false;
  DuplicateChoice on_duplicate = DuplicateChoice::kCopy;
  bool help = false;
  bool progress = false;
  bool json = false;
  bool all = false;
  std::optional<std::string> aircraft;
  std::optional<std::string> to_pkg;
  bool dry_run = false;
  bool make_entry = false;
};

void print_finding(std::ostream& out, const Finding& f) { out << finding_line(f); }


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
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--all") {
      o.all = true;
    } else if (a == "--dry-run") {
      o.dry_run = true;
    } else if (a == "--make-entry") {
      o.make_entry = true;
    } else if (a == "--fix") {
      o.fix = true;
    } else if (a == "--strict") {
      o.strict = true;
    } else if (a == "--on-duplicate") {
      const std::string value = has_value ? args[++i] : "";
      if (value != "copy" && value != "skip" && value != "replace") {
        return make_error(ErrorCode::kRefused, "--on-duplicate takes copy, skip or replace");
      }
      o.on_duplicate = value == "skip" ? DuplicateChoice::kSkip
                       : value == "replace" ? DuplicateChoice::kReplace : DuplicateChoice::kCopy;
    } else if (a == "--sim" || a == "--addons-config" || a == "--sim-config" || a == "--preview" ||
               a == "--only" || a == "--search" || a == "--aircraft" || a == "--to-pkg") {
      if (!has_value) return make_error(ErrorCode::kRefused, a + " needs a value");
      const std::string value = utf8_to_cp1252(args[++i]);
      if (a == "--sim") o.sim_root = value;
      if (a == "--addons-config") o.addons_configs.push_back(value);
      if (a == "--sim-config") o.sim_configs.push_back(value);
      if (a == "--search") o.search = value;
      if (a == "--preview") o.preview = value;
      if (a == "--only") o.only.push_back(value);
      if (a == "--aircraft") o.aircraft = value;
      if (a == "--to-pkg") o.to_pkg = value;
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
  if (n > kMaxOperands) return "more than " + std::to_string(kMaxOperands) + " operands";
  if (const auto library = library_usage_problem(o.command, n, o.all, o.fix)) return *library;
  const bool json_form = o.command == "list" || o.command == "aircraft" || o.command == "inspect" ||
                         o.command == "check" || o.command == "history" || o.command == "import";
  if (o.json && !json_form) return "--json goes with list, aircraft, inspect, check, history or import";
  const bool import_options = o.aircraft || o.to_pkg || o.dry_run || o.make_entry;
  if (o.command == "import") return n >= 1 ? "" : "import takes at least one ARCHIVE or FOLDER";
  if (import_options) return "--aircraft, --to-pkg, --dry-run and --make-entry go with import";
  if (o.command == "list") return n == 1 ? "" : "list takes one FILE";
  if (o.command == "pack") return n == 2 ? "" : "pack takes FILE and one INDEX";
  if (o.command == "install") return n >= 2 ? "" : "install takes FILE and at least one PKG";
  if (o.command == "remove") return n >= 2 ? "" : "remove takes FILE and at least one INDEX";
  if (o.command == "inspect") return n == 1 ? "" : "inspect takes one PKG";
  if (o.command == "check") return n == 1 ? "" : "check takes one FILE";
  if (o.command == "log") return n == 1 ? "" : "log takes one FILE";
  if (o.command == "where") return n == 0 ? "" : "where takes nothing";
  if (o.command == "history") return n == 1 ? "" : "history takes one FILE";
  if (o.command == "undo") return n == 1 ? "" : "undo takes one FILE";
  return "unknown command " + o.command;
}

std::string absolute(const CommandLineEnvironment& env, const std::string& path) {
  return absolute_path(env.current_directory, path);
}

std::optional<int> parse_index(const std::string& text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

// One command on the selected aircraft. Messages and refusals go to
// standard error, results to standard output.
class Run {
 public:
  Run(CommandLineEnvironment& env, const Options& options)
      : env_(env), options_(options), progress_line_(env.err), session_(env.fs) {}

  int run() {
    const std::string sim_root = options_.sim_root.empty() ? "" : absolute(env_, options_.sim_root);
    SimulatorSources given;
    for (const std::string& file : options_.addons_configs) given.addons.config_files.push_back(absolute(env_, file));
    for (const std::string& file : options_.sim_configs) given.sim_configs.push_back(absolute(env_, file));
    if (!locate_simulator(session_, env_.program_folder, sim_root, given)) {
      return refuse(kFsxMissingMessage), kExitUnreadable;
    }
    for (const std::string& refusal : state().addon_refusals) refuse("add-on declaration refused: " + refusal);
    if (options_.command == "where") return where();
    const LibraryCommand library{env_.cache_folder, options_.search, options_.json};
    if (options_.command == "aircraft") return list_library(session_, library, env_.out, env_.err);
    if (options_.command == "check" && options_.all) return check_library(session_, library, env_.out, env_.err);
    if (options_.command == "import") return import();
    const Result<SelectedAircraft> selected = select_aircraft_file(session_, absolute(env_, options_.operands[0]));
    if (!selected) return say(selected.error().message), exit_status_of_read(selected.error());
    for (const DamagedPackage& damaged : session_.state.damaged_packages) {
      refuse(env_.fs.native_path(damaged.path) + " cannot be installed: " + damaged.reason);
    }
    if (!took_back_interrupted()) return kExitFailed;
    if (options_.command == "list") return list();
    if (options_.command == "pack") return pack();
    if (options_.command == "install") return install();
    if (options_.command == "check") return check();
    if (options_.command == "log") return print_read(log_listing(env_.fs, state().g_AircraftFolder));
    if (options_.command == "history") {
      return print_read(history_listing(env_.fs, state().g_AircraftFolder, options_.json));
    }
    if (options_.command == "undo") return undo();
    return remove();
  }

 private:
  // Runs one long operation, with the progress line when asked for.
  template <class Operation>
  auto with_progress(const std::string& label, Operation&& operation) {
    if (options_.progress) {
      session_.progress = [this, label](std::int64_t done, std::int64_t total) {
        progress_line_.show(label, done, total);
      };
    }
    auto result = operation();
    session_.progress = nullptr;
    progress_line_.clear();
    return result;
  }

  // A message of the desktop program, as its own lines.
  void say(const std::string& text) {
    progress_line_.clear();
    env_.err << for_terminal(text) << "\n";
  }

  int refuse(const std::string& why) {
    progress_line_.clear();
    env_.err << "paintwell-cli: " << for_terminal(why) << "\n";
    return kExitFailed;
  }

  const SharedState& state() const { return session_.state; }

  // A command that changes the aircraft first takes back what a crash
  // interrupted and says so; a reading one only says it. False when that
  // cannot be done, which refuses the command.
  bool took_back_interrupted() {
    const std::string& c = options_.command;
    if (c == "list" || c == "log" || c == "history" || (c == "check" && !options_.fix)) {
      if (const std::string note = interrupted_note(env_.fs, state().g_AircraftFolder); !note.empty()) refuse(note);
      return true;
    }
    Result<AircraftSession> aircraft = open_session();
    if (!aircraft) return refuse(aircraft.error().message), false;
    for (const std::string& sentence : aircraft->recovered()) refuse(sentence);
    return true;
  }

  int where() {
    env_.out << "root: " << for_terminal(env_.fs.native_path(state().g_SimRoot)) << '\n'
             << "simulator: " << for_terminal(state().simulator_name) << '\n'
             << "program: " << for_terminal(env_.fs.native_path(state().program_folder)) << '\n';
    return kExitOk;
  }

  int list() {
    const auto& entries = state().g_AircraftEntries;
    const EntrySearch search(options_.search);
    std::vector<std::size_t> listed;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (search.matches(entries[i])) listed.push_back(i);
    }
    if (options_.json) return env_.out << list_json(state(), listed), kExitOk;
    for (const std::size_t i : listed) {
      env_.out << i << '\t' << field_text(entries[i].ui_variation) << '\t' << field_text(entries[i].texture) << '\t'
               << field_text(entries[i].title) << '\n';
    }
    return kExitOk;
  }

  std::optional<int> entry_index(const std::string& text) {
    const std::optional<int> index = parse_index(text);
    if (!index || *index >= static_cast<int>(state().g_AircraftEntries.size())) return std::nullopt;
    return index;
  }

  int pack() {
    Result<AircraftSession> aircraft = open_session();
    if (!aircraft) return refuse(aircraft.error().message);
    const std::optional<int> index = entry_index(options_.operands[1]);
    if (!index) return refuse("there is no entry " + options_.operands[1]);
    std::vector<std::string> files;
    const std::vector<std::string> names = texture_file_names(
        env_.fs, state().g_AircraftFolder, state().g_AircraftEntries[static_cast<std::size_t>(*index)]);
    for (const std::string& name : names) {
      const bool asked = options_.only.empty() || std::any_of(options_.only.begin(), options_.only.end(),
                                                              [&](const std::string& o) { return iequals(o, name); });
      if (asked) files.push_back(name);
    }
    for (const std::string& name : options_.only) {
      if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return iequals(n, name); })) {
        return refuse(name + " is not a file of the entry's texture folder");
      }
    }
    std::optional<std::string> preview;
    if (options_.preview) preview = absolute(env_, *options_.preview);
    if (!texture_check_passed(*index)) return refuse("the texture check found problems: nothing was packed");
    const EntryIdentity entry = identity_of(state(), static_cast<std::size_t>(*index));
    const Result<std::string> name =
        with_progress("Packing", [&] { return aircraft->pack(entry, files, preview); });
    if (!name) return refuse("the package could not be created: " + name.error().message);
    say(package_created_text(*name, env_.fs.native_path(state().g_AircraftFolder)));
    env_.out << env_.fs.native_path(state().g_AircraftFolder + "\\Uploads\\" + *name) << '\n';
    return kExitOk;
  }

  // Prints what the texture check finds in the folder to pack; false when
  // that must stop the pack.
  bool texture_check_passed(int index) {
    const std::vector<Finding> findings = packed_folder_findings(session_, index);
    for (const Finding& f : findings) print_finding(env_.err, f);
    return findings.empty() || !options_.strict;
  }

  // The packages named on the command line that fit the aircraft; says
  // why each other one is left out, and then clears `all_listed`.
  std::vector<std::string> operand_packages(bool& all_listed);
  int install();

  int check() {
    Result<std::vector<Finding>> findings = diagnose_aircraft(env_.fs, state().g_AircraftFolder);
    if (!findings) return refuse("could not check: " + findings.error().message), kExitUnreadable;
    if (options_.json) {
      env_.out << findings_json(*findings);
    } else {
      for (const Finding& f : *findings) print_finding(env_.out, f);
    }
    if (findings->empty()) return kExitOk;
    if (!options_.fix) return kExitFailed;
    Result<AircraftSession> aircraft = open_session();
    if (!aircraft) return refuse(aircraft.error().message);
    if (Result<void> repaired = aircraft->repair(); !repaired) return refuse(repaired.error().message);
    Result<std::vector<Finding>> after = diagnose_aircraft(env_.fs, state().g_AircraftFolder);
    return after && after->empty() ? kExitOk : kExitFailed;
  }

  // Standard output on success, the reason on standard error otherwise.
  int print(const Result<std::string>& text) {
    if (!text) return refuse(text.error().message);
    env_.out << *text;
    return kExitOk;
  }

  // print, for a listing whose failure is one of reading.
  int print_read(const Result<std::string>& text) {
    if (!text) return refuse(text.error().message), exit_status_of_read(text.error());
    return print(text);
  }

  int remove();

  int import() {
    ImportCommand command;
    for (std::size_t i = 0; i < options_.operands.size(); ++i) {
      command.downloads.push_back(absolute(env_, options_.operands[i]));
      command.shown.push_back(options_.operands[i]);
    }
    if (options_.aircraft) command.aircraft = absolute(env_, *options_.aircraft);
    if (options_.to_pkg) command.to_pkg = absolute(env_, *options_.to_pkg);
    command.dry_run = options_.dry_run;
    command.make_entry = options_.make_entry;
    command.json = options_.json;
    command.on_duplicate = options_.on_duplicate;
    command.cache_folder = env_.cache_folder;
    return with_progress("Installing", [&] { return import_downloads(session_, command, env_.out, env_.err); });
  }

  int undo() {
    Result<AircraftSession> aircraft = open_session();
    if (!aircraft) return refuse(aircraft.error().message);
    return print(undo_listing(env_.fs, *aircraft, env_.err));
  }

  // The lock of the aircraft for one write command, and the entries read
  // afresh under it.
  Result<AircraftSession> open_session() { return AircraftSession::open(session_); }

  CommandLineEnvironment& env_;
  const Options& options_;
  ProgressLine progress_line_;
  Session session_;
};

// The indices are read against the entries as they are under the lock,
// so they cannot have gone stale.
int Run::remove() {
  Result<AircraftSession> aircraft = open_session();
  if (!aircraft) return refuse(aircraft.error().message);
  std::vector<EntryIdentity> entries;
  for (std::size_t i = 1; i < options_.operands.size(); ++i) {
    const std::optional<int> index = entry_index(options_.operands[i]);
    if (!index) return refuse("there is no entry " + options_.operands[i]);
    entries.push_back(identity_of(state(), static_cast<std::size_t>(*index)));
  }
  const RemovalReport removal = with_progress("Removing", [&] { return aircraft->remove(entries); });
  switch (removal.outcome) {
    case RemovalOutcome::kDone:
      return say(removal_success_text()), kExitOk;
    case RemovalOutcome::kCfgNotWritten:
      return say(with_reason(removal_cfg_error_text(), removal.error)), kExitFailed;
    case RemovalOutcome::kFailed:
      break;
  }
  if (removal.error.code == ErrorCode::kRefused) return refuse(removal.error.message);
  return say(with_reason(removal_error_text(), removal.error)), kExitFailed;
}

// Each package is checked as a browsed one is; those that fit are
// installed in the order given.
std::vector<std::string> Run::operand_packages(bool& all_listed) {
  const SharedState& s = session_.state;
  std::vector<std::string> paths;
  for (std::size_t i = 1; i < options_.operands.size(); ++i) {
    const std::string path = absolute(env_, options_.operands[i]);
    Result<bool> fits = package_fits_aircraft(env_.fs, s.g_SimRoot, s.addon_folders, s.g_AircraftFolder, path);
    Result<PackageHead> head = fits ? read_head_of(env_.fs, path) : fits.error();
    all_listed = all_listed && head && *fits;
    if (!head) {
      say(with_reason(package_error_text(env_.fs.native_path(path)), head.error()));
    } else if (!*fits) {
      say(folder_mismatch_text(session_, path));
    } else {
      paths.push_back(path);
    }
  }
  return paths;
}

int Run::install() {
  bool all_done = true;
  const std::vector<std::string> paths = operand_packages(all_done);
  if (paths.empty()) return kExitFailed;
  Result<AircraftSession> aircraft = open_session();
  if (!aircraft) return refuse(aircraft.error().message);
  const InstallOptions options{options_.delete_after, options_.on_duplicate};
  std::vector<Finding> findings;  // of every folder installed, told with the outcome
  int installed = 0;
  std::vector<std::string> skipped;
  for (const std::string& path : paths) {
    const InstallReport report = with_progress("Installing", [&] { return aircraft->install(path, options); });
    if (!report.duplicate_of.empty()) {
      refuse(report.duplicate_of + " is installed already: " + choice_name(options.on_duplicate));
    }
    if (!report.package_not_deleted.empty()) refuse("could not delete the package " + env_.fs.native_path(report.package_not_deleted));
    if (report.outcome == InstallOutcome::kSkipped) skipped.push_back(report.duplicate_of);
    if (report.outcome == InstallOutcome::kInstalled) {
      ++installed;
      env_.out << field_text(report.variation) << '\t' << env_.fs.native_path(report.folder) << '\n';
      findings.insert(findings.end(), report.texture_findings.begin(), report.texture_findings.end());
    } else if (report.outcome != InstallOutcome::kSkipped) {
      all_done = false;
      const bool cfg = report.outcome == InstallOutcome::kCfgNotWritten;
      const std::string shown = env_.fs.native_path(path);
      say(with_reason(cfg ? package_cfg_error_text(shown) : package_error_text(shown), report.error));
    }
  }
  if (all_done) say(install_outcome_text(installed, skipped));
  if (!findings.empty()) say(installed_findings_text(findings));
  return all_done ? kExitOk : kExitFailed;
}

}  // namespace

int exit_status_of_read(const Error& error) {
  switch (error.code) {
    case ErrorCode::kNotFound:
    case ErrorCode::kAccessDenied:
    case ErrorCode::kIo:
      return kExitUnreadable;
    default:
      return kExitFailed;
  }
}

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
  if (command == "inspect") {
    return inspect_package(env.fs, absolute(env, options->operands[0]), options->json, env.out, env.err);
  }
  return Run(env, *options).run();
}

}  // namespace pw
