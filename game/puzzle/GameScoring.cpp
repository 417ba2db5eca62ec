// Scoring of matched groups: points with the bonus multiplier, the quick-
// match chain, cascades, level progress and spoken praise.

#include <climits>
#include <cmath>
#include <cstdio>

#include "engine/foundation/Log.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/NovalithObject.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/GameMessages.h"
#include "platform/Random.h"

namespace {

constexpr uint64_t kBasePoints = 25;
// Points of a same-shape group by shape; Tetra scores the base.
constexpr uint64_t kSameShapePoints[kGemTypeCount] = {25, 50, 75, 100, 200};
constexpr uint64_t kGoldFactor = 100;
// A match within this many seconds of the previous one continues the chain.
constexpr float kQuickMatchSeconds = 2.0f;
constexpr unsigned kMultiplierCap = 8;
constexpr uint64_t kCascadePoints = 750;
constexpr int32_t kGemsPerLevel = 20;
// The breaking sounds of a group spread over this many seconds.
constexpr double kGemBrokenSpreadSeconds = 0.35;
// Groups larger than this earn level progress; from the next size on praise.
constexpr unsigned kLevelProgressSize = 6;
constexpr unsigned kPraiseSize = 8;
constexpr unsigned kIncredibleSize = 12;
constexpr unsigned kSkillfulCascades = 3;
constexpr unsigned kMasterfulCascades = 6;

// a x b, or the largest value when the product does not fit.
uint64_t MultiplySaturated(uint64_t a, uint64_t b) {
  uint64_t product;
  return __builtin_mul_overflow(a, b, &product) ? UINT64_MAX : product;
}

void PostSpeech(int speech) { PostAudioMessage(eMSG_AInGame_PlaySpeech, reinterpret_cast<intptr_t>(&speech), 0.0); }

}  // namespace

void Game::ScoreMatch() {
  if (currentDisc == nullptr) return;
  const MatchRecord match = currentDisc->GetMatchRecord();
  if (profile) profile->AddMatchStats(match);
  if (renderer != nullptr && renderer->star) renderer->star->AddCrystals(match);
  cascadeTimer = 0.0f;
  quakeTimer = 0.0f;
  if (match.playerDrop) {
    ScoreCascade();  // the cascades of the previous drop
  } else {
    ++cascadeCount;
  }

  const bool gold = match.colour == kGemGold;
  uint64_t base = kBasePoints;
  if (match.sameShape && match.shapes != nullptr && match.gemCount > 0) {
    const int shape = match.shapes[0];
    base = shape >= 0 && shape < kGemTypeCount ? kSameShapePoints[shape] : kBasePoints;
  }
  if (gold) {
    LogDBG("Matched gold!");
    base *= kGoldFactor;
  }
  // The multiplier of before this match counts.
  const uint64_t n = match.gemCount;
  const uint64_t sizeFactor = n >= 2 ? n * (n - 2) : 0;
  const uint64_t points = MultiplySaturated(MultiplySaturated(bonusMultiplier, sizeFactor), base);
  if (profile) profile->AddScore(points);
  if (hud != nullptr) hud->AddScorePopup(points, match);

  if (timeSinceLastMatch < kQuickMatchSeconds) {
    ++quickMatchChain;
    if (quickMatchChain > 1) {
      // Gold may raise it past the cap; it stops doubling before it overflows.
      if (bonusMultiplier <= UINT_MAX / 2) bonusMultiplier *= 2;
      if (bonusMultiplier > kMultiplierCap && !gold) bonusMultiplier = kMultiplierCap;
      if (hud != nullptr) hud->SetMultiplier(bonusMultiplier);
      LogDBG("Bonus Multipler = %dx", static_cast<int>(bonusMultiplier));
    }
  } else {
    // Also taken when the time is not a number.
    BreakQuickMatchChain();
    bonusMultiplier = 1;
    LogDBG("Bonus Multipler = %dx", 1);
  }
  timeSinceLastMatch = 0.0f;

  for (uint64_t gem = 0; gem < n; ++gem) {
    const double fraction = static_cast<double>(platform::NextRandom()) / platform::kRandomMax;
    PostAudioMessage(eMSG_AInGame_PlayGemBroken, 0, fraction * kGemBrokenSpreadSeconds);
  }

  if (n > kLevelProgressSize && profile) {
    ModeStats& stats = profile->Current();
    const int64_t progress = static_cast<int64_t>(n - 4) * quickMatchChain;
    const int64_t left = static_cast<int64_t>(stats.gemsToNextLevel) - progress;
    stats.gemsToNextLevel = left < INT32_MIN ? INT32_MIN : static_cast<int32_t>(left);
    if (stats.gemsToNextLevel <= 0) {
      ++stats.level;
      if (stats.level > profile->BestLevel()) profile->BestLevel() = stats.level;
      stats.gemsToNextLevel = static_cast<int32_t>(stats.level) * kGemsPerLevel;
      if (hud != nullptr) hud->AddMessage("Level Up!");
      LogDBG("Level Up! -> %d", static_cast<int>(stats.level));
    }
  }

  if (n >= kPraiseSize) {
    const bool incredible = n > kIncredibleSize;
    if (hud != nullptr) hud->AddMessage(incredible ? "Incredible!" : "Excellent!");
    PostSpeech(incredible ? kSpeechIncredible : kSpeechExcellent);
    if (profile) profile->excellence += incredible ? 1 : 2;
  }
}

void Game::ScoreCascade() {
  const unsigned cascades = cascadeCount;
  if (cascades == 0) return;
  if (cascades > kSkillfulCascades) {
    const bool masterful = cascades > kMasterfulCascades;
    if (hud != nullptr) hud->AddMessage(masterful ? "Masterful!" : "Skillful!");
    PostSpeech(masterful ? kSpeechMasterful : kSpeechSkillful);
    if (profile) ++(masterful ? profile->masterfulCascades : profile->skillfulCascades);
  }
  char text[GameHudPopup::kTextCapacity];
  if (hud != nullptr) {
    std::snprintf(text, sizeof(text), cascades > 1 ? "%u cascades!" : "%u cascade!", cascades);
    hud->AddMessage(text);
  }
  if (profile) {
    profile->AddScore(kCascadePoints * cascades);
    // A level gained here shows no text.
    profile->AddLevelProgress(static_cast<int32_t>(2 * cascades));
  }
  if (hud != nullptr) {
    std::snprintf(text, sizeof(text), "%u x %u", cascades, static_cast<unsigned>(kCascadePoints));
    hud->AddMessage(text);
  }
  if (profile) profile->cascades += cascades;
  cascadeCount = 0;
}
