#pragma once
// The engine's hot keys: which actions this frame's key states ask for, and
// carrying them out, in table order.

#include <cstdint>

class CDisplay;
class CGEMApplication;

enum HotKeyAction : uint32_t {
  kHotToggleFullscreen = 1u << 0,
  kHotShutdown = 1u << 1,
  kHotReloadTextures = 1u << 2,
  kHotReloadMaterials = 1u << 3,
  kHotReloadModels = 1u << 4,
  kHotShowDeveloperWindow = 1u << 5,
  kHotNextDebugMode = 1u << 6,
  kHotToggleFreeCamera = 1u << 7,
  kHotFaster = 1u << 8,
  kHotSlower = 1u << 9,
  kHotResetCamera = 1u << 10,
  kHotTogglePause = 1u << 11,
  kHotToggleHelp = 1u << 12,
  kHotToggleConsole = 1u << 13,
  kHotToggleToolLibrary = 1u << 14,
};

// Per key: 0 idle, 1 went down this poll, other non-zero values held.
using KeyStateReader = uint16_t (*)(const void* keyboard, uint8_t code);

struct HotKeySwitches {
  bool escapeQuits = true;
  bool developerKeys = true;
  bool developerWindowExists = false;
  // A text box takes the keys: plain keys are typing, not commands.
  bool typing = false;
  // That text box is the developer console's line.
  bool consoleTyping = false;
};

// The keys that made this frame's hot keys.
struct HotKeyKeys {
  static constexpr int kCapacity = 32;
  uint8_t codes[kCapacity] = {};
  int count = 0;
  // Adds a code once.
  void Add(uint8_t code);
};

// The actions asked for this frame (a set of HotKeyAction bits); used, when
// given, receives each action's key and any modifier that went down with it.
uint32_t DecideHotKeys(KeyStateReader read, const void* keyboard, const HotKeySwitches& switches,
                       HotKeyKeys* used = nullptr);

// What the actions reach besides the program's managers, clock, profiler and
// tool library: the display (full screen) and the application (shutdown,
// developer windows, debug counter, engine camera). A part left null skips
// the actions that need it.
struct HotKeyReach {
  CDisplay* display = nullptr;
  CGEMApplication* application = nullptr;
};

// Carries out the actions (a set of HotKeyAction bits), in table order.
void CarryOutHotKeys(uint32_t actions, const HotKeyReach& reach);
