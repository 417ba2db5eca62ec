#pragma once
// Runs a check in a forked child and tells how it ended: for what a test
// cannot undo in its own process (an account switch, a signal's handling, a
// run that keeps out of its user folder, a whole program run). Every child
// has a time limit: one that blocks (what many of these tests guard
// against) is killed with everything it started, and the test fails on the
// ending instead of hanging until ctest gives up. Permission bits stop an
// ordinary account, never root, whom the tests run as.

#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <string>

namespace platform {

// An ordinary account with no rights of its own ("nobody").
inline constexpr uid_t kOrdinaryAccount = 65534;

struct ChildOptions {
  // The child and all it started are killed once this has passed.
  int seconds = 60;
  // The account (group and user, no further groups) the child takes before
  // its body runs; null: the test's own.
  const uid_t* account = nullptr;
  // The child's standard error comes back as ChildEnd::terminal.
  bool captureTerminal = false;
};

struct ChildEnd {
  // "exit N", "signal N", or "no end within N s" (then killed).
  std::string ended;
  // What the body wrote into its report.
  std::string report;
  // Its standard error, when captured.
  std::string terminal;
};

namespace child_detail {

inline void WriteAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    done += static_cast<size_t>(written);
  }
}

inline std::string Ending(int status) {
  if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  return "stopped";
}

}  // namespace child_detail

// Forks; the child (in a process group of its own) takes the account when
// one is given, runs the body, sends back its report and ends with the
// body's status. The parent gathers the report and the terminal while the
// child runs, and kills the group when the time is up.
inline ChildEnd RunInChild(const std::function<int(std::string& report)>& body, const ChildOptions& options = {}) {
  using namespace child_detail;
  ChildEnd end;
  int reportPipe[2];
  int terminalPipe[2] = {-1, -1};
  if (pipe(reportPipe) != 0 || (options.captureTerminal && pipe(terminalPipe) != 0)) {
    end.ended = "no pipe for the child";
    return end;
  }
  const pid_t child = fork();
  if (child < 0) {
    end.ended = "no child";
    return end;
  }
  if (child == 0) {
    setpgid(0, 0);
    close(reportPipe[0]);
    if (options.captureTerminal) {
      close(terminalPipe[0]);
      if (dup2(terminalPipe[1], STDERR_FILENO) < 0) _exit(120);
      close(terminalPipe[1]);
    }
    if (options.account != nullptr &&
        (setgid(*options.account) != 0 || setgroups(0, nullptr) != 0 || setuid(*options.account) != 0)) {
      WriteAll(reportPipe[1], "the child cannot take the account\n");
      _exit(121);
    }
    std::string report;
    const int status = body(report);
    WriteAll(reportPipe[1], report);
    _exit(status);
  }
  setpgid(child, child);  // both sides, so no signal to the group comes before it exists
  close(reportPipe[1]);
  if (options.captureTerminal) close(terminalPipe[1]);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.seconds);
  pollfd ends[2] = {{reportPipe[0], POLLIN, 0}, {options.captureTerminal ? terminalPipe[0] : -1, POLLIN, 0}};
  std::string* into[2] = {&end.report, &end.terminal};
  // Reads what is there; closes a pipe whose writers have all gone.
  auto gather = [&](int waitMs) {
    const int ready = poll(ends, 2, waitMs);
    if (ready <= 0) return;
    for (int i = 0; i < 2; ++i) {
      if (ends[i].fd < 0 || ends[i].revents == 0) continue;
      char bytes[4096];
      const ssize_t got = read(ends[i].fd, bytes, sizeof bytes);
      if (got > 0) {
        into[i]->append(bytes, static_cast<size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        close(ends[i].fd);
        ends[i].fd = -1;
      }
    }
  };
  int status = 0;
  bool ended = false;
  bool timedOut = false;
  while (!ended) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    ended = done == child || (done < 0 && errno != EINTR);
    if (ended) break;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    if (ends[0].fd < 0 && ends[1].fd < 0) {
      usleep(2000);
    } else {
      gather(static_cast<int>(left.count() < 50 ? left.count() : 50));
    }
  }
  // What it wrote last; a process it started and left behind may hold the
  // pipes open, so the ends are read only while they give something.
  for (int round = 0; round < 1000 && (ends[0].fd >= 0 || ends[1].fd >= 0); ++round) {
    const size_t before = end.report.size() + end.terminal.size();
    gather(timedOut ? 0 : 20);
    if (end.report.size() + end.terminal.size() == before) break;
  }
  kill(-child, SIGKILL);  // the child when it outlived its time, and whatever it left behind
  if (timedOut) waitpid(child, &status, 0);
  for (const pollfd& open : ends) {
    if (open.fd >= 0) close(open.fd);
  }
  end.ended = timedOut ? "no end within " + std::to_string(options.seconds) + " s" : Ending(status);
  return end;
}

// The check's text, empty when all was well, followed by a line when the
// child did not end by itself with status 0.
inline std::string ReportFromChild(const std::function<std::string()>& check, const uid_t* account = nullptr,
                                   int seconds = 60) {
  ChildOptions options;
  options.account = account;
  options.seconds = seconds;
  const ChildEnd end = RunInChild(
      [&check](std::string& report) {
        report = check();
        return 0;
      },
      options);
  return end.ended == "exit 0" ? end.report : end.report + "the child did not end by itself (" + end.ended + ")\n";
}

// A child that takes something (a lock, say) and holds it until the test
// lets it go: the process that holds it dies as a player's might, by
// SIGKILL, and then holds nothing.
class HoldingChild {
 public:
  // Runs take in the child; its one-character answer is Answer().
  explicit HoldingChild(const std::function<char()>& take, int seconds = 60) {
    int ready[2];
    if (pipe(ready) != 0) return;
    child_ = fork();
    if (child_ == 0) {
      setpgid(0, 0);
      close(ready[0]);
      alarm(static_cast<unsigned>(seconds));  // a test that never lets go does not keep it for ever
      const char answer = take();
      if (write(ready[1], &answer, 1) != 1) _exit(1);
      for (;;) pause();
    }
    close(ready[1]);
    if (child_ > 0) {
      setpgid(child_, child_);
      pollfd wait{ready[0], POLLIN, 0};
      if (poll(&wait, 1, seconds * 1000) == 1 && read(ready[0], &answer_, 1) != 1) answer_ = 0;
    }
    close(ready[0]);
  }
  ~HoldingChild() { Kill(); }
  HoldingChild(const HoldingChild&) = delete;
  HoldingChild& operator=(const HoldingChild&) = delete;

  // What take answered; 0 when it answered nothing in time.
  char Answer() const { return answer_; }

  // Kills the child outright and waits for its end.
  void Kill() {
    if (child_ <= 0) return;
    kill(-child_, SIGKILL);
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
    child_ = -1;
  }

 private:
  pid_t child_ = -1;
  char answer_ = 0;
};

}  // namespace platform
