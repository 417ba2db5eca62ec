#include <gtest/gtest.h>

#include <algorithm>

#include "engine/foundation/Log.h"
#include "game/rules/GameMessages.h"
#include "game/rules/PuzzleDisc.h"
#include "support/PuzzleTestSupport.h"

namespace {

using namespace puzzle_test;

class DiscMatching : public ::testing::Test {
 protected:
  // Lands a group of one colour in ring 0 of a 1 x 3 disc, runs a step and
  // lets the renderer empty what broke.
  void MatchGroup(CGPuzzleDisc& disc, int colour, std::vector<int> shapes) {
    for (int c = 0; c < 3; ++c) ASSERT_TRUE(disc.PlaceGem(0, c, true, colour, shapes[c]));
    disc.ProcessMatches(0.0f);
    for (int c = 0; c < 3; ++c) {
      ASSERT_EQ(disc.GemAt(0, c).state, GemState::Breaking);
      disc.GemAt(0, c).state = GemState::Empty;
    }
  }

  // The match messages the game received, in order.
  std::vector<uint32_t> MatchIds() const {
    std::vector<uint32_t> ids;
    for (uint32_t id : receivers_.game.Ids()) {
      if (id == eMSG_GMatchedSame || id == eMSG_GMatchedMixed) ids.push_back(id);
    }
    return ids;
  }

  // The last match message the game received.
  const Received& LastMatch() const {
    for (auto it = receivers_.game.received.rbegin(); it != receivers_.game.received.rend(); ++it) {
      if (it->id == eMSG_GMatchedSame || it->id == eMSG_GMatchedMixed) return *it;
    }
    static const Received none;
    return none;
  }

