// A released image button for driving the dispatcher without a window: it
// records every state it is given.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/desktop/dispatcher.h"

namespace pw::test {

class TestButton : public PressedButton {
 public:
  TestButton(std::string form, std::string type, std::string state = "enabled")
      : form_(std::move(form)), type_(std::move(type)), state_(std::move(state)) {}
  std::string state() const override { return state_; }
  void set_state(const std::string& s) override {
    state_ = s;
    history.push_back(s);
  }
  void clear_tracking() override { tracking_cleared = true; }
  std::string button_type() const override { return type_; }
  std::string form_name() const override { return form_; }

  std::vector<std::string> history;  // every state written, in order
  bool tracking_cleared = false;

 private:
  std::string form_, type_, state_;
};

// A click on `form`'s button of that type.
inline void press(AppContext& ctx, std::string form, std::string type) {
  TestButton button(std::move(form), std::move(type));
  dispatch_release(ctx, button);
}

}  // namespace pw::test
