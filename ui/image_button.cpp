#include "ui/image_button.h"

#include <QPainter>
#include <QPixmap>

#include "ui/font_scaling.h"
#include "ui/skin_paths.h"
#include "ui/smart_sub_class.h"
#include "ui/tooltip.h"

namespace pw::ui {
namespace {

const QString kEnabled = QStringLiteral("enabled");
const QString kHighlight = QStringLiteral("highlight");
const QString kDown = QStringLiteral("down");
const QString kDisabled = QStringLiteral("disabled");

constexpr double kButtonFontPoints = 9.75;

// pic_BG: shows the whole strip at its natural size; the button moves it so
// that one frame shows through the face. Its mouse events go to the button.
class PictureSurface : public QWidget {
 public:
  using MouseHandler = std::function<void(QEvent::Type)>;

  PictureSurface(QWidget* parent, MouseHandler handler)
      : QWidget(parent), handler_(std::move(handler)) {
    setObjectName(QStringLiteral("pic_BG"));
    setMouseTracking(true);  // moves without a pressed button start the highlight
    setCursor(Qt::PointingHandCursor);
  }

  void set_pixmap(const QPixmap& pixmap) {
    pixmap_ = pixmap;
    resize(pixmap.size());
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawPixmap(0, 0, pixmap_);
  }
  void mousePressEvent(QMouseEvent*) override { handler_(QEvent::MouseButtonPress); }
  void mouseDoubleClickEvent(QMouseEvent*) override { handler_(QEvent::MouseButtonDblClick); }
  void mouseReleaseEvent(QMouseEvent*) override { handler_(QEvent::MouseButtonRelease); }
  void mouseMoveEvent(QMouseEvent*) override { handler_(QEvent::MouseMove); }

 private:
  MouseHandler handler_;
  QPixmap pixmap_;
};

LargeButton::Dispatcher& dispatcher_slot() {
  static LargeButton::Dispatcher dispatcher;
  return dispatcher;
}

}  // namespace

std::optional<int> frame_of_state(const QString& state) {
  if (state == kEnabled) return 0;
  if (state == kDown) return 1;
  if (state == kHighlight) return 2;
  if (state == kDisabled) return 3;
  return std::nullopt;
}

ImageButton::ImageButton(QSize face, QWidget* parent) : QWidget(parent), face_(face) {
  // A fixed size makes Qt clamp every resize back to the face.
  setFixedSize(face);
  setFont(skin_font(kButtonFontPoints));
  auto* surface = new PictureSurface(this, [this](QEvent::Type type) { on_surface_mouse(type); });
  surface->setGeometry(QRect(QPoint(0, 0), face));
  pic_bg_ = surface;
  m_Sniff = std::make_unique<SmartSubClass>();
  connect(m_Sniff.get(), &SmartSubClass::NewMessage, this, &ImageButton::on_surface_event,
          Qt::DirectConnection);
  m_Sniff->SubClassHwnd(pic_bg_, true);
}

ImageButton::~ImageButton() { end_sub_class(); }

void ImageButton::set_picture(const QString& value) {
  picture_ = value;
  QPixmap pixmap;
  if (!pixmap.load(skin_file(QStringLiteral("\\Media\\") + trim_blanks(value) +
                             QStringLiteral(".bmp")))) {
    return;
  }
  static_cast<PictureSurface*>(pic_bg_)->set_pixmap(pixmap);
}

void ImageButton::set_state(const QString& value) {
  state_ = value;
  const std::optional<int> frame = frame_of_state(value);
  if (frame) pic_bg_->move(0, -*frame * face_.height());
}

QString ImageButton::form_name() const { return form_ ? form_->objectName() : form_label_; }

void ImageButton::set_form_name(QWidget* form) {
  form_ = form;
  form_label_.clear();
}

void ImageButton::set_form_name(const QString& name) {
  form_ = nullptr;
  form_label_ = name;
}

void ImageButton::set_ToolTip(const QString& value) {
  tooltip_.reset();
  tooltip_text_ = value;
  tooltip_ = std::make_unique<cls_Tooltip>();
  tooltip_->Create(this);
  tooltip_->set_ForeColor(pack_rgb(45, 45, 45));
  tooltip_->set_BackColor(pack_rgb(231, 231, 231));
  tooltip_->set_MaxWidth(400);
  tooltip_->set_VisibleTime(10000);
  tooltip_->set_DelayTime(250);
  tooltip_->AddControl(pic_bg_, value, false);
  const QFont button_font = font();
  tooltip_->set_Font(&button_font);
}

void ImageButton::end_sub_class() {
  tooltip_.reset();
  if (m_Sniff) m_Sniff->SubClassHwnd(pic_bg_, false);
  m_Sniff.reset();
}

int ImageButton::frame_offset() const { return pic_bg_->y(); }

void ImageButton::on_surface_mouse(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseMove:
      show_highlight_once();
      return;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      if (state_ != kDisabled) set_state(kDown);
      return;
    case QEvent::MouseButtonRelease:
      if (state_ == kDisabled) return;
      set_state(kHighlight);
      on_released();
      return;
    default:
      return;
  }
}

void ImageButton::on_surface_event(QWidget*, QEvent* event, bool*) {
  if (event->type() != QEvent::Leave) return;
  tracking_ = false;
  if (state_ != kDisabled) set_state(kEnabled);
}

void ImageButton::show_highlight_once() {
  if (tracking_) return;
  tracking_ = true;  // the leave event will clear it
  if (state_ != kDisabled) set_state(kHighlight);
}

LargeButton::LargeButton(QWidget* parent) : ImageButton(kLargeFace, parent) {}

void LargeButton::set_dispatcher(Dispatcher dispatcher) { dispatcher_slot() = std::move(dispatcher); }

void LargeButton::on_released() {
  const QPointer<LargeButton> alive(this);
  emit released(this);
  if (alive && dispatcher_slot()) dispatcher_slot()(*this);
}

SmallButton::SmallButton(QWidget* parent) : ImageButton(kSmallFace, parent) {}

}  // namespace pw::ui
