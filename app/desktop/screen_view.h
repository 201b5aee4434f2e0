// What the dispatcher needs from the screens. The desktop program
// implements it with widgets, the tests with a scripted user. Screens and
// controls are named as the design names them ("frm_Install",
// "lstPackages", "btn_Install").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "aircraft/diagnosis.h"
#include "app/aircraft_session.h"
#include "base/message_styles.h"

namespace pw {

class DownloadReview;

struct ListRow {
  std::string text;  // Windows-1252
  int item_data = 0;
  bool checked = false;
  bool enabled = true;  // false: shown greyed, cannot be ticked
  std::string tooltip;  // Windows-1252; empty for none
  bool hidden = false;  // left out by the list's search; its tick stays
  // Where the row's picture is found: a texture folder (its thumbnail) or
  // a package (its preview); empty for none. Lists without pictures ignore it.
  std::string picture;
};

struct ListContent {
  bool enabled = true;
  std::vector<ListRow> rows;
  int current = -1;  // the current row, -1 for none
};

struct OpenFileRequest {
  std::string filter;    // "Name (*.ext)|*.ext|..." as the design writes it
  std::string init_dir;  // the folder shown first; empty: see first_dir
  // With no init_dir: the folder of the last file chosen in any dialog,
  // else this one (empty: the dialog's own choice).
  std::string first_dir;
};

class ScreenView {
 public:
  virtual ~ScreenView() = default;

  // A modal message box; returns kResultOk or kResultCancel.
  virtual int ShowMessage(const std::string& text, int style, const std::string& title) = 0;
  // The open-file dialog of a screen (CD1, or the package screen's
  // cFileDialog). nullopt when cancelled.
  virtual std::optional<std::string> open_file(const std::string& screen, const OpenFileRequest& request) = 0;
  virtual void set_busy(bool busy) = 0;
  // Lets the window system handle pending events during a long wait.
  virtual void pump_events() = 0;

  virtual void set_label(const std::string& screen, const std::string& label, const std::string& text) = 0;
  virtual std::string button_state(const std::string& screen, const std::string& button) = 0;
  virtual void set_button_state(const std::string& screen, const std::string& button, const std::string& state) = 0;
  virtual void set_list(const std::string& screen, const std::string& list, const ListContent& content) = 0;
  virtual ListContent list(const std::string& screen, const std::string& list) = 0;
  // Shows a picture file in a picture box; false when it cannot be loaded
  // (the box then keeps what it showed).
  virtual bool show_picture(const std::string& screen, const std::string& box, const std::string& path) = 0;
  // The same for a picture already in memory (a package's preview).
  virtual bool show_picture_data(const std::string& screen, const std::string& box, const std::string& bytes) = 0;
  virtual bool is_checked(const std::string& screen, const std::string& check_box) = 0;
  // The text typed in a screen's text field (a search field); Windows-1252.
  virtual std::string field_text(const std::string& screen, const std::string& field) = 0;
  // Hides the rows whose flag is set and shows the others (ticks and the
  // rest of each row stay); flags beyond the list's rows are ignored.
  virtual void set_hidden_rows(const std::string& screen, const std::string& list, const std::vector<bool>& hidden) = 0;

  // A package whose title is already installed: install a copy (what the
  // program always did, and the default), skip it, or replace the installed
  // entry and its folder.
  virtual DuplicateChoice ask_duplicate(const std::string& title) = 0;
  // Shows what a check of the aircraft found and offers the safe repair
  // (renumbering); true when the user wants it.
  virtual bool offer_repair(const std::vector<Finding>& findings) = 0;
  // Shows what was found in downloads, modal, and writes the user's ticks
  // and choices of aircraft back into `review`; true when the user chose
  // to install, false when they went back.
  virtual bool show_review(DownloadReview& review) = 0;

  virtual void show_screen_in_place(const std::string& show, const std::string& hide) = 0;
  // Modal: returns once the screen is hidden again.
  virtual void show_centred_over_main(const std::string& screen, bool modal) = 0;
  virtual void hide_screen(const std::string& screen) = 0;
  // Ends the program (the desktop program quits its event loop).
  virtual void shut_down() = 0;
};

}  // namespace pw
