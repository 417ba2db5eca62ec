// The program's entry point: prepares the settings, then hands the command
// line to the engine's run function.

#include "engine/app/EngineRun.h"
#include "engine/app/PrepareSettings.h"

#include <string>

int main(int argc, char** argv) {
  PrepareSettings("Novaliths");
  EngineRunOptions options;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) options.commandLine += ' ';
    options.commandLine += argv[i];
  }
  return EngineRun(std::move(options));
}
