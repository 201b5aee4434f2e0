// A ScreenView without windows: it keeps every label, list, button state,
// picture and check box in memory, so tests drive the dispatcher as a
// scripted user.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/desktop/screen_view.h"

namespace pw {

class HeadlessView : public ScreenView {
 public:
  // Keys are "screen.control", e.g. "frm_Install.lstPackages".
  std::map<std::string, std::string> labels;
  std::map<std::string, std::string> button_states;
  std::map<std::string, ListContent> lists;
  std::map<std::string, std::string> pictures;  // the path last shown, or the bytes shown from memory
  std::map<std::string, bool> check_boxes;
  std::map<std::string, std::string> fields;
  std::vector<std::string> screen_events;  // "show frm_Package", "hide frm_Main", "modal frm_Remove"
  bool busy = false;
  bool shut = false;
  DuplicateChoice duplicate_choice = DuplicateChoice::kCopy;  // the answer to every duplicate
  std::vector<std::string> duplicates_asked;                   // titles asked about
  bool accept_repair = false;                                  // the answer to repair offers
  std::vector<Finding> offered_findings;                       // the last findings shown
  // What the user does on the review screen; none: goes back.
  std::function<bool(DownloadReview&)> on_review;
  int reviews_shown = 0;

  // Message boxes answer OK (Yes for a question) and dialogs cancel unless
  // a subclass says else.
  int ShowMessage(const std::string& text, int style, const std::string& title) override;
  std::optional<std::string> open_file(const std::string& screen, const OpenFileRequest& request) override;
  void set_busy(bool b) override { busy = b; }
  void pump_events() override {}
  void set_label(const std::string& screen, const std::string& label, const std::string& text) override;
  std::string button_state(const std::string& screen, const std::string& button) override;
  void set_button_state(const std::string& screen, const std::string& button, const std::string& state) override;
  void set_list(const std::string& screen, const std::string& list, const ListContent& content) override;
  ListContent list(const std::string& screen, const std::string& list) override;
  bool show_picture(const std::string& screen, const std::string& box, const std::string& path) override;
  bool show_picture_data(const std::string& screen, const std::string& box, const std::string& bytes) override;
  bool is_checked(const std::string& screen, const std::string& box) override;
  std::string field_text(const std::string& screen, const std::string& field) override;
  void set_hidden_rows(const std::string& screen, const std::string& list, const std::vector<bool>& hidden) override;
  DuplicateChoice ask_duplicate(const std::string& title) override;
  bool offer_repair(const std::vector<Finding>& findings) override;
  bool show_review(DownloadReview& review) override;
  void show_screen_in_place(const std::string& show, const std::string& hide) override;
  void show_centred_over_main(const std::string& screen, bool modal) override;
  void hide_screen(const std::string& screen) override;
  void shut_down() override { shut = true; }

  // Ticks or unticks rows of a list ("screen.list").
  void tick(const std::string& screen_list, const std::vector<int>& rows, bool checked = true);
  std::vector<std::string> row_texts(const std::string& screen_list);
};

}  // namespace pw
