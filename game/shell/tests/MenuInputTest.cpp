#include "game/shell/MenuInput.h"

#include <gtest/gtest.h>

#include "engine/runtime/input/UIOJoystick.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/tests/support/PuzzleTestSupport.h"
#include "platform/KeyCodes.h"
#include "platform/ScriptedInputSources.h"
#include "support/ScreenTestSupport.h"

namespace {

using namespace shell_test;
namespace key = platform::key;

class MenuInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetGEMMSGService()->AddListener(&menus);
    run.game->fadedIn = true;
    pads.names = {"Scripted pad"};
    ASSERT_TRUE(pad.Init());
  }
  // Polls the pad after the state changed.
  void PollPad(int32_t y, bool firstButton) {
    pads.state.y = y;
    pads.state.buttons[0] = firstButton ? platform::kDownBit : 0;
    pad.Poll(0.02f);
  }

  ScreensFixture run;
  puzzle_test::RecordingReceiver menus{"Menus"};
  platform::ScriptedPadSource pads;
  CUIOJoystick pad{&pads, 0};
};

TEST_F(MenuInputTest, KeysGiveTheirMenuMessagesUpToTheFirstZeroAndAtMostTen) {
  const uint8_t keys[12] = {key::Up,   key::Down, key::Return, key::Escape, key::Left, key::Right,
                            key::Z,    key::Down, key::Down,   key::Down,   key::Down, key::Down};
  SendMenuInput(*run.game, menus.receiverId, keys);
  EXPECT_EQ(menus.Ids(), (std::vector<uint32_t>{eMSG_Previous, eMSG_Next, eMSG_Select, eMSG_Escape,
                                                eMSG_GFrontEndPrevious, eMSG_GFrontEndNext, eMSG_Next, eMSG_Next,
                                                eMSG_Next}));
  menus.received.clear();
  const uint8_t shortList[3] = {key::Return, 0, key::Return};
  SendMenuInput(*run.game, menus.receiverId, shortList);
  EXPECT_EQ(menus.Ids(), std::vector<uint32_t>{eMSG_Select});
  menus.received.clear();
  // Held keys repeat only Up and Down.
  const uint8_t held[4] = {key::Return, key::Up, key::Left, 0};
  SendMenuKeyHeld(*run.game, menus.receiverId, held);
  EXPECT_EQ(menus.Ids(), std::vector<uint32_t>{eMSG_Previous});
}

TEST_F(MenuInputTest, APadPressMovesThenSelectsOnceAndAHeldDirectionRepeats) {
  PollPad(platform::kPadAxisRange, true);
  SendMenuPadDown(*run.game, menus.receiverId, &pad);
  EXPECT_EQ(menus.Ids(), (std::vector<uint32_t>{eMSG_Next, eMSG_Select}));
  menus.received.clear();
  PollPad(platform::kPadAxisRange, true);
  SendMenuPadDown(*run.game, menus.receiverId, &pad);
  EXPECT_TRUE(menus.Ids().empty());
  SendMenuPadHeld(*run.game, menus.receiverId, &pad);
  EXPECT_EQ(menus.Ids(), std::vector<uint32_t>{eMSG_Next});
  menus.received.clear();
  // Without a pad nothing is sent.
  SendMenuPadDown(*run.game, menus.receiverId, nullptr);
  SendMenuPadHeld(*run.game, menus.receiverId, nullptr);
  EXPECT_TRUE(menus.Ids().empty());
}

TEST_F(MenuInputTest, NothingIsSentWhileTheGameIsNotFadedIn) {
  run.game->fadedIn = false;
  const uint8_t keys[2] = {key::Down, 0};
  SendMenuInput(*run.game, menus.receiverId, keys);
  SendMenuKeyHeld(*run.game, menus.receiverId, keys);
  PollPad(-platform::kPadAxisRange, true);
  SendMenuPadDown(*run.game, menus.receiverId, &pad);
  EXPECT_TRUE(menus.Ids().empty());
}

}  // namespace
