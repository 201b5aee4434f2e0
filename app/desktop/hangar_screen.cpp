#include "app/desktop/hangar_screen.h"

#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTabWidget>

#include "app/desktop/thumbnail_cache.h"
#include "ui/image_button.h"

namespace pw {
namespace {

constexpr QSize kCardPicture(120, 90);
constexpr QSize kCard(172, 172);
constexpr int kFrameWidth = 2;  // the selected card's frame
// Set on a card once its picture is shown, so it is not asked for again.
constexpr int kPictureShownRole = kPictureRole + 1;

// Every card takes the same room: laying out a thousand of them then needs
// no measuring of their texts. The selected card gets a frame: the style's
// selection would tint its picture, and the picture is what the user
// compares.
class CardDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return kCard - QSize(4, 4); }
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem plain(option);
    plain.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, plain, index);
    if (!(option.state & QStyle::State_Selected)) return;
    painter->save();
    painter->setPen(QPen(option.palette.color(QPalette::Highlight), kFrameWidth));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
    painter->restore();
  }
};

}  // namespace

frm_Hangar::frm_Hangar() : ScreenForm(ui::ScreenKind::kHangar, "frm_Hangar", "Hangar") {
  add_label("Label1", "Every repaint of the selected aircraft, the packages waiting in its Downloads folder, and every aircraft",
            {38, 84, 728, 17}, true);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("tabHangar"));
  tabs_->setGeometry(36, 104, 732, 382);
  repaints_ = add_grid(QStringLiteral("Installed repaints"), QStringLiteral("lstRepaints"),
                       QStringLiteral("txtSearchRepaints"), QStringLiteral("lblTickedRepaints"));
  packages_ = add_grid(QStringLiteral("Downloads"), QStringLiteral("lstPackages"), QStringLiteral("txtSearchPackages"),
                       QStringLiteral("lblTickedPackages"));
  library_ = add_grid(QStringLiteral("All aircraft"), QStringLiteral("lstLibrary"), QStringLiteral("txtSearchLibrary"),
                      QStringLiteral("lblLibraryCount"), false);
  add_check_box("chkDelete", "Automatically delete package(s) after installation.", {35, 491, 308, 20});
  if (!load_frame()) return;
  add_named_button("btn_Remove", {{50, 525}, "remove", "Remove", "disabled", "Click to remove the ticked repaints."});
  add_named_button("btn_Install", {{50, 525}, "install", "Install", "disabled",
                                   "Press to install the ticked repaint package files."});
  add_named_button("btn_Exit", {{395, 525}, "exit", "Exit", "enabled", "Click to Exit the Varnel FSX Paintwell."});
  add_named_button("btn_Return", {{555, 525}, "return", "Return", "enabled",
                                  "Click to return to the main screen of the Varnel FSX Paintwell."});
  place_progress_bar({367, 496, 280, 4});
  connect(tabs_, &QTabWidget::currentChanged, this, &frm_Hangar::request_pictures);
  connect(tabs_, &QTabWidget::currentChanged, this, &frm_Hangar::show_tab_buttons);
  show_tab_buttons();
  // Escape leaves as Return does, through the same command.
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
    auto* back = findChild<ui::LargeButton*>(QStringLiteral("btn_Return"));
    if (back != nullptr && isVisible()) emit back->released(back);
  });
}

// Each tab's command acts on that tab's ticks, so only that tab's button
// (and the install's delete option) is there to press.
void frm_Hangar::show_tab_buttons() {
  const bool repaints = shown_grid() == repaints_;
  for (const char* name : {"btn_Install", "chkDelete"}) {
    if (QWidget* part = findChild<QWidget*>(QString::fromLatin1(name))) part->setVisible(!repaints);
  }
  if (QWidget* remove = findChild<QWidget*>(QStringLiteral("btn_Remove"))) remove->setVisible(repaints);
}

frm_Hangar::~frm_Hangar() = default;

