// libFuzzer target: EZ_CFG on any text. Looked-up values must survive
// being written out and read back, numbers must read as numbers, and a
// value set with AddToCFG must come back as given (blanks trimmed).
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/platform/file_system.h"
#include "base/text.h"
#include "config/ez_cfg.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// The keys worth looking up: the .rcf keys and every key the text seems
// to hold (what stands before the first '=' of each line).
std::vector<std::string> keys_of(std::string_view text) {
  std::vector<std::string> keys = {"folder", "title", "information", "exclude", "FOLDER"};
  for (const std::string& line : pw::split_lines(text)) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos && keys.size() < 40) keys.push_back(pw::trim_blanks(line.substr(0, equals)));
  }
  return keys;
}

bool is_number_text(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc{} && end == text.data() + text.size();
}

// A written file reads back the same for every key that can be written:
// not empty, and not one that would start a comment line.
void check_written_back(pw::EZ_CFG& cfg, const std::vector<std::string>& keys) {
  // In memory-backed /dev/shm: the write syncs, which a disk makes slow.
  struct ScratchFile {
    std::string path = "/dev/shm/ez_cfg_fuzz_" + std::to_string(::getpid()) + ".rcf";
    ~ScratchFile() { std::remove(path.c_str()); }
  };
  static const ScratchFile scratch;
  const std::string& path = scratch.path;
  pw::FileSystem& fs = pw::native_file_system();
  check(cfg.WriteCFG(path));
  pw::EZ_CFG again(fs);
  again.ReadCFG(path);
  for (const std::string& key : keys) {
    if (key.empty() || key.starts_with("//")) continue;
    check(again.GetValue(key) == cfg.GetValue(key));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  pw::EZ_CFG cfg(pw::native_file_system());
  check(cfg.ReadCFGText(text) >= 0);
  const std::vector<std::string> keys = keys_of(text);
  for (const std::string& key : keys) {
    const std::string number = cfg.GetValue(key, true);
    check(!number.empty() && is_number_text(number));
  }
  check_written_back(cfg, keys);
  // A value set in memory comes back as given, its CR LF and '=' escaped
  // on the way in and restored on the way out.
  const std::string value(text.substr(0, std::min<std::size_t>(text.size(), 200)));
  if (value.find('\xA5') == std::string::npos) {
    check(cfg.AddToCFG("probe", value));
    check(cfg.GetValue("probe") == pw::trim_blanks(value));
  }
  return 0;
}
