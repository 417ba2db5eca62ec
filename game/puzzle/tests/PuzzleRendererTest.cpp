// The renderer's states and the messages they answer.

#include <gtest/gtest.h>

#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/NovalithObject.h"
#include "game/rules/GameMessages.h"
#include "game/rules/MatchRecord.h"
#include "game/rules/PuzzleDisc.h"
#include "support/RendererTestSupport.h"

namespace puzzle_test {
namespace {

class StatesTest : public RendererTest {
 protected:
  StatesTest() {
    CGPuzzleDisc& disc = Show({{"RGB.....", "........", "........"}, {"R.......", "........"}});
    disc.queue->Init(6);
    const int colours[] = {kGemRed, kGemGreen, kGemBlue};
    for (int i = 0; i < 6; ++i) disc.queue->Push(colours[i % 3], 0);
    disc.Rotate(0);
  }
  void Post(uint32_t id, intptr_t parameter = 0) {
    GetGEMMSGService()->Post(id, -1, renderer_->GetObjectId(), parameter, 0.0);
  }
  // Hands a message to the current state as delivery would; true when handled.
  bool Handled(uint32_t id) {
    CMSGMessage message;
    message.id = id;
    renderer_->OnMessage(&message);
    return (message.handled & 1) != 0;
  }
  // Seconds from now until the game receives the id; -1 when it never does.
  float SecondsUntilGameGets(uint32_t id, float maxSeconds) {
    const float start = now_;
    while (receivers_.game.Count(id) == 0 && now_ - start < maxSeconds) Frame();
    return receivers_.game.Count(id) > 0 ? now_ - start : -1.0f;
  }
  // Plays until a queued gem waits at the front.
  void WaitForSelection() {
    auto waiting = [this] { return renderer_->selected >= 0 && renderer_->queue[renderer_->selected].active; };
    for (int frame = 0; frame < 600 && !waiting(); ++frame) Frame();
    ASSERT_TRUE(waiting());
  }
};

TEST_F(StatesTest, PresentsThenPlaysAndUnlocksThePuzzle) {
  ASSERT_TRUE(RunUntil(renderer_->Present(), 0.1f));
  EXPECT_FLOAT_EQ(renderer_->presentChannel.start, 120.0f);
  EXPECT_FLOAT_EQ(renderer_->presentChannel.duration, 3.0f);
  StartPlay();
  EXPECT_NEAR(now_, 3.0f, 0.1f);
  EXPECT_EQ(receivers_.game.Count(eMSG_GUnlockPuzzle), 1);
  // Two to five gems arrive within a second, then the queue keeps filling.
  RunFor(1.05f);
  int queued = 0;
  for (const GemMotion& record : renderer_->queue) queued += record.active ? 1 : 0;
  EXPECT_GE(queued, 2);
  EXPECT_LE(queued, 5);
}

TEST_F(StatesTest, ADropLaunchesTheFrontGemOnce) {
  StartPlay();
  WaitForSelection();
  const int32_t front = renderer_->selected;
  const int colour = renderer_->queue[front].colour;
  Post(eMSG_GDropGem);
  EXPECT_TRUE(renderer_->droppedGem.active);
  EXPECT_EQ(renderer_->droppedGem.colour, colour);
  EXPECT_FALSE(renderer_->queue[front].active);

  // A second drop while the gem flies launches nothing and keeps the queue.
  WaitForSelection();
  ASSERT_TRUE(renderer_->droppedGem.active);
  const int32_t next = renderer_->selected;
  const GemMotion waiting = renderer_->queue[next];
  Post(eMSG_GDropGem);
  EXPECT_TRUE(renderer_->queue[next].active);
  EXPECT_EQ(renderer_->queue[next].colour, waiting.colour);
  EXPECT_EQ(renderer_->selected, next);
}

TEST_F(StatesTest, ADropWithNothingSelectedIsIgnored) {
  StartPlay();
  renderer_->ClearQueue();
  renderer_->selected = -1;
  EXPECT_TRUE(Handled(eMSG_GDropGem));
  EXPECT_FALSE(renderer_->droppedGem.active);
}

TEST_F(StatesTest, ClearingReportsOnceAfterASecondAndTheNextDiscIsPresentedShort) {
  StartPlay();
  Post(eMSG_GDiscClear);
  const float seconds = SecondsUntilGameGets(eMSG_GRendererClearDone, 3.0f);
  EXPECT_NEAR(seconds, 1.0f, 0.1f);
  EXPECT_FLOAT_EQ(renderer_->clearingChannel.output, 0.0f);
  RunFor(2.0f);
  EXPECT_EQ(receivers_.game.Count(eMSG_GRendererClearDone), 1);
  Post(eMSG_GNextDisc);
  ASSERT_TRUE(RunUntil(renderer_->Present(), 0.1f));
  EXPECT_FLOAT_EQ(renderer_->presentChannel.start, 30.0f);
  EXPECT_FLOAT_EQ(renderer_->presentChannel.duration, 1.0f);
}

TEST_F(StatesTest, WithOneDiscLeftEveryPresentationIsTheLongTurn) {
  renderer_->SetDiscs(&discs_, 0, 1);
  for (int presentation = 0; presentation < 2; ++presentation) {
    ASSERT_TRUE(RunUntil(renderer_->Present(), 0.1f));
    EXPECT_FLOAT_EQ(renderer_->presentChannel.start, 120.0f);
    EXPECT_FLOAT_EQ(renderer_->presentChannel.duration, 3.0f);
    StartPlay();
    Post(eMSG_GDiscClear);
    RunFor(1.5f);
    Post(eMSG_GNextDisc);
  }
}

TEST_F(StatesTest, TheExplosionEndsTheGameTenSecondsLaterAtFullSize) {
  StartPlay();
  // A clearing before leaves the channel at 0; the explosion shows the board whole.
  Post(eMSG_GDiscClear);
  RunFor(1.5f);
  Post(eMSG_GNextDisc);
  StartPlay();
  Post(eMSG_GNovalithExplode);
  ASSERT_TRUE(RunUntil(renderer_->Explosion(), 0.1f));
  const float entered = now_;
  EXPECT_FLOAT_EQ(renderer_->clearingChannel.output, 1.0f);
  Frame();
  EXPECT_EQ(DrawRing(Current(), 0), "........");
  EXPECT_FLOAT_EQ(renderer_->clearingChannel.output, 1.0f);
  // Whatever arrives meanwhile.
  Post(eMSG_GDiscClear);
  Post(eMSG_GNextDisc);
  const float seconds = SecondsUntilGameGets(eMSG_GNovalithExplosionFinished, 12.0f);
  EXPECT_NEAR(now_ - entered, 10.0f, 0.05f);
  EXPECT_GT(seconds, 0.0f);
  EXPECT_TRUE(renderer_->IsCurrent(renderer_->Explosion()));
}

TEST_F(StatesTest, AcquisitionsAreAnsweredOnlyWhilePresentingOrPlaying) {
  ASSERT_TRUE(RunUntil(renderer_->Present(), 0.1f));
  EXPECT_TRUE(Handled(eMSG_GAcquireGem));
  StartPlay();
  EXPECT_TRUE(Handled(eMSG_GAcquireGem));
  Post(eMSG_GDiscClear);
  ASSERT_TRUE(RunUntil(renderer_->Clearing(), 0.1f));
  EXPECT_FALSE(Handled(eMSG_GAcquireGem));
  EXPECT_FALSE(Handled(eMSG_GDropGem));
  Post(eMSG_GNextDisc);
  StartPlay();
  Post(eMSG_GNovalithExplode);
  ASSERT_TRUE(RunUntil(renderer_->Explosion(), 0.1f));
  EXPECT_FALSE(Handled(eMSG_GAcquireGem));
  EXPECT_FALSE(Handled(eMSG_GNextDisc));
}

TEST_F(StatesTest, AColourThatLeftTheDiscBurstsInTheQueue) {
  StartPlay();
  WaitForSelection();
  const int32_t front = renderer_->selected;
  int colour = renderer_->queue[front].colour;
  Post(eMSG_GColourLeftDisc, reinterpret_cast<intptr_t>(&colour));
  EXPECT_FALSE(renderer_->queue[front].active);
  EXPECT_EQ(renderer_->selected, -1);
  for (const GemMotion& record : renderer_->queue) EXPECT_FALSE(record.active && record.colour == colour);
}

TEST_F(StatesTest, TheQueueIsEmptiedWhenADiscIsPresented) {
  StartPlay();
  WaitForSelection();
  Post(eMSG_GDiscClear);
  RunFor(1.5f);
  Post(eMSG_GNextDisc);
  ASSERT_TRUE(RunUntil(renderer_->Present(), 0.1f));
  for (const GemMotion& record : renderer_->queue) EXPECT_FALSE(record.active);
}

TEST_F(StatesTest, ADeletedRendererLeavesNoMessagesAndNoStarBehind) {
  StartPlay();
  const int32_t id = renderer_->GetObjectId();
  const int32_t starId = renderer_->star->ReceiverId();
  ASSERT_NE(GetGEMMSGService()->FindListener(starId), nullptr);
  ASSERT_GT(GetGEMMSGService()->CountMessages(id, eMSG_GAcquireGem), 0u);
  renderer_.reset();
  EXPECT_EQ(GetGEMMSGService()->CountMessages(id, eMSG_GAcquireGem), 0u);
  EXPECT_EQ(GetGEMMSGService()->FindListener(starId), nullptr);
  renderer_ = std::make_unique<GPuzzleRenderer>();
}

// ---- The star ----

class StarTest : public StatesTest {
 protected:
  NovalithObject& Star() { return *renderer_->star; }
  void Feed() {
    MatchRecord match;
    match.gemCount = 3;
    match.colour = kGemRed;
    Star().AddCrystals(match);
  }
};

TEST_F(StarTest, TheStarSitsAtTheDiscCentreAtRest) {
  RunFor(0.1f);
  EXPECT_FLOAT_EQ(Star().position.x, GPuzzleRenderer::kDiscCentre.x);
  EXPECT_TRUE(Star().IsCurrent(Star().Dormant()));
}

// Told every frame: a disc exactly three quarters full makes it unstable,
// one gem fewer stable again.
TEST_F(StarTest, AThreeQuartersFullDiscMakesTheStarUnstable) {
  CGPuzzleDisc& disc = Show({{"RRGG", "GGBB", "BBR.", "...."}});
  StartPlay();
  Feed();
  RunFor(0.1f);
  ASSERT_TRUE(Star().IsCurrent(Star().Growing()));
  disc.GemAt(3, 0).SetColour(kGemRed);
  disc.GemAt(3, 0).state = GemState::Settled;
  ASSERT_FLOAT_EQ(disc.GetFillRatio(), 0.75f);
  RunFor(0.1f);
  EXPECT_TRUE(Star().IsCurrent(Star().Unstable()));
  RunFor(0.5f);
  EXPECT_TRUE(Star().IsCurrent(Star().Unstable()));
  disc.GemAt(3, 0).state = GemState::Empty;
  RunFor(0.1f);
  EXPECT_TRUE(Star().IsCurrent(Star().Growing()));
}

TEST_F(StarTest, ClearingCollapsesTheStarAndLeavingItRestsIt) {
  StartPlay();
  Feed();
  RunFor(0.1f);
  Post(eMSG_GDiscClear);
  RunFor(0.1f);
  EXPECT_TRUE(Star().IsCurrent(Star().Collapsing()));
  RunFor(1.5f);
  Post(eMSG_GNextDisc);
  RunFor(0.1f);
  EXPECT_TRUE(Star().IsCurrent(Star().Dormant()));
  EXPECT_EQ(Star().total, 0u);
}

TEST_F(StarTest, TheExplosionExplodesTheStar) {
  StartPlay();
  Feed();
  RunFor(0.1f);
  Post(eMSG_GNovalithExplode);
  RunFor(1.5f);
  EXPECT_TRUE(Star().IsCurrent(Star().Exploding()));
}

}  // namespace
}  // namespace puzzle_test
