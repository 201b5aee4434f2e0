// frm_Remove: the remove screen, opened modal over the main screen. The
// aircraft's removable entries with a tick each, a search field over them
// and the count of ticks under them, the current entry's thumbnail beside
// them, and two buttons.
#pragma once

#include <memory>

#include "app/desktop/screen_form.h"

namespace pw {

class FileSystem;
class ThumbnailCache;

class frm_Remove final : public ScreenForm {
  Q_OBJECT

 public:
  frm_Remove();
  ~frm_Remove() override;

  // Thumbnails are read through `fs`; until this is called none is shown.
  void attach_thumbnails(FileSystem& fs);
  void list_changed(QListWidget& list, bool refilled) override;

 private:
  void show_current_thumbnail();

  QListWidget* list_ = nullptr;
  QLabel* picture_ = nullptr;
  std::unique_ptr<ThumbnailCache> thumbnails_;
};

}  // namespace pw
