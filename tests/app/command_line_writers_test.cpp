// Writes and reads through the command line, whose words every version keeps.
#include "app/cli/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "packages/sim_tree.h"

namespace pw {
namespace {

using test::SimTree;

int run_cli(SimTree& t, const std::vector<std::string>& args) {
  std::ostringstream out, err;
  CommandLineEnvironment env{native_file_system(), t.ctx.state.program_folder, t.dir.path(), out, err, ""};
  return run_command_line(args, env);
}

std::map<std::string, std::string> whole_tree(const SimTree& t) {
  std::map<std::string, std::string> tree;
  const std::filesystem::path root = t.dir.native("");
  for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
    const std::string rel = std::filesystem::relative(e.path(), root).generic_string();
    tree[rel] = e.is_regular_file() ? t.dir.read(rel) : "<folder>";
  }
  return tree;
}

TEST(CommandLineWriters, ReplaceKeepsEverySafeguardAndIsOneOperation) {
  const std::string whole = test::package_bytes(test::red_entry(), std::nullopt, test::blue_files());
  const struct {
    const char *name, *rcf_extra;
    std::string package;
    int status;
  } cases[] = {
      {"the .rcf keeps the installed entry", "exclude=Red Livery\r\n", whole, 1},
      {"the package is damaged", "", whole.substr(0, whole.size() - 8), 1},
      {"replaced", "", whole, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimTree t;
    t.dir.write("c172.rcf", "folder=SimObjects\\Airplanes\\C172\r\ntitle=Cessna 172\r\n" + std::string(c.rcf_extra));
    t.dir.write("copy.pkg", whole);
    t.dir.write("red.pkg", c.package);
    ASSERT_EQ(0, run_cli(t, {"install", "c172.rcf", "copy.pkg"}));  // a point for the undo below
    const std::string cfg = t.cfg();
    EXPECT_EQ(c.status, run_cli(t, {"install", "c172.rcf", "red.pkg", "--on-duplicate", "replace"}));
    EXPECT_EQ(c.status == 0, cfg != t.cfg());
    EXPECT_EQ(c.status != 0, t.dir.read(t.plane("Texture.Red/red.bmp")) == "red");
    // One undo takes the whole replacement back, the old repaint included.
    ASSERT_EQ(0, run_cli(t, {"undo", "c172.rcf"}));
    EXPECT_EQ(c.status == 0, cfg == t.cfg());
    EXPECT_EQ("red", t.dir.read(t.plane("Texture.Red/red.bmp")));
  }
}

TEST(CommandLineWriters, ReadingCommandsWriteNothing) {
  SimTree t;
  std::filesystem::remove(t.dir.native(t.plane("Downloads")));
  t.dir.write("c172.rcf", "folder=SimObjects\\Airplanes\\C172\r\ntitle=Cessna 172\r\n");
  t.dir.write("red.pkg", test::package_bytes(test::red_entry(), std::nullopt, test::blue_files()));
  const auto before = whole_tree(t);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"list", "c172.rcf"}, {"list", "red.pkg"}, {"inspect", "red.pkg"}, {"check", "c172.rcf"},
           {"log", "c172.rcf"}, {"history", "c172.rcf"}, {"where"}}) {
    SCOPED_TRACE(args[0] + " " + args.back());
    (void)run_cli(t, args);
    EXPECT_EQ(before, whole_tree(t));
  }
}

}  // namespace
}  // namespace pw
