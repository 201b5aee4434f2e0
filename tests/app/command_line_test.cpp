#include "app/cli/command_line.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sstream>

#include "packages/sim_tree.h"
#include "support/immutable_flag.h"

namespace pw {
namespace {

using test::SimTree;

struct CliRun {
  int status;
  std::string out, err;
};

CliRun run_cli(SimTree& t, std::vector<std::string> args) {
  std::ostringstream out, err;
  CommandLineEnvironment env{native_file_system(), t.ctx.state.program_folder, t.dir.path(), out, err};
  const int status = run_command_line(args, env);
  return {status, out.str(), err.str()};
}

std::string write_rcf(SimTree& t, const std::string& extra = "") {
  t.dir.write("c172.rcf", "folder=SimObjects\\Airplanes\\C172\r\ntitle=Cessna 172\r\n" + extra);
  return "c172.rcf";
}

TEST(CommandLine, ListPrintsEveryEntryWithItsIndex) {
  SimTree t;
  const CliRun r = run_cli(t, {"list", write_rcf(t, "exclude=Green\r\n")});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ(
      "0\tRed Livery\tRed\tCessna Red\n1\tAir (Tahiti) [2007]\tSilver\tCessna Silver\n2\tGreen\tGreen\tCessna Green\n",
      r.out);
}

TEST(CommandLine, UsageErrorsExitWithTwoAndTouchNothing) {
  SimTree t;
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"list"}, {"pack", "x.rcf"}, {"install", "x.rcf"}, {"list", "--sim"}, {"list", "--bogus", "a"}}) {
    SCOPED_TRACE(args.empty() ? "(none)" : args[0]);
    EXPECT_EQ(2, run_cli(t, args).status);
  }
  EXPECT_FALSE(t.dir.exists(t.plane("Aircraft.001")));
  const CliRun help = run_cli(t, {"--help"});
  EXPECT_EQ(0, help.status);
  EXPECT_NE(std::string::npos, help.out.find("inspect PKG"));
}

TEST(CommandLine, MissingFsxExeIsRefusedWithTheStartupMessage) {
  SimTree t;
  std::filesystem::remove(t.dir.native("sim/FSX.EXE"));
  const CliRun r = run_cli(t, {"list", write_rcf(t)});
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("FSX.EXE not properly located."));
}

