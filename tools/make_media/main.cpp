// make_media: draws the skin files into one folder (the build's Media
// folder): backgrounds, button strips, previews, the drag cursor, and the
// main window's region file scanned from its background.
//   make_media <output folder>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

#include "art.h"
#include "ui/cursor_file.h"
#include "ui/trans_form.h"

namespace {

struct Strip {
  const char* file;
  const char* label;
  const char* icon;
};

constexpr Strip kStrips[] = {
    {"Exit", "Exit", "exit"},
    {"selectaircraft", "Select Aircraft", "plane"},
    {"Add", "Add Repaint(s)", "plus"},
    {"Remove", "Remove Repaint(s)", "trash"},
    {"Prepare", "Create Package", "box"},
    {"Package", "Package", "box"},
    {"Return", "Return", "back"},
    {"Change", "Change", "picture"},
    {"BrowsePackages", "Browse", "folder"},
    {"Install", "Install", "install"},
    {"Undo", "Undo", "undo"},
};

bool write_bytes(const QString& path, const std::vector<std::uint8_t>& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const auto size = qint64(bytes.size());
  return file.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

bool fail(const QString& path) {
  std::fprintf(stderr, "make_media: cannot write %s\n", qPrintable(path));
  return false;
}

bool make_all(const QDir& out) {
  using namespace pw::media;
  const QImage main_background = draw_main_background();
  if (!save_bmp(main_background, out.filePath("Repaint_Background.bmp"))) return fail("Repaint_Background.bmp");
  if (!save_bmp(draw_remove_background(), out.filePath("Remove_Background.bmp"))) return fail("Remove_Background.bmp");
  for (const Strip& strip : kStrips) {
    const QString name = QString::fromLatin1(strip.file) + ".bmp";
    if (!save_bmp(draw_button_strip(strip.label, strip.icon), out.filePath(name))) return fail(name);
  }
  if (!save_bmp(draw_preview("No preview picture chosen", "Press Change to pick a 400 x 300 bitmap."),
                out.filePath("DefaultPreview.bmp"))) {
    return fail("DefaultPreview.bmp");
  }
  if (!save_bmp(draw_preview("No package selected", "Click a package in the list to see its preview."),
                out.filePath("NoPreview.bmp"))) {
    return fail("NoPreview.bmp");
  }
  if (!write_bytes(out.filePath("HMOVE.cur"), pw::ui::encode_cursor_file(draw_move_cursor()))) {
    return fail("HMOVE.cur");
  }
  const auto region = pw::ui::write_region_file(
      out.filePath("MainRegion.dat"),
      pw::ui::scan_key_colour(main_background, 0, main_background.size()));
  if (!region) return fail("MainRegion.dat");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");  // drawing needs no display, whatever the session has
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_media <output folder>\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!out.mkpath(".")) return fail(out.path()) ? 0 : 1;
  return make_all(out) ? 0 : 1;
}
