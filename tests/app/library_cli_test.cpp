#include "app/cli/library_cli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/aircraft_selection.h"
#include "app/cli/command_line.h"
#include "app/desktop/desktop_options.h"
#include "packages/sim_tree.h"

namespace pw {
namespace {

using test::SimTree;

// The C172 in the root, and a floatplane outside it that a simobjects.cfg
// names by its absolute path and an add-ons.cfg by its add-on.
struct Library : SimTree {
  Library() {
    dir.write("simobjects.cfg", "[Entry.0]\r\nPath=SimObjects\\Airplanes\r\n[Entry.1]\r\nPath=" + dir.path() +
                                    "\\addon\\SimObjects\\Airplanes\r\n[Entry.2]\r\nPath=Gone\r\nActive=False\r\n");
    dir.write("addon/SimObjects/Airplanes/Float/aircraft.cfg", "[fltsim.0]\r\ntitle=Float Sunrise\r\ntexture=Sun\r\n");
    dir.write("sim/SimObjects/Rotorcraft/Heli/aircraft.cfg", "[fltsim.0]\r\ntitle=Unlisted\r\n");
  }
  std::pair<int, std::string> cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    CommandLineEnvironment env{native_file_system(), ctx.state.program_folder, dir.path(), out, err, dir.path() + "\\cache"};
    args.insert(args.begin(), {"--sim-config", "simobjects.cfg"});
    const int status = run_command_line(args, env);
    return {status, out.str() + err.str()};
  }
};

TEST(LibraryCli, ListsSearchesAndChecksEveryAircraft) {
  Library t;
  const std::string outside = t.dir.native("addon/SimObjects/Airplanes/Float").make_preferred().string();
  const struct { std::vector<std::string> args; int status; std::string printed; } cases[] = {
      {{"aircraft"}, kExitOk, outside + "\t1\tFloat Sunrise\nSimObjects\\Airplanes\\C172\t3\tCessna Red\n"},
      {{"aircraft", "--search", "sunrise"}, kExitOk, outside + "\t0\tFloat Sunrise\n"},
      {{"aircraft", "--search", "green cessna"}, kExitOk, "SimObjects\\Airplanes\\C172\t2\tCessna Green\n"},
      {{"check", "--all"}, kExitFailed, outside + "\tmissing-texture-folder\tfltsim.0\t"},
      {{"check", "--all", "--fix"}, kExitUsage, "paintwell-cli: --fix is refused with --all"},
      {{"aircraft", "x"}, kExitUsage, "paintwell-cli: aircraft takes nothing"},
      {{"list", "--all", "x"}, kExitUsage, "paintwell-cli: --all goes with check"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    const auto [status, printed] = t.cli(c.args);
    EXPECT_EQ(c.status, status);
    EXPECT_EQ(0u, printed.find(c.printed)) << "[" << printed << "] [" << c.printed << "]";
  }
}

// An aircraft chosen by its folder is selected as the .rcf the painter
// would have written: the root's own when one names the folder.
TEST(LibraryCli, FolderSelectsAsItsRcfWould) {
  // rcf_text: empty when refused.
  const struct { const char *name, *folder; std::string root_rcf, rcf_text; const char* exclude = ""; } cases[] = {
      {"made up", "sim\\SimObjects\\Airplanes\\C172", "", "folder=SimObjects\\Airplanes\\C172\r\ntitle=Cessna Red\r\n"},
      {"the root's", "sim\\SimObjects\\Airplanes\\C172", "folder=\\SimObjects\\Airplanes\\c172\\\r\nexclude=Green\r\n",
       "folder=\\SimObjects\\Airplanes\\c172\\\r\nexclude=Green\r\n", "Green"},
      {"another's in the root", "sim\\SimObjects\\Airplanes\\C172", "folder=SimObjects\\Airplanes\\Other\r\n",
       "folder=SimObjects\\Airplanes\\C172\r\ntitle=Cessna Red\r\n"},
      {"outside the root", "addon\\SimObjects\\Airplanes\\Float", "", "folder=ADDON\\Float\r\ntitle=Float Sunrise\r\n"},
      {"no aircraft.cfg", "sim\\SimObjects\\Airplanes", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Library t;
    t.ctx.state.addon_folders = {t.dir.path() + "\\addon\\SimObjects\\Airplanes"};
    if (!c.root_rcf.empty()) t.dir.write("sim/Painted.rcf", c.root_rcf);
    const Result<SelectedAircraft> selected = select_aircraft_file(t.ctx, t.dir.path() + "\\" + c.folder);
    ASSERT_EQ(!c.rcf_text.empty(), bool(selected));
    if (!selected) continue;
    std::string expected = c.rcf_text;
    if (const auto at = expected.find("ADDON"); at != std::string::npos) expected.replace(at, 5, t.ctx.state.addon_folders[0]);
    expected.resize(kRcfTextSize, '\0');
    EXPECT_EQ(expected, t.ctx.state.g_RcfText);
    EXPECT_EQ(c.exclude, t.ctx.state.g_ExcludeList);
  }
}

TEST(DesktopOptions, TakeTheListsAsTheCommandLineDoes) {
  // Each file in the one form, as the command line makes them.
  const DesktopOptions o = parse_desktop_options({"--sim-config", "fsx.cfg", "d/../a.pkg", "--addons-config", "/abs.cfg"}, "/cwd");
  EXPECT_EQ(std::vector<std::string>{"\\cwd\\fsx.cfg"}, o.sources.sim_configs);
  EXPECT_EQ(std::vector<std::string>{"\\abs.cfg"}, o.sources.addons.config_files);
  EXPECT_EQ(std::vector<std::string>{"\\cwd\\a.pkg"}, o.packages);
  EXPECT_EQ("", o.problem);
  EXPECT_EQ("--addons-config needs a value", parse_desktop_options({"a.pkg", "--addons-config"}, "/").problem);
}

}  // namespace
}  // namespace pw
