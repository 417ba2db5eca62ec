#include "game/shell/GameOverScreen.h"

#include "engine/foundation/AnimChannel.h"
#include "engine/foundation/Vector3.h"
#include "engine/runtime/messages/MSGMessage.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/GameMessages.h"
#include "game/shell/IntroScreens.h"
#include "platform/Random.h"

namespace {

constexpr int32_t kInGameLayer = 0;
constexpr int32_t kFrontEndLayer = 1;
constexpr int32_t kMusicLayer = 3;
// Where the puzzle camera keeps looking while the finished board shows.
const Vector3 kHeldTarget(0.0f, 200.0f, 0.0f);
// The HUD darkens the board to half over 1.5 s under the banner.
constexpr float kBannerShade = 0.5f;
constexpr float kBannerShadeSeconds = 1.5f;

}  // namespace

GameOverScreen::GameOverScreen(ShellContext& context) : ShellScreen(context, ShellState::GameOver) {}

void GameOverScreen::Enter() {
  // The HUD draws the banner as a window; the scene is the finished board.
  game_.SetHUDCallback(&Game::DrawNothing);
  Game& owner = game_;
  game_.SetSceneCallback([&owner](int32_t) { return owner.DrawPuzzleScene(0); });
  LayerFade fade{kFrontEndLayer, kFrontEndLayerFadeSeconds};
  PostToAudio(eMSG_ALayer_VolumeFadeIn, reinterpret_cast<intptr_t>(&fade));
  PostToAudio(eMSG_AGUI_PlayGameOver, 0);
  StopAudioLayer(kInGameLayer);
  StopAudioLayer(kMusicLayer);
  // The phrase timer's first tick, delivered at once.
  PostToGame(eMSG_AGUI_PlaySting, 0, 0.0);
  if (GameHud* hud = game_.hud.get()) {
    hud->reason = game_.gameOverText;
    // The terminal and the log say which file and why.
    hud->saveWarning = game_.resultNotSaved ? kNotSavedText : "";
    hud->gameOverShown = true;
    hud->fadeActive = true;
    hud->fade.Set(AnimChannel::kRiseFast, false, 0.0f, kBannerShade, kBannerShadeSeconds);
  }
}

void GameOverScreen::Update() {
  const float dt = FrameSeconds();
  if (game_.hud != nullptr) game_.hud->UpdateTimers(dt);
  // Clearing animations finish under the banner.
  if (game_.currentDisc != nullptr) game_.currentDisc->ProcessMatches(dt);
  game_.puzzleCamera.SetTarget(kHeldTarget);
}

bool GameOverScreen::OnMessage(CMSGMessage& message) {
  if (message.id == eMSG_AGUI_PlaySting) {
    PlayPhrase();
    return true;
  }
  if (IsKeyOrPadPress(message)) {
    game_.FadeToState(kFadeMusicAndScreen, game_.State(GameStateId::FrontEnd), kFadeSeconds);
    return true;
  }
  return false;
}

void GameOverScreen::PlayPhrase() {
  // One tick waits at a time; the one being delivered is not counted.
  if (QueuedGameMessages(eMSG_AGUI_PlaySting) > 0) return;
  int32_t phrase = kFirstPhrase + platform::NextRandom() % kPhraseCount;
  PostToAudio(eMSG_AGUI_PlaySting, reinterpret_cast<intptr_t>(&phrase));
  PostToGame(eMSG_AGUI_PlaySting, 0, kPhraseSeconds);
}

void GameOverScreen::Exit() {
  game_.gameOverText = "";
  if (GameHud* hud = game_.hud.get()) {
    hud->reason = "";
    hud->saveWarning = "";
    hud->gameOverShown = false;
    hud->fadeActive = false;
    GetGUIMSGService()->Post(eMSG_GUIHIDE, game_.receiverId, hud->GetId(), 0, 0.0);
    game_.hud.reset();
  }
  CancelGameMessages(eMSG_AGUI_PlaySting);
  // The modes leave the renderer and the backdrop to this page, the front
  // end makes its own backdrop; the renderer points at the plane, so it
  // goes first.
  game_.renderer.reset();
  game_.ReleaseDiscs();
  game_.galacticPlane.reset();
}
