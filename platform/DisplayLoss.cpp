#include "platform/DisplayLoss.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/DebugOutput.h"

namespace platform {
namespace {

DisplayLostHandler g_displayLostHandler = nullptr;

}  // namespace

DisplayLostHandler SetDisplayLostHandler(DisplayLostHandler handler) {
  const DisplayLostHandler previous = g_displayLostHandler;
  g_displayLostHandler = handler;
  return previous;
}

void EndAfterDisplayLoss(const char* displayName) {
  const char* name = displayName != nullptr ? displayName : "";
  if (g_displayLostHandler != nullptr) {
    g_displayLostHandler(name);
  } else {
    DebugOutput(("Lost the connection to display \"" + std::string(name) + "\"; the program ends.\n").c_str());
  }
  std::fflush(nullptr);
  std::_Exit(kDisplayLostExitCode);
}

}  // namespace platform
