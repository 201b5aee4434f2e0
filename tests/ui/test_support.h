// Helpers shared by the widget tests: a temporary program folder with a
// Media folder, bitmap strips of known colours, and event senders.
#pragma once

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QList>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include "ui/skin_paths.h"

namespace pw::ui::test {

// A program folder of its own with an empty Media folder; skin files are
// looked up there while it lives.
class TempProgramFolder {
 public:
  TempProgramFolder() {
    QDir(dir_.path()).mkdir(QStringLiteral("Media"));
    set_program_folder(dir_.path());
  }
  ~TempProgramFolder() { set_program_folder(QString()); }
  TempProgramFolder(const TempProgramFolder&) = delete;
  TempProgramFolder& operator=(const TempProgramFolder&) = delete;

  bool ok() const { return dir_.isValid(); }
  QString media(const QString& name) const { return dir_.path() + QStringLiteral("/Media/") + name; }

 private:
  QTemporaryDir dir_;
};

// One flat colour per frame, top to bottom.
inline QImage frame_strip(QSize face, const QList<QColor>& colours) {
  QImage strip(face.width(), face.height() * int(colours.size()), QImage::Format_RGB32);
  QPainter painter(&strip);
  for (int i = 0; i < colours.size(); ++i) {
    painter.fillRect(QRect(0, i * face.height(), face.width(), face.height()), colours[i]);
  }
  return strip;
}

inline const QList<QColor>& frame_colours() {
  static const QList<QColor> colours = {QColor(10, 200, 10), QColor(200, 10, 10),
                                        QColor(10, 10, 200), QColor(120, 120, 120)};
  return colours;  // enabled, down, highlight, disabled
}

inline void send_mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button,
                       Qt::MouseButtons buttons, QPoint local, QPoint global) {
  QMouseEvent event(type, QPointF(local), QPointF(global), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

inline void send_mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button = Qt::LeftButton,
                       Qt::MouseButtons buttons = Qt::NoButton, QPoint local = QPoint(5, 5)) {
  send_mouse(widget, type, button, buttons, local, widget->mapToGlobal(local));
}

inline void send_enter(QWidget* widget, QPoint local = QPoint(5, 5)) {
  QEnterEvent event{QPointF(local), QPointF(local), QPointF(widget->mapToGlobal(local))};
  QApplication::sendEvent(widget, &event);
}

inline void send_leave(QWidget* widget) {
  QEvent event(QEvent::Leave);
  QApplication::sendEvent(widget, &event);
}

// The colour the widget shows at `at`, as drawn now.
inline QColor shown_colour(QWidget* widget, QPoint at) {
  return QColor(widget->grab().toImage().pixel(at));
}

}  // namespace pw::ui::test
