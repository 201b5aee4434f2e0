// The one modal message box every message, confirmation and error report
// goes through. This header has no Qt in it so that the command dispatcher
// and its tests can depend on the interface alone; the Qt box is in
// qt_message_box.h.
#pragma once

#include <string_view>

#include "base/message_styles.h"

namespace pw::ui {

// Styles: kStyleOkOnly (0), kStyleOkCancel (1), kStyleYesNo (4),
// kStyleCritical (16), kStyleQuestion (32), kStyleInformation (64); results
// kResultOk (1), kResultCancel (2), kResultYes (6) and kResultNo (7); the
// title kAppTitle when a caller gives none. All from base/message_styles.h.

class MessageService {
 public:
  virtual ~MessageService() = default;
  // Shows `text` (Windows-1252; lines joined by CR LF or a lone CR) modally
  // with the buttons and icon of `style` and the window title `title`
  // (kAppTitle when empty), and returns the button pressed. Low four bits of
  // the style pick the buttons (1 = OK/Cancel, 4 = Yes/No, anything else
  // OK), bits 4-7 the icon (16 stop, 32 question, 48 warning, 64
  // information). Closing a box without a button counts as Cancel or No;
  // closing an OK box as OK.
  virtual int ShowMessage(std::string_view text, int style, std::string_view title) = 0;
};

// Replaces the service that ShowMessage uses (not owned; it must outlive its
// use). Null puts the Qt message box back.
void set_message_service(MessageService* service);

// Shows a message through the current service; see MessageService.
int ShowMessage(std::string_view text, int style, std::string_view title = {});

}  // namespace pw::ui
