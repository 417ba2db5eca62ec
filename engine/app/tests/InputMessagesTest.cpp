#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/app/HotKeys.h"
#include "engine/app/InputMessages.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/messages/MSGService.h"
#include "platform/KeyCodes.h"
#include "platform/null/ScriptedInputSources.h"

namespace {

// How the journal shows the first code of a key list.
std::string Listed(uint8_t code) { return " [" + std::to_string(code) + "]"; }

// Writes every delivered message into a shared journal, with its parameter's
// content read while it is being delivered.
struct Journal {
  std::vector<std::string> entries;
};

class Recorder : public CMSGListener {
 public:
  Recorder(const char* tag, Journal* journal) : tag_(tag), journal_(journal) {}
  void OnMessage(CMSGMessage* message) override {
    std::string entry = tag_ + " " + std::to_string(message->id - eMSG_UIONull);
    if (message->id == eMSG_UIOKEYDOWN || message->id == eMSG_UIOKEYUP || message->id == eMSG_UIOKEYHELD) {
      const uint8_t* list = reinterpret_cast<const uint8_t*>(message->parameter);
      entry += Listed(list[0]);
    }
    if (message->id == eMSG_UIOWHEEL_UP || message->id == eMSG_UIOWHEEL_DOWN) {
      entry += " " + std::to_string(*reinterpret_cast<const int32_t*>(message->parameter));
    }
    journal_->entries.push_back(entry);
  }

