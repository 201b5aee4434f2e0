#include "ui/skin_paths.h"

#include <QCoreApplication>
#include <QDir>

namespace pw::ui {
namespace {

QString& folder_override() {
  static QString folder;
  return folder;
}

}  // namespace

QString program_folder() {
  if (!folder_override().isEmpty()) return folder_override();
  return QCoreApplication::applicationDirPath();
}

void set_program_folder(const QString& folder) { folder_override() = folder; }

QString skin_file(const QString& relative) {
  QString tail = relative;
  tail.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (!tail.startsWith(QLatin1Char('/'))) tail.prepend(QLatin1Char('/'));
  return QDir::cleanPath(program_folder() + tail);
}

QString trim_blanks(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && text[first] == QLatin1Char(' ')) ++first;
  while (last > first && text[last - 1] == QLatin1Char(' ')) --last;
  return text.mid(first, last - first);
}

QColor color_from_packed(std::uint32_t packed) {
  return QColor(int(packed & 0xFF), int((packed >> 8) & 0xFF), int((packed >> 16) & 0xFF));
}

std::uint32_t packed_from_color(const QColor& color) {
  return pack_rgb(color.red(), color.green(), color.blue());
}

}  // namespace pw::ui
