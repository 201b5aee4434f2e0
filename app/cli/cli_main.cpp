// Entry point of paintwell-cli.
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/command_line.h"
#include "base/platform/process.h"

int main(int argc, char** argv) {
  std::vector<std::string> args = pw::program_arguments(argc, argv);
  // The progress line is for a person watching; logs and pipes get none.
  if (pw::stderr_is_terminal()) args.insert(args.begin(), "--progress");
  pw::CommandLineEnvironment env{pw::native_file_system(), pw::executable_folder(), pw::current_directory(),
                                 std::cout, std::cerr, pw::user_cache_folder()};
  return pw::run_command_line(args, env);
}
