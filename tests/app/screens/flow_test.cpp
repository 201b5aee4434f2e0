#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "app/desktop/main_screen.h"
#include "app/desktop/qt_screen_view.h"
#include "packages/install_screen.h"
#include "packages/package_screen.h"
#include "packages/remove_screen.h"
#include "screen_fixture.h"
#include "ui/image_button.h"

namespace pw::test {
namespace {

QColor centre_colour(QWidget* screen, const char* box) {
  const QPixmap picture = screen->findChild<QLabel*>(box)->pixmap();
  return picture.toImage().pixelColor(picture.width() / 2, picture.height() / 2);
}

ui::LargeButton* button(QWidget* screen, const char* name) { return screen->findChild<ui::LargeButton*>(name); }
QListWidget* list(QWidget* screen, const char* name) { return screen->findChild<QListWidget*>(name); }
QString label(QWidget* screen, const char* name) { return screen->findChild<QLabel*>(name)->text(); }

}  // namespace

class FlowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<SimTree> tree_;
  std::unique_ptr<MessageScript> messages_;
  std::unique_ptr<DialogScript> dialogs_;
  std::unique_ptr<RunningProgram> run_;
  frm_Main* main_ = nullptr;

  QtScreenView& view() { return run_->program->view(); }

  // The user selects the tree's aircraft with btn_Select and its dialog.
  void select_aircraft() {
    dialogs_->answers.push_back(tree_->rcf());
    click(button(main_, "btn_Select"));
    QCOMPARE(button(main_, "btn_Add")->state(), QString("enabled"));
  }

 private slots:
  void init() {
    tree_ = std::make_unique<SimTree>();
    QVERIFY(tree_->ok());
    messages_ = std::make_unique<MessageScript>();
    dialogs_ = std::make_unique<DialogScript>();
    run_ = std::make_unique<RunningProgram>(*tree_);
    QVERIFY(run_->started);
    main_ = run_->program->main_screen();
  }

  void cleanup() {
    run_.reset();
    dialogs_.reset();
    messages_.reset();
    tree_.reset();
    QVERIFY(QApplication::overrideCursor() == nullptr);  // no busy pointer left on
  }

  // What the lists and labels hold, and a cancelled dialog, are the core's
  // (aircraft_selection_test); here what reaches the widgets on a select.
  void selectFillsTheScreens() {
    select_aircraft();
    QCOMPARE(label(main_, "Label5"), QString("Selected Aircraft: Test Trainer"));
    // Filling the aircraft list lists the current entry's files without a click.
    QCOMPARE(row_texts(list(run_->program->package_screen(), "lstTextures")), QStringList({"plane_t.bmp", "texture.cfg"}));
  }

  void ticksAndClicksDriveTheButtons() {
    select_aircraft();
    frm_Install* install = run_->program->install_screen();
    QListWidget* packages = list(install, "lstPackages");
    tick(packages, 1);
    QCOMPARE(button(install, "btn_Install")->state(), QString("enabled"));
    QCOMPARE(centre_colour(install, "picPreview"), kEmeraldColour);
    tick(packages, 1, false);
    QCOMPARE(button(install, "btn_Install")->state(), QString("disabled"));
    frm_Remove* remove = run_->program->remove_screen();
    tick(list(remove, "lstAircraft"), 1);
    QCOMPARE(button(remove, "btn_Remove")->state(), QString("enabled"));
    frm_Package* package = run_->program->package_screen();
    QVERIFY(QFile::remove(tree_->plane("Texture.Sunrise/texture.cfg")));
    list(package, "lstAircraft")->setCurrentRow(1);  // the user clicks Sunrise Air: its files listed anew
    QCOMPARE(row_texts(list(package, "lstTextures")), QStringList({"plane_t.bmp"}));
  }

  void wholeInstallFromTheInstallScreen() {
    select_aircraft();
    click(button(main_, "btn_Add"));
    frm_Install* install = run_->program->install_screen();
    QVERIFY(install->isVisible());
    QVERIFY(!main_->isVisible());
    QCOMPARE(install->pos(), main_->pos());
    tick(list(install, "lstPackages"), 1);
    install->findChild<QCheckBox*>("chkDelete")->setChecked(true);
    click(button(install, "btn_Install"));

    QCOMPARE(messages_->titles(), QStringList({"Install Aircraft Repaints", "Repaint Packages Installed"}));
    QCOMPARE(messages_->shown[0].text,
             QString("You are about to install new repaints.  This process could take a few minutes depending on the\n"
                     "number of aircraft you have selected to install and the speed of your computer.\n\n"
                     "Do you wish to continue?"));
    QCOMPARE(messages_->shown[1].icon, QMessageBox::Information);
    QCOMPARE(messages_->shown[1].text, QString("All selected repaint packages have been successfully installed\n"
                                               "into your selected aircraft.\n\nPlease press OK to continue."));
    QVERIFY(QFile::exists(tree_->plane("Texture.Emerald/plane_t.bmp")));
    QVERIFY(!QFile::exists(tree_->plane("Downloads/Emerald_Repaint.pkg")));  // chkDelete was ticked
    QVERIFY(QFile::exists(tree_->plane("Downloads/Crimson_Repaint.pkg")));
    QCOMPARE(row_texts(list(run_->program->remove_screen(), "lstAircraft")),
             QStringList({"Sunrise Air", "Glacier Express", "Emerald Club"}));
    QCOMPARE(list(run_->program->package_screen(), "lstAircraft")->count(), 4);

    click(button(install, "btn_Return"));
    QVERIFY(main_->isVisible());
    QVERIFY(!install->isVisible());
  }

