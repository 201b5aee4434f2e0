// ScreenForm: what the four screens share on top of the skinned frame:
// named controls made in one call each, the lists' click and tick signal,
// the screen's open-file dialog, a thin progress bar for long work, and
// files dropped on it.
// Screens hold widgets only; whoever owns them connects `list_clicked` to
// the core's click handlers and the buttons to the dispatcher.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include "ui/file_dialog.h"
#include "ui/skinned_form.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;

namespace pw {

// Label fonts (points): the design's Tahoma 8.25, lists 9.75.
inline constexpr double kLabelPoints = 8.25;
inline constexpr double kListPoints = 9.75;

// The dynamic property that marks a list whose rows carry check boxes.
inline constexpr const char* kCheckableProperty = "pw_checkable";
// The item data role holding a row's picture source (ListRow::picture, bytes).
inline constexpr int kPictureRole = Qt::UserRole + 1;

class ScreenForm : public ui::SkinnedForm {
  Q_OBJECT

 public:
  // `name` is the screen's object name, which the buttons report as form_name.
  ScreenForm(ui::ScreenKind kind, const QString& name, const QString& title);

  // The screen's open-file dialog (CD1, or the package screen's preview
  // dialog); null for a screen without one. It lives as long as the screen,
  // so FileName carries over from one use to the next.
  virtual ui::cFileDialog* file_dialog() { return nullptr; }

  // Shows `done` of `total` in the bar along the screen's bottom edge;
  // total <= 0 or done >= total hides it again.
  void show_progress(qint64 done, qint64 total);
  QProgressBar* progress_bar() const { return progress_; }

  // The view filled `list` anew (`refilled`) or hid some of its rows;
  // screens that show the rows' pictures ask for them here.
  virtual void list_changed(QListWidget& list, bool refilled) { (void)list, (void)refilled; }

  // The list's current row, or null when there is none or the search hides
  // it: the picture beside a list shows this row or nothing.
  static QListWidgetItem* shown_current(const QListWidget& list);

  // False when a skin file of this screen could not be loaded (a message
  // named it); start-up then ends.
  bool skin_ok() const { return skin_ok_; }

 signals:
  // A row of the list named `list` was clicked or made current by the
  // user, or one of its check boxes was ticked or unticked. Filling a list
  // from code raises nothing.
  void list_clicked(const QString& list);
  // The search field of the list named `list` was edited.
  void search_changed(const QString& list);
  // The screen was hidden (the modal remove screen's loop waits for this).
  void hidden();
  // Files or folders from the file manager were dropped on the screen:
  // their local paths, in the order dropped.
  void files_dropped(const QStringList& paths);

 protected:
  // Plain-text labels in the skin font; `bold` for headings. Made before
  // load_skin_or_report so the colour table reaches them.
  // The frame's load steps; made after the screen's labels, lists and check
  // boxes and before its buttons. Returns skin_ok().
  bool load_frame();
  QLabel* add_label(const QString& name, const QString& text, const QRect& where, bool bold = false);
  QListWidget* add_list(const QString& name, const QRect& where, bool checkable);
  // A bordered picture box whose inside shows `default_picture` (a skin
  // file such as "\Media\NoPreview.bmp") until something else is shown.
  QLabel* add_picture(const QString& name, const QRect& where, const QString& default_picture);
  // Puts a picture box back to its default picture.
  void show_default_picture(QLabel& box);
  QCheckBox* add_check_box(const QString& name, const QString& text, const QRect& where);
  // A one-line search field for the list named `list`, with a grey hint.
  QLineEdit* add_search_field(const QString& name, const QRect& where, const QString& list);
  // A LargeButton with the object name the dispatcher and views look it up by.
  ui::LargeButton* add_named_button(const QString& name, const ui::ButtonSetup& setup);
  // Where the progress bar runs; made once the frame is loaded.
  void place_progress_bar(const QRect& where);

  void hideEvent(QHideEvent* event) override;
  // Every screen takes files dropped from the file manager (the install
  // list is reachable from anywhere); anything else is refused at the door.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QProgressBar* progress_ = nullptr;
  bool skin_ok_ = false;
  int shown_percent_ = -1;
};

}  // namespace pw
