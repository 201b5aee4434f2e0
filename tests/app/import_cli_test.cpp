// paintwell-cli import on zips made here with libarchive's writer.
#include "app/cli/import_cli.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/command_line.h"
#include "packages/package_installation.h"
#include "packages/sim_tree.h"
#include "packages/tree_checks.h"

namespace pw {
namespace {

using test::SimTree;

la_ssize_t append(archive*, void* out, const void* data, size_t size) {
  static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
  return static_cast<la_ssize_t>(size);
}

std::string zip_of(const std::vector<test::NamedBytes>& files) {
  std::string out;
  archive* w = archive_write_new();
  archive_write_set_format_zip(w);
  archive_write_open(w, &out, nullptr, append, nullptr);
  for (const test::NamedBytes& f : files) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, f.name.c_str());
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    archive_entry_set_size(e, static_cast<la_int64_t>(f.bytes.size()));
    EXPECT_EQ(ARCHIVE_OK, archive_write_header(w, e)) << archive_error_string(w);
    archive_write_data(w, f.bytes.data(), f.bytes.size());
    archive_entry_free(e);
  }
  archive_write_close(w);
  archive_write_free(w);
  return out;
}

const std::string kBlock = "Blue, as it flies\r\n[fltsim.7]\r\ntitle=Cessna Blue\r\nsim=c172\r\ntexture=Blue\r\n"
                           "ui_variation=Blue Sky\r\nsmoke=1\r\n";
const std::string kBmp = "BM" + std::string(3000, 'b');

// The C172 with blue.zip (a readme block, a file in a sub-folder, a model
// folder) and gold.zip (the aircraft's folder path, no block) beside it.
struct Downloads : SimTree {
  Downloads() {
    dir.write("blue.zip", zip_of({{"readme.txt", kBlock}, {"Texture.Blue/texture.bmp", kBmp},
                                  {"Texture.Blue/sub/x.dds", "deep"}, {"model.big/big.mdl", "mdl"}}));
    dir.write("gold.zip", zip_of({{"SimObjects/Airplanes/C172/Texture.Gold/gold.dds", "DDS gold"}}));
  }
  std::pair<int, std::string> cli(std::vector<std::string> args, std::string* err = nullptr) {
    std::ostringstream out, errors;
    CommandLineEnvironment env{native_file_system(), ctx.state.program_folder, dir.path(), out, errors, ""};
    const int status = run_command_line(args, env);
    if (err) *err = errors.str();
    return {status, out.str()};
  }
};

TEST(ImportCli, DryRunListsEachRepaintTiesAndMadeUpEntriesAreRefused) {
  Downloads t;
  std::string err;
  const std::string listed = "blue.zip\tTexture.Blue\tCessna Blue\tSimObjects\\Airplanes\\C172\treadme.txt, line 2\n";
  EXPECT_EQ(std::make_pair(kExitOk, listed), t.cli({"import", "blue.zip", "--dry-run"}, &err));
  EXPECT_NE(std::string::npos, err.find("blue.zip: Texture.Blue: keys left out: smoke")) << err;
  EXPECT_NE(std::string::npos, err.find("blue.zip: left out: model.big")) << err;

  EXPECT_EQ(kExitFailed, t.cli({"import", "gold.zip", "--dry-run"}, &err).first);
  EXPECT_NE(std::string::npos, err.find("Texture.Gold: no [fltsim] block comes with it; pass --make-entry")) << err;
  EXPECT_EQ(std::make_pair(kExitOk, std::string("gold.zip\tSimObjects\\Airplanes\\C172\\Texture.Gold\tCessna Red Gold\t"
                                                "SimObjects\\Airplanes\\C172\tmade up\n")),
            t.cli({"import", "gold.zip", "--dry-run", "--make-entry"}));

  t.dir.write("sim/SimObjects/Airplanes/Twin/aircraft.cfg", "[fltsim.0]\r\ntitle=Twin\r\nsim=c172\r\ntexture=T\r\n");
  EXPECT_EQ(std::make_pair(kExitFailed, std::string()),
            t.cli({"import", "gold.zip", "blue.zip", "--make-entry"}, &err));
  EXPECT_NE(std::string::npos, err.find("several aircraft fit it equally; choose one with --aircraft:\n"
                                        "  SimObjects\\Airplanes\\C172\n  SimObjects\\Airplanes\\Twin\n")) << err;
  EXPECT_EQ(std::make_pair(kExitOk, listed),
            t.cli({"import", "blue.zip", "--dry-run", "--aircraft", "sim/SimObjects/Airplanes/C172"}));
  EXPECT_EQ(test::kOriginalCfg, t.cfg());
  EXPECT_FALSE(t.dir.exists(t.plane("Paintwell.log")));
}

