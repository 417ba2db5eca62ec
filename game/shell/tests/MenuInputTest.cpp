#include <gtest/gtest.h>

#include "engine/runtime/input/UIOJoystick.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/rules/tests/support/PuzzleTestSupport.h"
#include "game/shell/MenuInput.h"
#include "platform/KeyCodes.h"
#include "platform/null/ScriptedInputSources.h"
#include "support/ScreenTestSupport.h"

namespace {

using namespace shell_test;
namespace key = platform::key;

class MenuInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetGEMMSGService()->AddListener(&menus_);
    run_.game->fadedIn = true;
    pads_.names = {"Scripted pad"};
    ASSERT_TRUE(pad_.Init());
  }
  // Polls the pad after the state changed.
  void PollPad(int32_t y, bool firstButton) {
    pads_.state.y = y;
    pads_.state.buttons[0] = firstButton ? platform::kDownBit : 0;
    pad_.Poll(0.02f);
  }

  ScreensFixture run_;
  puzzle_test::RecordingReceiver menus_{"Menus"};
  platform::ScriptedPadSource pads_;
  CUIOJoystick pad_{&pads_, 0};
};

TEST_F(MenuInputTest, KeysGiveTheirMenuMessagesUpToTheFirstZeroAndAtMostTen) {
  const uint8_t keys[12] = {key::Up, key::Down, key::Return, key::Escape, key::Left, key::Right,
                            key::Z,  key::Down, key::Down,   key::Down,   key::Down, key::Down};
  SendMenuInput(*run_.game, menus_.receiverId, keys);
  EXPECT_EQ(menus_.Ids(),
            (std::vector<uint32_t>{eMSG_Previous, eMSG_Next, eMSG_Select, eMSG_Escape, eMSG_GFrontEndPrevious,
                                   eMSG_GFrontEndNext, eMSG_Next, eMSG_Next, eMSG_Next}));
  menus_.received.clear();
  const uint8_t shortList[3] = {key::Return, 0, key::Return};
  SendMenuInput(*run_.game, menus_.receiverId, shortList);
  EXPECT_EQ(menus_.Ids(), std::vector<uint32_t>{eMSG_Select});
  menus_.received.clear();
  // Held keys repeat only Up and Down.
  const uint8_t held[4] = {key::Return, key::Up, key::Left, 0};
  SendMenuKeyHeld(*run_.game, menus_.receiverId, held);
  EXPECT_EQ(menus_.Ids(), std::vector<uint32_t>{eMSG_Previous});
}

TEST_F(MenuInputTest, APadPressMovesThenSelectsOnceAndAHeldDirectionRepeats) {
  PollPad(platform::kPadAxisRange, true);
  SendMenuPadDown(*run_.game, menus_.receiverId, &pad_);
  EXPECT_EQ(menus_.Ids(), (std::vector<uint32_t>{eMSG_Next, eMSG_Select}));
  menus_.received.clear();
  PollPad(platform::kPadAxisRange, true);
  SendMenuPadDown(*run_.game, menus_.receiverId, &pad_);
  EXPECT_TRUE(menus_.Ids().empty());
  SendMenuPadHeld(*run_.game, menus_.receiverId, &pad_);
  EXPECT_EQ(menus_.Ids(), std::vector<uint32_t>{eMSG_Next});
  menus_.received.clear();
  // Without a pad nothing is sent.
  SendMenuPadDown(*run_.game, menus_.receiverId, nullptr);
  SendMenuPadHeld(*run_.game, menus_.receiverId, nullptr);
  EXPECT_TRUE(menus_.Ids().empty());
}

TEST_F(MenuInputTest, NothingIsSentWhileTheGameIsNotFadedIn) {
  run_.game->fadedIn = false;
  const uint8_t keys[2] = {key::Down, 0};
  SendMenuInput(*run_.game, menus_.receiverId, keys);
  SendMenuKeyHeld(*run_.game, menus_.receiverId, keys);
  PollPad(-platform::kPadAxisRange, true);
  SendMenuPadDown(*run_.game, menus_.receiverId, &pad_);
  EXPECT_TRUE(menus_.Ids().empty());
}

}  // namespace
