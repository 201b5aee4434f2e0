// What the screen tests share: a simulator tree on disk with the program
// installed in it, a scripted person answering message boxes and file
// dialogs, and button releases as the mouse makes them.
#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/desktop/desktop_program.h"

class QListWidget;

namespace pw::ui {
class LargeButton;
}

namespace pw::test {

// The aircraft of the tree: Aircraft.cfg holds fltsim.0 "Factory White"
// (excluded by the .rcf), .1 "Sunrise Air" and .2 "Glacier Express", each
// with its texture folder; Downloads holds two packages whose previews are
// filled with kEmeraldColour and kCrimsonColour.
inline constexpr const char* kPlaneFolder = "SimObjects/Airplanes/Trainer";
inline const QColor kEmeraldColour(40, 160, 90);
inline const QColor kCrimsonColour(190, 30, 50);

class SimTree {
 public:
  // with_fsx false: the root has no FSX.EXE.
  explicit SimTree(bool with_fsx = true);
  bool ok() const { return ok_; }

  QString root() const { return dir_.path(); }
  QString program_folder() const { return dir_.path() + "/Varnel Software/FSX Paintwell"; }
  QString plane(const QString& rel = {}) const;
  QString rcf() const { return dir_.path() + "/Trainer.rcf"; }
  bool write(const QString& path, const QByteArray& bytes) const;

 private:
  bool make_plane();
  QTemporaryDir dir_;
  bool ok_ = false;
};

// Package bytes for a livery: entry, a 400 x 300 preview of one colour and
// two texture files.
QByteArray package_bytes(const std::string& texture, const std::string& variation, const QColor& preview);

// Answers the program's message boxes from a queue (QMessageBox::Ok or
// ::Cancel; OK once it runs dry) and records each box.
class MessageScript {
 public:
  struct Shown { QString text, title; QMessageBox::Icon icon; bool has_cancel; };
  MessageScript();
  ~MessageScript();

  std::deque<QMessageBox::StandardButton> answers;
  std::vector<Shown> shown;
  QStringList titles() const;
};

// Answers file dialogs from a queue of paths (an empty path cancels;
// cancel once it runs dry) and records how each started.
class DialogScript {
 public:
  DialogScript();
  ~DialogScript();

  std::deque<QString> answers;
  QStringList folders;        // where each dialog started (canonical)
  QList<QStringList> filters;  // and the filters it offered
};

// A started program on a tree; quitting is recorded, not done.
struct RunningProgram {
  // `packages`: the program's command line (core paths).
  explicit RunningProgram(const SimTree& tree, const std::vector<std::string>& packages = {});
  bool started = false;
  int quits = 0;
  std::unique_ptr<DesktopProgram> program;
};

// A press and release of the left button on the button's face.
void click(ui::LargeButton* button);
// Ticks or unticks a row as the user's click on its check box does.
void tick(QListWidget* list, int row, bool checked = true);
QStringList row_texts(const QListWidget* list);

}  // namespace pw::test
