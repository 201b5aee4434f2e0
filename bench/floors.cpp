#include "bench/floors.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <functional>

namespace pw::bench {
namespace {

// Calls `each` with every name in `folder` but "." and ".."; false when the
// folder cannot be listed or `each` fails.
bool for_each_name(const std::string& folder, const std::function<bool(const char*)>& each) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return false;
  bool ok = true;
  while (const dirent* e = ::readdir(dir)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    if (!each(e->d_name)) ok = false;
  }
  ::closedir(dir);
  return ok;
}

// Reads up to `limit` bytes of the file (all of it for -1); false when it cannot be opened.
bool read_file_head(const std::string& path, long limit) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[1 << 16];
  long left = limit < 0 ? -1 : limit;
  ssize_t n = 0;
  while (left != 0 && (n = ::read(fd, buffer, left < 0 ? sizeof buffer : static_cast<std::size_t>(left))) > 0) {
    if (left > 0) left -= n;
  }
  ::close(fd);
  return n >= 0;
}

bool ends_with(const char* name, const char* suffix) {
  const std::size_t a = std::strlen(name), b = std::strlen(suffix);
  return a >= b && strcasecmp(name + a - b, suffix) == 0;
}

}  // namespace

long read_every_aircraft_cfg(const std::vector<std::string>& places) {
  long read = 0;
  for (const std::string& place : places) {
    const bool ok = for_each_name(place, [&](const char* name) {
      const std::string cfg = place + "/" + name + "/aircraft.cfg";
      if (::access(cfg.c_str(), F_OK) != 0) return true;
      ++read;
      return read_file_head(cfg, -1);
    });
    if (!ok) return -1;
  }
  return read;
}

long read_first_bytes_of_textures(const std::vector<std::string>& folders) {
  long read = 0;
  for (const std::string& folder : folders) {
    const bool ok = for_each_name(folder, [&](const char* name) {
      if (!ends_with(name, ".dds") && !ends_with(name, ".bmp")) return true;
      ++read;
      return read_file_head(folder + "/" + name, 4);
    });
    if (!ok) return -1;
  }
  return read;
}

}  // namespace pw::bench
