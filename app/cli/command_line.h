// paintwell-cli: the operations of the desktop program from a shell, for
// painters who script their releases and for use without a display.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "base/platform/file_system.h"

namespace pw {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
// Could not read what the command had to (the simulator, FILE, a package,
// the aircraft's files); for check: could not check.
inline constexpr int kExitUnreadable = 3;

// More operands than this are a usage error: every count stays far inside
// the types that hold it.
inline constexpr std::size_t kMaxOperands = 10000;

// The exit status for a failed read: kExitUnreadable when the file could
// not be read at all (missing, denied, a failing disk), kExitFailed when it
// was read and refused (damaged, out of limits).
int exit_status_of_read(const Error& error);

struct CommandLineEnvironment {
  FileSystem& fs;
  std::string program_folder;     // core path of the executable's folder
  std::string current_directory;  // core path; relative arguments start here
  std::ostream& out;
  std::ostream& err;
  std::string cache_folder;  // where the library's cache is kept; empty: none
};

// Runs one command; `args` are the arguments after the program name, in
// UTF-8. Returns the exit status.
int run_command_line(const std::vector<std::string>& args, CommandLineEnvironment& env);

}  // namespace pw
