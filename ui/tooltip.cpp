#include "ui/tooltip.h"

#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <climits>
#include <cmath>

#include "ui/skin_paths.h"

namespace pw::ui {
namespace {

constexpr int kPadX = 5;
constexpr int kPadY = 3;
constexpr int kPointerHeight = 20;  // the tip sits below the pointer's arrow
constexpr int kDefaultDelayMs = 500;
constexpr int kDefaultVisibleMs = 5000;

// The tip's own window: a framed box of wrapped text.
class TipWindow : public QWidget {
 public:
  explicit TipWindow(QWidget* parent)
      : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput) {
    setObjectName(QStringLiteral("pw_tooltip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

  int delay_ms = kDefaultDelayMs;
  int visible_ms = kDefaultVisibleMs;
  QColor fore;
  QColor back;
  int max_width = kTipDefaultMaxWidth;

  void set_text(const QString& text) {
    text_ = text;
    resize(layout_size());
  }

  QSize layout_size() const {
    const int inner = max_width > 2 * kPadX ? max_width - 2 * kPadX : INT_MAX / 4;
    const QRect text = QFontMetrics(font()).boundingRect(
        QRect(0, 0, inner, INT_MAX / 4), Qt::TextWordWrap | Qt::AlignLeft, text_);
    return QSize(text.width() + 2 * kPadX, text.height() + 2 * kPadY);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), back);
    painter.setPen(fore.darker(160));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(fore);
    painter.drawText(rect().adjusted(kPadX, kPadY, -kPadX, -kPadY),
                     Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text_);
  }

 private:
  QString text_;
};

TipWindow* as_tip(const QPointer<QWidget>& window) {
  return static_cast<TipWindow*>(window.data());
}

bool ends_tip(QEvent::Type type) {
  switch (type) {
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
      return true;
    default:
      return false;
  }
}

}  // namespace

int tip_font_pixel_height(double points, int dpi) {
  const long long whole = std::llround(points);
  const long long product = whole * dpi;
  return int((product + 36) / 72);  // MulDiv: nearest, halves away from zero
}

cls_Tooltip::cls_Tooltip() {
  delay_timer_.setSingleShot(true);
  visible_timer_.setSingleShot(true);
  connect(&delay_timer_, &QTimer::timeout, this, &cls_Tooltip::show_tip);
  connect(&visible_timer_, &QTimer::timeout, this, [this] {
    hide_tip();
    suppressed_ = true;
  });
}

cls_Tooltip::~cls_Tooltip() { Destroy(); }

void cls_Tooltip::set_ForeColor(std::uint32_t color) {
  fore_color_ = color;
  if (window_) as_tip(window_)->fore = color_from_packed(color);
}

void cls_Tooltip::set_BackColor(std::uint32_t color) {
  back_color_ = color;
  if (window_) as_tip(window_)->back = color_from_packed(color);
}

void cls_Tooltip::set_MaxWidth(int pixels) {
  max_width_ = pixels;
  if (window_) as_tip(window_)->max_width = pixels;
}

int cls_Tooltip::VisibleTime() const { return window_ ? as_tip(window_)->visible_ms : 0; }

void cls_Tooltip::set_VisibleTime(int ms) {
  if (window_) as_tip(window_)->visible_ms = std::clamp(ms, 0, kTipMaxTime);
}

int cls_Tooltip::DelayTime() const { return window_ ? as_tip(window_)->delay_ms : 0; }

void cls_Tooltip::set_DelayTime(int ms) {
  if (window_) as_tip(window_)->delay_ms = std::clamp(ms, 0, kTipMaxTime);
}

void cls_Tooltip::set_Font(const QFont* font) {
  if (font == nullptr) return;
  const int dpi = window_ ? window_->logicalDpiY() : 96;
  font_ = *font;
  font_.setPixelSize(std::max(1, tip_font_pixel_height(font->pointSizeF(), dpi)));
  if (window_) window_->setFont(font_);
}

bool cls_Tooltip::Create(QWidget* lngHwndParent) {
  if (lngHwndParent == nullptr) return false;
  Destroy();
  auto* tip = new TipWindow(lngHwndParent);
  window_ = tip;
  set_MaxWidth(max_width_);
  set_ForeColor(fore_color_);
  set_BackColor(back_color_);
  return true;
}

void cls_Tooltip::Destroy() {
  delay_timer_.stop();
  visible_timer_.stop();
  for (const Tool& tool : tools_) {
    if (tool.control) tool.control->removeEventFilter(this);
  }
  tools_.clear();
  pending_ = nullptr;
  delete window_.data();  // at once, so a new tip never meets the old one
  window_ = nullptr;
}

bool cls_Tooltip::AddControl(QWidget* ctlTool, const QString& strCaption, bool blnCenterTip) {
  if (!window_ || ctlTool == nullptr) return false;
  if (find_tool(ctlTool) != nullptr) return false;
  tools_.push_back(Tool{ctlTool, strCaption, blnCenterTip});
  ctlTool->installEventFilter(this);
  return true;
}

QWidget* cls_Tooltip::tip_window() const { return window_.data(); }

bool cls_Tooltip::is_showing() const { return window_ && window_->isVisible(); }

bool cls_Tooltip::eventFilter(QObject* watched, QEvent* event) {
  const Tool* tool = find_tool(watched);
  if (tool == nullptr) return false;
  const QEvent::Type type = event->type();
  if ((type == QEvent::Enter || type == QEvent::MouseMove) && !is_showing()) {
    arm(*tool);  // the pointer must rest for the whole delay
  } else if (ends_tip(type)) {
    hide_tip();
    // After a click or a time-out the tip waits until the pointer has left.
    suppressed_ = type != QEvent::Leave;
  }
  return false;
}

const cls_Tooltip::Tool* cls_Tooltip::find_tool(const QObject* control) const {
  for (const Tool& tool : tools_) {
    if (tool.control == control) return &tool;
  }
  return nullptr;
}

void cls_Tooltip::arm(const Tool& tool) {
  if (suppressed_ || !window_ || tool.caption.isEmpty()) return;
  pending_ = tool.control;
  delay_timer_.start(as_tip(window_)->delay_ms);
}

void cls_Tooltip::show_tip() {
  const Tool* tool = find_tool(pending_.data());
  if (tool == nullptr || !window_ || !tool->control->isVisible()) return;
  TipWindow* tip = as_tip(window_);
  tip->set_text(tool->caption);
  tip->move(tip_position(*tool, tip->size()));
  tip->show();  // tooltip windows stay above the others by themselves
  visible_timer_.start(tip->visible_ms);
}

void cls_Tooltip::hide_tip() {
  delay_timer_.stop();
  visible_timer_.stop();
  if (window_) window_->hide();
}

QPoint cls_Tooltip::tip_position(const Tool& tool, QSize tip_size) const {
  QWidget* control = tool.control.data();
  const QPoint pointer = QCursor::pos();
  QPoint at = tool.center
                  ? control->mapToGlobal(QPoint((control->width() - tip_size.width()) / 2,
                                                control->height()))
                  : pointer + QPoint(0, kPointerHeight);
  const QScreen* screen = QGuiApplication::screenAt(pointer);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return at;
  const QRect area = screen->availableGeometry();
  // Near the bottom the tip goes above the pointer rather than under it,
  // where it would take the pointer away from the control.
  if (at.y() + tip_size.height() > area.bottom()) at.setY(pointer.y() - tip_size.height() - 2);
  at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - tip_size.width())));
  at.setY(std::max(at.y(), area.top()));
  return at;
}

}  // namespace pw::ui
