// The session of the desktop program with its screens: what the dispatcher
// and the screen lists work with.
#pragma once

#include "app/desktop/screen_view.h"
#include "app/session.h"

namespace pw {

struct AppContext : Session {
  AppContext(FileSystem& file_system, ScreenView& screen_view) : Session(file_system), view(screen_view) {
    pump_events = [&screen_view] { screen_view.pump_events(); };
  }

  ScreenView& view;
};

}  // namespace pw
