#include "app/desktop/screen_form.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPixmap>
#include <QProgressBar>
#include <QUrl>

#include "ui/font_scaling.h"
#include "ui/image_button.h"
#include "ui/skin_paths.h"

namespace pw {
namespace {

constexpr const char* kDefaultPictureProperty = "pw_default_picture";

// The skin font, preferring a Tahoma-wide face before the wider DejaVu, so
// the design's texts fit the design's label sizes where Tahoma is missing.
QFont screen_font(double points, bool bold = false) {
  QFont font = ui::skin_font(points, bold ? QFont::Bold : QFont::Normal);
  font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                    QStringLiteral("DejaVu Sans")});
  return font;
}

// The dropped local files and folders; links and other data are no files.
QStringList local_files(const QMimeData* data) {
  QStringList paths;
  if (data == nullptr) return paths;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  return paths;
}

}  // namespace

ScreenForm::ScreenForm(ui::ScreenKind kind, const QString& name, const QString& title)
    : SkinnedForm(ui::frame_settings(kind)) {
  setObjectName(name);
  setWindowTitle(title);
  setAcceptDrops(true);
}

void ScreenForm::dragEnterEvent(QDragEnterEvent* event) {
  if (!local_files(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ScreenForm::dropEvent(QDropEvent* event) {
  const QStringList paths = local_files(event->mimeData());
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  emit files_dropped(paths);
}

bool ScreenForm::load_frame() {
  skin_ok_ = load_skin_or_report();
  return skin_ok_;
}

QLabel* ScreenForm::add_label(const QString& name, const QString& text, const QRect& where, bool bold) {
  auto* label = new QLabel(text, this);
  label->setObjectName(name);
  label->setGeometry(where);
  // Titles and folder names come from users' files: never read them as markup.
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setFont(screen_font(kLabelPoints, bold));
  return label;
}

QListWidget* ScreenForm::add_list(const QString& name, const QRect& where, bool checkable) {
  auto* list = new QListWidget(this);
  list->setObjectName(name);
  list->setGeometry(where);
  list->setFont(screen_font(kListPoints));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setProperty(kCheckableProperty, checkable);
  // Rows set from code come with signals blocked, so these are the user's.
  connect(list, &QListWidget::currentRowChanged, this, [this, name](int) { emit list_clicked(name); });
  if (checkable) {
    connect(list, &QListWidget::itemChanged, this, [this, name](QListWidgetItem*) { emit list_clicked(name); });
  }
  return list;
}

QLabel* ScreenForm::add_picture(const QString& name, const QRect& where, const QString& default_picture) {
  auto* box = new QLabel(this);
  box->setObjectName(name);
  box->setGeometry(where);
  box->setFrameStyle(QFrame::Box | QFrame::Plain);
  box->setLineWidth(1);
  box->setAlignment(Qt::AlignCenter);
  box->setAutoFillBackground(true);
  box->setPalette(QPalette(QColor(96, 96, 96), QColor(40, 40, 40)));
  box->setProperty(kDefaultPictureProperty, default_picture);
  show_default_picture(*box);
  return box;
}

void ScreenForm::show_default_picture(QLabel& box) {
  QPixmap picture;
  if (picture.load(ui::skin_file(box.property(kDefaultPictureProperty).toString()))) box.setPixmap(picture);
}

QListWidgetItem* ScreenForm::shown_current(const QListWidget& list) {
  QListWidgetItem* current = list.currentItem();
  return current != nullptr && !current->isHidden() ? current : nullptr;
}

QCheckBox* ScreenForm::add_check_box(const QString& name, const QString& text, const QRect& where) {
  auto* box = new QCheckBox(text, this);
  box->setObjectName(name);
  box->setGeometry(where);
  box->setFont(screen_font(kLabelPoints));
  return box;
}

QLineEdit* ScreenForm::add_search_field(const QString& name, const QRect& where, const QString& list) {
  auto* field = new QLineEdit(this);
  field->setObjectName(name);
  field->setGeometry(where);
  field->setFont(screen_font(kListPoints));
  field->setPlaceholderText(QStringLiteral("Search: name, airline, registration, painter..."));
  field->setClearButtonEnabled(true);
  connect(field, &QLineEdit::textChanged, this, [this, list] { emit search_changed(list); });
  return field;
}

ui::LargeButton* ScreenForm::add_named_button(const QString& name, const ui::ButtonSetup& setup) {
  ui::LargeButton* button = add_button(setup);
  button->setObjectName(name);
  return button;
}

void ScreenForm::place_progress_bar(const QRect& where) {
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("prgWork"));
  progress_->setGeometry(where);
  progress_->setTextVisible(false);
  progress_->setRange(0, 100);
  progress_->hide();
}

void ScreenForm::show_progress(qint64 done, qint64 total) {
  if (progress_ == nullptr) return;
  if (total <= 0 || done >= total) {
    progress_->hide();
    shown_percent_ = -1;
    return;
  }
  const int percent = static_cast<int>(done * 100 / total);
  if (percent == shown_percent_ && progress_->isVisible()) return;
  shown_percent_ = percent;
  progress_->setValue(percent);
  progress_->show();
  // The work runs on this thread: paint now, without letting input in.
  progress_->repaint();
}

void ScreenForm::hideEvent(QHideEvent* event) {
  SkinnedForm::hideEvent(event);
  emit hidden();
}

}  // namespace pw
