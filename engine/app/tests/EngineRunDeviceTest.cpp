#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "content/kit/DefaultData.h"
#include "content/kit/Image.h"
#include "content/kit/PngWriter.h"
#include "engine/app/EngineRun.h"
#include "engine/app/GEMApplication.h"
#include "engine/app/HotKeys.h"
#include "engine/app/PrepareSettings.h"
#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/RenderState.h"
#include "engine/graphics/TextureManager.h"
#include "engine/gui/ConsoleInputBox.h"
#include "engine/gui/Icon.h"
#include "engine/gui/TextBox.h"
#include "engine/gui/Window.h"
#include "engine/runtime/console/CommandRegistry.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/input/UIOManager.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "engine/runtime/settings/Registry.h"
#include "engine/runtime/settings/Settings.h"
#include "engine/runtime/sound/SFXManager.h"
#include "engine/scene/core/Camera.h"
#include "engine/scene/core/SceneNode.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelDrawing.h"
#include "engine/scene/model/ModelManager.h"
#include "engine/scene/tests/support/SquareModel.h"
#include "engine/tools/ConsoleWindow.h"
#include "engine/tools/DBGSystemWindow.h"
#include "engine/tools/DebugToolbar.h"
#include "engine/tools/HelpWindow.h"
#include "platform/FileSystem.h"
#include "platform/KeyCodes.h"
#include "platform/null/ScriptedInputSources.h"

namespace {

namespace key = platform::key;

bool Contains(const std::string& line, const char* text) { return line.find(text) != std::string::npos; }

// Each text must appear in the lines, in this order.
void ExpectInOrder(const std::vector<std::string>& lines, std::initializer_list<const char*> texts) {
  size_t at = 0;
  for (const char* text : texts) {
    while (at < lines.size() && !Contains(lines[at], text)) ++at;
    EXPECT_LT(at, lines.size()) << "missing or out of order: " << text;
  }
}

// Window events handed out one per poll, in order; then the queue is empty.
std::function<bool(platform::Event*)> EventScript(std::vector<platform::Event> events) {
  auto next = std::make_shared<size_t>(0);
  return [events = std::move(events), next](platform::Event* event) {
    if (*next >= events.size()) return false;
    *event = events[(*next)++];
    return true;
  };
}

// Reads the presented 800 x 600 frame back and hands out a window close.
bool ReadBackAndClose(std::vector<uint8_t>* pixels, platform::Event* event) {
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels->data());
  event->type = platform::EventType::WindowClose;
  return true;
}

platform::Event WindowEvent(platform::EventType type, int width = 0, int height = 0) {
  platform::Event event;
  event.type = type;
  event.width = width;
  event.height = height;
  return event;
}

// Input from a scripted keyboard and mouse; the keyboard (and the mouse,
// when asked for) is handed out through the pointer each time the run asks
// for new sources.
std::function<UIOSources()> ScriptedInput(platform::ScriptedKeyboardSource** keyboard,
                                          platform::ScriptedMouseSource** mouse = nullptr) {
  return [keyboard, mouse] {
    UIOSources sources;
    auto scripted = std::make_unique<platform::ScriptedKeyboardSource>();
    *keyboard = scripted.get();
    sources.keyboard = std::move(scripted);
    auto scriptedMouse = std::make_unique<platform::ScriptedMouseSource>();
    if (mouse != nullptr) *mouse = scriptedMouse.get();
    sources.mouse = std::move(scriptedMouse);
    return sources;
  };
}

// Where the key presses of a run go, with the frame each arrived in.
std::vector<std::string>& Arrivals() {
  static std::vector<std::string> arrivals;
  return arrivals;
}

// A game-like application: its own state follows Create and quits on shutdown.
class ScriptedApplication : public CGEMApplication {
 public:
  ScriptedApplication() {
    play_.Set(this, "Play", nullptr, nullptr, &ScriptedApplication::OnPlayMessage, nullptr);
    SetNextState(&play_);
  }
  ~ScriptedApplication() override { Arrivals().push_back("deleted after " + std::to_string(GetFrameCount())); }

 private:
  void OnPlayMessage(CMSGMessage* message) {
    if (message->id == eMSG_UIOKEYDOWN) Arrivals().push_back("application " + std::to_string(GetFrameCount()));
    if (message->id == eMSG_Shutdown) {
      Quit();
      message->handled |= 1;
    }
  }
  FsmStateOf<ScriptedApplication> play_;
};

class ListeningWindow : public Window {
 public:
  void OnMessage(CMSGMessage* message) override {
    if (message->id == eMSG_UIOKEYDOWN) Arrivals().push_back("window " + std::to_string(frame));
    Window::OnMessage(message);
  }
  uint32_t frame = 0;
};

// Runs in a folder of its own, with a user folder of its own below it (not
// made yet) where the layout and settings files land. The settings are
// prepared as the program's entry point prepares them.
class EngineRunDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
    UseFreshFolders();
  }
  void TearDown() override { ASSERT_EQ(chdir(previous_), 0); }

  void UseFreshFolders() {
    char pattern[] = "/tmp/vyre-engine-run-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    user_ = folder_ + "/user";
    registry_ = folder_ + "/registry.reg";
    setenv("VYRE_REGISTRY", registry_.c_str(), 1);
    setenv("VYRE_USER_DIR", user_.c_str(), 1);
    ASSERT_EQ(chdir(folder_.c_str()), 0);
    PrepareSettings("Vyre");
  }

  std::string folder_;
  std::string user_;
  std::string registry_;
  char previous_[4096] = {};
};

bool FileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

TEST_F(EngineRunDevice, RunsTheTimelineDeliversKeysAndQuitsOnEscape) {
  EnableTestLogChannels();
  Arrivals().clear();
  auto owned = std::make_unique<ScriptedApplication>();
  ScriptedApplication& application = *owned;
  ListeningWindow window;
  platform::ScriptedKeyboardSource* keyboard = nullptr;

  EngineRunOptions options;
  options.application = std::move(owned);
  options.makeInputSources = ScriptedInput(&keyboard);
  options.pollEvent = [&](platform::Event*) {
    // Runs before each frame: a key goes down in frame 11, Escape in frame 14.
    const uint32_t next = application.GetFrameCount() + 1;
    window.frame = next;
    if (keyboard != nullptr) {
      keyboard->Set(key::K, next == 11);
      keyboard->Set(key::Escape, next == 14);
    }
    return false;
  };
  EXPECT_EQ(EngineRun(std::move(options)), 0);

  // Each press reaches the application's state, then the window, in its own
  // frame; the run deletes the application it was handed.
  EXPECT_EQ(Arrivals(), (std::vector<std::string>{"application 11", "window 11", "application 14", "window 14",
                                                  "deleted after 14"}));

  ExpectInOrder(LogLinesOf(kLogDBG),
                {"Checking for CLI arguments...", "Creating display...", "Initialising OpenGL...",
                 "Creating UIO Manager...", "Creating SFX Manager...", "Initialising Vyre...",
                 "Initialising random seed...", "Connecting to toolbridge.dll ...", "... none found.",
                 "Entering frame loop...", "Exited frame loop.", "Shutting down Vyre..."});
  ExpectInOrder(LogLinesOf(kLogFSM),
                {"Exit|'NULL'", "Enter|'[GEM] Create' ", "Exit|'[GEM] Create'", "Enter|'Play' ", "Next|'NULL'"});
  ExpectInOrder(LogLinesOf(kLogGEM), {"Entering Create state...", "Leaving Create state..."});
  EXPECT_TRUE(FileExists(user_ + "/Vyre/GUI.TXT")) << "the window layout is written at quit";
  EXPECT_FALSE(FileExists("Vyre")) << "the layout is the player's, not the run folder's";
}

