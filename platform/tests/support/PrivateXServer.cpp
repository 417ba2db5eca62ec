#include "platform/tests/support/PrivateXServer.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace platform {

PrivateXServer::PrivateXServer(const char* screen) {
  int channel[2];
  if (pipe(channel) != 0) return;
  const pid_t pid = fork();
  if (pid == 0) {
    // The server dies with the process that started it, however it ends.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    close(channel[0]);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    const std::string fd = std::to_string(channel[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen, "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(channel[1]);
  // Xvfb writes the display number and a line end once it accepts clients.
  std::string number;
  char c = 0;
  while (pid > 0 && read(channel[0], &c, 1) == 1 && c != '\n') number += c;
  close(channel[0]);
  if (pid <= 0) return;
  pid_ = pid;
  if (number.empty()) {
    Kill();
    return;
  }
  name_ = ":" + number;
}

PrivateXServer::~PrivateXServer() { Kill(); }

void PrivateXServer::PointVideoHere() const {
  setenv("DISPLAY", name_.c_str(), 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
  unsetenv("WAYLAND_DISPLAY");
}

void PrivateXServer::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

int PrivateXServer::DestroyWindowsTitled(const char* title) const {
  Display* display = XOpenDisplay(name_.c_str());
  if (display == nullptr) return 0;
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  int destroyed = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) != 0) {
    for (unsigned i = 0; i < count; ++i) {
      char* name = nullptr;
      if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
        if (std::strcmp(name, title) == 0) {
          XDestroyWindow(display, children[i]);
          ++destroyed;
        }
        XFree(name);
      }
    }
    if (children != nullptr) XFree(children);
  }
  XCloseDisplay(display);
  return destroyed;
}

}  // namespace platform