TEST(CommandLine, RemoveRefusesEntriesTheScreenWouldNotOffer) {
  SimTree t;
  const std::string rcf = write_rcf(t, "exclude=green\r\n");
  t.dir.write(t.plane("Aircraft.cfg"), test::kOriginalCfg + "\r\n[fltsim.4]\r\ntitle=Bare\r\n");
  for (const char* index : {"2", "3", "9", "x"}) {
    SCOPED_TRACE(index);
    const CliRun r = run_cli(t, {"remove", rcf, "0", index});
    EXPECT_EQ(1, r.status);
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_EQ(test::kOriginalCfg + "\r\n[fltsim.4]\r\ntitle=Bare\r\n", t.cfg());
  EXPECT_FALSE(t.dir.exists(t.plane("Aircraft.vnb")));
  const CliRun ok = run_cli(t, {"remove", rcf, "1"});
  EXPECT_EQ(0, ok.status) << ok.err;
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Silver")));
}

TEST(CommandLine, PackRefusesUnknownNamesAndPacksOnlyThoseAsked) {
  SimTree t;
  const std::string rcf = write_rcf(t);
  const CliRun bad = run_cli(t, {"pack", rcf, "1", "--only", "nothere.dds"});
  EXPECT_EQ(1, bad.status);
  EXPECT_NE(std::string::npos, bad.err.find("nothere.dds"));
  EXPECT_FALSE(t.dir.exists(t.plane("Uploads/Air_Tahiti_2007_Repaint.pkg")));

  const CliRun r = run_cli(t, {"pack", rcf, "1", "--only", "a.BMP", "--only", "e.dds"});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(t.dir.native(t.plane("Uploads/Air_Tahiti_2007_Repaint.pkg")).make_preferred().string() + "\n", r.out);
  const CliRun inspect = run_cli(t, {"inspect", t.plane("Uploads/Air_Tahiti_2007_Repaint.pkg")});
  ASSERT_EQ(0, inspect.status) << inspect.err;
  EXPECT_NE(std::string::npos, inspect.out.find("files: 2\n5\tA.bmp\n70000\tE.dds\n"));
  EXPECT_NE(std::string::npos, inspect.out.find("preview: none\n"));
}

// A painter packs a repaint; another user installs it into their own
// simulator: the entry and every texture file arrive unchanged.
TEST(CommandLine, PackAndInstallRoundTripBetweenSimulators) {
  SimTree painter;
  const CliRun packed = run_cli(painter, {"pack", write_rcf(painter), "1"});
  ASSERT_EQ(0, packed.status) << packed.err;
  const std::string package = packed.out.substr(0, packed.out.size() - 1);

  SimTree user;
  user.dir.write(user.plane("Aircraft.cfg"), "[fltsim.0]\r\ntitle=Cessna Red\r\ntexture=Red\r\n");
  std::filesystem::remove_all(user.dir.native(user.plane("Texture.Silver")));
  const CliRun installed = run_cli(user, {"install", write_rcf(user), "--delete", package});
  ASSERT_EQ(0, installed.status) << installed.err;
  EXPECT_EQ("Air (Tahiti) [2007]\t" + user.dir.native(user.plane("Texture.Silver")).make_preferred().string() + "\n",
            installed.out);
  for (const char* name : {"A.bmp", "b.dds", "c.cfg", "d.txt", "E.dds"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(painter.dir.read(painter.plane(std::string("Texture.Silver/") + name)),
              user.dir.read(user.plane(std::string("Texture.Silver/") + name)));
  }
  EXPECT_EQ(
      "[fltsim.0]\r\ntitle=Cessna Red\r\ntexture=Red\r\n\r\n"
      "[fltsim.1]\r\ntitle=Cessna Silver\r\ntexture=Silver\r\nui_variation=\"Air (Tahiti) [2007]\"\r\nvisual_damage=\r\n\r\n",
      user.cfg());
  EXPECT_FALSE(std::filesystem::exists(package));
}

TEST(CommandLine, InstallRefusesAPackageMadeForAnotherAircraft) {
  SimTree t;
  FltsimEntry other = test::blue_entry();
  other.rcf_text = test::carried_text("SimObjects\\Airplanes\\B737");
  t.dir.write("other.pkg", test::package_bytes(other, std::nullopt, test::blue_files()));
  const CliRun r = run_cli(t, {"install", write_rcf(t), "other.pkg"});
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find("do not match"));
  EXPECT_EQ(test::kOriginalCfg, t.cfg());
  EXPECT_FALSE(t.dir.exists(t.plane("Texture.Blue")));
}

// Every failure reaches standard error with what and why; a damaged
// download is named but stops nothing.
TEST(CommandLine, FailuresSayWhatAndWhy) {
  const struct {
    const char* name;
    std::function<void(SimTree&)> prepare;
    std::vector<std::string> args;  // after the command; "RCF" is the .rcf written
    int status;
    std::vector<const char*> said;  // each on standard error
    bool program_read_only = false;  // as under Program Files
  } cases[] = {
      {"damaged download", [](SimTree& t) { t.dir.write(t.plane("Downloads/cut.pkg"), "cut"); }, {"list", "RCF"},
       kExitOk, {"cut.pkg", "past the end"}},
      {"unreadable file", [](SimTree&) {}, {"list", "missing.rcf"}, kExitFailed, {"missing.rcf"}},
      {"backup not writable",
       [](SimTree& t) { std::filesystem::create_directories(t.dir.native(t.plane("Aircraft.vnb/x"))); },
       {"install", "RCF", "blue.pkg"}, kExitFailed, {"Aircraft.vnb"}},
      {"uploads not writable", [](SimTree& t) { t.dir.write(t.plane("Uploads"), "a file"); }, {"pack", "RCF", "0"},
       kExitFailed, {"Uploads"}},
      {"read-only program folder", [](SimTree&) {}, {"install", "RCF", "blue.pkg"}, kExitOk, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    t.dir.write("blue.pkg", test::package_bytes(test::blue_entry(), std::nullopt, test::blue_files()));
    c.prepare(t);
    std::vector<std::string> args = c.args;
    for (std::string& a : args) a = a == "RCF" ? write_rcf(t) : a;
    std::optional<test::ImmutableFlag> read_only;
    if (c.program_read_only) read_only.emplace(t.dir.native("sim/Varnel Software/FSX Paintwell"));
    const CliRun r = run_cli(t, args);
    EXPECT_EQ(c.status, r.status) << r.err;
    for (const char* part : c.said) EXPECT_NE(std::string::npos, r.err.find(part)) << part << " in " << r.err;
  }
}

// A hostile package's names must not reach the terminal as escape sequences.
TEST(CommandLine, InspectShowsControlBytesAsQuestionMarks) {
  SimTree t;
  FltsimEntry entry = test::blue_entry();
  entry.title = "Evil\x1b]0;owned\x07title";
  t.dir.write("evil.pkg", test::package_bytes(entry, std::nullopt, {{"a\x1b[2Jb.dds", "x"}, {"tab\there", "y"}}));
  const CliRun r = run_cli(t, {"inspect", "evil.pkg"});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(std::string::npos, r.out.find_first_of("\x1b\x07"));
  EXPECT_NE(std::string::npos, r.out.find("title=Evil?]0;owned?title\n"));
  EXPECT_NE(std::string::npos, r.out.find("1\ta?[2Jb.dds\n1\ttab?here\n"));
}

TEST(CommandLine, CheckReportsFindingsAndFixesTheNumbering) {
  SimTree t;
  const std::string rcf = write_rcf(t);
  const CliRun found = run_cli(t, {"check", rcf});
  EXPECT_EQ(1, found.status);
  EXPECT_EQ("missing-texture-folder\tfltsim.3\t[fltsim.3] names the folder Texture.Green, which does not exist\n",
            found.out);

  t.dir.write(t.plane("Aircraft.cfg"),
              "[fltsim.0]\r\ntitle=A\r\ntexture=Red\r\n\r\n[fltsim.0]\r\ntitle=B\r\ntexture=Silver\r\n");
  const CliRun fixed = run_cli(t, {"check", rcf, "--fix"});
  EXPECT_EQ(0, fixed.status) << fixed.err;
  const CliRun log = run_cli(t, {"log", rcf});
  EXPECT_EQ(0, log.status);
  EXPECT_NE(std::string::npos, log.out.find("repair\n    renumbered [fltsim.0] -> [fltsim.1]\n"));
}

TEST(CommandLine, HistoryListsAndUndoWalksBackRefusingAnEditedFile) {
  SimTree t;
  const std::string rcf = write_rcf(t);
  const std::string original = t.cfg();
  ASSERT_EQ(0, run_cli(t, {"remove", rcf, "1"}).status);
  const std::string removed = t.cfg();
  const std::string edited = "[fltsim.0]\r\ntitle=A\r\ntexture=Red\r\n\r\n[fltsim.0]\r\ntitle=B\r\ntexture=Red\r\n";
  t.dir.write(t.plane("Aircraft.cfg"), edited);  // by hand, after the removal
  ASSERT_EQ(0, run_cli(t, {"check", rcf, "--fix"}).status);
  const CliRun history = run_cli(t, {"history", rcf});
  EXPECT_NE(std::string::npos, history.out.find("\trepair\twrote [fltsim.0] -> [fltsim.1]\t-\n")) << history.out;
  EXPECT_NE(std::string::npos, history.out.find("\tremove\tdeleted [fltsim.1] Cessna Silver; moved folder "
                                                "Texture.Silver\t-\n"));
  EXPECT_LT(history.out.find("repair"), history.out.find("remove"));  // newest first

  const struct {
    int status;
    std::string cfg_after;
  } undos[] = {{0, edited}, {1, edited}, {0, original}, {1, original}};
  for (const auto& u : undos) {
    if (u.status == 0 && u.cfg_after == original) t.dir.write(t.plane("Aircraft.cfg"), removed);  // the edit taken back
    const CliRun r = run_cli(t, {"undo", rcf});
    EXPECT_EQ(u.status, r.status) << r.err;
    EXPECT_EQ(u.cfg_after, t.cfg());
  }
  EXPECT_EQ(5u, t.dir.names(t.plane("Texture.Silver")).size());
  EXPECT_EQ(2, static_cast<int>(std::count_if(history.out.begin(), history.out.end(), [](char c) { return c == '\n'; })));
  EXPECT_NE(std::string::npos, run_cli(t, {"history", rcf}).out.find("\tundone\n"));
}

}  // namespace
}  // namespace pw
