#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/app/EngineDirectory.h"
#include "engine/app/GEMApplication.h"
#include "engine/app/HotKeys.h"
#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/Profiler.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/gui/ConsoleInputBox.h"
#include "engine/runtime/console/VariableRegistry.h"
#include "engine/runtime/display/Display.h"
#include "platform/KeyCodes.h"

namespace {

std::string CurrentSection() {
  const ProfileSection* section = Profiler::Instance().GetCurrentSection();
  return section != nullptr ? section->name.Chars() : "";
}

// Runs the application until it stands in its queued state.
void RunIntoDefault(CGEMApplication& application) {
  for (int frame = 1; frame <= 9; ++frame) application.Frame(false);
}

TEST(GEMFrame, StepsRunInOrderInsideTheirProfilerSections) {
  Profiler::Instance().SetEnabled(true);
  CGEMApplication application;
  std::vector<std::pair<std::string, std::string>> seen;
  auto record = [&](const char* step) { return [&seen, step] { seen.emplace_back(step, CurrentSection()); }; };
  GEMFrameSteps& steps = application.FrameSteps();
  steps.rebuildDisplay = record("rebuildDisplay");
  steps.subSystems = record("subSystems");
  steps.beginDisplay = record("beginDisplay");
  steps.maintainEngine = record("maintainEngine");
  steps.updateWindows = record("updateWindows");
  steps.renderScene = record("renderScene");
  steps.endDisplay = record("endDisplay");
  application.SetPreSceneCallback([&](int32_t) {
    seen.emplace_back("preScene", CurrentSection());
    return 0;
  });
  application.SetSceneCallback([&](int32_t) {
    seen.emplace_back("scene", CurrentSection());
    return 0;
  });
  application.SetHUDCallback([&](int32_t) {
    seen.emplace_back("hud", CurrentSection());
    return 0;
  });
  application.Frame(false);

  const std::vector<std::pair<std::string, std::string>> expected = {{"rebuildDisplay", "Application"},
                                                                     {"subSystems", "SubSystems"},
                                                                     {"beginDisplay", "Application"},
                                                                     {"maintainEngine", "MaintainEngine"},
                                                                     {"updateWindows", "MaintainEngine"},
                                                                     {"preScene", "RenderScene"},
                                                                     {"scene", "RenderScene"},
                                                                     {"renderScene", "RenderScene"},
                                                                     {"hud", "RenderHUD"},
                                                                     {"endDisplay", ""}};
  EXPECT_EQ(seen, expected);

  // The update sections nest inside MaintainEngine, which nests inside Application.
  Profiler& profiler = Profiler::Instance();
  auto parentName = [&](const char* name) -> std::string {
    for (int i = 0; i < profiler.GetSectionCount(); ++i) {
      const ProfileSection* section = profiler.GetSection(i);
      if (section->name == name && section->parent >= 0) return profiler.GetSection(section->parent)->name.Chars();
    }
    return "";
  };
  for (const char* name : {"UpdateGEO", "UpdateSCN", "UpdateMAT", "RenderScene", "RenderHUD", "UpdateMSG"}) {
    EXPECT_EQ(parentName(name), "MaintainEngine") << name;
  }
  EXPECT_EQ(parentName("MaintainEngine"), "Application");
  EXPECT_EQ(parentName("SubSystems"), "Application");
}

TEST(GEMFrame, QuitRunsOnceAndNothingDrawsAfterItInTheSameFrame) {
  CGEMApplication application;
  int quits = 0, draws = 0, presents = 0;
  application.SetQuitHook([&] { ++quits; });
  application.FrameSteps().renderScene = [&] { ++draws; };
  application.FrameSteps().endDisplay = [&] { ++presents; };
  RunIntoDefault(application);
  ASSERT_EQ(draws, 9);
  EXPECT_EQ(application.Frame(true), 1);
  EXPECT_EQ(application.Frame(true), 1);
  application.Quit();
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(draws, 9);
  EXPECT_EQ(presents, 9);
}

TEST(GEMFrame, CamerasAreFoundByNameAndPosition) {
  CGEMApplication application;
  Camera& engine = application.GetEngineCamera();
  Camera other;
  other.name = "Game.Camera";
  ASSERT_TRUE(application.AddCamera(&other));
  EXPECT_FALSE(application.AddCamera(nullptr));

  EXPECT_EQ(application.GetCamera(0), &engine);
  EXPECT_EQ(application.GetCamera(1), &other);
  EXPECT_EQ(application.GetCamera(2), nullptr);
  EXPECT_EQ(application.GetCamera(-1), nullptr);
  EXPECT_EQ(application.FindCamera("Game.Camera"), &other);
  EXPECT_EQ(application.FindCamera("Game.Camer"), nullptr);
  EXPECT_EQ(application.GetActiveCamera(), nullptr);  // finding does not select

  ASSERT_TRUE(application.FindNamedObject("GEM.Camera"));
  ASSERT_TRUE(application.FindNamedObject("Game.Camera"));
  EXPECT_TRUE(application.IsCurrentCamera(&other));
  EXPECT_TRUE(application.IsActiveCamera("Game.Camera"));
  EXPECT_EQ(engine.IsActive(), 0);
  EXPECT_EQ(other.IsActive(), 1);
  EXPECT_FALSE(application.FindNamedObject("Nobody"));
  EXPECT_TRUE(application.IsCurrentCamera(&other));
}

TEST(GEMFrame, ControllerTableHoldsTenAndTheActiveOneRunsWithTheHotKeys) {
  CGEMApplication application;  // holds "GEM.Camera" already
  int calls = 0;
  for (int i = 1; i < 10; ++i) {
    EXPECT_TRUE(application.AddController(("C" + std::to_string(i)).c_str(), [&](int32_t) {
      ++calls;
      return 0;
    }));
  }
  EXPECT_FALSE(application.AddController("C10", [](int32_t) { return 0; }));
  EXPECT_FALSE(application.SelectController("C10"));
  EXPECT_EQ(application.GetActiveControllerIndex(), 0);
  ASSERT_TRUE(application.SelectController("C3"));
  application.RunActiveController();
  EXPECT_EQ(calls, 1);
}

TEST(GEMFrame, FreeCameraTakesOverAndGivesBackThePreviousCamera) {
  CGEMApplication application;
  Camera game;
  game.name = "Game.Camera";
  application.AddCamera(&game);
  application.AddController("Game", [](int32_t) { return 0; });
  application.FindNamedObject("Game.Camera");
  application.SelectController("Game");

  // Turning it off while the engine camera was never left changes nothing.
  application.ToggleFreeCamera(true);
  EXPECT_TRUE(application.IsActiveCamera("GEM.Camera"));
  EXPECT_EQ(application.GetActiveControllerIndex(), 0);
  EXPECT_EQ(application.GetEngineCamera().freeFly, 1);

  CarryOutHotKeys(kHotToggleFreeCamera, {.application = &application});
  EXPECT_TRUE(application.IsActiveCamera("Game.Camera"));
  EXPECT_EQ(application.GetActiveControllerIndex(), 1);
  EXPECT_EQ(application.GetEngineCamera().freeFly, 0);

  CarryOutHotKeys(kHotToggleFreeCamera, {.application = &application});
  EXPECT_TRUE(application.IsActiveCamera("GEM.Camera"));
  application.FindNamedObject("GEM.Camera");  // previous is now the engine camera itself
  application.ToggleFreeCamera(false);
  EXPECT_TRUE(application.IsActiveCamera("GEM.Camera"));
  EXPECT_EQ(application.GetEngineCamera().freeFly, 1);
}

uint16_t gKeys[256];
uint16_t ReadKeys(const void*, uint8_t code) { return gKeys[code]; }

TEST(GEMFrame, FreeCameraControlNeedsMouseActiveCameraAndFreeFly) {
  struct Case {
    const char* name;
    bool mouse;
    bool developerWindow;
    uint8_t freeFly;
    bool resets;
  };
  const Case cases[] = {{"all present", true, false, 1, true},
                        {"no mouse", false, false, 1, false},
                        {"developer window shown", true, true, 1, false},
                        {"free fly off", true, false, 0, false}};
  for (const Case& c : cases) {
    CGEMApplication application;
    application.ToggleFreeCamera(true);
    application.SetFreeFlyFlag(c.freeFly);
    Camera& camera = application.GetEngineCamera();
    camera.SetPosition(Vector3(5.0f, 0.0f, 0.0f));
    std::fill(std::begin(gKeys), std::end(gKeys), 0);
    gKeys[platform::key::Home] = 1;
    CGEMApplication::FreeCameraInput& in = application.FreeCameraInputs();
    in.readKey = &ReadKeys;
    in.mousePresent = c.mouse;
    in.developerWindowShown = c.developerWindow;
    EXPECT_EQ(application.FreeCameraControl(), 0);
    EXPECT_EQ(camera.GetPosition().x, c.resets ? 0.0f : 5.0f) << c.name;
  }
}

TEST(GEMFrame, HotKeysStepDebugModeTimeScaleAndPause) {
  CGEMApplication application;
  Clock& clock = Clock::Instance();
  const float scale = clock.GetTimeScale();
  application.debugCounter = 255;
  CarryOutHotKeys(kHotNextDebugMode, {.application = &application});
  EXPECT_EQ(application.debugCounter, 0);
  CarryOutHotKeys(kHotFaster, {.application = &application});
  EXPECT_FLOAT_EQ(clock.GetTimeScale(), scale + 0.0125f);
  CarryOutHotKeys(kHotSlower, {.application = &application});
  EXPECT_FLOAT_EQ(clock.GetTimeScale(), scale);
  const bool frozen = Profiler::Instance().IsFrozen();
  CarryOutHotKeys(kHotTogglePause, {.application = &application});
  EXPECT_EQ(Profiler::Instance().IsFrozen(), !frozen);
  EXPECT_EQ(clock.IsPaused(), !frozen);
  CarryOutHotKeys(kHotTogglePause, {.application = &application});
  EXPECT_EQ(clock.IsPaused(), frozen);
}

TEST(GEMFrame, HotKeysReachTheDisplayAndTheApplicationTheyAreGiven) {
  // With nothing to reach, the actions that need a part are skipped.
  CarryOutHotKeys(kHotToggleFullscreen | kHotShutdown | kHotShowDeveloperWindow | kHotNextDebugMode |
                      kHotToggleFreeCamera | kHotResetCamera | kHotToggleHelp | kHotToggleConsole,
                  HotKeyReach{});

  CGEMApplication application;
  RunIntoDefault(application);
  CDisplay display;
  display.ClearState(CDisplay::kFullscreen | CDisplay::kChangePending);
  CarryOutHotKeys(kHotToggleFullscreen | kHotShutdown, {&display, &application});
  EXPECT_TRUE(display.HasState(CDisplay::kFullscreen | CDisplay::kChangePending));
  EXPECT_TRUE(application.HasQuit());
}

TEST(GEMFrame, InitialiseFillsTheDirectoryAndBindsTheCdsSwitch) {
  {
    CGEMApplication application;
    ASSERT_NE(GetEngineDirectory(), nullptr);
    EXPECT_EQ(GetEngineDirectory()[kDirApplication], &application);
    EXPECT_EQ(CreateEngineDirectory(), GetEngineDirectory());
    ASSERT_TRUE(application.Initialise(GEMServices{}));
    void** directory = GetEngineDirectory();
    for (uint32_t entry : {kDirCommandRegistry, kDirVariableRegistry, kDirFSMRegistry, kDirSceneRoot, kDirMSGSystem,
                           kDirTextureManager, kDirMaterialManager, kDirModelManager, kDirGUIMSGService}) {
      EXPECT_NE(directory[entry], nullptr) << entry;
    }
    EXPECT_EQ(directory[kDirUnused], nullptr);
    EXPECT_TRUE(application.IsActiveCamera("GEM.Camera"));

    CConsoleVariable* cds = CVariableRegistry::Get()->Find("gem:cds:show");
    ASSERT_NE(cds, nullptr);
    EXPECT_EQ(cds->GetHelp(), "[0 / 1] Toggles CDS containment rendering");
    cds->FromString("1");
    EXPECT_EQ(application.options.cdsDrawing, 1);
  }
  // A destroyed application is no longer reachable through the directory.
  EXPECT_EQ(GetEngineDirectory()[kDirApplication], nullptr);
}

}  // namespace

