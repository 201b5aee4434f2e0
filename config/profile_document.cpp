#include "config/profile.h"

#include <algorithm>
#include <iterator>

#include "app/text.h"

namespace pw {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kNpos = std::string_view::npos;

std::string_view trim_view(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == kNpos) return {};
  const std::size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end + 1 - begin);
}

// 2 for CR LF, 1 for a lone CR or LF, 0 for the last line of a file
// without a line end.
std::size_t line_end_length(std::string_view line) {
  if (line.size() >= 2 && line.substr(line.size() - 2) == kCrLf) return 2;
  if (!line.empty() && (line.back() == '\r' || line.back() == '\n')) return 1;
  return 0;
}

std::string_view content_of(std::string_view line) {
  return line.substr(0, line.size() - line_end_length(line));
}

std::string_view line_end_of(std::string_view line) {
  return line.substr(line.size() - line_end_length(line));
}

// Raw lines, each keeping its own line end, so that joining them gives the
// bytes back.
std::vector<std::string> split_raw_lines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of(kCrLf, start);
    if (end == kNpos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ++end;
    lines.emplace_back(bytes.substr(start, end + 1 - start));
    start = end + 1;
  }
  return lines;
}

// The trimmed name of a section header line; nullopt for any other line.
std::optional<std::string_view> header_name(std::string_view line) {
  const std::string_view text = content_of(line);
  const std::size_t open = text.find_first_not_of(" \t");
  if (open == kNpos || text[open] != '[') return std::nullopt;
  const std::size_t close = text.rfind(']');
  if (close == kNpos) return std::nullopt;
  return trim_view(text.substr(open + 1, close - open - 1));
}

std::string_view key_of(std::string_view content) { return trim_view(content.substr(0, content.find('='))); }

std::string_view raw_value_of(std::string_view content) {
  const std::size_t equals = content.find('=');
  return equals == kNpos ? std::string_view{} : content.substr(equals + 1);
}

std::string_view unquote(std::string_view value) {
  value = trim_view(value);
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  return quoted ? value.substr(1, value.size() - 2) : value;
}

// Index of the first line of a section (after its header) holding `key`;
// 0 when there is none. An empty key names no line. A scan, for writes:
// each write changes the lines, so an index would be rebuilt every time.
std::size_t scan_key_line(const std::vector<std::string>& lines, std::string_view key) {
  key = trim_view(key);
  if (key.empty()) return 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (iequals(key_of(content_of(lines[i])), key)) return i;
  }
  return 0;
}

// Index of the last line that holds more than blanks; the header counts.
std::size_t last_filled_line(const std::vector<std::string>& lines) {
  std::size_t last = lines.size() - 1;
  while (last > 0 && trim_view(content_of(lines[last])).empty()) --last;
  return last;
}

void ensure_line_end(std::string& line) {
  if (line_end_length(line) == 0) line += kCrLf;
}

}  // namespace

std::size_t ProfileDocument::Section::key_line(std::string_view key) const {
  key = trim_view(key);
  if (key.empty()) return 0;
  if (!keys_valid) {
    keys.clear();
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::string_view k = key_of(content_of(lines[i]));
      if (!k.empty()) keys.emplace(to_lower(k), i);  // the first line of a key wins
    }
    keys_valid = true;
  }
  const auto hit = keys.find(to_lower(key));
  return hit == keys.end() ? 0 : hit->second;
}

ProfileDocument ProfileDocument::parse(std::string_view bytes) {
  ProfileDocument document;
  for (std::string& line : split_raw_lines(bytes)) {
    if (const auto name = header_name(line)) document.sections_.push_back(Section{std::string(*name), {}, {}, false});
    document.sections_.back().lines.push_back(std::move(line));
  }
  return document;
}

std::string ProfileDocument::serialize() const {
  std::size_t size = 0;
  for (const Section& section : sections_) {
    for (const std::string& line : section.lines) size += line.size();
  }
  std::string bytes;
  bytes.reserve(size);
  for (const Section& section : sections_) {
    for (const std::string& line : section.lines) bytes += line;
  }
  return bytes;
}

void ProfileDocument::rebuild_index() const {
  index_.clear();
  for (std::size_t i = 1; i < sections_.size(); ++i) index_.emplace(to_lower(sections_[i].name), i);
  index_valid_ = true;
}

std::size_t ProfileDocument::section_index(std::string_view name) const {
  if (!index_valid_) rebuild_index();
  const auto hit = index_.find(to_lower(trim_view(name)));
  return hit == index_.end() ? kNoSection : hit->second;
}

std::optional<std::string> ProfileDocument::find(std::string_view section, std::string_view key) const {
  const std::size_t s = section_index(section);
  if (s == kNoSection) return std::nullopt;
  return find_in(s - 1, key);
}

void ProfileDocument::write(std::string_view section, std::string_view key, std::string_view value) {
  std::string line;
  line.reserve(key.size() + value.size() + 3);
  line.append(key).append("=").append(value);
  const std::size_t s = section_index(section);
  if (s == kNoSection) {
    append_section(section, std::move(line));
    return;
  }
  std::vector<std::string>& lines = sections_[s].lines;
  const std::size_t at = scan_key_line(lines, key);
  if (at != 0) {
    const std::string_view end = line_end_of(lines[at]);
    line += end.empty() ? kCrLf : end;
    splice(s, at, at + 1, line);
    return;
  }
  const std::size_t after = last_filled_line(lines) + 1;
  ensure_line_end(lines[after - 1]);
  splice(s, after, after, line.append(kCrLf));
}

