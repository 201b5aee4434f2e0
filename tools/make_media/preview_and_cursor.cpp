// The default preview pictures and the four-way drag cursor.
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cstdlib>

#include "art.h"

namespace pw::media {
namespace {

constexpr QSize kPreviewSize(400, 300);
constexpr double kHorizon = 196;
constexpr double kCaptionTop = 232;

void paint_sky_and_ground(QPainter& painter) {
  QLinearGradient sky(0, 0, 0, kHorizon);
  sky.setColorAt(0.0, QColor(0x3f, 0x6e, 0xa3));
  sky.setColorAt(0.7, QColor(0x9c, 0xbf, 0xe0));
  sky.setColorAt(1.0, QColor(0xe4, 0xec, 0xf3));
  painter.fillRect(QRectF(0, 0, kPreviewSize.width(), kHorizon), sky);
  QLinearGradient ground(0, kHorizon, 0, kPreviewSize.height());
  ground.setColorAt(0.0, QColor(0x5d, 0x6e, 0x62));
  ground.setColorAt(1.0, QColor(0x2c, 0x36, 0x30));
  painter.fillRect(QRectF(0, kHorizon, kPreviewSize.width(), kPreviewSize.height() - kHorizon),
                   ground);
  // Runway running to the horizon, with its centre line.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x3a, 0x3f, 0x45));
  painter.drawPolygon(QPolygonF({{186, kHorizon}, {214, kHorizon}, {330, 300}, {70, 300}}));
  painter.setBrush(QColor(0xe8, 0xe8, 0xe0));
  for (double t = 0.08; t < 1.0; t += 0.16) {
    const double y0 = kHorizon + (300 - kHorizon) * t * t;
    const double y1 = kHorizon + (300 - kHorizon) * (t + 0.07) * (t + 0.07);
    if (y1 > kCaptionTop) break;  // keep the caption clear
    const double w0 = 0.8 + 3.0 * t * t;
    const double w1 = 0.8 + 3.0 * (t + 0.07) * (t + 0.07);
    painter.drawPolygon(QPolygonF({{200 - w0, y0}, {200 + w0, y0}, {200 + w1, y1}, {200 - w1, y1}}));
  }
}

void paint_aircraft(QPainter& painter) {
  painter.save();
  painter.translate(200 - 9 * 6.0, 38);
  painter.scale(6.0, 6.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x14, 0x25, 0x3a, 60));  // soft shadow
  painter.drawPath(icon_path(QStringLiteral("plane")).translated(0.5, 0.6));
  painter.setBrush(QColor(255, 255, 255, 230));
  painter.drawPath(icon_path(QStringLiteral("plane")));
  painter.restore();
}

void paint_caption(QPainter& painter, const QString& headline, const QString& hint) {
  const QRectF band(0, kCaptionTop, kPreviewSize.width(), kPreviewSize.height() - kCaptionTop);
  painter.fillRect(band, QColor(0x0c, 0x16, 0x22, 215));
  painter.setPen(QColor(0xff, 0xc8, 0x5a));
  painter.drawLine(QPointF(0, band.top() + 0.5), QPointF(kPreviewSize.width(), band.top() + 0.5));
  painter.setFont(art_font(17, QFont::Bold));
  painter.setPen(QColor(0xf4, 0xf7, 0xfb));
  painter.drawText(band.adjusted(0, 10, 0, -34), Qt::AlignHCenter | Qt::AlignVCenter, headline);
  painter.setFont(art_font(12));
  painter.setPen(QColor(0xbf, 0xcf, 0xe2));
  painter.drawText(band.adjusted(0, 36, 0, -8), Qt::AlignHCenter | Qt::AlignVCenter, hint);
}

// The arrow: a cross of 3-pixel shafts with a head at each end, centred on (15, 15).
bool in_move_arrow(int x, int y) {
  constexpr int c = 15;
  const int dx = std::abs(x - c);
  const int dy = std::abs(y - c);
  if ((dx <= 1 && dy <= 10) || (dy <= 1 && dx <= 10)) return true;
  const int along_y = 14 - dy;  // distance from a vertical tip
  const int along_x = 14 - dx;
  return (along_y >= 0 && along_y <= 5 && dx <= along_y) ||
         (along_x >= 0 && along_x <= 5 && dy <= along_x);
}

bool touches_arrow(int x, int y) {
  for (int oy = -1; oy <= 1; ++oy) {
    for (int ox = -1; ox <= 1; ++ox) {
      if (in_move_arrow(x + ox, y + oy)) return true;
    }
  }
  return false;
}

}  // namespace

QImage draw_preview(const QString& headline, const QString& hint) {
  QImage image(kPreviewSize, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  paint_sky_and_ground(painter);
  paint_aircraft(painter);
  paint_caption(painter, headline, hint);
  painter.end();
  return image.convertToFormat(QImage::Format_RGB32);
}

QImage draw_thumbnail_placeholder() {
  constexpr QSize size(240, 180);
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  QLinearGradient fill(0, 0, 0, size.height());
  fill.setColorAt(0.0, kSteelTop);
  fill.setColorAt(1.0, kSteelBottom);
  painter.fillRect(QRectF(QPointF(0, 0), size), fill);
  painter.save();
  painter.translate(size.width() / 2.0 - 9 * 4.0, 28);
  painter.scale(4.0, 4.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 110));
  painter.drawPath(icon_path(QStringLiteral("plane")));
  painter.restore();
  painter.setFont(art_font(20, QFont::Bold));
  painter.setPen(kTitleText);
  painter.drawText(QRectF(0, 112, size.width(), 30), Qt::AlignCenter, QStringLiteral("No thumbnail"));
  painter.setFont(art_font(12));
  painter.setPen(kSubtitleText);
  painter.drawText(QRectF(0, 142, size.width(), 22), Qt::AlignCenter, QStringLiteral("thumbnail.jpg not found"));
  painter.end();
  return image.convertToFormat(QImage::Format_RGB32);
}

ui::CursorImage draw_move_cursor() {
  ui::CursorImage cursor;
  cursor.width = 32;
  cursor.height = 32;
  cursor.hot_x = 15;
  cursor.hot_y = 15;
  cursor.argb.assign(32 * 32, 0u);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      std::uint32_t& pixel = cursor.argb[std::size_t(y * 32 + x)];
      if (in_move_arrow(x, y)) {
        pixel = 0xFFFFFFFFu;  // white body
      } else if (touches_arrow(x, y)) {
        pixel = 0xFF000000u;  // black outline
      } else if (touches_arrow(x - 1, y - 1)) {
        pixel = 0x50000000u;  // soft shadow down and right
      }
    }
  }
  return cursor;
}

}  // namespace pw::media
