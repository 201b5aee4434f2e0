// The desktop program put together: the start-up checks, the five screens
// loaded in order, and the wiring from their widgets to the core (button
// releases to the dispatcher, list clicks and ticks to the click handlers,
// progress to the screen in front).
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/desktop/app_context.h"
#include "app/desktop/downloads_watcher.h"
#include "app/desktop/qt_screen_view.h"

namespace pw {

namespace ui {
class LargeButton;
}
class ScreenForm;
class frm_Main;
class frm_Package;
class frm_Install;
class frm_Remove;
class frm_Hangar;
class frm_Review;

class DesktopProgram final : public QObject {
  Q_OBJECT

 public:
  explicit DesktopProgram(FileSystem& fs);
  ~DesktopProgram() override;

  // Start-up from the program's folder (core path): skin files are looked
  // up in its Media folder, the simulator root is two folders above it.
  // Without FSX.EXE there: the one start-up message, no window, false.
  // Then frm_Main, frm_Package, frm_Install, frm_Remove, frm_Hangar and frm_Review are
  // loaded in that order (a missing skin file: its message, false) and
  // frm_Main is shown. `packages` (core paths, from the command line) are
  // then opened as if dropped on frm_Main: the first selects the aircraft
  // and the install screen shows them ticked. `given` adds the simulator's
  // lists named on the command line (see locate_simulator).
  bool start(const std::string& program_folder, const std::vector<std::string>& packages = {},
             const SimulatorSources& given = {});

  AppContext& context() { return ctx_; }
  QtScreenView& view() { return view_; }
  // Null before start and after a failed one.
  frm_Main* main_screen() const { return main_.get(); }
  frm_Package* package_screen() const { return package_.get(); }
  frm_Install* install_screen() const { return install_.get(); }
  frm_Remove* remove_screen() const { return remove_.get(); }
  frm_Hangar* hangar_screen() const { return hangar_.get(); }
  frm_Review* review_screen() const { return review_.get(); }
  DownloadsWatcher& downloads_watcher() { return watcher_; }

 private:
  bool load_screens();
  void wire(ScreenForm& screen);
  void on_released(ui::LargeButton* button);
  void on_list_clicked(const QString& screen, const QString& list);
  // Runs a command (a release, a drop); the watcher follows its outcome.
  void run_command(const std::function<void()>& command);

  QtScreenView view_;
  AppContext ctx_;
  std::unique_ptr<frm_Main> main_;
  std::unique_ptr<frm_Package> package_;
  std::unique_ptr<frm_Install> install_;
  std::unique_ptr<frm_Remove> remove_;
  std::unique_ptr<frm_Hangar> hangar_;
  std::unique_ptr<frm_Review> review_;  // its buttons are its own: it answers show_review
  int commands_running_ = 0;  // nested: the modal remove screen runs its own
  DownloadsWatcher watcher_;
};

}  // namespace pw
