#include "app/simulator.h"

#include "app/pe_version.h"
#include "base/file_ops.h"

namespace pw {
namespace {

// The Steam edition's builds of FSX are numbered from 62000 on; the boxed
// editions stop at 61637.
constexpr std::uint16_t kFirstSteamBuild = 62000;

std::optional<PeVersion> version_of(FileSystem& fs, const std::string& executable) {
  auto file = fs.open_read(executable);
  if (!file) return std::nullopt;
  return read_pe_version(**file);
}

}  // namespace

std::optional<Simulator> find_simulator(FileSystem& fs, const std::string& root) {
  const std::string fsx = join_path(root, "FSX.EXE");
  if (fs.exists(fsx)) {
    auto version = version_of(fs, fsx);
    const bool steam = version && version->build >= kFirstSteamBuild;
    return Simulator{fsx, steam ? "FSX Steam Edition" : "FSX"};
  }
  const std::string prepar3d = join_path(root, "Prepar3D.exe");
  if (fs.exists(prepar3d)) {
    auto version = version_of(fs, prepar3d);
    const bool numbered = version && version->major > 0;
    return Simulator{prepar3d, numbered ? "Prepar3D v" + std::to_string(version->major) : "Prepar3D"};
  }
  return std::nullopt;
}

}  // namespace pw
