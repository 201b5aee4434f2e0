// The one modal message box every message, confirmation and error report
// goes through. This header has no Qt in it so that the command dispatcher
// and its tests can depend on the interface alone; the Qt box is in
// qt_message_box.h.
#pragma once

#include <string_view>

#include "base/message_styles.h"

namespace pw::ui {

// Styles: kStyleOkOnly (0), kStyleOkCancel (1), kStyleCritical (16),
// kStyleInformation (64); results kResultOk (1) and kResultCancel (2); the
// title kAppTitle when a caller gives none. All from base/message_styles.h.

class MessageService {
 public:
  virtual ~MessageService() = default;
  // Shows `text` (Windows-1252; lines joined by CR LF or a lone CR) modally
  // with the buttons and icon of `style` and the window title `title`
  // (kAppTitle when empty), and returns the button pressed. Low four bits of
  // the style pick the buttons (1 = OK/Cancel, anything else OK), bits 4-7
  // the icon (16 stop, 32 question, 48 warning, 64 information). Closing an
  // OK/Cancel box without a button counts as Cancel; closing an OK box as OK.
  virtual int ShowMessage(std::string_view text, int style, std::string_view title) = 0;
};

// Replaces the service that ShowMessage uses (not owned; it must outlive its
// use). Null puts the Qt message box back.
void set_message_service(MessageService* service);

// Shows a message through the current service; see MessageService.
int ShowMessage(std::string_view text, int style, std::string_view title = {});

}  // namespace pw::ui
