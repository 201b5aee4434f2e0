// Builds a small simulator tree for trying the program on real files:
//   <root>/FSX.EXE, <root>/SimObjects/Airplanes/Paintwell Trainer/ with an
//   aircraft.cfg of several liveries and their texture folders,
//   <root>/Paintwell Trainer.rcf, and two packages in the aircraft's
//   Downloads folder, made by the package writer from liveries that are
//   not installed. Usage: make_demo ROOT  (ROOT must not exist yet).
// With --prepar3d ROOT ADDONS it builds a Prepar3D v5 root instead (the
// same aircraft inside it) and, outside it in ADDONS, one add-on aircraft
// declared by an add-on.xml and listed in ADDONS/add-ons.cfg; the library
// finds it (an .rcf could name it only by an absolute path).
// Each root also gets the simulator's list of aircraft folders in a user
// folder beside it (ADDONS, or fsx-user) and a Paintwell.ini naming it.
// With --downloads FOLDER it writes there five zip and 7z archives of
// trainer repaints, shaped as repaint downloads are.
// Every path the demo's files hold is relative, so a copied demo still works.
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <archive.h>
#include <archive_entry.h>

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

// `number` as the section's header has it: a digit in aircraft.cfg, "x" in
// the block a readme asks the user to paste.
std::string section(const std::string& number, const Livery& l, const std::string& sim = "trainer") {
  const int n = number == "x" ? 0 : std::stoi(number);
  std::string s = "[fltsim." + number + "]\r\ntitle=" + l.title +
                  "\r\nsim=" + sim + "\r\nmodel=\r\npanel=\r\nsound=\r\ntexture=" + l.texture +
                  "\r\nkb_checklists=trainer_check\r\natc_id=N" + std::to_string(172 + n) + "PW\r\n";
  if (!l.airline.empty()) s += "atc_airline=" + l.airline + "\r\natc_flight_number=" + std::to_string(100 + n) + "\r\n";
  s += "ui_manufacturer=\"Paintwell\"\r\nui_type=\"Trainer\"\r\nui_variation=\"" + l.variation +
       "\"\r\nui_createdby=\"Varnel Paint Shop\"\r\ndescription=A two-seat trainer in the " + l.variation + " livery.\r\nvisual_damage=1\r\n\r\n";
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

// The codes of a canonical Huffman table from its count of codes per length.
std::vector<std::pair<std::uint32_t, int>> huffman_codes(const std::vector<int>& counts) {
  std::vector<std::pair<std::uint32_t, int>> codes;
  std::uint32_t code = 0;
  for (std::size_t length = 1; length <= counts.size(); ++length, code <<= 1) {
    for (int i = 0; i < counts[length - 1]; ++i) codes.emplace_back(code++, static_cast<int>(length));
  }
  return codes;
}

// The usual luminance DC table: categories 0 to 11.
const std::vector<int> kDcCounts = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};

// The side view of the trainer in 8x8 blocks on a 32 x 16 grid: sky, then
// the fuselage, fin and wing in the livery's colour with a white cheat line.
std::array<int, 3> thumbnail_block(int bx, int by, const Livery& l) {
  const bool fuselage = by >= 7 && by <= 9 && bx >= 4 && bx <= 27 && !(bx == 27 && by != 8);
  const bool fin = bx >= 4 && bx <= 6 && by >= 3 && by < 7 && bx - 4 >= (6 - by) / 2;
  const bool wing = by == 10 && bx >= 12 && bx <= 19;
  if (by == 8 && fuselage) return {250, 250, 250};
  if (fuselage || fin || wing) return {l.r, l.g, l.b};
  return {120 + by * 6, 160 + by * 5, 225};
}

