// Entry point of paintwell, the desktop program.
#include <QApplication>

#include "app/desktop/desktop_program.h"
#include "base/platform/file_system.h"
#include "base/platform/process.h"

int main(int argc, char** argv) {
  // Wine's rasteriser drops glyphs such as "I" and "!" of the skin's fonts;
  // Qt's own FreeType engine draws them as on Windows and Linux. A platform
  // the user chose stays.
  if (pw::runs_under_wine() && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Varnel FSX Paintwell"));
  pw::DesktopProgram program(pw::native_file_system());
  // Without the simulator (or the skin) there is nothing to show: the one
  // message has been shown and the program ends.
  if (!program.start(pw::executable_folder())) return 1;
  return QApplication::exec();
}
