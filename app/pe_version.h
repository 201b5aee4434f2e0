// The version block of a Windows executable, read from its bytes, so the
// simulator's version is known the same way on every platform.
#pragma once

#include <cstdint>
#include <optional>

#include "base/platform/file_system.h"

namespace pw {

// The four numbers of a version, most significant first (10.0.61637.0).
struct PeVersion {
  std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
  bool operator==(const PeVersion&) const = default;
};

// The product version of the executable's fixed version information
// (VS_FIXEDFILEINFO in its version resource). nullopt when the file is no
// PE image, has no version resource, or any offset or size in it points
// outside the file: the file is untrusted, nothing is read beyond it.
std::optional<PeVersion> read_pe_version(InputFile& file);

}  // namespace pw
