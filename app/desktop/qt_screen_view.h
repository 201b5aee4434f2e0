// QtScreenView: the ScreenView of the desktop program, over the four Qt
// screens. Controls are found by the screen's and the control's object
// names. Text crosses here between the core's Windows-1252 and Qt's
// Unicode, and only here.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/desktop/screen_view.h"

class QMessageBox;
class QWidget;

namespace pw {

class FileSystem;
class ScreenForm;

// Windows-1252 bytes to Qt text and back (characters outside the code
// page become '?').
QString from_cp1252(const std::string& text);
std::string to_cp1252(const QString& text);
// A local file's path as the core names it: absolute, in the one form
// normal_path gives on every platform.
std::string to_core_path(const QString& local_path);

class QtScreenView final : public ScreenView {
 public:
  // Ends the program; the default leaves every running event loop.
  using QuitFn = std::function<void()>;
  // Answers the view's own question boxes (duplicates, repair) in tests,
  // as QtMessageService's responder does for messages.
  using Responder = std::function<void(QMessageBox& box)>;

  // Pictures are read through `fs`, which finds core paths ("\"-joined,
  // any letter case) on every platform.
  explicit QtScreenView(FileSystem& fs);
  ~QtScreenView() override;

  // Makes a screen known by its object name; not owned.
  void add_screen(ScreenForm& screen);
  ScreenForm* screen(const std::string& name) const;
  void set_quit(QuitFn quit) { quit_ = std::move(quit); }
  void set_responder(Responder responder) { responder_ = std::move(responder); }
  // The progress of a long operation on the screen in front.
  void show_progress(long long done, long long total);

  int ShowMessage(const std::string& text, int style, const std::string& title) override;
  std::optional<std::string> open_file(const std::string& screen, const OpenFileRequest& request) override;
  // The hourglass for the whole program; repeated calls do not stack.
  void set_busy(bool busy) override;
  void pump_events() override;

  void set_label(const std::string& screen, const std::string& label, const std::string& text) override;
  std::string button_state(const std::string& screen, const std::string& button) override;
  void set_button_state(const std::string& screen, const std::string& button, const std::string& state) override;
  // Fills a list without raising its click signal.
  void set_list(const std::string& screen, const std::string& list, const ListContent& content) override;
  ListContent list(const std::string& screen, const std::string& list) override;
  bool show_picture(const std::string& screen, const std::string& box, const std::string& path) override;
  bool show_picture_data(const std::string& screen, const std::string& box, const std::string& bytes) override;
  bool is_checked(const std::string& screen, const std::string& check_box) override;
  std::string field_text(const std::string& screen, const std::string& field) override;
  // Hides rows without raising the list's click signal.
  void set_hidden_rows(const std::string& screen, const std::string& list, const std::vector<bool>& hidden) override;

  // "Copy" is the default button; closing the box also copies.
  DuplicateChoice ask_duplicate(const std::string& title) override;
  bool offer_repair(const std::vector<Finding>& findings) override;
  // frm_Review over the main screen, modal; false without one.
  bool show_review(DownloadReview& review) override;

  void show_screen_in_place(const std::string& show, const std::string& hide) override;
  void show_centred_over_main(const std::string& screen, bool modal) override;
  void hide_screen(const std::string& screen) override;
  // The shutdown routine: every image button of every screen ends its
  // subclassing, the screens are hidden and the program's loops end.
  void shut_down() override;

 private:
  template <class Widget>
  Widget* control(const std::string& screen, const std::string& name) const;
  ScreenForm* front_screen() const;
  // Shows the screen centred over the main one and waits until it is hidden.
  void run_modal(ScreenForm& form);
  int run_box(QMessageBox& box);

  FileSystem& fs_;
  std::vector<QPointer<ScreenForm>> screens_;  // in load order
  QuitFn quit_;
  Responder responder_;
  bool busy_ = false;
  std::string last_folder_;  // of the last file chosen in a dialog (core path)
};

}  // namespace pw
