// The floors the benchmarks measure Paintwell against: the least any
// program must do for the same answer, written straight on POSIX, serial.
#pragma once

#include <string>
#include <vector>

namespace pw::bench {

// Finds every aircraft.cfg one folder below each of `places` and reads each
// whole (what `find PLACES -maxdepth 2 -name aircraft.cfg -exec cat {} +`
// does). Returns the files read, -1 on a failure.
long read_every_aircraft_cfg(const std::vector<std::string>& places);

// Lists each of `folders` and opens and reads the first bytes of each file
// ending in .dds or .bmp in it. Returns the files read, -1 on a failure.
long read_first_bytes_of_textures(const std::vector<std::string>& folders);

}  // namespace pw::bench
