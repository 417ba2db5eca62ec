#pragma once
// FIFOs standing where the program looks for its files, for tests of code
// that must refuse them at once. Code that waits on one all the same would
// hang its test; instead, once the grace time is over, a watchdog looks for
// a reader held on each FIFO, lets it go (it reads an empty file) and
// records it, so the test fails on Waited() rather than hanging.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform {

class FifoWatch {
 public:
  // Makes a FIFO at each path (its folder must exist) and starts watching.
  explicit FifoWatch(std::vector<std::string> paths, std::chrono::seconds grace = std::chrono::seconds(5))
      : paths_(std::move(paths)) {
    for (const std::string& path : paths_) made_ = mkfifo(path.c_str(), 0644) == 0 && made_;
    watchdog_ = std::thread([this, grace] { Watch(grace); });
  }
  ~FifoWatch() { Stop(); }
  FifoWatch(const FifoWatch&) = delete;
  FifoWatch& operator=(const FifoWatch&) = delete;

  // True when every FIFO was made.
  bool Made() const { return made_; }

  // Stops watching; true when some code was found waiting on a FIFO.
  bool Waited() {
    Stop();
    return waited_;
  }

 private:
  static constexpr std::chrono::milliseconds kPollGap{100};
  // A reader still there this long after a writer came is one that waited.
  static constexpr std::chrono::milliseconds kHeldFor{200};

  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    if (watchdog_.joinable()) watchdog_.join();
  }

  // Sleeps for the time given; false when told to stop meanwhile.
  bool Sleep(std::chrono::milliseconds time) {
    std::unique_lock<std::mutex> lock(mutex_);
    return !wake_.wait_for(lock, time, [this] { return stopping_; });
  }

  void Watch(std::chrono::seconds grace) {
    if (!Sleep(grace)) return;
    for (;;) {
      for (const std::string& path : paths_) {
        // A non-blocking open for writing succeeds only while a reader has
        // the FIFO open. Code that refuses a FIFO holds it for microseconds;
        // code that waits on it is still reading once the writer came.
        const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (writer < 0) continue;
        Sleep(kHeldFor);
        const int again = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (again >= 0) {
          waited_ = true;
          close(again);
        }
        // With no writer left the waiting reader sees the end of the file.
        close(writer);
      }
      if (!Sleep(kPollGap)) return;
    }
  }

  std::vector<std::string> paths_;
  bool made_ = true;
  bool waited_ = false;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread watchdog_;
};

}  // namespace platform
