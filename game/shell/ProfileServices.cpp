#include "game/shell/ProfileServices.h"

#include "game/shell/Achievements.h"
#include "game/shell/HighScoreTable.h"
#include "game/shell/Profile.h"

std::unique_ptr<GameProfile> ProfileServices::LoadProfile(const String& profileName) {
  return LoadProfileNamed(profileName);
}

void ProfileServices::LoadHighScores(HighScoreRows& rows) { HighScoreTable::Load(rows); }

bool ProfileServices::AddHighScore(HighScoreRows& rows, int32_t table, uint32_t score, uint32_t stars) {
  return HighScoreTable::AddAndSave(rows, table, score, stars);
}

const char* ProfileServices::AchievementName(int32_t index) const { return ::AchievementName(index); }
