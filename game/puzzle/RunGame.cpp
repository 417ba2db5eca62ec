#include "game/puzzle/RunGame.h"

#include "engine/app/PrepareSettings.h"
#include "engine/app/UserFolderStart.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/Game.h"
#include "platform/Events.h"

namespace {

constexpr const char* kTitle = "Novaliths";
constexpr const char* kIniName = "Settings.ini";

}  // namespace

std::unique_ptr<Game> BuildGame(GameServices& services, const std::string& commandLine) {
  // The counted allocator answers a refusal with null rather than throwing.
  std::unique_ptr<Game> game(new Game(services));
  if (game && HasCommandLineFlag(commandLine, "dev")) {
    game->options.developerKeys = 1;
    game->options.createDeveloperWindow = 1;
  }
  return game;
}

int RunGame(GameServices& services, EngineRunOptions options) {
  // A terminal closed while the game starts up ends it as cleanly as one
  // closed during play: the first frame then quits.
  platform::TreatHangUpAsQuit();
  // Before any file: the settings, the profiles and the log all live there.
  platform::UserFolderLock userFolder;
  if (const int refused = TakeUserFolder(kTitle, userFolder)) return refused;
  PrepareSettings(String(kTitle), String(kIniName));
  // Without a game the engine's own application runs.
  options.application = BuildGame(services, options.commandLine);
  const int result = EngineRun(std::move(options));
  // The game has gone with the engine; its effects go now, before static
  // destruction.
  EffectsPool::Shutdown();
  return result;
}
