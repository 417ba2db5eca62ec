#include "engine/app/HotKeys.h"

#include "engine/app/DisplayChange.h"
#include "engine/app/GEMApplication.h"
#include "engine/app/ToolLibrary.h"
#include "engine/foundation/Clock.h"
#include "engine/foundation/Profiler.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/scene/model/ModelManager.h"
#include "engine/tools/ConsoleWindow.h"
#include "engine/tools/DBGSystemWindow.h"
#include "engine/tools/HelpWindow.h"
#include "platform/KeyCodes.h"

namespace {

// What one press of Ctrl+numpad + or - adds to the clock's time scale.
constexpr float kTimeScaleStep = 0.0125f;
// Ctrl+6 lets the window manager draw every layer up to the developer window's.
constexpr float kDeveloperLayers = 200.0f;

}  // namespace

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

void CarryOutHotKeys(uint32_t actions, const HotKeyReach& reach) {
  auto asked = [actions](uint32_t action) { return (actions & action) != 0; };
  CGEMApplication* application = reach.application;
  DBGSystemWindow* tools = application != nullptr ? application->developerWindow : nullptr;
  const int32_t self = application != nullptr ? application->GetGEMReceiverId() : -1;
  auto toggleShown = [self](int32_t windowId) { GetGUIMSGService()->Post(eMSG_GUITOGGLESHOW, self, windowId, 0, 0.0); };
  if (asked(kHotToggleFullscreen) && reach.display != nullptr) ToggleFullscreen(*reach.display);
  if (asked(kHotShutdown) && application != nullptr) GetGEMMSGService()->Post(eMSG_Shutdown, self, self, 0, 0.0);
  if (asked(kHotReloadTextures)) CTEXManager::GetInstance()->UnloadAll();
  if (asked(kHotReloadMaterials)) CMATManager::GetInstance()->ReloadLibrary();
  if (asked(kHotReloadModels)) C3MEManager::Instance().ReloadModels();
  if (asked(kHotShowDeveloperWindow) && tools != nullptr) {
    GetWindowManager()->SetLayerFilter(false, kDeveloperLayers);
    toggleShown(tools->ownId);
  }
  // The help and console keys work from any screen: the tool windows are
  // drawn and take messages only while the System window is up, so it comes
  // up first (its prompt with it); its activations are posted before the
  // toggle below and so arrive first.
  const bool toolKey = asked(kHotToggleHelp) || asked(kHotToggleConsole);
  if (toolKey && tools != nullptr && !asked(kHotShowDeveloperWindow) && !tools->IsShown()) {
    GetWindowManager()->SetLayerFilter(false, kDeveloperLayers);
    tools->Show(true);
  }
  if (asked(kHotNextDebugMode) && application != nullptr) ++application->debugCounter;
  if (asked(kHotToggleFreeCamera) && application != nullptr) {
    application->ToggleFreeCamera(!application->IsActiveCamera(application->GetEngineCamera().name));
  }
  if (asked(kHotFaster)) Clock::Instance().AdjustScale(kTimeScaleStep);
  if (asked(kHotSlower)) Clock::Instance().AdjustScale(-kTimeScaleStep);
  if (asked(kHotResetCamera) && application != nullptr) {
    application->GetEngineCamera().SetPosition(Vector3(0.0f, 0.0f, 0.0f));
  }
  if (asked(kHotTogglePause)) {
    Profiler& profiler = Profiler::Instance();
    profiler.ToggleFrozen();
    Clock::Instance().SetPaused(profiler.IsFrozen());
  }
  if (tools != nullptr) {
    if (asked(kHotToggleHelp) && tools->GetHelpWindow() != nullptr) toggleShown(tools->GetHelpWindow()->GetId());
    if (asked(kHotToggleConsole) && tools->GetConsoleWindow() != nullptr) {
      toggleShown(tools->GetConsoleWindow()->GetId());
    }
  }
  if (asked(kHotToggleToolLibrary)) ToggleToolLibrary();
}
