#include "app/desktop/desktop_program.h"

#include "app/command_texts.h"
#include "app/desktop/dispatcher.h"
#include "app/desktop/hangar_lists.h"
#include "app/desktop/hangar_screen.h"
#include "app/desktop/library_tab.h"
#include "app/desktop/list_search.h"
#include "app/desktop/main_screen.h"
#include "app/desktop/outside_packages.h"
#include "app/desktop/review_screen.h"
#include "app/desktop/screen_lists.h"
#include "app/startup.h"
#include "base/platform/process.h"
#include "packages/install_screen.h"
#include "packages/package_screen.h"
#include "packages/remove_screen.h"
#include "ui/image_button.h"
#include "ui/skin_paths.h"

namespace pw {
namespace {

// The dispatcher's view of a released image button.
class ReleasedButton final : public PressedButton {
 public:
  explicit ReleasedButton(ui::LargeButton& button) : button_(button) {
    error_reported = button.error_reported();
  }
  std::string state() const override { return to_cp1252(button_.state()); }
  void set_state(const std::string& state) override { button_.set_state(from_cp1252(state)); }
  void clear_tracking() override { button_.clear_tracking(); }
  std::string button_type() const override { return to_cp1252(button_.button_type()); }
  std::string form_name() const override { return to_cp1252(button_.form_name()); }

 private:
  ui::LargeButton& button_;
};

template <class Screen>
bool load(std::unique_ptr<Screen>& slot) {
  slot = std::make_unique<Screen>();
  if (slot->skin_ok()) return true;
  slot.reset();
  return false;
}

}  // namespace

DesktopProgram::DesktopProgram(FileSystem& fs)
    : view_(fs),
      ctx_(fs, view_),
      watcher_(fs, [this] { return commands_running_ == 0; }, [this] { relist_packages(ctx_); }) {
  ctx_.progress = [this](std::int64_t done, std::int64_t total) { view_.show_progress(done, total); };
}

DesktopProgram::~DesktopProgram() = default;

bool DesktopProgram::start(const std::string& program_folder, const std::vector<std::string>& packages,
                           const SimulatorSources& given) {
  // The skin is read by Qt, which takes the native form of the folder.
  ui::set_program_folder(QString::fromStdString(ctx_.fs.native_path(program_folder)));
  ctx_.library_cache_folder = user_cache_folder();
  if (!locate_simulator(ctx_, program_folder, "", given)) {
    view_.ShowMessage(kFsxMissingMessage, kStyleOkOnly, kAppTitle);
    return false;
  }
  if (!load_screens()) return false;
  view_.set_label("frm_Main", "lbl_Simulator", "Simulator: " + ctx_.state.simulator_name);
  main_->show();
  main_->activateWindow();
  if (!ctx_.state.addon_refusals.empty()) {
    std::vector<std::string> lines = {"These add-on declarations were not read:", ""};
    lines.insert(lines.end(), ctx_.state.addon_refusals.begin(), ctx_.state.addon_refusals.end());
    view_.ShowMessage(cr_lines(lines), kStyleInformation, kAppTitle);
  }
  if (!packages.empty()) run_command([&] { open_packages(ctx_, "frm_Main", packages); });
  return true;
}

// Stops at the first screen whose skin is incomplete: its message was the
// one the user needs, and a program without its frame is no use.
bool DesktopProgram::load_screens() {
  if (!load(main_) || !load(package_) || !load(install_) || !load(remove_) || !load(hangar_) || !load(review_)) {
    main_.reset();
    package_.reset();
    install_.reset();
    remove_.reset();
    hangar_.reset();
    review_.reset();
    return false;
  }
  for (ScreenForm* screen : {static_cast<ScreenForm*>(main_.get()), static_cast<ScreenForm*>(package_.get()),
                             static_cast<ScreenForm*>(install_.get()), static_cast<ScreenForm*>(remove_.get()),
                             static_cast<ScreenForm*>(hangar_.get())}) {
    wire(*screen);
  }
  view_.add_screen(*review_);
  remove_->attach_thumbnails(ctx_.fs);
  hangar_->attach_thumbnails(ctx_.fs);
  review_->attach_thumbnails(ctx_.fs);
  return true;
}

void DesktopProgram::wire(ScreenForm& screen) {
  view_.add_screen(screen);
  for (ui::LargeButton* button : screen.findChildren<ui::LargeButton*>()) {
    connect(button, &ui::LargeButton::released, this, &DesktopProgram::on_released);
  }
  const QString name = screen.objectName();
  connect(&screen, &ScreenForm::list_clicked, this, [this, name](const QString& list) { on_list_clicked(name, list); });
  connect(&screen, &ScreenForm::search_changed, this, [this, name](const QString& list) {
    if (list == QLatin1String(kLibraryList)) return FillHangarLibrary(ctx_);
    RefilterList(ctx_, name.toStdString(), list.toStdString());
    on_list_clicked(name, list);  // what is shown beside the list follows what the search left
  });
  connect(&screen, &ScreenForm::files_dropped, this, [this, name](const QStringList& paths) {
    std::vector<std::string> core_paths;
    for (const QString& path : paths) core_paths.push_back(to_core_path(path));
    run_command([&] { open_packages(ctx_, to_cp1252(name), core_paths); });
  });
}

void DesktopProgram::on_released(ui::LargeButton* button) {
  ReleasedButton released(*button);
  run_command([&] { dispatch_release(ctx_, released); });
  button->set_error_reported(released.error_reported);
}

void DesktopProgram::run_command(const std::function<void()>& command) {
  ++commands_running_;
  command();
  --commands_running_;
  watcher_.follow(ctx_.state.g_AircraftFolder);
}

void DesktopProgram::on_list_clicked(const QString& screen, const QString& list) {
  if (screen == QLatin1String("frm_Package") && list == QLatin1String("lstAircraft")) return PackageAircraftClicked(ctx_);
  if (screen == QLatin1String("frm_Install") && list == QLatin1String("lstPackages")) return PackageListClicked(ctx_);
  if (screen == QLatin1String("frm_Remove") && list == QLatin1String("lstAircraft")) return RemoveListClicked(ctx_);
  if (screen == QLatin1String("frm_Hangar") && list == QLatin1String(kLibraryList)) return HangarLibraryClicked(ctx_);
  if (screen == QLatin1String("frm_Hangar")) return HangarListClicked(ctx_, list.toStdString());
}

}  // namespace pw
