// Builds a small simulator tree for trying the program on real files:
//   <root>/FSX.EXE, <root>/SimObjects/Airplanes/Paintwell Trainer/ with an
//   aircraft.cfg of several liveries and their texture folders,
//   <root>/Paintwell Trainer.rcf, and two packages in the aircraft's
//   Downloads folder, made by the package writer from liveries that are
//   not installed. Usage: make_demo ROOT  (ROOT must not exist yet).
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

std::string rcf_text() {
  return "// Repaint Configuration File for the demo aircraft\r\n"
         "folder=SimObjects\\Airplanes\\Paintwell Trainer\r\n"
         "title=Paintwell Trainer\r\n"
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_demo ROOT\n";
    return 2;
  }
  const fs::path root = argv[1];
  if (fs::exists(root)) return 0;  // made already: keep what the user did there
  const fs::path plane = root / "SimObjects" / "Airplanes" / "Paintwell Trainer";
  write_file(root / "FSX.EXE", "MZ demo simulator");
  std::string cfg = "[General]\r\natc_type=PAINTWELL\r\natc_model=PT1\r\n\r\n";
  for (std::size_t i = 0; i < kInstalled.size(); ++i) {
    cfg += section(static_cast<int>(i), kInstalled[i]);
    for (const auto& [name, bytes] : texture_files(kInstalled[i])) write_file(plane / ("Texture." + kInstalled[i].texture) / name, bytes);
  }
  cfg += "[WEIGHT_AND_BALANCE]\r\nmax_gross_weight=2450\r\n";
  write_file(plane / "aircraft.cfg", cfg);
  write_file(root / "Paintwell Trainer.rcf", rcf_text());
  for (const Livery& l : kDownloads) {
    std::string name = l.variation;
    for (char& c : name) c = c == ' ' ? '_' : c;
    write_file(plane / "Downloads" / (name + "_Repaint.pkg"), package(l));
  }
  std::cout << "demo simulator made in " << root.string() << "\n";
  return 0;
}