// Runs a drawing with identity projection and model-view, both restored after.
template <class Draw>
void InIdentityView(Draw draw) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  draw();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

// Draws a white square of a registered model through display lists over the
// top left of the view (x 40..160, y 120..210 from the top), above the scene.
void DrawListedSquare(C3MEModel** model) {
  if (*model == nullptr) {
    C3MEManager& models = C3MEManager::Instance();
    *model = models.CreateModel("listed square");
    const float corners[4][2] = {{-0.9f, 0.3f}, {-0.6f, 0.3f}, {-0.9f, 0.6f}, {-0.6f, 0.6f}};
    BuildSquareModel(**model, corners, "plain", 0x140);
    (*model)->loadState = C3MEModel::kLoaded;
    --models.pending;
  }
  InIdentityView([&] {
    glClear(GL_DEPTH_BUFFER_BIT);
    GFXDisplay::SetRenderState(RenderFlag::SOLID | RenderFlag::DBLSIDED | RenderFlag::COMPILE3ME);
    GFXDisplay::DrawModel(*model);
  });
}

TEST_F(EngineRunDevice, TheDefaultDataShowsTheClearedFrameTheSceneAndText) {
  ASSERT_TRUE(MakeDefaultData(folder_, "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"));
  // The second run rebuilds the window in frame 10: textures, font lists,
  // model lists and render state must all come back in the new context.
  for (bool rebuild : {false, true}) {
    SCOPED_TRACE(rebuild ? "after a display rebuild" : "first window");
    std::vector<uint8_t> pixels(800 * 600 * 4);
    EngineRunOptions options;
    options.application = std::make_unique<CGEMApplication>();
    CGEMApplication& application = *options.application;
    C3MEModel* square = nullptr;
    bool compiledBeforeRebuild = false;
    options.drawFrame = [&] { DrawListedSquare(&square); };
    bool closed = false;
    options.pollEvent = [&](platform::Event* event) {
      if (rebuild && application.GetFrameCount() == 9) {
        compiledBeforeRebuild = square != nullptr && square->compiled;
        GetDisplay()->SetState(CDisplay::kChangePending);
      }
      // Frame 14 has been presented: read it back, then close the window.
      if (closed || application.GetFrameCount() != 14) return false;
      closed = true;
      return ReadBackAndClose(&pixels, event);
    };
    EXPECT_EQ(EngineRun(std::move(options)), 0);

    // Rows come bottom first; y counts down from the top of the HUD.
    auto at = [&](int x, int y) { return &pixels[(size_t(599 - y) * 800 + x) * 4]; };
    const uint8_t* corner = at(790, 10);
    EXPECT_EQ(corner[0], 0);
    EXPECT_EQ(corner[1], 0);
    EXPECT_NEAR(corner[2], 64, 1) << "the frame is cleared in the display's colour";
    // The web address beside the logos is written in the default font in white.
    int bright = 0;
    for (int y = 582; y < 598; ++y) {
      for (int x = 665; x < 800; ++x) bright += at(x, y)[0] > 150 && at(x, y)[2] > 150 ? 1 : 0;
    }
    EXPECT_GT(bright, 30);
    // The X axis crosses the middle of the view in red.
    int red = 0;
    for (int y = 0; y < 600; ++y) {
      for (int x = 0; x < 800; ++x) red += at(x, y)[0] > 200 && at(x, y)[1] < 60 ? 1 : 0;
    }
    EXPECT_GT(red, 100);
    // The model drawn through its display lists shows, after a rebuild too.
    if (rebuild) {
      EXPECT_TRUE(compiledBeforeRebuild);
    }
    const uint8_t* inSquare = at(100, 165);
    EXPECT_GT(inSquare[0], 240);
    EXPECT_GT(inSquare[1], 240);
    EXPECT_GT(inSquare[2], 240);
  }
}

// The renderer's unit-shape slot of the filled disc.
constexpr int kUnitDiscSlot = 7;

