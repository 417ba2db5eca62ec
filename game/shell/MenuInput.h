#pragma once

// Keys and pad presses turned into the front end's menu messages (Up
// eMSG_Previous, Down eMSG_Next, Return eMSG_Select, Escape eMSG_Escape,
// Left and Right the front end's own previous and next). Each is posted
// from the game to the front end at once, and nothing is posted while the
// game is not faded in.

#include <cstdint>

class CUIOJoystick;
class Game;

// The keys that went down: a key message's list, which ends early at a 0.
void SendMenuInput(Game& game, int32_t frontEndId, const uint8_t* keys);
// Held keys repeat only Up and Down.
void SendMenuKeyHeld(Game& game, int32_t frontEndId, const uint8_t* keys);
// A pad's direction that went down (up before down), then one select for
// the first of its six buttons that went down. Nothing without a pad.
void SendMenuPadDown(Game& game, int32_t frontEndId, const CUIOJoystick* pad);
// A pad's held direction (up before down).
void SendMenuPadHeld(Game& game, int32_t frontEndId, const CUIOJoystick* pad);
// The pad the input manager polls when one is acquired, else null.
const CUIOJoystick* AcquiredPad();
