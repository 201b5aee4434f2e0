#include "config/ez_cfg.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/file_ops.h"
#include "base/text.h"

namespace pw {
namespace {

constexpr std::string_view kLineBreakEscape = "\xA5" "n";
constexpr std::string_view kEqualsEscape = "\xA5" "e";

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::size_t skip_digits(std::string_view text, std::size_t at) {
  while (at < text.size() && is_digit(text[at])) ++at;
  return at;
}

// The leading number of the text as the reader of configuration values
// sees it: blanks and tabs, a sign, digits, '.' and digits, then an
// exponent (E, or D as some older files write it) when digits follow.
// The result is written in the form from_chars accepts; empty when there
// is no number.
std::string leading_number(std::string_view text) {
  std::size_t at = text.find_first_not_of(" \t");
  if (at == std::string_view::npos) return {};
  std::string number;
  if (text[at] == '+' || text[at] == '-') {
    if (text[at] == '-') number += '-';
    ++at;
  }
  const std::size_t int_end = skip_digits(text, at);
  const std::string_view whole = text.substr(at, int_end - at);
  at = int_end;
  std::string_view fraction;
  if (at < text.size() && text[at] == '.') {
    const std::size_t frac_end = skip_digits(text, at + 1);
    fraction = text.substr(at + 1, frac_end - at - 1);
    at = frac_end;
  }
  if (whole.empty() && fraction.empty()) return {};
  number += whole.empty() ? std::string_view("0") : whole;
  if (!fraction.empty()) number.append(".").append(fraction);
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E' || text[at] == 'd' || text[at] == 'D')) {
    std::size_t exp = at + 1;
    const bool has_sign = exp < text.size() && (text[exp] == '+' || text[exp] == '-');
    const std::size_t exp_end = skip_digits(text, exp + (has_sign ? 1 : 0));
    if (exp_end > exp + (has_sign ? 1 : 0)) {
      number += 'e';
      number += text.substr(exp, exp_end - exp);
    }
  }
  return number;
}

// Shortest decimal text with at most 15 significant digits, the precision
// the configuration values were always shown with ("12.5", "100", "1E+20").
std::string number_text(double value) {
  if (value == 0.0) return "0";  // also -0
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  if (error != std::errc{}) return "0";
  std::string text(buffer, end);
  std::replace(text.begin(), text.end(), 'e', 'E');
  return text;
}

std::string numeric_value(std::string_view text) {
  const std::string number = leading_number(text);
  if (number.empty()) return "0";
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  // An overflowing number has no value the readers could use.
  if (error != std::errc{} || end != number.data() + number.size() || !std::isfinite(value)) return "0";
  return number_text(value);
}

std::string unescape(std::string_view value) {
  return replace_all(replace_all(value, kLineBreakEscape, "\r\n"), kEqualsEscape, "=");
}

}  // namespace

std::int32_t EZ_CFG::ReadCFG(const std::string& CFG_File) {
  pair_count_ = 0;
  pairs_.assign(1, Pair{});
  if (!fs_.exists(CFG_File)) {
    loaded_ = true;
    return 0;
  }
  const Result<std::string> bytes = read_whole_file(fs_, CFG_File, kMaxCfgBytes);
  if (!bytes) return 0;
  return ReadCFGText(*bytes);
}

std::int32_t EZ_CFG::ReadCFGText(std::string_view bytes) {
  pair_count_ = 0;
  pairs_.assign(1, Pair{});
  for (const std::string& line : split_lines(bytes)) {
    if (line.starts_with("//")) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos || line.find('=', equals + 1) != std::string::npos) continue;
    std::string value = trim_blanks(std::string_view(line).substr(equals + 1));
    if (value.empty()) continue;
    pairs_.resize(static_cast<std::size_t>(pair_count_) + 1);
    pairs_[static_cast<std::size_t>(pair_count_)] = Pair{trim_blanks(std::string_view(line).substr(0, equals)),
                                                         std::move(value)};
    ++pair_count_;
  }
  loaded_ = true;
  return pair_count_;
}

std::string EZ_CFG::GetValue(std::string_view strName, bool Numerical) const {
  const auto hit =
      std::find_if(pairs_.begin(), pairs_.end(), [&](const Pair& pair) { return iequals(pair.key, strName); });
  if (hit == pairs_.end()) return Numerical ? "0" : "";
  return unescape(Numerical ? numeric_value(hit->value) : hit->value);
}

bool EZ_CFG::WriteCFG(const std::string& CFG_File) {
  std::string text;
  for (const Pair& pair : pairs_) {
    if (pair.key.empty()) continue;
    text.append(pair.key).append("=").append(pair.value).append("\r\n");
  }
  return replace_file(fs_, CFG_File, text).ok();
}

void EZ_CFG::InitCFG() {
  pairs_.assign(1, Pair{});
  loaded_ = true;
}

bool EZ_CFG::AddToCFG(std::string_view strName, std::string_view strValue) {
  if (!loaded_) InitCFG();
  std::string name = trim_blanks(strName);
  std::string value = trim_blanks(replace_all(replace_all(strValue, "\r\n", kLineBreakEscape), "=", kEqualsEscape));
  if (name.empty()) return false;
  const auto same =
      std::find_if(pairs_.begin(), pairs_.end(), [&](const Pair& pair) { return iequals(pair.key, name); });
  if (same != pairs_.end()) {
    same->value = std::move(value);
    return true;
  }
  const auto last_keyed =
      std::find_if(pairs_.rbegin(), pairs_.rend(), [](const Pair& pair) { return !pair.key.empty(); });
  const auto slot = static_cast<std::size_t>(pairs_.rend() - last_keyed);  // just after it
  if (slot < pairs_.size()) {
    pairs_[slot] = Pair{std::move(name), std::move(value)};
  } else {
    pairs_.push_back(Pair{std::move(name), std::move(value)});
  }
  return true;
}

}  // namespace pw
