// paintwell_skin_demo: a main-screen look-alike built from the skin layer,
// for eyeballing the artwork. With --screenshot <png> it saves what the
// screen shows after a moment and quits (run under xvfb-run).
//   paintwell_skin_demo [--remove] [--screenshot out.png]
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "ui/image_button.h"
#include "ui/skin_paths.h"
#include "ui/skinned_form.h"

namespace {

using pw::ui::ButtonSetup;
using pw::ui::ScreenKind;
using pw::ui::SkinnedForm;

QLabel* add_label(QWidget* parent, const QString& text, QRect where, bool bold = false) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(where);
  label->setWordWrap(true);
  if (bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  return label;
}

void build_main(SkinnedForm& form) {
  form.setObjectName("frm_Main");
  form.setWindowTitle("Varnel Paintwell for FSX");
  add_label(&form, "Selected Aircraft:  Beech Baron 58", {240, 92, 520, 18}, true);
  add_label(&form, "Aircraft Folder:  SimObjects\\Airplanes\\beech_baron_58", {240, 112, 520, 18});
  add_label(&form, "Information:  Repaints for the default Baron.", {240, 132, 520, 18});
  add_label(&form, "Start with the \"Select Aircraft\" button. You can then use the Varnel "
                   "Paintwell for FSX to perform the other listed tasks.", {40, 164, 720, 34});
  add_label(&form, "Use the Select Aircraft button to select the working aircraft that you will "
                   "add a new livery to, or create packages from.", {226, 219, 530, 45});
  add_label(&form, "Use the Add Repaint(s) button to add the repaints for the selected aircraft. "
                   "You will be able to view preview shots of the aircraft.", {226, 297, 530, 45});
  add_label(&form, "Use the Remove Repaint(s) button to remove the selected repaints from Flight "
                   "Simulator.", {226, 377, 530, 45});
  add_label(&form, "Use the Create Package button to package a repaint you have done. Share your "
                   "work and let everyone enjoy it!", {226, 457, 530, 45});
  form.load_skin_or_report();
  form.add_button({{322, 525}, "exit", "Exit", "enabled", "Click to Exit the Varnel Paintwell for FSX."});
  form.add_button({{52, 219}, "select", "selectaircraft", "enabled",
                   "Click to load a Repaint Configuration File (*.RCF)."});
  form.add_button({{52, 297}, "add", "Add", "highlight", ""});
  form.add_button({{52, 377}, "remove", "Remove", "down", ""});
  form.add_button({{52, 457}, "upload", "Prepare", "disabled", ""});
}

void build_remove(SkinnedForm& form) {
  form.setObjectName("frm_Remove");
  form.setWindowTitle("Remove Repaints");
  add_label(&form, "Select aircraft to remove from Flight Simulator", {20, 58, 310, 18});
  auto* list = new QListWidget(&form);
  list->setGeometry(20, 80, 310, 182);
  for (const char* name : {"Baron 58 Paint 1", "Baron 58 Paint 2", "Air Tahoe Baron", "Coastal Charter"}) {
    auto* item = new QListWidgetItem(name, list);
    item->setCheckState(Qt::Unchecked);
  }
  form.load_skin_or_report();
  form.add_button({{20, 282}, "remove", "Remove", "enabled", "Click to remove the selected repaints."});
  form.add_button({{180, 282}, "return", "Return", "enabled", "Click to return to the main screen."});
}

// Stands in for a desktop behind the window, so the cut-out outline shows
// in a screenshot (a bare X server's root window is black).
class Backdrop : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0.0, QColor(0x6a, 0x8f, 0xb5));
    sky.setColorAt(1.0, QColor(0xc9, 0xd8, 0xe6));
    painter.fillRect(rect(), sky);
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  const bool remove = args.contains("--remove");
  const int shot = int(args.indexOf("--screenshot"));
  // The build puts this program in tools/make_media and the skin in <build>/Media.
  pw::ui::set_program_folder(QDir(app.applicationDirPath() + "/../..").absolutePath());
  Backdrop backdrop;
  if (shot > 0) {
    backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    backdrop.setWindowFlags(Qt::FramelessWindowHint);
    backdrop.show();
  }
  SkinnedForm form(pw::ui::frame_settings(remove ? ScreenKind::kRemove : ScreenKind::kMain));
  remove ? build_remove(form) : build_main(form);
  form.show();
  form.center_on_screen();
  if (shot > 0 && shot + 1 < args.size()) {
    const QString path = args[shot + 1];
    QTimer::singleShot(800, &app, [&app, path] {
      QScreen* screen = QGuiApplication::primaryScreen();
      screen->grabWindow(0).save(path, "PNG");
      app.quit();
    });
  }
  return app.exec();
}
