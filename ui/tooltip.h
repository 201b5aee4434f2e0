// cls_Tooltip: the program's own tooltip, with settable colours, wrapping
// width, timing and font, shown for the controls registered with it. Qt's
// built-in tooltip has no per-tip colours or delays, so this draws its own
// small window (Qt::ToolTip) and watches the controls' mouse events.
#pragma once

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace pw::ui {

inline constexpr int kTipDefaultMaxWidth = 300;
inline constexpr int kTipMaxTime = 32767;  // delays are clamped to 0..this

// Character height in pixels for a font of `points` points on a display of
// `dpi` dots per inch: the points rounded to a whole number, times dpi / 72,
// rounded to nearest (9.75 points at 96 DPI gives 13).
int tip_font_pixel_height(double points, int dpi);

class cls_Tooltip : public QObject {
  Q_OBJECT

 public:
  cls_Tooltip();  // max width 300, colours 0, no window yet
  ~cls_Tooltip() override;  // Destroy()

  cls_Tooltip(const cls_Tooltip&) = delete;
  cls_Tooltip& operator=(const cls_Tooltip&) = delete;

  // Colours packed as red + 256 x green + 65536 x blue; stored, and passed
  // to the window if there is one.
  std::uint32_t ForeColor() const { return fore_color_; }
  void set_ForeColor(std::uint32_t color);
  std::uint32_t BackColor() const { return back_color_; }
  void set_BackColor(std::uint32_t color);

  // Widest tip in pixels; longer texts wrap. 0 or less: no wrapping.
  int MaxWidth() const { return max_width_; }
  void set_MaxWidth(int pixels);

  // Milliseconds the tip stays up / the pointer must rest before it shows.
  // They live in the window: reads give 0 and writes do nothing before
  // Create. Writes clamp to 0..32767.
  int VisibleTime() const;
  void set_VisibleTime(int ms);
  int DelayTime() const;
  void set_DelayTime(int ms);

  // Gives the tip this font, sized as tip_font_pixel_height says for the
  // window's display. Null changes nothing.
  void set_Font(const QFont* font);
  const QFont& font() const { return font_; }

  // Makes the tip window, owned by lngHwndParent (destroyed with it), and
  // passes it the stored width and colours. An earlier window is destroyed.
  // False when lngHwndParent is null.
  bool Create(QWidget* lngHwndParent);
  // Destroys the window and forgets the registered controls.
  void Destroy();

  // Shows strCaption when the pointer rests on ctlTool: below the pointer,
  // or centred below the control when blnCenterTip. False without a window
  // or a control.
  bool AddControl(QWidget* ctlTool, const QString& strCaption, bool blnCenterTip = false);

  // The tip window (null before Create and after Destroy), and whether it
  // is up now.
  QWidget* tip_window() const;
  bool is_showing() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Tool {
    QPointer<QWidget> control;
    QString caption;
    bool center = false;
  };

  const Tool* find_tool(const QObject* control) const;
  void arm(const Tool& tool);
  void show_tip();
  void hide_tip();
  QPoint tip_position(const Tool& tool, QSize tip_size) const;

  std::uint32_t fore_color_ = 0;
  std::uint32_t back_color_ = 0;
  int max_width_ = kTipDefaultMaxWidth;
  QFont font_;
  QPointer<QWidget> window_;
  std::vector<Tool> tools_;
  QPointer<QWidget> pending_;  // control whose tip the delay timer will show
  bool suppressed_ = false;    // after a click or time-out, until the pointer leaves
  QTimer delay_timer_;
  QTimer visible_timer_;
};

}  // namespace pw::ui
