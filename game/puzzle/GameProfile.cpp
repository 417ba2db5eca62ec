#include "game/puzzle/GameProfile.h"

#include <cstdint>

#include "engine/foundation/Log.h"

namespace {

GameProfile* gCurrentProfile = nullptr;

// Levels ask for this many gems per level.
constexpr int32_t kGemsPerLevel = 20;

}  // namespace

GameProfile* GetCurrentProfile() { return gCurrentProfile; }

void SetCurrentProfile(GameProfile* profile) { gCurrentProfile = profile; }

uint32_t AddSaturated(uint32_t value, uint64_t amount) {
  const uint64_t sum = static_cast<uint64_t>(value) + amount;
  return sum < amount || sum > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(sum);
}

GameProfile::GameProfile() { gCurrentProfile = this; }

GameProfile::~GameProfile() {
  // Only the current one: an older profile going away leaves the newer current.
  if (gCurrentProfile == this) gCurrentProfile = nullptr;
}

void GameProfile::AddScore(uint64_t points) {
  ModeStats& stats = Current();
  stats.pendingScore = AddSaturated(stats.pendingScore, points);
  // The pending points count toward the best score once they are moved.
  if (stats.score > BestScore()) BestScore() = stats.score;
}

void GameProfile::UpdateScore() {
  ModeStats& stats = Current();
  const float pending = static_cast<float>(stats.pendingScore);
  uint32_t moved = static_cast<uint32_t>(pending * 0.25f);
  if (moved == 0 && stats.pendingScore > 0) moved = stats.pendingScore;
  moved = moved > stats.pendingScore ? stats.pendingScore : moved;
  stats.pendingScore -= moved;
  stats.score = AddSaturated(stats.score, moved);
}

bool GameProfile::AddLevelProgress(int32_t gems) {
  ModeStats& stats = Current();
  const int64_t left = static_cast<int64_t>(stats.gemsToNextLevel) - gems;
  stats.gemsToNextLevel = left < INT32_MIN ? INT32_MIN : static_cast<int32_t>(left);
  if (stats.gemsToNextLevel > 0) return false;
  ++stats.level;
  if (stats.level > BestLevel()) BestLevel() = stats.level;
  // A negative remainder is dropped, not carried over.
  stats.gemsToNextLevel = static_cast<int32_t>(stats.level) * kGemsPerLevel;
  return true;
}

void GameProfile::AddMatchStats(const MatchRecord& match) {
  gemsCleared = AddSaturated(gemsCleared, match.gemCount);
  if (match.colour >= 0 && match.colour < kGemColourCount) {
    gemsByColour[match.colour] = AddSaturated(gemsByColour[match.colour], match.gemCount);
  }
  if (match.shapes == nullptr) return;
  for (unsigned i = 0; i < match.gemCount; ++i) {
    const int type = match.shapes[i];
    if (type >= 0 && type < kGemTypeCount) ++gemsByType[type];
  }
  if (match.sameShape && match.gemCount > 0 && match.shapes[0] >= 0 && match.shapes[0] < kGemTypeCount) {
    ++typeMatches[match.shapes[0]];
  }
}

void GameProfile::AddDiscCompleted(bool onPar) {
  ModeStats& stats = Current();
  ++stats.discsCompleted;
  if (onPar) {
    ++parStars;
    ++stats.parCompletions;
  }
}

bool GameProfile::SaveReported() {
  if (Save()) return true;
  if (saveFailure.IsEmpty()) {
    LogSaveFailure("Failed to save profile %s", name.Chars());
  } else {
    LogSaveFailure("Failed to save profile %s : %s", name.Chars(), saveFailure.Chars());
  }
  return false;
}
