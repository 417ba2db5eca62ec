#include "engine/app/EngineRun.h"

#include "engine/app/DisplayChange.h"
#include "engine/app/GEMApplication.h"
#include "engine/app/HotKeys.h"
#include "engine/app/InputMessages.h"
#include "engine/app/WindowEvents.h"
#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/scene/ModelManager.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/input/UIOManager.h"
#include "engine/runtime/input/UIOMouse.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/settings/Settings.h"
#include "engine/runtime/sound/SFXManager.h"
#include "platform/DynamicLibrary.h"
#include "platform/Random.h"
#include "platform/Time.h"

#include <ctime>
#include <memory>

namespace {

void LogStep(const char* text) {
  LogDBG("/=");
  LogDBG("%s", text);
}

uint16_t ReadKeyboard(const void* keyboard, uint8_t code) {
  return static_cast<const CUIOKeyboard*>(keyboard)->GetKeyState(code);
}

}  // namespace

int EngineRun(const EngineRunOptions& options) {
  LogStep("Checking for CLI arguments...");
  CSettings settings;
  settings.SetTitle(options.title.c_str());
  settings.modified = false;
  settings.Load(true);
  settings.ParseCommandLine(options.commandLine.c_str());

  LogStep("Creating display...");
  auto display = std::make_unique<CDisplay>();
  display->Configure(settings.GetTitle(), settings.width, settings.height, settings.depth,
                     settings.fullscreen);
  LogStep("Initialising OpenGL...");
  if (!display->CreateGLWindow()) return 1;

  LogStep("Creating UIO Manager...");
  CUIOManager input;
  input.Init(MakeSdlInputSources());

  LogStep("Creating SFX Manager...");
  CSFXManager sound;
  sound.Init(16);

  CGEMApplication application;
  RunFlags flags;
  InputTargets targets;
  targets.application = application.GetGEMReceiverId();
  uint8_t exitFlag = 0;

  LogStep("Initialising Vyre...");
  application.Initialise(GEMServices{display.get(), &input, &sound});

  LogStep("Initialising random seed...");
  platform::SeedRandom(static_cast<uint32_t>(std::time(nullptr)));

  LogStep("Connecting to toolbridge.dll ...");
  platform::DynamicLibrary* tools = platform::LoadDynamicLibrary("toolbridge.so");
  if (tools == nullptr) LogDBG("... none found.");

  GEMFrameSteps& steps = application.FrameSteps();
  steps.rebuildDisplay = [&] {
    if (!display->HasState(CDisplay::kChangePending)) return;
    display->Recreate();
    input.Reinit(MakeSdlInputSources());
    // The new context holds no textures: they load again from their files.
    CTEXManager::GetInstance()->UnloadAll();
  };
  steps.subSystems = [&] {
    C3MEManager::Instance().Update();
    CMATManager::GetInstance()->ResolveTextures();
    CTEXManager::GetInstance()->LoadQueued(false);
    sound.Update();
  };
  // A minimised window still runs frames (so a quit gets through) but draws nothing.
  steps.beginDisplay = [&] {
    if (flags.active) display->BeginFrame();
  };
  steps.maintainEngine = [&] {
    CUIOKeyboard* keyboard = input.GetKeyboard() ? input.GetKeyboard() : input.CreateKeyboard();
    CGEMApplication::FreeCameraInput& camera = application.FreeCameraInputs();
    camera.readKey = nullptr;
    camera.keyboard = nullptr;
    camera.mousePresent = false;
    CUIOMouse* mouse = input.GetMouse() ? input.GetMouse() : input.CreateMouse();
    if (mouse != nullptr && mouse->Poll()) {
      const int buttons[3] = {mouse->GetLeft(), mouse->GetMiddle(), mouse->GetRight()};
      PostMouseMessages(targets, buttons, mouse->GetRawWheel(), static_cast<float>(mouse->GetRawX()),
                        static_cast<float>(mouse->GetRawY()));
      camera.mousePresent = true;
      camera.mouseMotion[0] = mouse->GetRawY();
      camera.mouseMotion[1] = mouse->GetRawX();
      camera.mouseMotion[2] = mouse->GetRawWheel();
    }
    uint32_t actions = 0;
    if (keyboard != nullptr && keyboard->Poll(Clock::Instance().GetGameDelta())) {
      KeyLists keys{keyboard->GetPressed(),  keyboard->GetPressedCount(),
                    keyboard->GetRepeated(), keyboard->GetRepeatedCount(),
                    keyboard->GetReleased(), keyboard->GetReleasedCount()};
      PostKeyMessages(targets, keys);
      HotKeySwitches switches;
      switches.escapeQuits = application.options.escapeQuits != 0;
      switches.developerKeys = application.options.developerKeys != 0;
      actions = DecideHotKeys(&ReadKeyboard, keyboard, switches);
      camera.readKey = &ReadKeyboard;
      camera.keyboard = keyboard;
    }
    if (actions & kHotToggleFullscreen) ToggleFullscreen(*display);
    if (actions & kHotShutdown) flags.quit = true;
    if (actions & kHotReloadTextures) CTEXManager::GetInstance()->UnloadAll();
    if (actions & kHotReloadModels) C3MEManager::Instance().ReloadModels();
    application.ApplyHotKeys(actions);
  };
  steps.renderScene = [&] {
    if (flags.active && options.drawFrame) options.drawFrame();
  };
  steps.endDisplay = [&] {
    if (flags.active) display->Present();
  };

  LogStep("Entering frame loop...");
  while (!ShouldLeaveLoop(exitFlag)) {
    platform::Event event;
    while (options.pollEvent && options.pollEvent(&event)) {
      HandleWindowEvent(event, flags, display.get(), &settings);
    }
    if (!flags.active) {
      // Minimised: nothing to draw, so give the processor back; a quit still
      // reaches the application and ends the loop.
      exitFlag = application.Frame(flags.quit);
      platform::SleepMs(10);
      continue;
    }
    exitFlag = application.Frame(flags.quit);
  }
  LogStep("Exited frame loop.");

  LogStep("Shutting down Vyre...");
  if (settings.modified) settings.Save(true);
  platform::UnloadDynamicLibrary(tools);
  sound.Shutdown();
  input.Release();
  display->KillGLWindow();
  return 0;
}