// Draws the renderer's unit disc (turned to face the view, three times its
// size) in white over the whole view and reads the middle pixel's red.
int UnitDiscRedAtTheMiddle() {
  InIdentityView([] {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GFXDisplay::SetRenderState(RenderFlag::SOLID | RenderFlag::DBLSIDED);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glScalef(3.0f, 3.0f, 3.0f);
    glCallList(GFX_GL::GetShapeList(kUnitDiscSlot));
  });
  uint8_t pixel[4] = {};
  glReadPixels(400, 300, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  return pixel[0];
}

TEST_F(EngineRunDevice, TheFirstRebuildOfARunGivesTheNewContextItsUnitShapes) {
  ASSERT_TRUE(MakeDefaultData(folder_, "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"));
  auto owned = std::make_unique<CGEMApplication>();
  CGEMApplication& application = *owned;
  int before = -1;
  int after = -1;
  EngineRunOptions options;
  options.application = std::move(owned);
  options.drawFrame = [&] {
    if (application.GetFrameCount() == 10) before = UnitDiscRedAtTheMiddle();
    if (application.GetFrameCount() == 13) after = UnitDiscRedAtTheMiddle();
  };
  bool closed = false;
  options.pollEvent = [&](platform::Event* event) {
    // The window is rebuilt in frame 11; the fonts the engine loaded are
    // built again in the new context right after.
    if (application.GetFrameCount() == 10) GetDisplay()->SetState(CDisplay::kChangePending);
    if (closed || application.GetFrameCount() != 13) return false;
    closed = true;
    *event = WindowEvent(platform::EventType::WindowClose);
    return true;
  };
  EXPECT_EQ(EngineRun(std::move(options)), 0);
  EXPECT_EQ(before, 255);
  EXPECT_EQ(after, 255);
}

TEST_F(EngineRunDevice, AToolLibraryInTheFolderIsCreatedToggledWithF11AndCleanedUp) {
  ASSERT_EQ(symlink(VYRE_TOOLBRIDGE_STUB, "toolbridge.so"), 0);
  auto owned = std::make_unique<CGEMApplication>();
  CGEMApplication& application = *owned;
  platform::ScriptedKeyboardSource* keyboard = nullptr;
  EngineRunOptions options;
  options.application = std::move(owned);
  options.makeInputSources = ScriptedInput(&keyboard);
  uint32_t handedIn = 0;
  options.pollEvent = [&](platform::Event* event) {
    // F11 goes down in frame 3, as the platform reports a press (an event
    // taken off the queue and the key's state), and is held to frame 4: one
    // toggle. The window closes in frame 6.
    const uint32_t next = application.GetFrameCount() + 1;
    keyboard->Set(key::F11, next == 3 || next == 4);
    if (handedIn == next || (next != 3 && next != 6)) return false;
    handedIn = next;
    *event = WindowEvent(next == 3 ? platform::EventType::Other : platform::EventType::WindowClose);
    return true;
  };
  EXPECT_EQ(EngineRun(std::move(options)), 0);
  ExpectInOrder(LogLinesOf(kLogDBG), {"Connecting to toolbridge.dll ...", "... success.", "Exited frame loop.",
                                      "Closing toolbridge.dll ..."});
  std::ifstream log("toolbridge.log");
  std::vector<std::string> calls;
  for (std::string line; std::getline(log, line);) calls.push_back(line);
  EXPECT_EQ(calls, (std::vector<std::string>{"Create", "ToggleShow", "CleanUp"}));
}

TEST_F(EngineRunDevice, ClosingTheWindowQuitsInAnyState) {
  int frames = 0;
  EngineRunOptions options;
  options.drawFrame = [&] { ++frames; };
  bool closed = false;
  options.pollEvent = [&](platform::Event* event) {
    // The close arrives once, before the fifth frame, while Create runs.
    if (closed || frames < 4) return false;
    closed = true;
    event->type = platform::EventType::WindowClose;
    return true;
  };
  EXPECT_EQ(EngineRun(std::move(options)), 0);
  // The window's quit reaches the application at once; the frame that
  // reports the exit flag draws nothing.
  EXPECT_EQ(frames, 4);
}

TEST_F(EngineRunDevice, AQuitWhileMinimisedStillEndsTheLoop) {
  int frames = 0;
  EngineRunOptions options;
  options.drawFrame = [&] { ++frames; };
  options.pollEvent =
      EventScript({WindowEvent(platform::EventType::Minimised), WindowEvent(platform::EventType::Quit)});
  EXPECT_EQ(EngineRun(std::move(options)), 0);
  EXPECT_EQ(frames, 0);
}

// The millisecond tick the clock reads in the minimise tests.
uint32_t gFakeTickMs = 0;
uint32_t FakeTick() { return gFakeTickMs; }

// A passage of play for the minimise tests: the window's events handed out
// one per pass of the loop, the clock's tick moved on 16 ms by every frame
// and 100 ms by every rest the loop takes while minimised.
struct MinimiseScript {
  // Frame after which the window is minimised, and the rests it stays so.
  uint32_t minimiseAfter = 20;
  int restsMinimised = 600;
  // What ends the minimise: a restore, or a request to end.
  platform::EventType ending = platform::EventType::Restored;
  // Frames after the restore before the window is closed.
  uint32_t framesRestored = 10;

  // What the run saw.
  uint32_t framesAtMinimise = 0;
  uint32_t clockFrameAtMinimise = 0;
  float gameTimeAtMinimise = 0.0f;
  uint32_t framesAtEnding = 0;
  uint32_t clockFrameAtEnding = 0;
  float gameTimeAtEnding = 0.0f;
  float gameTimeAfterFirstFrame = -1.0f;
  float gameTimeAtClose = 0.0f;
  float realDeltaAtClose = 0.0f;
  bool soundHeldWhileMinimised = true;
  bool soundHeldAtClose = true;
  int rests = 0;

  void Install(EngineRunOptions& options, const CGEMApplication& application) {
    options.waitForEvent = [this](uint32_t timeoutMs) {
      EXPECT_GT(timeoutMs, 0u);
      ++rests;
      gFakeTickMs += 100;
      soundHeldWhileMinimised = soundHeldWhileMinimised && GetSFXManager()->IsSuspended();
    };
    options.pollEvent = [this, &application, taken = false, phase = 0](platform::Event* event) mutable {
      // The second call of a pass finds the queue empty.
      if (taken) {
        taken = false;
        return false;
      }
      const Clock& clock = Clock::Instance();
      const uint32_t frames = application.GetFrameCount();
      platform::EventType type = platform::EventType::None;
      // Every pass that runs a frame moves the tick on 16 ms first, so two
      // frames always lie 16 ms apart, bar the time away.
      if (phase == 0) {
        if (frames != minimiseAfter) gFakeTickMs += 16;
        if (frames == minimiseAfter) {
          framesAtMinimise = frames;
          clockFrameAtMinimise = clock.GetFrameNumber();
          gameTimeAtMinimise = clock.GetGameTime();
          type = platform::EventType::Minimised;
          phase = 1;
        }
      } else if (phase == 1) {
        if (rests < restsMinimised) return false;
        gFakeTickMs += 16;
        framesAtEnding = frames;
        clockFrameAtEnding = clock.GetFrameNumber();
        gameTimeAtEnding = clock.GetGameTime();
        type = ending;
        phase = 2;
      } else if (phase == 2) {
        gFakeTickMs += 16;
        if (gameTimeAfterFirstFrame < 0.0f) gameTimeAfterFirstFrame = clock.GetGameTime();
        if (frames == framesAtEnding + framesRestored) {
          gameTimeAtClose = clock.GetGameTime();
          realDeltaAtClose = clock.GetRealDelta();
          soundHeldAtClose = GetSFXManager()->IsSuspended();
          type = platform::EventType::WindowClose;
          phase = 3;
        }
      }
      if (type == platform::EventType::None) return false;
      *event = WindowEvent(type);
      taken = true;
      return true;
    };
  }
};

// The clock reads the fake tick for the object's life.
struct FakeTickClock {
  FakeTickClock() {
    gFakeTickMs = 1000;
    Clock::Instance().SetTickSource(&FakeTick);
  }
  ~FakeTickClock() { Clock::Instance().SetTickSource(nullptr); }
};

// Minimised for a minute by the clock: the loop rests instead of running
// frames, so frame number and game time stand still and the sound holds;
// restored, the game goes on from where it stood, its first frame one normal
// step on, and the next measurement of the frame time leaves the minute out.
TEST_F(EngineRunDevice, AMinimisedWindowRunsNoFramesAndItsTimeAwayIsNeverCounted) {
  FakeTickClock fakeTick;
  auto owned = std::make_unique<ScriptedApplication>();
  MinimiseScript script;
  EngineRunOptions options;
  script.Install(options, *owned);
  options.application = std::move(owned);
  EXPECT_EQ(EngineRun(std::move(options)), 0);

  EXPECT_EQ(script.rests, script.restsMinimised);
  EXPECT_EQ(script.framesAtEnding, script.framesAtMinimise) << "no frame ran while minimised";
  EXPECT_EQ(script.clockFrameAtEnding, script.clockFrameAtMinimise);
  EXPECT_EQ(script.gameTimeAtEnding, script.gameTimeAtMinimise);
  EXPECT_TRUE(script.soundHeldWhileMinimised);
  EXPECT_FALSE(script.soundHeldAtClose) << "the sound plays on after the restore";
  // Frames run 16 ms apart by the tick.
  const float step = 0.016f;
  EXPECT_GT(script.gameTimeAfterFirstFrame, script.gameTimeAtEnding);
  EXPECT_LE(script.gameTimeAfterFirstFrame - script.gameTimeAtEnding, step + 1e-4f);
  EXPECT_NEAR(script.realDeltaAtClose, step, 1e-4f);
  EXPECT_LE(script.gameTimeAtClose - script.gameTimeAtEnding, script.framesRestored * step + 1e-3f);
}

// A request to end while minimised (the window closed from the task bar, a
// signal) ends the run at once and cleanly: the one frame the quit needs
// runs, the application leaves its state and writes its layout, and the run
// shuts down as always.
TEST_F(EngineRunDevice, AQuitWhileMinimisedRunsOnlyTheFramesTheShutdownNeeds) {
  for (const platform::EventType ending : {platform::EventType::WindowClose, platform::EventType::Quit}) {
    SCOPED_TRACE(ending == platform::EventType::Quit ? "the system asks" : "the window is closed");
    UseFreshFolders();
    EnableTestLogChannels();
    FakeTickClock fakeTick;
    auto owned = std::make_unique<ScriptedApplication>();
    ScriptedApplication& application = *owned;
    MinimiseScript script;
    script.restsMinimised = 50;
    script.ending = ending;
    EngineRunOptions options;
    script.Install(options, application);
    options.application = std::move(owned);
    Arrivals().clear();
    EXPECT_EQ(EngineRun(std::move(options)), 0);

    EXPECT_EQ(script.framesAtEnding, script.framesAtMinimise);
    EXPECT_EQ(Arrivals(), std::vector<std::string>{"deleted after " + std::to_string(script.framesAtMinimise + 1)});
    ExpectInOrder(LogLinesOf(kLogFSM), {"Enter|'Play' ", "Next|'NULL'", "Exit|'Play'"});
    ExpectInOrder(LogLinesOf(kLogDBG), {"Entering frame loop...", "Exited frame loop.", "Shutting down Vyre..."});
    EXPECT_TRUE(FileExists(user_ + "/Vyre/GUI.TXT"));
  }
}

// A stored window size the game cannot be played in (larger than any window
// may be, a side that is not positive, smaller than 320 x 240) does not keep
// the player out: the run goes on in the default window, the terminal names
// the setting and the file that gave it, and once the exit's save has
// written the window the game ran in to both stores it says so.
TEST_F(EngineRunDevice, AStoredWindowTheDisplayCannotMakeGivesTheDefaultWindowAndNamesTheSetting) {
  struct Case {
    const char* name;
    const char* userIni;     // Settings.ini in the user folder
    const char* workingIni;  // Settings.ini beside the program
    int32_t storeWidth;      // Display\Width and Height in the registry store (0: none)
    int32_t storeHeight;
    bool storeFullscreen;  // Display\Fullscreen=1 in the store
    std::vector<std::string> said;
  };
  const std::vector<Case> cases = {
      {"the user folder's file",
       "[Display]\nWidth=20000\nHeight=20000\n",
       nullptr,
       0,
       0,
       false,
       {"at 20000 x 20000 (Width=20000 and Height=20000 in \"%u/Settings.ini\")", "Window is too large"}},
      {"the working folder's file, full screen",
       nullptr,
       "[Display]\nWidth=99999999999\nHeight=600\nFullscreen=1\n",
       0,
       0,
       false,
       {"at 2147483647 x 600 in full screen (Width=99999999999 and Fullscreen=1 in \"%w/Settings.ini\")"}},
      {"the registry store and the file",
       "[Display]\nHeight=30000\n",
       nullptr,
       17000,
       0,
       false,
       {"(Width=17000 in \"%r\" and Height=30000 in \"%u/Settings.ini\")"}},
      {"negative sides",
       "[Display]\nWidth=-800\nHeight=-600\n",
       nullptr,
       0,
       0,
       false,
       {"at -800 x -600 (Width=-800 and Height=-600 in \"%u/Settings.ini\"): a window must be at least 320 x 240"}},
      {"a side of 0",
       "[Display]\nWidth=0\nHeight=-5\n",
       nullptr,
       0,
       0,
       false,
       {"at 0 x -5 (Width=0 and Height=-5 in \"%u/Settings.ini\")"}},
      {"too small to read",
       "[Display]\nWidth=100\nHeight=60\n",
       nullptr,
       0,
       0,
       false,
       {"at 100 x 60 (Width=100 and Height=60 in \"%u/Settings.ini\"): a window must be at least 320 x 240"}},
      {"the registry store's -1 in full screen",
       nullptr,
       nullptr,
       -1,
       -1,
       true,
       {"at -1 x -1 in full screen (Width=-1, Height=-1 and Fullscreen=1 in \"%r\")"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseFreshFolders();
    if (c.userIni != nullptr) {
      ASSERT_TRUE(platform::MakeParentFolders(user_ + "/Settings.ini"));
      std::ofstream(user_ + "/Settings.ini") << c.userIni;
    }
    if (c.workingIni != nullptr) std::ofstream("Settings.ini") << c.workingIni;
    PrepareSettings("Vyre", "Settings.ini");
    if (c.storeWidth != 0) ASSERT_TRUE(RegistryWriteValue("Display\\Width", 1, &c.storeWidth, sizeof c.storeWidth));
    if (c.storeHeight != 0) {
      ASSERT_TRUE(RegistryWriteValue("Display\\Height", 1, &c.storeHeight, sizeof c.storeHeight));
    }
    const uint8_t on = 1;
    if (c.storeFullscreen) ASSERT_TRUE(RegistryWriteValue("Display\\Fullscreen", 1, &on, sizeof on));
    PrepareSettings("Vyre", "Settings.ini");
    auto owned = std::make_unique<CGEMApplication>();
    CGEMApplication& application = *owned;
    int frames = 0;
    int width = 0;
    int height = 0;
    bool fullscreen = true;
    EngineRunOptions options;
    options.application = std::move(owned);
    options.drawFrame = [&] {
      ++frames;
      width = GetDisplay()->GetWidth();
      height = GetDisplay()->GetHeight();
      fullscreen = GetDisplay()->HasState(CDisplay::kFullscreen);
    };
    options.pollEvent = [&application, closed = false](platform::Event* event) mutable {
      if (closed || application.GetFrameCount() != 12) return false;
      closed = true;
      *event = WindowEvent(platform::EventType::WindowClose);
      return true;
    };
    testing::internal::CaptureStderr();
    const int status = EngineRun(std::move(options));
    const std::string terminal = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 0);
    EXPECT_GT(frames, 0) << "the run reached its frame loop";
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_FALSE(fullscreen);
    for (std::string text : c.said) {
      for (const auto& [mark, path] :
           {std::pair<std::string, std::string>{"%u", user_}, {"%w", folder_}, {"%r", registry_}}) {
        const size_t at = text.find(mark);
        if (at != std::string::npos) text.replace(at, mark.size(), path);
      }
      EXPECT_NE(terminal.find(text), std::string::npos) << text << "\n" << terminal;
    }
    // Said before anything is saved, the line promises nothing; the save's
    // own line follows once the file is written.
    const size_t fellBack = terminal.find("; playing in a window of 800 x 600 instead.\n");
    const size_t saved = terminal.find("Saved Width=800, Height=600 and Fullscreen=0 in \"" + user_ +
                                       "/Settings.ini\" for the next start.\n");
    EXPECT_NE(fellBack, std::string::npos) << terminal;
    EXPECT_NE(saved, std::string::npos) << terminal;
    EXPECT_LT(fellBack, saved);
    // The files the next start reads hold the window the game ran in.
    PrepareSettings("Vyre", "Settings.ini");
    EXPECT_EQ(GetSettings()->width, 800);
    EXPECT_EQ(GetSettings()->height, 600);
    EXPECT_FALSE(GetSettings()->fullscreen);
    int32_t storedWidth = 0;
    int32_t storedHeight = 0;
    uint8_t storedFullscreen = 1;
    RegistryReadValue("Display\\Width", &storedWidth, sizeof storedWidth);
    RegistryReadValue("Display\\Height", &storedHeight, sizeof storedHeight);
    RegistryReadValue("Display\\Fullscreen", &storedFullscreen, sizeof storedFullscreen);
    EXPECT_EQ(storedWidth, 800);
    EXPECT_EQ(storedHeight, 600);
    EXPECT_EQ(storedFullscreen, 0);
  }
}

// The same during play: a size chosen with the console that no window may
// have gives the default window, and the game goes on in it rather than
// ending; the settings then hold the window it runs in.
TEST_F(EngineRunDevice, ASizeChosenDuringPlayThatCannotBeMadeGivesTheDefaultWindow) {
  auto owned = std::make_unique<CGEMApplication>();
  CGEMApplication& application = *owned;
  int width = 0;
  uint32_t lastFrame = 0;
  EngineRunOptions options;
  options.application = std::move(owned);
  options.drawFrame = [&] {
    lastFrame = application.GetFrameCount();
    if (lastFrame == 20) width = GetDisplay()->GetWidth();
  };
  options.pollEvent = [&application, closed = false](platform::Event* event) mutable {
    const uint32_t next = application.GetFrameCount() + 1;
    if (next == 12) {
      String command("DISPLAY");
      EXPECT_EQ(CCommandRegistry::Get()->Execute(command, "20000 20000 32 0"), 0);
    }
    if (closed || next != 25) return false;
    closed = true;
    *event = WindowEvent(platform::EventType::WindowClose);
    return true;
  };
  testing::internal::CaptureStderr();
  const int status = EngineRun(std::move(options));
  const std::string terminal = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(lastFrame, 24u) << "the frames went on after the change";
  EXPECT_EQ(width, 800);
  EXPECT_NE(terminal.find("Cannot make the window at 20000 x 20000: Window is too large; playing in a window of "
                          "800 x 600 instead.\n"),
            std::string::npos)
      << terminal;
  EXPECT_NE(terminal.find("Saved Width=800, Height=600 and Fullscreen=0 in \"" + user_ + "/Vyre.ini\""),
            std::string::npos)
      << terminal;
  EXPECT_EQ(GetSettings()->width, 800);
  EXPECT_EQ(GetSettings()->height, 600);
}

// The terminal is the player's: the run's step lines reach it only with
// "-dev", while the log channel keeps them either way. With "-dev" it shows
// the lines written before the switch was read too (the settings' dump), first.
TEST_F(EngineRunDevice, TheTerminalShowsTheRunsStepsOnlyWithDev) {
  for (const bool dev : {false, true}) {
    SCOPED_TRACE(dev ? "-dev" : "no switch");
    const std::string early = dev ? "read before the run with the switch" : "read before the run without it";
    LogGEM("%s", early.c_str());
    EngineRunOptions options;
    options.commandLine = dev ? "-DEV" : "";
    options.pollEvent = EventScript({WindowEvent(platform::EventType::WindowClose)});
    testing::internal::CaptureStderr();
    EXPECT_EQ(EngineRun(std::move(options)), 0);
    const std::string terminal = testing::internal::GetCapturedStderr();
    const bool showsEveryLine = platform::TerminalShowsEveryLine();
    platform::SetTerminalShowsEveryLine(false);
    EXPECT_EQ(showsEveryLine, dev);
    for (const char* step : {"Checking for CLI arguments...", "Entering frame loop...", "Shutting down Vyre..."}) {
      EXPECT_EQ(terminal.find(step) != std::string::npos, dev) << step;
    }
    const size_t earlyAt = terminal.find(early);
    EXPECT_EQ(earlyAt != std::string::npos, dev);
    if (dev) EXPECT_LT(earlyAt, terminal.rfind("Checking for CLI arguments..."));
    ExpectInOrder(LogLinesOf(kLogDBG), {"Checking for CLI arguments...", "Shutting down Vyre..."});
  }
}

TEST_F(EngineRunDevice, SettingsAreSavedAtExitOnlyWhenModified) {
  struct Case {
    const char* name;
    bool resize;
    bool saved;
  };
  for (const Case& c : {Case{"untouched", false, false}, Case{"resized", true, true}}) {
    UseFreshFolders();
    std::vector<platform::Event> events;
    if (c.resize) events.push_back(WindowEvent(platform::EventType::Resized, 640, 400));
    events.push_back(WindowEvent(platform::EventType::WindowClose));
    EngineRunOptions options;
    options.pollEvent = EventScript(events);
    EXPECT_EQ(EngineRun(std::move(options)), 0) << c.name;
    EXPECT_EQ(FileExists(registry_), c.saved) << c.name;
    EXPECT_EQ(FileExists(user_ + "/Vyre.ini"), c.saved) << c.name;
    EXPECT_FALSE(FileExists("Vyre.ini")) << c.name;
  }
}

TEST_F(EngineRunDevice, EveryFrameIsDrawnForTheSizeTheWindowHas) {
  // A size the window never took reaches the display (the last word of a
  // window a rebuild destroyed, or a switch the system refused): the next
  // frame is drawn for the window as it is.
  auto owned = std::make_unique<CGEMApplication>();
  CGEMApplication& application = *owned;
  GLint viewport[4] = {};
  int width = 0;
  EngineRunOptions options;
  options.application = std::move(owned);
  options.drawFrame = [&] {
    if (application.GetFrameCount() != 11) return;
    glGetIntegerv(GL_VIEWPORT, viewport);
    width = GetDisplay()->GetWidth();
  };
  uint32_t handedIn = 0;
  options.pollEvent = [&](platform::Event* event) {
    const uint32_t next = application.GetFrameCount() + 1;
    if ((next != 11 && next != 12) || handedIn == next) return false;
    handedIn = next;
    *event = next == 11 ? WindowEvent(platform::EventType::Resized, 1024, 768)
                        : WindowEvent(platform::EventType::WindowClose);
    return true;
  };
  EXPECT_EQ(EngineRun(std::move(options)), 0);
  EXPECT_EQ(viewport[2], 800);
  EXPECT_EQ(viewport[3], 600);
  EXPECT_EQ(width, 800);
}

// Alt+Return on a screen that refuses the window's mode, answered "No": the
// window covers the desktop at its own size; Alt+Return again gives the
// player's window back, and the desktop's size is never stored as theirs.
TEST_F(EngineRunDevice, ARefusedFullScreenGivesTheWindowItsSizeBackAlsoAfterARestart) {
  // The test environment answers "No" to the question.
  struct Seen {
    int width = 0;
    int height = 0;
    bool fullscreen = false;
  };
  // A run from the settings as stored, Alt+Return in the frames listed;
  // what the display was at frames 10, 20 and 30.
  auto run = [&](std::vector<uint32_t> toggles) {
    PrepareSettings("Vyre");
    auto owned = std::make_unique<ScriptedApplication>();
    ScriptedApplication& application = *owned;
    std::vector<Seen> seen;
    platform::ScriptedKeyboardSource* keyboard = nullptr;
    EngineRunOptions options;
    options.application = std::move(owned);
    options.makeInputSources = ScriptedInput(&keyboard);
    options.pollEvent = [&](platform::Event* event) {
      const uint32_t next = application.GetFrameCount() + 1;
      if (keyboard != nullptr) {
        const bool toggle = std::find(toggles.begin(), toggles.end(), next) != toggles.end();
        keyboard->Set(key::LeftAlt, toggle);
        keyboard->Set(key::Return, toggle);
        keyboard->Set(key::Escape, next == 31);
      }
      if ((next == 10 || next == 20 || next == 30) && seen.size() < next / 10) {
        CDisplay* display = GetDisplay();
        seen.push_back({display->GetWidth(), display->GetHeight(), display->HasState(CDisplay::kFullscreen)});
      }
      // The window's own events (the size a switch gave it) still arrive.
      return platform::PollEvent(event);
    };
    EXPECT_EQ(EngineRun(std::move(options)), 0);
    return seen;
  };

  const std::vector<Seen> first = run({11, 21});
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first[0].width, 800);
  EXPECT_EQ(first[0].height, 600);
  EXPECT_TRUE(first[1].fullscreen);
  EXPECT_FALSE(first[2].fullscreen);
  EXPECT_EQ(first[2].width, 800);
  EXPECT_EQ(first[2].height, 600);

  const std::vector<Seen> restarted = run({11});
  ASSERT_EQ(restarted.size(), 3u);
  EXPECT_EQ(restarted[0].width, 800);
  EXPECT_EQ(restarted[0].height, 600);
  EXPECT_FALSE(restarted[0].fullscreen);
  if (FileExists(user_ + "/Vyre.ini")) {
    std::ifstream in(user_ + "/Vyre.ini");
    const std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(ini.find("Width=800\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Height=600\n"), std::string::npos) << ini;
  }
}

// Reads, when built, a value the game keeps below its title's key, as the
// game's constructor does.
class RegistryReadingApplication : public CGEMApplication {
 public:
  RegistryReadingApplication() { RegistryReadValue("Audio\\Music", &music, sizeof music); }
  int32_t music = 0;
};

TEST_F(EngineRunDevice, TheRunWorksOnTheProgramWideServicesAndTypingReachesAFocusedTextBox) {
  const int32_t stored = 70;
  ASSERT_TRUE(
      RegistryWriteValue("Audio\\Music", 1, &stored, sizeof stored, "Software\\Velk Software Studio\\Novaliths"));
  PrepareSettings("Novaliths");
  auto owned = std::make_unique<RegistryReadingApplication>();
  RegistryReadingApplication& application = *owned;
  EXPECT_EQ(application.music, 70) << "read below the prepared title's key";

  Window window;
  window.state |= GUIState::kShown | GUIState::kActive;
  TextBox box;
  box.state |= GUIState::kShown | GUIState::kActive | GUIState::kTakesInput;
  box.editable = 1;
  window.children.Add(&box);
  box.GainFocus();

  platform::ScriptedKeyboardSource* keyboard = nullptr;
  GEMServices services;
  EngineRunOptions options;
  options.application = std::move(owned);
  options.makeInputSources = ScriptedInput(&keyboard);
  options.pollEvent = [&](platform::Event*) {
    // "V", "Y", then "V" and "Z" together (listed in the order pressed); Escape ends the run.
    const uint32_t next = application.GetFrameCount() + 1;
    services = application.Services();
    keyboard->Set(key::V, next == 11 || next == 13);
    keyboard->Set(key::Y, next == 12);
    keyboard->Set(key::Z, next == 13);
    keyboard->Set(key::Escape, next == 15);
    return false;
  };
  EXPECT_EQ(EngineRun(std::move(options)), 0);

  EXPECT_EQ(services.settings, GetSettings());
  EXPECT_EQ(services.input, GetUIOManager());
  EXPECT_EQ(services.sound, GetSFXManager());
  EXPECT_STREQ(box.GetText().Chars(), "vyvz");
  window.children.Remove(&box);
}

// What the developer tools looked like a few frames into a run.
struct DeveloperToolsSeen {
  bool made = false;
  bool shown = false;
  uint8_t keys = 0;
  bool consoleShown = false;
  bool consoleHiding = false;
  bool helpAsked = false;
};

TEST_F(EngineRunDevice, DevOpensTheToolsWhoseConsoleRunsALineTypedAtThePrompt) {
  for (const bool dev : {false, true}) {
    SCOPED_TRACE(dev ? "-dev" : "no switch");
    auto owned = std::make_unique<CGEMApplication>();
    CGEMApplication& application = *owned;
    // As the game's constructor leaves them.
    application.options.developerKeys = 0;
    application.options.createDeveloperWindow = 0;
    platform::ScriptedKeyboardSource* keyboard = nullptr;
    DeveloperToolsSeen seen;
    EngineRunOptions options;
    options.commandLine = dev ? "-dev" : "";
    options.application = std::move(owned);
    options.makeInputSources = ScriptedInput(&keyboard);
    options.pollEvent = [&](platform::Event*) {
      // Ctrl+6, then the grave key shows the console; the prompt takes the
      // focus, a slash is typed (and rubbed out), then "hide" and Enter.
      const uint32_t next = application.GetFrameCount() + 1;
      DBGSystemWindow* tools = application.developerWindow;
      ConsoleWindow* console = tools != nullptr ? tools->GetConsoleWindow() : nullptr;
      if (next == 16 && tools != nullptr) tools->GetPromptBox()->GainFocus();
      if (next == 16) seen.consoleShown = console != nullptr && console->IsVisible();
      if (next == 26) {
        seen.made = tools != nullptr;
        seen.shown = tools != nullptr && tools->IsShown();
        seen.keys = application.options.developerKeys;
        seen.consoleHiding = console != nullptr && (console->IsCurrent(&console->hideState) ||
                                                    console->IsPending(&console->hideState) || !console->IsVisible());
        seen.helpAsked = tools != nullptr &&
                         (tools->GetHelpWindow()->IsVisible() || tools->GetHelpWindow()->GetPendingState() != nullptr);
      }
      const std::pair<uint8_t, uint32_t> presses[] = {{key::Grave, 14}, {key::Slash, 17}, {key::Backspace, 18},
                                                      {key::H, 19},     {key::I, 20},     {key::D, 21},
                                                      {key::E, 22},     {key::Return, 23}};
      keyboard->Set(key::LeftControl, next == 12 || next == 13);
      keyboard->Set(key::Digit6, next == 13);
      for (const auto& [code, frame] : presses) keyboard->Set(code, next == frame);
      keyboard->Set(key::Escape, next == 27);
      return false;
    };
    EXPECT_EQ(EngineRun(std::move(options)), 0);
    EXPECT_EQ(seen.made, dev);
    EXPECT_EQ(seen.shown, dev);
    EXPECT_EQ(seen.keys, dev ? 1 : 0);
    EXPECT_EQ(seen.consoleShown, dev);
    EXPECT_EQ(seen.consoleHiding, dev);
    EXPECT_FALSE(seen.helpAsked);
  }
  const std::vector<std::string> lines = LogLinesOf(kLogGEM);
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) { return line == "hide"; }));
}

