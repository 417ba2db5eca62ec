#include "game/puzzle/RunGame.h"

#include <sstream>
#include <strings.h>

#include "engine/app/PrepareSettings.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/Game.h"

namespace {

constexpr const char* kTitle = "Novaliths";
constexpr const char* kIniName = "Settings.ini";

}  // namespace

bool HasCommandLineFlag(const std::string& commandLine, const char* flag) {
  std::istringstream words(commandLine);
  std::string word;
  while (words >> word) {
    if (word.size() > 1 && (word[0] == '-' || word[0] == '/') && strcasecmp(word.c_str() + 1, flag) == 0) return true;
  }
  return false;
}

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
  PrepareSettings(String(kTitle), String(kIniName));
  // Without a game the engine's own application runs.
  options.application = BuildGame(services, options.commandLine);
  const int result = EngineRun(std::move(options));
  // The game has gone with the engine; its effects go now, before static
  // destruction.
  EffectsPool::Shutdown();
  return result;
}
