#include "base/platform/process.h"

#include <locale.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "base/text.h"

namespace pw {
namespace {

// A native folder path as the core sees it, without a trailing separator
// unless it is the root.
std::string core_folder(std::string native) {
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  return utf8_to_cp1252(native);
}

}  // namespace

std::string executable_folder() {
  std::vector<char> buffer(4096);
  while (true) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return current_directory();
    if (static_cast<std::size_t>(n) < buffer.size()) {
      const std::string native(buffer.data(), static_cast<std::size_t>(n));
      return core_folder(native.substr(0, native.rfind('/') + 1));
    }
    buffer.resize(buffer.size() * 2);  // the link may have been cut
  }
}

unsigned long process_id() { return static_cast<unsigned long>(::getpid()); }

std::string current_directory() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return core_folder(buffer.data());
}

std::vector<std::string> program_arguments(int argc, char** argv) {
  if (argc < 1) return {};
  return std::vector<std::string>(argv + 1, argv + argc);
}

std::string known_folder(KnownFolder) { return {}; }

std::string user_cache_folder() {
  // An empty or relative XDG_CACHE_HOME is to be ignored, as the base
  // directory rules say.
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return core_folder(std::string(xdg) + "/paintwell");
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return core_folder(std::string(home) + "/.cache/paintwell");
  return {};
}

bool runs_under_wine() { return false; }

bool stderr_is_terminal() { return ::isatty(STDERR_FILENO) == 1; }

namespace {

// Made once and kept: (locale_t)0 when the system has no C.UTF-8.
locale_t utf8_locale() {
  static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

Utf8ThreadLocale::Utf8ThreadLocale() {
  if (utf8_locale() != static_cast<locale_t>(nullptr)) previous_ = ::uselocale(utf8_locale());
}

Utf8ThreadLocale::~Utf8ThreadLocale() {
  if (previous_ != nullptr) ::uselocale(static_cast<locale_t>(previous_));
}

}  // namespace pw
