// The Qt implementation of the message box, with a responder hook so tests
// can drive the real box (press a button, close it) instead of a person.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <string_view>

#include "ui/message_box.h"

class QMessageBox;

namespace pw::ui {

class QtMessageService final : public MessageService {
 public:
  // Called once the box runs modally; it must end the box (click a button,
  // reject or close it) or the caller waits for a person.
  using Responder = std::function<void(QMessageBox& box)>;

  explicit QtMessageService(QWidget* parent = nullptr);

  // The window the box is centred over; null centres it on the screen.
  void set_parent(QWidget* parent);
  void set_responder(Responder responder);

  int ShowMessage(std::string_view text, int style, std::string_view title) override;

 private:
  QPointer<QWidget> parent_;
  Responder responder_;
};

// The service ShowMessage uses until another is set.
QtMessageService& default_message_service();

// `text` (Windows-1252) as the box shows it: CR LF and lone CRs become line breaks.
QString message_display_text(std::string_view text);

}  // namespace pw::ui
