#include "app/addon_folders.h"

#include <gtest/gtest.h>

#include <chrono>

#include "base/file_ops.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

std::string simobjects(const std::string& path) {
  return "<AddOn.Component><Category>SimObjects</Category><Path>" + path + "</Path></AddOn.Component>";
}

// The folders and refusals of one add-on, Packages/A, declared by add-ons.cfg.
AddonFolders read_one(const test::TempDir& dir, const std::string& add_on_xml) {
  dir.write("Packages/A/add-on.xml", add_on_xml);
  dir.write("add-ons.cfg", "[Package.0]\r\nPATH=" + dir.path() + "\\Packages\\A\r\n");
  return read_addon_folders(native_file_system(), {{dir.path() + "\\add-ons.cfg"}, {}});
}

TEST(AddonFolders, DeclarationsReadAsXmlAndPathsKeptToTheAddon) {
  test::TempDir dir;
  const std::string a = normal_path(dir.path() + "\\Packages\\A");
  // refusal: a part of the one refusal expected, or "" for none.
  const struct { const char* name; std::string xml; std::vector<std::string> folders; std::string refusal; } cases[] = {
      {"component in a comment", "<D><!--" + simobjects("Hidden") + "-->" + simobjects("Shown") + "</D>",
       {a, a + "\\Shown"}, ""},
      {"references decoded", "<D>" + simobjects("&#x53;im &amp; co") + "</D>", {a, a + "\\Sim & co"}, ""},
      {"the add-on itself", "<D>" + simobjects(".") + "</D>", {a, a}, ""},
      {"sibling folder", "<D>" + simobjects("..\\B") + "</D>", {a, normal_path(dir.path() + "\\Packages\\B")}, ""},
      {"root", "<D>" + simobjects("/") + simobjects("Kept") + "</D>", {a, a + "\\Kept"}, "/ names a filesystem root"},
      {"drive root", "<D>" + simobjects("C:\\.") + "</D>", {a}, "names a filesystem root"},
      {"'..' stops at the root", "<D>" + simobjects("C:\\..\\B") + "</D>", {a, "C:\\B"}, ""},
      {"the parent", "<D>" + simobjects("..") + "</D>", {a}, "names a folder above the add-on"},
      {"above, absolute", "<D>" + simobjects(dir.path()) + "</D>", {a}, "names a folder above the add-on"},
      {"DTD", "<!DOCTYPE D><D>" + simobjects("X") + "</D>", {}, "document type declaration"},
      {"unclosed at the end", "<D>" + simobjects("X"), {}, "not closed"},
      {"over 4 MB", std::string(kMaxDeclarationBytes + 1, ' '), {}, "larger than 4 MB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const AddonFolders read = read_one(dir, c.xml);
    EXPECT_EQ(c.folders, read.folders);
    ASSERT_EQ(c.refusal.empty() ? 0u : 1u, read.refusals.size());
    if (!c.refusal.empty()) {
      EXPECT_NE(std::string::npos, read.refusals[0].find(c.refusal)) << read.refusals[0];
    }
  }
}

TEST(AddonFolders, AnAddonInARootIsRefused) {
  test::TempDir dir;
  dir.write("add-ons.cfg", "[Package.0]\r\nPATH=/\r\n[Package.1]\r\nPATH=C:\\\r\n");
  EXPECT_EQ(2u, read_addon_folders(native_file_system(), {{dir.path() + "\\add-ons.cfg"}, {}}).refusals.size());
}

TEST(AddonFolders, HostileSizesReadInLinearTime) {
  test::TempDir dir;
  std::string unclosed;
  while (unclosed.size() < 1000000) unclosed += "<AddOn.Component><Path>";
  dir.write("Packages/A/add-on.xml", unclosed);
  dir.write("big.cfg", std::string(kMaxDeclarationBytes + 1, '\n'));
  // One add-on named by many sections is read once.
  std::string repeated;
  for (int n = 0; repeated.size() < (1u << 20); ++n) {
    repeated += "[Package." + std::to_string(n) + "]\r\nPATH=" + dir.path() + "\\Packages\\A\r\n";
  }
  dir.write("repeated.cfg", repeated);
  const auto start = std::chrono::steady_clock::now();
  const AddonFolders again = read_addon_folders(native_file_system(), {{dir.path() + "\\repeated.cfg"}, {}});
  const AddonFolders big_cfg = read_addon_folders(native_file_system(), {{dir.path() + "\\big.cfg"}, {}});
  // Loose, for loaded machines, sanitizers and Wine: a quadratic reader takes minutes.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(1u, again.refusals.size());
  ASSERT_EQ(1u, big_cfg.refusals.size());
  EXPECT_NE(std::string::npos, big_cfg.refusals[0].find("larger than 4 MB"));
}

}  // namespace
}  // namespace pw
