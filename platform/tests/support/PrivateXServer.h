#pragma once
// A private X server (Xvfb) for a test that needs a real display to lose:
// started on a display number it picks itself, so it never meets another
// test's or another engineer's, and killed with the test however it ends.

#include <sys/types.h>

#include <string>

namespace platform {

class PrivateXServer {
 public:
  // Starts Xvfb with one screen of that size ("WIDTHxHEIGHTxDEPTH") and
  // waits until it accepts clients.
  explicit PrivateXServer(const char* screen = "1024x768x24");
  ~PrivateXServer();
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  bool Started() const { return pid_ > 0; }
  // The display's name (":N").
  const std::string& Name() const { return name_; }
  // Points every later start of SDL's video at this server (the x11
  // driver, no Wayland).
  void PointVideoHere() const;
  // Kills the server and waits for its end: every client's connection breaks.
  void Kill();
  // From a connection of its own, destroys every top-level window with this
  // title, as another program closing it does (xdotool windowclose); the
  // number destroyed.
  int DestroyWindowsTitled(const char* title) const;

 private:
  pid_t pid_ = -1;
  std::string name_;
};

}  // namespace platform
