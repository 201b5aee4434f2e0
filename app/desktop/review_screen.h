// frm_Review: what was found in downloads, before anything is installed.
// One branch per download (its file name, or why nothing of it can be
// installed), under it one row per repaint: a tick, its thumbnail and
// title, the aircraft it goes to (a choice of the candidates first, then
// every other aircraft of the simulator), where its entry came from, and
// what the texture check and the scan found. Ticks and choices go straight
// into the review; Install closes the screen to install, Return to leave
// it all as it is (Escape too).
#pragma once

#include <memory>

#include "app/desktop/screen_form.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace pw {

class DownloadReview;
class FileSystem;
class ThumbnailCache;

class frm_Review final : public ScreenForm {
  Q_OBJECT

 public:
  frm_Review();
  ~frm_Review() override;

  // Thumbnails are read through `fs`; until this is called none is shown.
  void attach_thumbnails(FileSystem& fs);
  // Shows `review`, which must outlive the screen's showing it.
  void show_review(DownloadReview& review);
  // True once Install was pressed since show_review.
  bool accepted() const { return accepted_; }

 private:
  void fill();
  void show_row(QTreeWidgetItem& row, std::size_t d, std::size_t r);
  void add_aircraft_choice(QTreeWidgetItem& row, std::size_t d, std::size_t r);
  void row_changed(QTreeWidgetItem* row, int column);
  void show_count();
  void leave(bool install);

  QTreeWidget* tree_ = nullptr;
  DownloadReview* review_ = nullptr;
  bool accepted_ = false;
  std::unique_ptr<ThumbnailCache> thumbnails_;
};

}  // namespace pw
