// The Panic mode: one generated disc at a time, played against the clock.
// Every match buys time, every cleared disc pays a time bonus and is
// replaced at once, and a long wait without a match shakes the Novalith.

#include <cstdio>
#include <memory>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/NovalithObject.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/GameMessages.h"
#include "game/rules/PanicDisc.h"

namespace {

// The player may act this long after the game starts.
constexpr double kStartLockSeconds = 1.0;
constexpr double kMusicDelaySeconds = 0.125;
constexpr float kFadeInSeconds = 1.0f;
constexpr float kQuakeSeconds = 15.0f;
constexpr float kStartingSeconds = 20.0f;
// Each whole second left when a disc is cleared is worth this much.
constexpr uint64_t kTimeBonusPerSecond = 250;
// Seconds a matched gem buys: mixed groups, and groups of one shape.
constexpr float kMixedSecondsPerGem = 2.0f;
constexpr float kSameShapeSecondsPerGem = 4.0f;
// From the end of the disc's clearing to the next disc.
constexpr double kNextDiscSeconds = 1.0;
// UpdateScore moves at least a point a call; this bounds the settling.
constexpr int kMostScoreSettlingCalls = 256;

}  // namespace

void Game::CreatePanicDisc() {
  const uint32_t storedLevel = profile ? profile->modes[kModePanic].level : 0;
  const PanicDiscPlan plan = DrawPanicDiscPlan(storedLevel);
  LogDBG("Creating Panic Disc for Skill Level %d", static_cast<int>(plan.level));
  LogDBG("Rings %d, Gems %d, Colours %d, Types %d", static_cast<int>(plan.rings), static_cast<int>(plan.gemsPerRing),
         static_cast<int>(plan.highestColour), static_cast<int>(plan.highestShape));

  // The disc in play stays alive until the new one has taken its rainbow run.
  std::vector<std::unique_ptr<CGPuzzleDisc>> previous = std::move(discs);
  discs.clear();
  BuildRandomDisc(0, plan.rings, plan.gemsPerRing, plan.fillRatio, plan.highestColour, plan.highestShape);
  CGPuzzleDisc& disc = *discs[0];
  disc.Compact();
  LogDBG("Generate Groups Ratio %f, Smallest %d, Largest %d", static_cast<double>(plan.groupRatio),
         static_cast<int>(plan.smallestGroup), static_cast<int>(plan.largestGroup));
  disc.GenerateGroups(plan.groupRatio, plan.smallestGroup, plan.largestGroup);
  StartDisc();
}

bool Game::SaveProfile() {
  if (!profile) return false;
  if (profile->SaveReported()) return true;
  resultNotSaved = true;
  return false;
}

void Game::OnEnterPanicGameFSM() {
  LogDBG("OnEnterPanicGameFSM()");
  playRecorded = false;
  SetHUDCallback(&Game::DrawNothing);
  CreatePlayViews();
  if (profile) {
    profile->Current().discIndex = 0;
    profile->Current().constellationIndex = 0;
  }
  if (!galacticPlane) galacticPlane = MakeGalacticPlane();
  galacticPlane->CreateMarkers();
  if (renderer) renderer->galacticPlane = galacticPlane.get();
  CreatePanicDisc();
  if (currentDisc != nullptr) currentDisc->rainbowGem = CGPuzzleGem();
  SetupPuzzleCamera();
  if (currentDisc != nullptr) currentDisc->locked = true;
  PostGameMessage(eMSG_GUnlockPuzzle, 0, kStartLockSeconds);
  // Every entry asks again: the sound manager hands back what it holds.
  if (audio) audio->LoadSounds(1);
  PostAudioMessage(eMSG_ABackground_PlayMusic, 0, kMusicDelaySeconds);
  ResetPlayCounters();
  if (hud != nullptr) hud->timeLeft = kStartingSeconds;
  FadeIn(kFadeMusicAndScreen, kFadeInSeconds);
}

