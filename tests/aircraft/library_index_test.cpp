#include "aircraft/library_index.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "aircraft/library_cache.h"
#include "base/text.h"
#include "support/faulty_file_system.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

// Counts the aircraft.cfg files opened: those the cache did not spare.
class CountingFileSystem : public test::FaultyFileSystem {
 public:
  CountingFileSystem() : FaultyFileSystem(native_file_system()) {}
  Result<std::unique_ptr<InputFile>> open_read(const std::string& path) override {
    cfg_reads += ends_with_ci(path, "aircraft.cfg");
    return FaultyFileSystem::open_read(path);
  }
  int cfg_reads = 0;
};

std::string cfg(const std::string& first, int count) {
  std::string text = "[General]\r\n";
  for (int i = 0; i < count; ++i) {
    text += "[fltsim." + std::to_string(i) + "]\r\ntitle=" + first + (i ? " " + std::to_string(i) : "") + "\r\ntexture=T" +
            std::to_string(i) + "\r\nsim=" + first + "\r\n";
  }
  return text;
}

// What the index holds, in one line per aircraft.
std::string summary(const Library& library, const test::TempDir& dir) {
  std::string out;
  for (const LibraryAircraft& a : library.aircraft) {
    out += a.folder.substr(dir.path().size()) + " " + std::to_string(a.entries.size()) + " " + a.first_title() +
           (a.entries.empty() ? "" : " sim=" + a.entries.back().sim) + "\n";
  }
  return out;
}

struct Fixture {
  test::TempDir dir;
  std::vector<std::string> places{dir.path() + "\\sim\\Airplanes", dir.path() + "\\addon", dir.path() + "\\sim\\Airplanes"};
  std::string cache = dir.path() + "\\cache\\paintwell\\library.cache";
  CountingFileSystem fs;

  Fixture() {
    dir.write("sim/Airplanes/B737/aircraft.cfg", cfg("Boeing", 3));
    dir.write("sim/Airplanes/A320/Aircraft.cfg", cfg("Airbus", 2));
    dir.write("sim/Airplanes/Not an aircraft/texture/x.bmp", "x");
    dir.write("addon/Float/aircraft.cfg", cfg("Float", 1));
  }
  Library index() {
    fs.cfg_reads = 0;
    return index_library(fs, places, cache);
  }
};

TEST(LibraryIndex, FindsEachAircraftOnceAndWritesOnlyItsCache) {
  Fixture f;
  const auto tree = [&] {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(f.dir.native(""))) files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
  };
  const std::vector<std::string> before = tree();
  const Library library = f.index();
  EXPECT_EQ("\\addon\\Float 1 Float sim=Float\n\\sim\\Airplanes\\A320 2 Airbus sim=Airbus\n"
            "\\sim\\Airplanes\\B737 3 Boeing sim=Boeing\n", summary(library, f.dir));
  EXPECT_EQ(3, f.fs.cfg_reads);
  std::vector<std::string> after = tree();
  std::erase_if(after, [&](const std::string& p) { return p.starts_with(f.dir.native("cache").string()); });
  EXPECT_EQ(before, after);
}

// Whatever happened between two runs, the second gives what a run without
// the cache gives, reading only the aircraft.cfg files it must; and the
// cache it leaves spares every read of a third run.
TEST(LibraryIndex, CacheFollowsEveryChangeAndSurvivesDamage) {
  const auto rewrite_cache = [](Fixture& f, const std::function<std::string(std::string)>& change) {
    const std::string bytes = f.dir.read("cache/paintwell/library.cache");
    f.dir.write("cache/paintwell/library.cache", change(bytes));
  };
  const struct { const char* name; std::function<void(Fixture&)> change; int cfg_reads; } cases[] = {
      {"nothing", [](Fixture&) {}, 0},
      {"an entry added", [](Fixture& f) { f.dir.write("sim/Airplanes/B737/aircraft.cfg", cfg("Boeing", 4)); }, 1},
      {"same size, other title", [](Fixture& f) { f.dir.write("addon/Float/aircraft.cfg", cfg("Fleat", 1)); }, 1},
      {"aircraft added", [](Fixture& f) { f.dir.write("sim/Airplanes/Not an aircraft/aircraft.cfg", cfg("New", 1)); }, 1},
      {"aircraft removed", [](Fixture& f) { std::filesystem::remove(f.dir.native("sim/Airplanes/A320/Aircraft.cfg")); }, 0},
      {"cache byte changed", [&](Fixture& f) { rewrite_cache(f, [](std::string b) { return b.replace(b.size() / 2, 1, "~"); }); }, 3},
      {"cache emptied", [&](Fixture& f) { rewrite_cache(f, [](std::string) { return ""; }); }, 3},
      {"cache made a folder", [](Fixture& f) {
         std::filesystem::remove(f.dir.native("cache/paintwell/library.cache"));
         f.dir.write("cache/paintwell/library.cache/x", "");
       }, 3},
      {"cache's folder a file", [](Fixture& f) {
         std::filesystem::remove_all(f.dir.native("cache"));
         f.dir.write("cache", "");
       }, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    (void)f.index();
    c.change(f);
    const Library library = f.index();
    const std::string second = summary(library, f.dir);
    EXPECT_EQ(c.cfg_reads, f.fs.cfg_reads);
    EXPECT_EQ(summary(index_library(f.fs, f.places, ""), f.dir), second);
    const bool cache_usable = std::filesystem::is_regular_file(f.dir.native("cache/paintwell/library.cache"));
    if (cache_usable) {  // and holds no record of what is gone
      const auto cached = read_library_cache(f.dir.read("cache/paintwell/library.cache"));
      EXPECT_EQ(library.aircraft.size(), cached ? cached->size() : 0u);
    }
    EXPECT_EQ(second, summary(f.index(), f.dir));
    EXPECT_EQ(cache_usable ? 0 : 3, f.fs.cfg_reads);
  }
}

// A cache is a file anyone could have written: counts and lengths beyond
// the bytes there are refused before anything is allocated, even under a
// checksum that fits.
TEST(LibraryCache, RefusesHostileCounts) {
  const std::string head = "Paintwell library 2\n";
  const auto sealed = [](std::string body) {
    const std::uint64_t sum = fnv1a_64(body);
    for (int i = 0; i < 8; ++i) body += static_cast<char>((sum >> (8 * i)) & 0xFF);
    return body;
  };
  const std::string folder_only = std::string("\x01\0\0\0\x04\0\0\0abcd", 12) + std::string(24, '\0');
  const struct { const char* name; std::string bytes; bool refused; } cases[] = {
      {"empty library", sealed(head + std::string(4, '\0')), false},
      {"one aircraft", sealed(head + folder_only + std::string(4, '\0')), false},
      {"aircraft count beyond the bytes", sealed(head + std::string("\xFF\xFF\xFF\x7F", 4)), true},
      {"name longer than the file", sealed(head + std::string("\x01\0\0\0\xFF\xFF\0\0ab", 10)), true},
      {"entry count beyond the cap", sealed(head + folder_only + std::string("\xE9\x03\0\0", 4) + std::string(1001 * 16, '\0')), true},
      {"bytes after the end", sealed(head + std::string(4, '\0') + "x"), true},
      {"another version", sealed("Paintwell library 1\n" + std::string(4, '\0')), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Result<std::vector<LibraryAircraft>> read = read_library_cache(c.bytes);
    EXPECT_EQ(c.refused, !read);
  }
}

}  // namespace
}  // namespace pw
