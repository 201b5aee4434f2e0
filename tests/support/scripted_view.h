// A HeadlessView driven by a script instead of a person: it answers message
// boxes and file dialogs from queues and records what was asked.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/headless_view.h"

namespace pw::test {

struct ShownMessage { std::string text; int style; std::string title; };

class ScriptedView : public HeadlessView {
 public:
  // Answers for the next message boxes; once empty, HeadlessView's.
  std::deque<int> answers;
  // Answers for the next file dialogs (nullopt = cancel); once empty, cancel.
  std::deque<std::optional<std::string>> files;

  std::vector<ShownMessage> messages;
  std::vector<std::pair<std::string, OpenFileRequest>> dialogs;
  int busy_changes = 0;
  int pumps = 0;
  bool load_pictures = true;  // false: every picture fails to load

  // One field of every row of a list ("frm_Install.lstPackages"), in order.
  template <class T>
  std::vector<T> of_rows(const std::string& list, T ListRow::*field) {
    std::vector<T> out;
    for (const ListRow& row : lists[list].rows) out.push_back(row.*field);
    return out;
  }

  int ShowMessage(const std::string& text, int style, const std::string& title) override {
    messages.push_back({text, style, title});
    return answers.empty() ? HeadlessView::ShowMessage(text, style, title) : next(answers);
  }
  std::optional<std::string> open_file(const std::string& screen, const OpenFileRequest& request) override {
    dialogs.emplace_back(screen, request);
    return files.empty() ? std::nullopt : next(files);
  }
  void set_busy(bool b) override {
    HeadlessView::set_busy(b);
    ++busy_changes;
  }
  void pump_events() override { ++pumps; }
  bool show_picture(const std::string& screen, const std::string& box, const std::string& path) override {
    return load_pictures && HeadlessView::show_picture(screen, box, path);
  }
  bool show_picture_data(const std::string& screen, const std::string& box, const std::string& bytes) override {
    return load_pictures && HeadlessView::show_picture_data(screen, box, bytes);
  }

 private:
  template <class T>
  static T next(std::deque<T>& queue) {
    T first = std::move(queue.front());
    queue.pop_front();
    return first;
  }
};

}  // namespace pw::test
