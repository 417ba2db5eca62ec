#include "game/shell/Achievements.h"

#include "game/rules/GameMessages.h"
#include "game/shell/Profile.h"

const char AchievementNames[kAchievementCount][kAchievementTextBytes] = {
    "Star Maker",
    "Par Star",
    "10 Stars",
    "50 Stars",
    "100 Stars",
    "1000 Stars",
    "10000 Stars",
    "10 Panic Stars",
    "50 Panic Stars",
    "100 Panic Stars",
    "Rainbow Maker",
    "10 Rainbows",
    "50 Rainbows",
    "100 Rainbows",
    "Challenge Mode",
    "Challenge Mode On Par",
    "10 Constellations",
    "100 Constellations",
    "1000 Constellations",
    "1000 Gems Cleared",
    "10000 Gems Cleared",
    "One Million Points",
    "Century Skill",
    "Tetra Gem Match",
    "Cube Gem Match",
    "Orb Gem Match",
    "Octo Gem Match",
    "Star Gem Match",
};

const char AchievementMaterials[kAchievementCount][kAchievementTextBytes] = {
    "AchievementStars",          "AchievementStars",
    "AchievementStars",          "AchievementStars",
    "AchievementStars",          "AchievementStars",
    "AchievementStars",          "AchievementPanicStars",
    "AchievementPanicStars",     "AchievementPanicStars",
    "AchievementRainbows",       "AchievementRainbows",
    "AchievementRainbows",       "AchievementRainbows",
    "AchievementChallengeMode",  "AchievementChallengeModeOnPar",
    "AchievementConstellations", "AchievementConstellations",
    "AchievementConstellations", "AchievementGemsCleared",
    "AchievementGemsCleared",    "AchievementMillion",
    "AchievementSkill",          "AchievementTetraMatch",
    "AchievementCubeMatch",      "AchievementOrbMatch",
    "AchievementOctoMatch",      "AchievementStarMatch",
};

const char ProfileCounterNames[kProfileCounterCount][kAchievementTextBytes] = {
    "Cascades", "Stars", "Stars On Par", "Constellations", "Panic Stars", "Rainbows", "Excellence", "Skill", "Mastery",
};

const char* AchievementName(int32_t index) {
  return index >= 0 && index < kAchievementCount ? AchievementNames[index] : "";
}

namespace {

// How a counter meets its threshold (unsigned comparisons throughout).
enum class Test {
  Never,   // no condition: never earned by the check
  Equals,  // only at the moment the counter is exactly the threshold
  AtLeast,
  Above,
};

struct AchievementRule {
  uint32_t (*counter)(const Profile&);
  Test test;
  uint32_t threshold;
};

const ModeStats& CurrentMode(const Profile& p) { return p.modes[p.mode == kModePanic ? kModePanic : kModeChallenge]; }

uint32_t Stars(const Profile& p) { return p.stars; }
uint32_t ParStars(const Profile& p) { return p.parStars; }
uint32_t PanicStars(const Profile& p) { return p.panicStars; }
uint32_t Rainbows(const Profile& p) { return p.rainbows; }
uint32_t Constellations(const Profile& p) { return p.constellations; }
uint32_t GemsCleared(const Profile& p) { return p.gemsCleared; }
// The score, not the pending points.
uint32_t ModeScore(const Profile& p) { return CurrentMode(p).score; }
uint32_t ModeLevel(const Profile& p) { return CurrentMode(p).level; }
template <int type>
uint32_t TypeMatches(const Profile& p) {
  return p.typeMatches[type];
}

const AchievementRule kRules[kAchievementCount] = {
    {Stars, Test::Equals, 1},
    {ParStars, Test::Equals, 1},
    {Stars, Test::AtLeast, 10},
    {Stars, Test::AtLeast, 50},
    {Stars, Test::AtLeast, 100},
    {Stars, Test::AtLeast, 1000},
    {Stars, Test::AtLeast, 10000},
    {PanicStars, Test::AtLeast, 10},
    {PanicStars, Test::AtLeast, 50},
    {PanicStars, Test::AtLeast, 100},
    {Rainbows, Test::Equals, 1},
    {Rainbows, Test::AtLeast, 10},
    {Rainbows, Test::AtLeast, 50},
    {Rainbows, Test::AtLeast, 100},
    // Completing the whole Challenge (normally or on par) has no rule yet.
    {nullptr, Test::Never, 0},
    {nullptr, Test::Never, 0},
    {Constellations, Test::AtLeast, 10},
    {Constellations, Test::AtLeast, 100},
    {Constellations, Test::AtLeast, 1000},
    {GemsCleared, Test::Above, 1000},
    {GemsCleared, Test::Above, 10000},
    {ModeScore, Test::Above, 1000000},
    {ModeLevel, Test::AtLeast, 100},
    {TypeMatches<kGemTetra>, Test::Above, 0},
    {TypeMatches<kGemCubic>, Test::Above, 0},
    {TypeMatches<kGemOrb>, Test::Above, 0},
    {TypeMatches<kGemOctagon>, Test::Above, 0},
    {TypeMatches<kGemStar>, Test::Above, 0},
};

bool IsMet(const AchievementRule& rule, const Profile& profile) {
  if (rule.test == Test::Never) return false;
  const uint32_t value = rule.counter(profile);
  switch (rule.test) {
    case Test::Equals:
      return value == rule.threshold;
    case Test::AtLeast:
      return value >= rule.threshold;
    case Test::Above:
      return value > rule.threshold;
    case Test::Never:
      break;
  }
  return false;
}

}  // namespace

void Profile::CheckAchievements() {
  for (int32_t index = 0; index < kAchievementCount; ++index) {
    if (achieved[index] != 0 || !IsMet(kRules[index], *this)) continue;
    achieved[index] = 1;
    // Delivered inside the post, while the index it points at is alive; so
    // several awards of one check reach the game in ascending order.
    int32_t earned = index;
    PostGameMessage(eMSG_GAchievementEarned, reinterpret_cast<intptr_t>(&earned), 0.0);
  }
}
