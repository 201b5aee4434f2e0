// Helpers shared by the widget tests: a temporary program folder with a
// Media folder, bitmap strips of known colours, and event senders.
#pragma once

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include "ui/message_box.h"
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
  bool ok() const { return dir_.isValid(); }
  QString media(const QString& name) const { return dir_.path() + QStringLiteral("/Media/") + name; }

 private:
  QTemporaryDir dir_;
};

// Frame colours: enabled, down, highlight, disabled.
inline const QList<QColor> kFrames = {QColor(10, 200, 10), QColor(200, 10, 10), QColor(10, 10, 200),
                                      QColor(120, 120, 120)};

// One flat colour per frame, top to bottom.
inline QImage frame_strip(QSize face, const QList<QColor>& colours = kFrames) {
  QImage strip(face.width(), face.height() * int(colours.size()), QImage::Format_RGB32);
  QPainter painter(&strip);
  for (int i = 0; i < colours.size(); ++i) {
    painter.fillRect(0, i * face.height(), face.width(), face.height(), colours[i]);
  }
  return strip;
}

inline void send_mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
                       QPoint local, QPoint global) {
  QMouseEvent event(type, QPointF(local), QPointF(global), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

inline void send_mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button = Qt::LeftButton,
                       Qt::MouseButtons buttons = Qt::NoButton, QPoint local = QPoint(5, 5)) {
  send_mouse(widget, type, button, buttons, local, widget->mapToGlobal(local));
}

inline void send_enter(QWidget* widget) {
  QEnterEvent event{QPointF(5, 5), QPointF(5, 5), QPointF(widget->mapToGlobal(QPoint(5, 5)))};
  QApplication::sendEvent(widget, &event);
}

inline void send_leave(QWidget* widget) {
  QEvent event(QEvent::Leave);
  QApplication::sendEvent(widget, &event);
}

// Answers message boxes without any window and records each one.
class RecordingService : public MessageService {
 public:
  struct Shown {
    std::string text;
    int style;
    std::string title;
  };
  int ShowMessage(std::string_view text, int style, std::string_view title) override {
    shown.push_back({std::string(text), style, std::string(title)});
    return answer;
  }
  int answer = kResultOk;
  std::vector<Shown> shown;
};

// The colour the widget shows at `at`, as drawn now.
inline QColor shown_colour(QWidget* widget, QPoint at) { return QColor(widget->grab().toImage().pixel(at)); }

}  // namespace pw::ui::test
