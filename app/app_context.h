// Everything an operation works with: the disk, the profile cache, the
// screens and the shared state. One per running program.
#pragma once

#include "app/platform/file_system.h"
#include "app/progress.h"
#include "app/screen_view.h"
#include "app/shared_state.h"
#include "config/profile.h"

namespace pw {

struct AppContext {
  AppContext(FileSystem& file_system, ScreenView& screen_view)
      : fs(file_system), profiles(file_system), view(screen_view) {}

  FileSystem& fs;
  ProfileStore profiles;
  ScreenView& view;
  SharedState state;
  ProgressFn progress;  // told how far create, install and remove are; may be empty
};

}  // namespace pw
