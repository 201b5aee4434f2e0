#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "art.h"

namespace pw::media {
namespace {

constexpr QSize kMainSize(800, 600);
constexpr QRectF kBody(4, 22, 792, 574);
constexpr QRectF kTab(28, 4, 372, 60);
constexpr double kTitleBandBottom = 76;

QPainterPath main_outline() {
  QPainterPath body;
  body.addRoundedRect(kBody, 26, 26);
  QPainterPath tab;
  tab.addRoundedRect(kTab, 16, 16);
  return body.united(tab).simplified();
}

// Pixels inside the outline as the window region will see them: no
// antialiasing, so the outline is exactly what the scan cuts out.
QImage hard_mask(const QPainterPath& outline, QSize size) {
  QImage mask(size, QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  QPainter painter(&mask);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillPath(outline, Qt::white);
  return mask;
}

// Outside the outline: pure black (the key colour). Inside: the artwork,
// never pure black, or the region scan would punch holes in it.
QImage cut_out(const QImage& art, const QImage& mask) {
  QImage out = art.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    const auto* inside = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      if (qAlpha(inside[x]) == 0) {
        line[x] = qRgb(0, 0, 0);
      } else if ((line[x] & 0xFFFFFF) == 0) {
        line[x] = qRgb(1, 1, 1);
      }
    }
  }
  return out;
}

void paint_title_band(QPainter& painter, const QPainterPath& outline, double bottom, double width) {
  QPainterPath band;
  band.addRect(QRectF(0, 0, width, bottom));
  band = band.intersected(outline);
  QLinearGradient fill(0, 0, 0, bottom);
  fill.setColorAt(0.0, QColor(0x55, 0x7b, 0xa5));
  fill.setColorAt(1.0, QColor(0x2a, 0x44, 0x62));
  painter.fillPath(band, fill);
  painter.setPen(QPen(QColor(0x07, 0x0d, 0x14), 1.0));  // groove under the band
  painter.drawLine(QPointF(0, bottom + 0.5), QPointF(width, bottom + 0.5));
  painter.setPen(QPen(QColor(0x8f, 0xad, 0xcf, 90), 1.0));
  painter.drawLine(QPointF(0, bottom + 1.5), QPointF(width, bottom + 1.5));
}

// A dark rim with a thin lit line inside it; clipped, so only the inner
// half of each stroke shows and the outline itself stays where it is.
void paint_outline_edges(QPainter& painter, const QPainterPath& outline) {
  painter.save();
  painter.setClipPath(outline);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(kEdgeLight.red(), kEdgeLight.green(), kEdgeLight.blue(), 120), 5.0));
  painter.drawPath(outline);
  painter.setPen(QPen(kEdgeDark, 3.0));
  painter.drawPath(outline);
  painter.restore();
}

void paint_emblem(QPainter& painter, QPointF centre, double radius) {
  painter.save();
  QRadialGradient disc(centre + QPointF(-radius / 3, -radius / 3), radius * 1.4);
  disc.setColorAt(0.0, QColor(0xff, 0xc8, 0x5a));
  disc.setColorAt(1.0, QColor(0xd9, 0x4a, 0x1c));
  painter.setPen(QPen(QColor(0x3a, 0x16, 0x06), 1.2));
  painter.setBrush(disc);
  painter.drawEllipse(centre, radius, radius);
  painter.translate(centre - QPointF(radius * 0.62, radius * 0.62));
  painter.scale(radius * 1.24 / 18.0, radius * 1.24 / 18.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 235));
  painter.drawPath(icon_path(QStringLiteral("plane")));
  painter.restore();
}

void draw_text(QPainter& painter, QPointF at, const QFont& font, const QColor& colour,
               const QString& text) {
  painter.setFont(font);
  painter.setPen(QColor(0, 0, 0, 150));
  painter.drawText(at + QPointF(0, 1.5), text);
  painter.setPen(colour);
  painter.drawText(at, text);
}

void paint_main_titles(QPainter& painter) {
  paint_emblem(painter, QPointF(58, 31), 17);
  QFont small = art_font(10, QFont::Bold);
  small.setLetterSpacing(QFont::AbsoluteSpacing, 3);
  draw_text(painter, QPointF(86, 22), small, kSubtitleText, QStringLiteral("VARNEL"));
  draw_text(painter, QPointF(84, 48), art_font(26, QFont::Bold), kTitleText,
            QStringLiteral("FSX Paintwell"));
  const QFont subtitle = art_font(12, QFont::Normal);
  const QString line = QStringLiteral("Repaint installer and package maker for Flight Simulator X");
  painter.setFont(subtitle);
  const double width = QFontMetricsF(subtitle).horizontalAdvance(line);
  draw_text(painter, QPointF(772 - width, 60), subtitle, kSubtitleText, line);
}

}  // namespace

QImage draw_main_background() {
  const QPainterPath outline = main_outline();
  QImage art(kMainSize, QImage::Format_ARGB32_Premultiplied);
  art.fill(kEdgeDark);
  QPainter painter(&art);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  paint_steel(painter, outline, outline.boundingRect());
  paint_title_band(painter, outline, kTitleBandBottom, kMainSize.width());
  paint_sheet(painter, QRectF(24, 80, 752, 434), 10);
  paint_bay(painter, QRectF(40, 520, 720, 56), 9);
  paint_rivet(painter, QPointF(22, 548));
  paint_rivet(painter, QPointF(778, 548));
  paint_main_titles(painter);
  QFont footer = art_font(9, QFont::Bold);
  footer.setLetterSpacing(QFont::AbsoluteSpacing, 2);
  draw_text(painter, QPointF(60, 589), footer, QColor(0x6c, 0x86, 0xa3),
            QStringLiteral("VARNEL SOFTWARE"));
  paint_outline_edges(painter, outline);
  painter.end();
  return cut_out(art, hard_mask(outline, kMainSize));
}

QImage draw_remove_background() {
  constexpr QSize size(620, 350);
  QImage art(size, QImage::Format_ARGB32_Premultiplied);
  art.fill(kEdgeDark);
  QPainter painter(&art);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath whole;
  whole.addRect(QRectF(0, 0, size.width(), size.height()));
  paint_steel(painter, whole, whole.boundingRect());
  paint_title_band(painter, whole, 44, size.width());
  painter.save();
  painter.translate(14, 13);
  painter.setPen(QPen(kTitleText, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(icon_path(QStringLiteral("trash")));
  painter.restore();
  draw_text(painter, QPointF(42, 29), art_font(16, QFont::Bold), kTitleText,
            QStringLiteral("Remove Repaints"));
  paint_sheet(painter, QRectF(12, 52, 596, 218), 8);
  paint_bay(painter, QRectF(12, 277, 596, 55), 8);
  paint_outline_edges(painter, whole);
  painter.end();
  return art.convertToFormat(QImage::Format_RGB32);
}

}  // namespace pw::media
