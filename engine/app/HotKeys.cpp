#include "engine/app/HotKeys.h"

uint32_t DecideHotKeys(KeyStateReader read, const void* keyboard, const HotKeySwitches& switches) {
  auto down = [&](uint8_t code) { return read(keyboard, code) == 1; };
  auto held = [&](uint8_t code) { return read(keyboard, code) != 0; };
  uint32_t actions = 0;
  if (down(scan::kEnter) && held(scan::kLeftAlt)) actions |= kHotToggleFullscreen;
  if (switches.escapeQuits && down(scan::kEscape)) actions |= kHotShutdown;
  if (!switches.developerKeys) return actions;

  // Shift with a letter is a capital while a text box takes the keys.
  const bool shift = held(scan::kLeftShift) && !switches.typing;
  const bool ctrl = held(scan::kLeftCtrl);
  if (shift && down(scan::kT)) actions |= kHotReloadTextures;
  if (shift && down(scan::kM)) actions |= kHotReloadMaterials;
  if (shift && down(scan::k3)) actions |= kHotReloadModels;
  if (ctrl && down(scan::k6) && switches.developerWindowExists) actions |= kHotShowDeveloperWindow;
  if (ctrl && down(scan::kF9)) actions |= kHotNextDebugMode;
  if (ctrl && down(scan::kF1)) actions |= kHotToggleFreeCamera;
  if (ctrl && held(scan::kNumpadPlus)) {
    actions |= kHotFaster;
  } else if (ctrl && held(scan::kNumpadMinus)) {
    actions |= kHotSlower;
  }
  if (ctrl && down(scan::kHome)) actions |= kHotResetCamera;
  if (ctrl && down(scan::kSpace)) actions |= kHotTogglePause;
  if (switches.developerWindowExists && !switches.typing) {
    if (down(scan::kSlash)) actions |= kHotToggleHelp;
    if (down(scan::kGrave)) actions |= kHotToggleConsole;
  }
  return actions;
}
