#pragma once

// The part of the game's services that the profiles, the achievements and
// the high-score table answer. The rest (audio layer, pause menu, screens)
// stays null here; the shell's full services build on this class.

#include "game/puzzle/GameServices.h"
#include "game/shell/HighScoreTable.h"

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
