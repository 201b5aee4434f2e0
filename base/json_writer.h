// One JSON document (RFC 8259) written as UTF-8 text, for scripts that read
// what the command line reports. Keys and strings come in as the core's
// Windows-1252 text; conversion and escaping happen here only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

// The caller says what nests in what; the writer adds the commas and
// indents by two spaces per level, so `text()` reads well in a terminal.
class JsonWriter {
 public:
  JsonWriter& begin_object() { return open('{'); }
  JsonWriter& end_object() { return close('}'); }
  JsonWriter& begin_array() { return open('['); }
  JsonWriter& end_array() { return close(']'); }
  // The name of the next member of the object being written.
  JsonWriter& key(std::string_view name);
  JsonWriter& string(std::string_view text);
  JsonWriter& number(std::int64_t value);
  JsonWriter& boolean(bool value);
  // A string array: the writer's usual use for the lists of a record.
  JsonWriter& strings(const std::vector<std::string>& texts);

  // The document, ending in a line break once the outermost value is closed.
  const std::string& text() const { return text_; }

 private:
  JsonWriter& open(char bracket);
  JsonWriter& close(char bracket);
  void start_value();  // the comma and line break before a value that is not a member's
  void new_line();

  std::string text_;
  std::vector<bool> empty_;  // per open container: nothing in it yet
  bool after_key_ = false;
};

// A JSON string literal of Windows-1252 text: UTF-8, with the quote and
// the backslash escaped, and every byte below 0x20 as \u00XX (line breaks
// too: one rule that every reader takes).
std::string json_string(std::string_view cp1252);

}  // namespace pw