namespace {

// The collision drawing switch is a bool: the console sets it with 1, 0,
// true or false in any case, leaves it for any other word, and lists it as
// true or false.
TEST(GEMFrame, TheCdsSwitchIsABoolTheConsoleSetsAndLists) {
  CGEMApplication application;
  ASSERT_TRUE(application.Initialise(GEMServices{}));
  RunIntoDefault(application);
  ConsoleInputBox box;
  auto submit = [&box](const char* line) {
    box.text = line;
    box.submitted = 1;
    box.SubmitPending();
  };
  struct Case {
    const char* line;
    uint8_t value;
    const char* listed;
  } cases[] = {
      {"gem:cds:show = true", 1, "true"}, {"gem:cds:show = FALSE", 0, "false"}, {"gem:cds:show = 1", 1, "true"},
      {"gem:cds:show = yes", 1, "true"},  {"gem:cds:show = 0", 0, "false"},     {"gem:cds:show = True", 1, "true"},
      {"gem:cds:show = 2", 1, "true"},
  };
  LogCapture log(kLogGEM);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    submit(c.line);
    EXPECT_EQ(application.options.cdsDrawing, c.value);
    ClearLogLines(kLogGEM);
    submit("LIST VARIABLES");
    EXPECT_TRUE(log.Has(std::string("{gem:cds:show} = ") + c.listed + " : [0 / 1] Toggles CDS containment rendering"))
        << ::testing::PrintToString(log.Lines());
  }
}

TEST(GEMFrame, TheSceneUpdatesFromItsRootSoCamerasMoveWhereTheyArePut) {
  CGEMApplication application;
  Camera& camera = application.GetEngineCamera();
  camera.SetPosition(Vector3(5.0f, 6.0f, 7.0f));
  application.Frame(false);
  const Vector3 placed = camera.node.local.GetTranslation();
  EXPECT_FLOAT_EQ(placed.x, 5.0f);
  EXPECT_FLOAT_EQ(placed.y, 6.0f);
  EXPECT_FLOAT_EQ(placed.z, 7.0f);
}

}  // namespace
