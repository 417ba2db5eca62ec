#include "engine/app/EngineRun.h"

#include <strings.h>

#include <ctime>
#include <memory>
#include <sstream>

#include "engine/app/DisplayLossSaving.h"
#include "engine/app/DisplayRebuild.h"
#include "engine/app/GEMApplication.h"
#include "engine/app/HotKeys.h"
#include "engine/app/InputMessages.h"
#include "engine/app/ToolLibrary.h"
#include "engine/app/WindowEvents.h"
#include "engine/app/WindowFallback.h"
#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/gui/ConsoleInputBox.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/MouseCursor.h"
#include "engine/gui/TextBox.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/input/UIOManager.h"
#include "engine/runtime/input/UIOMouse.h"
#include "engine/runtime/settings/Settings.h"
#include "engine/runtime/sound/SFXManager.h"
#include "engine/scene/core/SceneDrawingHooks.h"
#include "engine/scene/model/ModelManager.h"
#include "engine/tools/DBGSystemWindow.h"
#include "platform/Random.h"
#include "platform/Time.h"

namespace {

// How long the loop rests at most while minimised before it looks again.
constexpr uint32_t kMinimisedWaitMs = 100;

void LogStep(const char* text) {
  LogDBG("/=");
  LogDBG("%s", text);
}

// Everything the frame reaches outside the application, for one run.
struct EngineParts {
  CDisplay* display = nullptr;
  CUIOManager* input = nullptr;
  CSFXManager* sound = nullptr;
  CSettings* settings = nullptr;
  CGEMApplication* application = nullptr;
  RunFlags* flags = nullptr;
  InputTargets targets;
  EngineRunOptions* options = nullptr;
  WindowFallback* windowFallback = nullptr;
  // The window could not be made again after a display change.
  bool displayFailed = false;
};

void RunSubSystems(EngineParts& parts) {
  C3MEManager::Instance().LoadResources();
  CMATManager::GetInstance()->ResolveTextures();
  if (parts.application->CanDraw()) CTEXManager::GetInstance()->LoadQueued(false);
  parts.sound->Update();
  if (parts.application->CanDraw()) GFXDisplay::RebuildFontLists();
}

void MaintainEngine(EngineParts& parts) {
  CUIOManager& input = *parts.input;
  CGEMApplication& application = *parts.application;
  CGEMApplication::FreeCameraInput& camera = application.FreeCameraInputs();
  camera = CGEMApplication::FreeCameraInput{};
  camera.developerWindowShown = application.developerWindow != nullptr && application.developerWindow->IsShown();

  CUIOMouse* mouse = input.GetMouse() ? input.GetMouse() : input.CreateMouse();
  MouseCursor* cursor = GetMouseCursor();
  if (mouse != nullptr && mouse->Poll()) {
    const int buttons[3] = {mouse->GetLeft(), mouse->GetMiddle(), mouse->GetRight()};
    PostMouseMessages(parts.targets, buttons, mouse->GetRawWheel(), cursor->motion.x, cursor->motion.y);
    camera.mousePresent = true;
    camera.mouseMotion[0] = mouse->GetRawY();
    camera.mouseMotion[1] = mouse->GetRawX();
    camera.mouseMotion[2] = mouse->GetRawWheel();
  }
  CUIOKeyboard* keyboard = input.GetKeyboard() ? input.GetKeyboard() : input.CreateKeyboard();
  uint32_t actions = 0;
  if (keyboard != nullptr && keyboard->Poll(Clock::Instance().GetGameDelta())) {
    HotKeySwitches switches;
    switches.escapeQuits = application.options.escapeQuits != 0;
    switches.developerKeys = application.options.developerKeys != 0;
    switches.developerWindowExists = application.developerWindow != nullptr;
    // The element the keys reach before this poll's keys move anything.
    const GUIObject* keyTarget = GetWindowManager()->GetKeyTarget();
    const auto* typingBox = dynamic_cast<const TextBox*>(keyTarget);
    switches.typing = typingBox != nullptr && typingBox->editable;
    switches.consoleTyping = switches.typing && application.developerWindow != nullptr &&
                             keyTarget == application.developerWindow->GetPromptBox();
    actions = PostKeyboardPoll(parts.targets, *keyboard, switches);
    camera.readKey = &ReadKeyState;
    camera.keyboard = keyboard;
  }
  // The pad is never created here; a pad the game opened is read like the others.
  if (CUIOJoystick* pad = input.GetJoystick()) {
    if (!pad->IsAcquired()) {
      pad->CheckLost();
    } else if (pad->Poll(Clock::Instance().GetGameDelta())) {
      PadSnapshot snapshot;
      for (int i = 0; i < 6; ++i) snapshot.buttons[i] = pad->GetButtonState(i);
      for (int i = 0; i < 4; ++i) snapshot.directions[i] = pad->GetDirectionState(i);
      snapshot.buttonRepeat = pad->HasButtonRepeat();
      snapshot.directionRepeat = pad->HasDirectionRepeat();
      PostPadMessages(parts.targets, snapshot);
    }
  }
  if (mouse != nullptr) cursor->SetPosition(mouse->GetX(), mouse->GetY());
  CarryOutHotKeys(actions, HotKeyReach{parts.display, &application});
  application.RunActiveController();
}

// The loop's handling of one window event, beyond the run flags.
void HandleEngineEvent(const platform::Event& event, EngineParts& parts, CSettings& settings) {
  HandleWindowEvent(event, *parts.flags, parts.display, &settings);
  if (event.type == platform::EventType::MouseMoved) {
    if (CUIOMouse* mouse = parts.input->GetMouse()) mouse->SetPosition(event.x, event.y);
  } else if (event.type == platform::EventType::Resized) {
    GetMouseCursor()->SetScale(event.width, event.height);
  }
}

void InstallFrameSteps(EngineParts& parts) {
  GEMFrameSteps& steps = parts.application->FrameSteps();
  steps.rebuildDisplay = [&parts] {
    switch (RebuildDisplay(*parts.display, *parts.application)) {
      case DisplayRebuild::kRebuilt: {
        parts.input->Reinit(parts.options->makeInputSources());
        // A mode the display could not make gave the default window: the
        // game plays on in it.
        CDisplay::RefusedWindow refused;
        if (parts.display->TakeRefusedWindow(&refused)) parts.windowFallback->Report(refused, false);
        break;
      }
      case DisplayRebuild::kFailed:
        // Nothing can be shown or read any more (the message box said why):
        // the program quits as if asked to, and reports the failure.
        parts.displayFailed = true;
        parts.application->Quit();
        break;
      case DisplayRebuild::kNone:
        break;
    }
  };
  steps.subSystems = [&parts] { RunSubSystems(parts); };
  // A minimised window runs only the frames a quit needs, and they draw nothing.
  steps.beginDisplay = [&parts] {
    if (!parts.flags->active) return;
    // A window can come out, or be made by the system, at another size than
    // asked for: the frame is drawn for the size it has.
    if (parts.display->FollowWindowSize()) {
      GetMouseCursor()->SetScale(parts.display->GetWidth(), parts.display->GetHeight());
    }
    parts.display->BeginFrame();
  };
  steps.maintainEngine = [&parts] { MaintainEngine(parts); };
  steps.updateWindows = [] { GetWindowManager()->UpdateWindows(); };
  steps.renderScene = [&parts] {
    if (parts.flags->active && parts.options->drawFrame) parts.options->drawFrame();
  };
  steps.endDisplay = [&parts] {
    if (parts.flags->active) parts.display->Present();
  };
}

}  // namespace

