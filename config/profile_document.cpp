#include "config/profile.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "base/text.h"
#include "config/raw_lines.h"

namespace pw {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kNpos = std::string_view::npos;

bool is_blank_or_tab(char c) { return c == ' ' || c == '\t'; }

// By hand: the library's find_first_not_of searches its set once per byte.
std::string_view trim_view(std::string_view text) {
  while (!text.empty() && is_blank_or_tab(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank_or_tab(text.back())) text.remove_suffix(1);
  return text;
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

// The trimmed name of a section header line; nullopt for any other line.
std::optional<std::string_view> header_name(std::string_view line) {
  const std::string_view text = trim_view(content_of(line));
  if (text.empty() || text.front() != '[') return std::nullopt;
  const std::size_t close = text.rfind(']');
  if (close == kNpos) return std::nullopt;
  return trim_view(text.substr(1, close - 1));
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

bool has_line_end(std::string_view text) { return text.find('\r') != kNpos || text.find('\n') != kNpos; }

// key_of(content_of(line)) equals `key` (trimmed, without '=' or line ends) without
// regard to case. Compares in place, first bytes first: writes scan every
// line of a section for each key they set.
bool line_has_key(std::string_view line, std::string_view key) {
  std::size_t i = 0;
  while (i < line.size() && is_blank_or_tab(line[i])) ++i;
  if (line.size() - i < key.size() || !iequals(line.substr(i, key.size()), key)) return false;
  i += key.size();
  while (i < line.size() && is_blank_or_tab(line[i])) ++i;
  return i == line.size() || line[i] == '=' || line[i] == '\r' || line[i] == '\n';
}

// Whether a trimmed key can be the key of a line: a key line's key is never
// empty and never holds '=' or a line end.
bool can_name_a_line(std::string_view key) { return !key.empty() && key.find('=') == kNpos && !has_line_end(key); }

// Index of the first line of a section (after its header) holding `key`;
// 0 when there is none or the key names no line. A section holds a few
// dozen lines, so a scan beats keeping an index up to date under writes.
std::size_t key_line(const std::vector<std::string_view>& lines, std::string_view key) {
  key = trim_view(key);
  if (!can_name_a_line(key)) return 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (line_has_key(lines[i], key)) return i;
  }
  return 0;
}

// Index of the last line that holds more than blanks; the header counts.
std::size_t last_filled_line(const std::vector<std::string_view>& lines) {
  std::size_t last = lines.size() - 1;
  while (last > 0 && trim_view(content_of(lines[last])).empty()) --last;
  return last;
}

// Whether key=value written as a new line of its section reads back as
// exactly that key: one line, not a header, a key no earlier line set
// (`earlier`: their keys, trimmed).
bool is_plain_new_line(std::string_view key, std::string_view value, const std::vector<std::string_view>& earlier) {
  if (!can_name_a_line(key) || key.front() == '[' || has_line_end(value)) return false;
  return std::none_of(earlier.begin(), earlier.end(), [&](std::string_view e) { return iequals(e, key); });
}

}  // namespace

ProfileDocument ProfileDocument::parse(std::string_view bytes) {
  ProfileDocument document;
  RawLines lines(document.store_.keep({bytes}));
  std::string_view line;
  std::vector<Section>& sections = document.sections_;
  while (lines.next(line)) {
    if (const auto name = header_name(line)) {
      // Sections of one file tend to be alike in size.
      const std::size_t expected = sections.back().lines.size();
      sections.push_back(Section{*name, {}});
      sections.back().lines.reserve(expected);
    }
    sections.back().lines.push_back(line);
  }
  return document;
}

std::string ProfileDocument::serialize() const {
  std::size_t size = 0;
  for (const Section& section : sections_) {
    for (std::string_view line : section.lines) size += line.size();
  }
  std::string bytes;
  bytes.reserve(size);
  for (const Section& section : sections_) {
    for (std::string_view line : section.lines) bytes += line;
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

std::optional<std::size_t> ProfileDocument::section_position(std::string_view section) const {
  const std::size_t s = section_index(section);
  if (s == kNoSection) return std::nullopt;
  return s - 1;
}

std::optional<std::string> ProfileDocument::find(std::string_view section, std::string_view key) const {
  const std::optional<std::size_t> position = section_position(section);
  if (!position) return std::nullopt;
  return find_in(*position, key);
}

void ProfileDocument::write(std::string_view section, std::string_view key, std::string_view value) {
  const std::size_t s = section_index(section);
  if (s == kNoSection) {
    append_section(section, key, value);
    return;
  }
  std::vector<std::string_view>& lines = sections_[s].lines;
  const std::size_t at = key_line(lines, key);
  if (at != 0) {
    const std::string_view end = line_end_of(lines[at]);
    splice(s, at, at + 1, store_.keep({key, "=", value, end.empty() ? kCrLf : end}));
    return;
  }
  const std::size_t after = last_filled_line(lines) + 1;
  ensure_line_end(lines[after - 1]);
  splice(s, after, after, store_.keep({key, "=", value, kCrLf}));
}

void ProfileDocument::write_all(std::string_view section, const std::vector<KeyValue>& values) {
  std::size_t next = 0;
  if (!values.empty() && section_index(section) == kNoSection) {
    write(section, values[0].key, values[0].value);
    next = 1 + append_plain_lines(section, values);
  }
  for (; next < values.size(); ++next) write(section, values[next].key, values[next].value);
}

std::size_t ProfileDocument::append_plain_lines(std::string_view section, const std::vector<KeyValue>& values) {
  // The section just added must be the one later writes find, and its last
  // line the place where they would add their keys.
  const std::size_t s = sections_.size() - 1;
  std::vector<std::string_view>& lines = sections_[s].lines;
  if (s == kNoSection || section_index(section) != s || last_filled_line(lines) + 1 != lines.size()) return 0;
  // The keys the section holds already: the first value may have brought
  // lines of its own. Lines must be plain, as later writes would see them;
  // only the last value may end in line ends, whose empty lines then follow
  // every key, where its own write would put them.
  std::vector<std::string_view> earlier;
  for (std::size_t i = 1; i < lines.size(); ++i) earlier.push_back(key_of(content_of(lines[i])));
  std::size_t end = 1;
  std::size_t size = 0;
  for (; end < values.size(); ++end) {
    const std::string_view key = trim_view(values[end].key);
    std::string_view value = values[end].value;
    if (end + 1 == values.size()) value = value.substr(0, value.find_last_not_of(kCrLf) + 1);
    if (!is_plain_new_line(key, value, earlier)) break;
    earlier.push_back(key);
    size += values[end].key.size() + values[end].value.size() + 3;
  }
  if (end == 1) return 0;
  char* out = store_.take(size);
  lines.reserve(lines.size() + end);
  for (std::size_t i = 1; i < end; ++i) {
    char* const line = out;
    for (std::string_view piece : {values[i].key, std::string_view("="), values[i].value, kCrLf}) {
      if (!piece.empty()) std::memcpy(out, piece.data(), piece.size());
      out += piece.size();
    }
    // No line can be a header, so the lines join the section without the
    // splitting a splice does; only the last value's line ends make more
    // than one line.
    const std::string_view text(line, static_cast<std::size_t>(out - line));
    if (i + 1 < values.size()) {
      lines.push_back(text);
      continue;
    }
    RawLines split(text);
    for (std::string_view part; split.next(part);) lines.push_back(part);
  }
  return end - 1;
}

void ProfileDocument::ensure_line_end(std::string_view& line) {
  if (line_end_length(line) == 0) line = store_.keep({line, kCrLf});
}

void ProfileDocument::append_section(std::string_view section, std::string_view key, std::string_view value) {
  const std::size_t s = sections_.size() - 1;
  std::vector<std::string_view>& lines = sections_[s].lines;
  if (!lines.empty()) ensure_line_end(lines.back());
  splice(s, lines.size(), lines.size(), store_.keep({"[", section, "]", kCrLf, key, "=", value, kCrLf}));
}

void ProfileDocument::splice(std::size_t s, std::size_t first, std::size_t last, std::string_view text) {
  std::vector<std::string_view>& lines = sections_[s].lines;
  // Parsing the bytes would join a lone CR ending the line before and an LF
  // starting the text into one CR LF; so does the document, or later writes
  // would place their lines differently.
  if (first > 0 && !text.empty() && text.front() == '\n' && lines[first - 1].ends_with('\r')) {
    lines[first - 1] = store_.keep({lines[first - 1], "\n"});
    text.remove_prefix(1);
  }
  auto at = lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(first),
                        lines.begin() + static_cast<std::ptrdiff_t>(last));
  std::size_t count = 0;
  RawLines split(text);
  for (std::string_view line; split.next(line); ++count) at = lines.insert(at, line) + 1;
  split_at_new_headers(s, first, first + count);
}

void ProfileDocument::split_at_new_headers(std::size_t s, std::size_t from, std::size_t to) {
  std::vector<std::string_view>& lines = sections_[s].lines;
  // Line 0 of a section is its own header; the preamble has none.
  std::size_t cut = s == 0 ? from : std::max<std::size_t>(from, 1);
  while (cut < to && !header_name(lines[cut])) ++cut;
  if (cut >= to) return;
  std::vector<Section> added;
  for (std::size_t i = cut; i < lines.size(); ++i) {
    if (const auto name = header_name(lines[i])) added.push_back(Section{*name, {}});
    added.back().lines.push_back(lines[i]);
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
  for (std::size_t i = 1; i < sections_.size(); ++i) names.emplace_back(sections_[i].name);
  return names;
}

std::optional<std::string> ProfileDocument::find_in(std::size_t position, std::string_view key) const {
  if (position + 1 >= sections_.size()) return std::nullopt;
  const std::vector<std::string_view>& lines = sections_[position + 1].lines;
  const std::size_t at = key_line(lines, key);
  if (at == 0) return std::nullopt;
  return std::string(unquote(raw_value_of(content_of(lines[at]))));
}

std::vector<ProfileDocument::KeyValue> ProfileDocument::key_values(std::size_t position) const {
  std::vector<KeyValue> values;
  if (position + 1 >= sections_.size()) return values;
  const std::vector<std::string_view>& lines = sections_[position + 1].lines;
  values.reserve(lines.size());
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string_view content = content_of(lines[i]);
    const std::string_view key = key_of(content);
    if (!key.empty()) values.push_back({key, unquote(raw_value_of(content))});
  }
  return values;
}

void ProfileDocument::rename_section(std::size_t position, std::string_view name) {
  if (position + 1 >= sections_.size()) return;
  Section& section = sections_[position + 1];
  const std::string_view header = store_.keep({"[", name, "]", line_end_of(section.lines[0])});
  section.lines[0] = header;
  section.name = trim_view(header.substr(1, name.size()));
  index_valid_ = false;
}

std::string clip_profile_value(std::string_view found) {
  // NULs read as blanks, so they are trimmed with them.
  const auto is_blank = [](char c) { return c == ' ' || c == '\0'; };
  std::string_view value = found.substr(0, kMaxProfileValue);
  while (!value.empty() && is_blank(value.front())) value.remove_prefix(1);
  while (!value.empty() && is_blank(value.back())) value.remove_suffix(1);
  std::string clipped(value);
  std::replace(clipped.begin(), clipped.end(), '\0', ' ');
  return clipped;
}

std::string read_profile_value(const ProfileDocument& document, std::string_view section, std::string_view key) {
  const std::optional<std::string> found = document.find(section, key);
  if (!found) return {};
  return clip_profile_value(*found);
}

}  // namespace pw
