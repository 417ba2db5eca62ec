// The Challenge game: the constellations of the galaxy rebuilt star by
// star, each star one disc of the constellation's board played against a
// par time. A finished constellation leads to the "Well Done!" page, the
// last one to the picture that closes the Challenge.

#include <cstring>

#include "engine/foundation/Log.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/Challenge.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/GameMessages.h"

namespace {

constexpr double kMusicDelaySeconds = 0.25;
constexpr const char* kChallengeCannotStart =
    "The Challenge cannot start: a board or constellation file is missing or damaged";
constexpr float kFadeSeconds = 1.0f;
// Each whole second of par time left is worth this much (shown only).
constexpr uint64_t kParBonusPerSecond = 100;
// From the end of the disc's clearing to the next star.
constexpr double kNextDiscSeconds = 1.0;
// A finished constellation shows at full size on the ring.
constexpr float kConstellationSize = 15.0f;
constexpr GFXRenderFlags kHudState = 0x82C;

}  // namespace

void Game::OnEnterChallengeGameFSM() {
  playRecorded = false;
  SetHUDCallback([this](int32_t value) { return DrawChallengeHud(value); });
  CreatePlayViews();
  if (hud != nullptr) hud->timeLeft = 0.0f;
  ReleaseDiscs();

  if (reloadProfile && profile) {
    // The restart plays the constellation again from the saved profile; an
    // achievement earned since that save stays earned, so it is never
    // announced a second time.
    const String name = profile->name;
    uint8_t earned[GameProfile::kAchievementCount];
    std::memcpy(earned, profile->achieved, sizeof earned);
    if (!profile->Load(name)) LogError("Failed to reload profile %s", name.Chars());
    for (int i = 0; i < GameProfile::kAchievementCount; ++i) profile->achieved[i] |= earned[i];
  }
  reloadProfile = false;

  if (!galacticPlane) galacticPlane = MakeGalacticPlane(kConstellationListPath);
  if (renderer) renderer->galacticPlane = galacticPlane.get();
  if (profile) {
    ModeStats& challenge = profile->modes[kModeChallenge];
    challenge.constellationCount = static_cast<uint32_t>(galacticPlane->constellations.size());
    challenge.totalStars = 0;
    for (const Constellation& constellation : galacticPlane->constellations) {
      challenge.totalStars += constellation.starCount;
    }
  }

  const bool started = LoadBoards();
  SetupPuzzleCamera();
  if (!started) {
    // Nothing to play: no music, lock or fade-in (it would undo the fade
    // out); back to the front end as the pause menu's exit goes. The reader
    // of the file at fault has told the terminal why; the player sees that
    // it did not start.
    LogDBG("The Challenge cannot start; back to the front end");
    frontEndNotice = kChallengeCannotStart;
    ExitToFrontEnd();
    return;
  }
  if (profile) currentDisc->rainbowGem = profile->GetRainbowGem();
  PostAudioMessage(eMSG_ABackground_PlayMusic, 0, kMusicDelaySeconds);
  // The renderer unlocks the disc when its presentation ends.
  currentDisc->locked = true;
  ResetPlayCounters();
  FadeIn(kFadeMusicAndScreen, kFadeSeconds);
}

void Game::OnUpdateChallengeGameFSM() {
  float dt = 0.0f;
  if (!StartPlayFrame(dt)) return;
  if (currentDisc != nullptr && hud != nullptr) currentDisc->ProcessMatches(dt);
  if (currentDisc != nullptr && !currentDisc->locked) {
    UpdateMatchTimers(dt);
  }
  EffectsPool::Instance().Update();
  CheckGameOver();
  if (profile) profile->UpdateScore();
}

void Game::ChallengeGameFSM(CMSGMessage* message) {
  if (SharedMessageFSM(message) || PlayMessage(message)) return;
  switch (message->id) {
    case eMSG_GMatchedMixed:
    case eMSG_GMatchedSame:
      ScoreMatch();
      break;
    case eMSG_GUnlockPuzzle:
    case eMSG_GLockPuzzle:
      SetPuzzleLocked(message->id == eMSG_GLockPuzzle);
      break;
    case eMSG_GRendererClearDone:
      if (hud != nullptr) hud->timersRunning = false;
      PostGameMessageTo(receiverId, receiverId, eMSG_GNextDisc, 0, kNextDiscSeconds);
      break;
    case eMSG_GNextDisc:
      CompleteChallengeStar();
      break;
    case eMSG_GTimerExpired:
      // Only the par bonus is lost; play goes on.
      PostAudioMessage(eMSG_AInGame_PlayTimerExpire, 0, 0.0);
      if (hud != nullptr) hud->AddMessage("Par Bonus Expired!");
      break;
    case eMSG_GRestartChallenge:
      // Only a restart that will happen reloads the profile: a flag left set
      // would make a later exit skip its save.
      if (pendingState == nullptr) {
        FadeToState(kFadeMusicAndScreen, State(GameStateId::ChallengeGame), kFadeSeconds);
        reloadProfile = true;
      }
      break;
    default:
      return;
  }
  message->handled |= 1;
}

void Game::CompleteChallengeStar() {
  if (!profile) return;
  ModeStats& challenge = profile->modes[kModeChallenge];
  std::vector<Constellation>* set = galacticPlane != nullptr ? &galacticPlane->constellations : nullptr;
  Constellation* constellation =
      set != nullptr && challenge.constellationIndex < set->size() ? &(*set)[challenge.constellationIndex] : nullptr;

  const bool onPar = hud != nullptr && hud->timeLeft > 0.0f;
  if (onPar) hud->AddParBonus(kParBonusPerSecond * static_cast<uint64_t>(hud->timeLeft));
  profile->AddDiscCompleted(onPar);
  if (constellation != nullptr) constellation->CompleteStar();
  // Every completed disc counts, the last of the Challenge too.
  ++profile->stars;

  if (constellation != nullptr && constellation->completed >= constellation->starCount) {
    constellation->size = Vector3(kConstellationSize, 0.0f, kConstellationSize);
    galacticPlane->current = -1;
    ++profile->constellations;
    challenge.discIndex = 0;
    if (challenge.constellationIndex + 1 < set->size()) {
      ++challenge.constellationIndex;
      FadeToState(kFadeMusicAndScreen, State(GameStateId::ChallengeProgress), kFadeSeconds);
    } else {
      challenge.constellationIndex = 0;
      challengeCompleted = true;
      FadeToState(kFadeMusicAndScreen, State(GameStateId::ChallengeCompleted), kFadeSeconds);
    }
  } else {
    ++challenge.discIndex;
    StartDisc();
    PostGameMessageTo(receiverId, RendererReceiverId(), eMSG_GNextDisc, 0, 0.0);
  }
  SaveProfile();
}

void Game::RecordChallengeTime() {
  if (playRecorded) return;
  playRecorded = true;
  // A restart leaves the saved profile as it is: the next entry reloads it.
  if (!reloadProfile && profile) {
    if (hud != nullptr) profile->modes[kModeChallenge].timePlayed += hud->elapsed;
    SaveProfile();
  }
}

void Game::OnExitChallengeGameFSM() {
  RecordChallengeTime();
  LeavePlay();
}

int32_t Game::DrawChallengeHud(int32_t) {
  if (CanDraw()) GFXDisplay::SetRenderState(kHudState);
  return 0;
}
