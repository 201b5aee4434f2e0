#include "packages/download_scan.h"

#include <algorithm>
#include <bitset>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/file_ops.h"
#include "base/text.h"

namespace pw {
namespace {

constexpr std::string_view kTexturePrefix = "texture.";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The components of a path in the download, at either separator.
std::vector<std::string_view> components_of(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t cut = path.find_first_of("\\/");
    const std::string_view part = path.substr(0, cut);
    if (!part.empty()) parts.push_back(part);
    if (cut == std::string_view::npos) break;
    path.remove_prefix(cut + 1);
  }
  return parts;
}

std::string joined(const std::vector<std::string_view>& parts, std::size_t count) {
  std::string path;
  for (std::size_t i = 0; i < count; ++i) path += (i ? "\\" : "") + std::string(parts[i]);
  return path;
}

// A zip held in the download names the files read from it: it is no folder
// of the download, whatever its name.
bool is_inner_zip(std::string_view name) { return ends_with_ci(name, ".zip"); }

bool is_texture_folder(std::string_view name) {
  return name.size() > kTexturePrefix.size() && starts_with_ci(name, kTexturePrefix) && !is_inner_zip(name);
}

// The aircraft's own folders a repaint never brings in: only texture
// folders are installed. The bare names are those of the default ones.
bool is_left_out_folder(std::string_view name) {
  if (is_inner_zip(name)) return false;
  for (const std::string_view kind : {"model", "panel", "sound"}) {
    if (iequals(name, kind) || starts_with_ci(name, std::string(kind) + ".")) return true;
  }
  return false;
}

// Well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF) holding at least one byte past ASCII: a text that is surely
// not Windows-1252, whose accented letters would read as two bytes each.
bool is_utf8_beyond_ascii(std::string_view text) {
  bool beyond = false;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) continue;
    beyond = true;
    const std::size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
    if (extra == 0 || lead > 0xF4 || i + extra > text.size()) return false;
    const auto second = static_cast<unsigned char>(text[i]);
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (second < low || second > high) return false;
    for (std::size_t k = 1; k < extra; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra;
  }
  return beyond;
}

std::string as_cp1252(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
  return is_utf8_beyond_ascii(bytes) ? utf8_to_cp1252(bytes) : std::string(bytes);
}

