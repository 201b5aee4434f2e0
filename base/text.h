// Byte-string helpers. Text in the core is Windows-1252 bytes, as the
// simulator's files hold it; conversion to Unicode happens only at the
// edges (screens, command line, native file names).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pw {

// Removes leading and trailing blanks (byte 0x20 only), as the design's
// "trim" does everywhere.
std::string trim_blanks(std::string_view text);
std::string_view trim_blanks_view(std::string_view text);

// Removes leading and trailing blanks and tabs.
std::string trim_blanks_tabs(std::string_view text);

// Lower case of ASCII and of the Windows-1252 letters that have one.
// Inline with iequals: profile look-ups compare every key line they pass.
inline char to_lower_byte(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 0x20);
  if (b < 0x8A) return c;
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 0x20);
  if (b == 0x8A || b == 0x8C || b == 0x8E) return static_cast<char>(b + 0x10);
  if (b == 0x9F) return static_cast<char>(0xFF);
  return c;
}
std::string to_lower(std::string_view text);

// Equal without regard to letter case (Windows-1252).
inline bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && to_lower_byte(a[i]) != to_lower_byte(b[i])) return false;
  }
  return true;
}

bool starts_with_ci(std::string_view text, std::string_view prefix);
bool ends_with_ci(std::string_view text, std::string_view suffix);

// Every occurrence of `from` replaced by `to`, scanning left to right.
std::string replace_all(std::string_view text, std::string_view from, std::string_view to);

// "\\" reduced to "\" throughout, as the design cleans every built path.
std::string collapse_backslashes(std::string_view path);

// Splits text into lines as the configuration readers see them: CR LF or a
// lone CR ends a line, a lone LF stays part of the line, and the last line
// needs no line end (a final line end does not start another line).
std::vector<std::string> split_lines(std::string_view text);
// Walks `text` line by line as split_lines cuts it, without collecting.
class LineWalker {
 public:
  explicit LineWalker(std::string_view text) : text_(text) {}
  // The next line without its line end; false after the last one.
  bool next(std::string_view& line) {
    if (start_ >= text_.size()) return false;
    const std::size_t cr = text_.find('\r', start_);
    if (cr == std::string_view::npos) {
      line = text_.substr(start_);
      start_ = text_.size();
      return true;
    }
    line = text_.substr(start_, cr - start_);
    start_ = cr + 1;
    if (start_ < text_.size() && text_[start_] == '\n') ++start_;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t start_ = 0;
};

// Wildcard match of a whole name: '*' any run, '?' one byte; letter case ignored.
bool wildcard_match(std::string_view pattern, std::string_view name);

// Windows-1252 <-> UTF-8. Bytes that Windows-1252 leaves undefined map to
// the C1 control of the same number; UTF-8 input that has no Windows-1252
// form becomes '?', and so does each ill-formed part of it (overlong forms,
// surrogates, beyond U+10FFFF, cut short): a native name can never decode
// to a separator or a dot it does not hold.
std::string cp1252_to_utf8(std::string_view text);
std::string utf8_to_cp1252(std::string_view text);

}  // namespace pw
