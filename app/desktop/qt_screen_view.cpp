#include "app/desktop/qt_screen_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "app/command_texts.h"
#include "base/file_ops.h"
#include "base/platform/file_system.h"
#include "app/desktop/review_screen.h"
#include "app/desktop/screen_form.h"
#include "base/text.h"
#include "ui/image_button.h"
#include "ui/message_box.h"
#include "ui/qt_message_box.h"

namespace pw {
namespace {

// Bigger files are no preview anyone made for a 400 x 300 box.
constexpr std::int64_t kMaxPictureBytes = 64 * 1024 * 1024;

// Core paths are joined with "\\" on every platform; where the platform's
// own separator is "/", the screens show them with it.
std::string on_screen(std::string text) {
  if (QDir::separator() != QLatin1Char('\\')) std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

// Labels take "\r\n", "\r" or "\n" as a line break alike.
QString label_text(const std::string& text) {
  QString shown = from_cp1252(on_screen(text));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

QListWidgetItem* make_row(const ListRow& row, bool checkable) {
  auto* item = new QListWidgetItem(from_cp1252(row.text));
  item->setData(Qt::UserRole, row.item_data);
  if (!row.picture.empty()) item->setData(kPictureRole, QByteArray::fromStdString(row.picture));
  if (!row.tooltip.empty()) item->setToolTip(from_cp1252(on_screen(row.tooltip)));
  if (!row.enabled) item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
  if (!checkable) {
    item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
    return item;
  }
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(row.checked ? Qt::Checked : Qt::Unchecked);
  return item;
}

}  // namespace

QString from_cp1252(const std::string& text) { return QString::fromUtf8(cp1252_to_utf8(text)); }

std::string to_cp1252(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return utf8_to_cp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

std::string to_core_path(const QString& local_path) {
  return normal_path(to_cp1252(QFileInfo(local_path).absoluteFilePath()));
}

QtScreenView::QtScreenView(FileSystem& fs) : fs_(fs), quit_([] { QCoreApplication::exit(0); }) {}

QtScreenView::~QtScreenView() { set_busy(false); }

void QtScreenView::add_screen(ScreenForm& screen) { screens_.emplace_back(&screen); }

ScreenForm* QtScreenView::screen(const std::string& name) const {
  const QString wanted = QString::fromStdString(name);
  for (const QPointer<ScreenForm>& screen : screens_) {
    if (screen && screen->objectName() == wanted) return screen.data();
  }
  return nullptr;
}

template <class Widget>
Widget* QtScreenView::control(const std::string& screen_name, const std::string& name) const {
  ScreenForm* form = screen(screen_name);
  if (form == nullptr) return nullptr;
  return form->findChild<Widget*>(QString::fromStdString(name));
}

// The modal remove screen when it is up, else the shown screen.
ScreenForm* QtScreenView::front_screen() const {
  ScreenForm* front = nullptr;
  for (const QPointer<ScreenForm>& screen : screens_) {
    if (!screen || !screen->isVisible()) continue;
    if (front == nullptr || screen->isModal()) front = screen.data();
  }
  return front;
}

void QtScreenView::show_progress(long long done, long long total) {
  ScreenForm* form = front_screen();
  if (form != nullptr) form->show_progress(done, total);
}

int QtScreenView::ShowMessage(const std::string& text, int style, const std::string& title) {
  ui::default_message_service().set_parent(front_screen());
  return ui::ShowMessage(on_screen(text), style, title);
}

std::optional<std::string> QtScreenView::open_file(const std::string& screen_name, const OpenFileRequest& request) {
  ScreenForm* form = screen(screen_name);
  ui::cFileDialog* dialog = form != nullptr ? form->file_dialog() : nullptr;
  if (dialog == nullptr) return std::nullopt;
  dialog->set_hWnd(form);
  dialog->set_Filter(request.filter);
  const std::string& start = !request.init_dir.empty() ? request.init_dir : !last_folder_.empty() ? last_folder_ : request.first_dir;
  dialog->set_InitDir(on_screen(start));
  dialog->set_flags(0);
  if (!dialog->ShowOpen() || dialog->Cancel()) return std::nullopt;
  const std::string chosen = to_core_path(from_cp1252(dialog->FileName()));
  last_folder_ = parent_path(chosen);
  return chosen;
}

void QtScreenView::set_busy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    return;
  }
  QApplication::restoreOverrideCursor();
  for (const QPointer<ScreenForm>& screen : screens_) {
    if (screen) screen->show_progress(0, 0);
  }
}

void QtScreenView::pump_events() { QCoreApplication::processEvents(); }

void QtScreenView::set_label(const std::string& screen_name, const std::string& label, const std::string& text) {
  auto* widget = control<QLabel>(screen_name, label);
  if (widget == nullptr) return;
  widget->setText(label_text(text));
  // A one-line label cuts what does not fit: the whole text is a hover away.
  if (!widget->wordWrap()) widget->setToolTip(widget->text());
}

std::string QtScreenView::button_state(const std::string& screen_name, const std::string& button) {
  auto* widget = control<ui::LargeButton>(screen_name, button);
  return widget != nullptr ? to_cp1252(widget->state()) : std::string();
}

void QtScreenView::set_button_state(const std::string& screen_name, const std::string& button,
                                    const std::string& state) {
  if (auto* widget = control<ui::LargeButton>(screen_name, button)) widget->set_state(from_cp1252(state));
}

void QtScreenView::set_list(const std::string& screen_name, const std::string& list, const ListContent& content) {
  auto* widget = control<QListWidget>(screen_name, list);
  if (widget == nullptr) return;
  const bool checkable = widget->property(kCheckableProperty).toBool();
  const QSignalBlocker quiet(widget);
  widget->clear();
  for (const ListRow& row : content.rows) widget->addItem(make_row(row, checkable));
  for (int i = 0; i < widget->count(); ++i) widget->setRowHidden(i, content.rows[static_cast<std::size_t>(i)].hidden);
  widget->setEnabled(content.enabled);
  widget->setCurrentRow(content.current);
  screen(screen_name)->list_changed(*widget, true);
}

void QtScreenView::set_hidden_rows(const std::string& screen_name, const std::string& list,
                                   const std::vector<bool>& hidden) {
  auto* widget = control<QListWidget>(screen_name, list);
  if (widget == nullptr) return;
  const int rows = std::min(widget->count(), static_cast<int>(hidden.size()));
  for (int i = 0; i < rows; ++i) widget->setRowHidden(i, hidden[static_cast<std::size_t>(i)]);
  screen(screen_name)->list_changed(*widget, false);
}

std::string QtScreenView::field_text(const std::string& screen_name, const std::string& field) {
  auto* widget = control<QLineEdit>(screen_name, field);
  return widget != nullptr ? to_cp1252(widget->text()) : std::string();
}

ListContent QtScreenView::list(const std::string& screen_name, const std::string& list) {
  ListContent content;
  auto* widget = control<QListWidget>(screen_name, list);
  if (widget == nullptr) return content;
  content.enabled = widget->isEnabled();
  content.current = widget->currentRow();
  for (int i = 0; i < widget->count(); ++i) {
    const QListWidgetItem* item = widget->item(i);
    content.rows.push_back(ListRow{to_cp1252(item->text()), item->data(Qt::UserRole).toInt(),
                                   item->checkState() == Qt::Checked, (item->flags() & Qt::ItemIsEnabled) != 0,
                                   to_cp1252(item->toolTip()), widget->isRowHidden(i),
                                   item->data(kPictureRole).toByteArray().toStdString()});
  }
  return content;
}

bool QtScreenView::show_picture(const std::string& screen_name, const std::string& box, const std::string& path) {
  const Result<std::string> bytes = read_whole_file(fs_, path, kMaxPictureBytes);
  return bytes && show_picture_data(screen_name, box, *bytes);
}

bool QtScreenView::show_picture_data(const std::string& screen_name, const std::string& box,
                                     const std::string& bytes) {
  auto* widget = control<QLabel>(screen_name, box);
  if (widget == nullptr) return false;
  QImage picture;
  if (!picture.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()))) {
    return false;
  }
  widget->setPixmap(QPixmap::fromImage(picture));
  return true;
}

