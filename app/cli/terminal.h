// What paintwell-cli writes to a terminal: the core's texts made safe to
// show, and the progress line.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "aircraft/diagnosis.h"

namespace pw {

// Texts from the core are Windows-1252 with CR line breaks; they leave as
// UTF-8 with LF. Other control bytes (a hostile package's names may hold
// escape sequences) never reach the terminal: they show as '?'.
std::string for_terminal(const std::string& text);

// One TAB-separated field: line breaks and tabs inside it show as '?' too.
std::string field_text(const std::string& text);

// One finding as check prints it: KIND, TAB, SUBJECT, TAB, explanation,
// line end.
std::string finding_line(const Finding& finding);

// One line on standard error, redrawn in place with CR; cleared before
// any other text goes there and when the operation ends.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& err) : err_(err) {}
  void show(const std::string& label, std::int64_t done, std::int64_t total);
  void clear();

 private:
  std::ostream& err_;
  std::string label_;
  std::int64_t percent_ = -1;
  bool shown_ = false;
};

}  // namespace pw
