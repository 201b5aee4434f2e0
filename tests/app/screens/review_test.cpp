#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "app/desktop/download_review.h"
#include "app/desktop/review_screen.h"
#include "screen_fixture.h"
#include "ui/image_button.h"

namespace pw::test {

class ReviewTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<SimTree> tree_;
  std::unique_ptr<MessageScript> messages_;
  std::unique_ptr<DialogScript> dialogs_;
  std::unique_ptr<RunningProgram> run_;

  // Runs `user` once the modal review screen is up; it must leave it.
  bool review(DownloadReview& review, const std::function<void(frm_Review&)>& user) {
    frm_Review* screen = run_->program->review_screen();
    QTimer::singleShot(0, screen, [screen, user] {
      user(*screen);
      screen->hide();  // never leave the loop waiting, whatever failed above
    });
    return run_->program->view().show_review(review);
  }

 private slots:
  void init() {
    tree_ = std::make_unique<SimTree>();
    QVERIFY(tree_->ok());
    messages_ = std::make_unique<MessageScript>();
    dialogs_ = std::make_unique<DialogScript>();
    run_ = std::make_unique<RunningProgram>(*tree_);
    QVERIFY(run_->started);
  }

  void cleanup() {
    run_.reset();
    dialogs_.reset();
    messages_.reset();
    tree_.reset();
  }

  // Each repaint under its download, a made-up one unticked until the user
  // ticks it; a new aircraft renames a made-up entry; Install only with a
  // tick; Escape leaves with nothing to install.
  void showsTheFindingsAndTakesTheChoices() {
    DownloadReview made(native_file_system(), "");
    made.aircraft = {{"C:\\Sim\\Trainer", "Trainer (Trainer Factory)", "Trainer Factory"},
                     {"C:\\Sim\\Glider", "Glider (Glider White)", "Glider White"}};
    ReviewedDownload& download = made.downloads.emplace_back();
    download.path = "C:\\Downloads\\liveries.zip";
    download.scan.repaints.resize(2);
    download.scan.repaints[1].texture = "Plain";
    download.scan.left_out = {"model.big"};
    ReviewedRepaint blue, plain;
    blue.title = "Trainer Blue", blue.candidates = {0}, blue.target = 0, blue.source = "readme.txt, line 3";
    blue.ticked = true, blue.findings = {{FindingKind::kMissingThumbnail, "Texture.Blue", "no thumbnail.jpg"}};
    plain.found = 1, plain.title = "Plain", plain.source = kMadeUpSource, plain.made_up = true;
    download.repaints = {blue, plain};
    made.downloads.emplace_back().path = "C:\\Downloads\\broken.rar";
    made.downloads.back().problem = "the archive is damaged";

    const bool installs = review(made, [&](frm_Review& screen) {
      auto* shown = screen.findChild<QTreeWidget*>("treRepaints");
      QCOMPARE(shown->topLevelItemCount(), 2);
      QTreeWidgetItem* zip = shown->topLevelItem(0);
      QCOMPARE(zip->text(0), QString("liveries.zip  -  left out, as only texture folders are installed: model.big"));
      QCOMPARE(shown->topLevelItem(1)->text(0), QString("broken.rar  -  cannot be installed: the archive is damaged"));
      QCOMPARE(zip->child(0)->text(0), QString("Trainer Blue"));
      QCOMPARE(zip->child(0)->text(2), QString("readme.txt, line 3"));
      QVERIFY(zip->child(0)->text(3).contains("[Texture.Blue] no thumbnail.jpg"));
      QCOMPARE(zip->child(0)->checkState(0), Qt::Checked);
      QCOMPARE(zip->child(1)->checkState(0), Qt::Unchecked);
      QCOMPARE(zip->child(1)->text(2), QString("made up"));
      auto* choice = qobject_cast<QComboBox*>(shown->itemWidget(zip->child(1), 1));
      QCOMPARE(choice->currentText(), QString("Choose the aircraft"));
      QCOMPARE(choice->count(), 3);

      auto* install = screen.findChild<ui::LargeButton*>("btn_Install");
      auto* count = screen.findChild<QLabel*>("lblTicked");
      zip->child(0)->setCheckState(0, Qt::Unchecked);
      QCOMPARE(install->state(), QString("disabled"));
      zip->child(1)->setCheckState(0, Qt::Checked);
      QCOMPARE(install->state(), QString("disabled"));  // ticked, but for no aircraft yet
      choice->setCurrentIndex(choice->findText("Glider (Glider White)"));
      QCOMPARE(zip->child(1)->text(0), QString("Glider White Plain"));
      QCOMPARE(count->text(), QString("1 of 2 repaints ticked with an aircraft"));
      QCOMPARE(install->state(), QString("enabled"));
      click(install);
      QVERIFY(!screen.isVisible());
    });
    QVERIFY(installs);
    QCOMPARE(made.downloads[0].repaints[1].target, std::optional<std::size_t>(1));
    QVERIFY(!made.downloads[0].repaints[0].ticked);
    QVERIFY(made.downloads[0].repaints[1].ticked);

    QVERIFY(!review(made, [](frm_Review& screen) {
      QTest::keyClick(screen.findChild<QTreeWidget*>("treRepaints"), Qt::Key_Escape);
      QVERIFY(!screen.isVisible());
    }));
  }
};

int run_review_tests(int argc, char** argv) {
  ReviewTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace pw::test

#include "review_test.moc"
