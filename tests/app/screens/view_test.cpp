#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "app/main_screen.h"
#include "app/qt_screen_view.h"
#include "packages/install_screen.h"
#include "screen_fixture.h"
#include "ui/image_button.h"

namespace pw::test {

class ViewTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<SimTree> tree_;
  std::unique_ptr<RunningProgram> run_;

  QtScreenView& view() { return run_->program->view(); }

 private slots:
  void init() {
    tree_ = std::make_unique<SimTree>();
    QVERIFY(tree_->ok());
    run_ = std::make_unique<RunningProgram>(*tree_);
    QVERIFY(run_->started);
  }

  void cleanup() {
    run_.reset();
    tree_.reset();
  }

  void textCrossesAsWindows1252() {
    view().set_label("frm_Main", "Label5", "Selected Aircraft: Caf\xE9 \x80 One\rTwo\r\nThree");
    QCOMPARE(run_->program->main_screen()->findChild<QLabel*>("Label5")->text(),
             QString::fromUtf8("Selected Aircraft: Caf\u00e9 \u20ac One\nTwo\nThree"));
    ListContent content;
    content.rows = {{"M\xFCller Air", 7, true}, {"<b>plain</b>", 3, false}};
    content.current = 1;
    view().set_list("frm_Install", "lstPackages", content);
    auto* list = run_->program->install_screen()->findChild<QListWidget*>("lstPackages");
    QCOMPARE(list->item(0)->text(), QString::fromUtf8("M\u00fcller Air"));
    const ListContent back = view().list("frm_Install", "lstPackages");
    QCOMPARE(back.rows.size(), std::size_t(2));
    for (std::size_t i = 0; i < 2; ++i) {
      QCOMPARE(back.rows[i].text, content.rows[i].text);
      QCOMPARE(back.rows[i].item_data, content.rows[i].item_data);
      QCOMPARE(back.rows[i].checked, content.rows[i].checked);
    }
    QCOMPARE(back.current, 1);
    QCOMPARE(to_cp1252(QString::fromUtf8("\u0152\u4e2d")), std::string("\x8C?"));
  }

  void fillingAListRaisesNoClickAndAPlainListHasNoCheckBoxes() {
    ScreenForm* install = view().screen("frm_Install");
    QSignalSpy clicks(install, &ScreenForm::list_clicked);
    view().set_list("frm_Install", "lstPackages", {true, {{"One", 0, false}, {"Two", 1, false}}, 1});
    QCOMPARE(clicks.count(), 0);
    tick(install->findChild<QListWidget*>("lstPackages"), 0);
    QVERIFY(clicks.count() >= 1);
    QCOMPARE(clicks.last().at(0).toString(), QString("lstPackages"));

    view().set_list("frm_Package", "lstAircraft", {true, {{"Sunrise Air", 1, true}}, 0});
    const QListWidgetItem* item = view().screen("frm_Package")->findChild<QListWidget*>("lstAircraft")->item(0);
    QVERIFY(!(item->flags() & Qt::ItemIsUserCheckable));
    QVERIFY(!view().list("frm_Package", "lstAircraft").rows[0].checked);
  }

  void unknownControlsAreIgnored() {
    view().set_label("frm_Nowhere", "Label5", "x");
    view().set_button_state("frm_Main", "btn_Nothing", "enabled");
    QCOMPARE(view().button_state("frm_Main", "btn_Nothing"), std::string());
    QVERIFY(view().list("frm_Main", "lstNothing").rows.empty());
    QVERIFY(!view().is_checked("frm_Install", "chkNothing"));
    QVERIFY(!view().open_file("frm_Remove", {"*.pkg", ""}).has_value());  // no dialog on that screen
  }

