#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QtTest>

#include "app/main_screen.h"
#include "app/qt_screen_view.h"
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
      QVERIFY2(messages.shown[0].text.startsWith("FSX.EXE not properly located."), qPrintable(messages.shown[0].text));
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

  // Positions, pictures and captions live once, in the screens; the flow
  // tests press the buttons by name. Here: what holds for every screen.
  void startsOnTheMainScreenAlone() {
    SimTree tree;
    MessageScript messages;
    RunningProgram run(tree);
    QVERIFY(run.started);
    frm_Main* main = run.program->main_screen();
    QCOMPARE(visible_windows(), QList<QWidget*>{main});
    QVERIFY(!main->mask().isEmpty());  // cut to the region file's outline
    for (const char* name : {"frm_Main", "frm_Package", "frm_Install", "frm_Remove"}) {
      QWidget* screen = run.program->view().screen(name);
      QVERIFY2(!screen->findChildren<ui::LargeButton*>().isEmpty(), name);
      // Screen texts are never read as markup (the version label and the link are the skin's own).
      for (QLabel* label : screen->findChildren<QLabel*>()) {
        const QString name = label->objectName();
        if (!label->text().isEmpty() && name != "lbl_Version" && name != "Label8")
          QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(name));
      }
      for (QCheckBox* box : screen->findChildren<QCheckBox*>()) QVERIFY(!box->isChecked());
    }
    QVERIFY(messages.shown.empty());
  }

  // The other screens' Exit goes the same way (dispatcher_test).
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