// A baseline colour JPEG of the livery, as the simulator's aircraft menu
// shows thumbnail.jpg: every 8x8 block is plain, so each component needs
// only its DC difference and an end of block (AC table: that code alone).
std::string thumbnail(const Livery& l) {
  constexpr int kWidth = 256, kHeight = 128;
  std::string out = "\xFF\xD8\xFF\xE0";
  put_be16(out, 16);
  out += std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14);
  out += "\xFF\xDB";
  put_be16(out, 67);
  out += std::string(1, '\0') + std::string(64, '\x01');
  out += std::string("\xFF\xC0", 2);
  put_be16(out, 17);
  out += '\x08';
  put_be16(out, kHeight);
  put_be16(out, kWidth);
  out += std::string("\x03\x01\x11\0\x02\x11\0\x03\x11\0", 10);
  out += "\xFF\xC4";
  put_be16(out, 2 + 17 + 12);
  out += '\0';
  for (int count : kDcCounts) out += static_cast<char>(count);
  for (int category = 0; category <= 11; ++category) out += static_cast<char>(category);
  out += "\xFF\xC4";
  put_be16(out, 20);
  out += std::string("\x10\x01", 2) + std::string(15, '\0') + std::string(1, '\0');
  out += "\xFF\xDA";
  put_be16(out, 12);
  out += std::string("\x03\x01\0\x02\0\x03\0\0\x3F\0", 10);
  const auto dc_codes = huffman_codes(kDcCounts);
  BitWriter bits;
  std::array<int, 3> previous = {0, 0, 0};
  for (int by = 0; by < kHeight / 8; ++by) {
    for (int bx = 0; bx < kWidth / 8; ++bx) {
      const auto [r, g, b] = thumbnail_block(bx, by, l);
      const std::array<double, 3> ycc = {0.299 * r + 0.587 * g + 0.114 * b,
                                         128 - 0.168736 * r - 0.331264 * g + 0.5 * b,
                                         128 + 0.5 * r - 0.418688 * g - 0.081312 * b};
      for (int c = 0; c < 3; ++c) {
        const int dc = 8 * (static_cast<int>(ycc[c] + 0.5) - 128);
        const int diff = dc - previous[c];
        previous[c] = dc;
        int category = 0;
        while ((std::abs(diff) >> category) != 0) ++category;
        bits.put(dc_codes[static_cast<std::size_t>(category)].first, dc_codes[static_cast<std::size_t>(category)].second);
        if (category != 0) bits.put(static_cast<std::uint32_t>(diff >= 0 ? diff : diff + (1 << category) - 1), category);
        bits.put(0, 1);  // end of block
      }
    }
  }
  return out + bits.finish() + "\xFF\xD9";
}

// The livery whose texture.cfg names a shared folder its painter had but
// this simulator has not, so the demo shows what the check finds.
constexpr const char* kBrokenFallbackLivery = "Glacier";