std::string_view trim_blanks_and_tabs(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The trimmed name of a header line, as the profile reader takes it;
// nullopt for any other line.
std::optional<std::string_view> header_name(std::string_view line) {
  line = trim_blanks_and_tabs(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t close = line.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim_blanks_and_tabs(line.substr(1, close - 1));
}

// A value as the profile reader gives it: one pair of quotes removed.
std::string_view unquoted(std::string_view value) {
  value = trim_blanks_and_tabs(value);
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
  return trim_blanks_view(quoted ? value.substr(1, value.size() - 2) : value);
}

struct Block {
  FltsimEntry entry;
  std::string source;
  std::vector<std::string> keys_left_out;
  std::string refusal;
};

// Takes one key line of a block. The first line of a key wins, as a
// look-up in aircraft.cfg would find it.
void add_key_line(Block& block, std::string_view key, std::string_view value, std::bitset<kFltsimKeyCount>& seen) {
  const std::size_t f = field_of_key(key);
  if (f == kFltsimKeyCount) {
    for (const std::string& known : block.keys_left_out) {
      if (iequals(known, key)) return;
    }
    block.keys_left_out.emplace_back(key);
    return;
  }
  if (seen[f]) return;
  seen[f] = true;
  const FltsimField& field = fltsim_fields()[f];
  if (value.size() > field.width && block.refusal.empty()) {
    block.refusal = "the value of " + std::string(field.key) + " is longer than its field (" +
                    std::to_string(field.width) + " characters)";
  }
  set_field(block.entry, field, std::string(value));
}

// Every [fltsim.x] block of a text, its lines ended by CR LF, LF or a lone
// CR. A readme's prose between and after the blocks holds no '=' on most
// lines; lines that do are taken as keys the entry does not hold and
// named, which is what a reader should look at anyway.
std::vector<Block> blocks_of(std::string_view text, const std::string& file) {
  std::vector<Block> blocks;
  std::bitset<kFltsimKeyCount> seen;
  bool in_block = false;
  for (std::size_t start = 0, number = 1; start < text.size(); ++number) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    const std::string_view line = text.substr(start, end - start);
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    const std::size_t equals = line.find('=');
    if (const auto name = header_name(line)) {
      in_block = starts_with_ci(*name, "fltsim.");
      if (in_block) blocks.push_back({{}, file + ", line " + std::to_string(number), {}, {}});
      seen.reset();
    } else if (in_block && equals != std::string_view::npos) {
      const std::string_view key = trim_blanks_and_tabs(line.substr(0, equals));
      if (!key.empty() && key.front() != ';') add_key_line(blocks.back(), key, unquoted(line.substr(equals + 1)), seen);
    }
  }
  return blocks;
}

// The texture folders and the left-out folders of the file list, in the
// download's order. A file belongs to the outermost texture folder on its
// path; a model, panel or sound folder inside a texture folder is the
// repaint's own business.
class FolderFinder {
 public:
  explicit FolderFinder(DownloadScan& scan) : scan_(scan) {}

  void add_file(std::size_t index, std::string_view name) {
    const std::vector<std::string_view> parts = components_of(name);
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
      if (is_texture_folder(parts[i])) return add_to_repaint(index, parts, i);
      if (is_left_out_folder(parts[i])) add_left_out(joined(parts, i + 1));
    }
  }

 private:
  void add_to_repaint(std::size_t index, const std::vector<std::string_view>& parts, std::size_t at) {
    const std::string folder = joined(parts, at + 1);
    const auto [hit, added] = by_folder_.emplace(to_lower(folder), scan_.repaints.size());
    if (added) {
      FoundRepaint repaint;
      repaint.folder = folder;
      repaint.texture = trim_blanks(parts[at].substr(kTexturePrefix.size()));
      repaint.source = kMadeUpSource;
      for (std::size_t i = 0; i < at; ++i) repaint.path_above.emplace_back(parts[i]);
      scan_.repaints.push_back(std::move(repaint));
    }
    scan_.repaints[hit->second].files.push_back(index);
  }

  void add_left_out(const std::string& folder) {
    if (left_out_.insert(to_lower(folder)).second) scan_.left_out.push_back(folder);
  }

  DownloadScan& scan_;
  std::unordered_map<std::string, std::size_t> by_folder_;  // lower-case folder -> repaint
  std::unordered_set<std::string> left_out_;                // lower-case
};

void pair_with_block(FoundRepaint& repaint, Block block) {  // a copy: folders may share a block
  if (Result<void> text = check_entry_text(block.entry); !text && block.refusal.empty()) {
    block.refusal = text.error().message;
  }
  repaint.entry = std::move(block.entry);
  repaint.source = std::move(block.source);
  repaint.keys_left_out = std::move(block.keys_left_out);
  repaint.refusal = std::move(block.refusal);
}

}  // namespace

DownloadScan scan_download(const DownloadContents& contents) {
  DownloadScan scan;
  FolderFinder folders(scan);
  for (std::size_t i = 0; i < contents.files.size(); ++i) folders.add_file(i, contents.files[i].name);

  // Several blocks for one texture (a readme and an aircraft.cfg both
  // holding it): the first in the download's order wins.
  std::unordered_map<std::string, Block> first_blocks;  // lower-case texture -> block
  for (const DownloadText& text : contents.texts) {
    if (text.file >= contents.files.size()) continue;
    for (Block& block : blocks_of(as_cp1252(text.bytes), file_name(contents.files[text.file].name))) {
      first_blocks.emplace(to_lower(block.entry.texture), std::move(block));
    }
  }
  for (FoundRepaint& repaint : scan.repaints) {
    const auto hit = first_blocks.find(to_lower(repaint.texture));
    if (hit != first_blocks.end()) pair_with_block(repaint, hit->second);
  }
  return scan;
}

FltsimEntry made_up_entry(const FltsimEntry& first_entry, const std::string& texture) {
  FltsimEntry entry = first_entry;
  entry.texture = texture;
  entry.title = first_entry.title + " " + texture;
  entry.ui_variation = texture;
  return entry;
}

}  // namespace pw
