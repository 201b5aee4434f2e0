#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QtTest>

#include "app/desktop/main_screen.h"
#include "app/desktop/qt_screen_view.h"
#include "app/startup.h"
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

const QString kExitTip = "Click to Exit the Varnel FSX Paintwell.";
const QString kReturnTip = "Click to return to the main screen of the Varnel FSX Paintwell.";

const struct ButtonRow {
  const char *screen, *name;
  QPoint position;
  const char *type, *picture, *state;
  QString tooltip;
} kButtons[] = {
    {"frm_Main", "btn_Exit", {322, 525}, "exit", "Exit", "enabled", "Click to Exit the Varnel Paintwell for FSX."},
    {"frm_Main", "btn_Select", {52, 219}, "select", "selectaircraft", "enabled",
     "Click to load a Repaint Configuration File (*.RCF)."},
    {"frm_Main", "btn_Add", {52, 297}, "add", "Add", "disabled", ""},
    {"frm_Main", "btn_Edit", {52, 377}, "remove", "Remove", "disabled", ""},
    {"frm_Main", "btn_Upload", {52, 457}, "upload", "Prepare", "disabled", ""},
    {"frm_Package", "btn_Exit", {322, 525}, "exit", "Exit", "enabled", kExitTip},
    {"frm_Package", "btn_Package", {96, 525}, "package", "Package", "enabled",
     "Press to create a repaint package file that can be uploaded to share your repaint with other users."},
    {"frm_Package", "btn_Return", {548, 525}, "return", "Return", "enabled", kReturnTip},
    {"frm_Package", "btn_Preview", {616, 433}, "preview", "Change", "enabled",
     "Press to select a new preview image for your repaint package.  Images MUST be bmp files with a resolution "
     "of 400x300."},
    {"frm_Install", "BrowsePackages", {36, 442}, "browse", "BrowsePackages", "enabled",
     "Click to browse for packages instead of using them from the list."},
    {"frm_Install", "btn_Exit", {322, 525}, "exit", "Exit", "enabled", kExitTip},
    {"frm_Install", "btn_Install", {96, 525}, "install", "Install", "disabled",
     "Press to install the selected repaint package files."},
    {"frm_Install", "btn_Return", {548, 525}, "return", "Return", "enabled", kReturnTip},
    {"frm_Remove", "btn_Remove", {20, 282}, "remove", "Remove", "disabled", "Click to remove the selected repaints."},
    {"frm_Remove", "btn_Return", {180, 282}, "return", "Return", "enabled", kReturnTip},
};