TEST_F(EngineRunDevice, WhileTheConsoleIsOutItsLineTakesEveryTypedKeyAndTheGameNone) {
  namespace key = platform::key;
  Arrivals().clear();
  auto owned = std::make_unique<ScriptedApplication>();
  ScriptedApplication& application = *owned;
  platform::ScriptedKeyboardSource* keyboard = nullptr;
  std::string lastLine;
  bool consoleOut = false;
  EngineRunOptions options;
  options.commandLine = "-dev";
  options.application = std::move(owned);
  options.makeInputSources = ScriptedInput(&keyboard);
  options.pollEvent = [&](platform::Event*) {
    // Ctrl+6 shows the tools and the grave key the console; "hide" and
    // Return are typed, each key pressed and let go within one frame; once
    // the console has gone, Z is the game's again.
    const uint32_t next = application.GetFrameCount() + 1;
    DBGSystemWindow* tools = application.developerWindow;
    keyboard->Set(key::LeftControl, next == 12 || next == 13);
    keyboard->Set(key::Digit6, next == 13);
    if (next == 15) keyboard->Tap(key::Grave);
    if (next == 18) consoleOut = tools != nullptr && tools->GetConsoleWindow()->IsVisible();
    if (next == 18) {
      for (uint8_t code : {key::H, key::I, key::D, key::E}) keyboard->Tap(code);
    }
    if (next == 19) keyboard->Tap(key::Return);
    if (next == 25 && tools != nullptr) lastLine = tools->GetPromptBox()->lastLine.Chars();
    if (next == 30) keyboard->Tap(key::Z);
    keyboard->Set(key::Escape, next == 35);
    return false;
  };
  EXPECT_EQ(EngineRun(std::move(options)), 0);
  EXPECT_TRUE(consoleOut);
  EXPECT_EQ(lastLine, "hide");
  // Ctrl alone and Z reached the game; the grave key, the typed keys and
  // Return did not.
  EXPECT_EQ(Arrivals(),
            (std::vector<std::string>{"application 12", "application 30", "application 35", "deleted after 35"}));
}

