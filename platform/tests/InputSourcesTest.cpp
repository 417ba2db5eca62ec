// SDL events reach the raw input state; the key-code table; scripted boxes.

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "platform/Events.h"
#include "platform/InputSources.h"
#include "platform/KeyCodes.h"
#include "platform/MessageBox.h"

namespace platform {
namespace {

class SdlInput : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError(); }
  void TearDown() override {
    DrainEvents();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
  }

  static void PushKey(SDL_Scancode scancode, bool down, bool systemRepeat = false) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = systemRepeat ? 1 : 0;
    event.key.keysym.scancode = scancode;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }
  static void PushWindowEvent(SDL_WindowEventID id, int data1 = 0, int data2 = 0) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = id;
    event.window.data1 = data1;
    event.window.data2 = data2;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }
  static void DrainEvents() {
    Event event;
    while (PollEvent(&event)) {
    }
  }
};

TEST_F(SdlInput, InjectedKeyEventReachesTheKeyboardWithItsScanCode) {
  auto keyboard = CreateSdlKeyboardSource();
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  PushKey(SDL_SCANCODE_UP, true);
  PushKey(SDL_SCANCODE_Z, true);
  uint8_t keys[kKeyCount];
  ASSERT_TRUE(keyboard->Read(keys));
  EXPECT_EQ(keys[key::Up], kDownBit);
  EXPECT_EQ(keys[key::Z], kDownBit);
  EXPECT_EQ(keys[key::Down], 0);

  PushKey(SDL_SCANCODE_UP, false);
  ASSERT_TRUE(keyboard->Read(keys));
  EXPECT_EQ(keys[key::Up], 0);
  EXPECT_EQ(keys[key::Z], kDownBit);

  // The frame loop still takes the key events off the queue; the keys reach
  // the program only through the keyboard source.
  Event event;
  ASSERT_TRUE(PollEvent(&event));
  EXPECT_EQ(event.type, EventType::FocusGained);
  ASSERT_TRUE(PollEvent(&event));
  EXPECT_EQ(event.type, EventType::Other);
}

TEST_F(SdlInput, KeyChangesAreHandedOutOnceInOrderWithoutTheSystemsRepeats) {
  auto keyboard = CreateSdlKeyboardSource();
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  KeyEvent events[kMaxKeyEvents];
  keyboard->TakeEvents(events);  // forget anything earlier
  // B tapped twice so quickly that the system reads the second tap as a
  // repeat; A held until the system repeats it, then let go.
  PushKey(SDL_SCANCODE_B, true);
  PushKey(SDL_SCANCODE_B, true, true);
  PushKey(SDL_SCANCODE_B, false);
  PushKey(SDL_SCANCODE_A, true);
  SDL_Delay(80);
  PushKey(SDL_SCANCODE_A, true, true);
  PushKey(SDL_SCANCODE_A, false);
  const std::pair<uint8_t, bool> expected[] = {{key::B, true},  {key::B, false}, {key::B, true},
                                               {key::B, false}, {key::A, true},  {key::A, false}};
  ASSERT_EQ(keyboard->TakeEvents(events), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(events[i].code, expected[i].first) << i;
    EXPECT_EQ(events[i].down, expected[i].second) << i;
  }
  EXPECT_EQ(keyboard->TakeEvents(events), 0) << "handed out once";

  // Changes beyond what one read keeps are dropped; the state stays right.
  for (int i = 0; i < kMaxKeyEvents; ++i) PushKey(SDL_SCANCODE_Z, i % 2 == 0);
  PushKey(SDL_SCANCODE_X, true);
  EXPECT_EQ(keyboard->TakeEvents(events), kMaxKeyEvents);
  uint8_t keys[kKeyCount];
  ASSERT_TRUE(keyboard->Read(keys));
  EXPECT_EQ(keys[key::X], kDownBit);
}

TEST_F(SdlInput, KeysAreSeenAgainAfterSdlRestarts) {
  auto first = CreateSdlKeyboardSource();
  first.reset();
  SDL_Quit();  // drops every event watch
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
  auto keyboard = CreateSdlKeyboardSource();
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  PushKey(SDL_SCANCODE_ESCAPE, true);
  uint8_t keys[kKeyCount];
  ASSERT_TRUE(keyboard->Read(keys));
  EXPECT_EQ(keys[key::Escape], kDownBit);
}

TEST_F(SdlInput, FocusLossUnacquiresAndForgetsHeldKeys) {
  auto keyboard = CreateSdlKeyboardSource();
  auto mouse = CreateSdlMouseSource();
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  PushKey(SDL_SCANCODE_SPACE, true);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  uint8_t keys[kKeyCount];
  EXPECT_FALSE(keyboard->Acquire());
  EXPECT_FALSE(keyboard->Read(keys));
  MouseRawState mouseState;
  EXPECT_FALSE(mouse->Read(&mouseState));

  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  ASSERT_TRUE(keyboard->Read(keys));
  EXPECT_EQ(keys[key::Space], 0) << "a key released elsewhere must not stay down";
}

