#include "platform/DisplayLoss.h"

#include <cstdio>
#include <cstdlib>

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
    DebugOutput("Lost the connection to display \"", Severity::Error);
    DebugOutput(name, Severity::Error);
    DebugOutput("\"; the program ends.\n", Severity::Error);
  }
  FlushTerminal();
  std::fflush(nullptr);
  std::_Exit(kDisplayLostExitCode);
}

}  // namespace platform