// A game aims a camera of its own (its controller enabled) and makes it the
// active one. The player's mouse and the letters typed on a name page must
// not move it, with or without the developer keys; the developer's free
// camera (Ctrl+F1) flies the engine camera.
TEST_F(EngineRunDevice, OnlyTheDevelopersFreeCameraFliesAndOnlyTheEngineCamera) {
  namespace key = platform::key;
  for (const bool developerKeys : {false, true}) {
    SCOPED_TRACE(developerKeys ? "developer keys" : "a player");
    Camera puzzle;
    puzzle.name = "Game.Puzzle";
    puzzle.controller.enabled = true;
    puzzle.SetPosition(Vector3(-5.0f, 5.0f, 0.0f));
    auto owned = std::make_unique<ScriptedApplication>();
    ScriptedApplication& application = *owned;
    application.options.developerKeys = developerKeys ? 1 : 0;
    application.AddCamera(&puzzle);
    Camera& engineCamera = application.GetEngineCamera();
    platform::ScriptedKeyboardSource* keyboard = nullptr;
    platform::ScriptedMouseSource* mouse = nullptr;
    Vector3 engineBefore;
    Vector3 engineAfter;
    bool engineFlown = false;
    bool closed = false;
    EngineRunOptions options;
    options.application = std::move(owned);
    options.makeInputSources = ScriptedInput(&keyboard, &mouse);
    options.pollEvent = [&](platform::Event* event) {
      // The game's camera becomes current in frame 10; the mouse moves and
      // W is held from then on; Ctrl+F1 in frame 30 switches the free
      // camera on, when the developer keys allow it.
      const uint32_t next = application.GetFrameCount() + 1;
      if (next == 10) {
        EXPECT_TRUE(application.FindNamedObject("Game.Puzzle"));
      }
      if (next >= 10 && mouse != nullptr) {
        mouse->state.dx = 7;
        mouse->state.dy = -5;
      }
      keyboard->Set(key::W, next >= 10);
      keyboard->Set(key::LeftControl, next == 30);
      keyboard->Set(key::F1, next == 30);
      if (next == 31) {
        engineFlown = application.IsActiveCamera("GEM.Camera");
        engineBefore = engineCamera.GetPosition();
      }
      if (next < 50 || closed) return false;
      closed = true;
      engineAfter = engineCamera.GetPosition();
      event->type = platform::EventType::WindowClose;
      return true;
    };
    EXPECT_EQ(EngineRun(std::move(options)), 0);
    CSCNNode::GetRoot().RemoveChild(&puzzle.node);

    EXPECT_EQ(puzzle.GetPosition(), Vector3(-5.0f, 5.0f, 0.0f));
    EXPECT_EQ(puzzle.controller.angleX.value, 0.0f);
    EXPECT_EQ(puzzle.controller.angleY.value, 0.0f);
    EXPECT_EQ(engineFlown, developerKeys);
    if (developerKeys) {
      EXPECT_NE(engineAfter, engineBefore) << "the free camera flies on W";
    }
  }
}

