#include "app/cli/library_cli.h"

#include <ostream>

#include "aircraft/cfg_files.h"
#include "aircraft/diagnosis.h"
#include "aircraft/library_index.h"
#include "app/cli/command_line.h"
#include "app/cli/json_output.h"
#include "app/cli/terminal.h"
#include "base/json_writer.h"

namespace pw {
namespace {

std::string shown_folder(Session& session, const LibraryAircraft& aircraft) {
  return shown_aircraft_folder(session, aircraft.folder);
}

void print_aircraft(Session& session, const Library& library, bool json, std::ostream& out) {
  JsonWriter doc;
  doc.begin_object().key("aircraft").begin_array();
  for (const LibraryAircraft& a : library.aircraft) {
    const std::string folder = shown_folder(session, a);
    const auto count = static_cast<std::int64_t>(a.entries.size());
    if (!json) out << field_text(folder) << '\t' << count << '\t' << field_text(a.first_title()) << '\n';
    doc.begin_object().key("folder").string(folder).key("entries").number(count).key("title").string(a.first_title()).end_object();
  }
  if (json) out << doc.end_array().end_object().text();
}

void print_hits(Session& session, const Library& library, const std::string& search, bool json, std::ostream& out) {
  JsonWriter doc;
  doc.begin_object().key("entries").begin_array();
  for (const LibraryHit& hit : search_library(library, search)) {
    const LibraryAircraft& a = library.aircraft[hit.aircraft];
    const std::string folder = shown_folder(session, a);
    const std::string& title = a.entries[hit.entry].title;
    if (!json) out << field_text(folder) << '\t' << hit.entry << '\t' << field_text(title) << '\n';
    doc.begin_object().key("folder").string(folder).key("index").number(static_cast<std::int64_t>(hit.entry));
    doc.key("title").string(title).end_object();
  }
  if (json) out << doc.end_array().end_object().text();
}

}  // namespace

Library read_library(Session& session, const std::string& cache_folder, std::ostream& err) {
  const SharedState& s = session.state;
  const std::string cache = cache_folder.empty() ? "" : library_cache_path(cache_folder, s.g_SimRoot);
  Library library = index_library(session.fs, s.aircraft_places.folders, cache);
  for (const std::string& problem : s.aircraft_places.problems) err << "paintwell-cli: " << for_terminal(problem) << '\n';
  for (const std::string& problem : library.problems) err << "paintwell-cli: " << for_terminal(problem) << '\n';
  return library;
}

std::string shown_aircraft_folder(Session& session, const std::string& folder) {
  const std::string value = folder_value_for(session.state.g_SimRoot, folder);
  return value == folder ? session.fs.native_path(value) : value;
}

std::optional<std::string> library_usage_problem(const std::string& command, std::size_t operands, bool all, bool fix) {
  if (all && command != "check") return "--all goes with check";
  if (command == "aircraft") return operands == 0 ? "" : "aircraft takes nothing";
  if (!all) return std::nullopt;
  if (fix) return "--fix is refused with --all: repair one aircraft at a time";
  return operands == 0 ? "" : "check --all takes no FILE";
}

int list_library(Session& session, const LibraryCommand& command, std::ostream& out, std::ostream& err) {
  const Library library = read_library(session, command.cache_folder, err);
  if (command.search.empty()) {
    print_aircraft(session, library, command.json, out);
  } else {
    print_hits(session, library, command.search, command.json, out);
  }
  return kExitOk;
}

int check_library(Session& session, const LibraryCommand& command, std::ostream& out, std::ostream& err) {
  const Library library = read_library(session, command.cache_folder, err);
  bool clean = true;
  JsonWriter doc;
  doc.begin_object().key("aircraft").begin_array();
  for (const LibraryAircraft& a : library.aircraft) {
    const std::string folder = shown_folder(session, a);
    const Result<std::vector<Finding>> findings = diagnose_aircraft(session.fs, a.folder);
    if (!findings) {
      err << "paintwell-cli: " << for_terminal(folder) << ": " << for_terminal(findings.error().message) << '\n';
      clean = false;
      continue;
    }
    clean = clean && findings->empty();
    doc.begin_object().key("folder").string(folder);
    write_findings(doc, *findings);
    doc.end_object();
    for (const Finding& f : *findings) {
      if (!command.json) out << field_text(folder) << '\t' << finding_line(f);
    }
  }
  if (command.json) out << doc.end_array().end_object().text();
  return clean ? kExitOk : kExitFailed;
}

}  // namespace pw
