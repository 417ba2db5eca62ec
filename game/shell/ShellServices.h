#pragma once

// The shell's whole answer to the game's services: profiles, the
// achievements and the high-score table, the audio layer, the pause menu,
// and the eight screens that are states of the game. The program hands it to the game.

#include <memory>

#include "game/puzzle/GameServices.h"
#include "game/shell/HighScoreTable.h"
#include "game/shell/ShellScreen.h"

class ResourceQueues;

// The part of the game's services that the profiles, the achievements and
// the high-score table answer. The rest (audio layer, pause menu, screens)
// stays null here; the shell's full services build on this class.
class ProfileServices : public NullGameServices {
 public:
  // A profile loaded from its file by name; null when it does not load (the
  // profile that was current stays current).
  std::unique_ptr<GameProfile> LoadProfile(const String& profileName) override;
  // Reads the high-score file into the game's rows.
  void LoadHighScores(HighScoreRows& rows) override;
  // Enters the current profile's result into a table and saves the file,
  // unless the file could not be read when the rows were loaded.
  HighScoreOutcome AddHighScore(HighScoreRows& rows, int32_t table, uint32_t score, uint32_t stars) override;
  // The achievement's display name ("" outside 0 to 27).
  const char* AchievementName(int32_t index) const override;

 private:
  HighScoreTable::FileState highScoreFile_ = HighScoreTable::FileState::Missing;
};

// The game's services with the shell's audio layer beside the profiles and
// the high-score table; the shell's full services build on this class.
class AudioServices : public ProfileServices {
 public:
  // The shell's audio layer (GAudio) on the engine's sound manager.
  std::unique_ptr<GameAudioLayer> CreateAudioLayer(int32_t voices) override;
};

// The game's services with the front end's pause menu beside the profiles,
// the high-score table and the audio layer: the pause menu shows in the
// front-end window while one exists.
class FrontEndServices : public AudioServices {
 public:
  // Shows the pause menu over the running game.
  void ShowPauseMenu() override;
  // True while the pause menu shows.
  bool IsPauseMenuShowing() const override;
};

// All of it, with the eight screens.
class ShellServices : public FrontEndServices {
 public:
  // The loading screen works on the given managers; the engine's when null.
  explicit ShellServices(ResourceQueues* queues = nullptr);
  ~ShellServices() override;

  std::unique_ptr<FsmState> CreateState(Game& game, ShellState which) override;
  // A key for the pause menu, as the front end's menus take it.
  void SendMenuInput(uint8_t key) override;

  // The shell's data of the game built last (null before any).
  ShellContext* Context() const { return context_.get(); }

 private:
  ResourceQueues& queues_;
  // One per game: the game builds its eight screens one after the other.
  std::shared_ptr<ShellContext> context_;
  int screensMade_ = 0;
};
