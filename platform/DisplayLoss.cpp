#include "platform/DisplayLoss.h"

#include <cstdio>
#include <cstdlib>

#include "platform/DebugOutput.h"

namespace platform {
namespace {

DisplayLostHandler g_displayLostHandler = nullptr;
// Set while the handler runs: a loss met inside it ends the process at once.
bool g_ending = false;

}  // namespace

DisplayLostHandler SetDisplayLostHandler(DisplayLostHandler handler) {
  const DisplayLostHandler previous = g_displayLostHandler;
  g_displayLostHandler = handler;
  return previous;
}

void EndAfterDisplayLoss(const char* displayName, DisplayLoss what) {
  const char* name = displayName != nullptr ? displayName : "";
  if (!g_ending) {
    g_ending = true;
    if (g_displayLostHandler != nullptr) {
      g_displayLostHandler(name, what);
    } else {
      DebugOutput("Lost the connection to display \"", Severity::Error);
      DebugOutput(name, Severity::Error);
      DebugOutput("\"; the program ends.\n", Severity::Error);
    }
  }
  FlushTerminal();
  std::fflush(nullptr);
  std::_Exit(kDisplayLostExitCode);
}

}  // namespace platform