bool QtScreenView::is_checked(const std::string& screen_name, const std::string& check_box) {
  auto* widget = control<QCheckBox>(screen_name, check_box);
  return widget != nullptr && widget->isChecked();
}

int QtScreenView::run_box(QMessageBox& box) {
  if (responder_) QTimer::singleShot(0, &box, [this, &box] { responder_(box); });
  return box.exec();
}

DuplicateChoice QtScreenView::ask_duplicate(const std::string& title) {
  QMessageBox box(QMessageBox::Question, from_cp1252(kAppTitle),
                  QStringLiteral("A repaint named \"%1\" is installed in this aircraft already.\n\n"
                                 "Copy: install the package as another repaint beside it.\n"
                                 "Skip: leave this package out.\n"
                                 "Replace: remove the installed repaint, then install the package.")
                      .arg(from_cp1252(title)),
                  QMessageBox::NoButton, front_screen());
  QPushButton* copy = box.addButton(QStringLiteral("Copy"), QMessageBox::AcceptRole);
  QPushButton* skip = box.addButton(QStringLiteral("Skip"), QMessageBox::RejectRole);
  QPushButton* replace = box.addButton(QStringLiteral("Replace"), QMessageBox::DestructiveRole);
  box.setDefaultButton(copy);
  box.setEscapeButton(copy);  // closing the box does what the program always did
  run_box(box);
  if (box.clickedButton() == skip) return DuplicateChoice::kSkip;
  if (box.clickedButton() == replace) return DuplicateChoice::kReplace;
  return DuplicateChoice::kCopy;
}

