#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QtTest>

#include "app/desktop/main_screen.h"
#include "app/desktop/qt_screen_view.h"
#include "packages/install_screen.h"
#include "screen_fixture.h"
#include "ui/image_button.h"

namespace pw::test {

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void refusesWithoutFsxExeOrASkinFileShowingNoWindow() {
    SimTree no_exe(false);
    SimTree no_skin;
    QVERIFY(QFile::remove(no_skin.program_folder() + "/Media/Remove_Background.bmp"));
    const std::pair<SimTree*, const char*> cases[] = {{&no_exe, "FSX.EXE not properly located."},
                                                      {&no_skin, "Remove_Background.bmp"}};
    for (const auto& [tree, text] : cases) {
      MessageScript messages;
      RunningProgram run(*tree);
      QVERIFY(!run.started);
      QCOMPARE(messages.shown.size(), std::size_t(1));
      QVERIFY2(messages.shown[0].text.contains(text), qPrintable(messages.shown[0].text));
      for (QWidget* widget : QApplication::topLevelWidgets()) QVERIFY(!widget->isVisible());
    }
  }

  void startsOnTheMainScreenAloneAndExitEndsTheProgram() {
    SimTree tree(false);
    QVERIFY(tree.write(tree.root() + "/FsX.ExE", "MZ"));
    MessageScript messages;
    RunningProgram run(tree);
    QVERIFY(run.started);
    frm_Main* main = run.program->main_screen();
    for (QWidget* widget : QApplication::topLevelWidgets()) QCOMPARE(widget->isVisible(), widget == main);
    click(main->findChild<ui::LargeButton*>("btn_Exit"));
    QCOMPARE(run.quits, 1);
    QVERIFY(!main->isVisible());
    QVERIFY(messages.shown.empty());
  }

  // The command line's packages join the install list ticked.
  void startsWithGivenPackagesTicked() {
    SimTree tree;
    const QString teal = tree.root() + "/mail/Teal.pkg";
    QVERIFY(tree.write(teal, package_bytes("Teal", "Teal Line", Qt::cyan)));
    MessageScript messages;
    RunningProgram run(tree, {to_core_path(teal)});
    auto* install = run.program->install_screen();
    QVERIFY(install->isVisible() && !run.program->main_screen()->isVisible());
    auto* packages = install->findChild<QListWidget*>("lstPackages");
    QCOMPARE(row_texts(packages), QStringList({"Crimson Aero", "Emerald Club", "*Teal Line"}));
    QCOMPARE(packages->item(2)->checkState(), Qt::Checked);
    QVERIFY(messages.shown.empty());
  }
};

int run_startup_tests(int argc, char** argv) {
  StartupTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace pw::test

#include "startup_test.moc"
