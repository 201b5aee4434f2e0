#include "packages/package_creation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <fstream>
#include <sstream>

#include "app/cli/command_line.h"
#include "app/desktop/dispatcher.h"
#include "packages/block_compressor.h"
#include "packages/file_helpers.h"
#include "tests/packages/mixed_data.h"
#include "tests/packages/sim_tree.h"

namespace pw::test {
namespace {

constexpr const char* kTahitiPkg = "Air_Tahiti_2007_Repaint.pkg";

// How many files the package in Uploads holds.
std::size_t files_in_package(const SimTree& t) {
  auto file = native_file_system().open_read(t.core_plane("Uploads\\") + kTahitiPkg);
  EXPECT_TRUE(file.ok() && read_package_entry(**file) && read_package_preview(**file));
  const auto layout = read_package_layout(**file);
  return layout ? layout->files.size() : 0;
}

// The name of the package made, or the empty text.
std::string created(SimTree& t, int entry) {
  const Result<std::string> made = CreatePackage(t.ctx, entry);
  return made ? *made : std::string();
}

// Uploads holds the older package of the same name, intact, and nothing else.
void expect_older_package_only(const SimTree& t) {
  EXPECT_EQ(std::vector<std::string>{kTahitiPkg}, t.dir.names(t.plane("Uploads")));
  EXPECT_EQ("older package", t.dir.read(t.plane("Uploads/") + kTahitiPkg));
}

TEST(CreatePackage, EveryFailingFileCallLeavesTheOlderPackage) {
  SimTree t;
  t.dir.write(t.plane("Uploads/") + kTahitiPkg, "older package");
  t.show_in_package_screen(1);
  each_failing_call(100, [&](int k) {
    t.faulty.fail_at(k);
    const std::string result = created(t, 1), failed = t.faulty.failed_call();
    if (failed.empty() || !result.empty()) {  // whole, or only the folder's sync failed once it was
      EXPECT_EQ(failed.empty() ? "" : "sync_folder", failed);
      EXPECT_EQ(kTahitiPkg, result);
    } else {
      expect_older_package_only(t);
    }
    return !failed.empty();
  });
  EXPECT_EQ(5u, files_in_package(t));
}

}  // namespace
}  // namespace pw::test
