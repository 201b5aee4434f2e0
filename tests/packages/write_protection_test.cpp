// An Aircraft.cfg that the user made read-only must stop an install and a
// removal with their failure results, not be replaced behind their back,
// and nothing the operation made on the way may stay.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "packages/protected_cfg.h"

namespace pw::test {
namespace {

void make_read_only(const std::filesystem::path& file, bool read_only) {
  using std::filesystem::perms;
  std::filesystem::permissions(file, perms::owner_write | perms::group_write | perms::others_write,
                               read_only ? std::filesystem::perm_options::remove : std::filesystem::perm_options::add);
}

TEST(WriteProtection, ReadOnlyAircraftCfgFailsInstallAndRemovalUntouched) {
  EXPECT_TRUE(expect_protected_cfg_refused([](SimTree& t) -> std::optional<std::function<void()>> {
    const std::filesystem::path cfg = t.dir.native(t.plane("Aircraft.cfg"));
    make_read_only(cfg, true);
    return [cfg] { make_read_only(cfg, false); };
  }));
}

}  // namespace
}  // namespace pw::test
