#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QMimeData>
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

  // The command line's packages, then a drop: each joins the install list
  // ticked; a file that is no package is named and left out.
  void startsWithGivenPackagesTickedAndTakesDroppedOnes() {
    SimTree tree;
    const QString teal = tree.root() + "/mail/Teal.pkg", amber = tree.root() + "/mail/Amber.pkg";
    QVERIFY(tree.write(teal, package_bytes("Teal", "Teal Line", Qt::cyan)));
    QVERIFY(tree.write(amber, package_bytes("Amber", "Amber Air", Qt::yellow)));
    MessageScript messages;
    RunningProgram run(tree, {to_core_path(teal)});
    auto* install = run.program->install_screen();
    QVERIFY(install->isVisible() && !run.program->main_screen()->isVisible());
    auto* packages = install->findChild<QListWidget*>("lstPackages");
    QCOMPARE(row_texts(packages), QStringList({"Crimson Aero", "Emerald Club", "*Teal Line"}));
    QCOMPARE(packages->item(2)->checkState(), Qt::Checked);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(amber), QUrl::fromLocalFile(tree.rcf())});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(install, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(install, &drop);
    QCOMPARE(row_texts(packages), QStringList({"Crimson Aero", "Emerald Club", "*Teal Line", "*Amber Air"}));
    QCOMPARE(packages->item(3)->checkState(), Qt::Checked);
    QCOMPARE(messages.shown.size(), std::size_t(1));
    QVERIFY(messages.shown[0].text.endsWith("Trainer.rcf"));
  }
};

int run_startup_tests(int argc, char** argv) {
  StartupTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace pw::test

#include "startup_test.moc"
