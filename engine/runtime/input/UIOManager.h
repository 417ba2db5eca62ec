#pragma once
// The input service: the keyboard, the mouse and one game controller, each
// polled once a frame by the application, which turns their states into
// input messages.

#include <cstdint>
#include <memory>
#include <string>

#include "engine/runtime/input/UIOJoystick.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/input/UIOMouse.h"
#include "platform/InputSources.h"

// Where the input devices read from.
struct UIOSources {
  std::unique_ptr<platform::KeyboardSource> keyboard;
  std::unique_ptr<platform::MouseSource> mouse;
  std::unique_ptr<platform::PadSource> pads;
};

// The sources over SDL's event queue and joysticks.
UIOSources MakeSdlInputSources();

class CUIOManager {
 public:
  static constexpr uint32_t kMaxJoysticks = platform::kMaxPads;

  CUIOManager() = default;
  virtual ~CUIOManager();

  // Takes the sources and creates keyboard, mouse and (when a controller is
  // attached) joystick; true only when keyboard and mouse are acquired.
  bool Init(UIOSources sources);
  // Deletes the devices and their sources.
  void Release();
  // Release, then Init with new sources (after the window was rebuilt).
  bool Reinit(UIOSources sources);

  // Replaces the joystick by the controller at the joystick index; true when acquired.
  bool AcquireJoystick();
  // Product name of a recorded controller, "Unknown" past the table.
  std::string GetJoystickName(uint32_t index) const;
  // Chooses which recorded controller AcquireJoystick opens.
  void SetJoystickIndex(uint32_t index) { joystickIndex_ = index; }

  // Any key down, mouse button activity, or a controller button that went down.
  bool AnyInput() const;

  // The devices (null when not created).
  CUIOKeyboard* GetKeyboard() const { return keyboard_.get(); }
  CUIOMouse* GetMouse() const { return mouse_.get(); }
  CUIOJoystick* GetJoystick() const { return joystick_.get(); }
  // Creates the device when missing (needs sources from Init).
  CUIOKeyboard* CreateKeyboard();
  CUIOMouse* CreateMouse();

  uint32_t GetJoystickCount() const { return joystickCount_; }
  uint32_t GetJoystickIndex() const { return joystickIndex_; }

  // Asks every device to acquire again (true when all that exist are acquired).
  bool CheckLost();

 private:
  void EnumerateJoysticks();

  std::unique_ptr<CUIOJoystick> joystick_;
  std::unique_ptr<CUIOKeyboard> keyboard_;
  std::unique_ptr<CUIOMouse> mouse_;
  UIOSources sources_;
  std::string joystickNames_[kMaxJoysticks];
  uint32_t joystickCount_ = 0;
  uint32_t joystickIndex_ = 0;
};

// The input service, built on first use.
CUIOManager* GetUIOManager();
