// The reactions every game state shares, the fades through which states
// change, and the game-over check.

#include <cstdio>

#include "engine/foundation/Log.h"
#include "engine/gui/ScreenFade.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/NovalithObject.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/GameMessages.h"

namespace {

constexpr uint64_t kRainbowPoints = 25000;
// The disc stays locked this long after a rainbow.
constexpr double kRainbowLockSeconds = 3.0;
// From the end of the star's explosion to the game-over page.
constexpr float kExplosionToGameOverSeconds = 3.0f;

bool FadesMusic(int mode) { return mode == kFadeMusicAndScreen || mode == kFadeMusic; }
bool FadesScreen(int mode) { return mode == kFadeMusicAndScreen || mode == kFadeScreen; }

}  // namespace

bool Game::SharedMessageFSM(CMSGMessage* message) {
  const int32_t audioId = GetAudioReceiverId();
  switch (message->id) {
    case eMSG_Shutdown:
      frontEndTexture = nullptr;
      Quit();
      break;
    case eMSG_GChangeState:
      if (pendingState != nullptr) Next(pendingState);
      pendingState = nullptr;
      break;
    case eMSG_GMatchedRainbow: {
      LogDBG("Matched a rainbow!");
      if (currentDisc != nullptr) currentDisc->locked = true;
      // The shape of the run's first (Red) group sets the points.
      if (profile) {
        const uint64_t steps = static_cast<uint64_t>(profile->rainbow.type) + 1;
        profile->AddScore(steps * kRainbowPoints);
        if (hud != nullptr) {
          char text[GameHudPopup::kTextCapacity];
          if (steps > 1) {
            std::snprintf(text, sizeof(text), "%d x %d Rainbow Points!", static_cast<int>(steps),
                          static_cast<int>(kRainbowPoints));
          } else {
            std::snprintf(text, sizeof(text), "%d Rainbow Points!", static_cast<int>(kRainbowPoints));
          }
          hud->AddMessage(text);
        }
        profile->rainbow = CGPuzzleGem();
        ++profile->rainbows;
      }
      PostGameMessageTo(receiverId, HudReceiverId(), eMSG_GMatchedRainbow, 0, 0.0);
      PostGameMessageTo(receiverId, RendererReceiverId(), eMSG_GMatchedRainbow, 0, 0.0);
      PostGameMessageTo(receiverId, audioId, eMSG_GMatchedRainbow, 0, 0.0);
      PostGameMessage(eMSG_GUnlockPuzzle, 0, kRainbowLockSeconds);
      int speech = kSpeechRainbow;
      PostAudioMessage(eMSG_AInGame_PlaySpeech, reinterpret_cast<intptr_t>(&speech), 0.0);
      break;
    }
    case eMSG_GRainbowUpdate:
      if (profile && currentDisc != nullptr) profile->rainbow = currentDisc->rainbowGem;
      break;
    case eMSG_GAchievementEarned: {
      const int32_t index = message->parameter ? *reinterpret_cast<const int*>(message->parameter) : -1;
      LogDBG("Achievement : %s", services.AchievementName(index));
      if (hud != nullptr) hud->AddAchievement(index);
      PostGameMessageTo(receiverId, audioId, eMSG_GAchievementEarned, message->parameter, 0.0);
      break;
    }
    case eMSG_GNovalithUnstable:
      if (hud != nullptr) hud->AddMessage("Novalith is unstable!");
      break;
    case eMSG_GNovalithExplosionFinished:
      if (pendingState == nullptr) {
        fadedIn = false;
        LayerFade fade{kMusicLayer, kExplosionToGameOverSeconds};
        PostGameMessageTo(receiverId, audioId, eMSG_ALayer_VolumeFadeOut, reinterpret_cast<intptr_t>(&fade), 0.0);
        pendingState = State(GameStateId::GameOver);
        PostGameMessageTo(receiverId, receiverId, eMSG_GChangeState, 0, kExplosionToGameOverSeconds);
      }
      break;
    default:
      return false;
  }
  message->handled |= 1;
  return true;
}

void Game::FadeToState(int mode, FsmState* state, float seconds) {
  // The first request wins until its change has happened.
  if (pendingState != nullptr) return;
  fadedIn = false;
  if (FadesMusic(mode)) {
    LayerFade fade{kMusicLayer, seconds};
    PostGameMessageTo(receiverId, GetAudioReceiverId(), eMSG_ALayer_VolumeFadeOut, reinterpret_cast<intptr_t>(&fade),
                      0.0);
  }
  if (FadesScreen(mode)) {
    ScreenFade* screenFade = GetScreenFade();
    screenFade->Start(fadeColourA, fadeColourB, seconds);
    screenFade->active = 1;
  }
  pendingState = state;
  PostGameMessageTo(receiverId, receiverId, eMSG_GChangeState, 0, seconds);
}

void Game::FadeIn(int mode, float seconds) {
  fadedIn = true;
  if (FadesMusic(mode)) {
    LayerFade fade{kMusicLayer, seconds};
    PostGameMessageTo(receiverId, GetAudioReceiverId(), eMSG_ALayer_VolumeFadeIn, reinterpret_cast<intptr_t>(&fade),
                      0.0);
  }
  if (FadesScreen(mode)) {
    ScreenFade* screenFade = GetScreenFade();
    screenFade->Start(fadeColourB, fadeColourA, seconds);
    screenFade->active = 1;
  }
}

void Game::CheckGameOver() {
  // A game ends once: the first condition that holds gives the one reason,
  // and the steps are not repeated while it goes on holding until the page.
  if (gameEnded || IsCurrent(State(GameStateId::GameOver))) return;
  // A gem that fills the last slot and matches leaves Breaking slots that
  // are about to free: the disc is full only when none is Empty or Breaking.
  if (currentDisc != nullptr && currentDisc->IsFull()) {
    EndGame("Game Over : Disc full!", "No moves left!");
    return;
  }
  // The Panic mode also ends when the clock runs out or the star dies.
  if (!profile || profile->mode != kModePanic) return;
  if (hud != nullptr && hud->timeLeft <= 0.0f) {
    EndGame("Game Over : Out of Time!", "Out of Time!");
  } else if (renderer != nullptr && renderer->star && renderer->star->HasDied()) {
    EndGame("Game Over : Novalith died!", "The Novalith collapsed!");
  }
}

void Game::EndGame(const char* reasonLog, const char* reasonText) {
  gameEnded = true;
  LogDBG("%s", reasonLog);
  gameOverText = reasonText;
  if (currentDisc != nullptr) currentDisc->locked = true;
  if (hud != nullptr) hud->timersRunning = false;
  PostGameMessageTo(receiverId, RendererReceiverId(), eMSG_GNovalithExplode, 0, 0.0);
}
