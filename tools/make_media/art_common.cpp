#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <random>

#include "art.h"

namespace pw::media {

QFont art_font(double pixels, QFont::Weight weight) {
  QFont font;
  font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(int(pixels));
  font.setWeight(weight);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

QFont fitted_font(const QString& text, int width, double start_pixels, QFont::Weight weight) {
  // Shrinking below 11 pixels hurts more than narrowing the letters.
  for (int stretch : {QFont::Unstretched, QFont::SemiCondensed, QFont::Condensed}) {
    const double floor = stretch == QFont::Condensed ? 9 : 11;
    for (double pixels = start_pixels; pixels >= floor; pixels -= 0.5) {
      QFont font = art_font(pixels, weight);
      font.setStretch(stretch);
      if (QFontMetricsF(font).horizontalAdvance(text) <= width) return font;
    }
  }
  return art_font(9, weight);
}

bool save_bmp(const QImage& image, const QString& path) {
  // Qt writes 32-bit images as 24-bit bitmaps; RGB32 drops any alpha first.
  return image.convertToFormat(QImage::Format_RGB32).save(path, "BMP");
}

void paint_steel(QPainter& painter, const QPainterPath& path, const QRectF& span) {
  painter.save();
  painter.setClipPath(path);
  QLinearGradient fill(span.topLeft(), span.bottomLeft());
  fill.setColorAt(0.0, kSteelTop);
  fill.setColorAt(0.45, kSteelMid);
  fill.setColorAt(1.0, kSteelBottom);
  painter.fillPath(path, fill);
  // Brushed grain: fixed seed, so every build draws the same bitmap.
  std::mt19937 random(20090611);
  std::uniform_int_distribution<int> alpha(0, 10);
  for (int y = int(span.top()); y < int(span.bottom()); ++y) {
    const int a = alpha(random);
    painter.setPen(y % 2 == 0 ? QColor(255, 255, 255, a) : QColor(0, 0, 0, a));
    painter.drawLine(QPointF(span.left(), y + 0.5), QPointF(span.right(), y + 0.5));
  }
  QRadialGradient sheen(span.left() + span.width() * 0.25, span.top(), span.width() * 0.7);
  sheen.setColorAt(0.0, QColor(255, 255, 255, 34));
  sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
  painter.fillPath(path, sheen);
  painter.restore();
}

void paint_sheet(QPainter& painter, const QRectF& rect, double radius) {
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 70));  // engraved edge: dark above, light below
  painter.drawRoundedRect(rect.adjusted(-2, -2, 2, 1), radius + 2, radius + 2);
  painter.setBrush(QColor(255, 255, 255, 40));
  painter.drawRoundedRect(rect.adjusted(-1, 0, 1, 2), radius + 1, radius + 1);
  QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
  fill.setColorAt(0.0, kSheetTop);
  fill.setColorAt(1.0, kSheetBottom);
  painter.setBrush(fill);
  painter.setPen(QPen(QColor(0x5d, 0x6d, 0x80), 1.0));
  painter.drawRoundedRect(rect, radius, radius);
  painter.setPen(QPen(QColor(0, 0, 0, 28), 1.0));  // soft inner shadow under the top edge
  painter.drawLine(QPointF(rect.left() + radius, rect.top() + 1.5),
                   QPointF(rect.right() - radius, rect.top() + 1.5));
  painter.restore();
}

void paint_bay(QPainter& painter, const QRectF& rect, double radius) {
  painter.save();
  QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
  fill.setColorAt(0.0, QColor(0x0b, 0x14, 0x1f, 220));
  fill.setColorAt(1.0, QColor(0x16, 0x24, 0x35, 200));
  painter.setBrush(fill);
  painter.setPen(QPen(QColor(0x05, 0x0a, 0x10), 1.0));
  painter.drawRoundedRect(rect, radius, radius);
  painter.setPen(QPen(QColor(0x8f, 0xab, 0xcc, 70), 1.0));  // lit lower lip
  painter.drawLine(QPointF(rect.left() + radius, rect.bottom() + 1),
                   QPointF(rect.right() - radius, rect.bottom() + 1));
  painter.restore();
}

void paint_rivet(QPainter& painter, QPointF centre) {
  painter.save();
  QRadialGradient head(centre + QPointF(-1, -1), 4);
  head.setColorAt(0.0, QColor(0xc9, 0xd6, 0xe4));
  head.setColorAt(1.0, QColor(0x3a, 0x4c, 0x60));
  painter.setPen(QPen(QColor(0x05, 0x0a, 0x10), 1.0));
  painter.setBrush(head);
  painter.drawEllipse(centre, 3.5, 3.5);
  painter.restore();
}

}  // namespace pw::media
