// Font scaling: the screens are laid out for 96 DPI. Qt already keeps
// widget geometry in device-independent pixels, so only point sizes need
// the correction (96 / actual DPI) to keep text at its designed pixel size.
#pragma once

#include <QFont>

class QWidget;

namespace pw::ui {

// Horizontal logical DPI of the primary screen (96 without a screen).
int display_dpi();

// True when the display is at 96 DPI.
bool IsSmallFonts();

// 96 / dpi in single precision (0.8 at 120 DPI); 1 for dpi of 0 or less.
float font_scale_ratio(int dpi);

// Scales the point size of the window's font and of every descendant font
// that was set explicitly (inherited fonts follow their parent, so nothing
// is scaled twice) by font_scale_ratio of the display, or of `dpi`.
// Pixel-sized fonts and geometry are left alone. Run once per window.
void FixFonts(QWidget& window);
void FixFonts(QWidget& window, int dpi);

// The skin's font: Tahoma at `points`, falling back to a similar sans
// (DejaVu Sans, Verdana, any sans-serif) where Tahoma is not installed.
QFont skin_font(double points, int weight = QFont::Normal);

}  // namespace pw::ui
