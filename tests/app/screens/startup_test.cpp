#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QtTest>

#include "app/main_screen.h"
#include "app/qt_screen_view.h"
#include "app/startup.h"
#include "packages/install_screen.h"
#include "packages/package_screen.h"
#include "packages/remove_screen.h"
#include "screen_fixture.h"
#include "ui/image_button.h"

namespace pw::test {
namespace {

QList<QWidget*> visible_windows() {
  QList<QWidget*> shown;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible()) shown << widget;
  }
  return shown;
}

}  // namespace

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened << url; }
};

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void refusesWithoutFsxExe() {
    SimTree tree(false);
    QVERIFY(tree.ok());
    MessageScript messages;
    RunningProgram run(tree);
    QVERIFY(!run.started);
    QCOMPARE(messages.shown.size(), std::size_t(1));
    QCOMPARE(messages.shown[0].text,
             QString("FSX.EXE not properly located. Please make sure this application is installed to your \n"
                     "[FSX PATH]\\Varnel Software\\FSX Paintwell folder and that FSX.EXE exists in the FSX folder "
                     "root."));
    QCOMPARE(messages.shown[0].title, QString("Varnel FSX Paintwell"));
    QCOMPARE(messages.shown[0].icon, QMessageBox::NoIcon);
    QVERIFY(!messages.shown[0].has_cancel);
    QVERIFY(run.program->main_screen() == nullptr);
    QVERIFY(visible_windows().isEmpty());
  }

  void findsFsxExeWhateverItsCase() {
    SimTree tree(false);
    QVERIFY(tree.write(tree.root() + "/fsx.exe", "MZ"));
    MessageScript messages;
    RunningProgram run(tree);
    QVERIFY(run.started);
    QVERIFY(messages.shown.empty());
    QCOMPARE(QDir(from_cp1252(run.program->context().state.g_SimRoot)).canonicalPath(),
             QDir(tree.root()).canonicalPath());
  }

  void missingSkinFileStopsStartupNamingIt() {
    SimTree tree;
    QVERIFY(QFile::remove(tree.program_folder() + "/Media/Remove_Background.bmp"));
    MessageScript messages;
    RunningProgram run(tree);
    QVERIFY(!run.started);
    QCOMPARE(messages.shown.size(), std::size_t(1));
    QVERIFY2(messages.shown[0].text.contains("Remove_Background.bmp"), qPrintable(messages.shown[0].text));
    QVERIFY(run.program->main_screen() == nullptr);
    QVERIFY(visible_windows().isEmpty());
  }

  void mainScreenStartsWithOnlySelectAndExit() {
    SimTree tree;
    MessageScript messages;
    RunningProgram run(tree);
    QVERIFY(run.started);
    frm_Main* main = run.program->main_screen();
    QCOMPARE(visible_windows(), QList<QWidget*>{main});
    QCOMPARE(main->windowTitle(), QString("Varnel Paintwell for FSX"));
    QCOMPARE(main->size(), QSize(800, 600));
    QVERIFY(!main->mask().isEmpty());  // cut to the region file's outline
    QCOMPARE(main->findChild<QLabel*>("lbl_Version")->text(), QString("v 1.0.1"));
    QCOMPARE(main->findChild<QLabel*>("Label5")->text(), QString("Selected Aircraft:"));
    QCOMPARE(main->findChild<QLabel*>("Label6")->text(), QString("Aircraft Folder:"));
    QCOMPARE(main->findChild<QLabel*>("lblInfo")->text(), QString("Information:"));
    const int disabled_frame = -3 * ui::kLargeFace.height();
    for (const char* name : {"btn_Add", "btn_Edit", "btn_Upload"}) {
      auto* button = main->findChild<ui::LargeButton*>(name);
      QCOMPARE(button->state(), QString("disabled"));
      QCOMPARE(button->frame_offset(), disabled_frame);
    }
    for (const char* name : {"btn_Select", "btn_Exit"}) {
      QCOMPARE(main->findChild<ui::LargeButton*>(name)->state(), QString("enabled"));
    }
    QVERIFY(messages.shown.empty());
  }

  void everyButtonIsSetUpAsDesigned_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("tooltip");
    const QString exit_tip = "Click to Exit the Varnel FSX Paintwell.";
    const QString return_tip = "Click to return to the main screen of the Varnel FSX Paintwell.";
    QTest::newRow("main exit") << "frm_Main" << "btn_Exit" << QPoint(322, 525) << "exit" << "Exit" << "enabled"
                               << "Click to Exit the Varnel Paintwell for FSX.";
    QTest::newRow("main select") << "frm_Main" << "btn_Select" << QPoint(52, 219) << "select" << "selectaircraft"
                                 << "enabled" << "Click to load a Repaint Configuration File (*.RCF).";
    QTest::newRow("main add") << "frm_Main" << "btn_Add" << QPoint(52, 297) << "add" << "Add" << "disabled" << "";
    QTest::newRow("main edit") << "frm_Main" << "btn_Edit" << QPoint(52, 377) << "remove" << "Remove" << "disabled"
                               << "";
    QTest::newRow("main upload") << "frm_Main" << "btn_Upload" << QPoint(52, 457) << "upload" << "Prepare"
                                 << "disabled" << "";
    QTest::newRow("package exit") << "frm_Package" << "btn_Exit" << QPoint(322, 525) << "exit" << "Exit" << "enabled"
                                  << exit_tip;
    QTest::newRow("package package")
        << "frm_Package" << "btn_Package" << QPoint(96, 525) << "package" << "Package" << "enabled"
        << "Press to create a repaint package file that can be uploaded to share your repaint with other users.";
    QTest::newRow("package return") << "frm_Package" << "btn_Return" << QPoint(548, 525) << "return" << "Return"
                                    << "enabled" << return_tip;
    QTest::newRow("package preview") << "frm_Package" << "btn_Preview" << QPoint(616, 433) << "preview" << "Change"
                                     << "enabled"
                                     << "Press to select a new preview image for your repaint package.  Images MUST "
                                        "be bmp files with a resolution of 400x300.";
    QTest::newRow("install browse") << "frm_Install" << "BrowsePackages" << QPoint(36, 442) << "browse"
                                    << "BrowsePackages" << "enabled"
                                    << "Click to browse for packages instead of using them from the list.";
    QTest::newRow("install exit") << "frm_Install" << "btn_Exit" << QPoint(322, 525) << "exit" << "Exit" << "enabled"
                                  << exit_tip;
    QTest::newRow("install install") << "frm_Install" << "btn_Install" << QPoint(96, 525) << "install" << "Install"
                                     << "disabled" << "Press to install the selected repaint package files.";
    QTest::newRow("install return") << "frm_Install" << "btn_Return" << QPoint(548, 525) << "return" << "Return"
                                    << "enabled" << return_tip;
    QTest::newRow("remove remove") << "frm_Remove" << "btn_Remove" << QPoint(20, 282) << "remove" << "Remove"
                                   << "disabled" << "Click to remove the selected repaints.";
    QTest::newRow("remove return") << "frm_Remove" << "btn_Return" << QPoint(180, 282) << "return" << "Return"
                                   << "enabled" << return_tip;
  }

  void everyButtonIsSetUpAsDesigned() {
    QFETCH(QString, screen);
    QFETCH(QString, button);
    SimTree tree;
    RunningProgram run(tree);
    QVERIFY(run.started);
    ScreenForm* form = run.program->view().screen(screen.toStdString());
    QVERIFY(form != nullptr);
    auto* found = form->findChild<ui::LargeButton*>(button);
    QVERIFY(found != nullptr);
    QTEST(found->pos(), "position");
    QTEST(found->button_type(), "type");
    QTEST(found->picture(), "picture");
    QTEST(found->state(), "state");
    QTEST(found->ToolTip(), "tooltip");
    QCOMPARE(found->form_name(), screen);
  }

  void everyControlSitsWhereDesigned_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");  // labels and check boxes; "" for others
    QTest::newRow("package heading") << "frm_Package" << "Label2" << QRect(37, 96, 293, 17)
                                     << "Select Aircraft to Package";
    QTest::newRow("package aircraft") << "frm_Package" << "lstAircraft" << QRect(35, 115, 310, 178) << "";
    QTest::newRow("package files heading") << "frm_Package" << "Label3" << QRect(37, 299, 293, 16)
                                           << "All files checked below will be packaged.";
    QTest::newRow("package textures") << "frm_Package" << "lstTextures" << QRect(35, 317, 310, 182) << "";
    QTest::newRow("package preview heading") << "frm_Package" << "Label1" << QRect(368, 96, 399, 17)
                                             << "Currently Assigned Preview Picture";
    QTest::newRow("package picture") << "frm_Package" << "picPreview" << QRect(366, 116, 402, 302) << "";
    QTest::newRow("package advice")
        << "frm_Package" << "Label4" << QRect(367, 432, 241, 41)
        << "The above picture displays the preview picture that will be included in your package, to select a "
           "different picture, press the button to the right.";
    QTest::newRow("install list heading") << "frm_Install" << "Label2" << QRect(38, 166, 293, 17)
                                          << "Package List (Default is from Downloads Folder)";
    QTest::newRow("install packages") << "frm_Install" << "lstPackages" << QRect(36, 186, 310, 254) << "";
    QTest::newRow("install preview heading") << "frm_Install" << "Label1" << QRect(369, 166, 399, 17)
                                             << "Aircraft Preview Picture";
    QTest::newRow("install picture") << "frm_Install" << "picPreview" << QRect(367, 186, 402, 302) << "";
    QTest::newRow("install browse note")
        << "frm_Install" << "Label3" << QRect(202, 442, 143, 46)
        << "*Browsed for packages are removed from the list after each installation.";
    QTest::newRow("install delete") << "frm_Install" << "chkDelete" << QRect(35, 491, 308, 20)
                                    << "Automatically delete package(s) after installation.";
    QTest::newRow("remove heading") << "frm_Remove" << "Label1" << QRect(20, 58, 310, 18)
                                    << "Select aircraft to remove from Flight Simulator";
  }

  void everyControlSitsWhereDesigned() {
    QFETCH(QString, screen);
    QFETCH(QString, control);
    QFETCH(QString, text);
    SimTree tree;
    RunningProgram run(tree);
    QVERIFY(run.started);
    auto* widget = run.program->view().screen(screen.toStdString())->findChild<QWidget*>(control);
    QVERIFY(widget != nullptr);
    QTEST(widget->geometry(), "geometry");
    if (auto* label = qobject_cast<QLabel*>(widget); label && !text.isEmpty()) QCOMPARE(label->text(), text);
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
      QCOMPARE(box->text(), text);
      QVERIFY(!box->isChecked());
    }
  }

  void mainScreenHelpTextsAreExact_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::newRow("start") << "Label7"
                           << "Start with the \"Select Aircraft\" button. You can then use the Varnel Paintwell for "
                              "FSX to perform the other listed tasks.";
    QTest::newRow("select") << "Label4"
                            << "Use the Select Aircraft button to select the working aircraft that you will add a new "
                               "livery to, or create packages from. Selecting this button will open a browse window, "
                               "looking for a Package file, or a Repaint Configuration File. Use the Repaint "
                               "Configuration File if you are configuring a first-time package.";
    QTest::newRow("add") << "Label1"
                         << "Use the Add Repaint(s) button to add the repaints for the selected Aircraft Configuration "
                            "File loaded above. You will be able to view preview shots of the aircraft if one is "
                            "available. You can add one or multiple repaints at a time with this option.";
    QTest::newRow("remove") << "Label2"
                            << "Use the Remove Repaint(s) button to remove the selected repaints from Flight Simulator. "
                               "If you have previously installed an aircraft repaint that you do not care for, this "
                               "will completely remove the aircraft and update the aircraft's configuration file.";
    QTest::newRow("package") << "Label3"
                             << "Use the Create Package button to package a repaint you have done. If you are a "
                                "painter, share your work and let everyone enjoy it! The next screen will help you in "
                                "the process to prepare the correct files for use in the Paintwell.";
  }

  void mainScreenHelpTextsAreExact() {
    QFETCH(QString, label);
    SimTree tree;
    RunningProgram run(tree);
    QVERIFY(run.started);
    auto* found = run.program->main_screen()->findChild<QLabel*>(label);
    QVERIFY(found != nullptr);
    QTEST(found->text(), "text");
    QCOMPARE(found->textFormat(), Qt::PlainText);
  }

  void installInstructionsAreComplete() {
    SimTree tree;
    RunningProgram run(tree);
    QVERIFY(run.started);
    const QString text = run.program->install_screen()->findChild<QLabel*>("Label4")->text();
    QCOMPARE(text,
             QString("Using the list provided below, please select the repaint packages that you would like to "
                     "install for the selected aircraft. The list shows all the packages that are found in the "
                     "Downloads folder of your aircraft as well as one you may have added by browsing. You may check "
                     "as many aircraft as you would like to install. Under the selection list you can a see an option "
                     "to delete the package files once you have installed them. This option is recommended so you "
                     "will not attempt to install packages more than one time. Please note that the Selection List is "
                     "refreshed after every installation and will show the packages in your aircraft's Downloads "
                     "folder. Packages added by browsing are not re-listed automatically."));
  }

  void checkListsAndPlainListAreTold() {
    SimTree tree;
    RunningProgram run(tree);
    QVERIFY(run.started);
    const struct {
      const char* screen;
      const char* list;
      bool checkable;
    } lists[] = {{"frm_Package", "lstAircraft", false},
                 {"frm_Package", "lstTextures", true},
                 {"frm_Install", "lstPackages", true},
                 {"frm_Remove", "lstAircraft", true}};
    for (const auto& l : lists) {
      auto* list = run.program->view().screen(l.screen)->findChild<QListWidget*>(l.list);
      QVERIFY2(list != nullptr, l.list);
      QCOMPARE(list->property(kCheckableProperty).toBool(), l.checkable);
    }
  }

  void removeScreenIsSmallAndRectangular() {
    SimTree tree;
    RunningProgram run(tree);
    QVERIFY(run.started);
    frm_Remove* remove = run.program->remove_screen();
    QCOMPARE(remove->size(), QSize(350, 350));
    QCOMPARE(remove->windowTitle(), QString("Remove Repaints"));
    QVERIFY(remove->mask().isEmpty());
    QVERIFY(remove->findChild<QLabel*>("lbl_Version") == nullptr);
    QCOMPARE(run.program->package_screen()->findChild<QLabel*>("lbl_Version")->text(), QString("v 1.0.1"));
  }

  void exitFromAnyScreenEndsTheProgram_data() {
    QTest::addColumn<QString>("screen");
    QTest::newRow("main") << "frm_Main";
    QTest::newRow("package") << "frm_Package";
    QTest::newRow("install") << "frm_Install";
  }

  void exitFromAnyScreenEndsTheProgram() {
    QFETCH(QString, screen);
    SimTree tree;
    RunningProgram run(tree);
    QVERIFY(run.started);
    QtScreenView& view = run.program->view();
    if (screen != "frm_Main") view.show_screen_in_place(screen.toStdString(), "frm_Main");
    QVERIFY(view.screen(screen.toStdString())->isVisible());
    click(view.screen(screen.toStdString())->findChild<ui::LargeButton*>("btn_Exit"));
    QCOMPARE(run.quits, 1);
    QVERIFY(visible_windows().isEmpty());
    for (const char* name : {"frm_Main", "frm_Package", "frm_Install", "frm_Remove"}) {
      for (ui::ImageButton* button : view.screen(name)->findChildren<ui::ImageButton*>()) {
        QVERIFY2(button->tooltip() == nullptr, name);  // its subclassing ended
      }
    }
  }

  void linkOpensTheMakersPage() {
    SimTree tree;
    RunningProgram run(tree);
    QVERIFY(run.started);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("http", &catcher, "open");
    auto* link = run.program->main_screen()->findChild<QLabel*>("Label8");
    QVERIFY(link != nullptr);
    QVERIFY(link->text().contains(QString("href=\"%1\"").arg(kMakerWebAddress)));
    emit link->linkActivated(kMakerWebAddress);
    QDesktopServices::unsetUrlHandler("http");
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl(kMakerWebAddress)});
  }
};

int run_startup_tests(int argc, char** argv) {
  StartupTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace pw::test

#include "startup_test.moc"
