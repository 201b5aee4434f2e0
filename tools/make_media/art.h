// The artwork tool's drawing routines. Everything is drawn on QImage with
// QPainter, so no display is needed (run with QT_QPA_PLATFORM=offscreen).
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QString>

#include "ui/cursor_file.h"

namespace pw::media {

// The skin's palette.
inline const QColor kSteelTop(0x3d, 0x5c, 0x7e);
inline const QColor kSteelMid(0x23, 0x37, 0x4e);
inline const QColor kSteelBottom(0x13, 0x20, 0x2f);
inline const QColor kEdgeDark(0x08, 0x0e, 0x15);
inline const QColor kEdgeLight(0x7d, 0x9c, 0xc0);
inline const QColor kSheetTop(0xee, 0xf1, 0xf5);
inline const QColor kSheetBottom(0xd3, 0xd9, 0xe1);
inline const QColor kTitleText(0xf4, 0xf7, 0xfb);
inline const QColor kSubtitleText(0xa9, 0xbd, 0xd4);

// Tahoma where installed, else DejaVu Sans; size in pixels.
QFont art_font(double pixels, QFont::Weight weight = QFont::Normal);
// The largest font of `weight` from `start_pixels` down to 9 whose text fits `width`.
QFont fitted_font(const QString& text, int width, double start_pixels, QFont::Weight weight);

// Writes a 24-bit Windows bitmap.
bool save_bmp(const QImage& image, const QString& path);

// Fills `path` with the steel gradient and a faint brushed grain.
void paint_steel(QPainter& painter, const QPainterPath& path, const QRectF& span);
// A light inset panel (where labels and lists sit).
void paint_sheet(QPainter& painter, const QRectF& rect, double radius);
// A dark recess that holds a row of buttons.
void paint_bay(QPainter& painter, const QRectF& rect, double radius);
void paint_rivet(QPainter& painter, QPointF centre);

QImage draw_main_background();    // 800 x 600, black outside the outline
QImage draw_remove_background();  // 620 x 350, rectangular

// The design's large buttons; the two in the main screen's bottom bay share
// the room of one.
constexpr int kLargeButtonWidth = 155;
constexpr int kBayButtonWidth = 125;

// A `width` x 180 strip: enabled, down, highlight, disabled from the top.
QImage draw_button_strip(const QString& label, const QString& icon, int width);
// An 18 x 18 icon outline by name ("exit", "plane", "plus", ...), for strokes of width 2.
QPainterPath icon_path(const QString& icon);
bool icon_is_filled(const QString& icon);

QImage draw_preview(const QString& headline, const QString& hint);  // 400 x 300

// 240 x 180: what the screens show for a repaint without a thumbnail.
QImage draw_thumbnail_placeholder();

ui::CursorImage draw_move_cursor();  // 32 x 32, hot spot in the middle

}  // namespace pw::media
