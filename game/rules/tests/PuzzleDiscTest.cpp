#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "game/rules/GameMessages.h"
#include "game/rules/PuzzleDisc.h"
#include "platform/Random.h"
#include "support/PuzzleTestSupport.h"

namespace {

using namespace puzzle_test;

TEST(PuzzleDisc, AFreshDiscIsEmptyAndLocked) {
  CGPuzzleDisc disc(3, 12);
  for (int r = 0; r < 3; ++r) EXPECT_EQ(DrawRing(disc, r), "............");
  EXPECT_EQ(disc.CountGems(), 0u);
  EXPECT_FLOAT_EQ(disc.GetFillRatio(), 0.0f);
  EXPECT_TRUE(disc.locked);
  EXPECT_FALSE(disc.busy);
  EXPECT_EQ(disc.queue->capacity, 0u);
  EXPECT_EQ(disc.queue->mode, kPipeSequence);
  EXPECT_EQ(disc.rainbowGem.colour, kGemRed);
  EXPECT_EQ(disc.rainbowGem.state, GemState::Empty);
}

TEST(PuzzleDisc, ColumnsOneStepPastEitherEndWrap) {
  auto disc = DrawDisc({"RYYYYYYYYYYB"});
  EXPECT_EQ(disc->GemAt(0, -1).colour, kGemBlue);
  EXPECT_EQ(disc->GemAt(0, 12).colour, kGemRed);
  EXPECT_EQ(&disc->GemAt(0, -1), &disc->GemAt(0, 11));
  // The flood fill keeps columns down to -n + 1.
  EXPECT_EQ(&disc->GemAt(0, -11), &disc->GemAt(0, 1));
}

TEST(PuzzleDisc, RotateSkipsFullColumnsAndLandsAboveTheTopGem) {
  // Columns 5 and 6 are full; column 0 and column 8 have a Breaking gem on
  // top, which a landing gem passes.
  struct Case {
    const char* name;
    int startColumn;
    int step;
    int column;
    int landingRing;
  };
  const Case cases[] = {
      {"past two full columns", 4, +1, 7, 1},           {"back past them", 7, -1, 4, 2},
      {"a Breaking gem is no obstacle", 7, +1, 8, 0},   {"check keeps a column with room", 9, 0, 9, 1},
      {"check on a full column goes left", 6, 0, 4, 2}, {"wraps from the last column", 11, +1, 0, 2},
      {"wraps below column 0", 0, -1, 11, 0},
  };
  for (const Case& c : cases) {
    auto disc = DrawDisc({"R...RRRR.R..",  //
                          "R...YYY.....",  //
                          ".....GG....."});
    disc->GemAt(2, 0).SetColour(kGemRed);
    disc->GemAt(2, 0).state = GemState::Breaking;
    disc->GemAt(1, 8).state = GemState::Breaking;
    disc->dropColumn = c.startColumn;
    disc->Rotate(c.step);
    EXPECT_EQ(disc->dropColumn, c.column) << c.name;
    EXPECT_EQ(disc->landingRing, c.landingRing) << c.name;
  }
}

TEST(PuzzleDisc, RotateOnAFullDiscChangesNothing) {
  for (int step : {-1, 0, 1}) {
    auto disc = DrawDisc({"RRRR", "GGGG"});
    disc->dropColumn = 2;
    disc->landingRing = 7;
    disc->Rotate(step);
    EXPECT_EQ(disc->dropColumn, 2) << step;
    EXPECT_EQ(disc->landingRing, 7) << step;
  }
}

TEST(PuzzleDisc, LandingRingByWhatTopsTheColumn) {
  struct Case {
    GemState outer;   // state of the gem in the outermost ring (ring 1)
    int landingRing;  // -1: the column is full
  };
  const Case cases[] = {
      {GemState::Empty, 1},    {GemState::Settled, -1}, {GemState::Falling, -1}, {GemState::Dead, -1},
      {GemState::Expired, -1}, {GemState::Breaking, 1}, {GemState::Placed, 1},   {GemState::InFlight, 1},
  };
  for (const Case& c : cases) {
    auto disc = DrawDisc({"RR", "R."});
    disc->GemAt(1, 0).state = c.outer;
    disc->dropColumn = 1;
    disc->Rotate(-1);  // from column 1 to column 0
    if (c.landingRing < 0) {
      EXPECT_EQ(disc->dropColumn, 1) << static_cast<int>(c.outer);
    } else {
      EXPECT_EQ(disc->dropColumn, 0) << static_cast<int>(c.outer);
      EXPECT_EQ(disc->landingRing, c.landingRing) << static_cast<int>(c.outer);
    }
  }
}

TEST(PuzzleDisc, PlaceGemTakesOnlyEmptySlots) {
  CGPuzzleDisc disc(2, 4);
  EXPECT_TRUE(disc.PlaceGem(0, 1, true, kGemBlue, kGemOrb));
  EXPECT_TRUE(disc.placedByPlayer);
  EXPECT_EQ(DrawRing(disc, 0), ".b..");
  EXPECT_EQ(disc.GemAt(0, 1).type, kGemOrb);
  // A taken slot: nothing changes but the player flag.
  EXPECT_FALSE(disc.PlaceGem(0, 1, true, kGemRed, kGemStar));
  EXPECT_FALSE(disc.placedByPlayer);
  EXPECT_EQ(DrawRing(disc, 0), ".b..");
  EXPECT_EQ(disc.GemAt(0, 1).type, kGemOrb);
  EXPECT_FALSE(disc.PlaceGem(2, 0, true, kGemRed, kGemStar));  // outside the disc
  // A falling White gem landing again gets a new countdown.
  EXPECT_TRUE(disc.PlaceGem(1, 3, false, kGemWhite, kGemCubic));
  EXPECT_FALSE(disc.placedByPlayer);
  const CGPuzzleGem& white = disc.GemAt(1, 3);
  EXPECT_GE(white.timerStart, 5.0f);
  EXPECT_LE(white.timerStart, 15.0f);
  EXPECT_EQ(white.timer, white.timerStart);
}

TEST(PuzzleDisc, GravityMarksGemsAboveGapsAndHoldsMatchingWhileAnythingMoves) {
  auto disc = DrawDisc({".R.R",  //
                        "..GG",  //
                        "B.BB"});
  disc->GemAt(0, 3).state = GemState::Breaking;  // not Empty: nothing falls onto it
  disc->ApplyGravity();
  EXPECT_EQ(DrawRing(*disc, 0), ".R.*");
  EXPECT_EQ(DrawRing(*disc, 1), "..~G");
  EXPECT_EQ(DrawRing(*disc, 2), "~.~B");
  EXPECT_TRUE(disc->busy);
  EXPECT_EQ(disc->CountEmptyInward(2, 0), 2u);
  EXPECT_EQ(disc->CountEmptyInward(2, 2), 1u);
  EXPECT_EQ(disc->CountEmptyInward(0, 0), 0u);

  auto flying = DrawDisc({"R", "."});
  flying->GemAt(1, 0).state = GemState::InFlight;
  flying->ApplyGravity();
  EXPECT_TRUE(flying->busy);
  flying->GemAt(1, 0).state = GemState::Placed;
  flying->ApplyGravity();
  EXPECT_FALSE(flying->busy);
}

TEST(PuzzleDisc, CountsIncludeBreakingGemsAndBreakAllTakesEverySlot) {
  auto disc = DrawDisc({"RG..", "B..."});
  disc->GemAt(0, 1).state = GemState::Breaking;
  EXPECT_EQ(disc->CountGems(), 3u);
  EXPECT_FLOAT_EQ(disc->GetFillRatio(), 3.0f / 8.0f);
  disc->BreakAll();
  EXPECT_EQ(DrawRing(*disc, 0), "****");
  EXPECT_EQ(DrawRing(*disc, 1), "****");
  EXPECT_EQ(disc->CountGems(), 8u);
}

TEST(PuzzleGem, WhiteCountdownSpeedsTheSpinAndExpires) {
  CGPuzzleGem gem;
  gem.colour = kGemWhite;
  gem.state = GemState::Settled;
  gem.timer = gem.timerStart = 10.0f;
  gem.Update(2.5f);
  // Speed 2 x (1 - 7.5 / 10) = 0.5: a quarter of 2.5 s over a 5 s turn.
  EXPECT_FLOAT_EQ(gem.spin[0].t, 0.5f * 2.5f / 5.0f);
  EXPECT_FLOAT_EQ(gem.spin[1].t, 0.25f);
  EXPECT_EQ(gem.state, GemState::Settled);
  gem.Update(2.5f);
  gem.Update(2.5f);
  EXPECT_EQ(gem.state, GemState::Settled);
  gem.Update(2.5f);
  EXPECT_EQ(gem.state, GemState::Expired);
  EXPECT_EQ(gem.spin[2].t, 0.0f);
}

TEST(PuzzleGem, SpinByColour) {
  struct Case {
    int colour;
    float t;  // channel position after one 1 s update
  };
  for (const Case& c : {Case{kGemBlack, 0.2f}, Case{kGemGold, 0.2f}, Case{kGemRed, 0.0f}, Case{kGemIndigo, 0.0f}}) {
    CGPuzzleGem gem;
    gem.colour = c.colour;
    gem.Update(1.0f);
    EXPECT_FLOAT_EQ(gem.spin[0].t, c.t) << c.colour;
  }
  // A record made White by hand, without a countdown, still spins finitely.
  CGPuzzleGem bare;
  bare.colour = kGemWhite;
  bare.Update(1.0f);
  EXPECT_TRUE(std::isfinite(bare.spin[0].output));
}

TEST(PuzzleGem, SetColourStartsAWhiteCountdownOfFiveToFifteenSeconds) {
  platform::SeedRandom(7);
  float shortest = 100.0f;
  float longest = 0.0f;
  for (int i = 0; i < 500; ++i) {
    CGPuzzleGem gem;
    gem.SetColour(kGemWhite);
    EXPECT_EQ(gem.timer, gem.timerStart);
    shortest = std::min(shortest, gem.timerStart);
    longest = std::max(longest, gem.timerStart);
  }
  EXPECT_GE(shortest, 5.0f);
  EXPECT_LT(shortest, 5.5f);
  EXPECT_LE(longest, 15.0f);
  EXPECT_GT(longest, 14.5f);
  CGPuzzleGem blue;
  blue.SetColour(kGemBlue);
  EXPECT_EQ(blue.timerStart, 0.0f);
}

TEST(PuzzleGem, NameTablesEndWithTheirMarker) {
  // A colour past the table reads as the marker that ends it.
  EXPECT_STREQ(GemColourName(42), "Last");
}

TEST(DiscCensus, SharesCountLiveGemsOverEveryGem) {
  GameReceivers receivers;
  auto disc = DrawDisc({"RRGB", "K..."});
  disc->GemAt(0, 3).state = GemState::Breaking;  // counted in the total, not in a share
  disc->GemAt(0, 1).type = kGemStar;
  disc->TakeCensus();
  EXPECT_FLOAT_EQ(disc->colourShares[kGemRed], 2.0f / 5.0f);
  EXPECT_FLOAT_EQ(disc->colourShares[kGemGreen], 1.0f / 5.0f);
  EXPECT_FLOAT_EQ(disc->colourShares[kGemBlue], 0.0f);
  EXPECT_FLOAT_EQ(disc->colourShares[kGemBlack], 1.0f / 5.0f);
  EXPECT_FLOAT_EQ(disc->shapeShares[kGemTetra], 3.0f / 5.0f);
  EXPECT_FLOAT_EQ(disc->shapeShares[kGemStar], 1.0f / 5.0f);
  EXPECT_TRUE(disc->HasLiveColour(kGemGreen));
  EXPECT_FALSE(disc->HasLiveColour(kGemBlue));
  EXPECT_TRUE(disc->HasLiveType(kGemStar));
  EXPECT_FALSE(disc->HasLiveType(kGemOrb));
  EXPECT_TRUE(receivers.game.received.empty());
}

TEST(DiscCensus, TheLastRedLeavingKillsQueuedRedsAndIsReportedOnce) {
  GameReceivers receivers;
  auto disc = DrawDisc({"RG.."});
  disc->queue->Init(5);
  const int queued[] = {kGemRed, kGemGreen, kGemRed, kGemGreen, kGemRed};
  for (int colour : queued) disc->queue->Push(colour, kGemTetra);
  disc->queue->At(4).state = GemState::Empty;  // holds no gem, so no colour
  disc->TakeCensus();
  disc->GemAt(0, 0).state = GemState::Breaking;  // the last Red breaks
  disc->TakeCensus();
  std::string states;
  for (unsigned i = 0; i < 5; ++i) states += disc->queue->At(i).state == GemState::Dead ? 'x' : '-';
  EXPECT_EQ(states, "-x-x-");
  ASSERT_EQ(receivers.game.Ids(), std::vector<uint32_t>{eMSG_GColourLeftDisc});
  EXPECT_EQ(receivers.game.received[0].colour, kGemRed);
  disc->TakeCensus();
  EXPECT_EQ(receivers.game.received.size(), 1u);
}

TEST(DiscCensus, AnEmptyDiscHasNoShares) {
  GameReceivers receivers;
  auto disc = DrawDisc({"G..."});
  disc->TakeCensus();
  disc->GemAt(0, 0).state = GemState::Empty;
  disc->TakeCensus();
  for (float share : disc->colourShares) EXPECT_EQ(share, 0.0f);
  for (float share : disc->shapeShares) EXPECT_EQ(share, 0.0f);
  ASSERT_EQ(receivers.game.received.size(), 1u);
  EXPECT_EQ(receivers.game.received[0].colour, kGemGreen);
}

}  // namespace
