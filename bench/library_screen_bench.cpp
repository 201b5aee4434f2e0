// The library's first screen on library_bench's big simulator (500 aircraft
// folders, 20,000 entries) with a warm cache: from the Hangar command (the
// library indexed again, the cache sparing every unchanged aircraft.cfg) to
// the "All aircraft" tab painted with its cards. Target 300 ms.
// Usage: library_screen_bench [RUNS]   (offscreen; no display needed)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/desktop/desktop_program.h"
#include "app/desktop/hangar_screen.h"
#include "app/desktop/library_tab.h"
#include "bench/bench_support.h"
#include "ui/qt_message_box.h"

namespace {

// The Hangar command as the main screen runs it, then the tab shown and
// painted; milliseconds.
double open_library(pw::DesktopProgram& desktop) {
  QElapsedTimer timer;
  timer.start();
  pw::LoadHangarLibrary(desktop.context());
  desktop.view().show_screen_in_place("frm_Hangar", "frm_Main");
  desktop.hangar_screen()->show_tab(2);
  QCoreApplication::processEvents();
  (void)desktop.hangar_screen()->grab();  // every card in view drawn
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  using namespace pw;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  bench::ScratchDir dir("library_screen");
  qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(dir.path() + "/cache"));
  bench::make_sim_tree(dir.path(), bench::generated_aircraft_cfg(1));
  (void)bench::make_library_simulator(dir.path());
  const std::string program = dir.path() + "/Varnel Software/FSX Paintwell";
  for (const QFileInfo& file : QDir(QStringLiteral(PW_BENCH_MEDIA_DIR)).entryInfoList(QDir::Files)) {
    QFile::copy(file.absoluteFilePath(), QString::fromStdString(program) + "/Media/" + file.fileName());
  }
  bench::write_file(dir.path() + "/fsx.cfg", "[Main]\r\nSimObjectPaths.0=SimObjects\\Airplanes\r\n"
                                             "SimObjectPaths.1=Addon\\SimObjects\\Airplanes\r\n");
  bench::write_file(program + "/Paintwell.ini", "[simulator]\r\nsim_config.0=..\\..\\fsx.cfg\r\n");
  ui::default_message_service().set_responder([](QMessageBox& box) { box.reject(); });

  DesktopProgram desktop(native_file_system());
  desktop.view().set_responder([](QMessageBox& box) { box.reject(); });
  if (!desktop.start(program)) {
    std::fprintf(stderr, "library_screen_bench: the program did not start on %s\n", dir.path().c_str());
    return 1;
  }
  const double cold = open_library(desktop);  // writes the cache
  std::vector<double> warm;
  for (int run = 0; run < runs; ++run) {
    desktop.view().show_screen_in_place("frm_Main", "frm_Hangar");
    QCoreApplication::processEvents();
    warm.push_back(open_library(desktop));
  }
  std::sort(warm.begin(), warm.end());
  const int cards = desktop.hangar_screen()->findChild<QListWidget*>(QString::fromLatin1(kLibraryList))->count();
  std::printf("%d aircraft folders, %d entries, %d cards, %d runs, load %s\n", bench::kLibraryAircraft,
              bench::kLibraryAircraft * bench::kLibraryEntries, cards, runs, bench::load_average().c_str());
  std::printf("first screen, no cache yet:   %8.1f ms\n", cold);
  std::printf("first screen, warm cache:     %8.1f ms (median %.1f)   target 300 ms\n", warm.front(), warm[warm.size() / 2]);
  return cards == bench::kLibraryAircraft + 1 ? 0 : 1;
}
