// paintwell-cli's commands over the whole simulator: `aircraft` lists the
// library, `check --all` checks every aircraft in it.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>

#include "aircraft/library_index.h"
#include "app/session.h"

namespace pw {

struct LibraryCommand {
  std::string cache_folder;  // where the library's cache is kept; empty: none
  std::string search;
  bool json = false;
};

// The library of the located simulator; the places and aircraft.cfg files
// that stand in its way are named on `err`.
Library read_library(Session& session, const std::string& cache_folder, std::ostream& err);

// An aircraft folder as the library's listings show it: relative to the
// root with '\' when inside it, else the native path.
std::string shown_aircraft_folder(Session& session, const std::string& folder);

// What is wrong with the words of `aircraft` or `check --all` (empty when
// nothing is), given the count of operands; nullopt for any other command.
std::optional<std::string> library_usage_problem(const std::string& command, std::size_t operands, bool all, bool fix);

// Every aircraft folder (FOLDER, TAB, entries, TAB, first title) or, with a
// search, every matching entry (FOLDER, TAB, INDEX, TAB, title); FOLDER
// relative to the root with '\' when inside it. Places that do not exist and
// unreadable aircraft.cfg files are named on `err`; they stop nothing.
// Returns the exit status.
int list_library(Session& session, const LibraryCommand& command, std::ostream& out, std::ostream& err);

// check of every aircraft of the library: each finding as FOLDER, TAB, then
// the line check prints. Exit status 0 when nothing was found.
int check_library(Session& session, const LibraryCommand& command, std::ostream& out, std::ostream& err);

}  // namespace pw
