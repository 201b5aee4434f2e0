#include "app/aircraft_places.h"

#include <gtest/gtest.h>

#include "base/file_ops.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

// Every kind of list, relative and absolute, active and not, found or not.
TEST(AircraftPlaces, EachListNamesItsFolders) {
  test::TempDir dir;
  const std::string root = dir.path() + "\\sim";
  for (const char* folder : {"sim/SimObjects/Airplanes/a", "sim/SimObjects/Rotorcraft/b", "sim/Fsx Own/c", "sim/P3D On/d",
                             "sim/P3D Off/e", "elsewhere/f", "addon/SimObjects/Airplanes/g"}) {
    dir.write(std::string(folder) + "/aircraft.cfg", "");
  }
  dir.write("fsx.cfg", "[Main]\r\nSimObjectPaths.0=SimObjects\\Airplanes\r\nSimObjectPaths.1=Fsx Own\r\n"
                       "SimObjectPaths.2=Fsx Gone\r\nSimObjectPaths.3=" + dir.path() + "\\elsewhere\r\n");
  dir.write("simobjects.cfg", "[Entry.0]\r\nTitle=On\r\nPath=P3D On\r\nActive=True\r\n\r\n[Entry.1]\r\nPath=P3D Off\r\n"
                              "Active=False\r\n\r\n[Entry.2]\r\nPath=P3D Gone\r\n");
  const std::string addon = dir.path() + "\\addon\\SimObjects\\Airplanes";
  const AircraftPlaces places = find_aircraft_places(
      native_file_system(), root, {dir.path() + "\\fsx.cfg", dir.path() + "\\simobjects.cfg", dir.path() + "\\none.cfg"},
      {addon, dir.path() + "\\addon gone"});

  const auto found = [&](const AircraftPlaces& p) {
    std::vector<std::string> relative;
    for (const std::string& f : p.folders) relative.push_back(f.substr(dir.path().size()));
    return relative;
  };
  EXPECT_EQ((std::vector<std::string>{"\\sim\\SimObjects\\Airplanes", "\\sim\\Fsx Own", "\\elsewhere", "\\sim\\P3D On",
                                      "\\addon\\SimObjects\\Airplanes"}),
            found(places));
  EXPECT_EQ((std::vector<std::string>{"Fsx Gone, listed in " + dir.native("fsx.cfg").string() + ", does not exist",
                                      "P3D Gone, listed in " + dir.native("simobjects.cfg").string() + ", does not exist",
                                      dir.native("addon gone").string() + ", listed in the add-on declarations, does not exist"}),
            places.problems);

  // Without a list, each folder of the root's SimObjects.
  std::vector<std::string> defaults = found(find_aircraft_places(native_file_system(), root, {dir.path() + "\\none.cfg"}, {}));
  std::sort(defaults.begin(), defaults.end());
  EXPECT_EQ((std::vector<std::string>{"\\sim\\SimObjects\\Airplanes", "\\sim\\SimObjects\\Rotorcraft"}), defaults);
}

TEST(AircraftPlaces, IniNamesListsBesideTheProgram) {
  test::TempDir dir;
  dir.write("program/Paintwell.ini", "[simulator]\r\nsim_config.0=..\\fsx.cfg\r\nsim_config.1=/abs/simobjects.cfg\r\n"
                                     "sim_config.3=after a gap\r\naddons_config.0=add-ons.cfg\r\n");
  SimulatorSources sources;
  add_ini_sources(native_file_system(), dir.path() + "\\program", sources);
  const std::string d = normal_path(dir.path());
  EXPECT_EQ((std::vector<std::string>{d + "\\fsx.cfg", "\\abs\\simobjects.cfg"}), sources.sim_configs);
  EXPECT_EQ(std::vector<std::string>{d + "\\program\\add-ons.cfg"}, sources.addons.config_files);
}

}  // namespace
}  // namespace pw
