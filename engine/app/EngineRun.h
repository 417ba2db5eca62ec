#pragma once
// The engine's run function: command line, display, input, sound, the frame
// loop and the shutdown, each step logged.

#include <functional>
#include <memory>
#include <string>

#include "engine/app/GEMApplication.h"
#include "engine/runtime/input/UIOManager.h"
#include "platform/Events.h"

struct EngineRunOptions {
  // The command line after the program name ("/name value" options, "-flag" flags).
  std::string commandLine;
  // The application to run; the engine's own when null. The run owns it and
  // deletes it before the managers it uses end.
  std::unique_ptr<CGEMApplication> application;
  // Where window events come from (tests script them).
  std::function<bool(platform::Event*)> pollEvent = platform::PollEvent;
  // Where the loop rests while the window is minimised: returns once an
  // event may be pending or the time (milliseconds) is up.
  std::function<void(uint32_t)> waitForEvent = platform::WaitForEvent;
  // Where keyboard, mouse and pads are read from (asked again after every
  // rebuild of the window).
  std::function<UIOSources()> makeInputSources = MakeSdlInputSources;
  // Called once per frame inside the scene pass (tests count frames with it).
  std::function<void()> drawFrame;
};

// Runs the engine on the program-wide settings, input and sound services
// until the window closes, the system asks to quit (a signal, the terminal
// closed) or Escape is pressed. No frames run while the window is minimised:
// game time, messages and sound stand still until it is restored;
// returns the process exit code (0 after a clean run, 1 when the window or
// its GL context cannot be made, at the start or after a display change). The settings are
// prepared before (see PrepareSettings.h); the command line is recorded here.
int EngineRun(EngineRunOptions options);

// True when a word of the command line is the flag after "-" or "/", in
// any case.
bool HasCommandLineFlag(const std::string& commandLine, const char* flag);
