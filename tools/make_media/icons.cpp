// Small line icons for the buttons, on an 18 x 18 grid.
#include <QPolygonF>

#include "art.h"

namespace pw::media {
namespace {

QPainterPath power() {
  QPainterPath path;
  const QRectF ring(2, 3, 14, 14);
  path.arcMoveTo(ring, 125);
  path.arcTo(ring, 125, 290);  // open at the top
  path.moveTo(9, 1);
  path.lineTo(9, 9);
  return path;
}

QPainterPath plane() {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);  // the parts overlap; they must merge, not cancel
  path.addRoundedRect(QRectF(7.8, 0.5, 2.4, 17), 1.2, 1.2);
  path.addPolygon(QPolygonF({{1, 9.5}, {8, 5.5}, {10, 5.5}, {17, 9.5}, {17, 11.5}, {10, 9.5},
                             {8, 9.5}, {1, 11.5}, {1, 9.5}}));
  path.addPolygon(QPolygonF({{5, 16}, {8, 14}, {10, 14}, {13, 16}, {13, 17.2}, {5, 17.2}, {5, 16}}));
  return path.simplified();
}

QPainterPath plus_in_ring() {
  QPainterPath path;
  path.addEllipse(QPointF(9, 9), 8, 8);
  path.moveTo(9, 4.5);
  path.lineTo(9, 13.5);
  path.moveTo(4.5, 9);
  path.lineTo(13.5, 9);
  return path;
}

QPainterPath trash() {
  QPainterPath path;
  path.moveTo(2, 4);
  path.lineTo(16, 4);
  path.moveTo(7, 4);
  path.lineTo(7, 1.5);
  path.lineTo(11, 1.5);
  path.lineTo(11, 4);
  path.moveTo(4, 4);
  path.lineTo(5, 16.5);
  path.lineTo(13, 16.5);
  path.lineTo(14, 4);
  path.moveTo(7.5, 7.5);
  path.lineTo(7.5, 13.5);
  path.moveTo(10.5, 7.5);
  path.lineTo(10.5, 13.5);
  return path;
}

QPainterPath box() {
  QPainterPath path;
  path.addPolygon(QPolygonF({{9, 1}, {17, 5}, {9, 9}, {1, 5}, {9, 1}}));
  path.moveTo(1, 5);
  path.lineTo(1, 13);
  path.lineTo(9, 17);
  path.lineTo(17, 13);
  path.lineTo(17, 5);
  path.moveTo(9, 9);
  path.lineTo(9, 17);
  return path;
}

QPainterPath back_arrow() {
  QPainterPath path;
  path.moveTo(16, 16);
  path.cubicTo(16, 8, 12, 6, 3, 6);
  path.moveTo(7, 2);
  path.lineTo(3, 6);
  path.lineTo(7, 10);
  return path;
}

// A hooked arrow: back to the left along the top, the way taken round
// the right.
QPainterPath undo_arrow() {
  QPainterPath path;
  path.moveTo(3, 6);
  path.lineTo(11, 6);
  path.cubicTo(18, 6, 18, 16, 11, 16);
  path.lineTo(6, 16);
  path.moveTo(7, 2);
  path.lineTo(3, 6);
  path.lineTo(7, 10);
  return path;
}

QPainterPath picture() {
  QPainterPath path;
  path.addRect(QRectF(1, 3, 16, 12));
  path.moveTo(3, 13);
  path.lineTo(7, 8);
  path.lineTo(10, 11);
  path.lineTo(12, 9);
  path.lineTo(15, 13);
  path.addEllipse(QPointF(13, 6.5), 1.3, 1.3);
  return path;
}

QPainterPath folder() {
  QPainterPath path;
  path.addPolygon(QPolygonF({{1, 3}, {7, 3}, {9, 5.5}, {17, 5.5}, {17, 15}, {1, 15}, {1, 3}}));
  path.moveTo(1, 8);
  path.lineTo(17, 8);
  return path;
}

QPainterPath install() {
  QPainterPath path;
  path.moveTo(9, 1);
  path.lineTo(9, 11);
  path.moveTo(5, 7);
  path.lineTo(9, 11);
  path.lineTo(13, 7);
  path.moveTo(2, 11);
  path.lineTo(2, 16);
  path.lineTo(16, 16);
  path.lineTo(16, 11);
  return path;
}

}  // namespace

QPainterPath icon_path(const QString& icon) {
  if (icon == QLatin1String("exit")) return power();
  if (icon == QLatin1String("plane")) return plane();
  if (icon == QLatin1String("plus")) return plus_in_ring();
  if (icon == QLatin1String("trash")) return trash();
  if (icon == QLatin1String("box")) return box();
  if (icon == QLatin1String("back")) return back_arrow();
  if (icon == QLatin1String("picture")) return picture();
  if (icon == QLatin1String("folder")) return folder();
  if (icon == QLatin1String("install")) return install();
  if (icon == QLatin1String("undo")) return undo_arrow();
  return {};
}

bool icon_is_filled(const QString& icon) { return icon == QLatin1String("plane"); }

}  // namespace pw::media
