#include "ui/font_scaling.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace pw::ui {
namespace {

constexpr int kDesignDpi = 96;

bool has_own_point_size(const QWidget& widget) {
  return widget.testAttribute(Qt::WA_SetFont) &&
         (widget.font().resolveMask() & QFont::SizeResolved) != 0 &&
         widget.font().pointSizeF() > 0;
}

void scale_font(QWidget& widget, float ratio) {
  QFont font = widget.font();
  font.setPointSizeF(font.pointSizeF() * ratio);
  widget.setFont(font);
}

}  // namespace

int display_dpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return kDesignDpi;
  return qRound(screen->logicalDotsPerInchX());
}

bool IsSmallFonts() { return display_dpi() == kDesignDpi; }

float font_scale_ratio(int dpi) {
  if (dpi <= 0) return 1.0f;
  return float(kDesignDpi) / float(dpi);
}

void FixFonts(QWidget& window) { FixFonts(window, display_dpi()); }

void FixFonts(QWidget& window, int dpi) {
  const float ratio = font_scale_ratio(dpi);
  if (ratio == 1.0f) return;
  // Collect first: setFont on a parent must not change whom we visit.
  QList<QWidget*> scaled;
  if (window.font().pointSizeF() > 0) scaled.append(&window);
  for (QWidget* child : window.findChildren<QWidget*>()) {
    if (has_own_point_size(*child)) scaled.append(child);
  }
  for (QWidget* widget : scaled) scale_font(*widget, ratio);
}

QFont skin_font(double points, int weight) {
  QFont font;
  font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                    QStringLiteral("Verdana")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setWeight(QFont::Weight(weight));
  return font;
}

}  // namespace pw::ui
