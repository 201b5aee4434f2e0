// The most memory a stretch of code kept resident, where the system can
// tell: Linux resets and reports the peak through /proc. Elsewhere
// available() is false and callers skip the check.
#pragma once

#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace pw::test {

class PeakMemory {
 public:
  // Resets the peak to what is resident now; false when not supported.
  bool reset() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    start_kb_ = read_kb("VmRSS:");
    return clear.good() && start_kb_.has_value();
  }
  // How far the peak rose above what was resident at reset(), in KiB.
  std::optional<std::int64_t> growth_kb() const {
    const auto peak = read_kb("VmHWM:");
    if (!peak || !start_kb_) return std::nullopt;
    return *peak - *start_kb_;
  }

 private:
  static std::optional<std::int64_t> read_kb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind(field, 0) != 0) continue;
      std::istringstream value(line.substr(field.size()));
      std::int64_t kb = 0;
      if (value >> kb) return kb;
    }
    return std::nullopt;
  }

  std::optional<std::int64_t> start_kb_;
};

}  // namespace pw::test