TEST_F(SdlInput, MouseMotionWheelAndButtonsAccumulateUntilRead) {
  auto mouse = CreateSdlMouseSource();
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  MouseRawState state;
  ASSERT_TRUE(mouse->Read(&state));  // forget anything earlier

  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.xrel = 5;
  event.motion.yrel = -3;
  SDL_PushEvent(&event);
  SDL_PushEvent(&event);
  event = SDL_Event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.y = -2;
  SDL_PushEvent(&event);
  event = SDL_Event{};
  event.type = SDL_MOUSEBUTTONDOWN;
  event.button.button = SDL_BUTTON_RIGHT;
  SDL_PushEvent(&event);

  ASSERT_TRUE(mouse->Read(&state));
  EXPECT_EQ(state.dx, 10);
  EXPECT_EQ(state.dy, -6);
  EXPECT_EQ(state.wheel, -2 * kWheelNotch);
  EXPECT_EQ(state.buttons[0], 0);
  EXPECT_EQ(state.buttons[1], kDownBit);  // order is left, right, middle

  ASSERT_TRUE(mouse->Read(&state));
  EXPECT_EQ(state.dx, 0) << "movement is handed out once";
  EXPECT_EQ(state.buttons[1], kDownBit) << "buttons stay down until released";
}

TEST_F(SdlInput, MinimisedWindowNeverReportsAZeroSize) {
  PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 0, 0);
  PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480);
  Event event;
  ASSERT_TRUE(PollEvent(&event));
  EXPECT_NE(event.type, EventType::Resized);
  ASSERT_TRUE(PollEvent(&event));
  EXPECT_EQ(event.type, EventType::Resized);
  EXPECT_EQ(event.width, 640);
  EXPECT_EQ(event.height, 480);
}

TEST(KeyCodes, TableGivesTheDesignedScanCodes) {
  struct Case {
    SDL_Scancode sdl;
    uint8_t code;
  };
  const Case cases[] = {
      {SDL_SCANCODE_ESCAPE, 0x01},   {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_Z, 0x2C},
      {SDL_SCANCODE_F11, 0x57},      {SDL_SCANCODE_UP, 0xC8},     {SDL_SCANCODE_DOWN, 0xD0},
      {SDL_SCANCODE_LEFT, 0xCB},     {SDL_SCANCODE_RIGHT, 0xCD},  {SDL_SCANCODE_HOME, 0xC7},
      {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_RCTRL, 0x9D},  {SDL_SCANCODE_RALT, 0xB8},
      {SDL_SCANCODE_A, 0x1E},        {SDL_SCANCODE_0, 0x0B},      {SDL_SCANCODE_SPACE, 0x39},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeyCodeFromSdlScancode(c.sdl), c.code) << SDL_GetScancodeName(c.sdl);
  }
  EXPECT_EQ(KeyCodeFromSdlScancode(SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(KeyCodeFromSdlScancode(-1), 0);
  EXPECT_EQ(KeyCodeFromSdlScancode(SDL_NUM_SCANCODES), 0);
}

TEST(MessageBox, ScriptedAnswersFitTheButtons) {
  struct Case {
    const char* value;
    MessageBoxButtons buttons;
    bool scripted;
    MessageBoxAnswer answer;
  };
  const Case cases[] = {
      {"no", MessageBoxButtons::YesNo, true, MessageBoxAnswer::No},
      {"YES", MessageBoxButtons::YesNo, true, MessageBoxAnswer::Yes},
      {"ok", MessageBoxButtons::YesNo, true, MessageBoxAnswer::Yes},
      {"no", MessageBoxButtons::Ok, true, MessageBoxAnswer::Ok},
      {"maybe", MessageBoxButtons::YesNo, false, MessageBoxAnswer::Ok},
  };
  for (const Case& c : cases) {
    setenv("VYRE_MESSAGEBOX", c.value, 1);
    MessageBoxAnswer answer = MessageBoxAnswer::Ok;
    EXPECT_EQ(ScriptedMessageBoxAnswer(c.buttons, &answer), c.scripted) << c.value;
    EXPECT_EQ(answer, c.answer) << c.value;
  }
  setenv("VYRE_MESSAGEBOX", "no", 1);
  EXPECT_EQ(ShowMessageBox("Vyre Core", "Fullscreen mode not available - use window instead?", MessageBoxButtons::YesNo,
                           MessageBoxIcon::Exclamation),
            MessageBoxAnswer::No);
}

}  // namespace
}  // namespace platform
