// What both game modes share: the messages they answer alike, the HUD's
// timers, the player's input, and leaving a game.

#include "engine/foundation/Clock.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/GameMessages.h"

namespace {

constexpr uint64_t kManualDropPoints = 125;
// "Hurry up!" comes once while the countdown passes through this window.
constexpr float kHurryFrom = 9.5f;
constexpr float kHurryTo = 10.5f;
// Leaving through the pause menu: the loading screen's call, and the fade.
constexpr double kLoadFrontEndSeconds = 1.5;
constexpr float kExitFadeSeconds = 0.5f;
// A match within this long of the one before continues the chain; cascades
// are paid once this long has passed.
constexpr float kQuickMatchSeconds = 2.0f;
constexpr float kCascadeSeconds = 1.0f;

}  // namespace

bool Game::PlayMessage(CMSGMessage* message) {
  // The controls, or the pause menu while it shows.
  if (PuzzleInputMessage(message)) return true;
  switch (message->id) {
    case eMSG_GManualGemDrop:
      if (profile) profile->AddScore(kManualDropPoints);
      break;
    case eMSG_GDiscClear:
      PostGameMessageTo(receiverId, RendererReceiverId(), eMSG_GDiscClear, 0, 0.0);
      break;
    case eMSG_GColourLeftDisc: {
      // The renderer reads the colour during the post.
      int colour = message->parameter != 0 ? *reinterpret_cast<const int*>(message->parameter) : -1;
      PostGameMessageTo(receiverId, RendererReceiverId(), eMSG_GColourLeftDisc, reinterpret_cast<intptr_t>(&colour),
                        0.0);
      break;
    }
    case eMSG_GExit:
      ExitToFrontEnd();
      break;
    default:
      return false;
  }
  message->handled |= 1;
  return true;
}

void Game::UpdateHudTimers(float dt) {
  if (hud == nullptr) return;
  hud->UpdateTimers(dt);
  if (!panicHurryShown && hud->timeLeft >= kHurryFrom && hud->timeLeft <= kHurryTo) {
    panicHurryShown = true;
    PostAudioMessage(eMSG_AInGame_PlayTimerAlarm, 0, 0.0);
    hud->AddMessage("Hurry up!");
  }
}

void Game::UpdateMatchTimers(float dt) {
  if (timeSinceLastMatch < kQuickMatchSeconds) {
    timeSinceLastMatch += dt;
  } else {
    timeSinceLastMatch = 0.0f;
    BreakQuickMatchChain();
  }
  if (cascadeTimer < kCascadeSeconds) {
    cascadeTimer += dt;
  } else {
    cascadeTimer = 0.0f;
    ScoreCascade();
  }
}

void Game::ExitToFrontEnd() {
  SaveProfile();
  // The loading screen goes on to the front end; the game's own pending
  // state belongs to the fade that follows.
  stateAfterLoading = State(GameStateId::FrontEnd);
  PostGameMessageTo(receiverId, receiverId, eMSG_GLoadFE, 0, kLoadFrontEndSeconds);
  FadeToState(kFadeMusicAndScreen, State(GameStateId::Loading), kExitFadeSeconds);
}

void Game::RecordPlayInProgress() {
  if (IsCurrent(State(GameStateId::PanicGame))) {
    RecordPanicResult();
  } else if (IsCurrent(State(GameStateId::ChallengeGame))) {
    RecordChallengeTime();
  }
}

void Game::LeavePlay() {
  PostAudioMessage(eMSG_ABackground_StopMusic, 0, 0.0);
  int layer = 0;
  PostGameMessageTo(receiverId, GetAudioReceiverId(), eMSG_ALayer_Stop, reinterpret_cast<intptr_t>(&layer), 0.0);
  // The game-over page shows the finished board: it takes the objects over.
  if (GetPendingState() == State(GameStateId::GameOver)) return;
  if (hud) GetGUIMSGService()->Post(eMSG_GUIHIDE, receiverId, HudReceiverId(), 0, 0.0);
  hud.reset();
  // The renderer points at the plane: it goes first.
  renderer.reset();
  galacticPlane.reset();
  ReleaseDiscs();
}

void Game::CreatePlayViews() {
  SetSceneCallback([this](int32_t value) { return DrawPuzzleScene(value); });
  // The old HUD window and renderer go before their successors register.
  hud.reset();
  hud = std::make_unique<GameHud>(&services);
  hud->profile = profile.get();
  // Activated by its default frame, then shown and changed.
  hud->SetDefaultFrame(0);
  GetGUIMSGService()->Post(eMSG_GUISHOW, receiverId, HudReceiverId(), 0, 0.0);
  GetGUIMSGService()->Post(eMSG_GUICHANGE, receiverId, HudReceiverId(), 0, 0.0);
  renderer.reset();
  renderer = std::make_unique<GPuzzleRenderer>();
  renderer->ownerId = receiverId;
  renderer->galacticPlane = galacticPlane.get();
  renderer->profile = profile.get();
  ShowCurrentDiscs();
  // The views are drawn in this very frame, before the next frame's loading
  // step: what they asked for (the HUD's whole-screen picture among it) is
  // loaded now, or that first frame shows the missing-texture picture.
  CMATManager::GetInstance()->ResolveTextures();
  if (CanDraw()) CTEXManager::GetInstance()->LoadQueued(false);
}

int32_t Game::HudReceiverId() const { return hud ? hud->GetId() : -1; }

int32_t Game::RendererReceiverId() const { return renderer ? renderer->GetObjectId() : -1; }

void Game::ResetPlayCounters() {
  timeSinceLastMatch = 0.0f;
  cascadeTimer = 0.0f;
  quakeTimer = 0.0f;
  cascadeCount = 0;
  quickMatchChain = 0;
  bonusMultiplier = 1;
  panicHurryShown = false;
  gameEnded = false;
  resultNotSaved = false;
  if (hud != nullptr) hud->timersRunning = false;
}

bool Game::StartPlayFrame(float& dt) {
  if (services.IsPauseMenuShowing()) return false;
  if (renderer != nullptr && !renderer->IsActive()) renderer->SetActive(1);
  dt = Clock::Instance().GetGameDelta();
  UpdateHudTimers(dt);
  return true;
}

void Game::SetPuzzleLocked(bool locked) {
  if (currentDisc != nullptr) currentDisc->locked = locked;
  if (hud != nullptr) hud->timersRunning = !locked;
}

void Game::BreakQuickMatchChain() {
  quickMatchChain = 0;
  if (hud != nullptr) hud->SetMultiplier(0);
}
