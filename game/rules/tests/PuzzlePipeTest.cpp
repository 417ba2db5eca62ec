#include <gtest/gtest.h>

#include <string>

#include "game/rules/PuzzleDisc.h"
#include "game/rules/PuzzlePipe.h"
#include "platform/Random.h"
#include "support/PuzzleTestSupport.h"

namespace {

using namespace puzzle_test;

// Fills a queue as a board file does: entries in order from index 0, head
// at 0, sequence mode. Letters as in a drawn disc; '.' an Empty entry.
void FillBoardQueue(CGPuzzlePipe& queue, const std::string& gems) {
  queue.Init(static_cast<unsigned>(gems.size()));
  for (size_t i = 0; i < gems.size(); ++i) {
    if (gems[i] == '.') continue;
    queue.entries[i].colour = ColourOfLetter(gems[i]);
    queue.entries[i].state = GemState::Settled;
  }
}

// The queue from the front: a colour letter per Settled entry, 'x' Dead,
// '.' Empty.
std::string DrawQueue(const CGPuzzlePipe& queue) {
  static const char kLetters[] = "ROYGCBIWKA";
  std::string text;
  for (unsigned i = 0; i < queue.capacity; ++i) {
    const CGPuzzleGem& gem = queue.At(i);
    text += gem.state == GemState::Dead ? 'x' : gem.state == GemState::Empty ? '.' : kLetters[gem.colour];
  }
  return text;
}

TEST(PuzzlePipe, ABoardSequenceHandsOverToGeneration) {
  struct Case {
    const char* name;
    std::string gems;
    int advancesInSequence;  // the next advance switches
  };
  const Case cases[] = {
      {"20 gems: once fewer than ten are left", "ROYGCBIROYGCBIROYGCB", 10},
      {"an Empty fourth entry", "ROY.CBIROYGCBIROYGCB", 2},
      {"6 gems: when the sequence wraps", "ROYGCB", 5},
  };
  for (const Case& c : cases) {
    auto disc = DrawDisc({"R"});
    CGPuzzlePipe& queue = *disc->queue;
    FillBoardQueue(queue, c.gems);
    for (int i = 0; i < c.advancesInSequence; ++i) {
      queue.Advance();
      EXPECT_EQ(queue.mode, kPipeSequence) << c.name << " advance " << i + 1;
      EXPECT_EQ(queue.head, static_cast<unsigned>(i + 1)) << c.name;
    }
    queue.Advance();
    EXPECT_EQ(queue.mode, kPipeGenerated) << c.name;
  }
}

TEST(PuzzlePipe, PushWritesBehindTheFrontAndGenerationFollowsTheDisc) {
  platform::SeedRandom(99);
  auto disc = DrawDisc({"GGGG"});
  disc->GemAt(0, 2).type = kGemOrb;
  disc->TakeCensus();
  CGPuzzlePipe& queue = *disc->queue;
  FillBoardQueue(queue, "ROYB");
  queue.mode = kPipeGenerated;
  queue.Advance();  // R was taken: it stays as the last position
  EXPECT_EQ(DrawQueue(queue), "OYGR");
  EXPECT_TRUE(queue.At(2).type == kGemTetra || queue.At(2).type == kGemOrb);
  for (int i = 0; i < 30; ++i) queue.Advance();
  // A disc of one colour gets that colour, however often it came up.
  EXPECT_EQ(DrawQueue(queue).substr(0, 3), "GGG");
  for (int recent : queue.recentColours) EXPECT_EQ(recent, kGemGreen);
}

TEST(PuzzlePipe, APushedWhiteGemGetsItsCountdown) {
  auto disc = DrawDisc({"R"});
  disc->queue->Init(3);
  disc->queue->Push(kGemWhite, kGemStar);
  const CGPuzzleGem& white = disc->queue->entries[2];
  EXPECT_EQ(white.state, GemState::Settled);
  EXPECT_GE(white.timerStart, 5.0f);
  EXPECT_EQ(white.timer, white.timerStart);
}

TEST(PuzzlePipe, NoLiveGemOnTheDiscPushesNothing) {
  auto disc = DrawDisc({"RR.."});
  disc->GemAt(0, 0).state = GemState::Breaking;
  disc->GemAt(0, 1).state = GemState::Expired;
  CGPuzzlePipe& queue = *disc->queue;
  FillBoardQueue(queue, "ROY");
  queue.mode = kPipeGenerated;
  queue.Advance();
  EXPECT_EQ(queue.head, 0u);
  EXPECT_EQ(DrawQueue(queue), "ROY");
}

TEST(PuzzlePipe, RemoveDeadPullsTheRestUp) {
  struct Case {
    const char* before;
    unsigned head;
    const char* after;
  };
  const Case cases[] = {
      {"ROYxCB", 0, "ROYCBR"},  // the last position receives a copy of the front
      {"ROYxCB", 2, "ROYCBR"},  // positions count from the head and wrap
      {"xOYGCB", 0, "OYGCBO"},  // the front: the copy is the new front
      {"xxYGCB", 0, "xYGCBx"},  // the next entry was Dead too: a later step removes it
      {"ROYGCB", 0, "ROYGCB"},
  };
  for (const Case& c : cases) {
    auto disc = DrawDisc({"R"});
    CGPuzzlePipe& queue = *disc->queue;
    // Lay the drawing out from the head on.
    const std::string drawn = c.before;
    std::string stored(drawn.size(), '.');
    for (size_t i = 0; i < drawn.size(); ++i) stored[(c.head + i) % drawn.size()] = drawn[i] == 'x' ? 'R' : drawn[i];
    FillBoardQueue(queue, stored);
    queue.head = c.head;
    for (size_t i = 0; i < drawn.size(); ++i) {
      if (drawn[i] == 'x') queue.At(static_cast<unsigned>(i)).state = GemState::Dead;
    }
    queue.RemoveDead();
    EXPECT_EQ(DrawQueue(queue), c.after) << c.before << " head " << c.head;
  }
  // Of two Dead entries at the front, the second goes at the next step.
  auto disc = DrawDisc({"R"});
  FillBoardQueue(*disc->queue, "RRYGCB");
  disc->queue->At(0).state = disc->queue->At(1).state = GemState::Dead;
  disc->queue->RemoveDead();
  disc->queue->RemoveDead();
  EXPECT_EQ(DrawQueue(*disc->queue).substr(0, 4), "YGCB");
}

TEST(PuzzlePipe, UniformWhenEveryEntryHasTheFrontsColour) {
  auto disc = DrawDisc({"R"});
  CGPuzzlePipe& queue = *disc->queue;
  EXPECT_FALSE(queue.IsUniform());  // no entries
  FillBoardQueue(queue, "GGGG");
  EXPECT_TRUE(queue.IsUniform());
  queue.Init(4);  // a blank board queue: every entry Red and Empty
  EXPECT_TRUE(queue.IsUniform());
  FillBoardQueue(queue, "GGBG");
  EXPECT_FALSE(queue.IsUniform());
}

TEST(PuzzlePipe, AQueueWithoutEntriesDoesNothing) {
  auto disc = DrawDisc({"RG"});
  disc->TakeCensus();
  CGPuzzlePipe& queue = *disc->queue;
  for (int mode : {0, 1, 2}) {
    queue.mode = mode;
    queue.Advance();
    queue.Push(kGemRed, kGemTetra);
    queue.Generate();
    queue.RemoveDead();
    queue.Clear();
    queue.KillColour(kGemRed);
    EXPECT_EQ(queue.head, 0u);
    EXPECT_EQ(queue.mode, mode);
  }
  queue.Init(0);
  queue.Advance();
  EXPECT_EQ(queue.capacity, 0u);
  // A disc step reaches the queue too.
  disc->ProcessMatches(0.016f);
}

TEST(PuzzlePipe, RecentColoursAreHeldBack) {
  platform::SeedRandom(4242);
  CGPuzzleDisc disc(1, 1);
  CGPuzzlePipe& queue = *disc.queue;
  struct Case {
    int recentReds;
    double low;
    double high;  // expected share of passes
  };
  // 1, 0.6875, 0.453, 0.277, 0.146, 0.047
  for (const Case& c : {Case{0, 1.0, 1.0}, Case{1, 0.66, 0.72}, Case{3, 0.25, 0.31}, Case{5, 0.035, 0.06}}) {
    for (int i = 0; i < CGPuzzlePipe::kRecentColours; ++i)
      queue.recentColours[i] = i < c.recentReds ? kGemRed : kGemBlue;
    constexpr int kDraws = 20000;
    int passes = 0;
    for (int i = 0; i < kDraws; ++i) passes += queue.PassesRecencyTest(kGemRed) ? 1 : 0;
    const double share = static_cast<double>(passes) / kDraws;
    EXPECT_GE(share, c.low) << c.recentReds;
    EXPECT_LE(share, c.high) << c.recentReds;
  }
}

TEST(PuzzlePipe, OtherModesPushRandomColoursOfTheFirstShape) {
  platform::SeedRandom(5);
  auto disc = DrawDisc({"R"});
  CGPuzzlePipe& queue = *disc->queue;
  queue.Init(40);
  queue.mode = 3;
  bool colourSeen[kGemColourCount] = {};
  for (int i = 0; i < 200; ++i) {
    queue.Advance();
    const CGPuzzleGem& pushed = queue.At(38);
    EXPECT_EQ(pushed.type, kGemTetra);
    colourSeen[pushed.colour] = true;
  }
  for (bool seen : colourSeen) EXPECT_TRUE(seen);
}

}  // namespace
