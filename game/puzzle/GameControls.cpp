// The player's controls: the arrows turn the disc, Z drops the next gem,
// Escape pauses; a pad's up and down turn and its first six buttons drop.

#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/input/UIOManager.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/GameMessages.h"
#include "platform/KeyCodes.h"

namespace {

namespace key = platform::key;

// The audio layers the pause fades: out the in-game sounds and the music,
// in the menu's.
constexpr int kInGameLayer = 0;
constexpr int kMenuLayer = 1;
constexpr int kMusicOnlyLayer = 3;
constexpr float kPauseFadeSeconds = 1.0f;

// A pad control held or pressed in this poll (not released in it).
bool IsDown(uint16_t state) { return state >= kKeyWentDown && state <= kKeyHeldMax; }

// The pad the input manager polls; null when none is acquired.
const CUIOJoystick* AcquiredPad() {
  const CUIOJoystick* pad = GetUIOManager()->GetJoystick();
  return pad != nullptr && pad->IsAcquired() ? pad : nullptr;
}

}  // namespace

bool Game::PuzzleTakesInput() const { return fadedIn && currentDisc != nullptr && !currentDisc->locked; }

void Game::Turn(int step, bool withSound) {
  if (!PuzzleTakesInput() || renderer == nullptr) return;
  if (!(step > 0 ? renderer->turnForwardAllowed : renderer->turnBackAllowed)) return;
  if (withSound) PostAudioMessage(eMSG_AInGame_PlayPuzzleSpin, 0, 0.0);
  currentDisc->Rotate(step);
}

void Game::DropGem() {
  if (!PuzzleTakesInput()) return;
  PostGameMessageTo(receiverId, RendererReceiverId(), eMSG_GDropGem, 0, 0.0);
  if (hud != nullptr) hud->timersRunning = true;
}

void Game::Pause() {
  if (!fadedIn) return;
  const LayerFade fades[] = {{kInGameLayer, kPauseFadeSeconds}, {kMusicOnlyLayer, kPauseFadeSeconds}};
  for (const LayerFade& fade : fades) {
    PostGameMessageTo(receiverId, GetAudioReceiverId(), eMSG_ALayer_VolumeFadeOut, reinterpret_cast<intptr_t>(&fade),
                      0.0);
  }
  const LayerFade menu{kMenuLayer, kPauseFadeSeconds};
  PostGameMessageTo(receiverId, GetAudioReceiverId(), eMSG_ALayer_VolumeFadeIn, reinterpret_cast<intptr_t>(&menu), 0.0);
  services.ShowPauseMenu();
  // The renderer stops stepping; it still receives messages.
  if (renderer != nullptr) renderer->SetActive(0);
}

void Game::OnKeyDown(const uint8_t* keys) {
  CUIOKeyboard::ForEachListedKey(keys, [this](uint8_t code) {
    switch (code) {
      case key::Up:
        Turn(+1, true);
        break;
      case key::Down:
        Turn(-1, true);
        break;
      case key::Z:
        DropGem();
        break;
      case key::Escape:
        Pause();
        break;
      default:
        break;
    }
  });
}

void Game::OnKeyHeld(const uint8_t* keys) {
  CUIOKeyboard::ForEachListedKey(keys, [this](uint8_t code) {
    if (code == key::Up) Turn(+1, false);
    if (code == key::Down) Turn(-1, false);
  });
}

void Game::OnPadDown() {
  const CUIOJoystick* pad = AcquiredPad();
  if (pad == nullptr) return;
  if (pad->GetDirectionState(CUIOJoystick::kUp) == kKeyWentDown) {
    Turn(+1, false);
  } else if (pad->GetDirectionState(CUIOJoystick::kDown) == kKeyWentDown) {
    Turn(-1, false);
  }
  for (int button = 0; button < CUIOJoystick::kButtonCount; ++button) {
    if (pad->GetButtonState(button) == kKeyWentDown) {
      DropGem();
      break;
    }
  }
}

void Game::OnPadHeld() {
  const CUIOJoystick* pad = AcquiredPad();
  if (pad == nullptr) return;
  if (IsDown(pad->GetDirectionState(CUIOJoystick::kUp))) {
    Turn(+1, false);
  } else if (IsDown(pad->GetDirectionState(CUIOJoystick::kDown))) {
    Turn(-1, false);
  }
}

bool Game::PuzzleInputMessage(CMSGMessage* message) {
  const auto* keys = reinterpret_cast<const uint8_t*>(message->parameter);
  switch (message->id) {
    case eMSG_UIOKEYDOWN:
      // The pause menu takes the keys while it shows.
      if (services.IsPauseMenuShowing()) {
        CUIOKeyboard::ForEachListedKey(keys, [this](uint8_t code) { services.SendMenuInput(code); });
      } else {
        OnKeyDown(keys);
      }
      break;
    case eMSG_UIOKEYHELD:
      if (!services.IsPauseMenuShowing()) OnKeyHeld(keys);
      break;
    case eMSG_UIOPADDOWN:
      OnPadDown();
      break;
    case eMSG_UIOPADHELD:
      OnPadHeld();
      break;
    default:
      return false;
  }
  message->handled |= 1;
  return true;
}
