#include "ui/skinned_form.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <span>
#include <string>
#include <vector>

#include "base/text.h"
#include "ui/cursor_file.h"
#include "ui/font_scaling.h"
#include "ui/image_button.h"
#include "ui/message_box.h"
#include "ui/skin_paths.h"

namespace pw::ui {
namespace {

const QColor kControlText(96, 96, 96);
const QColor kComboBackground(255, 255, 255);
const QColor kCheckBackground(180, 180, 180);
const QColor kMissingBackground(31, 45, 61);  // stands in for a missing background bitmap
const QRect kVersionLabelRect(664, 494, 104, 16);

std::string cp1252_of(const QString& text) { return utf8_to_cp1252(text.toStdString()); }

Error missing(const QString& relative, const char* why) {
  return make_error(ErrorCode::kNotFound,
                    cp1252_of(QDir::toNativeSeparators(skin_file(relative))) + " (" + why + ")");
}

void set_text_colour(QPalette& palette, const QColor& colour) {
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::Text, colour);
  palette.setColor(QPalette::ButtonText, colour);
}

void recolour_label(QLabel& label) {
  QPalette palette = label.palette();
  set_text_colour(palette, kControlText);
  label.setPalette(palette);
  label.setAutoFillBackground(false);  // the bitmap shows through
}

void recolour_filled(QWidget& widget, const QColor& background, QPalette::ColorRole role) {
  QPalette palette = widget.palette();
  set_text_colour(palette, kControlText);
  palette.setColor(role, background);
  if (role == QPalette::Base) palette.setColor(QPalette::Button, background);
  widget.setPalette(palette);
  if (role == QPalette::Window) widget.setAutoFillBackground(true);
}

}  // namespace

FrameSettings frame_settings(ScreenKind kind) {
  FrameSettings frame;
  frame.size = QSize(800, 600);
  frame.region_file = QStringLiteral("\\Media\\MainRegion.dat");
  frame.background = QStringLiteral("\\Media\\Repaint_Background.bmp");
  frame.cursor = QStringLiteral("\\Media\\HMOVE.cur");
  frame.list_background = kind == ScreenKind::kMain ? pack_rgb(255, 255, 255) : pack_rgb(220, 220, 220);
  if (kind != ScreenKind::kRemove) return frame;
  frame.size = QSize(620, 350);
  frame.region_file.clear();
  frame.background = QStringLiteral("\\Media\\Remove_Background.bmp");
  frame.draggable = false;
  frame.recolour_all_kinds = false;
  frame.show_version = false;
  return frame;
}

QString version_text(int major, int minor, int revision) {
  return QStringLiteral("v %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString program_version_text() {
  return version_text(PW_VERSION_MAJOR, PW_VERSION_MINOR, PW_VERSION_PATCH);
}

SkinnedForm::SkinnedForm(const FrameSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), settings_(settings) {
  setFont(skin_font(9.75));
  setFixedSize(settings_.size);
}

Result<void> SkinnedForm::load_skin() {
  FixFonts(*this);
  setFixedSize(settings_.size);  // after the scaling, so this size is final
  const Result<void> steps[] = {load_cursor(), load_outline(), load_background()};
  loaded_ = true;
  apply_colour_table();
  if (settings_.show_version && version_label_ == nullptr) {
    version_label_ = new QLabel(program_version_text(), this);
    version_label_->setObjectName(QStringLiteral("lbl_Version"));
    version_label_->setGeometry(kVersionLabelRect);
    version_label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    recolour_label(*version_label_);
  }
  std::string files;
  const Error* first = nullptr;
  for (const Result<void>& step : steps) {
    if (step) continue;
    if (first == nullptr) first = &step.error();
    files += "\r" + step.error().message;
  }
  if (first == nullptr) return {};
  return make_error(first->code, "Some skin files of this window could not be loaded:" + files);
}

bool SkinnedForm::load_skin_or_report() {
  const Result<void> loaded = load_skin();
  if (loaded) return true;
  ShowMessage(loaded.error().message, kStyleCritical);
  return false;
}

Result<void> SkinnedForm::load_cursor() {
  QFile file(skin_file(settings_.cursor));
  if (!file.open(QIODevice::ReadOnly)) return missing(settings_.cursor, "cannot open");
  const QByteArray bytes = file.readAll();
  const auto hotspot = read_cursor_hotspot(std::span(
      reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
  QImage image;
  if (!hotspot || !image.loadFromData(bytes, "CUR")) return missing(settings_.cursor, "not a cursor");
  move_cursor_ = QCursor(QPixmap::fromImage(image), hotspot->x, hotspot->y);
  return {};
}

Result<void> SkinnedForm::load_outline() {
  if (settings_.region_file.isEmpty()) {
    clearMask();
    return {};
  }
  Result<void> shaped =
      shape_.ShapeMe(*this, pack_rgb(0, 0, 0), true, skin_file(settings_.region_file));
  if (!shaped) clearMask();
  return shaped;
}

Result<void> SkinnedForm::load_background() {
  QPixmap picture;
  if (!picture.load(skin_file(settings_.background))) {
    return missing(settings_.background, "not a readable bitmap");
  }
  background_ = picture;
  update();
  return {};
}

void SkinnedForm::apply_colour_table() { recolour_tree(*this); }

// Visits the screen's own controls; the insides of composite controls
// (a combo's popup list, a button's picture) keep their own colours.
void SkinnedForm::recolour_tree(QWidget& parent) {
  const QColor list_background = color_from_packed(settings_.list_background);
  for (QObject* object : parent.children()) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr || widget->isWindow() || qobject_cast<ImageButton*>(widget)) continue;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      recolour_label(*label);
    } else if (qobject_cast<QAbstractItemView*>(widget)) {
      recolour_filled(*widget, list_background, QPalette::Base);
    } else if (!settings_.recolour_all_kinds) {
      recolour_tree(*widget);
    } else if (qobject_cast<QComboBox*>(widget)) {
      recolour_filled(*widget, kComboBackground, QPalette::Base);
    } else if (qobject_cast<QCheckBox*>(widget)) {
      recolour_filled(*widget, kCheckBackground, QPalette::Window);
    } else {
      recolour_tree(*widget);
    }
  }
}

LargeButton* SkinnedForm::add_button(const ButtonSetup& setup) {
  auto* button = new LargeButton(this);
  button->move(setup.position);
  button->set_button_type(setup.button_type);
  button->set_form_name(this);
  button->set_picture(setup.picture);
  button->set_state(setup.state);
  button->set_ToolTip(setup.tooltip);
  return button;
}

void SkinnedForm::center_on_screen() {
  const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->geometry();
  move(area.left() + area.width() / 2 - width() / 2, area.top() + area.height() / 2 - height() / 2);
}

void SkinnedForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (background_.isNull()) {
    painter.fillRect(rect(), kMissingBackground);
    return;
  }
  painter.drawPixmap(0, 0, background_);
}

void SkinnedForm::mousePressEvent(QMouseEvent* event) {
  if (!settings_.draggable || event->button() != Qt::LeftButton) return;
  setCursor(move_cursor_);
  shape_.begin_drag(*this, event->globalPosition().toPoint());
}

void SkinnedForm::mouseMoveEvent(QMouseEvent* event) {
  if (!settings_.draggable || !(event->buttons() & Qt::LeftButton)) return;
  shape_.DragForm(*this, kLeftButton, event->globalPosition().toPoint());
}

void SkinnedForm::mouseReleaseEvent(QMouseEvent*) {
  if (!settings_.draggable) return;
  unsetCursor();
  shape_.end_drag();
}

}  // namespace pw::ui