TEST_F(EngineRunDevice, WithDevTheToolbarAndTheConsoleShowOnScreen) {
  ASSERT_TRUE(MakeDefaultData(folder_, "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"));
  std::vector<uint8_t> pixels(800 * 600 * 4);
  auto owned = std::make_unique<CGEMApplication>();
  CGEMApplication& application = *owned;
  platform::ScriptedKeyboardSource* keyboard = nullptr;
  EngineRunOptions options;
  options.commandLine = "-dev";
  options.application = std::move(owned);
  options.makeInputSources = ScriptedInput(&keyboard);
  bool closed = false;
  options.pollEvent = [&](platform::Event* event) {
    // Ctrl+6 shows the System window, the corner button's message brings the
    // toolbar up, the grave key the console; once both have slid in, the
    // frame is read back.
    const uint32_t next = application.GetFrameCount() + 1;
    keyboard->Set(key::LeftControl, next == 12 || next == 13);
    keyboard->Set(key::Digit6, next == 13);
    keyboard->Set(key::Grave, next == 15);
    if (next == 14 && application.developerWindow != nullptr) {
      const Icon* invoke = application.developerWindow->GetInvokeButton();
      GetGUIMSGService()->Post(eMSG_GUISHOW, invoke->GetId(), invoke->pressMessage.target, 0, 0.0);
    }
    if (closed || next != 90) return false;
    closed = true;
    return ReadBackAndClose(&pixels, event);
  };
  EXPECT_EQ(EngineRun(std::move(options)), 0);
  if (const char* shot = getenv("VYRE_TEST_SCREENSHOT")) {
    Image image(800, 600);
    for (int y = 0; y < 600; ++y) {
      std::copy_n(&pixels[size_t(599 - y) * 800 * 4], 800 * 4, &image.pixels[size_t(y) * 800 * 4]);
    }
    WritePng(shot, image, false);
  }

  auto at = [&](int x, int y) { return &pixels[(size_t(599 - y) * 800 + x) * 4]; };
  // Drawn somewhere in a box: anything brighter than the cleared frame.
  auto drawn = [&](int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) count += (at(x, y)[0] > 100 || at(x, y)[1] > 100) ? 1 : 0;
    }
    return count;
  };
  EXPECT_GT(drawn(0, 24, 32, 568), 500) << "the toolbar along the left edge";
  EXPECT_GT(drawn(40, 200, 800, 560), 500) << "the console";
  EXPECT_GT(drawn(0, 568, 32, 600), 50) << "the corner button";
}

