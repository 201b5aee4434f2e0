#include "app/cli/terminal.h"

#include <algorithm>
#include <ostream>

#include "base/text.h"

namespace pw {

std::string for_terminal(const std::string& text) {
  std::string out = replace_all(replace_all(text, "\r\n", "\n"), "\r", "\n");
  for (char& c : out) {
    const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    if (control && c != '\n' && c != '\t') c = '?';
  }
  return cp1252_to_utf8(out);
}

std::string field_text(const std::string& text) {
  std::string out = for_terminal(text);
  for (char& c : out) c = c == '\n' || c == '\t' ? '?' : c;
  return out;
}

std::string finding_line(const Finding& f) {
  return std::string(finding_kind_name(f.kind)) + '\t' + field_text(f.subject) + '\t' + field_text(f.explanation) + '\n';
}

void ProgressLine::show(const std::string& label, std::int64_t done, std::int64_t total) {
  const std::int64_t percent = total > 0 ? std::clamp<std::int64_t>(done * 100 / total, 0, 100) : 100;
  if (shown_ && percent == percent_ && label == label_) return;  // redraw only on change
  percent_ = percent;
  label_ = label;
  shown_ = true;
  err_ << '\r' << label << ' ' << percent << '%' << std::flush;
}

void ProgressLine::clear() {
  if (!shown_) return;
  err_ << '\r' << std::string(label_.size() + 5, ' ') << '\r' << std::flush;
  shown_ = false;
}

}  // namespace pw
