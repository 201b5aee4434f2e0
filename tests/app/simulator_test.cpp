#include "app/simulator.h"

#include <gtest/gtest.h>

#include "aircraft/cfg_files.h"
#include "app/addon_folders.h"
#include "app/pe_version.h"
#include "base/file_ops.h"
#include "packages/memory_files.h"
#include "support/temp_dir.h"
#include "tools/make_demo/pe_image.h"

namespace pw {
namespace {

TEST(FindSimulator, NamesEachExecutableFromItsVersionBlock) {
  struct Case { const char *name, *file; std::string bytes; std::optional<std::string> expected; } cases[] = {
      {"boxed FSX", "FSX.EXE", demo::pe_image_with_version(10, 0, 61637, 0), "FSX"},
      {"Steam edition, name in lower case", "fsx.exe", demo::pe_image_with_version(10, 0, 62615, 0),
       "FSX Steam Edition"},
      {"FSX without a version block", "FSX.EXE", "MZ", "FSX"},
      {"Prepar3D v5", "Prepar3D.exe", demo::pe_image_with_version(5, 3, 17, 28160), "Prepar3D v5"},
      {"Prepar3D without a version block", "PREPAR3D.EXE", "not an image", "Prepar3D"},
      {"neither", "FSX.BAK", "MZ", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    dir.write(c.file, c.bytes);
    auto found = find_simulator(native_file_system(), dir.path());
    EXPECT_EQ(c.expected, found ? std::optional(found->name) : std::nullopt);
  }
}

TEST(PeVersion, EveryCutShortOrDamagedImageGivesNoVersion) {
  const std::string image = demo::pe_image_with_version(5, 4, 9, 28482);
  auto read = [](const std::string& bytes) {
    testing::MemoryInputFile file(bytes);
    return read_pe_version(file);
  };
  EXPECT_EQ((PeVersion{5, 4, 9, 28482}), read(image));
  for (std::size_t size = 0; size < image.size(); ++size) ASSERT_EQ(std::nullopt, read(image.substr(0, size))) << size;
  // Offsets that point far outside the file, at every 32-bit field.
  for (std::size_t at = 0; at + 4 <= image.size(); at += 4) {
    std::string bent = image;
    bent.replace(at, 4, "\xF0\xFF\xFF\x7F");
    (void)read(bent);  // no read outside the file: the sanitizer build watches
  }
}

TEST(AddonFolders, ActiveDeclarationsOnlyAndTheirSimObjects) {
  test::TempDir dir;
  const std::string root = dir.path();
  const std::string component =
      "<AddOn.Component><Category>SimObjects</Category><Path>SimObjects\\Airplanes</Path></AddOn.Component>"
      "<AddOn.Component><Category>Scenery</Category><Path>Scenery</Path></AddOn.Component>"
      "<AddOn.Component>\n  <Category>SimObjects</Category>\n  <Path>" + root +
      "\\Far &amp; away</Path>\n</AddOn.Component>";
  dir.write("Packages/Float/add-on.xml", "<SimBase.Document>" + component + "</SimBase.Document>");
  dir.write("Packages/Off/add-on.xml", "<SimBase.Document/>");
  dir.write("Discovered/Jet/add-on.xml", "<SimBase.Document/>");
  dir.write("Packages/Again/add-on.xml", "<SimBase.Document/>");
  dir.write("Discovered/NoXml/readme.txt", "");
  dir.write("add-ons.cfg", "[Package.0]\r\nPATH=" + root + "\\Packages\\Float\r\nACTIVE=true\r\n"
                           "[Package.1]\r\nPATH=" + root + "\\Packages\\Off\r\nACTIVE=false\r\n"
                           "[DiscoveryPath.0]\r\nPATH=.\\Discovered\r\n"  // from add-ons.cfg's folder
                           "[Package.1]\r\nPATH=" + root + "\\Packages\\Again\r\n");  // the first one counts
  const AddonFolders read = read_addon_folders(native_file_system(), {{root + "\\add-ons.cfg", root + "\\missing.cfg"}, {}});
  const std::string r = normal_path(root);
  const std::vector<std::string> expected = {r + "\\Packages\\Float", r + "\\Packages\\Float\\SimObjects\\Airplanes",
                                             r + "\\Far & away", r + "\\Discovered\\Jet"};
  EXPECT_EQ(expected, read.folders);
  EXPECT_EQ(std::vector<std::string>{}, read.refusals);  // missing files are no refusal
}

TEST(AircraftFolder, UnderTheRootOrInsideADeclaredAddonFolder) {
  const std::vector<std::string> addons = {"C:\\Add-ons\\Float", "\\\\nas\\sims\\Jet", "\\home\\u\\Add-ons"};
  const struct { const char* value; std::optional<std::string> folder; } cases[] = {
      {"\\SimObjects\\Airplanes\\B737\\", "C:\\FSX\\SimObjects\\Airplanes\\B737"},
      {"SimObjects\\..\\..\\Windows", std::nullopt},
      {"D:\\Elsewhere\\Plane", std::nullopt},
      {"", std::nullopt},
      {"c:/add-ons/FLOAT/SimObjects/Airplanes/Plane\\", "c:/add-ons/FLOAT/SimObjects/Airplanes/Plane"},
      {"C:\\Add-ons\\Float", "C:\\Add-ons\\Float"},
      {"C:\\Add-ons\\Float2\\Plane", std::nullopt},
      {"C:\\Add-ons\\Float\\..\\..\\Windows", std::nullopt},
      {"\\\\nas\\sims\\Jet\\Plane", "\\\\nas\\sims\\Jet\\Plane"},
      {"\\home\\u\\Add-ons\\Plane", "\\home\\u\\Add-ons\\Plane"},  // a POSIX add-on in its core form
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(c.folder, aircraft_folder_for("C:\\FSX", addons, c.value));
  }
}

}  // namespace
}  // namespace pw
