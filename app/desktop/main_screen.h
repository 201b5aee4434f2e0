// frm_Main: the first screen and the one every other screen returns to:
// the selected aircraft's three labels and its last operation, the command
// buttons with Undo, the help texts, the version label and the link to the
// maker's web page.
#pragma once

#include <QString>

#include "app/desktop/screen_form.h"

namespace pw {

inline constexpr const char* kMainCaption = "Varnel Paintwell for FSX";
inline constexpr const char* kMakerWebAddress = "http://www.varnelsoftware.com";

class frm_Main final : public ScreenForm {
  Q_OBJECT

 public:
  // Builds the screen on the skinned frame and centres it; is_loaded() is
  // false when a skin file was missing (a message named it).
  frm_Main();

  // CD1: the open dialog of the select command.
  ui::cFileDialog* file_dialog() override { return &CD1_; }

 public slots:
  // Opens the maker's web page in the desktop's browser; the outcome is
  // not reported.
  void Label8_Click();

 private:
  void add_texts();
  void add_buttons();

  ui::cFileDialog CD1_;
};

}  // namespace pw