void Game::OnUpdatePanicGameFSM() {
  float dt = 0.0f;
  if (!StartPlayFrame(dt)) return;
  // The view stays where the puzzle camera was set up; only its target is held.
  puzzleCamera.SetTarget(Vector3(0.0f, 0.0f, 0.0f));
  if (currentDisc != nullptr && hud != nullptr) currentDisc->ProcessMatches(dt);
  if (currentDisc != nullptr && !currentDisc->locked) {
    UpdateMatchTimers(dt);
    if (quakeTimer < kQuakeSeconds) {
      quakeTimer += dt;
    } else {
      PanicQuake();
    }
  }
  if (profile) profile->UpdateScore();
  EffectsPool::Instance().Update();
  CheckGameOver();
}

void Game::PanicQuake() {
  // Harmless to a star without crystals.
  if (renderer != nullptr && renderer->star != nullptr) renderer->star->Quake();
  quakeTimer = 0.0f;
  BreakQuickMatchChain();
  if (hud != nullptr) hud->AddMessage("Novalithquake!");
}

void Game::PanicGameFSM(CMSGMessage* message) {
  if (SharedMessageFSM(message) || PlayMessage(message)) return;
  switch (message->id) {
    case eMSG_GMatchedMixed:
    case eMSG_GMatchedSame:
      // Every matched gem buys time, more when the group shares one shape.
      if (hud != nullptr && currentDisc != nullptr) {
        const float perGem = message->id == eMSG_GMatchedSame ? kSameShapeSecondsPerGem : kMixedSecondsPerGem;
        hud->timeLeft += perGem * static_cast<float>(currentDisc->GetMatchRecord().gemCount);
      }
      ScoreMatch();
      break;
    case eMSG_GUnlockPuzzle:
    case eMSG_GLockPuzzle:
      SetPuzzleLocked(message->id == eMSG_GLockPuzzle);
      break;
    case eMSG_GNextDisc:
      PayTimeBonus();
      if (profile) {
        ++profile->modes[kModePanic].discsCompleted;
        ++profile->panicStars;
      }
      CreatePanicDisc();
      PostGameMessageTo(receiverId, RendererReceiverId(), eMSG_GNextDisc, 0, 0.0);
      SaveProfile();
      break;
    case eMSG_GRendererClearDone:
      if (hud != nullptr) hud->timersRunning = false;
      if (galacticPlane != nullptr) galacticPlane->AddMarker(Vector3(0.0f, 0.0f, 0.0f), 0.0f);
      PostGameMessageTo(receiverId, receiverId, eMSG_GNextDisc, 0, kNextDiscSeconds);
      break;
    case eMSG_GTimerExpired:
      PostAudioMessage(eMSG_AInGame_PlayTimerExpire, 0, 0.0);
      gameOverText = "Out of time!";
      break;
    default:
      return;
  }
  message->handled |= 1;
}

void Game::PayTimeBonus() {
  if (hud == nullptr) return;
  const float secondsLeft = hud->timeLeft > 0.0f ? hud->timeLeft : 0.0f;
  const uint64_t bonus = kTimeBonusPerSecond * static_cast<uint64_t>(secondsLeft);
  char text[48];
  std::snprintf(text, sizeof text, "Time Bonus = %llu", static_cast<unsigned long long>(bonus));
  hud->AddMessage(text);
  if (profile) profile->AddScore(bonus);
}

void Game::RecordPanicResult() {
  if (playRecorded) return;
  playRecorded = true;
  if (!profile) return;
  ModeStats& panic = profile->modes[kModePanic];
  if (hud != nullptr) panic.timePlayed += hud->elapsed;
  // The points still counting up belong to the game just played.
  for (int call = 0; call < kMostScoreSettlingCalls && panic.pendingScore > 0; ++call) profile->UpdateScore();
  if (services.AddHighScore(highScores, kModePanic, panic.score, panic.discsCompleted) == HighScoreOutcome::NotSaved)
    resultNotSaved = true;
  profile->rainbow = CGPuzzleGem();
  SaveProfile();
}

void Game::OnExitPanicGameFSM() {
  RecordPanicResult();
  LeavePlay();
}
