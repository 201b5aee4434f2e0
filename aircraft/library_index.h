// The library: every aircraft folder of the simulator and every entry of
// each, for finding a repaint across hundreds of aircraft. Kept in a cache
// file outside the simulator, so that an unchanged simulator is indexed
// again from the stamps of its aircraft.cfg files alone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform/file_system.h"

namespace pw {

struct LibraryEntry {
  std::string title;
  std::string texture;
  std::string search;  // search_text() of the entry
  std::string sim;     // matched against a download's sim= when choosing its aircraft
};

struct LibraryAircraft {
  std::string folder;  // full path
  FileStamp cfg_stamp;  // of the aircraft.cfg the entries were read from
  std::vector<LibraryEntry> entries;  // in the order `list` numbers them

  // The title of the first entry; empty when there is none.
  std::string first_title() const { return entries.empty() ? std::string() : entries.front().title; }
};

struct Library {
  std::vector<LibraryAircraft> aircraft;  // by folder, case ignored
  std::vector<std::string> problems;      // aircraft.cfg files that could not be read, one line each
};

// Indexes every folder directly inside each of `places` that holds an
// aircraft.cfg, each folder once. Entries are taken from `cache_file` where
// the folder's aircraft.cfg has the stamp the cache holds for it, and read
// from the file otherwise. A cache that is missing, damaged, cut short or
// written by another version is ignored; the cache is replaced when anything
// changed and left alone when that fails (the index is complete without
// it); an empty `cache_file` means no cache. Only the cache is written.
Library index_library(FileSystem& fs, const std::vector<std::string>& places, const std::string& cache_file);

// The cache file of the simulator at `sim_root` in `cache_folder`: one per
// root, named after it.
std::string library_cache_path(const std::string& cache_folder, const std::string& sim_root);

struct LibraryHit {
  std::size_t aircraft;  // index in Library::aircraft
  std::size_t entry;     // index in its entries
};

// Every entry `typed` finds (see EntrySearch), aircraft by aircraft.
std::vector<LibraryHit> search_library(const Library& library, std::string_view typed);

}  // namespace pw
