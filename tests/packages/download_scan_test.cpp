// Finding repaints in downloads built by hand, as open_download lists them.
#include "packages/download_scan.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

DownloadContents download(const std::vector<std::string>& names, std::vector<DownloadText> texts) {
  DownloadContents contents{"download.zip", {}, std::move(texts)};
  for (const std::string& name : names) contents.files.push_back({name, 1});
  return contents;
}

// One line per repaint, then the folders left out.
std::string summary(const DownloadScan& scan) {
  std::string out;
  for (const FoundRepaint& r : scan.repaints) {
    out += r.folder + " (" + r.texture + ") [";
    for (const std::string& above : r.path_above) out += above + "/";
    out += "] " + std::to_string(r.files.size()) + " files, " + r.source;
    if (r.entry) out += ": " + r.entry->title + " | " + r.entry->ui_variation + " | " + r.entry->atc_id;
    for (const std::string& key : r.keys_left_out) out += " -" + key;
    out += r.refusal.empty() ? "\n" : " REFUSED " + r.refusal + "\n";
  }
  for (const std::string& folder : scan.left_out) out += "left out " + folder + "\n";
  return out;
}

TEST(DownloadScan, FindsFoldersAndPairsBlocks) {
  const std::string cfg = "[General]\natc_type=CESSNA\n[fltsim.0]\ntitle=Base\ntexture=\n[fltsim.1]\ntitle=Blue\ntexture=Blue\n"
                          "\n[fltsim.2]\ntitle=Green\ntexture= green \n[Views]\n";
  const struct { const char* name; DownloadContents contents; std::string expected; } cases[] = {
      {"readme block beside the folder",
       download({"Texture.Red/red_t.dds", "Texture.Red/texture.cfg", "Read Me.txt"},
                {{2, "Copy this:\r\n  [FLTSIM.x]\r\ntitle=Cessna Red\r\ntexture=RED\r\nui_variation=\"Red\"\r\n"
                     "atc_id = N123 \r\n; note=1\r\n\r\nFly safe!\r\n"}}),
       "Texture.Red (Red) [] 2 files, Read Me.txt, line 2: Cessna Red | Red | N123\n"},
      {"UTF-8 with a BOM, lone CRs, Windows-1252 left as it is",
       download({"a/Texture.Caf\xE9\\x.dds", "b.txt", "Texture.N/c.txt"},
                {{1, "\xEF\xBB\xBF[fltsim.9]\rtexture=Caf\xC3\xA9\rtitle=Caf\xC3\xA9 \xE2\x82\xAC\r"},
                 {2, "[fltsim.1]\r\ntexture=n\r\ntitle=\xC3\xA9\xE2\x82\xE9\r\n"}}),
       "a\\Texture.Caf\xE9 (Caf\xE9) [a/] 1 files, b.txt, line 1: Caf\xE9 \x80 |  | \n"
       "Texture.N (N) [] 1 files, c.txt, line 1: \xC3\xA9\xE2\x82\xE9 |  | \n"},
      {"whole aircraft.cfg with several blocks, the aircraft's path and its own folders",
       download({"SimObjects\\Airplanes\\C172\\aircraft.cfg", "SimObjects\\Airplanes\\C172\\Texture.Blue\\b.dds",
                 "SimObjects\\Airplanes\\C172\\model\\c.mdl", "SimObjects\\Airplanes\\C172\\Texture.Green\\sub\\g.dds",
                 "SimObjects\\Airplanes\\C172\\Texture.Green\\g.dds", "SimObjects\\Airplanes\\C172\\Model\\d.mdl",
                 "panel.x/p.cfg", "Sound.zip/s.txt", "Texture.Blue.zip/Sound.y/s.wav", "Texture.Blue.zip/Texture.Blue/b.dds",
                 "Texture.Gold/Texture.Red/r.dds"},
                {{0, cfg}}),
       "SimObjects\\Airplanes\\C172\\Texture.Blue (Blue) [SimObjects/Airplanes/C172/] 1 files, aircraft.cfg, line 6: "
       "Blue |  | \n"
       "SimObjects\\Airplanes\\C172\\Texture.Green (Green) [SimObjects/Airplanes/C172/] 2 files, aircraft.cfg, line 10: "
       "Green |  | \n"
       "Texture.Blue.zip\\Texture.Blue (Blue) [Texture.Blue.zip/] 1 files, aircraft.cfg, line 6: Blue |  | \n"
       "Texture.Gold (Gold) [] 1 files, made up\n"
       "left out SimObjects\\Airplanes\\C172\\model\nleft out panel.x\nleft out Texture.Blue.zip\\Sound.y\n"},
      {"the first of two blocks wins; long values, control bytes and unknown keys",
       download({"Texture.A/a.dds", "Texture.B/b.dds", "one.cfg", "two.ini"},
                {{2, "[fltsim.1]\ntexture=A\ntitle=a\x01z\nmy_key=1\nMY_KEY=2\nvolume=3\n[fltsim.2]\ntexture=B\ntitle=b\natc_id=" +
                         std::string(51, 'x') + "\ntitle=" + std::string(300, 'y') + "\n"},
                 {3, "[fltsim.0]\ntexture=A\ntitle=later\n"}}),
       "Texture.A (A) [] 1 files, one.cfg, line 1: a\x01z |  |  -my_key -volume REFUSED the field title holds the "
       "control byte 0x01\n"
       "Texture.B (B) [] 1 files, one.cfg, line 7: b |  | " + std::string(50, 'x') +
           " REFUSED the value of atc_id is longer than its field (50 characters)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, summary(scan_download(c.contents)));
  }
  // A folder without a block takes the target's first entry, apart from its names.
  const FltsimEntry made = made_up_entry(*scan_download(cases[0].contents).repaints[0].entry, "Gold");
  EXPECT_EQ("Cessna Red Gold|Gold|Gold|N123", made.title + "|" + made.texture + "|" + made.ui_variation + "|" + made.atc_id);
}

}  // namespace
}  // namespace pw
