// Where the skin files live, and the small conversions every skin widget
// shares: packed colours and blank trimming.
#pragma once

#include <QColor>
#include <QString>
#include <cstdint>

namespace pw::ui {

// The program's folder: the executable's folder unless set_program_folder
// was called (tests point it at a temporary folder).
QString program_folder();
void set_program_folder(const QString& folder);

// The program's folder joined with `relative`, a text such as
// "\Media\HMOVE.cur"; backslashes are read as folder separators.
QString skin_file(const QString& relative);

// Removes leading and trailing blanks (U+0020 only), as picture names are trimmed.
QString trim_blanks(const QString& text);

// Colours packed as red + 256 x green + 65536 x blue.
constexpr std::uint32_t pack_rgb(int red, int green, int blue) {
  return std::uint32_t(red & 0xFF) | std::uint32_t(green & 0xFF) << 8 |
         std::uint32_t(blue & 0xFF) << 16;
}
QColor color_from_packed(std::uint32_t packed);
std::uint32_t packed_from_color(const QColor& color);

}  // namespace pw::ui
