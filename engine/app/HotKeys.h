#pragma once
// The engine's hot keys: which actions this frame's key states ask for. The
// application carries the actions out in table order.

#include <cstdint>

// Key codes (DirectInput scan codes) the hot keys and free camera read.
namespace scan {
constexpr uint8_t kEscape = 0x01, k3 = 0x04, k6 = 0x07, kQ = 0x10, kW = 0x11, kR = 0x13,
                  kT = 0x14, kEnter = 0x1C, kLeftCtrl = 0x1D, kS = 0x1F, kA = 0x1E, kD = 0x20,
                  kF = 0x21, kLeftShift = 0x2A, kM = 0x32, kLeftAlt = 0x38, kSpace = 0x39,
                  kF1 = 0x3B, kF9 = 0x43, kNumpadMinus = 0x4A, kNumpadPlus = 0x4E, kHome = 0xC7,
                  kGrave = 0x29, kSlash = 0x35;
}

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
