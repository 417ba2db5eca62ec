// Key, button and direction state machines over scripted raw sources.

#include <gtest/gtest.h>

#include <vector>

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/input/UIOManager.h"
#include "platform/KeyCodes.h"
#include "platform/null/ScriptedInputSources.h"

namespace {

constexpr float kPoll60 = 1.0f / 60.0f;

struct KeyboardRig {
  platform::ScriptedKeyboardSource source;
  CUIOKeyboard keyboard{&source};
  KeyboardRig() { keyboard.Init(); }
  uint16_t Poll(uint8_t code, bool down) {
    source.Set(code, down);
    keyboard.Poll(kPoll60);
    return keyboard.GetKeyState(code);
  }
};

TEST(Keyboard, TapGoesDownUpIdleAcrossThreePolls) {
  KeyboardRig rig;
  EXPECT_EQ(rig.Poll(platform::key::Z, true), kKeyWentDown);
  ASSERT_EQ(rig.keyboard.GetPressedCount(), 1);
  EXPECT_EQ(rig.keyboard.GetPressed()[0], platform::key::Z);
  EXPECT_TRUE(rig.keyboard.IsAnyKeyDown());

  EXPECT_EQ(rig.Poll(platform::key::Z, false), kKeyWentUp);
  EXPECT_EQ(rig.keyboard.GetPressedCount(), 0);
  ASSERT_EQ(rig.keyboard.GetReleasedCount(), 1);
  EXPECT_EQ(rig.keyboard.GetReleased()[0], platform::key::Z);
  EXPECT_FALSE(rig.keyboard.IsAnyKeyDown());

  EXPECT_EQ(rig.Poll(platform::key::Z, false), kKeyIdle);
  EXPECT_EQ(rig.keyboard.GetReleasedCount(), 0);
}

TEST(Keyboard, HeldKeyRepeatsAfterHalfASecondThenEveryFifteenth) {
  KeyboardRig rig;
  std::vector<int> repeatPolls;
  int pressedEvents = 0;
  for (int poll = 1; poll <= 60; ++poll) {
    rig.Poll(platform::key::Up, true);
    pressedEvents += rig.keyboard.GetPressedCount();
    if (rig.keyboard.GetRepeatedCount() > 0) repeatPolls.push_back(poll);
  }
  EXPECT_EQ(pressedEvents, 1);
  EXPECT_EQ(rig.keyboard.GetKeyState(platform::key::Up), 60);
  // Held time counts from the second poll: 30 polls of 1/60 s reach 0.5 s.
  ASSERT_FALSE(repeatPolls.empty());
  EXPECT_EQ(repeatPolls.front(), 31);
  for (size_t i = 1; i < repeatPolls.size(); ++i) {
    EXPECT_EQ(repeatPolls[i] - repeatPolls[i - 1], 4) << "1/15 s is four polls at 60 Hz";
  }
  EXPECT_EQ(repeatPolls.size(), 8u);
}

TEST(Keyboard, ElevenPressesInOnePollListTenAndTheEleventhInTheNext) {
  KeyboardRig rig;
  for (uint8_t code = platform::key::Q; code < platform::key::Q + 11; ++code) rig.source.Set(code, true);
  rig.keyboard.Poll(kPoll60);
  EXPECT_EQ(rig.keyboard.GetPressedCount(), CUIOKeyboard::kListCapacity);
  for (uint8_t code = platform::key::Q; code < platform::key::Q + 10; ++code) {
    EXPECT_EQ(rig.keyboard.GetKeyState(code), kKeyWentDown) << int(code);
  }
  const uint8_t eleventh = platform::key::Q + 10;
  EXPECT_EQ(rig.keyboard.GetKeyState(eleventh), kKeyIdle) << "its press waits for the next list";
  // All let go before the next poll: the eleventh still goes down first.
  for (uint8_t code = platform::key::Q; code < platform::key::Q + 11; ++code) rig.source.Set(code, false);
  rig.keyboard.Poll(kPoll60);
  ASSERT_EQ(rig.keyboard.GetPressedCount(), 1);
  EXPECT_EQ(rig.keyboard.GetPressed()[0], eleventh);
  EXPECT_EQ(rig.keyboard.GetReleasedCount(), CUIOKeyboard::kListCapacity);
  rig.keyboard.Poll(kPoll60);
  EXPECT_EQ(rig.keyboard.GetKeyState(eleventh), kKeyWentUp);
}

TEST(Keyboard, ListsHoldZerosPastTheirCount) {
  // A reader of all ten codes (the game) must not replay an earlier poll's keys.
  KeyboardRig rig;
  const uint8_t together[] = {platform::key::Up, platform::key::Z, platform::key::Left};
  for (uint8_t code : together) rig.source.Set(code, true);
  rig.keyboard.Poll(kPoll60);
  ASSERT_EQ(rig.keyboard.GetPressedCount(), 3);
  for (uint8_t code : together) rig.source.Set(code, false);
  rig.source.Set(platform::key::Down, true);
  rig.keyboard.Poll(kPoll60);
  struct List {
    const char* name;
    const uint8_t* codes;
    uint8_t count;
  } lists[] = {{"pressed", rig.keyboard.GetPressed(), rig.keyboard.GetPressedCount()},
               {"released", rig.keyboard.GetReleased(), rig.keyboard.GetReleasedCount()},
               {"repeated", rig.keyboard.GetRepeated(), rig.keyboard.GetRepeatedCount()}};
  EXPECT_EQ(lists[0].count, 1);
  EXPECT_EQ(lists[0].codes[0], platform::key::Down);
  EXPECT_EQ(lists[1].count, 3);
  for (const List& list : lists) {
    for (uint8_t i = list.count; i < CUIOKeyboard::kListCapacity; ++i) {
      EXPECT_EQ(list.codes[i], 0) << list.name << " entry " << int(i);
    }
  }
}

TEST(Keyboard, AListedKeyScanEndsAtTheFirstZeroOrTheCapacity) {
  std::vector<uint8_t> seen;
  auto scan = [&](const uint8_t* list) {
    seen.clear();
    CUIOKeyboard::ForEachListedKey(list, [&](uint8_t code) { seen.push_back(code); });
    return seen;
  };
  EXPECT_TRUE(scan(nullptr).empty());
  const uint8_t shortList[] = {platform::key::A, 0, platform::key::B};
  EXPECT_EQ(scan(shortList), (std::vector<uint8_t>{platform::key::A}));
  // A full list is read to its end and no further.
  uint8_t full[CUIOKeyboard::kListCapacity + 1];
  for (uint8_t& code : full) code = platform::key::Z;
  EXPECT_EQ(scan(full).size(), static_cast<size_t>(CUIOKeyboard::kListCapacity));
}

TEST(Keyboard, HeldCountSaturatesInsteadOfReadingAsRelease) {
  KeyboardRig rig;
  for (int poll = 0; poll < 70000; ++poll) rig.Poll(platform::key::Space, true);
  EXPECT_EQ(rig.keyboard.GetKeyState(platform::key::Space), kKeyHeldMax);
  EXPECT_EQ(rig.keyboard.GetReleasedCount(), 0);
  EXPECT_EQ(rig.Poll(platform::key::Space, false), kKeyWentUp);
  EXPECT_EQ(rig.keyboard.GetReleasedCount(), 1);
}

TEST(Keyboard, FocusLossZeroesStatesWithoutReleasesAndRecovers) {
  KeyboardRig rig;
  rig.Poll(platform::key::A, true);
  rig.Poll(platform::key::A, true);
  rig.source.acquired = false;
  EXPECT_FALSE(rig.keyboard.Poll(kPoll60));
  EXPECT_EQ(rig.keyboard.GetKeyState(platform::key::A), kKeyIdle);
  EXPECT_EQ(rig.keyboard.GetReleasedCount(), 0);
  EXPECT_FALSE(rig.keyboard.IsAcquired());

  rig.source.acquired = true;  // the next poll acquires again by itself
  EXPECT_EQ(rig.Poll(platform::key::A, true), kKeyWentDown);
  EXPECT_TRUE(rig.keyboard.IsAcquired());
}

// The codes of a list, up to its count.
std::vector<uint8_t> Listed(const uint8_t* list, uint8_t count) { return std::vector<uint8_t>(list, list + count); }

TEST(Keyboard, TapsBetweenTwoPollsEachCountOnceInTheOrderPressed) {
  namespace key = platform::key;
  KeyboardRig rig;
  // Space is held across the polls; the others go down and up before the
  // poll, Backspace twice.
  rig.source.Set(key::Space, true);
  rig.source.Tap(key::Up);
  rig.source.Tap(key::Backspace);
  rig.source.Tap(key::Backspace);
  rig.source.Tap(key::Z);
  rig.keyboard.Poll(kPoll60);
  EXPECT_EQ(Listed(rig.keyboard.GetPressed(), rig.keyboard.GetPressedCount()),
            (std::vector<uint8_t>{key::Space, key::Up, key::Backspace, key::Backspace, key::Z}));
  for (uint8_t code : {key::Space, key::Up, key::Backspace, key::Z}) {
    EXPECT_EQ(rig.keyboard.GetKeyState(code), kKeyWentDown) << int(code);
  }
  EXPECT_TRUE(rig.keyboard.IsAnyKeyDown());

  rig.keyboard.Poll(kPoll60);
  EXPECT_EQ(rig.keyboard.GetPressedCount(), 0);
  EXPECT_EQ(Listed(rig.keyboard.GetReleased(), rig.keyboard.GetReleasedCount()),
            (std::vector<uint8_t>{key::Backspace, key::Z, key::Up}));
  EXPECT_EQ(rig.keyboard.GetKeyState(key::Z), kKeyWentUp);
  EXPECT_EQ(rig.keyboard.GetKeyState(key::Space), 2) << "a key held across polls still reads as held";

  rig.keyboard.Poll(kPoll60);
  EXPECT_EQ(rig.keyboard.GetKeyState(key::Z), kKeyIdle);
  EXPECT_EQ(rig.keyboard.GetReleasedCount(), 0);
}

TEST(Keyboard, EachPressKnowsWhetherAShiftKeyWasDownAtThatMoment) {
  namespace key = platform::key;
  KeyboardRig rig;
  // "Bar" typed within one poll: shift is let go before the poll.
  rig.source.Set(key::LeftShift, true);
  rig.source.Tap(key::B);
  rig.source.Set(key::LeftShift, false);
  rig.source.Tap(key::A);
  rig.source.Set(key::RightShift, true);
  rig.source.Tap(key::R);
  rig.keyboard.Poll(kPoll60);
  ASSERT_EQ(Listed(rig.keyboard.GetPressed(), rig.keyboard.GetPressedCount()),
            (std::vector<uint8_t>{key::LeftShift, key::B, key::A, key::RightShift, key::R}));
  EXPECT_TRUE(rig.keyboard.WasShiftedAt(1));
  EXPECT_FALSE(rig.keyboard.WasShiftedAt(2));
  EXPECT_TRUE(rig.keyboard.WasShiftedAt(4));
  EXPECT_FALSE(rig.keyboard.WasShiftedAt(5)) << "past the count";
}

TEST(Keyboard, AWithheldKeyStaysSilentUntilItIsReleased) {
  namespace key = platform::key;
  KeyboardRig rig;
  rig.source.Set(key::LeftAlt, true);
  rig.source.Set(key::Return, true);
  rig.source.Tap(key::Down);
  rig.keyboard.Poll(kPoll60);
  rig.keyboard.Withhold(key::Return);
  EXPECT_EQ(Listed(rig.keyboard.GetPressed(), rig.keyboard.GetPressedCount()),
            (std::vector<uint8_t>{key::LeftAlt, key::Down}));
  EXPECT_EQ(rig.keyboard.GetPressed()[2], 0) << "zeros past the count";
  EXPECT_EQ(rig.keyboard.GetKeyState(key::Return), kKeyWentDown);

  int repeats = 0;
  for (int poll = 0; poll < 60; ++poll) {
    rig.keyboard.Poll(kPoll60);
    repeats += rig.keyboard.GetRepeatedCount();
  }
  EXPECT_EQ(repeats, 8) << "Alt's repeats alone";
  rig.source.Set(key::Return, false);
  rig.keyboard.Poll(kPoll60);
  EXPECT_EQ(rig.keyboard.GetReleasedCount(), 0);
  EXPECT_EQ(rig.keyboard.GetKeyState(key::Return), kKeyWentUp);

  rig.source.Tap(key::Return);
  rig.keyboard.Poll(kPoll60);
  EXPECT_EQ(Listed(rig.keyboard.GetPressed(), rig.keyboard.GetPressedCount()), (std::vector<uint8_t>{key::Return}));
}

struct MouseRig {
  platform::ScriptedMouseSource source;
  CUIOMouse mouse{&source};
  MouseRig() { mouse.Init(); }
  void Poll(bool left, bool right = false, bool middle = false) {
    source.state.buttons[0] = left ? platform::kDownBit : 0;
    source.state.buttons[1] = right ? platform::kDownBit : 0;
    source.state.buttons[2] = middle ? platform::kDownBit : 0;
    mouse.Poll();
  }
};

TEST(Mouse, ButtonStatesAndTheSharedDoubleClick) {
  MouseRig rig;
  rig.Poll(true);
  EXPECT_EQ(rig.mouse.GetLeft(), kMouseDown);
  EXPECT_TRUE(rig.mouse.HasButtonActivity());
  rig.Poll(true);
  EXPECT_EQ(rig.mouse.GetLeft(), kMouseHeld);
  rig.Poll(false);
  EXPECT_EQ(rig.mouse.GetLeft(), kMouseUp);
  EXPECT_FALSE(rig.mouse.HasButtonActivity());
  rig.Poll(false);
  EXPECT_EQ(rig.mouse.GetLeft(), kMouseIdle);

  // A right press soon after the left one is a double click: one countdown.
  rig.Poll(false, true);
  EXPECT_EQ(rig.mouse.GetRight(), kMouseDoubleClick);
  rig.Poll(false, true);
  EXPECT_EQ(rig.mouse.GetRight(), kMouseDoubleClick) << "stays 8 while held";
  rig.Poll(false, false);
  EXPECT_EQ(rig.mouse.GetRight(), kMouseIdle) << "no 4 after a double click";
}

TEST(Mouse, DoubleClickWindowIsThirtyPolls) {
  struct Case {
    int pollsBetweenPresses;
    int32_t secondPress;
  };
  for (Case c : {Case{29, kMouseDoubleClick}, Case{30, kMouseDown}}) {
    MouseRig rig;
    rig.Poll(true);
    for (int i = 1; i < c.pollsBetweenPresses; ++i) rig.Poll(false);
    rig.Poll(true);
    EXPECT_EQ(rig.mouse.GetLeft(), c.secondPress) << c.pollsBetweenPresses;
  }
}

TEST(Mouse, MovementAndFocusLoss) {
  MouseRig rig;
  rig.source.state.dx = 3;
  rig.source.state.wheel = -120;
  rig.Poll(false, false, true);
  EXPECT_TRUE(rig.mouse.HasMoved());
  EXPECT_EQ(rig.mouse.GetRawX(), 3);
  EXPECT_EQ(rig.mouse.GetRawWheel(), -120);
  EXPECT_EQ(rig.mouse.GetMiddle(), kMouseDown);
  rig.Poll(false, false, true);
  EXPECT_FALSE(rig.mouse.HasMoved());

  rig.source.acquired = false;
  EXPECT_FALSE(rig.mouse.Poll());
  EXPECT_EQ(rig.mouse.GetMiddle(), kMouseIdle);
}

struct PadRig {
  platform::ScriptedPadSource source;
  CUIOJoystick pad{&source, 0};
  PadRig() {
    source.names = {"Pad"};
    pad.Init();
  }
  void Poll(int x, int y, bool button0 = false) {
    source.state.x = x;
    source.state.y = y;
    source.state.buttons[0] = button0 ? platform::kDownBit : 0;
    pad.Poll(kPoll60);
  }
};

TEST(Joystick, DeadZoneAndDirections) {
  struct Case {
    int x, y;
    uint16_t left, right, up, down;
  };
  const Case cases[] = {
      {8, 0, 0, 0, 0, 0},   {10, -10, 0, 0, 0, 0}, {11, 0, 0, 1, 0, 0},
      {-11, 0, 1, 0, 0, 0}, {0, -128, 0, 0, 1, 0}, {128, 128, 0, 1, 0, 1},
  };
  for (const Case& c : cases) {
    PadRig rig;
    rig.Poll(c.x, c.y);
    EXPECT_EQ(rig.pad.GetDirectionState(CUIOJoystick::kLeft), c.left) << c.x << "," << c.y;
    EXPECT_EQ(rig.pad.GetDirectionState(CUIOJoystick::kRight), c.right) << c.x << "," << c.y;
    EXPECT_EQ(rig.pad.GetDirectionState(CUIOJoystick::kUp), c.up) << c.x << "," << c.y;
    EXPECT_EQ(rig.pad.GetDirectionState(CUIOJoystick::kDown), c.down) << c.x << "," << c.y;
  }
}

TEST(Joystick, DirectionAndButtonLifecycleWithRepeat) {
  PadRig rig;
  rig.Poll(-100, 0, true);
  EXPECT_TRUE(rig.pad.IsDirection(kKeyWentDown));
  EXPECT_EQ(rig.pad.GetButtonState(0), kKeyWentDown);
  EXPECT_TRUE(rig.pad.HasButtonChanged());
  EXPECT_TRUE(rig.pad.IsAnyButtonDown());
  bool directionRepeated = false, buttonRepeated = false;
  for (int poll = 0; poll < 40; ++poll) {
    rig.Poll(-100, 0, true);
    directionRepeated |= rig.pad.HasDirectionRepeat();
    buttonRepeated |= rig.pad.HasButtonRepeat();
  }
  EXPECT_TRUE(directionRepeated);
  EXPECT_TRUE(buttonRepeated);
  EXPECT_EQ(rig.pad.GetDirectionState(CUIOJoystick::kLeft), 41);

  rig.Poll(0, 0, false);
  EXPECT_EQ(rig.pad.GetDirectionState(CUIOJoystick::kLeft), kKeyWentUp);
  EXPECT_EQ(rig.pad.GetButtonState(0), kKeyWentUp);
  EXPECT_TRUE(rig.pad.HasButtonChanged());
  rig.Poll(0, 0, false);
  EXPECT_EQ(rig.pad.GetButtonState(0), kKeyIdle);
  EXPECT_TRUE(rig.pad.HasButtonChanged()) << "the return to idle counts as a change";
  rig.Poll(0, 0, false);
  EXPECT_FALSE(rig.pad.HasButtonChanged());
}

TEST(Joystick, PollWithoutATimeStepTakesTheClockAndAPausedClockNeverRepeats) {
  PadRig rig;
  Clock::Instance().SetPaused(true);
  for (int poll = 0; poll < 100; ++poll) {
    rig.source.state.buttons[0] = platform::kDownBit;
    rig.pad.Poll();
    EXPECT_FALSE(rig.pad.HasButtonRepeat());
  }
  Clock::Instance().SetPaused(false);
  EXPECT_EQ(rig.pad.GetButtonState(0), 100);
}

TEST(Joystick, HeldCountsSaturateAndUnreadableStateClears) {
  PadRig rig;
  for (int poll = 0; poll < 70000; ++poll) rig.Poll(0, 100, true);
  EXPECT_EQ(rig.pad.GetDirectionState(CUIOJoystick::kDown), kKeyHeldMax);
  EXPECT_EQ(rig.pad.GetButtonState(0), kKeyHeldMax);

  rig.source.acquired = false;
  EXPECT_FALSE(rig.pad.Poll(kPoll60));
  EXPECT_EQ(rig.pad.GetDirectionState(CUIOJoystick::kDown), kKeyIdle);
  EXPECT_EQ(rig.pad.GetButtonState(0), kKeyIdle);
}

UIOSources ScriptedSources(int padCount, platform::ScriptedKeyboardSource** keyboard = nullptr) {
  UIOSources sources;
  auto keys = std::make_unique<platform::ScriptedKeyboardSource>();
  if (keyboard) *keyboard = keys.get();
  sources.keyboard = std::move(keys);
  sources.mouse = std::make_unique<platform::ScriptedMouseSource>();
  auto pads = std::make_unique<platform::ScriptedPadSource>();
  for (int i = 0; i < padCount; ++i) pads->names.push_back("Pad " + std::to_string(i));
  sources.pads = std::move(pads);
  return sources;
}

TEST(UIOManager, RecordsAtMostEightControllersAndOpensTheFirst) {
  EnableTestLogChannels();
  CUIOManager manager;
  EXPECT_TRUE(manager.Init(ScriptedSources(9)));
  EXPECT_EQ(manager.GetJoystickCount(), 8u);
  EXPECT_EQ(manager.GetJoystickName(7), "Pad 7");
  EXPECT_EQ(manager.GetJoystickName(8), "Unknown");
  ASSERT_NE(manager.GetJoystick(), nullptr);
  EXPECT_TRUE(manager.GetJoystick()->IsAcquired());
  ASSERT_NE(manager.GetKeyboard(), nullptr);
  ASSERT_NE(manager.GetMouse(), nullptr);
  const std::vector<std::string> lines = LogLinesOf(kLogUIO);
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "[UIO] Determining available joystick devices...");
  EXPECT_EQ(lines[1], "[UIO] DX Device : Pad 0");
  EXPECT_EQ(lines[8], "[UIO] DX Device : Pad 7");
  EXPECT_EQ(lines[9], "[UIO] Aqcuiring joystick [Pad 0]...");
}

TEST(UIOManager, NoControllerLeavesNoJoystickAndAnyInputFollowsDevices) {
  CUIOManager manager;
  platform::ScriptedKeyboardSource* keys = nullptr;
  ASSERT_TRUE(manager.Init(ScriptedSources(0, &keys)));
  EXPECT_EQ(manager.GetJoystick(), nullptr);
  EXPECT_FALSE(manager.AnyInput());
  keys->Set(platform::key::Return, true);
  manager.GetKeyboard()->Poll(kPoll60);
  EXPECT_TRUE(manager.AnyInput());
}

TEST(UIOManager, InitFailsWhenTheKeyboardCannotBeAcquired) {
  CUIOManager manager;
  platform::ScriptedKeyboardSource* keys = nullptr;
  UIOSources sources = ScriptedSources(0, &keys);
  keys->acquired = false;
  EXPECT_FALSE(manager.Init(std::move(sources)));
  ASSERT_NE(manager.GetKeyboard(), nullptr);
  EXPECT_FALSE(manager.GetKeyboard()->IsAcquired());
  keys->acquired = true;
  EXPECT_TRUE(manager.GetKeyboard()->Poll(kPoll60)) << "polling retries the acquire";
}

}  // namespace
