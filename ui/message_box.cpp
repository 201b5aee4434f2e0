#include "ui/message_box.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <string>

#include "base/text.h"
#include "ui/qt_message_box.h"

namespace pw::ui {
namespace {

MessageService*& current_service() {
  static MessageService* service = nullptr;
  return service;
}

QString from_cp1252(std::string_view text) {
  return QString::fromStdString(cp1252_to_utf8(text));
}

QMessageBox::Icon icon_for(int style) {
  switch (style & 0xF0) {
    case 0x10: return QMessageBox::Critical;
    case 0x20: return QMessageBox::Question;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// The affirmative and the negative button of a style, with what each
// returns; the negative one is NoButton for a box with one button.
struct ButtonPair {
  QMessageBox::StandardButton yes, no;
  int yes_result, no_result;
};

ButtonPair buttons_for(int style) {
  switch (style & 0x0F) {
    case kStyleOkCancel: return {QMessageBox::Ok, QMessageBox::Cancel, kResultOk, kResultCancel};
    case kStyleYesNo: return {QMessageBox::Yes, QMessageBox::No, kResultYes, kResultNo};
    default: return {QMessageBox::Ok, QMessageBox::NoButton, kResultOk, kResultOk};
  }
}

}  // namespace

QString message_display_text(std::string_view text) {
  QString shown = from_cp1252(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

QtMessageService::QtMessageService(QWidget* parent) : parent_(parent) {}

void QtMessageService::set_parent(QWidget* parent) { parent_ = parent; }

void QtMessageService::set_responder(Responder responder) { responder_ = std::move(responder); }

int QtMessageService::ShowMessage(std::string_view text, int style, std::string_view title) {
  const QString shown_title = title.empty() ? from_cp1252(kAppTitle) : from_cp1252(title);
  QMessageBox box(icon_for(style), shown_title, message_display_text(text), QMessageBox::NoButton,
                  parent_.data());
  const ButtonPair pair = buttons_for(style);
  QPushButton* yes = box.addButton(pair.yes);
  QPushButton* no = pair.no != QMessageBox::NoButton ? box.addButton(pair.no) : nullptr;
  box.setDefaultButton(yes);
  // The close control and Escape press the negative button (the only one of
  // an OK box): closing a question never answers yes.
  box.setEscapeButton(no != nullptr ? no : yes);
  if (responder_) {
    QTimer::singleShot(0, &box, [this, &box] { responder_(box); });
  }
  box.exec();
  return box.clickedButton() == yes ? pair.yes_result : pair.no_result;
}

QtMessageService& default_message_service() {
  static QtMessageService service;
  return service;
}

void set_message_service(MessageService* service) { current_service() = service; }

int ShowMessage(std::string_view text, int style, std::string_view title) {
  MessageService* service = current_service();
  if (service == nullptr) service = &default_message_service();
  return service->ShowMessage(text, style, title);
}

}  // namespace pw::ui
