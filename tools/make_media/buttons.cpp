// The four frames of a large button strip.
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include "art.h"

namespace pw::media {
namespace {

constexpr int kFaceHeight = 45;
constexpr double kIconSize = 18;
constexpr double kIconGap = 6;

int text_room(int width) { return width - 12 - int(kIconSize + kIconGap); }

// Behind the rounded corners; halfway between the light sheet and the dark
// bays, so the corners read as shading on either.
const QColor kCornerFill(0x6b, 0x7c, 0x90);

struct FrameStyle {
  QColor top, upper, lower, bottom;  // glossy gradient: a break in the middle
  QColor border;
  QColor rim;  // inner line; transparent for none
  QColor ink;
  QColor ink_shadow;
  QPointF press_offset;
  bool sunken = false;
};

const FrameStyle kStyles[4] = {
    // enabled
    {QColor(0x64, 0x8a, 0xb6), QColor(0x41, 0x66, 0x91), QColor(0x31, 0x53, 0x7b),
     QColor(0x27, 0x43, 0x62), QColor(0x0b, 0x15, 0x22), QColor(255, 255, 255, 80),
     QColor(0xf5, 0xf8, 0xfc), QColor(0, 0, 0, 150), QPointF(0, 0), false},
    // down
    {QColor(0x1a, 0x2c, 0x42), QColor(0x22, 0x38, 0x53), QColor(0x27, 0x41, 0x60),
     QColor(0x30, 0x4e, 0x72), QColor(0x05, 0x0b, 0x13), QColor(0, 0, 0, 0),
     QColor(0xdc, 0xe6, 0xf2), QColor(0, 0, 0, 170), QPointF(1, 1), true},
    // highlight
    {QColor(0x86, 0xb0, 0xdf), QColor(0x5a, 0x8b, 0xc2), QColor(0x48, 0x77, 0xab),
     QColor(0x3a, 0x63, 0x8f), QColor(0x0b, 0x15, 0x22), QColor(0xff, 0xc8, 0x5a, 230),
     QColor(0xff, 0xff, 0xff), QColor(0, 0, 0, 160), QPointF(0, 0), false},
    // disabled
    {QColor(0xa7, 0xaf, 0xb9), QColor(0x94, 0x9c, 0xa6), QColor(0x89, 0x91, 0x9b),
     QColor(0x7d, 0x85, 0x8f), QColor(0x4a, 0x52, 0x5b), QColor(255, 255, 255, 60),
     QColor(0x5e, 0x67, 0x71), QColor(255, 255, 255, 90), QPointF(0, 0), false},
};

void paint_plate(QPainter& painter, const FrameStyle& style, int width) {
  painter.fillRect(QRectF(0, 0, width, kFaceHeight), kCornerFill);
  const QRectF plate(0.5, 0.5, width - 1, kFaceHeight - 1);
  QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
  fill.setColorAt(0.0, style.top);
  fill.setColorAt(0.49, style.upper);
  fill.setColorAt(0.51, style.lower);
  fill.setColorAt(1.0, style.bottom);
  painter.setPen(QPen(style.border, 1.0));
  painter.setBrush(fill);
  painter.drawRoundedRect(plate, 4, 4);
  painter.setBrush(Qt::NoBrush);
  if (style.rim.alpha() > 0) {
    painter.setPen(QPen(style.rim, 1.0));
    painter.drawRoundedRect(plate.adjusted(1, 1, -1, -1), 3, 3);
  }
  if (style.sunken) {  // shadow under the top edge of a pressed plate
    painter.setPen(QPen(QColor(0, 0, 0, 120), 1.0));
    painter.drawLine(QPointF(3, 2), QPointF(width - 3, 2));
    painter.setPen(QPen(QColor(0, 0, 0, 60), 1.0));
    painter.drawLine(QPointF(3, 3), QPointF(width - 3, 3));
  }
}

void paint_icon(QPainter& painter, const QString& icon, QPointF at, const QColor& ink) {
  painter.save();
  painter.translate(at);
  const QPainterPath path = icon_path(icon);
  if (icon_is_filled(icon)) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
  } else {
    painter.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
  }
  painter.drawPath(path);
  painter.restore();
}

void paint_face(QPainter& painter, const FrameStyle& style, const QString& label,
                const QString& icon, int width) {
  paint_plate(painter, style, width);
  const QFont font = fitted_font(label, text_room(width), 12.5, QFont::Bold);
  const QFontMetricsF metrics(font);
  const double text_width = metrics.horizontalAdvance(label);
  const double group = kIconSize + kIconGap + text_width;
  const QPointF origin((width - group) / 2.0, (kFaceHeight - kIconSize) / 2.0);
  const QPointF offset = style.press_offset;
  const QPointF shadow(0, 1);
  paint_icon(painter, icon, origin + offset + shadow, style.ink_shadow);
  paint_icon(painter, icon, origin + offset, style.ink);
  const double baseline = (kFaceHeight + metrics.ascent() - metrics.descent()) / 2.0;
  const QPointF text_at(origin.x() + kIconSize + kIconGap, baseline);
  painter.setFont(font);
  painter.setPen(style.ink_shadow);
  painter.drawText(text_at + offset + shadow, label);
  painter.setPen(style.ink);
  painter.drawText(text_at + offset, label);
}

}  // namespace

QImage draw_button_strip(const QString& label, const QString& icon, int width) {
  QImage strip(width, kFaceHeight * 4, QImage::Format_ARGB32_Premultiplied);
  strip.fill(kCornerFill);
  QPainter painter(&strip);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  for (int frame = 0; frame < 4; ++frame) {
    painter.save();
    painter.translate(0, frame * kFaceHeight);
    painter.setClipRect(QRect(0, 0, width, kFaceHeight));
    paint_face(painter, kStyles[frame], label, icon, width);
    painter.restore();
  }
  painter.end();
  return strip.convertToFormat(QImage::Format_RGB32);
}

}  // namespace pw::media
