// What every long operation of the core works with besides its inputs:
// the disk, someone to tell how far it got, and a way to let the window
// system breathe while it waits.
#pragma once

#include <functional>

#include "base/platform/file_system.h"
#include "base/progress.h"

namespace pw {

struct OperationContext {
  FileSystem& fs;
  ProgressFn progress;                // may be empty
  std::function<void()> pump_events;  // runs pending window events during a wait; may be empty

  void pump() const {
    if (pump_events) pump_events();
  }
};

}  // namespace pw
