#include "packages/remove_screen.h"

#include <QLabel>
#include <QListWidget>

#include "app/desktop/thumbnail_cache.h"
#include "ui/image_button.h"

namespace pw {

frm_Remove::frm_Remove() : ScreenForm(ui::ScreenKind::kRemove, "frm_Remove", "Remove Repaints") {
  add_label("Label1", "Select aircraft to remove from Flight Simulator", {20, 58, 310, 18});
  add_search_field("txtSearch", {20, 78, 310, 24}, "lstAircraft");
  list_ = add_list("lstAircraft", {20, 106, 310, 138}, true);
  add_label("lblTicked", "", {20, 247, 310, 16});
  picture_ = add_picture("picThumbnail", {346, 78, 254, 184}, "\\Media\\NoThumbnail.bmp");
  if (!load_frame()) return;
  add_named_button("btn_Remove", {{20, 282}, "remove", "Remove", "disabled", "Click to remove the selected repaints."});
  add_named_button("btn_Return", {{445, 282}, "return", "Return", "enabled",
                                  "Click to return to the main screen of the Varnel FSX Paintwell."});
  place_progress_bar({20, 266, 310, 4});
  connect(list_, &QListWidget::currentRowChanged, this, &frm_Remove::show_current_thumbnail);
}

frm_Remove::~frm_Remove() = default;

void frm_Remove::attach_thumbnails(FileSystem& fs) {
  thumbnails_ = std::make_unique<ThumbnailCache>(fs, picture_->contentsRect().size());
  connect(thumbnails_.get(), &ThumbnailCache::ready, this, [this](const QByteArray& source, const QImage& shown) {
    const QListWidgetItem* current = shown_current(*list_);
    if (current != nullptr && current->data(kPictureRole).toByteArray() == source) {
      picture_->setPixmap(QPixmap::fromImage(shown));
    }
  });
  show_current_thumbnail();
}

void frm_Remove::list_changed(QListWidget& list, bool refilled) {
  (void)refilled;  // a search may have hidden the current row
  if (&list == list_) show_current_thumbnail();
}

void frm_Remove::show_current_thumbnail() {
  if (!thumbnails_) return;
  const QListWidgetItem* current = shown_current(*list_);
  const QByteArray source = current != nullptr ? current->data(kPictureRole).toByteArray() : QByteArray();
  if (source.isEmpty()) return picture_->setPixmap(QPixmap::fromImage(thumbnails_->placeholder()));
  thumbnails_->request({source.toStdString()});
}

}  // namespace pw