bool QtScreenView::offer_repair(const std::vector<Finding>& findings) {
  QMessageBox box(QMessageBox::Warning, from_cp1252(kAppTitle), label_text(repair_offer_text(findings)),
                  QMessageBox::NoButton, front_screen());
  QPushButton* ok = box.addButton(QMessageBox::Ok);
  QPushButton* cancel = box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(cancel);  // rewriting the file is the user's explicit choice
  box.setEscapeButton(cancel);
  run_box(box);
  return box.clickedButton() == ok;
}

void QtScreenView::show_screen_in_place(const std::string& show, const std::string& hide) {
  ScreenForm* shown = screen(show);
  ScreenForm* hidden = screen(hide);
  if (shown == nullptr || hidden == nullptr) return;
  shown->move(hidden->pos());
  hidden->hide();
  shown->show();
  shown->activateWindow();
}

void QtScreenView::show_centred_over_main(const std::string& screen_name, bool modal) {
  ScreenForm* form = screen(screen_name);
  ScreenForm* main = screen("frm_Main");
  if (form == nullptr || main == nullptr) return;
  form->move(main->x() + main->width() / 2 - form->width() / 2, main->y() + main->height() / 2 - form->height() / 2);
  if (!modal) {
    form->show();
    return;
  }
  run_modal(*form);
}

void QtScreenView::run_modal(ScreenForm& form) {
  form.setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  QObject::connect(&form, &ScreenForm::hidden, &loop, &QEventLoop::quit);
  form.show();
  form.activateWindow();
  // Hidden already (a test, or a very quick user): nothing to wait for.
  if (form.isVisible()) loop.exec(QEventLoop::DialogExec);
  form.setWindowModality(Qt::NonModal);
}

bool QtScreenView::show_review(DownloadReview& review) {
  auto* form = qobject_cast<frm_Review*>(screen("frm_Review"));
  ScreenForm* main = screen("frm_Main");
  if (form == nullptr || main == nullptr) return false;
  form->show_review(review);
  form->move(main->pos());
  // The busy pointer of the command that opened it must not cover the choice.
  const bool was_busy = busy_;
  set_busy(false);
  run_modal(*form);
  set_busy(was_busy);
  return form->accepted();
}

void QtScreenView::hide_screen(const std::string& screen_name) {
  if (ScreenForm* form = screen(screen_name)) form->hide();
}

void QtScreenView::shut_down() {
  set_busy(false);
  for (const QPointer<ScreenForm>& screen : screens_) {
    if (!screen) continue;
    for (ui::ImageButton* button : screen->findChildren<ui::ImageButton*>()) button->end_sub_class();
  }
  for (const QPointer<ScreenForm>& screen : screens_) {
    if (screen) screen->hide();
  }
  if (quit_) quit_();
}

}  // namespace pw
