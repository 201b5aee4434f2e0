// SmartSubClass: lets an object see every event of a widget before the
// widget does, change it, or stop it there. Qt's event filters give that
// contract; this class adds the one-owner-per-widget rule and the
// bookkeeping that ends every link when the object goes away.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

class QEvent;

namespace pw::ui {

class SmartSubClass : public QObject {
  Q_OBJECT

 public:
  explicit SmartSubClass(QObject* parent = nullptr);
  // Ends the subclassing of every widget still held, last first.
  ~SmartSubClass() override;

  SmartSubClass(const SmartSubClass&) = delete;
  SmartSubClass& operator=(const SmartSubClass&) = delete;

  // bSubClass true: starts watching hWnd; false if hWnd is null or already
  // watched (by this or any other object; the first link stays).
  // bSubClass false: stops watching hWnd; false if this object was not
  // watching it (a link owned by another object is left alone).
  bool SubClassHwnd(QWidget* hWnd, bool bSubClass);

  // Number of widgets watched now.
  int window_count() const;

 signals:
  // Raised for every event of a watched widget before the widget sees it.
  // The handler may change the event; setting *Cancel to true stops it here
  // (the widget never sees it). Connect with a direct connection only.
  void NewMessage(QWidget* hWnd, QEvent* event, bool* Cancel);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void add_window(QWidget* window);
  void remove_window(QWidget* window);

  // Free slots (null) are reused before the list grows.
  std::vector<QPointer<QWidget>> windows_;
};

}  // namespace pw::ui
