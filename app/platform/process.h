// Facts about the running program that start-up needs, as core paths
// (Windows-1252 text, components joined with '/' or '\', no trailing
// separator except for the root folder itself, "/").
#pragma once

#include <string>

namespace pw {

// The folder that holds the program's executable. When the platform cannot
// tell, the current directory, where the program is normally started.
std::string executable_folder();

// The current directory; empty when it cannot be read (it was removed).
std::string current_directory();

}  // namespace pw
