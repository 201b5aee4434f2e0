#include "base/json_writer.h"

#include <cstdio>

#include "base/text.h"

namespace pw {

std::string json_string(std::string_view cp1252) {
  std::string out = "\"";
  for (const char c : cp1252_to_utf8(cp1252)) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + '"';
}

void JsonWriter::new_line() {
  text_ += '\n';
  text_.append(2 * empty_.size(), ' ');
}

void JsonWriter::start_value() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (empty_.empty()) return;
  if (!empty_.back()) text_ += ',';
  empty_.back() = false;
  new_line();
}

JsonWriter& JsonWriter::key(std::string_view name) {
  start_value();
  text_ += json_string(name) + ": ";
  after_key_ = true;
  return *this;
}

JsonWriter& JsonWriter::string(std::string_view text) {
  start_value();
  text_ += json_string(text);
  return *this;
}

JsonWriter& JsonWriter::number(std::int64_t value) {
  start_value();
  text_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
  start_value();
  text_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::strings(const std::vector<std::string>& texts) {
  begin_array();
  for (const std::string& text : texts) string(text);
  return end_array();
}

JsonWriter& JsonWriter::open(char bracket) {
  start_value();
  text_ += bracket;
  empty_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::close(char bracket) {
  const bool was_empty = empty_.back();
  empty_.pop_back();
  if (!was_empty) new_line();
  text_ += bracket;
  if (empty_.empty()) text_ += '\n';
  return *this;
}

}  // namespace pw
