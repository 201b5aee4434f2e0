// Builds a small simulator tree for trying the program on real files:
//   <root>/FSX.EXE, <root>/SimObjects/Airplanes/Paintwell Trainer/ with an
//   aircraft.cfg of several liveries and their texture folders,
//   <root>/Paintwell Trainer.rcf, and two packages in the aircraft's
//   Downloads folder, made by the package writer from liveries that are
//   not installed. Usage: make_demo ROOT  (ROOT must not exist yet).
// With --prepar3d ROOT ADDONS it builds a Prepar3D v5 root instead (the
// same aircraft inside it) and, outside it in ADDONS, one add-on aircraft
// declared by an add-on.xml and listed in ADDONS/add-ons.cfg, with an .rcf
// in ROOT that names the add-on aircraft's folder by its absolute path.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "aircraft/fltsim_entry.h"
#include "packages/package_format.h"
#include "tools/make_demo/pe_image.h"

namespace {

namespace fs = std::filesystem;

struct Livery {
  std::string texture, variation, title, airline;
  std::uint8_t r, g, b;
};

const std::vector<Livery> kInstalled = {
    {"Default", "Factory White", "Paintwell Trainer Factory", "", 235, 235, 240},
    {"Sunrise", "Sunrise Air", "Paintwell Trainer Sunrise Air", "SUNRISE", 240, 140, 40},
    {"Glacier", "Glacier Express", "Paintwell Trainer Glacier", "GLACIER", 90, 170, 220},
};
const std::vector<Livery> kDownloads = {
    {"Emerald", "Emerald Isles Flying Club", "Paintwell Trainer Emerald", "EMERALD", 40, 160, 90},
    {"Crimson", "Crimson Aerobatics", "Paintwell Trainer Crimson", "", 190, 30, 50},
};

void write_file(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

void put_le(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 24-bit bitmap: the livery's colour with a diagonal stripe and a tail band.
std::string bitmap(int width, int height, const Livery& l) {
  const int row = (width * 3 + 3) / 4 * 4;
  std::string out = "BM";
  put_le(out, 54 + row * height, 4);
  put_le(out, 0, 4);
  put_le(out, 54, 4);
  for (std::uint32_t v : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)}) put_le(out, v, 4);
  put_le(out, 1, 2);
  put_le(out, 24, 2);
  for (int i = 0; i < 6; ++i) put_le(out, i == 1 ? row * height : 0, 4);
  for (int y = 0; y < height; ++y) {
    std::string line;
    for (int x = 0; x < width; ++x) {
      const bool stripe = (x + y) % 97 < 14;
      const bool band = y > height * 2 / 3;
      const int shade = 40 + 160 * y / height;
      line += static_cast<char>(stripe ? 250 : band ? l.b / 2 : (l.b * shade) / 200);
      line += static_cast<char>(stripe ? 250 : band ? l.g / 2 : (l.g * shade) / 200);
      line += static_cast<char>(stripe ? 250 : band ? l.r / 2 : (l.r * shade) / 200);
    }
    line.resize(static_cast<std::size_t>(row), '\0');
    out += line;
  }
  return out;
}

std::string section(int n, const Livery& l) {
  std::string s = "[fltsim." + std::to_string(n) + "]\r\ntitle=" + l.title +
                  "\r\nsim=trainer\r\nmodel=\r\npanel=\r\nsound=\r\ntexture=" + l.texture +
                  "\r\nkb_checklists=trainer_check\r\natc_id=N" + std::to_string(172 + n) + "PW\r\n";
  if (!l.airline.empty()) s += "atc_airline=" + l.airline + "\r\natc_flight_number=" + std::to_string(100 + n) + "\r\n";
  s += "ui_manufacturer=\"Paintwell\"\r\nui_type=\"Trainer\"\r\nui_variation=\"" + l.variation +
       "\"\r\ndescription=A two-seat trainer in the " + l.variation + " livery.\r\nvisual_damage=1\r\n\r\n";
  return s;
}

std::vector<std::pair<std::string, std::string>> texture_files(const Livery& l) {
  return {{"trainer_t.bmp", bitmap(256, 256, l)},
          {"trainer_wing_t.bmp", bitmap(128, 128, l)},
          {"texture.cfg", "[fltsim]\r\nfallback.1=..\\..\\..\\..\\Texture\r\n"}};
}

std::string rcf_text(const std::string& folder = "SimObjects\\Airplanes\\Paintwell Trainer",
                     const std::string& title = "Paintwell Trainer") {
  return "// Repaint Configuration File for the demo aircraft\r\n"
         "folder=" + folder + "\r\n"
         "title=" + title + "\r\n"
         "information=A demo aircraft made by the build.\xA5nThe factory livery cannot be removed.\r\n"
         "exclude=Factory White\r\n";
}

std::string package(const Livery& l) {
  pw::FltsimEntry e;
  e.title = l.title;
  e.sim = "trainer";
  e.texture = l.texture;
  e.kb_Checklists = "trainer_check";
  e.atc_airline = l.airline;
  e.ui_manufacturer = "Paintwell";
  e.ui_type = "Trainer";
  e.ui_variation = l.variation;
  e.Description = "A two-seat trainer in the " + l.variation + " livery.";
  e.visual_damage = "1";
  e.rcf_text = rcf_text();
  e.rcf_text.resize(pw::kRcfTextSize, '\0');
  std::vector<pw::PackageFile> table;
  std::string data;
  for (const auto& [name, bytes] : texture_files(l)) {
    table.push_back({name, static_cast<std::int32_t>(bytes.size())});
    data += bytes;
  }
  const std::string head = pw::build_package_head(e, bitmap(400, 300, l), table);
  if (pw::CompressBytes(data) != 0) throw std::runtime_error("compression failed");
  return head + data;
}

// The trainer with its installed liveries and two packages in Downloads.
void make_aircraft(const fs::path& plane) {
  std::string cfg = "[General]\r\natc_type=PAINTWELL\r\natc_model=PT1\r\n\r\n";
  for (std::size_t i = 0; i < kInstalled.size(); ++i) {
    cfg += section(static_cast<int>(i), kInstalled[i]);
    for (const auto& [name, bytes] : texture_files(kInstalled[i])) write_file(plane / ("Texture." + kInstalled[i].texture) / name, bytes);
  }
  cfg += "[WEIGHT_AND_BALANCE]\r\nmax_gross_weight=2450\r\n";
  write_file(plane / "aircraft.cfg", cfg);
  for (const Livery& l : kDownloads) {
    std::string name = l.variation;
    for (char& c : name) c = c == ' ' ? '_' : c;
    write_file(plane / "Downloads" / (name + "_Repaint.pkg"), package(l));
  }
}

// Prepar3D's add-on aircraft: declared in an add-on.xml of its own folder,
// that folder listed in the user's add-ons.cfg.
void make_addon(const fs::path& root, const fs::path& addons) {
  const fs::path addon = addons / "Documents" / "Prepar3D v5 Add-ons" / "Paintwell Floatplane";
  write_file(addon / "add-on.xml",
             "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<SimBase.Document Type=\"AddOnXml\" version=\"4,0\" id=\"add-on\">\r\n"
             "  <AddOn.Name>Paintwell Floatplane</AddOn.Name>\r\n  <AddOn.Component>\r\n"
             "    <Category>SimObjects</Category>\r\n    <Path>SimObjects\\Airplanes</Path>\r\n"
             "  </AddOn.Component>\r\n</SimBase.Document>\r\n");
  write_file(addons / "add-ons.cfg", "[Package.0]\r\nPATH=" + addon.string() + "\r\nTITLE=Paintwell Floatplane\r\nACTIVE=true\r\nREQUIRED=false\r\n");
  const fs::path plane = addon / "SimObjects" / "Airplanes" / "Paintwell Floatplane";
  make_aircraft(plane);
  write_file(root / "Paintwell Floatplane.rcf", rcf_text(plane.string(), "Paintwell Floatplane"));
}

}  // namespace

int main(int argc, char** argv) {
  const bool prepar3d = argc == 4 && std::string(argv[1]) == "--prepar3d";
  if (argc != 2 && !prepar3d) {
    std::cerr << "usage: make_demo ROOT | make_demo --prepar3d ROOT ADDONS\n";
    return 2;
  }
  const fs::path root = argv[prepar3d ? 2 : 1];
  if (fs::exists(root)) return 0;  // made already: keep what the user did there
  if (prepar3d) {
    write_file(root / "Prepar3D.exe", pw::demo::pe_image_with_version(5, 3, 17, 28160));
    make_addon(root, fs::absolute(argv[3]));
  } else {
    write_file(root / "FSX.EXE", pw::demo::pe_image_with_version(10, 0, 61637, 0));
  }
  make_aircraft(root / "SimObjects" / "Airplanes" / "Paintwell Trainer");
  write_file(root / "Paintwell Trainer.rcf", rcf_text());
  std::cout << "demo simulator made in " << root.string() << "\n";
  return 0;
}