void ProfileDocument::append_section(std::string_view section, std::string line) {
  const std::size_t s = sections_.size() - 1;
  std::vector<std::string>& lines = sections_[s].lines;
  if (!lines.empty()) ensure_line_end(lines.back());
  std::string text;
  text.reserve(section.size() + line.size() + 6);
  text.append("[").append(section).append("]").append(kCrLf).append(line).append(kCrLf);
  splice(s, lines.size(), lines.size(), text);
}

void ProfileDocument::splice(std::size_t s, std::size_t first, std::size_t last, std::string_view text) {
  std::vector<std::string>& lines = sections_[s].lines;
  sections_[s].keys_valid = false;
  // A text starting with LF after a line ending in a lone CR gives an empty
  // line where parsing the bytes would give one CR LF; both read the same.
  std::vector<std::string> fresh = split_raw_lines(text);
  const std::size_t count = fresh.size();
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(first), lines.begin() + static_cast<std::ptrdiff_t>(last));
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(first), std::make_move_iterator(fresh.begin()),
               std::make_move_iterator(fresh.end()));
  split_at_new_headers(s, first, first + count);
}

void ProfileDocument::split_at_new_headers(std::size_t s, std::size_t from, std::size_t to) {
  std::vector<std::string>& lines = sections_[s].lines;
  // Line 0 of a section is its own header; the preamble has none.
  std::size_t cut = s == 0 ? from : std::max<std::size_t>(from, 1);
  while (cut < to && !header_name(lines[cut])) ++cut;
  if (cut >= to) return;
  std::vector<Section> added;
  for (std::size_t i = cut; i < lines.size(); ++i) {
    if (const auto name = header_name(lines[i])) added.push_back(Section{std::string(*name), {}, {}, false});
    added.back().lines.push_back(std::move(lines[i]));
  }
  lines.resize(cut);
  const bool at_end = s + 1 == sections_.size();
  if (at_end && index_valid_) {
    // Appending keeps every earlier position, so the index only grows.
    for (std::size_t i = 0; i < added.size(); ++i) index_.emplace(to_lower(added[i].name), s + 1 + i);
  } else {
    index_valid_ = false;
  }
  sections_.insert(sections_.begin() + static_cast<std::ptrdiff_t>(s + 1), std::make_move_iterator(added.begin()),
                   std::make_move_iterator(added.end()));
}

bool ProfileDocument::delete_section(std::string_view section) {
  const std::size_t s = section_index(section);
  if (s == kNoSection) return false;
  sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(s));
  index_valid_ = false;
  return true;
}

std::size_t ProfileDocument::delete_sections(const std::vector<std::string>& sections) {
  // Each name takes the next of its sections in file order, as repeated
  // calls of delete_section would; one compaction, one index rebuild.
  std::unordered_map<std::string, std::vector<std::size_t>> places;
  for (std::size_t i = 1; i < sections_.size(); ++i) places[to_lower(sections_[i].name)].push_back(i);
  std::unordered_map<std::string, std::size_t> taken;
  std::vector<bool> doomed(sections_.size(), false);
  std::size_t removed = 0;
  for (const std::string& section : sections) {
    const std::string name = to_lower(trim_view(section));
    const auto hit = places.find(name);
    if (hit == places.end()) continue;
    std::size_t& next = taken[name];
    if (next == hit->second.size()) continue;
    doomed[hit->second[next++]] = true;
    ++removed;
  }
  if (removed == 0) return 0;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (doomed[i]) continue;
    if (kept != i) sections_[kept] = std::move(sections_[i]);
    ++kept;
  }
  sections_.resize(kept);
  index_valid_ = false;
  return removed;
}

std::vector<std::string> ProfileDocument::section_names() const {
  std::vector<std::string> names;
  names.reserve(sections_.size() - 1);
  for (std::size_t i = 1; i < sections_.size(); ++i) names.push_back(sections_[i].name);
  return names;
}

std::optional<std::string> ProfileDocument::find_in(std::size_t position, std::string_view key) const {
  if (position + 1 >= sections_.size()) return std::nullopt;
  const std::vector<std::string>& lines = sections_[position + 1].lines;
  const std::size_t at = sections_[position + 1].key_line(key);
  if (at == 0) return std::nullopt;
  return std::string(unquote(raw_value_of(content_of(lines[at]))));
}

void ProfileDocument::rename_section(std::size_t position, std::string_view name) {
  if (position + 1 >= sections_.size()) return;
  Section& section = sections_[position + 1];
  std::string header = "[" + std::string(name) + "]";
  header += line_end_of(section.lines[0]);
  section.lines[0] = std::move(header);
  section.name = std::string(trim_view(name));
  index_valid_ = false;
}

std::string read_profile_value(const ProfileDocument& document, std::string_view section, std::string_view key) {
  // The platform copies into a 255-byte buffer, one byte of which is the NUL.
  constexpr std::size_t kMaxValue = 254;
  const std::optional<std::string> found = document.find(section, key);
  if (!found) return {};
  std::string value = found->substr(0, kMaxValue);
  std::replace(value.begin(), value.end(), '\0', ' ');
  return trim_blanks(value);
}

}  // namespace pw
