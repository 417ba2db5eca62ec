#pragma once

// The program's entry point into the game.

#include <memory>
#include <string>

#include "engine/app/EngineRun.h"
#include "game/puzzle/GameServices.h"

class Game;

// Prepares the settings (title "Novaliths", "Settings.ini"), builds the game
// on the services and runs the engine with it; returns the exit code. The
// "-dev" flag switches the developer keys and window on.
int RunGame(GameServices& services, EngineRunOptions options);

// The game on the services, with the developer tools on when the command
// line has "-dev"; null when it cannot be built.
std::unique_ptr<Game> BuildGame(GameServices& services, const std::string& commandLine);
