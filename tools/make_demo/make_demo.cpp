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
#include <cstdlib>
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

// Appends bits to a JPEG entropy-coded segment, 0xFF bytes stuffed.
class BitWriter {
 public:
  void put(std::uint32_t bits, int count) {
    for (int i = count - 1; i >= 0; --i) {
      byte_ = static_cast<std::uint8_t>(byte_ << 1 | ((bits >> i) & 1));
      if (++filled_ == 8) flush_byte();
    }
  }
  std::string finish() {
    while (filled_ != 0) put(1, 1);
    return out_;
  }

 private:
  void flush_byte() {
    out_ += static_cast<char>(byte_);
    if (byte_ == 0xFF) out_ += '\0';
    byte_ = 0;
    filled_ = 0;
  }
  std::string out_;
  std::uint8_t byte_ = 0;
  int filled_ = 0;
};

void put_be16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value >> 8);
  out += static_cast<char>(value & 0xFF);
}

// A baseline grey JPEG of the livery's brightness, as the simulator's
// aircraft menu shows thumbnail.jpg: every 8x8 block is plain, so each
// needs only its DC difference (the first block's, then zero) and an EOB.
std::string thumbnail(int width, int height, const Livery& l) {
  const int grey = (l.r * 299 + l.g * 587 + l.b * 114) / 1000;
  const int dc = 8 * (grey - 128);
  int category = 0;
  while ((std::abs(dc) >> category) != 0) ++category;
  std::string out = "\xFF\xD8\xFF\xE0";
  put_be16(out, 16);
  out += std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14);
  out += "\xFF\xDB";
  put_be16(out, 67);
  out += std::string(1, '\0') + std::string(64, '\x01');
  out += std::string("\xFF\xC0", 2);
  put_be16(out, 11);
  out += '\x08';
  put_be16(out, static_cast<std::uint32_t>(height));
  put_be16(out, static_cast<std::uint32_t>(width));
  out += std::string("\x01\x01\x11\0", 4);
  // DC table: category 0 coded "0", the first block's category "10".
  const int dc_symbols = category == 0 ? 1 : 2;
  out += "\xFF\xC4";
  put_be16(out, static_cast<std::uint32_t>(19 + dc_symbols));
  out += std::string(1, '\0') + (category == 0 ? std::string("\x01") + std::string(15, '\0')
                                                 : std::string("\x01\x01") + std::string(14, '\0'));
  out += std::string(1, '\0');
  if (category != 0) out += static_cast<char>(category);
  // AC table: only the end of block, coded "0".
  out += "\xFF\xC4";
  put_be16(out, 20);
  out += std::string("\x10\x01", 2) + std::string(15, '\0') + std::string(1, '\0');
  out += "\xFF\xDA";
  put_be16(out, 8);
  out += std::string("\x01\x01\0\0\x3F\0", 6);
  BitWriter bits;
  for (int block = 0; block < (width / 8) * (height / 8); ++block) {
    if (block == 0 && category != 0) {
      bits.put(2, 2);
      bits.put(static_cast<std::uint32_t>(dc >= 0 ? dc : dc + (1 << category) - 1), category);
    } else {
      bits.put(0, 1);
    }
    bits.put(0, 1);
  }
  return out + bits.finish() + "\xFF\xD9";
}

// The livery whose texture.cfg names a shared folder its painter had but
// this simulator has not, so the demo shows what the check finds.
constexpr const char* kBrokenFallbackLivery = "Glacier";

// What a repaint folder holds: the textures that differ from the base
// livery, the thumbnail, and texture.cfg naming the aircraft's own Texture
// folder, then the simulator's.
std::vector<std::pair<std::string, std::string>> texture_files(const Livery& l) {
  const std::string first = l.texture == kBrokenFallbackLivery ? "..\\Texture.Shared" : "..\\texture";
  return {{"trainer_t.bmp", bitmap(256, 256, l)},
          {"trainer_wing_t.bmp", bitmap(128, 128, l)},
          {"thumbnail.jpg", thumbnail(128, 64, l)},
          {"texture.cfg", "[fltsim]\r\nfallback.1=" + first + "\r\nfallback.2=..\\..\\..\\..\\Texture\r\n"}};
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

// The simulator's shared textures, where every repaint's last fallback
// (..\..\..\..\Texture) leads: the root's, or an add-on's own.
void make_shared_textures(const fs::path& folder) {
  write_file(folder / "Texture" / "global_reflect.bmp", bitmap(64, 64, {"", "", "", "", 200, 200, 200}));
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
  // The base livery every repaint falls back to.
  const Livery base{"", "", "", "", 200, 200, 200};
  write_file(plane / "Texture" / "trainer_t.bmp", bitmap(256, 256, base));
  write_file(plane / "Texture" / "trainer_interior_t.bmp", bitmap(128, 128, base));
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
  make_shared_textures(addon);
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
  make_shared_textures(root);
  write_file(root / "Paintwell Trainer.rcf", rcf_text());
  std::cout << "demo simulator made in " << root.string() << "\n";
  return 0;
}
