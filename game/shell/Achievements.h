#pragma once

// The 28 achievements a profile can earn and the nine lifetime counters the
// profile view shows, as fixed 64-byte text tables.

#include <cstdint>

#include "game/puzzle/GameProfile.h"

constexpr int kAchievementCount = GameProfile::kAchievementCount;
constexpr int kProfileCounterCount = 9;
constexpr int kAchievementTextBytes = 64;

// Display names, by achievement index ("Star Maker" to "Star Gem Match").
extern const char AchievementNames[kAchievementCount][kAchievementTextBytes];
// Material names of the achievements' icons, by index.
extern const char AchievementMaterials[kAchievementCount][kAchievementTextBytes];
// Labels of the counters under "Statistics" (0-5) and "Ratings" (6-8).
extern const char ProfileCounterNames[kProfileCounterCount][kAchievementTextBytes];

// The name of an achievement; an empty text outside 0 to 27.
const char* AchievementName(int32_t index);
