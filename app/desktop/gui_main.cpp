// Entry point of paintwell, the desktop program: `paintwell [--sim-config
// FILE]... [--addons-config FILE]... [PKG|ARCHIVE|FOLDER...]`, or
// `paintwell --register` to write the .reg file that makes .pkg files open
// with it.
#include <QApplication>
#include <QDir>

#include "app/desktop/desktop_options.h"
#include "app/desktop/desktop_program.h"
#include "app/desktop/file_association.h"
#include "base/message_styles.h"
#include "base/platform/file_system.h"
#include "base/platform/process.h"
#include "ui/message_box.h"

int main(int argc, char** argv) {
  // Wine's rasteriser drops glyphs such as "I" and "!" of the skin's fonts;
  // Qt's own FreeType engine draws them as on Windows and Linux. A platform
  // the user chose stays.
  if (pw::runs_under_wine() && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Varnel FSX Paintwell"));
  const QStringList args = QApplication::arguments().mid(1);
  if (args == QStringList{QStringLiteral("--register")}) {
    const std::string told = pw::register_association(pw::native_file_system(), pw::to_core_path(QDir::currentPath()),
                                                      pw::to_core_path(QApplication::applicationFilePath()));
    pw::ui::ShowMessage(told, pw::kStyleInformation, pw::kAppTitle);
    return 0;
  }
  std::vector<std::string> words;
  for (const QString& arg : args) words.push_back(pw::to_cp1252(arg));
  const pw::DesktopOptions options = pw::parse_desktop_options(words, pw::to_core_path(QDir::currentPath()));
  if (!options.problem.empty()) {
    pw::ui::ShowMessage(options.problem, pw::kStyleOkOnly, pw::kAppTitle);
    return 2;
  }
  pw::DesktopProgram program(pw::native_file_system());
  // Without the simulator (or the skin) there is nothing to show: the one
  // message has been shown and the program ends.
  if (!program.start(pw::executable_folder(), options.packages, options.sources)) return 1;
  return QApplication::exec();
}
