// The session of the desktop program with its screens: what the dispatcher
// and the screen lists work with.
#pragma once

#include <string>

#include "aircraft/library_index.h"
#include "app/desktop/screen_view.h"
#include "app/session.h"

namespace pw {

struct AppContext : Session {
  AppContext(FileSystem& file_system, ScreenView& screen_view) : Session(file_system), view(screen_view) {
    pump_events = [&screen_view] { screen_view.pump_events(); };
  }

  ScreenView& view;
  Library library;                   // the Hangar's "All aircraft", as last indexed
  std::string library_cache_folder;  // where the library's cache is kept; empty: none
};

}  // namespace pw
