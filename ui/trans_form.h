// clsTransForm: gives a window the outline of its background picture (a
// mask built by cutting away one key colour, or loaded from a region file)
// and moves a window when the user drags its body.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/result.h"
#include "ui/region_data.h"

class QWidget;

namespace pw::ui {

inline constexpr int kLeftButton = 1;  // button code of the left mouse button

// The outline of the area (0, 0, size) over `picture` with every pixel of
// colour `key` (packed red + 256 x green + 65536 x blue) cut away. Pixels
// outside the picture are kept: they never match a key.
std::vector<Rect> scan_key_colour(const QImage& picture, std::uint32_t key, QSize size);

QRegion region_from_rects(const std::vector<Rect>& rects);
// The region's rectangles in Qt's banded order, which is the file's order.
std::vector<Rect> rects_from_region(const QRegion& region);

// Region files on disk. Errors: kNotFound (no file), kIo (cannot open, read
// or write), kDamaged (empty file or bytes decode_region_data refuses). The
// message names the file.
Result<void> write_region_file(const QString& file_name, const std::vector<Rect>& rects);
Result<std::vector<Rect>> read_region_file(const QString& file_name);

class clsTransForm {
 public:
  // Gives Name its outline and applies it as the window's mask.
  // Load false or FileName empty: builds it from `surface` (or, when that is
  // null, from what the window draws) by cutting away `color`, and writes
  // it to FileName if one is given. Load true with a FileName: reads it
  // from that file. Errors are those of write_region_file /
  // read_region_file; on an error the window keeps its previous mask.
  Result<void> ShapeMe(QWidget& Name, std::uint32_t color, bool Load = false,
                       const QString& FileName = {}, const QImage& surface = {});

  // Called when the left button goes down on the window body: asks the
  // window system to move the window (it then owns the drag); where the
  // platform refuses, the pointer's offset from the window is taken here,
  // so the first movement already counts.
  void begin_drag(QWidget& window, QPoint global_pos);
  // Called on mouse moves with a button held over the window body. With the
  // left button during a drag begin_drag could not hand over, the window
  // follows global_pos until end_drag. Other buttons only put the pointer
  // back to the default.
  void DragForm(QWidget& window, int intButton, QPoint global_pos);
  // Ends a drag that the window system did not take over (mouse release).
  void end_drag();
  bool is_dragging_by_hand() const { return drag_offset_.has_value(); }

  const QRegion& region() const { return region_; }
  int height() const { return height_; }
  int width() const { return width_; }

 private:
  Result<void> SaveRegionDataToFile(const QString& FileName) const;
  Result<void> LoadRegionDataFromFile(const QString& FileName);

  QRegion region_;
  int height_ = 0;
  int width_ = 0;
  std::optional<QPoint> drag_offset_;  // pointer minus window position
};

}  // namespace pw::ui
