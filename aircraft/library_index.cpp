#include "aircraft/library_index.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "aircraft/cfg_files.h"
#include "aircraft/entry_list.h"
#include "aircraft/entry_search.h"
#include "aircraft/library_cache.h"
#include "base/file_ops.h"
#include "base/text.h"
#include "config/profile.h"

namespace pw {
namespace {

// One spelling per folder: the file system ignores case and takes either
// separator.
std::string folder_key(std::string_view folder) {
  std::string key;
  for (const char c : folder) {
    const char lower = to_lower_byte(c == '/' ? '\\' : c);
    if (lower != '\\' || key.empty() || key.back() != '\\') key += lower;
  }
  if (key.size() > 1 && key.back() == '\\') key.pop_back();
  return key;
}

std::vector<LibraryAircraft> load_cache(FileSystem& fs, const std::string& cache_file) {
  if (cache_file.empty()) return {};
  const Result<std::string> bytes = read_whole_file(fs, cache_file, kMaxLibraryCacheBytes);
  if (!bytes) return {};
  Result<std::vector<LibraryAircraft>> cached = read_library_cache(*bytes);
  return cached ? std::move(*cached) : std::vector<LibraryAircraft>{};
}

// The cache's folder and the one above it, as a first run may find them.
void save_cache(FileSystem& fs, const std::string& cache_file, const std::vector<LibraryAircraft>& aircraft) {
  const std::string folder = parent_path(cache_file);
  if (!fs.is_folder(folder)) {
    if (!fs.is_folder(parent_path(folder))) (void)fs.make_folder(parent_path(folder));
    (void)fs.make_folder(folder);
  }
  (void)replace_file(fs, cache_file, write_library_cache(aircraft));
}

class Indexer {
 public:
  Indexer(FileSystem& fs, std::vector<LibraryAircraft> cached) : fs_(fs), cached_(std::move(cached)) {
    for (std::size_t i = 0; i < cached_.size(); ++i) by_folder_.emplace(folder_key(cached_[i].folder), i);
  }

  void add_place(const std::string& place) {
    const Result<std::vector<DirEntry>> names = fs_.list(place);
    if (!names) return;
    for (const DirEntry& e : *names) {
      if (e.is_folder) add_folder(join_path(place, e.name));
    }
  }

  // True when the cache no longer says what the index holds.
  bool cache_is_stale() const { return read_any_ || reused_ != cached_.size(); }

  Library take() {
    std::sort(library_.aircraft.begin(), library_.aircraft.end(),
              [](const LibraryAircraft& a, const LibraryAircraft& b) { return folder_key(a.folder) < folder_key(b.folder); });
    return std::move(library_);
  }

 private:
  void add_folder(const std::string& folder) {
    const std::string key = folder_key(folder);
    if (!seen_.insert(key).second) return;
    const std::string cfg = aircraft_cfg_path(folder);
    // Stamped before reading: a change while reading makes the next run read again.
    const std::optional<FileStamp> stamp = fs_.stamp(cfg);
    if (!stamp) return;
    const auto hit = by_folder_.find(key);
    if (hit != by_folder_.end() && cached_[hit->second].cfg_stamp == *stamp) {
      ++reused_;
      library_.aircraft.push_back(std::move(cached_[hit->second]));
      library_.aircraft.back().folder = folder;
      return;
    }
    read_any_ = true;
    const Result<std::string> bytes = read_whole_file(fs_, cfg, kMaxAircraftCfgBytes);
    if (!bytes) return library_.problems.push_back(fs_.native_path(cfg) + " cannot be read: " + bytes.error().message);
    LibraryAircraft aircraft{folder, *stamp, {}};
    for (const FltsimEntry& e : read_aircraft_entries(ProfileDocument::parse(*bytes)).entries) {
      aircraft.entries.push_back({e.title, e.texture, search_text(e), e.sim});
    }
    library_.aircraft.push_back(std::move(aircraft));
  }

  FileSystem& fs_;
  std::vector<LibraryAircraft> cached_;
  std::unordered_map<std::string, std::size_t> by_folder_;
  std::unordered_set<std::string> seen_;
  std::size_t reused_ = 0;
  bool read_any_ = false;
  Library library_;
};

}  // namespace

Library index_library(FileSystem& fs, const std::vector<std::string>& places, const std::string& cache_file) {
  Indexer indexer(fs, load_cache(fs, cache_file));
  for (const std::string& place : places) indexer.add_place(place);
  const bool save = !cache_file.empty() && indexer.cache_is_stale();
  Library library = indexer.take();
  if (save) save_cache(fs, cache_file, library.aircraft);
  return library;
}

std::string library_cache_path(const std::string& cache_folder, const std::string& sim_root) {
  const std::uint64_t hash = fnv1a_64(folder_key(sim_root));
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name = "library-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 0xF];
  return join_path(cache_folder, name + ".cache");
}

std::vector<LibraryHit> search_library(const Library& library, std::string_view typed) {
  const EntrySearch search(typed);
  std::vector<LibraryHit> hits;
  for (std::size_t a = 0; a < library.aircraft.size(); ++a) {
    const std::vector<LibraryEntry>& entries = library.aircraft[a].entries;
    for (std::size_t e = 0; e < entries.size(); ++e) {
      if (search.matches(entries[e].search)) hits.push_back({a, e});
    }
  }
  return hits;
}

}  // namespace pw
