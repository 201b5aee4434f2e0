// frm_Hangar: every repaint of the selected aircraft as a grid of cards
// (thumbnail, ui_variation, atc_airline, atc_id, ui_createdby) with a tick
// each, and on a second tab the packages waiting in Downloads with their
// previews, and on a third every aircraft of the simulator; a search field
// over each grid. Its buttons remove the ticked
// repaints or install the ticked packages through the same commands as
// the remove and install screens, each shown on its own tab only; Escape
// returns as btn_Return does.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QVector>
#include <memory>

#include "app/desktop/screen_form.h"

class QTabWidget;

namespace pw {

class FileSystem;
class ThumbnailCache;

class frm_Hangar final : public ScreenForm {
  Q_OBJECT

 public:
  frm_Hangar();
  ~frm_Hangar() override;

  // Pictures are read through `fs`; until this is called none is shown.
  void attach_thumbnails(FileSystem& fs);
  ThumbnailCache* thumbnails() const { return thumbnails_.get(); }
  // Shows the tab of lstRepaints (0), lstPackages (1) or lstLibrary (2).
  void show_tab(int tab);

  void list_changed(QListWidget& list, bool refilled) override;

 private:
  // `ticks`: each card has a tick box.
  QListWidget* add_grid(const QString& tab, const QString& name, const QString& field, const QString& count,
                        bool ticks = true);
  QListWidget* shown_grid() const;
  void show_tab_buttons();
  void request_pictures();
  void show_picture(const QByteArray& source, const QImage& picture);

  QTabWidget* tabs_ = nullptr;
  QListWidget* repaints_ = nullptr;
  QListWidget* packages_ = nullptr;
  QListWidget* library_ = nullptr;  // every aircraft: a click selects one
  // The rows of each grid by picture source, as last filled.
  QHash<QListWidget*, QHash<QByteArray, QVector<int>>> rows_by_source_;
  std::unique_ptr<ThumbnailCache> thumbnails_;
};

}  // namespace pw