TEST(ImportCli, InstallsTheZipByteForByteLogsItAndUndoesIt) {
  Downloads t;
  std::string err;
  const auto [status, out] = t.cli({"import", "blue.zip", "gold.zip", "--make-entry"}, &err);
  ASSERT_EQ(kExitOk, status) << err;
  const std::string blue = t.core_plane("Texture.Blue");
  EXPECT_EQ("Blue Sky\t" + t.dir.native(t.plane("Texture.Blue")).make_preferred().string() + "\nGold\t" +
                t.dir.native(t.plane("Texture.Gold")).make_preferred().string() + "\n",
            out);
  EXPECT_EQ(kBmp, t.dir.read(t.plane("Texture.Blue/texture.bmp")));
  EXPECT_EQ("deep", t.dir.read(t.plane("Texture.Blue/sub/x.dds")));
  EXPECT_EQ(test::kOriginalCfg +
                "\r\n[fltsim.2]\r\ntitle=Cessna Blue\r\nsim=c172\r\ntexture=Blue\r\nui_variation=\"Blue Sky\"\r\n"
                "visual_damage=\r\n\r\n[fltsim.4]\r\ntitle=Cessna Red Gold\r\nsim=c172\r\ntexture=Gold\r\n"
                "ui_variation=\"Gold\"\r\nvisual_damage=1\r\n\r\n",
            t.cfg());
  const std::string log = t.dir.read(t.plane("Paintwell.log"));
  EXPECT_NE(std::string::npos, log.find(" UTC  import\r\n    download " + normal_path(t.dir.path() + "/blue.zip") + "\r\n"
                                        "    wrote [fltsim.2] Blue Sky\r\n    created folder " + blue + "\r\n"
                                        "    result: done\r\n\r\n")) << log;

  EXPECT_NE(std::string::npos, t.cli({"history", "sim/SimObjects/Airplanes/C172"}).second.find(
                                   "\timport\tdownload " + t.dir.native("gold.zip").make_preferred().string() + "; wrote [fltsim.4] Cessna Red Gold"));
  EXPECT_EQ(kExitOk, t.cli({"import", "blue.zip", "--on-duplicate", "skip"}, &err).first);
  EXPECT_NE(std::string::npos, err.find("Cessna Blue is installed already: skip")) << err;
  EXPECT_EQ(kExitOk, t.cli({"import", "blue.zip", "--on-duplicate", "replace"}, &err).first) << err;
  const std::string cfg = t.cfg();
  EXPECT_EQ(cfg.find("title=Cessna Blue"), cfg.rfind("title=Cessna Blue")) << cfg;
  EXPECT_EQ(std::set<std::string>({"Texture.Blue", "Texture.Gold", "Texture.Red", "Texture.Silver"}),
            test::texture_folders(t.dir.native(t.plane(""))));
  for (int undo = 0; undo < 3; ++undo) EXPECT_EQ(kExitOk, t.cli({"undo", "sim/SimObjects/Airplanes/C172"}).first);
  EXPECT_EQ(test::kOriginalCfg, t.cfg());
  EXPECT_EQ(std::set<std::string>({"Texture.Red", "Texture.Silver"}), test::texture_folders(t.dir.native(t.plane(""))));
}

TEST(ImportCli, ToPkgWritesAPackagePerRepaintCarryingTheAircraftsText) {
  Downloads t;
  std::string err;
  const auto [status, out] = t.cli({"import", "blue.zip", "--to-pkg", "out"}, &err);
  ASSERT_EQ(kExitOk, status) << err;
  EXPECT_EQ(t.dir.native("out/Blue_Sky_Repaint.pkg").make_preferred().string() + "\n", out);
  EXPECT_NE(std::string::npos, err.find("left out of the package: Texture.Blue\\sub\\x.dds")) << err;
  const Result<PackageHead> head = read_head_of(native_file_system(), t.dir.path() + "\\out\\Blue_Sky_Repaint.pkg");
  ASSERT_TRUE(head) << head.error().message;
  std::string made_up = "folder=SimObjects\\Airplanes\\C172\r\ntitle=Cessna Red\r\n";
  made_up.resize(kRcfTextSize, '\0');
  EXPECT_EQ(made_up, head->entry.rcf_text);
  ASSERT_EQ(1u, head->layout.files.size());
  EXPECT_EQ("texture.bmp", head->layout.files[0].name);
  EXPECT_EQ(test::kOriginalCfg, t.cfg());
}

}  // namespace
}  // namespace pw
