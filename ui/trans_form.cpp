#include "ui/trans_form.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QWidget>
#include <QWindow>

#include "base/text.h"

namespace pw::ui {
namespace {

Error file_error(ErrorCode code, const QString& what, const QString& file_name) {
  // Windows-1252, like every text that ends up in a message box.
  return make_error(code, utf8_to_cp1252((what + QStringLiteral(": ") +
                                          QDir::toNativeSeparators(file_name))
                                             .toStdString()));
}

// The picture the window draws, as ShapeMe scans it when given none.
QImage drawn_surface(QWidget& window) { return window.grab().toImage(); }

// Back to the default pointer; a no-op when it is already the default.
void restore_pointer(QWidget& window) { window.unsetCursor(); }

}  // namespace

std::vector<Rect> scan_key_colour(const QImage& picture, std::uint32_t key, QSize size) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  const QRgb key_rgb = qRgb(int(key & 0xFF), int((key >> 8) & 0xFF), int((key >> 16) & 0xFF));
  return rects_outside_key(size.width(), size.height(), [&](int x, int y) {
    if (x >= rgb.width() || y >= rgb.height()) return false;
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    return (line[x] & 0xFFFFFFu) == (key_rgb & 0xFFFFFFu);
  });
}

QRegion region_from_rects(const std::vector<Rect>& rects) {
  QRegion region;
  for (const Rect& r : rects) region += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  return region;
}

std::vector<Rect> rects_from_region(const QRegion& region) {
  std::vector<Rect> rects;
  rects.reserve(std::size_t(region.rectCount()));
  for (const QRect& r : region) rects.push_back(Rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  return rects;
}

Result<void> write_region_file(const QString& file_name, const std::vector<Rect>& rects) {
  const std::vector<std::uint8_t> bytes = encode_region_data(rects);
  QSaveFile file(file_name);
  if (!file.open(QIODevice::WriteOnly)) {
    return file_error(ErrorCode::kIo, QStringLiteral("cannot create region file"), file_name);
  }
  const auto size = qint64(bytes.size());
  if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.commit()) {
    return file_error(ErrorCode::kIo, QStringLiteral("cannot write region file"), file_name);
  }
  return {};
}

Result<std::vector<Rect>> read_region_file(const QString& file_name) {
  if (!QFileInfo::exists(file_name)) {
    return file_error(ErrorCode::kNotFound, QStringLiteral("region file not found"), file_name);
  }
  QFile file(file_name);
  // A region file is a window outline; anything this big is not one.
  constexpr qint64 kMaxBytes = qint64(kRegionHeaderSize + kRegionRectSize * kMaxRegionRects);
  if (file.size() > kMaxBytes) {
    return file_error(ErrorCode::kDamaged, QStringLiteral("region file too large"), file_name);
  }
  if (!file.open(QIODevice::ReadOnly)) {
    return file_error(ErrorCode::kIo, QStringLiteral("cannot open region file"), file_name);
  }
  const QByteArray bytes = file.readAll();
  if (bytes.isEmpty()) {
    return file_error(ErrorCode::kDamaged, QStringLiteral("region file is empty"), file_name);
  }
  auto rects = decode_region_data(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                            std::size_t(bytes.size())));
  if (!rects) {
    return file_error(ErrorCode::kDamaged, QString::fromStdString(rects.error().message),
                      file_name);
  }
  return rects;
}

Result<void> clsTransForm::ShapeMe(QWidget& Name, std::uint32_t color, bool Load,
                                   const QString& FileName, const QImage& surface) {
  height_ = Name.height();
  width_ = Name.width();
  if (FileName.isEmpty() || !Load) {
    const QImage picture = surface.isNull() ? drawn_surface(Name) : surface;
    region_ = region_from_rects(scan_key_colour(picture, color, QSize(width_, height_)));
  } else {
    PW_TRY(LoadRegionDataFromFile(FileName));
  }
  if (!FileName.isEmpty() && !Load) PW_TRY(SaveRegionDataToFile(FileName));
  Name.setMask(region_);
  return {};
}

Result<void> clsTransForm::SaveRegionDataToFile(const QString& FileName) const {
  return write_region_file(FileName, rects_from_region(region_));
}

Result<void> clsTransForm::LoadRegionDataFromFile(const QString& FileName) {
  auto rects = read_region_file(FileName);
  if (!rects) return rects.error();
  region_ = region_from_rects(*rects);
  return {};
}

void clsTransForm::begin_drag(QWidget& window, QPoint global_pos) {
  QWidget* top = window.window();
  QWindow* handle = top->windowHandle();
  if (handle != nullptr && handle->startSystemMove()) {
    restore_pointer(window);  // the window system owns the drag from here
    return;
  }
  drag_offset_ = global_pos - top->pos();
}

void clsTransForm::DragForm(QWidget& window, int intButton, QPoint global_pos) {
  if (intButton != kLeftButton) {
    restore_pointer(window);
    return;
  }
  if (drag_offset_) window.window()->move(global_pos - *drag_offset_);
}

void clsTransForm::end_drag() { drag_offset_.reset(); }

}  // namespace pw::ui
