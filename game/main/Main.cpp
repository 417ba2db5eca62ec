// The program's entry point: hands the command line and the shell's
// services to the game's entry function.

#include <string>

#include "engine/app/EngineRun.h"
#include "engine/app/GameDataCheck.h"
#include "game/puzzle/RunGame.h"
#include "game/shell/ShellServices.h"

int main(int argc, char** argv) {
  // Started from the wrong folder: say so before any window opens.
  if (!GameDataFound()) return 1;
  EngineRunOptions options;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) options.commandLine += ' ';
    options.commandLine += argv[i];
  }
  ShellServices services;
  return RunGame(services, std::move(options));
}