// What a repaint folder holds: the textures that differ from the base
// livery, the thumbnail, and texture.cfg naming the aircraft's own Texture
// folder, then the simulator's.
std::vector<std::pair<std::string, std::string>> texture_files(const Livery& l, const std::string& sim = "trainer") {
  const std::string first = l.texture == kBrokenFallbackLivery ? "..\\Texture.Shared" : "..\\texture";
  return {{sim + "_t.bmp", bitmap(256, 256, l)},
          {sim + "_wing_t.bmp", bitmap(128, 128, l)},
          {"thumbnail.jpg", thumbnail(l)},
          {"texture.cfg", "[fltsim]\r\nfallback.1=" + first + "\r\nfallback.2=..\\..\\..\\..\\Texture\r\n"}};
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

// The simulator's shared textures, where every repaint's last fallback
// (..\..\..\..\Texture) leads: the root's, or an add-on's own.
void make_shared_textures(const fs::path& folder) {
  write_file(folder / "Texture" / "global_reflect.bmp", bitmap(64, 64, {"", "", "", "", 200, 200, 200}));
}

// The aircraft's sim (and the prefix of its texture files): the last word of
// its name, so the trainer and the floatplane tell their repaints apart.
std::string sim_of(const std::string& model) {
  std::string sim = model.substr(model.rfind(' ') + 1);
  for (char& c : sim) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return sim;
}

// The aircraft.cfg of an aircraft with the installed liveries, then `more`.
std::string aircraft_cfg(const std::string& model, const std::string& more = "") {
  std::string cfg = "[General]\r\natc_type=PAINTWELL\r\natc_model=PT1\r\n\r\n";
  for (std::size_t i = 0; i < kInstalled.size(); ++i) {
    Livery livery = kInstalled[i];
    livery.title.replace(0, std::string("Paintwell Trainer").size(), model);
    cfg += section(std::to_string(i), livery, sim_of(model));
  }
  return cfg + more + "[WEIGHT_AND_BALANCE]\r\nmax_gross_weight=2450\r\n";
}

// The trainer with its installed liveries and two packages in Downloads;
// `model` names it in the titles ("Paintwell Trainer Sunrise Air").
void make_aircraft(const fs::path& plane, const std::string& model = "Paintwell Trainer") {
  const std::string sim = sim_of(model);
  for (const Livery& l : kInstalled) {
    for (const auto& [name, bytes] : texture_files(l, sim)) write_file(plane / ("Texture." + l.texture) / name, bytes);
  }
  write_file(plane / "aircraft.cfg", aircraft_cfg(model));
  // The base livery every repaint falls back to.
  const Livery base{"", "", "", "", 200, 200, 200};
  write_file(plane / "Texture" / (sim + "_t.bmp"), bitmap(256, 256, base));
  write_file(plane / "Texture" / (sim + "_interior_t.bmp"), bitmap(128, 128, base));
  for (const Livery& l : kDownloads) {
    std::string name = l.variation;
    for (char& c : name) c = c == ' ' ? '_' : c;
    write_file(plane / "Downloads" / (name + "_Repaint.pkg"), package(l));
  }
}

// Prepar3D's add-on aircraft: declared in an add-on.xml of its own folder,
// that folder listed in the user's add-ons.cfg.
void make_addon(const fs::path& addons) {
  const fs::path addon = addons / "Documents" / "Prepar3D v5 Add-ons" / "Paintwell Floatplane";
  write_file(addon / "add-on.xml",
             "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<SimBase.Document Type=\"AddOnXml\" version=\"4,0\" id=\"add-on\">\r\n"
             "  <AddOn.Name>Paintwell Floatplane</AddOn.Name>\r\n  <AddOn.Component>\r\n"
             "    <Category>SimObjects</Category>\r\n    <Path>SimObjects\\Airplanes</Path>\r\n"
             "  </AddOn.Component>\r\n</SimBase.Document>\r\n");
  // Relative to add-ons.cfg's own folder, as Paintwell reads it.
  write_file(addons / "add-ons.cfg", "[Package.0]\r\nPATH=Documents\\Prepar3D v5 Add-ons\\Paintwell Floatplane\r\n"
                                     "TITLE=Paintwell Floatplane\r\nACTIVE=true\r\nREQUIRED=false\r\n");
  make_aircraft(addon / "SimObjects" / "Airplanes" / "Paintwell Floatplane", "Paintwell Floatplane");
  make_shared_textures(addon);
}

// The simulator's own list of aircraft folders, in the user's settings
// beside the root, and Paintwell.ini naming it (and the add-on
// declarations) relative to the program's folder, so a copied demo still
// finds them on systems without application data folders.
void make_settings(const fs::path& root, const fs::path& user, bool prepar3d) {
  const std::string list = prepar3d ? "simobjects.cfg" : "fsx.cfg";
  write_file(user / list, prepar3d ? "[Entry.0]\r\nTitle=Default Airplanes\r\nPath=SimObjects\\Airplanes\r\nActive=True\r\n\r\n"
                                     "[Entry.1]\r\nTitle=Default Rotorcraft\r\nPath=SimObjects\\Rotorcraft\r\nActive=False\r\n"
                                   : "[Main]\r\nSimObjectPaths.0=SimObjects\\Airplanes\r\n");
  const std::string up = "..\\..\\..\\" + user.filename().string() + "\\";
  write_file(root / "Varnel Software" / "FSX Paintwell" / "Paintwell.ini",
             "[simulator]\r\nsim_config.0=" + up + list + "\r\n" + (prepar3d ? "addons_config.0=" + up + "add-ons.cfg\r\n" : ""));
}

// ---- Downloads: repaints as the forums hand them out ----

const std::vector<Livery> kArchived = {
    {"Midnight", "Midnight Charter", "Paintwell Trainer Midnight", "MIDNIGHT", 30, 30, 70},
    {"Lagoon", "Lagoon Air Tours", "Paintwell Trainer Lagoon", "LAGOON", 20, 150, 160},
    {"Heritage", "Heritage Colours", "Paintwell Trainer Heritage", "", 150, 110, 60},
    {"Aurora", "Aurora Sky", "Paintwell Trainer Aurora", "AURORA", 120, 60, 160},
    {"Cobalt", "Cobalt Wings", "Paintwell Trainer Cobalt", "COBALT", 30, 80, 180},
    {"Sandstone", "Sandstone", "Paintwell Trainer Sandstone", "", 200, 170, 120},
};

using ArchiveFiles = std::vector<std::pair<std::string, std::string>>;

// An archive of `files` (names with '/') in libarchive's zip or 7z writer.
void write_archive(const fs::path& path, const ArchiveFiles& files, bool seven_zip = false) {
  archive* a = archive_write_new();
  const bool set = seven_zip ? archive_write_set_format_7zip(a) == ARCHIVE_OK &&
                                   archive_write_set_options(a, "7zip:compression=lzma2") == ARCHIVE_OK
                             : archive_write_set_format_zip(a) == ARCHIVE_OK;
  if (!set || archive_write_open_filename(a, path.string().c_str()) != ARCHIVE_OK) {
    throw std::runtime_error("cannot write " + path.string() + ": " + archive_error_string(a));
  }
  for (const auto& [name, bytes] : files) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, name.c_str());
    archive_entry_set_size(e, static_cast<la_int64_t>(bytes.size()));
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    if (archive_write_header(a, e) != ARCHIVE_OK ||
        archive_write_data(a, bytes.data(), bytes.size()) != static_cast<la_ssize_t>(bytes.size())) {
      throw std::runtime_error("cannot write " + path.string() + ": " + archive_error_string(a));
    }
    archive_entry_free(e);
  }
  archive_write_close(a);
  archive_write_free(a);
}

