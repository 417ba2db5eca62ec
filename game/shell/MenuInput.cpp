#include "game/shell/MenuInput.h"

#include "engine/runtime/input/UIOJoystick.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/input/UIOManager.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/Game.h"
#include "game/rules/GameMessages.h"
#include "platform/KeyCodes.h"

namespace {

bool Listens(const Game& game, int32_t frontEndId) { return game.fadedIn && frontEndId >= 0; }

void Post(const Game& game, int32_t frontEndId, uint32_t id) {
  GetGEMMSGService()->Post(id, game.receiverId, frontEndId, 0, 0.0);
}

// The menu message of a key that went down; 0 for keys the menus ignore.
uint32_t KeyDownMessage(uint8_t code) {
  switch (code) {
    case platform::key::Escape:
      return eMSG_Escape;
    case platform::key::Return:
      return eMSG_Select;
    case platform::key::Up:
      return eMSG_Previous;
    case platform::key::Down:
      return eMSG_Next;
    case platform::key::Left:
      return eMSG_GFrontEndPrevious;
    case platform::key::Right:
      return eMSG_GFrontEndNext;
    default:
      return 0;
  }
}

uint32_t KeyHeldMessage(uint8_t code) {
  if (code == platform::key::Up) return eMSG_Previous;
  if (code == platform::key::Down) return eMSG_Next;
  return 0;
}

void SendKeys(const Game& game, int32_t frontEndId, const uint8_t* keys, uint32_t (*message)(uint8_t)) {
  if (!Listens(game, frontEndId)) return;
  CUIOKeyboard::ForEachListedKey(keys, [&](uint8_t code) {
    if (const uint32_t id = message(code)) Post(game, frontEndId, id);
  });
}

// eMSG_Previous for up, else eMSG_Next for down, in the given state.
void SendDirection(const Game& game, int32_t frontEndId, const CUIOJoystick& pad, bool (*inState)(uint16_t)) {
  if (inState(pad.GetDirectionState(CUIOJoystick::kUp))) {
    Post(game, frontEndId, eMSG_Previous);
  } else if (inState(pad.GetDirectionState(CUIOJoystick::kDown))) {
    Post(game, frontEndId, eMSG_Next);
  }
}

bool WentDown(uint16_t state) { return state == kKeyWentDown; }
bool Held(uint16_t state) { return state > kKeyWentDown && state <= kKeyHeldMax; }

}  // namespace

void SendMenuInput(Game& game, int32_t frontEndId, const uint8_t* keys) {
  SendKeys(game, frontEndId, keys, &KeyDownMessage);
}

void SendMenuKeyHeld(Game& game, int32_t frontEndId, const uint8_t* keys) {
  SendKeys(game, frontEndId, keys, &KeyHeldMessage);
}

void SendMenuPadDown(Game& game, int32_t frontEndId, const CUIOJoystick* pad) {
  if (!Listens(game, frontEndId) || pad == nullptr) return;
  SendDirection(game, frontEndId, *pad, &WentDown);
  for (int button = 0; button < CUIOJoystick::kButtonCount; ++button) {
    if (!WentDown(pad->GetButtonState(button))) continue;
    Post(game, frontEndId, eMSG_Select);
    return;
  }
}

void SendMenuPadHeld(Game& game, int32_t frontEndId, const CUIOJoystick* pad) {
  if (!Listens(game, frontEndId) || pad == nullptr) return;
  SendDirection(game, frontEndId, *pad, &Held);
}

const CUIOJoystick* AcquiredPad() {
  const CUIOJoystick* pad = GetUIOManager()->GetJoystick();
  return pad != nullptr && pad->IsAcquired() ? pad : nullptr;
}
