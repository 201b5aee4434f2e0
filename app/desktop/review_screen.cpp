#include "app/desktop/review_screen.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "app/command_texts.h"
#include "app/desktop/download_review.h"
#include "app/desktop/qt_screen_view.h"
#include "app/desktop/thumbnail_cache.h"
#include "base/file_ops.h"
#include "ui/image_button.h"

namespace pw {
namespace {

constexpr QSize kPicture(64, 48);
constexpr int kDownloadRole = Qt::UserRole;
constexpr int kRepaintRole = Qt::UserRole + 1;
enum Column { kRepaintColumn, kAircraftColumn, kSourceColumn, kFindingsColumn };

// Core texts hold CR line breaks; a cell shows one line per line.
QString cell_text(const std::string& text) {
  QString shown = from_cp1252(text);
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

std::string findings_text(const ReviewedRepaint& r) {
  std::vector<std::string> lines;
  if (!r.refusal.empty()) lines.push_back("Cannot be installed: " + r.refusal);
  lines.insert(lines.end(), r.notes.begin(), r.notes.end());
  if (!r.findings.empty()) lines.push_back(findings_lines(r.findings));
  if (lines.empty()) lines.push_back("Nothing found to mend.");
  return cr_lines(lines);
}

}  // namespace

frm_Review::frm_Review() : ScreenForm(ui::ScreenKind::kHangar, "frm_Review", "Review Downloads") {
  add_label("Label1", "Repaints found in the downloads: tick those to install and check the aircraft each goes to",
            {38, 84, 728, 17}, true);
  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("treRepaints"));
  tree_->setGeometry(36, 104, 732, 382);
  tree_->setHeaderLabels({QStringLiteral("Repaint"), QStringLiteral("Aircraft"), QStringLiteral("Entry from"),
                          QStringLiteral("Findings")});
  tree_->setIconSize(kPicture);
  tree_->setWordWrap(true);
  tree_->setSelectionMode(QAbstractItemView::NoSelection);
  tree_->header()->setStretchLastSection(true);
  add_label("lblTicked", "", {38, 491, 400, 18});
  if (!load_frame()) return;
  ui::LargeButton* install = add_named_button(
      "btn_Install", {{50, 525}, "install", "Install", "disabled", "Press to install the ticked repaints."});
  ui::LargeButton* back = add_named_button(
      "btn_Return", {{555, 525}, "return", "Return", "enabled", "Click to go back without installing anything."});
  place_progress_bar({367, 496, 280, 4});
  connect(install, &ui::LargeButton::released, this, [this] { leave(true); });
  connect(back, &ui::LargeButton::released, this, [this] { leave(false); });
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] { leave(false); });
  connect(tree_, &QTreeWidget::itemChanged, this, &frm_Review::row_changed);
}

frm_Review::~frm_Review() = default;

void frm_Review::attach_thumbnails(FileSystem& fs) { thumbnails_ = std::make_unique<ThumbnailCache>(fs, kPicture); }

void frm_Review::show_review(DownloadReview& review) {
  review_ = &review;
  accepted_ = false;
  fill();
}

void frm_Review::fill() {
  const QSignalBlocker quiet(tree_);
  tree_->clear();
  // Widths first: the rows' heights follow their wrapped findings.
  tree_->setColumnWidth(kRepaintColumn, 260);
  tree_->setColumnWidth(kAircraftColumn, 170);
  tree_->setColumnWidth(kSourceColumn, 95);
  for (std::size_t d = 0; d < review_->downloads.size(); ++d) {
    const ReviewedDownload& download = review_->downloads[d];
    // The download's own line spans the columns: its name, and why none
    // of it or what of it is left out.
    std::string line = file_name(download.path);
    if (!download.problem.empty()) line += "  -  cannot be installed: " + download.problem;
    if (!download.scan.left_out.empty()) line += "  -  left out, as only texture folders are installed:";
    for (const std::string& folder : download.scan.left_out) line += " " + folder;
    auto* branch = new QTreeWidgetItem(tree_, {from_cp1252(line)});
    branch->setFirstColumnSpanned(true);
    branch->setToolTip(kRepaintColumn, from_cp1252(download.path));
    QFont bold = branch->font(kRepaintColumn);
    bold.setBold(true);
    branch->setFont(kRepaintColumn, bold);
    for (std::size_t r = 0; r < download.repaints.size(); ++r) {
      auto* row = new QTreeWidgetItem(branch);
      row->setData(kRepaintColumn, kDownloadRole, static_cast<qulonglong>(d));
      row->setData(kRepaintColumn, kRepaintRole, static_cast<qulonglong>(r));
      const ReviewedRepaint& repaint = download.repaints[r];
      const bool can_install = repaint.refusal.empty();
      row->setFlags(can_install ? row->flags() | Qt::ItemIsUserCheckable : row->flags() & ~Qt::ItemIsEnabled);
      row->setCheckState(kRepaintColumn, repaint.ticked && can_install ? Qt::Checked : Qt::Unchecked);
      if (thumbnails_) {
        row->setIcon(kRepaintColumn, QPixmap::fromImage(repaint.picture.empty() ? thumbnails_->placeholder()
                                                                                : thumbnails_->picture(repaint.picture)));
      }
      row->setText(kSourceColumn, from_cp1252(repaint.source));
      show_row(*row, d, r);
      add_aircraft_choice(*row, d, r);
    }
  }
  tree_->expandAll();
  show_count();
}