  void busyPointerDoesNotStack() {
    view().set_busy(true);
    view().set_busy(true);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    view().set_busy(false);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    view().set_busy(false);
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void pictureThatCannotLoadKeepsTheOldOne() {
    auto* box = view().screen("frm_Install")->findChild<QLabel*>("picPreview");
    const QImage before = box->pixmap().toImage();
    QVERIFY(!before.isNull());  // the screen's own default picture
    QVERIFY(tree_->write(tree_->root() + "/broken.bmp", "BM not really"));
    QVERIFY(!view().show_picture("frm_Install", "picPreview", to_cp1252(tree_->root() + "/broken.bmp")));
    QVERIFY(!view().show_picture("frm_Install", "picPreview", to_cp1252(tree_->root() + "/missing.bmp")));
    QCOMPARE(box->pixmap().toImage(), before);
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(tree_->root() + "/Red.bmp", "BMP"));
    // A core path: backslashes and another letter case still find it.
    const std::string core_path = to_cp1252(QDir::toNativeSeparators(tree_->root())) + "\\RED.BMP";
    QVERIFY(view().show_picture("frm_Install", "picPreview", core_path));
    QCOMPARE(box->pixmap().size(), QSize(40, 30));
  }

  void duplicateQuestionOffersThreeAnswers() {
    const struct {
      QString press;  // a button text, or "" to close the box
      DuplicateChoice expected;
    } cases[] = {{"Copy", DuplicateChoice::kCopy},
                 {"Skip", DuplicateChoice::kSkip},
                 {"Replace", DuplicateChoice::kReplace},
                 {"", DuplicateChoice::kCopy}};
    for (const auto& c : cases) {
      QString text, default_button;
      view().set_responder([&](QMessageBox& box) {
        text = box.text();
        default_button = box.defaultButton() ? box.defaultButton()->text() : QString();
        if (c.press.isEmpty()) return box.reject();
        for (QAbstractButton* b : box.buttons()) {
          if (b->text() == c.press) b->click();
        }
      });
      const DuplicateChoice choice = view().ask_duplicate("Trainer Sunrise");
      view().set_responder(nullptr);
      QVERIFY2(choice == c.expected, qPrintable(c.press));
      QVERIFY(text.contains("\"Trainer Sunrise\""));
      QCOMPARE(default_button, QString("Copy"));
    }
  }

  void repairOfferListsEveryFinding() {
    const std::vector<Finding> findings = {
        {FindingKind::kDuplicateNumber, "fltsim.1", "[fltsim.1] is used twice."},
        {FindingKind::kOrphanTextureFolder, "Texture.Old", "No entry names this folder."}};
    QString text;
    view().set_responder([&](QMessageBox& box) {
      text = box.text();
      box.button(QMessageBox::Ok)->click();
    });
    QVERIFY(view().offer_repair(findings));
    QVERIFY(text.contains("[fltsim.1] [fltsim.1] is used twice.\n"));
    QVERIFY(text.contains("[Texture.Old] No entry names this folder.\n"));
    view().set_responder([](QMessageBox& box) { box.reject(); });
    QVERIFY(!view().offer_repair(findings));
    view().set_responder(nullptr);
  }

  void progressShowsOnTheScreenInFront() {
    QProgressBar* main_bar = run_->program->main_screen()->progress_bar();
    QProgressBar* install_bar = run_->program->install_screen()->progress_bar();
    QVERIFY(main_bar != nullptr && install_bar != nullptr);
    view().show_screen_in_place("frm_Install", "frm_Main");
    view().set_busy(true);
    run_->program->context().progress(30, 120);
    QVERIFY(install_bar->isVisible());
    QCOMPARE(install_bar->value(), 25);
    QVERIFY(!main_bar->isVisible());
    run_->program->context().progress(120, 120);
    QVERIFY(!install_bar->isVisible());
    run_->program->context().progress(10, 120);
    view().set_busy(false);  // the end of the work hides it too
    QVERIFY(!install_bar->isVisible());
  }
};

int run_view_tests(int argc, char** argv) {
  ViewTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace pw::test

#include "view_test.moc"
