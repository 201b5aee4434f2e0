// Facts about the running program that start-up needs, as core paths
// (Windows-1252 text, components joined with '/' or '\', no trailing
// separator except for the root folder itself, "/").
#pragma once

#include <string>
#include <vector>

namespace pw {

// The folder that holds the program's executable. When the platform cannot
// tell, the current directory, where the program is normally started.
std::string executable_folder();

// This process's id, which no other running process has.
unsigned long process_id();

// The current directory; empty when it cannot be read (it was removed).
std::string current_directory();

// The program's arguments after its own name, in UTF-8 whatever the
// system's code page (`main` gets them in the ANSI code page on Windows).
std::vector<std::string> program_arguments(int argc, char** argv);

// The user's folders that other programs keep their settings in.
enum class KnownFolder { kRoamingAppData, kProgramData, kDocuments };

// The folder, as a core path; empty where the platform has none (POSIX:
// Prepar3D's declarations are given explicitly there).
std::string known_folder(KnownFolder which);

// The folder Paintwell keeps its own caches in, as a core path; it may not
// exist yet. Windows: %LOCALAPPDATA%\Paintwell; POSIX: $XDG_CACHE_HOME/paintwell,
// or ~/.cache/paintwell when that is unset. Empty when there is none.
std::string user_cache_folder();

// True when this Windows program runs under Wine on another system (whose
// font rasteriser loses some glyphs of the skin's fonts); false elsewhere.
bool runs_under_wine();

// While it lives, the calling thread's C library works in UTF-8 (POSIX:
// the C.UTF-8 locale for this thread only), so a library that converts
// names through the locale (libarchive's rar names) yields them whatever
// the user's locale, even the "C" one a command line starts in. Windows:
// nothing changes (names convert through the ANSI code page there).
class Utf8ThreadLocale {
 public:
  Utf8ThreadLocale();
  ~Utf8ThreadLocale();
  Utf8ThreadLocale(const Utf8ThreadLocale&) = delete;
  Utf8ThreadLocale& operator=(const Utf8ThreadLocale&) = delete;

 private:
  void* previous_ = nullptr;
};

// True when standard error is a terminal (a person watching), false for a
// file, a pipe or no stream at all.
bool stderr_is_terminal();

}  // namespace pw
