#include <gtest/gtest.h>

#include "engine/runtime/messages/MSGService.h"
#include "game/rules/GameMessages.h"
#include "support/PuzzleTestSupport.h"

namespace {

using namespace puzzle_test;

TEST(GameMessages, NamesAreRegisteredOnceAndTheColourMessageStaysUnnamed) {
  GameReceivers receivers;
  CMSGService* service = GetGEMMSGService();
  EXPECT_STREQ(service->GetMessageName(eMSG_GExit).Chars(), "eMSG_GExit");
  EXPECT_EQ(service->FindMessageNumber("eMSG_GExit"), 0x28);
  EXPECT_STREQ(service->GetMessageName(eMSG_GMatchedSame).Chars(), "eMSG_GMatchedSame");
  EXPECT_STREQ(service->GetMessageName(eMSG_AGUI_PlayMenuSelect).Chars(), "eMSG_AGUI_PlayMenuSelect");
  EXPECT_STREQ(service->GetMessageName(eMSG_GLast).Chars(), "eMSG_GLast");
  // The colour-left id and the two unused numbers keep the default name.
  for (uint32_t id : {0x10014u, 0x10026u, 0x10027u}) {
    EXPECT_EQ(service->GetMessageName(id), service->defaultName) << std::hex << id;
    EXPECT_EQ(GameMessageName(id), nullptr);
  }
  // A second registration (the game built again) changes no name.
  RegisterGameMessages(receivers.game.receiverId, receivers.audio.receiverId);
  EXPECT_STREQ(service->GetMessageName(eMSG_GExit).Chars(), "eMSG_GExit");
}

TEST(GameMessages, PostsReachTheirReceiverAndAPointerRecordIsReadInsideThePost) {
  GameReceivers receivers;
  LayerFade fade{4, 1.5f};
  LayerFade seen;
  receivers.audio.onMessage = [&](const CMSGMessage& message) {
    seen = *reinterpret_cast<const LayerFade*>(message.parameter);
  };
  PostAudioMessage(eMSG_ALayer_VolumeFadeOut, reinterpret_cast<intptr_t>(&fade), 0.0);
  // Handled before the post returned, while the record was alive.
  EXPECT_EQ(seen.layer, 4);
  EXPECT_FLOAT_EQ(seen.seconds, 1.5f);
  EXPECT_EQ(receivers.audio.Ids(), std::vector<uint32_t>{eMSG_ALayer_VolumeFadeOut});
  EXPECT_TRUE(receivers.game.received.empty());

  PostGameMessage(eMSG_GDiscClear, 0, 0.0);
  EXPECT_EQ(receivers.game.Ids(), std::vector<uint32_t>{eMSG_GDiscClear});
  EXPECT_EQ(receivers.audio.received.size(), 1u);
}

TEST(GameMessages, NothingIsPostedToAnUnsetReceiver) {
  GameReceivers receivers;
  // Without an audio layer its id is -1, which the service would broadcast:
  // a rainbow forwarded to the audio layer would come back to the game.
  RegisterGameMessages(receivers.game.receiverId, -1);
  PostAudioMessage(eMSG_GMatchedRainbow, 0, 0.0);
  RegisterGameMessages(-1, -1);
  PostGameMessage(eMSG_GDiscClear, 0, 0.0);
  PostGameMessage(eMSG_GUnlockPuzzle, 0, 3.0);
  EXPECT_TRUE(receivers.game.received.empty());
  EXPECT_TRUE(receivers.audio.received.empty());
  EXPECT_EQ(GetGEMMSGService()->CountMessages(-1, eMSG_GUnlockPuzzle), 0u);
}

#ifndef NDEBUG
TEST(GameMessagesDeathTest, APointerMessageWithADelayIsRefusedInDebugBuilds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  int speech = kSpeechExcellent;
  EXPECT_DEATH(PostAudioMessage(eMSG_AInGame_PlaySpeech, reinterpret_cast<intptr_t>(&speech), 0.5), "");
}
#endif

}  // namespace
