// The headless harness itself: its clock, its key scripts and its
// recording, on the game's shell states.

#include <gtest/gtest.h>

#include "engine/foundation/Clock.h"
#include "engine/runtime/messages/MSGService.h"
#include "support/GameHarness.h"

namespace {

using namespace puzzle_test;

TEST(GameHarness, FramesAdvanceAFixedSixtiethAndDelayedMessagesArriveOnTime) {
  GameHarness harness;
  ASSERT_TRUE(harness.EnterState(GameStateId::Credits));
  const float start = harness.GameTime();
  harness.Step(6);
  EXPECT_NEAR(harness.GameTime() - start, 0.1f, 1e-5f);
  EXPECT_FLOAT_EQ(Clock::Instance().GetGameDelta(), GameHarness::kFrameSeconds);

  harness.services.creditsMessages.clear();
  PostGameMessageTo(-1, harness.game().receiverId, eMSG_GFrontEndNext, 0, 0.5);
  harness.Wait(0.45f);
  EXPECT_TRUE(harness.services.creditsMessages.empty());
  harness.Wait(0.1f);
  EXPECT_EQ(harness.services.creditsMessages, std::vector<uint32_t>{eMSG_GFrontEndNext});
  EXPECT_EQ(harness.StatesEntered().back(), "Game.Credits");
}

TEST(GameHarness, ScriptedKeysReachTheCurrentStateInTheNextFrame) {
  GameHarness harness;
  ASSERT_TRUE(harness.EnterState(GameStateId::Credits));
  harness.services.creditsMessages.clear();
  harness.PressKeys({platform::key::Up, platform::key::Down});
  EXPECT_TRUE(harness.services.creditsKeys.empty());
  harness.Step();
  harness.HoldKeys({platform::key::Up});
  harness.Step();
  harness.Step();
  ASSERT_EQ(harness.services.creditsKeys.size(), 2u);
  EXPECT_EQ(harness.services.creditsMessages, (std::vector<uint32_t>{eMSG_UIOKEYDOWN, eMSG_UIOKEYHELD}));
  std::vector<uint8_t> pressed(CUIOKeyboard::kListCapacity, 0);
  pressed[0] = platform::key::Up;
  pressed[1] = platform::key::Down;
  EXPECT_EQ(harness.services.creditsKeys[0], pressed);
  // Sent as the engine sends input: from the application to itself.
  const int32_t application = harness.game().GetGEMReceiverId();
  EXPECT_EQ(harness.posted().CountTo(application, eMSG_UIOKEYDOWN), 1);
}

TEST(GameHarness, TheRecordingKeepsWhatPointerParametersNamed) {
  GameHarness harness;
  harness.posted().Clear();
  int speech = kSpeechSkillful;
  PostAudioMessage(eMSG_AInGame_PlaySpeech, reinterpret_cast<intptr_t>(&speech), 0.0);
  speech = -5;
  LayerFade fade{2, 1.5f};
  PostAudioMessage(eMSG_ALayer_VolumeFadeIn, reinterpret_cast<intptr_t>(&fade), 0.0);
  PostGameMessage(eMSG_GUnlockPuzzle, 0, 1.0);
  const std::vector<PostedMessage>& posted = harness.posted().All();
  ASSERT_EQ(posted.size(), 3u);
  EXPECT_EQ(posted[0].number, kSpeechSkillful);
  EXPECT_EQ(posted[0].target, harness.audio().receiverId);
  EXPECT_EQ(posted[1].fade.layer, 2);
  EXPECT_FLOAT_EQ(posted[1].fade.seconds, 1.5f);
  EXPECT_EQ(posted[2].target, harness.game().receiverId);
  EXPECT_DOUBLE_EQ(posted[2].delay, 1.0);
}

}  // namespace
