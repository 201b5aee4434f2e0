#include "config/parser.h"

#include <limits>

namespace pw {

void Parser::Text(std::string_view vData) {
  text_ = std::string(vData);
  field_count_ = 0;
  fields_.assign(1, text_);
  if (text_.empty()) return;
  if (delimiter_.empty()) {
    fields_.push_back(text_);
    field_count_ = 1;
    return;
  }
  const char delimiter = delimiter_.front();
  std::size_t start = 0;
  while (start <= text_.size() && field_count_ < std::numeric_limits<std::int16_t>::max()) {
    std::size_t end = text_.find(delimiter, start);
    if (end == std::string::npos) end = text_.size();  // the delimiter appended at the end
    if (end > start) {
      fields_.push_back(text_.substr(start, end - start));
      ++field_count_;
    }
    start = end + 1;
  }
}

void Parser::Parse(std::string_view vData) { delimiter_ = std::string(vData.substr(0, 1)); }

Result<std::string> Parser::Field(std::int16_t index) const {
  if (fields_.empty()) return make_error(ErrorCode::kRefused, "no text has been given to split");
  if (index < 0 || index > field_count_) {
    return make_error(ErrorCode::kRefused, "field " + std::to_string(index) + " outside 0.." +
                                               std::to_string(field_count_));
  }
  return fields_[static_cast<std::size_t>(index)];
}

}  // namespace pw
