// The input service and its controller table.

#include "engine/runtime/input/UIOManager.h"

#include "engine/runtime/input/UIOLog.h"

UIOSources MakeSdlInputSources() {
  UIOSources sources;
  sources.keyboard = platform::CreateSdlKeyboardSource();
  sources.mouse = platform::CreateSdlMouseSource();
  sources.pads = platform::CreateSdlPadSource();
  return sources;
}

CUIOManager::~CUIOManager() { Release(); }

void CUIOManager::Release() {
  // Devices first: they read from the sources.
  joystick_.reset();
  keyboard_.reset();
  mouse_.reset();
  sources_ = UIOSources{};
  for (std::string& name : joystickNames_) name.clear();
  joystickCount_ = 0;
  joystickIndex_ = 0;
}

bool CUIOManager::Init(UIOSources sources) {
  Release();
  sources_ = std::move(sources);
  bool acquired = CreateKeyboard() != nullptr && keyboard_->IsAcquired();
  if (acquired) acquired = CreateMouse() != nullptr && mouse_->IsAcquired();

  EnumerateJoysticks();
  if (joystickCount_ > 0) {
    joystickIndex_ = 0;
    if (!AcquireJoystick()) joystick_.reset();
  }
  return acquired;
}

bool CUIOManager::Reinit(UIOSources sources) { return Init(std::move(sources)); }

CUIOKeyboard* CUIOManager::CreateKeyboard() {
  if (!sources_.keyboard) return nullptr;
  keyboard_ = std::make_unique<CUIOKeyboard>(sources_.keyboard.get());
  keyboard_->Init();
  return keyboard_.get();
}

CUIOMouse* CUIOManager::CreateMouse() {
  if (!sources_.mouse) return nullptr;
  mouse_ = std::make_unique<CUIOMouse>(sources_.mouse.get());
  mouse_->Init();
  return mouse_.get();
}

void CUIOManager::EnumerateJoysticks() {
  UIOPrintf("[UIO] Determining available joystick devices...");
  if (!sources_.pads) return;
  int attached = sources_.pads->Count();
  for (int i = 0; i < attached && joystickCount_ < kMaxJoysticks; ++i) {
    joystickNames_[joystickCount_] = sources_.pads->Name(i);
    UIOPrintf("[UIO] DX Device : %s", joystickNames_[joystickCount_].c_str());
    ++joystickCount_;
  }
}

std::string CUIOManager::GetJoystickName(uint32_t index) const {
  if (index >= kMaxJoysticks) return "Unknown";
  return joystickNames_[index];
}

bool CUIOManager::AcquireJoystick() {
  joystick_.reset();
  joystick_ = std::make_unique<CUIOJoystick>(sources_.pads.get(), static_cast<int>(joystickIndex_));
  UIOPrintf("[UIO] Aqcuiring joystick [%s]...", GetJoystickName(joystickIndex_).c_str());
  return joystick_->Init();
}

bool CUIOManager::AnyInput() const {
  if (keyboard_ && keyboard_->IsAnyKeyDown()) return true;
  if (mouse_ && mouse_->HasButtonActivity()) return true;
  return joystick_ && joystick_->IsButton(kKeyWentDown);
}

bool CUIOManager::CheckLost() {
  bool all = true;
  if (keyboard_) all = keyboard_->CheckLost() && all;
  if (mouse_) all = mouse_->CheckLost() && all;
  if (joystick_) all = joystick_->CheckLost() && all;
  return all;
}

CUIOManager* GetUIOManager() {
  static CUIOManager manager;
  return &manager;
}