QListWidget* frm_Hangar::add_grid(const QString& tab, const QString& name, const QString& field,
                                  const QString& count, bool ticks) {
  auto* page = new QWidget(tabs_);
  QWidget* parts[] = {add_search_field(field, {6, 6, 360, 24}, name), add_label(count, "", {376, 10, 340, 18}),
                      add_list(name, {6, 36, 714, 312}, ticks)};
  for (QWidget* part : parts) {
    part->setParent(page);
    part->show();
  }
  auto* grid = static_cast<QListWidget*>(parts[2]);
  grid->setViewMode(QListView::IconMode);
  grid->setMovement(QListView::Static);
  grid->setResizeMode(QListView::Adjust);
  grid->setIconSize(kCardPicture);
  grid->setGridSize(kCard);
  // One line per field, cut with an ellipsis: a long one never pushes the
  // card's last lines out of sight (the tooltip holds them whole).
  grid->setWordWrap(false);
  grid->setTextElideMode(Qt::ElideRight);
  grid->setUniformItemSizes(true);
  grid->setItemDelegate(new CardDelegate(grid));
  connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, &frm_Hangar::request_pictures);
  tabs_->addTab(page, tab);
  return grid;
}

void frm_Hangar::attach_thumbnails(FileSystem& fs) {
  thumbnails_ = std::make_unique<ThumbnailCache>(fs, kCardPicture);
  connect(thumbnails_.get(), &ThumbnailCache::ready, this, &frm_Hangar::show_picture);
  request_pictures();
}

void frm_Hangar::show_tab(int tab) { tabs_->setCurrentIndex(tab); }

QListWidget* frm_Hangar::shown_grid() const {
  const int tab = tabs_->currentIndex();
  return tab == 0 ? repaints_ : tab == 1 ? packages_ : library_;
}

void frm_Hangar::list_changed(QListWidget& list, bool refilled) {
  if (refilled) {
    QHash<QByteArray, QVector<int>>& rows = rows_by_source_[&list];
    rows.clear();
    const QIcon placeholder(thumbnails_ ? QPixmap::fromImage(thumbnails_->placeholder()) : QPixmap());
    const QSignalBlocker quiet(list);
    for (int i = 0; i < list.count(); ++i) {
      const QByteArray source = list.item(i)->data(kPictureRole).toByteArray();
      if (source.isEmpty()) {
        list.item(i)->setIcon(placeholder);  // no folder to look in
      } else {
        rows[source].push_back(i);
      }
    }
  }
  if (&list == shown_grid()) request_pictures();
}

// The shown grid's cards still without a picture, from the first one in
// view on, then those above it: what the user sees comes first.
void frm_Hangar::request_pictures() {
  if (!thumbnails_) return;
  QListWidget* grid = shown_grid();
  const QRect view = grid->viewport()->rect();
  int first = 0;
  while (first < grid->count() &&
         (grid->isRowHidden(first) || !grid->visualItemRect(grid->item(first)).intersects(view))) {
    ++first;
  }
  std::vector<std::string> sources;
  for (int k = 0; k < grid->count(); ++k) {
    const int i = (first + k) % grid->count();
    const QListWidgetItem* card = grid->item(i);
    if (grid->isRowHidden(i) || card->data(kPictureShownRole).toBool()) continue;
    const QByteArray source = card->data(kPictureRole).toByteArray();
    if (!source.isEmpty()) sources.push_back(source.toStdString());
  }
  thumbnails_->request(std::move(sources));
}

void frm_Hangar::show_picture(const QByteArray& source, const QImage& picture) {
  const QIcon icon(QPixmap::fromImage(picture));
  for (QListWidget* grid : {repaints_, packages_, library_}) {
    // Setting an icon is no click or tick of the user's.
    const QSignalBlocker quiet(grid);
    for (const int i : rows_by_source_.value(grid).value(source)) {
      QListWidgetItem* card = grid->item(i);
      if (card == nullptr || card->data(kPictureRole).toByteArray() != source) continue;
      card->setIcon(icon);
      card->setData(kPictureShownRole, true);
    }
  }
}

}  // namespace pw