// Input from a scripted keyboard and mouse, both handed out.
std::function<UIOSources()> ScriptedKeyboardAndMouse(platform::ScriptedKeyboardSource** keyboard,
                                                     platform::ScriptedMouseSource** mouse) {
  return [keyboard, mouse] {
    UIOSources sources;
    auto keys = std::make_unique<platform::ScriptedKeyboardSource>();
    auto pointer = std::make_unique<platform::ScriptedMouseSource>();
    *keyboard = keys.get();
    *mouse = pointer.get();
    sources.keyboard = std::move(keys);
    sources.mouse = std::move(pointer);
    return sources;
  };
}

TEST_F(EngineRunDevice, WithDevTheToolbarBringsUpTheConsoleWhereATypedCommandRuns) {
  ASSERT_TRUE(MakeDefaultData(folder_, "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"));
  auto owned = std::make_unique<CGEMApplication>();
  CGEMApplication& application = *owned;
  platform::ScriptedKeyboardSource* keyboard = nullptr;
  platform::ScriptedMouseSource* mouse = nullptr;
  EngineRunOptions options;
  options.commandLine = "-dev";
  options.application = std::move(owned);
  options.makeInputSources = ScriptedKeyboardAndMouse(&keyboard, &mouse);
  // "LIST COMMANDS" with Shift held, then Enter.
  const uint8_t typed[] = {key::L, key::I, key::S, key::T, key::Space, key::C, key::O,
                           key::M, key::M, key::A, key::N, key::D,     key::S, key::Return};
  constexpr uint32_t kTypingFrom = 70;
  bool toolbarShown = false;
  bool consoleShown = false;
  std::string promptText;
  size_t movesDone = 0;
  options.pollEvent = [&](platform::Event* event) {
    const uint32_t next = application.GetFrameCount() + 1;
    DBGSystemWindow* tools = application.developerWindow;
    keyboard->Set(key::LeftControl, next == 12 || next == 13);
    keyboard->Set(key::Digit6, next == 13);
    // Clicks: the corner button at frame 17, the "Console" button (the
    // toolbar's lowest) at frame 57 once the toolbar has slid in.
    mouse->state.buttons[0] = (next == 17 || next == 57) ? platform::kDownBit : 0;
    if (next == 55 && tools != nullptr) toolbarShown = tools->GetToolbar()->IsVisible();
    if (next == 68 && tools != nullptr) consoleShown = tools->GetConsoleWindow()->IsVisible();
    // One key every other frame, so a letter typed twice goes down twice.
    keyboard->Set(key::LeftShift, next >= kTypingFrom && next < kTypingFrom + 26);
    for (uint8_t code : typed) keyboard->Set(code, false);
    for (uint32_t i = 0; i < sizeof typed; ++i) {
      if (next == kTypingFrom + 2 * i) keyboard->Set(typed[i], true);
    }
    if (next == kTypingFrom + 25 && tools != nullptr) promptText = tools->GetPromptBox()->GetText().Chars();
    keyboard->Set(key::Escape, next == 110);
    // The pointer goes to the corner button, the "Console" button, then the prompt.
    const struct {
      uint32_t frame;
      int x, y;
    } moves[] = {{15, 16, 584}, {54, 16, 560}, {62, 400, 584}};
    if (movesDone < std::size(moves) && next >= moves[movesDone].frame) {
      event->type = platform::EventType::MouseMoved;
      event->x = moves[movesDone].x;
      event->y = moves[movesDone].y;
      ++movesDone;
      return true;
    }
    return false;
  };
  EXPECT_EQ(EngineRun(std::move(options)), 0);
  EXPECT_TRUE(toolbarShown);
  EXPECT_TRUE(consoleShown);
  EXPECT_EQ(promptText, "LIST COMMANDS");
  const std::vector<std::string> lines = LogLinesOf(kLogGEM);
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find("CLEAR : Binding unavailable") != std::string::npos;
  }));
}

