// The Hangar of an aircraft with 1000 entries, each with a 256 x 256 JPEG
// thumbnail: the time from filling the Hangar with a cold picture cache to
// every card in view showing its picture, the time until all 1000 show,
// and the time one keystroke in the search field takes to refilter the
// 1000 cards, against decoding the same thumbnails one after another.
// Usage: hangar_bench   (offscreen; no display needed)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/desktop/desktop_program.h"
#include "app/desktop/dispatcher.h"
#include "app/desktop/hangar_lists.h"
#include "app/desktop/hangar_screen.h"
#include "app/desktop/thumbnail_cache.h"
#include "bench/bench_support.h"
#include "ui/qt_message_box.h"

namespace {

constexpr int kEntries = 1000;

// A livery-like picture: a gradient with a band, a stripe and a number.
QImage thumbnail_of(int n) {
  QImage image(256, 256, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient sky(0, 0, 0, 256);
  sky.setColorAt(0, QColor::fromHsv((n * 37) % 360, 120, 230));
  sky.setColorAt(1, QColor::fromHsv((n * 37 + 90) % 360, 200, 120));
  painter.fillRect(image.rect(), sky);
  painter.fillRect(QRect(0, 150, 256, 30), QColor::fromHsv((n * 53) % 360, 255, 200));
  painter.setPen(QPen(Qt::white, 6));
  painter.drawLine(0, 256, 256, 0);
  painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 40, QFont::Bold));
  painter.drawText(image.rect(), Qt::AlignCenter, QString::number(n));
  return image;
}

// Runs the event loop until every card in view shows a picture.
void wait_for_first_screenful(QListWidget& grid) {
  for (;;) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    bool done = grid.count() > 0;
    for (int i = 0; i < grid.count() && done; ++i) {
      const QRect card = grid.visualItemRect(grid.item(i));
      if (card.top() > grid.viewport()->height()) break;  // the cards run in rows, top to bottom
      if (card.intersects(grid.viewport()->rect())) done = !grid.item(i)->icon().isNull();
    }
    if (done) return;
  }
}

double decode_one_after_another(const QString& aircraft) {
  QElapsedTimer timer;
  timer.start();
  for (int n = 0; n < kEntries; ++n) {
    QFile file(QStringLiteral("%1/Texture.T%2/thumbnail.jpg").arg(aircraft).arg(n));
    if (!file.open(QIODevice::ReadOnly) || QImage::fromData(file.readAll()).isNull()) return -1;
  }
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  using namespace pw;
  bench::ScratchDir dir("hangar");
  const std::string aircraft = bench::make_sim_tree(dir.path(), bench::generated_aircraft_cfg(kEntries));
  const QString program = QString::fromStdString(dir.path()) + "/Varnel Software/FSX Paintwell";
  for (const QFileInfo& file : QDir(QStringLiteral(PW_BENCH_MEDIA_DIR)).entryInfoList(QDir::Files)) {
    QFile::copy(file.absoluteFilePath(), program + "/Media/" + file.fileName());
  }
  bench::write_file(dir.path() + "/Bench.rcf", "folder=SimObjects\\Airplanes\\Bench\r\ntitle=Bench\r\n");
  for (int n = 0; n < kEntries; ++n) {
    const QString folder = QString::fromStdString(aircraft) + QStringLiteral("/Texture.T%1").arg(n);
    QDir().mkpath(folder);
    if (!thumbnail_of(n).save(folder + "/thumbnail.jpg", "JPG", 85)) return 1;
  }
  ui::default_message_service().set_responder([](QMessageBox& box) { box.reject(); });

  DesktopProgram desktop(native_file_system());
  desktop.view().set_responder([](QMessageBox& box) { box.reject(); });
  if (!desktop.start(to_cp1252(program)) || !select_aircraft_path(desktop.context(), dir.path() + "/Bench.rcf")) {
    std::fprintf(stderr, "hangar_bench: the program did not start on %s\n", dir.path().c_str());
    return 1;
  }
  frm_Hangar& hangar = *desktop.hangar_screen();
  auto& grid = *hangar.findChild<QListWidget*>(QStringLiteral("lstRepaints"));
  desktop.context().view.show_screen_in_place("frm_Hangar", "frm_Main");
  hangar.thumbnails()->wait();

  // Opened with a cold cache: the cards are made anew, every picture read.
  hangar.attach_thumbnails(native_file_system());
  QElapsedTimer timer;
  timer.start();
  FillHangarRepaints(desktop.context());
  wait_for_first_screenful(grid);
  const double first = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  hangar.thumbnails()->wait();
  QCoreApplication::processEvents();
  const double all = static_cast<double>(timer.nsecsElapsed()) / 1e6;

  auto& search = *hangar.findChild<QLineEdit*>(QStringLiteral("txtSearchRepaints"));
  double slowest = 0;
  for (const char* typed : {"b", "be", "ben", "bench 7", "bench 77", "n777b", "", "painter", "zzz", ""}) {
    timer.restart();
    search.setText(QString::fromLatin1(typed));
    slowest = std::max(slowest, static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  const double sequential = decode_one_after_another(QString::fromStdString(aircraft));

  std::printf("%d entries, 256 x 256 JPEG thumbnails, load %s\n", kEntries, bench::load_average().c_str());
  std::printf("first screenful of cards with pictures: %.1f ms (cold cache)\n", first);
  std::printf("all %d pictures in:                     %.1f ms\n", kEntries, all);
  std::printf("decoding them one after another:         %.1f ms\n", sequential);
  std::printf("refilter on a keystroke (slowest of 10): %.2f ms\n", slowest);
  return 0;
}