  GameReceivers receivers_;
};

TEST_F(DiscMatching, LandingGemsFindGroupsOfThreeWithBlackJoiningAnyColour) {
  struct Case {
    const char* ring;
    int shapeOfLanding;
    uint32_t message;  // 0: no match
    const char* after;
  };
  const Case cases[] = {
      {"RKr.", kGemTetra, eMSG_GMatchedSame, "***."},
      {"RKr.", kGemStar, eMSG_GMatchedMixed, "***."},
      {"RRk.", kGemTetra, 0, "RRK."},  // a Black fill gathers Black gems only
      {"Rr..", kGemTetra, 0, "RR.."},
      {"r.RR", kGemTetra, eMSG_GMatchedSame, "*.**"},  // across the last column to column 0
      {"RGr.", kGemTetra, 0, "RGR."},
  };
  for (const Case& c : cases) {
    receivers_.game.received.clear();
    auto disc = DrawDisc({c.ring});
    const int landing = static_cast<int>(std::string(c.ring).find_first_of("rk"));
    disc->GemAt(0, landing).type = c.shapeOfLanding;
    disc->ProcessMatches(0.0f);
    EXPECT_EQ(DrawRing(*disc, 0), c.after) << c.ring;
    EXPECT_EQ(MatchIds(), c.message ? std::vector<uint32_t>{c.message} : std::vector<uint32_t>{}) << c.ring;
  }
}

TEST_F(DiscMatching, TheRecordListsShapesInFillOrderOutLeftRight) {
  StartLogCapture();
  auto disc = DrawDisc({"RrR.",  //
                        ".R.."});
  disc->GemAt(0, 1).type = kGemTetra;
  disc->GemAt(1, 1).type = kGemCubic;
  disc->GemAt(0, 0).type = kGemOrb;
  disc->GemAt(0, 2).type = kGemOctagon;
  disc->placedByPlayer = true;
  disc->ProcessMatches(0.0f);
  ASSERT_EQ(MatchIds(), std::vector<uint32_t>{eMSG_GMatchedMixed});
  const Received& match = LastMatch();
  EXPECT_EQ(match.match.gemCount, 4u);
  EXPECT_EQ(match.match.colour, kGemRed);
  EXPECT_FALSE(match.match.sameShape);
  EXPECT_TRUE(match.match.playerDrop);
  EXPECT_EQ(match.shapes, (std::vector<int>{kGemTetra, kGemCubic, kGemOrb, kGemOctagon}));
  EXPECT_EQ(disc->GetMatchRecord().shapes, disc->matchRecord.shapes);  // a copy shares the array
  const std::vector<std::string> debug = LogLinesOf(kLogDBG);
  EXPECT_NE(std::find(debug.begin(), debug.end(), "Matched Group of 4 - Red"), debug.end());
  const std::vector<std::string> gem = LogLinesOf(kLogGEM);
  EXPECT_EQ(std::count(gem.begin(), gem.end(), "Peak clearance gems = 4"), 1);
}

TEST_F(DiscMatching, AGemLandingAfterThePlayersMakesTheMatchACascade) {
  auto disc = DrawDisc({"RR..", "...."});
  ASSERT_TRUE(disc->PlaceGem(0, 2, true, kGemRed, kGemTetra));
  ASSERT_TRUE(disc->PlaceGem(1, 3, false, kGemBlue, kGemTetra));  // a falling gem lands
  disc->ProcessMatches(0.0f);
  ASSERT_EQ(MatchIds(), std::vector<uint32_t>{eMSG_GMatchedSame});
  EXPECT_FALSE(LastMatch().match.playerDrop);
}

TEST_F(DiscMatching, TheSecondPlacedGemOfABrokenGroupStartsNothing) {
  auto disc = DrawDisc({"rr.R"});
  disc->ProcessMatches(0.0f);
  EXPECT_EQ(MatchIds(), std::vector<uint32_t>{eMSG_GMatchedSame});
  EXPECT_EQ(DrawRing(*disc, 0), "**.*");
}

TEST_F(DiscMatching, NothingIsTestedWhileAGemFalls) {
  auto disc = DrawDisc({"RRr.",  //
                        "...G"});
  disc->ProcessMatches(0.0f);
  EXPECT_TRUE(disc->busy);
  EXPECT_EQ(DrawRing(*disc, 0), "RRr.");
  EXPECT_EQ(DrawRing(*disc, 1), "...~");
  EXPECT_TRUE(receivers_.game.received.empty());
  // The renderer lands the falling gem; the next step tests both.
  disc->GemAt(1, 3).state = GemState::Empty;
  disc->PlaceGem(0, 3, false, kGemGreen, kGemTetra);
  disc->ProcessMatches(0.0f);
  EXPECT_EQ(DrawRing(*disc, 0), "***G");
  EXPECT_EQ(MatchIds(), std::vector<uint32_t>{eMSG_GMatchedSame});
}

TEST_F(DiscMatching, AnExpiredWhiteGemBreaksAndWhitensItsSettledRingNeighbours) {
  auto disc = DrawDisc({"RWGRB",  //
                        "KKKKK"});
  disc->GemAt(0, 1).timer = 0.1f;
  disc->GemAt(0, 2).state = GemState::Breaking;
  disc->ProcessMatches(0.2f);
  EXPECT_EQ(DrawRing(*disc, 0), "W**RB");
  EXPECT_EQ(DrawRing(*disc, 1), "KKKKK");
  EXPECT_GE(disc->GemAt(0, 0).timerStart, 5.0f);
  EXPECT_LE(disc->GemAt(0, 0).timerStart, 15.0f);
}

TEST_F(DiscMatching, DiscClearOnlyWhenEverySlotIsEmpty) {
  auto disc = DrawDisc({"R..", "..."});
  disc->GemAt(0, 0).state = GemState::Breaking;
  disc->ProcessMatches(0.0f);
  EXPECT_EQ(receivers_.game.Count(eMSG_GDiscClear), 0);
  disc->GemAt(0, 0).state = GemState::Empty;
  disc->ProcessMatches(0.0f);
  disc->ProcessMatches(0.0f);
  EXPECT_EQ(receivers_.game.Count(eMSG_GDiscClear), 2);  // every step while empty
}

TEST_F(DiscMatching, SevenSingleShapeGroupsInRainbowOrderMakeARainbow) {
  CGPuzzleDisc disc(1, 3);
  std::vector<std::pair<int, int>> rainbowSeen;  // (message, rainbow colour at the time)
  receivers_.game.onMessage = [&](const CMSGMessage& message) {
    rainbowSeen.push_back({static_cast<int>(message.id), disc.rainbowGem.colour});
  };
  MatchGroup(disc, kGemRed, {kGemStar, kGemStar, kGemStar});
  EXPECT_EQ(disc.rainbowGem.colour, kGemOrange);
  EXPECT_EQ(disc.rainbowGem.type, kGemStar);  // the Red stage sets the rainbow's points
  EXPECT_EQ(disc.rainbowGem.state, GemState::Settled);
  MatchGroup(disc, kGemGold, {kGemOrb, kGemOrb, kGemOrb});  // other colours leave the run alone
  for (int colour = kGemOrange; colour <= kGemIndigo; ++colour) {
    rainbowSeen.clear();
    MatchGroup(disc, colour, {kGemOrb, kGemOrb, kGemOrb});
  }
  // RainbowUpdate sees the new colour, MatchedRainbow comes before the reset.
  const std::vector<std::pair<int, int>> lastMatch = {
      {eMSG_GRainbowUpdate, kGemWhite}, {eMSG_GMatchedRainbow, kGemWhite}, {eMSG_GMatchedSame, kGemRed}};
  EXPECT_EQ(rainbowSeen, lastMatch);
  EXPECT_EQ(receivers_.game.Count(eMSG_GRainbowUpdate), 7);
  EXPECT_EQ(receivers_.game.Count(eMSG_GMatchedRainbow), 1);
  EXPECT_EQ(disc.rainbowGem.colour, kGemRed);
  EXPECT_EQ(disc.rainbowGem.type, kGemTetra);
  EXPECT_EQ(disc.rainbowGem.state, GemState::Empty);
}

TEST_F(DiscMatching, GroupsOutOfOrderOrOfMixedShapesStopTheRainbow) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, bool>> groups;  // colour, single shape
    int awaited;
    GemState state;
  };
  const Case cases[] = {
      {"an Orange group while Red is awaited", {{kGemOrange, true}}, kGemRed, GemState::Empty},
      {"a mixed Red group", {{kGemRed, false}}, kGemRed, GemState::Empty},
      {"a mixed group of the awaited colour",
       {{kGemRed, true}, {kGemOrange, true}, {kGemYellow, false}},
       kGemRed,
       GemState::Empty},
      {"a mixed group of another colour", {{kGemRed, true}, {kGemBlue, false}}, kGemOrange, GemState::Settled},
  };
  for (const Case& c : cases) {
    CGPuzzleDisc disc(1, 3);
    for (const auto& [colour, single] : c.groups) {
      MatchGroup(disc, colour, single ? std::vector<int>{1, 1, 1} : std::vector<int>{1, 2, 1});
    }
    EXPECT_EQ(disc.rainbowGem.colour, c.awaited) << c.name;
    EXPECT_EQ(disc.rainbowGem.state, c.state) << c.name;
  }
  EXPECT_EQ(receivers_.game.Count(eMSG_GMatchedRainbow), 0);
}

TEST_F(DiscMatching, ADiscOfOneColourBreaksWhole) {
  CGPuzzleDisc disc(7, 40);
  for (int r = 0; r < 7; ++r) {
    for (int c = 0; c < 40; ++c) ASSERT_TRUE(disc.PlaceGem(r, c, true, kGemCyan, (r + c) % kGemTypeCount));
  }
  disc.ProcessMatches(0.0f);
  ASSERT_EQ(MatchIds(), std::vector<uint32_t>{eMSG_GMatchedMixed});
  EXPECT_EQ(LastMatch().match.gemCount, 280u);
  EXPECT_EQ(disc.CountGems(), 280u);
  for (int r = 0; r < 7; ++r) EXPECT_EQ(DrawRing(disc, r), std::string(40, '*'));
}

}  // namespace
