// Choosing a repaint's aircraft among aircraft folders on disk.
#include "packages/download_target.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/file_ops.h"
#include "support/temp_dir.h"

namespace pw {
namespace {

TEST(DownloadTarget, RanksTierByTier) {
  test::TempDir dir;
  for (const char* file : {"C172/c172.air", "C172/model/m.mdl", "C172/panel/p.cfg", "C172/Texture.Red/c172_t.dds",
                           "B737/B737-800.AIR", "B737/Model.b737/m.mdl", "B737/panel/p.cfg", "B737/sound/s.cfg",
                           "B737/texture/b737_t.dds", "B737/texture/shared.dds", "A320/Texture.X/A320_T.dds",
                           "A320/Texture.Y/shared.dds", "A320/model.b737", "C172/Texture.C/c172_t.dds", "Glider/Texture.Z/z.dds"}) {
    dir.write(file, "x");
  }
  for (const char* folder : {"C172", "B737", "A320", "Glider"}) dir.write(std::string(folder) + "/Texture.C/texture.cfg", "");
  Library library;
  for (const char* folder : {"A320", "B737", "C172", "Glider"}) library.aircraft.push_back({join_path(dir.path(), folder), {}, {}});
  library.aircraft[0].entries = {{"Airbus", "X", "", "A320neo"}};
  // entry: sim, model, panel and sound, none for no block; expected: the candidates best first, then whether the
  // first is clear.
  const struct { const char* name; std::vector<std::string> path_above, entry, files; std::string expected; }
      cases[] = {
      {"folder above beats sim", {"Airplanes", "a320"}, {"b737-800", "", "", ""}, {"b737_t.dds"}, "A320 B737 C172 clear"},
      {"sim of an .air file beats model folders", {}, {"C172", "b737", "", ""}, {}, "C172 B737 clear"},
      {"sim of an entry", {}, {" a320NEO", "x", "x", "x"}, {}, "A320 clear"},
      {"model, panel and sound folders, counted", {}, {"", "b737", "", ""}, {}, "B737 C172 clear"},
      {"texture file names, texture.cfg aside", {}, {}, {"c172_t.dds", "shared.dds", "texture.cfg"}, "A320 B737 C172"},
      {"texture file names decide a tie", {}, {"", "x", "", "x"}, {"SHARED.dds", "a320_t.dds"}, "B737 C172 clear"},
      {"nothing matches", {"Planes"}, {"zz", "zz", "zz", "zz"}, {"z2.dds", "texture.cfg"}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FoundRepaint repaint;
    repaint.path_above = c.path_above;
    DownloadContents contents;
    for (const std::string& name : c.files) {
      repaint.files.push_back(contents.files.size());
      contents.files.push_back({"Texture.N\\" + name, 1});
    }
    if (const std::vector<std::string>& e = c.entry; !e.empty()) {
      repaint.entry.emplace();
      std::tie(repaint.entry->sim, repaint.entry->model, repaint.entry->panel, repaint.entry->sound) = std::tie(e[0], e[1], e[2], e[3]);
    }
    const TargetChoice choice = choose_target_aircraft(native_file_system(), library, contents, repaint);
    std::string got;
    for (const std::size_t a : choice.candidates) got += (got.empty() ? "" : " ") + file_name(library.aircraft[a].folder);
    EXPECT_EQ(c.expected, got + (choice.clear ? " clear" : ""));
    if (c.expected.empty()) {
      EXPECT_EQ("no aircraft folder named Planes, none with sim=zz, none with the folders model.zz, panel.zz or sound.zz, "
                "none whose texture folders hold z2.dds",
                choice.looked_for);
    }
  }
}

}  // namespace
}  // namespace pw