// Holds a material from its first state on and asks about it when deleted,
// as game states and windows do.
class MaterialHoldingApplication : public CGEMApplication {
 public:
  MaterialHoldingApplication() {
    hold_.Set(this, "Hold", &MaterialHoldingApplication::OnHoldEnter, nullptr,
              &MaterialHoldingApplication::OnHoldMessage, nullptr);
    SetNextState(&hold_);
  }
  ~MaterialHoldingApplication() override {
    EXPECT_NE(material_, nullptr);
    if (material_ == nullptr) return;
    EXPECT_EQ(CMATManager::GetInstance()->FindMaterial(material_->Name()), material_)
        << "the manager that handed the material out still lives";
  }

 private:
  void OnHoldEnter() {
    material_ = CMATManager::GetInstance()->GetMaterial("held");
    Quit();
  }
  void OnHoldMessage(CMSGMessage*) {}
  CMATMaterial* material_ = nullptr;
  FsmStateOf<MaterialHoldingApplication> hold_;
};

TEST_F(EngineRunDevice, TheApplicationIsDeletedWhileTheManagersItUsesLive) {
  EngineRunOptions options;
  options.application = std::make_unique<MaterialHoldingApplication>();
  EXPECT_EQ(EngineRun(std::move(options)), 0);
  // Nothing asked for a manager once the run had ended them.
  EXPECT_FALSE(CMATManager::Exists());
  EXPECT_FALSE(CTEXManager::Exists());
  EXPECT_FALSE(C3MEManager::Exists());
}

}  // namespace
