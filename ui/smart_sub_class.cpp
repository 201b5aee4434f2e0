#include "ui/smart_sub_class.h"

#include <QEvent>
#include <QVariant>
#include <algorithm>

namespace pw::ui {
namespace {

// Widget property naming the object that watches it.
constexpr char kOwnerProperty[] = "pw_ssc_owner";

QObject* owner_of(const QWidget* window) {
  return window->property(kOwnerProperty).value<QObject*>();
}

}  // namespace

SmartSubClass::SmartSubClass(QObject* parent) : QObject(parent) {}

SmartSubClass::~SmartSubClass() {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    QWidget* window = it->data();
    if (window == nullptr) continue;
    window->removeEventFilter(this);
    window->setProperty(kOwnerProperty, QVariant());
  }
}

bool SmartSubClass::SubClassHwnd(QWidget* hWnd, bool bSubClass) {
  if (hWnd == nullptr) return false;
  QObject* owner = owner_of(hWnd);
  if (bSubClass) {
    if (owner != nullptr) return false;
    hWnd->setProperty(kOwnerProperty, QVariant::fromValue<QObject*>(this));
    hWnd->installEventFilter(this);
    add_window(hWnd);
    return true;
  }
  if (owner != this) return false;
  hWnd->removeEventFilter(this);
  hWnd->setProperty(kOwnerProperty, QVariant());
  remove_window(hWnd);
  return true;
}

int SmartSubClass::window_count() const {
  return int(std::count_if(windows_.begin(), windows_.end(),
                           [](const QPointer<QWidget>& w) { return !w.isNull(); }));
}

bool SmartSubClass::eventFilter(QObject* watched, QEvent* event) {
  auto* window = qobject_cast<QWidget*>(watched);
  if (window == nullptr || owner_of(window) != this) return false;
  bool cancel = false;
  emit NewMessage(window, event, &cancel);
  return cancel;
}

void SmartSubClass::add_window(QWidget* window) {
  auto free_slot = std::find_if(windows_.begin(), windows_.end(),
                                [](const QPointer<QWidget>& w) { return w.isNull(); });
  if (free_slot != windows_.end()) {
    *free_slot = window;
    return;
  }
  windows_.emplace_back(window);
}

void SmartSubClass::remove_window(QWidget* window) {
  auto it = std::find(windows_.begin(), windows_.end(), window);
  if (it == windows_.end()) return;
  if (it + 1 == windows_.end()) {
    windows_.pop_back();
    return;
  }
  *it = nullptr;
}

}  // namespace pw::ui
