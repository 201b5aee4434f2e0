#include "support/headless_view.h"

namespace pw {
namespace {

std::string key(const std::string& screen, const std::string& control) { return screen + "." + control; }

}  // namespace

int HeadlessView::ShowMessage(const std::string&, int style, const std::string&) {
  return (style & 0x0F) == kStyleYesNo ? kResultYes : kResultOk;
}

std::optional<std::string> HeadlessView::open_file(const std::string&, const OpenFileRequest&) {
  return std::nullopt;
}

void HeadlessView::set_label(const std::string& screen, const std::string& label, const std::string& text) {
  labels[key(screen, label)] = text;
}

std::string HeadlessView::button_state(const std::string& screen, const std::string& button) {
  return button_states[key(screen, button)];
}

void HeadlessView::set_button_state(const std::string& screen, const std::string& button, const std::string& state) {
  button_states[key(screen, button)] = state;
}

void HeadlessView::set_list(const std::string& screen, const std::string& list, const ListContent& content) {
  lists[key(screen, list)] = content;
}

ListContent HeadlessView::list(const std::string& screen, const std::string& list) { return lists[key(screen, list)]; }

bool HeadlessView::show_picture(const std::string& screen, const std::string& box, const std::string& path) {
  pictures[key(screen, box)] = path;
  return true;
}

bool HeadlessView::show_picture_data(const std::string& screen, const std::string& box, const std::string& bytes) {
  pictures[key(screen, box)] = bytes;
  return true;
}

bool HeadlessView::is_checked(const std::string& screen, const std::string& box) {
  return check_boxes[key(screen, box)];
}

std::string HeadlessView::field_text(const std::string& screen, const std::string& field) {
  return fields[key(screen, field)];
}

void HeadlessView::set_hidden_rows(const std::string& screen, const std::string& list, const std::vector<bool>& hidden) {
  std::vector<ListRow>& rows = lists[key(screen, list)].rows;
  for (std::size_t i = 0; i < rows.size() && i < hidden.size(); ++i) rows[i].hidden = hidden[i];
}

DuplicateChoice HeadlessView::ask_duplicate(const std::string& title) {
  duplicates_asked.push_back(title);
  return duplicate_choice;
}

bool HeadlessView::offer_repair(const std::vector<Finding>& findings) {
  offered_findings = findings;
  return accept_repair;
}

bool HeadlessView::show_review(DownloadReview& review) {
  ++reviews_shown;
  return on_review && on_review(review);
}

void HeadlessView::show_screen_in_place(const std::string& show, const std::string& hide) {
  screen_events.push_back("hide " + hide);
  screen_events.push_back("show " + show);
}

void HeadlessView::show_centred_over_main(const std::string& screen, bool modal) {
  screen_events.push_back(std::string(modal ? "modal " : "show ") + screen);
}

void HeadlessView::hide_screen(const std::string& screen) { screen_events.push_back("hide " + screen); }

void HeadlessView::tick(const std::string& screen_list, const std::vector<int>& rows, bool checked) {
  std::vector<ListRow>& all = lists[screen_list].rows;
  for (int r : rows) {
    if (r >= 0 && static_cast<std::size_t>(r) < all.size()) all[static_cast<std::size_t>(r)].checked = checked;
  }
}

std::vector<std::string> HeadlessView::row_texts(const std::string& screen_list) {
  std::vector<std::string> texts;
  for (const ListRow& row : lists[screen_list].rows) texts.push_back(row.text);
  return texts;
}

}  // namespace pw
