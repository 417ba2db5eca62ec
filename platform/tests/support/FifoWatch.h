#pragma once
// FIFOs standing where the program looks for its files, for tests of code
// that must refuse them at once. Code that waits on one all the same would
// hang its test; instead, once the grace time is over, a watchdog looks for
// a reader or a writer held on each FIFO, lets it go (a reader finds an
// empty file, a writer's open returns) and records it, so the test fails on
// Waited() rather than hanging.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
        if (ReleaseReader(path) | ReleaseWriter(path)) waited_ = true;
      }
      if (!Sleep(kPollGap)) return;
    }
  }

  // A non-blocking open for writing succeeds only while a reader has the
  // FIFO open. Code that refuses a FIFO holds it for microseconds; code that
  // waited on it is still reading once the writer came, until the writer
  // goes and it sees the end of the file.
  bool ReleaseReader(const std::string& path) {
    const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer < 0) return false;
    Sleep(kHeldFor);
    const int again = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (again >= 0) close(again);
    close(writer);
    return again >= 0;
  }

  // A reader lets a waiting writer's open return; a writer still there a
  // while later has written, or makes an empty non-blocking read say "try
  // again" rather than report the end of the file.
  bool ReleaseWriter(const std::string& path) {
    const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (reader < 0) return false;
    Sleep(kHeldFor);
    char byte = 0;
    const ssize_t got = read(reader, &byte, 1);
    const bool held = got > 0 || (got < 0 && errno == EAGAIN);
    close(reader);
    return held;
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
