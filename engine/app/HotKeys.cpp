#include "engine/app/HotKeys.h"

#include "platform/KeyCodes.h"

void HotKeyKeys::Add(uint8_t code) {
  for (int i = 0; i < count; ++i) {
    if (codes[i] == code) return;
  }
  if (count < kCapacity) codes[count++] = code;
}

uint32_t DecideHotKeys(KeyStateReader read, const void* keyboard, const HotKeySwitches& switches, HotKeyKeys* used) {
  namespace key = platform::key;
  auto down = [&](uint8_t code) { return read(keyboard, code) == 1; };
  auto held = [&](uint8_t code) { return read(keyboard, code) != 0; };
  uint32_t actions = 0;
  // An action takes its key, and its modifier when that went down in the
  // same poll: neither is anybody else's key press.
  auto fire = [&](uint32_t action, uint8_t code, uint8_t modifier) {
    actions |= action;
    if (used == nullptr) return;
    used->Add(code);
    if (modifier != 0 && down(modifier)) used->Add(modifier);
  };
  if (down(key::Return) && held(key::LeftAlt)) fire(kHotToggleFullscreen, key::Return, key::LeftAlt);
  // Escape ends the program; its press may still reach everybody on the way.
  if (switches.escapeQuits && down(key::Escape)) actions |= kHotShutdown;
  // The tool library is the developer's own program beside ours: F11 is its
  // key whatever our switches say, and the key still reaches everybody.
  if (down(key::F11)) actions |= kHotToggleToolLibrary;
  if (!switches.developerKeys) return actions;

  // Shift with a letter is a capital while a text box takes the keys.
  const bool shift = held(key::LeftShift) && !switches.typing;
  const bool ctrl = held(key::LeftControl);
  if (shift && down(key::T)) fire(kHotReloadTextures, key::T, key::LeftShift);
  if (shift && down(key::M)) fire(kHotReloadMaterials, key::M, key::LeftShift);
  if (shift && down(key::Digit3)) fire(kHotReloadModels, key::Digit3, key::LeftShift);
  if (ctrl && down(key::Digit6) && switches.developerWindowExists) {
    fire(kHotShowDeveloperWindow, key::Digit6, key::LeftControl);
  }
  if (ctrl && down(key::F9)) fire(kHotNextDebugMode, key::F9, key::LeftControl);
  if (ctrl && down(key::F1)) fire(kHotToggleFreeCamera, key::F1, key::LeftControl);
  if (ctrl && held(key::NumpadPlus)) {
    fire(kHotFaster, key::NumpadPlus, key::LeftControl);
  } else if (ctrl && held(key::NumpadMinus)) {
    fire(kHotSlower, key::NumpadMinus, key::LeftControl);
  }
  if (ctrl && down(key::Home)) fire(kHotResetCamera, key::Home, key::LeftControl);
  if (ctrl && down(key::Space)) fire(kHotTogglePause, key::Space, key::LeftControl);
  if (switches.developerWindowExists) {
    // Slash types at a text box; the grave key still closes the console
    // whose line takes the typing.
    if (!switches.typing && down(key::Slash)) fire(kHotToggleHelp, key::Slash, 0);
    if ((!switches.typing || switches.consoleTyping) && down(key::Grave)) {
      fire(kHotToggleConsole, key::Grave, 0);
    }
  }
  return actions;
}