 private:
  std::string tag_;
  Journal* journal_;
};

struct InputFixture : ::testing::Test {
  void SetUp() override {
    targets.application = GetGEMMSGService()->AddListener(&application);
    targets.windowManager = GetGUIMSGService()->AddListener(&windowManager);
  }
  Journal journal;
  Recorder application{"app", &journal};
  Recorder windowManager{"gui", &journal};
  InputTargets targets;
};

TEST_F(InputFixture, EachEventReachesTheApplicationThenTheWindowManagerAtOnce) {
  namespace key = platform::key;
  const uint8_t pressed[CUIOKeyboard::kListCapacity] = {key::A, key::S, key::D, key::F, key::Q,
                                                        key::W, key::E, key::R, key::T, key::Y};
  const uint8_t released[1] = {key::Space};
  KeyLists keys;
  keys.pressed = pressed;
  keys.pressedCount = CUIOKeyboard::kListCapacity;
  keys.released = released;
  keys.releasedCount = 1;
  PostKeyMessages(targets, keys);
  EXPECT_EQ(journal.entries, (std::vector<std::string>{"app 1" + Listed(key::A), "gui 1" + Listed(key::A),
                                                       "app 3" + Listed(key::Space), "gui 3" + Listed(key::Space)}));
}

TEST_F(InputFixture, KeysThatMakeAHotKeyReachNobodyElseAndTypedKeysOnlyTheBox) {
  namespace key = platform::key;
  platform::ScriptedKeyboardSource source;
  CUIOKeyboard keyboard(&source);
  keyboard.Init();
  HotKeySwitches switches;
  auto poll = [&] {
    keyboard.Poll(1.0f / 60.0f);
    return PostKeyboardPoll(targets, keyboard, switches);
  };
  source.Set(key::LeftAlt, true);
  poll();
  journal.entries.clear();

  // Alt+Return asks for full screen; Down, pressed after it in the same
  // frame, still reaches the game and the windows.
  source.Set(key::Return, true);
  source.Tap(key::Down);
  EXPECT_EQ(poll(), kHotToggleFullscreen);
  EXPECT_EQ(journal.entries, (std::vector<std::string>{"app 1" + Listed(key::Down), "gui 1" + Listed(key::Down)}));
  // Held for a second, then let go: no repeat and no release of it either
  // (Return lists before Alt, so it would come first).
  for (int i = 0; i < 60; ++i) poll();
  source.Set(key::Return, false);
  poll();
  for (const std::string& entry : journal.entries) {
    EXPECT_EQ(entry.find(Listed(key::Return)), std::string::npos) << entry;
  }

  // F11 works the tool library and still reaches everybody, as Escape does.
  journal.entries.clear();
  source.Tap(key::F11);
  EXPECT_EQ(poll(), kHotToggleToolLibrary);
  EXPECT_EQ(journal.entries, (std::vector<std::string>{"app 1" + Listed(key::F11), "gui 1" + Listed(key::F11)}));

  // While a text box takes the typing, the keys are the box's alone.
  source.Set(key::LeftAlt, false);
  poll();
  journal.entries.clear();
  switches.typing = true;
  source.Tap(key::H);
  poll();
  EXPECT_EQ(journal.entries, (std::vector<std::string>{"gui 1" + Listed(key::H)}));
}

TEST_F(InputFixture, MouseButtonsWheelAndMotion) {
  const int buttons[3] = {1, 0, 8};
  PostMouseMessages(targets, buttons, -120, 0.0f, 0.0f);
  EXPECT_EQ(journal.entries,
            (std::vector<std::string>{"app 4", "gui 4", "app 15", "gui 15", "app 17 -120", "gui 17 -120"}));
  journal.entries.clear();
  const int idle[3] = {0, 0, 0};
  PostMouseMessages(targets, idle, 0, 0.5f, 0.0f);
  EXPECT_EQ(journal.entries, (std::vector<std::string>{"app 18", "gui 18"}));
}

TEST_F(InputFixture, PadDownHeldAndUpFollowButtonsDirectionsAndRepeats) {
  struct Case {
    const char* name;
    PadSnapshot pad;
    std::vector<std::string> expected;
  };
  PadSnapshot buttonDown;
  buttonDown.buttons[5] = 1;
  PadSnapshot directionUpAndRepeat;
  directionUpAndRepeat.directions[3] = 0xFFFF;
  directionUpAndRepeat.directionRepeat = true;
  PadSnapshot heldOnly;
  heldOnly.buttons[0] = 2;
  const Case cases[] = {
      {"a button went down", buttonDown, {"app 19", "gui 19"}},
      {"a direction went up while repeating", directionUpAndRepeat, {"app 20", "gui 20", "app 21", "gui 21"}},
      {"a button merely held", heldOnly, {}},
  };
  for (const Case& c : cases) {
    journal.entries.clear();
    PostPadMessages(targets, c.pad);
    EXPECT_EQ(journal.entries, c.expected) << c.name;
  }
}

TEST(InputMessagesTest, ButtonAndWheelTables) {
  struct Case {
    int button, state;
    uint32_t id;
  } cases[] = {{0, 1, eMSG_UIOLMB_DOWN},
               {0, 2, eMSG_UIOLMB_HELD},
               {0, 4, eMSG_UIOLMB_UP},
               {0, 8, eMSG_UIOLMB_DBL},
               {1, 1, eMSG_UIOMMB_DOWN},
               {1, 8, eMSG_UIOMMB_DBL},
               {2, 4, eMSG_UIORMB_UP},
               {2, 3, 0},
               {0, 0, 0},
               {3, 1, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(MouseButtonMessage(c.button, c.state), c.id) << c.button << "/" << c.state;
  }
  EXPECT_EQ(WheelMessage(120), eMSG_UIOWHEEL_UP);
  EXPECT_EQ(WheelMessage(-1), eMSG_UIOWHEEL_DOWN);
  EXPECT_EQ(WheelMessage(0), 0u);
}

using Keys = std::map<uint8_t, uint16_t>;
uint16_t ReadKeys(const void* keyboard, uint8_t code) {
  const Keys& keys = *static_cast<const Keys*>(keyboard);
  auto found = keys.find(code);
  return found == keys.end() ? 0 : found->second;
}

TEST(HotKeysTest, KeyCombinationsAndSwitches) {
  namespace key = platform::key;
  struct Case {
    const char* label;
    Keys keys;
    HotKeySwitches switches;
    uint32_t actions;
  } cases[] = {
      {"alt+enter", {{key::Return, 1}, {key::LeftAlt, 5}}, {}, kHotToggleFullscreen},
      {"enter held with alt", {{key::Return, 3}, {key::LeftAlt, 5}}, {}, 0},
      {"escape", {{key::Escape, 1}}, {}, kHotShutdown},
      {"escape without escape-quits", {{key::Escape, 1}}, {false, true, false}, 0},
      {"shift+t", {{key::LeftShift, 2}, {key::T, 1}}, {}, kHotReloadTextures},
      {"shift+t without developer keys", {{key::LeftShift, 2}, {key::T, 1}}, {true, false, false}, 0},
      {"alt+enter without developer keys",
       {{key::Return, 1}, {key::LeftAlt, 1}},
       {true, false, false},
       kHotToggleFullscreen},
      {"shift+m and shift+3",
       {{key::LeftShift, 2}, {key::M, 1}, {key::Digit3, 1}},
       {},
       kHotReloadMaterials | kHotReloadModels},
      {"ctrl+6 without window", {{key::LeftControl, 2}, {key::Digit6, 1}}, {}, 0},
      {"ctrl+6 with window", {{key::LeftControl, 2}, {key::Digit6, 1}}, {true, true, true}, kHotShowDeveloperWindow},
      {"ctrl+f9 ctrl+f1",
       {{key::LeftControl, 2}, {key::F9, 1}, {key::F1, 1}},
       {},
       kHotNextDebugMode | kHotToggleFreeCamera},
      {"ctrl+plus and minus", {{key::LeftControl, 2}, {key::NumpadPlus, 9}, {key::NumpadMinus, 9}}, {}, kHotFaster},
      {"ctrl+minus", {{key::LeftControl, 2}, {key::NumpadMinus, 9}}, {}, kHotSlower},
      {"ctrl+home ctrl+space",
       {{key::LeftControl, 2}, {key::Home, 1}, {key::Space, 1}},
       {},
       kHotResetCamera | kHotTogglePause},
      {"home without ctrl", {{key::Home, 1}}, {}, 0},
      {"slash and grave with window",
       {{key::Slash, 1}, {key::Grave, 1}},
       {true, true, true},
       kHotToggleHelp | kHotToggleConsole},
      {"slash held", {{key::Slash, 4}}, {true, true, true}, 0},
      {"slash without window", {{key::Slash, 1}}, {}, 0},
      {"grave without developer keys", {{key::Grave, 1}}, {true, false, true}, 0},
      {"slash typed at a text box", {{key::Slash, 1}, {key::Grave, 1}}, {true, true, true, true}, 0},
      {"grave at the console's own line",
       {{key::Slash, 1}, {key::Grave, 1}},
       {true, true, true, true, true},
       kHotToggleConsole},
      {"capital T typed at a text box", {{key::LeftShift, 2}, {key::T, 1}}, {true, true, true, true}, 0},
      {"ctrl+6 while typing",
       {{key::LeftControl, 2}, {key::Digit6, 1}},
       {true, true, true, true},
       kHotShowDeveloperWindow},
      // F11 is the tool library's, whatever the switches and the typing.
      {"f11", {{key::F11, 1}}, {}, kHotToggleToolLibrary},
      {"f11 held", {{key::F11, 2}}, {}, 0},
      {"f11 without developer keys, typing", {{key::F11, 1}}, {false, false, false, true}, kHotToggleToolLibrary},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecideHotKeys(&ReadKeys, &c.keys, c.switches), c.actions) << c.label;
  }
}

}  // namespace