const Livery& archived(const std::string& texture) {
  for (const Livery& l : kArchived) {
    if (l.texture == texture) return l;
  }
  throw std::runtime_error("no archived livery " + texture);
}

// The livery's texture folder under `above` ("" or a path ending in '/').
void add_texture_folder(ArchiveFiles& files, const std::string& above, const Livery& l) {
  for (const auto& [name, bytes] : texture_files(l)) files.emplace_back(above + "Texture." + l.texture + "/" + name, bytes);
}

std::string readme(const std::string& blocks) {
  return "Paintwell Trainer repaint\r\n=========================\r\n\r\n"
         "Copy the Texture folder into SimObjects\\Airplanes\\Paintwell Trainer, then paste this into its\r\n"
         "aircraft.cfg and change x to the next free number:\r\n\r\n" +
         blocks + "Happy flying!\r\n";
}

// Five downloads for the trainer, one of each shape the forums use: a zip
// with a readme block, a 7z with a UTF-8 fragment (LF lines), a zip of the
// aircraft's whole path with its whole aircraft.cfg, a zip of two repaints,
// and a zip of a texture folder alone.
void make_downloads(const fs::path& folder) {
  fs::create_directories(folder);
  ArchiveFiles midnight;
  add_texture_folder(midnight, "", archived("Midnight"));
  midnight.emplace_back("readme.txt", readme(section("x", archived("Midnight"))));
  write_archive(folder / "Paintwell_Trainer_Midnight.zip", midnight);

  ArchiveFiles lagoon;
  add_texture_folder(lagoon, "Lagoon/", archived("Lagoon"));
  std::string fragment = section("x", archived("Lagoon"));
  fragment.replace(fragment.find("livery."), 7, "livery, caf\xC3\xA9 au lait trim.");
  for (std::size_t at; (at = fragment.find("\r\n")) != std::string::npos;) fragment.erase(at, 1);
  lagoon.emplace_back("Lagoon/aircraft.cfg entry.txt", "\xEF\xBB\xBF" + fragment);
  write_archive(folder / "Paintwell_Trainer_Lagoon.7z", lagoon, true);

  ArchiveFiles heritage;
  const std::string plane = "SimObjects/Airplanes/Paintwell Trainer/";
  add_texture_folder(heritage, plane, archived("Heritage"));
  heritage.emplace_back(plane + "aircraft.cfg",
                        aircraft_cfg("Paintwell Trainer", section(std::to_string(kInstalled.size()), archived("Heritage"))));
  write_archive(folder / "Paintwell_Trainer_Heritage_full_aircraft.zip", heritage);

  ArchiveFiles pair;
  add_texture_folder(pair, "", archived("Aurora"));
  add_texture_folder(pair, "", archived("Cobalt"));
  pair.emplace_back("Read Me.txt", readme(section("x", archived("Aurora")) + section("x", archived("Cobalt"))));
  write_archive(folder / "Paintwell_Trainer_Aurora_and_Cobalt.zip", pair);

  ArchiveFiles bare;
  add_texture_folder(bare, "", archived("Sandstone"));
  write_archive(folder / "Paintwell_Trainer_Sandstone_no_entry.zip", bare);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--downloads") {
    if (!fs::exists(argv[2])) make_downloads(argv[2]);
    return 0;
  }
  const bool prepar3d = argc == 4 && std::string(argv[1]) == "--prepar3d";
  if (argc != 2 && !prepar3d) {
    std::cerr << "usage: make_demo ROOT | make_demo --prepar3d ROOT ADDONS | make_demo --downloads FOLDER\n";
    return 2;
  }
  const fs::path root = argv[prepar3d ? 2 : 1];
  if (fs::exists(root)) return 0;  // made already: keep what the user did there
  if (prepar3d) {
    write_file(root / "Prepar3D.exe", pw::demo::pe_image_with_version(5, 3, 17, 28160));
    make_addon(argv[3]);
    make_settings(root, fs::absolute(argv[3]), true);
  } else {
    write_file(root / "FSX.EXE", pw::demo::pe_image_with_version(10, 0, 61637, 0));
    make_settings(root, fs::absolute(root).parent_path() / "fsx-user", false);
    // A second aircraft, so that the library has more than one.
    make_aircraft(root / "SimObjects" / "Airplanes" / "Paintwell Floatplane", "Paintwell Floatplane");
  }
  make_aircraft(root / "SimObjects" / "Airplanes" / "Paintwell Trainer");
  make_shared_textures(root);
  write_file(root / "Paintwell Trainer.rcf", rcf_text());
  std::cout << "demo simulator made in " << root.string() << "\n";
  return 0;
}
