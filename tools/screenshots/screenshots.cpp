// paintwell_screenshots PROGRAM_FOLDER OUT_DIR [DOWNLOAD...]
// Starts the desktop program from PROGRAM_FOLDER (the demo tree's
// "Varnel Software/FSX Paintwell"), selects the demo aircraft and takes
// check.png, package.png, remove.png, hangar.png, hangar-downloads.png,
// hangar-library.png, hangar-library-search.png and install.png of the screen into OUT_DIR, then installs the ticked package
// and takes main.png with it as the last operation, as a user would see
// them. With DOWNLOADs (archives), drops them on the main screen and takes
// review.png of their review, left without installing. Needs a display
// (xvfb-run).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QLinearGradient>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "app/desktop/desktop_program.h"
#include "app/desktop/hangar_screen.h"
#include "app/desktop/thumbnail_cache.h"
#include "app/desktop/main_screen.h"
#include "app/desktop/review_screen.h"
#include "base/platform/file_system.h"
#include "app/desktop/qt_screen_view.h"
#include "packages/install_screen.h"
#include "packages/package_screen.h"
#include "packages/remove_screen.h"
#include "ui/file_dialog.h"
#include "ui/image_button.h"
#include "ui/qt_message_box.h"

namespace {

constexpr int kMargin = 24;

// Stands in for a desktop behind the program, so the cut-out outline shows
// (a bare X server's root window is black).
class Backdrop : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0.0, QColor(0x5d, 0x7f, 0xa6));
    sky.setColorAt(1.0, QColor(0xc4, 0xd4, 0xe4));
    painter.fillRect(rect(), sky);
  }
};

// Lets the window system paint what changed.
void settle(int ms = 400) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(10);
  }
}

bool shoot(const QWidget& around, const QString& path) {
  settle();
  const QRect area = around.frameGeometry().adjusted(-kMargin, -kMargin, kMargin, kMargin);
  const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  const bool saved = shot.save(path, "PNG");
  std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(path));
  return saved;
}

// What the user's click on a button sets going.
void release(QWidget* screen, const char* name) {
  auto* button = screen->findChild<pw::ui::LargeButton*>(name);
  emit button->released(button);
}

void choose_file_in_dialogs(const QString& path) {
  pw::ui::cFileDialog::set_hook([path](QFileDialog& dialog) {
    QTimer::singleShot(0, &dialog, [&dialog, path] {
      dialog.selectFile(path);
      QMetaObject::invokeMethod(&dialog, "accept");
    });
  });
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: paintwell_screenshots PROGRAM_FOLDER OUT_DIR [DOWNLOAD...]\n");
    return 2;
  }
  const QString program_folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  const QDir out(QString::fromLocal8Bit(argv[2]));
  Backdrop backdrop;
  backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
  backdrop.setWindowFlags(Qt::FramelessWindowHint);
  backdrop.show();

  pw::DesktopProgram program(pw::native_file_system());
  program.view().set_quit([] {});
  if (!program.start(pw::to_cp1252(program_folder))) return 1;
  pw::frm_Main& main = *program.main_screen();
  choose_file_in_dialogs(QDir(program_folder + "/../..").absoluteFilePath("Paintwell Trainer.rcf"));
  // The check after the selection shows its findings in a modal box: its
  // picture, then Cancel, which leaves aircraft.cfg as it is.
  bool ok = true;
  QTimer findings_box;
  QObject::connect(&findings_box, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    findings_box.stop();
    ok = shoot(*box, out.filePath("check.png"));
    box->reject();
  });
  findings_box.start(50);
  release(&main, "btn_Select");

  release(&main, "btn_Upload");
  program.package_screen()->findChild<QListWidget*>("lstAircraft")->setCurrentRow(1);
  ok = shoot(*program.package_screen(), out.filePath("package.png")) && ok;
  release(program.package_screen(), "btn_Return");

  // The remove screen is modal: its picture is taken from inside its loop.
  QTimer::singleShot(0, &main, [&] {
    auto* list = program.remove_screen()->findChild<QListWidget*>("lstAircraft");
    list->setCurrentRow(0);
    list->item(0)->setCheckState(Qt::Checked);
    // A search that hides the ticked row: its tick stays, counted apart.
    program.remove_screen()->findChild<QLineEdit*>("txtSearch")->setText("glacier");
    list->setCurrentRow(1);
    ok = shoot(main, out.filePath("remove.png")) && ok;
    release(program.remove_screen(), "btn_Return");
  });
  release(&main, "btn_Edit");

  // The Hangar with every thumbnail in: each tab, a card ticked on each.
  release(&main, "btn_Hangar");
  pw::frm_Hangar& hangar = *program.hangar_screen();
  for (const char* name : {"lstRepaints", "lstPackages"}) {
    hangar.show_tab(name == std::string("lstRepaints") ? 0 : 1);
    auto* grid = hangar.findChild<QListWidget*>(name);
    grid->item(grid->count() - 1)->setCheckState(Qt::Checked);
    settle();
    hangar.thumbnails()->wait();
    ok = shoot(hangar, out.filePath(name == std::string("lstRepaints") ? "hangar.png" : "hangar-downloads.png")) && ok;
  }
  // The "All aircraft" tab: every aircraft, then every repaint a search finds.
  hangar.show_tab(2);
  for (const char* typed : {"", "sunrise"}) {
    hangar.findChild<QLineEdit*>("txtSearchLibrary")->setText(QString::fromLatin1(typed));
    settle();
    hangar.thumbnails()->wait();
    ok = shoot(hangar, out.filePath(*typed ? "hangar-library-search.png" : "hangar-library.png")) && ok;
  }
  release(&hangar, "btn_Return");

  release(&main, "btn_Add");
  auto* packages = program.install_screen()->findChild<QListWidget*>("lstPackages");
  packages->setCurrentRow(packages->count() - 1);
  packages->item(packages->count() - 1)->setCheckState(Qt::Checked);
  ok = shoot(*program.install_screen(), out.filePath("install.png")) && ok;
  // The package is installed (its question and outcome answered as OK), so
  // the main screen shows it as the operation Undo would take back.
  pw::ui::default_message_service().set_responder([](QMessageBox& box) { box.defaultButton()->click(); });
  release(program.install_screen(), "btn_Install");
  release(program.install_screen(), "btn_Return");
  ok = shoot(main, out.filePath("main.png")) && ok;
  pw::ui::default_message_service().set_responder(nullptr);

  // Downloads dropped on the main screen: the review is modal, so its
  // picture is taken from inside its loop, then Return leaves it.
  QStringList downloads;
  for (int i = 3; i < argc; ++i) downloads << QDir(QString::fromLocal8Bit(argv[i])).absolutePath();
  if (downloads.isEmpty()) return ok ? 0 : 1;
  pw::frm_Review& review = *program.review_screen();
  QTimer review_up;
  QObject::connect(&review_up, &QTimer::timeout, [&] {
    if (!review.isVisible()) return;
    review_up.stop();
    ok = shoot(review, out.filePath("review.png")) && ok;
    release(&review, "btn_Return");
  });
  review_up.start(50);
  emit main.files_dropped(downloads);
  return ok ? 0 : 1;
}
