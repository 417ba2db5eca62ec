// The real program headless: the game's entry function on the shell's
// services, the offscreen video driver, the null sound driver and scripted
// keys and pad, from the logos through loading to the main menu, then Exit
// and "Yes".

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/foundation/Clock.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/RunGame.h"
#include "game/puzzle/tests/support/GameTestSupport.h"
#include "game/shell/Profile.h"
#include "game/shell/ShellServices.h"
#include "platform/Events.h"
#include "platform/FileSystem.h"
#include "platform/KeyCodes.h"
#include "platform/UserFolder.h"
#include "platform/null/ScriptedInputSources.h"
#include "platform/tests/support/ChildProcess.h"
#include "platform/tests/support/FifoWatch.h"
#include "platform/tests/support/PrivateXServer.h"

namespace {

// Frames after which the run is closed as a failure.
constexpr int kFrameLimit = 4000;
// Frames between two presses in the menus (a page change fades for 0.5 s).
constexpr int kPressGap = 45;

struct Script {
  platform::ScriptedKeyboardSource* keyboard = nullptr;
  platform::ScriptedPadSource* pad = nullptr;
};

std::function<UIOSources()> ScriptedInput(Script* script) {
  return [script] {
    UIOSources sources;
    auto keyboard = std::make_unique<platform::ScriptedKeyboardSource>();
    auto pad = std::make_unique<platform::ScriptedPadSource>();
    pad->names = {"Scripted pad"};
    script->keyboard = keyboard.get();
    script->pad = pad.get();
    sources.keyboard = std::move(keyboard);
    sources.mouse = std::make_unique<platform::ScriptedMouseSource>();
    sources.pads = std::move(pad);
    return sources;
  };
}

// How a run from the logos towards the main menu ended.
struct MenuRun {
  int status = -1;
  bool reachedMenu = false;
  int frames = 0;
};

// Runs the game, Return skipping the logos, until the main menu has faded in
// (then the window is closed) or the frame limit is reached.
MenuRun RunToTheMainMenu() {
  ShellServices services;
  Script script;
  MenuRun run;
  int& frame = run.frames;
  bool& reachedMenu = run.reachedMenu;
  bool closed = false;
  EngineRunOptions options;
  options.makeInputSources = ScriptedInput(&script);
  options.pollEvent = [&](platform::Event* event) {
    if (closed) return false;
    ++frame;
    if (script.keyboard != nullptr) script.keyboard->Set(platform::key::Return, false);
    const ShellContext* shell = services.Context();
    reachedMenu = reachedMenu ||
                  (shell != nullptr && shell->game.GetCurrentStateName() == "Game.FrontEnd" && shell->game.fadedIn);
    if (reachedMenu || frame > kFrameLimit) {
      closed = true;
      event->type = platform::EventType::WindowClose;
      return true;
    }
    const std::string state = shell != nullptr ? shell->game.GetCurrentStateName().Chars() : "";
    if ((state == "Game.IntroVelkSW" || state == "Game.IntroVyre") && frame % 30 == 0 && script.keyboard != nullptr) {
      script.keyboard->Set(platform::key::Return, true);
    }
    return false;
  };
  run.status = RunGame(services, std::move(options));
  return run;
}

// One menu press: a key, or the pad pushed down.
struct Press {
  uint8_t key;
  bool padDown;
};

TEST(ShellRunDevice, TheProgramGoesFromTheLogosToTheMainMenuAndExitYesEndsItWithStatusZero) {
  puzzle_test::GameFixture folders;
  ShellServices services;
  Script script;
  // Main menu: Start Game, Profiles, Options, Highscores, Credits, Exit. The
  // pad moves one step; the confirmation starts on "No!".
  const std::vector<Press> presses = {
      {platform::key::Down, false}, {0, true},
      {platform::key::Down, false}, {platform::key::Down, false},
      {platform::key::Down, false}, {platform::key::Return, false},
      {platform::key::Up, false},   {platform::key::Return, false},
  };
  std::vector<std::string> states;
  size_t nextPress = 0;
  int frame = 0;
  int menuFrames = 0;
  bool closed = false;

  EngineRunOptions options;
  options.makeInputSources = ScriptedInput(&script);
  options.pollEvent = [&](platform::Event* event) {
    if (closed) return false;
    ++frame;
    if (script.keyboard != nullptr) {
      for (uint8_t code : {platform::key::Down, platform::key::Up, platform::key::Return})
        script.keyboard->Set(code, false);
    }
    if (script.pad != nullptr) script.pad->state.y = 0;
    if (frame > kFrameLimit) {
      closed = true;
      event->type = platform::EventType::WindowClose;
      return true;
    }
    const ShellContext* shell = services.Context();
    if (shell == nullptr || script.keyboard == nullptr) return false;
    const std::string state = shell->game.GetCurrentStateName().Chars();
    // The game's own states, after the engine's "[GEM] Create".
    if (state.rfind("Game.", 0) == 0 && (states.empty() || states.back() != state)) states.push_back(state);
    // A key skips each logo.
    if ((state == "Game.IntroVelkSW" || state == "Game.IntroVyre") && frame % 30 == 0) {
      script.keyboard->Set(platform::key::Return, true);
    }
    if (state != "Game.FrontEnd" || !shell->game.fadedIn) return false;
    ++menuFrames;
    if (nextPress < presses.size() && menuFrames >= kPressGap * static_cast<int>(nextPress + 2)) {
      const Press& press = presses[nextPress++];
      if (press.padDown) {
        script.pad->state.y = platform::kPadAxisRange;
      } else {
        script.keyboard->Set(press.key, true);
      }
    }
    return false;
  };

  EXPECT_EQ(RunGame(services, std::move(options)), 0);
  EXPECT_FALSE(closed) << "the run did not end by the menu's Exit";
  EXPECT_EQ(nextPress, presses.size());
  EXPECT_EQ(states, (std::vector<std::string>{"Game.IntroVelkSW", "Game.IntroVyre", "Game.Loading", "Game.FrontEnd"}));
}

// The statuses a child run returns when its script ran out of frames, or
// when the Panic clock moved while the window was minimised.
constexpr int kScriptFailed = 3;
constexpr int kClockMovedWhileMinimised = 4;
// Frames of Panic play before the terminal goes (or the window is minimised).
constexpr int kPanicFrames = 60;
// Passes of the loop the window stays minimised before the terminal goes.
constexpr int kMinimisedPasses = 10;

// What the loop's event polls do once the Panic game has run kPanicFrames
// frames: from then on every poll goes here, with the HUD of the game in play.
using InPlay = std::function<bool(platform::Event* event, const GameHud* hud)>;

// The program from the logos to a Panic game under a new profile "tess"
// (named on the way), then on as inPlay says. Returns the program's status,
// or kScriptFailed when the script ran out of frames before the game.
int PlayPanicThen(InPlay inPlay) {
  // Game time runs three times as fast as the frames, so fades and menus
  // take fewer of them.
  Clock::Instance().SetFixedStep(0.05f);
  ShellServices services;
  Script script;
  // Main menu "Start Game", the name, then "Panic Mode"; each press waits
  // the frames given after the one before.
  const std::vector<std::pair<uint8_t, int>> presses = {
      {platform::key::Return, 30}, {platform::key::T, 30},     {platform::key::E, 8},     {platform::key::S, 8},
      {platform::key::S, 8},       {platform::key::Return, 8}, {platform::key::Down, 30}, {platform::key::Return, 20},
  };
  const uint8_t used[] = {platform::key::Return, platform::key::T, platform::key::E, platform::key::S,
                          platform::key::Down};
  size_t nextPress = 0;
  int frame = 0;
  int sincePress = 0;
  int panicFrames = 0;
  bool inPlayStarted = false;
  bool ranOut = false;
  EngineRunOptions options;
  options.makeInputSources = ScriptedInput(&script);
  options.pollEvent = [&](platform::Event* event) {
    const ShellContext* shell = services.Context();
    const GameHud* hud = shell != nullptr ? shell->game.hud.get() : nullptr;
    if (inPlayStarted) return inPlay(event, hud);
    if (ranOut) return false;
    ++frame;
    if (script.keyboard != nullptr) {
      for (uint8_t code : used) script.keyboard->Set(code, false);
    }
    if (frame > kFrameLimit) {
      ranOut = true;
      event->type = platform::EventType::WindowClose;
      return true;
    }
    if (shell == nullptr || script.keyboard == nullptr) return false;
    const std::string state = shell->game.GetCurrentStateName().Chars();
    if ((state == "Game.IntroVelkSW" || state == "Game.IntroVyre" || state == "Game.Instructions") && frame % 30 == 0) {
      script.keyboard->Set(platform::key::Return, true);
    }
    if (state == "Game.FrontEnd" && shell->game.fadedIn && nextPress < presses.size() &&
        ++sincePress >= presses[nextPress].second) {
      script.keyboard->Set(presses[nextPress++].first, true);
      sincePress = 0;
    }
    if (state != "Game.PanicGame" || ++panicFrames != kPanicFrames) return false;
    inPlayStarted = true;
    return inPlay(event, hud);
  };
  const int status = RunGame(services, std::move(options));
  return ranOut ? kScriptFailed : status;
}

// The Panic game of PlayPanicThen, where the terminal it was started from is
// closed: a hang-up, in play or while the window is minimised. Returns the
// program's status.
int PlayPanicUntilTheTerminalCloses(bool minimisedFirst) {
  int minimisedPasses = -1;
  float timeLeftAtMinimise = 0.0f;
  bool clockMoved = false;
  bool hungUp = false;
  bool handedOut = false;
  const int status = PlayPanicThen([&](platform::Event* event, const GameHud* hud) {
    // After the hang-up the platform's own events tell the run to end.
    if (hungUp) return platform::PollEvent(event);
    if (minimisedFirst && minimisedPasses < 0 && hud != nullptr) {
      minimisedPasses = 0;
      timeLeftAtMinimise = hud->timeLeft;
      event->type = platform::EventType::Minimised;
      handedOut = true;
      return true;
    }
    // The second call of a pass that handed out an event finds the queue empty.
    if (handedOut) {
      handedOut = false;
      return false;
    }
    if (minimisedPasses >= 0) {
      clockMoved = clockMoved || hud == nullptr || hud->timeLeft != timeLeftAtMinimise;
      if (++minimisedPasses < kMinimisedPasses) return false;
    }
    hungUp = true;
    raise(SIGHUP);
    return platform::PollEvent(event);
  });
  return clockMoved ? kClockMovedWhileMinimised : status;
}

// The terminal the program was started from is closed during a Panic game,
// in play or while the window is minimised (the game's clock standing
// still): the program ends as on any quit, with status 0, the game's result
// in the high-score table and the window layout written.
TEST(ShellRunDevice, ClosingTheTerminalDuringAPanicGameEndsTheProgramAsAQuitDoes) {
  for (const bool minimisedFirst : {false, true}) {
    SCOPED_TRACE(minimisedFirst ? "minimised" : "in play");
    puzzle_test::GameFixture folders;
    const std::string user = platform::UserFolder();
    const platform::ChildEnd end = platform::RunInChild(
        [minimisedFirst](std::string&) { return PlayPanicUntilTheTerminalCloses(minimisedFirst); }, {.seconds = 200});
    EXPECT_EQ(end.ended, "exit 0");
    std::ifstream scores(user + "/00000000.dat", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(scores)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find(std::string("tess\0", 5)), std::string::npos) << "the Panic result is in the table";
    EXPECT_TRUE(platform::PathExists(user + "/Vyre/GUI.TXT")) << "the layout is written";
  }
}

// Polls after the display is lost before the run is closed as a failure: a
// loss that is noticed ends the program within a few.
constexpr int kPollsAfterTheLoss = 600;
// The size the player gives the window before the loss.
constexpr int kResizedWidth = 640;
constexpr int kResizedHeight = 480;

// The display is lost during a Panic game on a private X server: the server
// killed (it crashed, the session ended) or the window destroyed by another
// program (as xdotool windowclose does). No frame runs again, yet the
// program keeps what a quit keeps: the Panic result in the high-score
// table, the profile's Panic time, the window layout and the settings. It
// ends with status 1 and says why.
TEST(ShellRunDevice, LosingTheDisplayDuringAPanicGameKeepsWhatAQuitKeeps) {
  for (const bool killTheServer : {true, false}) {
    SCOPED_TRACE(killTheServer ? "the X server killed" : "the window destroyed");
    puzzle_test::GameFixture folders;
    const std::string user = platform::UserFolder();
    platform::ChildOptions options;
    options.seconds = 240;
    options.captureTerminal = true;
    const platform::ChildEnd end = platform::RunInChild(
        [killTheServer](std::string& report) {
          platform::PrivateXServer server;
          if (!server.Started()) {
            report = "Xvfb could not start";
            return 2;
          }
          server.PointVideoHere();
          // The player resizes the window first: the settings have changed.
          int poll = 0;
          return PlayPanicThen([&](platform::Event* event, const GameHud*) {
            ++poll;
            if (poll == 1) {
              event->type = platform::EventType::Resized;
              event->width = kResizedWidth;
              event->height = kResizedHeight;
              return true;
            }
            if (poll == 2) return false;  // the end of that pass
            if (poll == 3) {
              if (killTheServer) {
                server.Kill();
              } else if (server.DestroyWindowsTitled("Novaliths") != 1) {
                report = "the game's window was not found\n";
              }
            }
            if (poll > kPollsAfterTheLoss) {
              report += "the loss went unnoticed\n";
              event->type = platform::EventType::WindowClose;
              return true;
            }
            return platform::PollEvent(event);
          });
        },
        options);
    EXPECT_EQ(end.ended, "exit 1") << end.report << "\n" << end.terminal;
    EXPECT_NE(end.terminal.find("Lost the connection to display \":"), std::string::npos) << end.terminal;
    EXPECT_EQ(end.terminal.find("Another program destroyed the game's window.") != std::string::npos, !killTheServer)
        << end.terminal;
    std::ifstream scores(user + "/00000000.dat", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(scores)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find(std::string("tess\0", 5)), std::string::npos) << "the Panic result is in the table";
    Profile profile;
    ASSERT_TRUE(profile.Load(String("tess")));
    EXPECT_GT(profile.modes[kModePanic].timePlayed, 0.0f) << "the Panic time is in the profile";
    EXPECT_TRUE(platform::PathExists(user + "/Vyre/GUI.TXT")) << "the layout is written";
    std::ifstream ini(user + "/Settings.ini");
    const std::string settings((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
    EXPECT_NE(settings.find("Width=" + std::to_string(kResizedWidth) + "\n"), std::string::npos)
        << "the changed settings are written";
  }
}

// A damaged install: the gem library replaced by random bytes. The loading
// screen still ends, and the main menu comes up on placeholders.
TEST(ShellRunDevice, AGarbageGemLibraryStillReachesTheMainMenu) {
  puzzle_test::GameFixture folders;
  ASSERT_TRUE(platform::MakeParentFolders("Resources/Materials/Gems.mat"));
  std::string noise(4000, '\0');
  uint32_t state = 7;
  for (char& byte : noise) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<char>(state >> 24);
  }
  std::ofstream("Resources/Materials/Gems.mat", std::ios::binary) << noise;
  const MenuRun run = RunToTheMainMenu();
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.reachedMenu) << "still loading after " << run.frames << " frames";
}

// FIFOs in place of game data the loading screen reads: a texture, a model, a
// material library and a sound. Each is refused at once and named
// once on the terminal, and the loading screen still leads to the main menu.
TEST(ShellRunDevice, FifosInPlaceOfGameDataAreNamedOnceAndTheMainMenuComesUp) {
  puzzle_test::GameFixture folders;
  const std::vector<std::string> fifos = {
      "Resources/HUD/novalithsbackground.png",
      "Resources/Models/Gems/GemTetra.3me",
      "Resources/Materials/Gems.mat",
      "Resources/Sounds/GemPlacement.ogg",
  };
  std::vector<std::string> paths;
  for (const std::string& fifo : fifos) {
    ASSERT_TRUE(platform::MakeParentFolders(fifo));
    paths.push_back(platform::CurrentDirectory() + "/" + fifo);
  }
  // Loading is over long before this; only code that waits would meet it.
  platform::FifoWatch watch(paths, std::chrono::seconds(60));
  ASSERT_TRUE(watch.Made());
  testing::internal::CaptureStderr();
  const MenuRun run = RunToTheMainMenu();
  const std::string terminal = testing::internal::GetCapturedStderr();
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.reachedMenu) << "still loading after " << run.frames << " frames";
  EXPECT_FALSE(watch.Waited());

  auto lower = [](std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
  };
  for (const std::string& fifo : fifos) {
    // Textures keep their names lower-cased; the others as the game asked.
    const std::string named = lower("Cannot load " + fifo + " (");
    int lines = 0;
    std::istringstream in(terminal);
    for (std::string line; std::getline(in, line);) lines += lower(line).find(named) != std::string::npos;
    EXPECT_EQ(lines, 1) << fifo << "\n" << terminal;
  }
  // The texture's line says why the file was refused.
  const size_t texture = terminal.find("Cannot load resources/hud/novalithsbackground.png (");
  ASSERT_NE(texture, std::string::npos);
  const std::string line = terminal.substr(texture, terminal.find('\n', texture) - texture);
  EXPECT_NE(line.find("not a regular file"), std::string::npos) << line;
}

}  // namespace
