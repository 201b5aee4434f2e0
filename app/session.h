// Everything the commands work with: the disk, the profile cache and the
// shared state. One per running program; the desktop program adds its
// screens on top (AppContext), the command line uses it as it is.
#pragma once

#include <functional>

#include "app/shared_state.h"
#include "base/operation_context.h"
#include "base/platform/file_system.h"
#include "base/progress.h"
#include "config/profile.h"

namespace pw {

struct Session {
  explicit Session(FileSystem& file_system) : fs(file_system), profiles(file_system) {}

  FileSystem& fs;
  ProfileStore profiles;
  SharedState state;
  ProgressFn progress;                // told how far create, install and remove are; may be empty
  std::function<void()> pump_events;  // lets the window system run during waits; may be empty

  OperationContext operation() const { return {fs, progress, pump_events}; }
};

}  // namespace pw
