#include "screen_fixture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "aircraft/fltsim_entry.h"
#include "app/desktop/qt_screen_view.h"
#include "packages/package_format.h"
#include "ui/file_dialog.h"
#include "ui/image_button.h"
#include "ui/qt_message_box.h"

namespace pw::test {
namespace {

const char* const kRcf =
    "// The test aircraft\r\nfolder=SimObjects\\Airplanes\\Trainer\r\ntitle=Test Trainer\r\n"
    "information=Two lines\xA5nof information\r\nexclude=Factory White\r\n";

std::string section(int n, const char* title, const char* texture, const char* variation) {
  return "[fltsim." + std::to_string(n) + "]\r\ntitle=" + title + "\r\ntexture=" + texture +
         "\r\nui_variation=\"" + variation + "\"\r\n\r\n";
}

QByteArray bmp_of(const QColor& colour, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes;
}

bool copy_media(const QString& to) {
  QDir media(QStringLiteral(PW_TEST_MEDIA_DIR));
  bool copied = QDir().mkpath(to) && media.exists("Repaint_Background.bmp");
  for (const QFileInfo& file : media.entryInfoList(QDir::Files)) {
    copied = QFile::copy(file.absoluteFilePath(), to + "/" + file.fileName()) && copied;
  }
  return copied;
}

}  // namespace

SimTree::SimTree(bool with_fsx) {
  if (!dir_.isValid()) return;
  ok_ = (!with_fsx || write(root() + "/FSX.EXE", "MZ")) && copy_media(program_folder() + "/Media") &&
        write(rcf(), kRcf) && make_plane();
}

bool SimTree::make_plane() {
  const std::string cfg = "[General]\r\natc_type=TRAINER\r\n\r\n" +
                          section(0, "Trainer Factory", "Default", "Factory White") +
                          section(1, "Trainer Sunrise", "Sunrise", "Sunrise Air") +
                          section(2, "Trainer Glacier", "Glacier", "Glacier Express");
  bool written = write(plane("aircraft.cfg"), QByteArray::fromStdString(cfg));
  for (const char* texture : {"Default", "Sunrise", "Glacier"}) {
    written = write(plane(QStringLiteral("Texture.%1/plane_t.bmp").arg(texture)), bmp_of(Qt::gray, {8, 8})) &&
              write(plane(QStringLiteral("Texture.%1/texture.cfg").arg(texture)), "[fltsim]\r\n") && written;
  }
  return written && write(plane("Downloads/Emerald_Repaint.pkg"), package_bytes("Emerald", "Emerald Club", kEmeraldColour)) &&
         write(plane("Downloads/Crimson_Repaint.pkg"), package_bytes("Crimson", "Crimson Aero", kCrimsonColour));
}

QString SimTree::plane(const QString& rel) const {
  return dir_.path() + "/" + kPlaneFolder + (rel.isEmpty() ? QString() : "/" + rel);
}

bool SimTree::write(const QString& path, const QByteArray& bytes) const {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray package_bytes(const std::string& texture, const std::string& variation, const QColor& preview) {
  FltsimEntry entry;
  entry.title = "Trainer " + texture, entry.texture = texture, entry.ui_variation = variation, entry.rcf_text = kRcf;
  entry.rcf_text.resize(kRcfTextSize, '\0');
  const std::string files[] = {"plane_t.bmp", "texture.cfg"};
  std::string data = bmp_of(preview, {16, 16}).toStdString();
  const std::vector<PackageFile> table = {{files[0], static_cast<std::int32_t>(data.size())}, {files[1], 10}};
  data += "[fltsim]\r\n";
  const QByteArray picture = bmp_of(preview, {400, 300});
  std::string bytes = build_package_head(entry, picture.toStdString(), table);
  if (CompressBytes(data) != 0) return {};
  return QByteArray::fromStdString(bytes + data);
}

MessageScript::MessageScript() {
  ui::default_message_service().set_responder([this](QMessageBox& box) {
    shown.push_back({box.text(), box.windowTitle(), box.icon(), box.button(QMessageBox::Cancel) != nullptr});
    const QMessageBox::StandardButton answer = answers.empty() ? QMessageBox::Ok : answers.front();
    if (!answers.empty()) answers.pop_front();
    (box.button(answer) != nullptr ? box.button(answer) : box.button(QMessageBox::Ok))->click();
  });
}

MessageScript::~MessageScript() { ui::default_message_service().set_responder(nullptr); }

QStringList MessageScript::titles() const {
  QStringList all;
  for (const Shown& box : shown) all << box.title;
  return all;
}

DialogScript::DialogScript() {
  ui::cFileDialog::set_hook([this](QFileDialog& dialog) {
    folders << QFileInfo(dialog.directory().absolutePath()).canonicalFilePath();
    filters << dialog.nameFilters();
    const QString path = answers.empty() ? QString() : answers.front();
    if (!answers.empty()) answers.pop_front();
    QTimer::singleShot(0, &dialog, [&dialog, path] {
      if (path.isEmpty()) return dialog.reject();
      dialog.setDirectory(QFileInfo(path).absolutePath());
      dialog.selectFile(path);
      QMetaObject::invokeMethod(&dialog, "accept");
    });
  });
}

DialogScript::~DialogScript() { ui::cFileDialog::set_hook(nullptr); }

RunningProgram::RunningProgram(const SimTree& tree, const std::vector<std::string>& packages)
    : program(std::make_unique<DesktopProgram>(native_file_system())) {
  program->view().set_quit([this] { ++quits; });
  started = program->start(to_cp1252(tree.program_folder()), packages);
  program->context().library_cache_folder.clear();  // nothing written outside the tree
}

void click(ui::LargeButton* button) {
  QWidget* face = button->pic_BG();
  const QPoint at(10, 10);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(at), QPointF(face->mapToGlobal(at)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(face, &event);
  }
}

void tick(QListWidget* list, int row, bool checked) {
  list->setCurrentRow(row);
  list->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

QStringList row_texts(const QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
  return texts;
}

}  // namespace pw::test
