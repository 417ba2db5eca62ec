// The program's entry point: hands the command line to the engine's run function.

#include "engine/app/EngineRun.h"

#include <string>

int main(int argc, char** argv) {
  EngineRunOptions options;
  options.title = "Novaliths";
  for (int i = 1; i < argc; ++i) {
    if (i > 1) options.commandLine += ' ';
    options.commandLine += argv[i];
  }
  return EngineRun(options);
}
