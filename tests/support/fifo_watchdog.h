// Keeps a test that meets a FIFO from hanging when the code under test
// waits on it.
#pragma once

#include <fcntl.h>

#include <chrono>
#include <string>
#include <thread>

namespace pw::test {

// Opens both ends of the FIFO in 3 s and keeps them open, so code waiting
// on it goes on: a test that times the code then fails instead of hanging.
inline void release_fifo_later(const std::string& path) {
  std::thread([path] {
    std::this_thread::sleep_for(std::chrono::seconds(3));
    (void)::open(path.c_str(), O_RDWR | O_NONBLOCK);
  }).detach();
}

}  // namespace pw::test