  void removeRunsInTheModalScreen() {
    select_aircraft();
    frm_Remove* remove = run_->program->remove_screen();
    ui::LargeButton* edit = button(main_, "btn_Edit");
    bool ran_inside = false;
    QString state_inside;
    QPoint position_inside;
    QTimer::singleShot(0, remove, [&] {
      ran_inside = remove->isVisible() && remove->isModal();
      state_inside = edit->state();
      position_inside = remove->pos();
      tick(list(remove, "lstAircraft"), 0);
      click(button(remove, "btn_Remove"));
      click(button(remove, "btn_Return"));
      remove->hide();  // never leave the loop waiting, whatever failed above
    });
    click(edit);

    QVERIFY(ran_inside);
    QCOMPARE(state_inside, QString("highlight"));  // the main command was still waiting
    QCOMPARE(position_inside, main_->pos() + QPoint(400 - 175, 300 - 175));
    QVERIFY(!remove->isVisible());
    QCOMPARE(messages_->titles(), QStringList({"Remove Aircraft Repaints", "Repaint Removal Successful"}));
    QCOMPARE(messages_->shown[1].icon, QMessageBox::Information);
    QCOMPARE(messages_->shown[1].text, QString("All selected aircraft repaints have been successfully removed\n"
                                               "from your aircraft.\n\nPlease press OK to continue."));
    QVERIFY(!QFile::exists(tree_->plane("Texture.Sunrise")));
    QCOMPARE(row_texts(list(remove, "lstAircraft")), QStringList({"Glacier Express"}));
  }

  void packageFromThePackageScreen() {
    select_aircraft();
    click(button(main_, "btn_Upload"));
    frm_Package* package = run_->program->package_screen();
    QVERIFY(package->isVisible());
    list(package, "lstAircraft")->setCurrentRow(1);

    const QString preview = tree_->root() + "/preview.bmp";
    QImage blue(400, 300, QImage::Format_RGB32);
    blue.fill(QColor(20, 40, 200));
    QVERIFY(blue.save(preview, "BMP"));
    dialogs_->answers.push_back(preview);
    click(button(package, "btn_Preview"));
    QCOMPARE(centre_colour(package, "picPreview"), QColor(20, 40, 200));

    click(button(package, "btn_Package"));
    QCOMPARE(messages_->titles(), QStringList({"Create Repaint Package", "Repaint Package Created"}));
    QVERIFY(messages_->shown[0].text.contains("for the Sunrise Air aircraft."));
    QVERIFY(QFile::exists(tree_->plane("Uploads/Sunrise_Air_Repaint.pkg")));

    click(button(package, "btn_Return"));
    QVERIFY(main_->isVisible());
    QVERIFY(!package->isVisible());
  }

  // A refused package (its message, the list unchanged) is package_list_test's.
  void browsedPackageIsListedLast() {
    select_aircraft();
    const QString fits = tree_->root() + "/Fits_Repaint.pkg";
    QVERIFY(tree_->write(fits, package_bytes("Fits", "Fits Here", Qt::yellow)));
    dialogs_->answers.push_back(fits);
    frm_Install* install = run_->program->install_screen();
    click(button(install, "BrowsePackages"));
    QCOMPARE(row_texts(list(install, "lstPackages")), QStringList({"Crimson Aero", "Emerald Club", "*Fits Here"}));
  }

  // The Qt view on its own: what crosses between the core and the widgets.
  void textCrossesAsWindows1252() {
    view().set_label("frm_Main", "Label5", "Selected Aircraft: Caf\xE9 \x80 One\rTwo\r\nThree");
    QCOMPARE(run_->program->main_screen()->findChild<QLabel*>("Label5")->text(),
             QString::fromUtf8("Selected Aircraft: Caf\u00e9 \u20ac One\nTwo\nThree"));
    ListContent content;
    content.rows = {{"M\xFCller Air", 7, true, true, ""}, {"<b>plain</b>", 3, false, true, ""}};
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
  }

  void fillingAListRaisesNoClickAndAPlainListHasNoCheckBoxes() {
    ScreenForm* install = view().screen("frm_Install");
    QSignalSpy clicks(install, &ScreenForm::list_clicked);
    view().set_list("frm_Install", "lstPackages", {true, {{"One", 0, false, true, ""}, {"Two", 1, false, true, ""}}, 1});
    QCOMPARE(clicks.count(), 0);
    tick(install->findChild<QListWidget*>("lstPackages"), 0);
    QVERIFY(clicks.count() >= 1);
    QCOMPARE(clicks.last().at(0).toString(), QString("lstPackages"));

    view().set_list("frm_Package", "lstAircraft", {true, {{"Sunrise Air", 1, true, true, ""}}, 0});
    const QListWidgetItem* item = view().screen("frm_Package")->findChild<QListWidget*>("lstAircraft")->item(0);
    QVERIFY(!(item->flags() & Qt::ItemIsUserCheckable));
    QVERIFY(!view().list("frm_Package", "lstAircraft").rows[0].checked);
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

int run_flow_tests(int argc, char** argv) {
  FlowTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace pw::test

#include "flow_test.moc"