bool HasCommandLineFlag(const std::string& commandLine, const char* flag) {
  std::istringstream words(commandLine);
  std::string word;
  while (words >> word) {
    if (word.size() > 1 && (word[0] == '-' || word[0] == '/') && strcasecmp(word.c_str() + 1, flag) == 0) return true;
  }
  return false;
}

int EngineRun(EngineRunOptions options) {
  // A closed terminal ends the run as a quit does, from the first step on.
  platform::TreatHangUpAsQuit();
  // "-dev" is for the developer: the terminal shows every line, from the
  // first. Without it the terminal is the player's (warnings and errors).
  const bool developer = HasCommandLineFlag(options.commandLine, "dev");
  // What was logged before the switch was read (the settings' dump) comes first.
  const bool showEarlierLines = developer && !platform::TerminalShowsEveryLine();
  platform::SetTerminalShowsEveryLine(developer);
  if (showEarlierLines) Log::ShowMainChannelSoFar();
  LogStep("Checking for CLI arguments...");
  // The program-wide services: what the game and the GUI reach through their
  // getters is what the run loads, polls and plays.
  CSettings& settings = *GetSettings();
  // This run's command line only (a process may run the engine more than once).
  settings.ClearArguments();
  settings.ParseCommandLine(options.commandLine.c_str());

  if (!options.application) options.application = std::make_unique<CGEMApplication>();
  CGEMApplication* application = options.application.get();
  // "-dev" opens the developer tools; without it the application's own
  // choice (the game switches them off) stands.
  if (developer) {
    application->options.developerKeys = 1;
    application->options.createDeveloperWindow = 1;
  }

  LogStep("Creating display...");
  DisplayLossSaving savingOnDisplayLoss(application, &settings);
  CDisplay* display = GetDisplay();
  GFXDisplay::InstallHooks();
  InstallSceneDrawingHooks();
  LogStep("Initialising OpenGL...");
  WindowFallback windowFallback(settings);
  if (!windowFallback.OpenFirstWindow(*display)) return 1;
  GetMouseCursor()->SetScale(display->GetWidth(), display->GetHeight());

  LogStep("Creating UIO Manager...");
  CUIOManager& input = *GetUIOManager();
  input.Init(options.makeInputSources());

  LogStep("Creating SFX Manager...");
  CSFXManager& sound = *GetSFXManager();
  sound.Init(24);

  RunFlags flags;
  EngineParts parts;
  parts.display = display;
  parts.input = &input;
  parts.sound = &sound;
  parts.settings = &settings;
  parts.application = application;
  parts.flags = &flags;
  parts.options = &options;
  parts.windowFallback = &windowFallback;
  parts.targets.application = application->GetGEMReceiverId();
  parts.targets.windowManager = GetWindowManager()->GetGUIReceiverId();

  LogStep("Initialising Vyre...");
  GEMServices services;
  services.display = display;
  services.input = &input;
  services.sound = &sound;
  services.settings = &settings;
  application->Initialise(services);
  application->ApplyStoredDisplayState();

  LogStep("Initialising random seed...");
  platform::SeedRandom(static_cast<uint32_t>(std::time(nullptr)));

  LoadToolLibrary(display->GetWindow());
  InstallFrameSteps(parts);

  LogStep("Entering frame loop...");
  uint8_t exitFlag = 0;
  bool suspended = false;
  while (!ShouldLeaveLoop(exitFlag)) {
    platform::Event event;
    bool quitEvent = false;
    while (options.pollEvent && options.pollEvent(&event)) {
      HandleEngineEvent(event, parts, settings);
      quitEvent =
          quitEvent || event.type == platform::EventType::Quit || event.type == platform::EventType::WindowClose;
    }
    // Closing the window or the system's request to end quits at once, in
    // any state; the loop ends with the frame that reports the exit flag.
    if (quitEvent) application->Quit();
    // Minimised, the game stands still: no frame runs, the clock does not
    // count the time away and the sound holds. A quit still gets the frames
    // it needs (the game records its result on the way out).
    if (!flags.active && !flags.quit && !application->HasQuit()) {
      if (!suspended) {
        suspended = true;
        Clock::Instance().Suspend();
        sound.Suspend();
      }
      if (options.waitForEvent) {
        options.waitForEvent(kMinimisedWaitMs);
      } else {
        platform::SleepMs(kMinimisedWaitMs);
      }
      continue;
    }
    if (suspended) {
      suspended = false;
      Clock::Instance().Resume();
      sound.Resume();
    }
    exitFlag = application->Frame(flags.quit);
  }
  LogStep("Exited frame loop.");
  UnloadToolLibrary();
  flags.quit = true;

  LogStep("Shutting down Vyre...");
  if (settings.modified) windowFallback.ReportSave(settings.Save(true));
  savingOnDisplayLoss.ReportOnly();
  LogDBG("/=");
  // The application goes first, while everything its states and windows
  // point into (models, materials, textures, fonts, sound, input) still lives.
  application->FrameSteps() = GEMFrameSteps{};
  options.application.reset();
  // Then what the run started, in reverse order; the services stay ready for
  // another run, and their static destructors find nothing left to do.
  sound.Shutdown();
  input.Release();
  // Everything holding GL names goes while the context still exists.
  C3MEManager::Shutdown();
  CMATManager::DestroyInstance();
  // The cursor outlives the run; its picture does not.
  GetMouseCursor()->ForgetMaterials();
  CTEXManager::DestroyInstance();
  GFXDisplay::DeleteAllFonts();
  GFXDisplay::ForgetBindings();
  GFXDisplay::SetDefaultMaterial(nullptr);
  display->KillGLWindow();
  return parts.displayFailed ? 1 : 0;
}
