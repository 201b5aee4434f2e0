#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QtTest>

#include "app/main_screen.h"
#include "app/qt_screen_view.h"
#include "packages/install_screen.h"
#include "packages/package_format.h"
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

  void selectFillsEveryScreenAndCancelChangesNothing() {
    dialogs_->answers.push_back(QString());
    click(button(main_, "btn_Select"));
    QCOMPARE(label(main_, "Label5"), QString("Selected Aircraft:"));
    QCOMPARE(button(main_, "btn_Add")->state(), QString("disabled"));
    QCOMPARE(list(run_->program->install_screen(), "lstPackages")->count(), 0);
    select_aircraft();
    QCOMPARE(dialogs_->filters.size(), std::size_t(2));
    QCOMPARE(dialogs_->filters[0], QStringList({"Package File (*.pkg)", "Repaint Configuration File (*.rcf)"}));
    QCOMPARE(label(main_, "Label5"), QString("Selected Aircraft: Test Trainer"));
    QCOMPARE(label(main_, "Label6"), QString("Aircraft Folder: SimObjects\\Airplanes\\Trainer"));
    QCOMPARE(label(main_, "lblInfo"), QString("Information: Two lines\nof information"));
    for (const char* name : {"btn_Select", "btn_Add", "btn_Edit", "btn_Upload"}) {
      QCOMPARE(button(main_, name)->state(), QString("enabled"));
    }
    frm_Package* package = run_->program->package_screen();
    QCOMPARE(row_texts(list(package, "lstAircraft")), QStringList({"Factory White", "Sunrise Air", "Glacier Express"}));
    QCOMPARE(list(package, "lstAircraft")->currentRow(), 0);
    QCOMPARE(row_texts(list(package, "lstTextures")), QStringList({"plane_t.bmp", "texture.cfg"}));
    QCOMPARE(list(package, "lstTextures")->item(1)->checkState(), Qt::Checked);
    frm_Install* install = run_->program->install_screen();
    QCOMPARE(row_texts(list(install, "lstPackages")), QStringList({"Crimson Aero", "Emerald Club"}));
    QCOMPARE(list(install, "lstPackages")->item(0)->checkState(), Qt::Unchecked);
    QCOMPARE(centre_colour(install, "picPreview"), kCrimsonColour);  // row 0 made current shows its preview
    QCOMPARE(button(install, "btn_Install")->state(), QString("disabled"));
    frm_Remove* remove = run_->program->remove_screen();
    QCOMPARE(row_texts(list(remove, "lstAircraft")), QStringList({"Sunrise Air", "Glacier Express"}));
    QCOMPARE(button(remove, "btn_Remove")->state(), QString("disabled"));
    QVERIFY(messages_->shown.empty());
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
    tick(list(remove, "lstAircraft"), 1, false);
    QCOMPARE(button(remove, "btn_Remove")->state(), QString("disabled"));
    frm_Package* package = run_->program->package_screen();
    list(package, "lstAircraft")->setCurrentRow(2);  // the user clicks Glacier Express
    QCOMPARE(row_texts(list(package, "lstTextures")), QStringList({"plane_t.bmp", "texture.cfg"}));
    QVERIFY(QFile::remove(tree_->plane("Texture.Sunrise/texture.cfg")));
    list(package, "lstAircraft")->setCurrentRow(1);
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
    QVERIFY(messages_->shown[0].has_cancel);
    QCOMPARE(messages_->shown[1].icon, QMessageBox::Information);
    QCOMPARE(messages_->shown[1].text, QString("All selected repaint packages have been successfully installed\n"
                                               "into your selected aircraft.\n\nPlease press OK to continue."));
    const QString cfg = tree_->read(tree_->plane("aircraft.cfg"));
    QVERIFY2(cfg.contains("[fltsim.3]\r\ntitle=Trainer Emerald\r\n"), qPrintable(cfg));
    QVERIFY(QFile::exists(tree_->plane("Texture.Emerald/plane_t.bmp")));
    QVERIFY(!QFile::exists(tree_->plane("Downloads/Emerald_Repaint.pkg")));  // chkDelete was ticked
    QVERIFY(QFile::exists(tree_->plane("Downloads/Crimson_Repaint.pkg")));
    QCOMPARE(row_texts(list(install, "lstPackages")), QStringList({"Crimson Aero"}));
    QCOMPARE(button(install, "btn_Install")->state(), QString("disabled"));
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
    QCOMPARE(edit->state(), QString("enabled"));
    QCOMPARE(messages_->titles(), QStringList({"Remove Aircraft Repaints", "Repaint Removal Successful"}));
    const QString cfg = tree_->read(tree_->plane("aircraft.cfg"));
    QVERIFY2(!cfg.contains("Trainer Sunrise"), qPrintable(cfg));
    QVERIFY2(cfg.contains("[fltsim.1]\r\ntitle=Trainer Glacier"), qPrintable(cfg));
    QVERIFY(!QFile::exists(tree_->plane("Texture.Sunrise")));
    QCOMPARE(row_texts(list(remove, "lstAircraft")), QStringList({"Glacier Express"}));
    QCOMPARE(button(remove, "btn_Remove")->state(), QString("disabled"));
  }

  void packageFromThePackageScreen() {
    select_aircraft();
    click(button(main_, "btn_Upload"));
    frm_Package* package = run_->program->package_screen();
    QVERIFY(package->isVisible());
    list(package, "lstAircraft")->setCurrentRow(1);
    tick(list(package, "lstTextures"), 1, false);  // leave texture.cfg out

    const QString preview = tree_->root() + "/preview.bmp";
    QImage blue(400, 300, QImage::Format_RGB32);
    blue.fill(QColor(20, 40, 200));
    QVERIFY(blue.save(preview, "BMP"));
    dialogs_->answers.push_back(preview);
    click(button(package, "btn_Preview"));
    QCOMPARE(dialogs_->filters.back(), QStringList({"Bitmap Image Files (*.bmp)"}));
    QCOMPARE(centre_colour(package, "picPreview"), QColor(20, 40, 200));

    click(button(package, "btn_Package"));
    QCOMPARE(messages_->titles(), QStringList({"Create Repaint Package", "Repaint Package Created"}));
    QVERIFY(messages_->shown[0].text.contains("for the Sunrise Air aircraft."));
    QVERIFY(messages_->shown[1].text.contains("\n\nSunrise_Air_Repaint.pkg\n\n"));
    const QString made = tree_->plane("Uploads/Sunrise_Air_Repaint.pkg");
    auto file = native_file_system().open_read(to_cp1252(made));
    QVERIFY(file.ok());
    const Result<PackageLayout> layout = read_package_layout(**file);
    QVERIFY(layout.ok());
    QCOMPARE(layout->files.size(), std::size_t(1));
    QCOMPARE(layout->files[0].name, std::string("plane_t.bmp"));
    const auto carried = read_package_preview(**file);
    QVERIFY(carried.ok() && carried->has_value());
    QCOMPARE(QFileInfo(preview).size(), qint64((*carried)->size()));

    click(button(package, "btn_Return"));
    QVERIFY(main_->isVisible());
    QVERIFY(!package->isVisible());
    QCOMPARE(main_->pos(), package->pos());
  }

  void browsedPackageForAnotherAircraftIsRefused() {
    select_aircraft();
    const QString path = tree_->root() + "/Other_Repaint.pkg";
    QByteArray bytes = package_bytes("Other", "Other Plane", Qt::yellow);
    // Another aircraft's folder in the carried configuration text.
    bytes.replace("folder=SimObjects\\Airplanes\\Trainer", "folder=SimObjects\\Airplanes\\Glider0");
    QVERIFY(tree_->write(path, bytes));
    dialogs_->answers.push_back(path);
    frm_Install* install = run_->program->install_screen();
    click(button(install, "BrowsePackages"));
    QCOMPARE(dialogs_->filters.back(), QStringList({"Package File (*.pkg)"}));
    QCOMPARE(messages_->shown.size(), std::size_t(1));
    QVERIFY(messages_->shown[0].text.startsWith("The folder path for the selected package"));
    QCOMPARE(row_texts(list(install, "lstPackages")), QStringList({"Crimson Aero", "Emerald Club"}));

    const QString fits = tree_->root() + "/Fits_Repaint.pkg";
    QVERIFY(tree_->write(fits, package_bytes("Fits", "Fits Here", Qt::yellow)));
    dialogs_->answers.push_back(fits);
    click(button(install, "BrowsePackages"));
    QCOMPARE(row_texts(list(install, "lstPackages")), QStringList({"Crimson Aero", "Emerald Club", "*Fits Here"}));
  }
};

int run_flow_tests(int argc, char** argv) {
  FlowTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace pw::test

#include "flow_test.moc"
