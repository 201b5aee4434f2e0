// frm_Install: the install screen. The packages found in the aircraft's
// Downloads folder (and one browsed for), each with a tick, the current
// package's preview, and the choice to delete installed package files.
#pragma once

#include "app/desktop/screen_form.h"

namespace pw {

class frm_Install final : public ScreenForm {
  Q_OBJECT

 public:
  frm_Install();

  // CD1: the browse command's open dialog.
  ui::cFileDialog* file_dialog() override { return &CD1_; }
  void list_changed(QListWidget& list, bool refilled) override;

 private:
  ui::cFileDialog CD1_;
  QLabel* preview_ = nullptr;
};

}  // namespace pw
