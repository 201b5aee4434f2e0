// frm_Remove: the remove screen, opened modal over the main screen. The
// aircraft's removable entries with a tick each, and two buttons.
#pragma once

#include "app/desktop/screen_form.h"

namespace pw {

class frm_Remove final : public ScreenForm {
  Q_OBJECT

 public:
  frm_Remove();
};

}  // namespace pw
