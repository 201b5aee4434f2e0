// SkinnedForm: the frame every screen builds on: frameless and fixed in
// size, painted by its background bitmap, cut to the region file's outline,
// dragged by its body with the HMOVE cursor, its labels and lists recoloured
// for the skin, and the version label. A screen derives from it:
//
//   class frm_Main : public pw::ui::SkinnedForm {
//    public:
//     frm_Main() : SkinnedForm(frame_settings(ScreenKind::kMain)) {
//       setObjectName("frm_Main");            // the buttons' form_name
//       setWindowTitle("Varnel Paintwell for FSX");
//       ... create labels and lists ...
//       load_skin_or_report();                // frame steps, message on a missing file
//       btn_Exit = add_button({{322, 525}, "exit", "Exit", "enabled", "Click to Exit ..."});
//       center_on_screen();
//     }
//   };
#pragma once

#include <QCursor>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "base/result.h"
#include "ui/trans_form.h"

class QLabel;

namespace pw::ui {

class LargeButton;

enum class ScreenKind { kMain, kPackage, kInstall, kRemove, kHangar };

struct FrameSettings {
  QSize size;
  QString region_file;  // e.g. "\Media\MainRegion.dat"; empty: a plain rectangle
  QString background;   // e.g. "\Media\Repaint_Background.bmp"
  QString cursor;       // e.g. "\Media\HMOVE.cur"
  bool draggable = true;
  bool recolour_all_kinds = true;  // false: labels and lists only
  std::uint32_t list_background = 0;
  bool show_version = true;
};

// The frame of each screen.
FrameSettings frame_settings(ScreenKind kind);

// One image button as a screen places it (form_name is the frame itself).
struct ButtonSetup {
  QPoint position;
  QString button_type;
  QString picture;
  QString state;
  QString tooltip;
};

// "v " + major + "." + minor + "." + revision, plain decimals.
QString version_text(int major, int minor, int revision);
// The text for this build of the program (v 1.0.1).
QString program_version_text();

class SkinnedForm : public QWidget {
  Q_OBJECT

 public:
  explicit SkinnedForm(const FrameSettings& settings, QWidget* parent = nullptr);

  // The frame's load steps: font scaling, fixed size, drag cursor, outline
  // from the region file, background, colour table, version label. Each
  // skin file that cannot be loaded is replaced (rectangle, plain dark
  // background, four-way arrow cursor) and the steps go on; the error
  // (code of the first failure) lists every such file, as Windows-1252
  // text ready for ShowMessage.
  Result<void> load_skin();
  // load_skin, showing its error in the message box (stop icon). True when
  // every skin file loaded.
  bool load_skin_or_report();
  bool is_loaded() const { return loaded_; }

  // Recolours labels, lists, combo and check boxes by kind (the load does
  // this once; call again after adding such controls later).
  void apply_colour_table();

  // Creates a LargeButton and sets its properties in the order screens use:
  // position, button_type, form_name (this frame), picture, state, ToolTip.
  LargeButton* add_button(const ButtonSetup& setup);

  void center_on_screen();

  QLabel* lbl_Version() const { return version_label_; }
  clsTransForm& window_shape() { return shape_; }
  const FrameSettings& settings() const { return settings_; }
  const QCursor& move_cursor() const { return move_cursor_; }
  // True while the body is held with the left button (the HMOVE pointer shows).
  bool shows_move_pointer() const { return cursor().shape() != Qt::ArrowCursor; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Result<void> load_cursor();
  Result<void> load_outline();
  Result<void> load_background();
  void recolour_tree(QWidget& parent);

  FrameSettings settings_;
  clsTransForm shape_;
  QPixmap background_;
  QCursor move_cursor_{Qt::SizeAllCursor};
  QLabel* version_label_ = nullptr;
  bool loaded_ = false;
};

}  // namespace pw::ui
