#pragma once

// What the game needs of its shell: profiles, the audio layer, the
// high-score table, the pause menu, the achievement names and the screens
// that are states of the game. The shell implements it; the program's entry
// point hands it to the game. The null services stand in where no shell
// exists (tests, a bare run).

#include <cstdint>
#include <memory>

#include "engine/foundation/String.h"
#include "engine/runtime/fsm/Base.h"
#include "engine/runtime/fsm/FsmState.h"
#include "game/puzzle/GameProfile.h"
#include "game/puzzle/HighScoreEntry.h"

class Game;

// The game's audio layer: a state machine stepped every frame whose
// receiver takes the audio messages.
class GameAudioLayer : public Base {
 public:
  // Loads the game's sounds.
  virtual void LoadSounds(int32_t which) = 0;
};

// The screens of the shell, which the game keeps as states of its own.
enum class ShellState {
  IntroVelkSW,
  IntroVyre,
  FrontEnd,
  GameOver,
  Credits,
  HighScores,
  Loading,
  Instructions,
};
constexpr int kShellStateCount = 8;

class GameServices {
 public:
  virtual ~GameServices() = default;

  // A profile loaded by name; null when it does not load.
  virtual std::unique_ptr<GameProfile> LoadProfile(const String& profileName) = 0;

  // The audio layer, built with its number of voices; null for none.
  virtual std::unique_ptr<GameAudioLayer> CreateAudioLayer(int32_t voices) = 0;

  // Reads the high-score file into the game's rows.
  virtual void LoadHighScores(HighScoreRows& rows) = 0;
  // Enters the current profile's score into a table (0 Challenge, 1 Panic)
  // when it is high enough and saves the file.
  virtual HighScoreOutcome AddHighScore(HighScoreRows& rows, int32_t table, uint32_t score, uint32_t stars) = 0;

  // The pause menu over a running game.
  virtual void ShowPauseMenu() = 0;
  virtual bool IsPauseMenuShowing() const = 0;
  // Passes a key to the pause menu.
  virtual void SendMenuInput(uint8_t key) = 0;

  // The name of an achievement.
  virtual const char* AchievementName(int32_t index) const = 0;

  // A shell screen as a state of the game. Its Message handler passes every
  // message to Game::SharedMessageFSM first.
  virtual std::unique_ptr<FsmState> CreateState(Game& game, ShellState which) = 0;
};

// No shell: no profiles, no audio, default high scores, no pause menu, and
// screens that only answer the shared messages.
class NullGameServices : public GameServices {
 public:
  std::unique_ptr<GameProfile> LoadProfile(const String& profileName) override;
  std::unique_ptr<GameAudioLayer> CreateAudioLayer(int32_t voices) override;
  void LoadHighScores(HighScoreRows& rows) override;
  HighScoreOutcome AddHighScore(HighScoreRows& rows, int32_t table, uint32_t score, uint32_t stars) override;
  void ShowPauseMenu() override {}
  bool IsPauseMenuShowing() const override { return false; }
  void SendMenuInput(uint8_t) override {}
  const char* AchievementName(int32_t index) const override;
  std::unique_ptr<FsmState> CreateState(Game& game, ShellState which) override;
};

// The name a shell screen has as a state of the game ("Game.FrontEnd").
const char* ShellStateName(ShellState which);
