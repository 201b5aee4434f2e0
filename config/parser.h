// Splits one line of text into numbered fields at a one-character
// delimiter (a comma unless changed), as for comma-separated lists.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace pw {

class Parser {
 public:
  // Stores the text and splits it at once with the current delimiter.
  // Empty fields (two delimiters in a row, or one at either end) are
  // dropped. With no delimiter a non-empty text is one field. Fields past
  // the 32767th are dropped, as the count is 16-bit.
  void Text(std::string_view vData);
  // The text last stored; empty at first.
  const std::string& Text() const { return text_; }

  // The delimiter becomes the first byte of vData, or none when vData is
  // empty. Fields already split stay as they are until Text is set again.
  void Parse(std::string_view vData);
  // The delimiter: "," at first, or the empty text for none.
  std::string Parse() const { return delimiter_; }

  // Field `index`: 0 is the whole text, 1 to NumberOfFields() the fields.
  // Errors: kRefused when the index is outside that range or no text has
  // been stored yet.
  Result<std::string> Field(std::int16_t index) const;
  std::int16_t NumberOfFields() const { return field_count_; }

 private:
  std::string text_;
  std::string delimiter_ = ",";
  std::int16_t field_count_ = 0;
  std::vector<std::string> fields_;  // empty until a text is stored; then [0] is the text
};

}  // namespace pw