// What a new aircraft changes: the title (a made-up one) and the findings.
void frm_Review::show_row(QTreeWidgetItem& row, std::size_t d, std::size_t r) {
  const ReviewedRepaint& repaint = review_->downloads[d].repaints[r];
  const QSignalBlocker quiet(tree_);
  row.setText(kRepaintColumn, from_cp1252(repaint.title));
  row.setToolTip(kRepaintColumn, from_cp1252(repaint.title + "\r" + repaint.folder).replace(QLatin1Char('\r'), QLatin1Char('\n')));
  row.setText(kFindingsColumn, cell_text(findings_text(repaint)));
  row.setToolTip(kFindingsColumn, row.text(kFindingsColumn));
}

void frm_Review::add_aircraft_choice(QTreeWidgetItem& row, std::size_t d, std::size_t r) {
  const ReviewedRepaint& repaint = review_->downloads[d].repaints[r];
  auto* choice = new QComboBox;
  choice->setObjectName(QStringLiteral("cboAircraft"));
  if (!repaint.target) choice->addItem(QStringLiteral("Choose the aircraft"), -1);
  for (const std::size_t a : repaint.candidates) choice->addItem(from_cp1252(review_->aircraft[a].label), static_cast<int>(a));
  if (!repaint.candidates.empty()) choice->insertSeparator(choice->count());
  for (std::size_t a = 0; a < review_->aircraft.size(); ++a) {
    const bool candidate = std::find(repaint.candidates.begin(), repaint.candidates.end(), a) != repaint.candidates.end();
    if (!candidate) choice->addItem(from_cp1252(review_->aircraft[a].label), static_cast<int>(a));
  }
  if (repaint.target) choice->setCurrentIndex(choice->findData(static_cast<int>(*repaint.target)));
  choice->setEnabled(repaint.refusal.empty());
  choice->setToolTip(choice->currentText());
  connect(choice, &QComboBox::currentIndexChanged, this, [this, choice, &row, d, r] {
    const int a = choice->currentData().toInt();
    if (a < 0) return;
    review_->choose_target(d, r, static_cast<std::size_t>(a));
    choice->setToolTip(choice->currentText());
    show_row(row, d, r);
    show_count();
  });
  tree_->setItemWidget(&row, kAircraftColumn, choice);
}

void frm_Review::row_changed(QTreeWidgetItem* row, int column) {
  if (review_ == nullptr || row == nullptr || row->parent() == nullptr || column != kRepaintColumn) return;
  const auto d = row->data(kRepaintColumn, kDownloadRole).toULongLong();
  const auto r = row->data(kRepaintColumn, kRepaintRole).toULongLong();
  review_->downloads[d].repaints[r].ticked = row->checkState(kRepaintColumn) == Qt::Checked;
  show_count();
}

void frm_Review::show_count() {
  std::size_t found = 0;
  for (const ReviewedDownload& d : review_->downloads) found += d.repaints.size();
  const std::size_t ready = review_->installable_count();
  QString text = QStringLiteral("%1 of %2 repaints ticked with an aircraft").arg(ready).arg(found);
  findChild<QLabel*>(QStringLiteral("lblTicked"))->setText(text);
  if (auto* install = findChild<ui::LargeButton*>(QStringLiteral("btn_Install"))) {
    install->set_state(ready > 0 ? QStringLiteral("enabled") : QStringLiteral("disabled"));
  }
}

void frm_Review::leave(bool install) {
  if (!isVisible()) return;
  accepted_ = install && review_ != nullptr && review_->installable_count() > 0;
  if (auto* back = findChild<ui::LargeButton*>(QStringLiteral("btn_Return"))) back->set_state(QStringLiteral("enabled"));
  hide();
}

}  // namespace pw