// Labels and check boxes carry their text; a null geometry is not checked.
const struct ControlRow {
  const char *screen, *name;
  QRect geometry;
  QString text;
} kControls[] = {
    {"frm_Main", "Label5", {}, "Selected Aircraft:"},
    {"frm_Main", "Label6", {}, "Aircraft Folder:"},
    {"frm_Main", "lblInfo", {}, "Information:"},
    {"frm_Main", "lbl_Version", {}, "v 1.0.1"},
    {"frm_Main", "Label7", {},
     "Start with the \"Select Aircraft\" button. You can then use the Varnel Paintwell for FSX to perform the other "
     "listed tasks."},
    {"frm_Main", "Label4", {},
     "Use the Select Aircraft button to select the working aircraft that you will add a new livery to, or create "
     "packages from. Selecting this button will open a browse window, looking for a Package file, or a Repaint "
     "Configuration File. Use the Repaint Configuration File if you are configuring a first-time package."},
    {"frm_Main", "Label1", {},
     "Use the Add Repaint(s) button to add the repaints for the selected Aircraft Configuration File loaded above. "
     "You will be able to view preview shots of the aircraft if one is available. You can add one or multiple "
     "repaints at a time with this option."},
    {"frm_Main", "Label2", {},
     "Use the Remove Repaint(s) button to remove the selected repaints from Flight Simulator. If you have previously "
     "installed an aircraft repaint that you do not care for, this will completely remove the aircraft and update "
     "the aircraft's configuration file."},
    {"frm_Main", "Label3", {},
     "Use the Create Package button to package a repaint you have done. If you are a painter, share your work and "
     "let everyone enjoy it! The next screen will help you in the process to prepare the correct files for use in "
     "the Paintwell."},
    {"frm_Package", "Label2", {37, 96, 293, 17}, "Select Aircraft to Package"},
    {"frm_Package", "lstAircraft", {35, 115, 310, 178}, ""},
    {"frm_Package", "Label3", {37, 299, 293, 16}, "All files checked below will be packaged."},
    {"frm_Package", "lstTextures", {35, 317, 310, 182}, ""},
    {"frm_Package", "Label1", {368, 96, 399, 17}, "Currently Assigned Preview Picture"},
    {"frm_Package", "picPreview", {366, 116, 402, 302}, ""},
    {"frm_Package", "Label4", {367, 432, 241, 41},
     "The above picture displays the preview picture that will be included in your package, to select a different "
     "picture, press the button to the right."},
    {"frm_Package", "lbl_Version", {}, "v 1.0.1"},
    {"frm_Install", "Label2", {38, 166, 293, 17}, "Package List (Default is from Downloads Folder)"},
    {"frm_Install", "lstPackages", {36, 186, 310, 254}, ""},
    {"frm_Install", "Label1", {369, 166, 399, 17}, "Aircraft Preview Picture"},
    {"frm_Install", "picPreview", {367, 186, 402, 302}, ""},
    {"frm_Install", "Label3", {202, 442, 143, 46},
     "*Browsed for packages are removed from the list after each installation."},
    {"frm_Install", "chkDelete", {35, 491, 308, 20}, "Automatically delete package(s) after installation."},
    {"frm_Install", "Label4", {},
     "Using the list provided below, please select the repaint packages that you would like to install for the "
     "selected aircraft. The list shows all the packages that are found in the Downloads folder of your aircraft as "
     "well as one you may have added by browsing. You may check as many aircraft as you would like to install. Under "
     "the selection list you can a see an option to delete the package files once you have installed them. This "
     "option is recommended so you will not attempt to install packages more than one time. Please note that the "
     "Selection List is refreshed after every installation and will show the packages in your aircraft's Downloads "
     "folder. Packages added by browsing are not re-listed automatically."},
    {"frm_Remove", "Label1", {20, 58, 310, 18}, "Select aircraft to remove from Flight Simulator"},
};

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
  void refusesWithoutFsxExeAndFindsItWhateverItsCase() {
    SimTree tree(false);
    QVERIFY(tree.ok());
    {
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
    QVERIFY(tree.write(tree.root() + "/fsx.exe", "MZ"));
    MessageScript messages;
    RunningProgram run(tree);
    QVERIFY(run.started);
    QVERIFY(messages.shown.empty());
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

  void everyScreenIsSetUpAsDesigned() {
    SimTree tree;
    MessageScript messages;
    RunningProgram run(tree);
    QVERIFY(run.started);
    frm_Main* main = run.program->main_screen();
    QCOMPARE(visible_windows(), QList<QWidget*>{main});
    QVERIFY(!main->mask().isEmpty());  // cut to the region file's outline
    const struct {
      const char* name;
      QString title;
      QSize size;
    } screens[] = {{"frm_Main", "Varnel Paintwell for FSX", {800, 600}},
                   {"frm_Package", "Create Repaint Package", {800, 600}},
                   {"frm_Install", "Install Repaint Packages", {800, 600}},
                   {"frm_Remove", "Remove Repaints", {350, 350}}};
    QtScreenView& view = run.program->view();
    for (const auto& s : screens) {
      QCOMPARE(view.screen(s.name)->windowTitle(), s.title);
      QCOMPARE(view.screen(s.name)->size(), s.size);
    }
    for (const ButtonRow& b : kButtons) {
      auto* found = view.screen(b.screen)->findChild<ui::LargeButton*>(b.name);
      QVERIFY2(found != nullptr, b.name);
      const QString seen = QStringList{found->form_name(), found->objectName(), found->button_type(),
                                       found->picture(), found->state(), found->ToolTip()}.join('|');
      QCOMPARE(seen, QStringList({b.screen, b.name, b.type, b.picture, b.state, b.tooltip}).join('|'));
      QCOMPARE(found->pos(), b.position);
    }
    for (const ControlRow& c : kControls) {
      auto* widget = view.screen(c.screen)->findChild<QWidget*>(c.name);
      QVERIFY2(widget != nullptr, c.name);
      if (!c.geometry.isNull()) QCOMPARE(widget->geometry(), c.geometry);
      if (auto* label = qobject_cast<QLabel*>(widget); label && !c.text.isEmpty()) {
        QCOMPARE(label->text(), c.text);
        // Screen texts are never read as markup (the skin's version label is its own).
        if (QString(c.name) != "lbl_Version") QCOMPARE(label->textFormat(), Qt::PlainText);
      }
      if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        QCOMPARE(box->text(), c.text);
        QVERIFY(!box->isChecked());
      }
    }
    QVERIFY(view.screen("frm_Remove")->findChild<QLabel*>("lbl_Version") == nullptr);
    QVERIFY(messages.shown.empty());
  }

  // The other screens' Exit goes the same way (dispatcher_test, and the
  // button table above).
  void exitEndsTheProgram() {
    SimTree tree;
    RunningProgram run(tree);
    QVERIFY(run.started);
    QtScreenView& view = run.program->view();
    click(view.screen("frm_Main")->findChild<ui::LargeButton*>("btn_Exit"));
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
