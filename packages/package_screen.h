// frm_Package: the package screen. The aircraft's repaints, the files of the
// chosen one with a tick each, and the preview that goes into the package.
#pragma once

#include "app/desktop/screen_form.h"

namespace pw {

class frm_Package final : public ScreenForm {
  Q_OBJECT

 public:
  frm_Package();

  // The preview command's dialog; it keeps FileName for the screen's life.
  ui::cFileDialog* file_dialog() override { return &preview_dialog_; }

 private:
  ui::cFileDialog preview_dialog_;
};

}  // namespace pw
