#include "base/text.h"

#include <array>
#include <cstdint>

namespace pw {
namespace {

bool is_blank(char c) { return c == ' '; }
bool is_blank_or_tab(char c) { return c == ' ' || c == '\t'; }

template <class Pred>
std::string_view trim_if(std::string_view text, Pred pred) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && pred(text[begin])) ++begin;
  while (end > begin && pred(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// Unicode code points of Windows-1252 bytes 0x80..0x9F.
constexpr std::array<std::uint16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::uint32_t kReplacement = 0xFFFD;

std::uint32_t code_point_of(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

void append_utf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char byte_of(std::uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// The range the byte after `lead` must fall in for a well-formed sequence
// (0x80..0xBF but for the leads below), and how many bytes follow the lead;
// 0 bytes for a byte that starts no sequence. The narrow ranges refuse
// overlong forms, surrogates and code points above U+10FFFF.
struct LeadRule {
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  std::size_t extra = 0;
};

LeadRule rule_of(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {0x80, 0xBF, 1};
  if (lead == 0xE0) return {0xA0, 0xBF, 2};
  if (lead == 0xED) return {0x80, 0x9F, 2};
  if (lead >= 0xE1 && lead <= 0xEF) return {0x80, 0xBF, 2};
  if (lead == 0xF0) return {0x90, 0xBF, 3};
  if (lead == 0xF4) return {0x80, 0x8F, 3};
  if (lead >= 0xF1 && lead <= 0xF3) return {0x80, 0xBF, 3};
  return {};
}

// Decodes one UTF-8 sequence at text[i] and advances i past it. A byte
// that starts no sequence, or a sequence cut short or ill-formed, decodes
// as one U+FFFD for its longest well-formed start, as Unicode recommends:
// "\xC0\xAF" is two of them, never '/'.
std::uint32_t decode_utf8(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  const LeadRule rule = rule_of(lead);
  if (rule.extra == 0) return kReplacement;
  std::uint32_t cp = lead & (0x3F >> rule.extra);
  for (std::size_t k = 0; k < rule.extra; ++k) {
    if (i >= text.size()) return kReplacement;
    const auto cont = static_cast<unsigned char>(text[i]);
    const unsigned char low = k == 0 ? rule.low : 0x80;
    const unsigned char high = k == 0 ? rule.high : 0xBF;
    if (cont < low || cont > high) return kReplacement;
    cp = (cp << 6) | (cont & 0x3F);
    ++i;
  }
  return cp;
}

}  // namespace

std::string trim_blanks(std::string_view text) { return std::string(trim_if(text, is_blank)); }

std::string_view trim_blanks_view(std::string_view text) { return trim_if(text, is_blank); }

std::string trim_blanks_tabs(std::string_view text) { return std::string(trim_if(text, is_blank_or_tab)); }

std::string to_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = to_lower_byte(c);
  return out;
}

bool starts_with_ci(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && iequals(text.substr(0, prefix.size()), prefix);
}

bool ends_with_ci(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && iequals(text.substr(text.size() - suffix.size()), suffix);
}

std::string replace_all(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  std::size_t pos = 0;
  while (true) {
    const std::size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::string collapse_backslashes(std::string_view path) { return replace_all(path, "\\\\", "\\"); }

std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines;
  LineWalker walker(text);
  for (std::string_view line; walker.next(line);) lines.emplace_back(line);
  return lines;
}

bool wildcard_match(std::string_view pattern, std::string_view name) {
  // Iterative match with one backtrack point for the last '*'.
  std::size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || to_lower_byte(pattern[p]) == to_lower_byte(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string cp1252_to_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) append_utf8(out, code_point_of(static_cast<unsigned char>(c)));
  return out;
}

std::string utf8_to_cp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) out += byte_of(decode_utf8(text, i));
  return out;
}

}  // namespace pw
