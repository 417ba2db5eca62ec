#include "engine/app/EngineRun.h"

#include "engine/app/DisplayChange.h"
#include "engine/app/GEMApplication.h"
#include "engine/app/HotKeys.h"
#include "engine/app/InputMessages.h"
#include "engine/app/WindowEvents.h"
#include "engine/foundation/Log.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/input/UIOManager.h"
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
  LogStep("Initialising Vyre...");
  RegisterGEMMessageNames();
  RegisterGEOMessageNames();
  RegisterGUIMessageNames();

  LogStep("Initialising random seed...");
  platform::SeedRandom(static_cast<uint32_t>(std::time(nullptr)));

  LogStep("Connecting to toolbridge.dll ...");
  platform::DynamicLibrary* tools = platform::LoadDynamicLibrary("toolbridge.so");
  if (tools == nullptr) LogDBG("... none found.");

  LogStep("Entering frame loop...");
  RunFlags flags;
  InputTargets targets;
  targets.application = application.GetGEMReceiverId();
  uint8_t exitFlag = 0;
  while (!ShouldLeaveLoop(exitFlag)) {
    platform::Event event;
    while (options.pollEvent && options.pollEvent(&event)) {
      HandleWindowEvent(event, flags, display.get());
    }
    if (display->HasState(CDisplay::kChangePending)) {
      display->Recreate();
      input.Reinit(MakeSdlInputSources());
    }
    if (CUIOKeyboard* keyboard = input.GetKeyboard() ? input.GetKeyboard() : input.CreateKeyboard()) {
      if (keyboard->Poll(1.0f / 60.0f)) {
        KeyLists keys{keyboard->GetPressed(),  keyboard->GetPressedCount(),
                      keyboard->GetRepeated(), keyboard->GetRepeatedCount(),
                      keyboard->GetReleased(), keyboard->GetReleasedCount()};
        PostKeyMessages(targets, keys);
        const uint32_t actions = DecideHotKeys(&ReadKeyboard, keyboard, HotKeySwitches{});
        if (actions & kHotShutdown) flags.quit = true;
        if (actions & kHotToggleFullscreen) ToggleFullscreen(*display);
      }
    }
    if (!flags.active) {
      // Minimised: nothing to draw, so give the processor back; a quit still
      // reaches the application and ends the loop.
      exitFlag = application.Frame(flags.quit);
      platform::SleepMs(10);
      continue;
    }
    display->BeginFrame();
    exitFlag = application.Frame(flags.quit);
    if (options.drawFrame) options.drawFrame();
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
