// Image buttons: a control drawn entirely from a four-frame bitmap strip
// (enabled, down, highlight, disabled, top to bottom), following the mouse
// in and out. LargeButton (155 x 45) hands its command to the dispatcher on
// release; SmallButton (42 x 42) only changes its look.
//
// A screen sets the properties in this order right after creating it:
//   auto* btn_Exit = new LargeButton(this);
//   btn_Exit->move(322, 525);
//   btn_Exit->set_button_type("exit");
//   btn_Exit->set_form_name(this);
//   btn_Exit->set_picture("Exit");        // <program folder>/Media/Exit.bmp
//   btn_Exit->set_state("enabled");
//   btn_Exit->set_ToolTip("Click to Exit the Varnel Paintwell for FSX.");
#pragma once

#include <QEvent>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace pw::ui {

class SmartSubClass;
class cls_Tooltip;

inline constexpr QSize kLargeFace{155, 45};
inline constexpr QSize kSmallFace{42, 42};

// The frame a state text shows: enabled 0, down 1, highlight 2, disabled 3;
// none for any other text (compared exactly, letter case included).
std::optional<int> frame_of_state(const QString& state);

class ImageButton : public QWidget {
  Q_OBJECT

 public:
  ~ImageButton() override;

  // Bitmap base name, stored as given. Writing it loads
  // <program folder>/Media/<trimmed name>.bmp into the picture surface; a
  // missing or unreadable file keeps what was shown before.
  const QString& picture() const { return picture_; }
  void set_picture(const QString& value);

  // "enabled", "highlight", "down" or "disabled" move the strip to that
  // frame; any other text is stored and changes nothing visible.
  const QString& state() const { return state_; }
  void set_state(const QString& value);

  // The command key the dispatcher acts on. Stored only.
  const QString& button_type() const { return button_type_; }
  void set_button_type(const QString& value) { button_type_ = value; }

  // The owning screen, by widget (its objectName is the name) or by name.
  QString form_name() const;
  QWidget* form() const { return form_.data(); }
  void set_form_name(QWidget* form);
  void set_form_name(const QString& name);

  // Writing it replaces the button's tooltip with a new one for this text.
  const QString& ToolTip() const { return tooltip_text_; }
  void set_ToolTip(const QString& value);

  const QString& HelpText() const { return help_text_; }
  void set_HelpText(const QString& value) { help_text_ = value; }

  // Drops the tooltip and stops watching the picture surface; called for
  // every button before the program ends. Safe to call twice.
  void end_sub_class();

  // For screens and tests: the picture surface (pic_BG), its offset (0 for
  // enabled, minus 1, 2 or 3 face heights), the leave-tracking flag, and
  // the tooltip (null until ToolTip is written).
  QWidget* pic_BG() const { return pic_bg_; }
  int frame_offset() const;
  bool tracking() const { return tracking_; }
  cls_Tooltip* tooltip() const { return tooltip_.get(); }
  QSize face_size() const { return face_; }

  // The dispatcher's common end clears the flag so that the next move over
  // the button highlights it again.
  void clear_tracking() { tracking_ = false; }

  // Kept for the dispatcher (set once a command has shown an error). Stored only.
  bool error_reported() const { return error_reported_; }
  void set_error_reported(bool value) { error_reported_ = value; }

 protected:
  ImageButton(QSize face, QWidget* parent);

  // Runs after a release has set "highlight" on a button that was not disabled.
  virtual void on_released() {}

 private:
  void on_surface_mouse(QEvent::Type type);
  void on_surface_event(QWidget* window, QEvent* event, bool* cancel);
  void show_highlight_once();

  QSize face_;
  QWidget* pic_bg_ = nullptr;  // child of this
  std::unique_ptr<SmartSubClass> m_Sniff;
  std::unique_ptr<cls_Tooltip> tooltip_;
  bool tracking_ = false;
  bool error_reported_ = false;
  QString picture_;
  QString state_;
  QString button_type_;
  QPointer<QWidget> form_;
  QString form_label_;
  QString tooltip_text_;
  QString help_text_;
};

class LargeButton final : public ImageButton {
  Q_OBJECT

 public:
  // The command dispatcher, run for every LargeButton released while not
  // disabled, after `released`. It reads button_type() and form_name() and
  // may change the button's state.
  using Dispatcher = std::function<void(LargeButton& button)>;

  explicit LargeButton(QWidget* parent = nullptr);

  static void set_dispatcher(Dispatcher dispatcher);

 signals:
  void released(pw::ui::LargeButton* button);

 protected:
  void on_released() override;
};

class SmallButton final : public ImageButton {
  Q_OBJECT

 public:
  explicit SmallButton(QWidget* parent = nullptr);
};

}  // namespace pw::ui
