// Keeps a test that opens a FIFO from hanging when the code under test
// waits on it.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

namespace pw::test {

// Lets go of the FIFO every 3 s while the code under test waits on it, so a
// blocking open fails the test instead of hanging it.
inline std::jthread fifo_watchdog(const std::string& path, std::atomic<bool>& fired) {
  return std::jthread([path, &fired](std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    while (!wake.wait_for(lock, stop, std::chrono::seconds(3), [] { return false; }) && !stop.stop_requested()) {
      fired = true;
      for (const int flags : {O_WRONLY | O_NONBLOCK, O_RDONLY | O_NONBLOCK}) {
        if (const int fd = ::open(path.c_str(), flags); fd >= 0) ::close(fd);
      }
    }
  });
}

}  // namespace pw::test
