#include <gtest/gtest.h>

#include <fstream>

#include "engine/foundation/Log.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/rules/BoardFile.h"
#include "platform/FileSystem.h"
#include "platform/Random.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

// The colours of a queue from its front, as letters.
std::string QueueColours(const CGPuzzlePipe& queue) {
  static const char kLetters[] = "ROYGCBIWKA";
  std::string text;
  for (unsigned i = 0; i < queue.capacity; ++i) {
    text += queue.At(i).state == GemState::Empty ? '.' : kLetters[queue.At(i).colour];
  }
  return text;
}

// A board file of raw 32-bit values.
void WriteInts(const std::string& path, const std::vector<int32_t>& values, size_t keepBytes = SIZE_MAX) {
  std::string bytes;
  for (int32_t value : values) {
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
  }
  std::ofstream(path, std::ios::binary) << bytes.substr(0, std::min(keepBytes, bytes.size()));
}

// A disc of rings x gems, every slot Empty unless given, and its queue.
std::vector<int32_t> DiscInts(int32_t rings, int32_t gems, int32_t pipe, std::vector<int32_t> firstSlot = {0, 0, 0}) {
  std::vector<int32_t> values = {rings, gems, pipe};
  const int64_t records = static_cast<int64_t>(std::max(rings, 0)) * std::max(gems, 0) + std::max(pipe, 0);
  for (int64_t i = 0; i < records && i < 100000; ++i) {
    const std::vector<int32_t> record = i == 0 ? firstSlot : std::vector<int32_t>{0, 0, 0};
    values.insert(values.end(), record.begin(), record.end());
  }
  return values;
}

std::vector<int32_t> Board(std::vector<std::vector<int32_t>> discs) {
  std::vector<int32_t> values = {static_cast<int32_t>(discs.size())};
  for (const auto& disc : discs) values.insert(values.end(), disc.begin(), disc.end());
  return values;
}

class GameBoards : public ProfiledGameTest {
 protected:
  void SetUp() override {
    ProfiledGameTest::SetUp();
    game_->galacticPlane = std::make_unique<GalacticPlane>();
    GalacticPlane& plane = *game_->galacticPlane;
    plane.constellationCount = 2;
    plane.constellations.resize(2);
    plane.constellations[0].name = "Lyra";
    plane.constellations[0].starCount = 3;
    plane.constellations[1].name = "Orion  ";  // trailing blanks are not part of the file name
    plane.constellations[1].starCount = 2;
    ASSERT_TRUE(platform::MakeFolder("Resources"));
    ASSERT_TRUE(platform::MakeFolder("Resources/Boards"));
    ASSERT_TRUE(platform::MakeFolder("Resources/Boards/Challenge"));
  }
};

TEST_F(GameBoards, ABoardWrittenIsReadBack) {
  auto first = DrawDisc({"RRGBYOCI", "W...K..A", "........"});
  first->GemAt(0, 1).type = kGemStar;
  first->queue->Init(12);
  for (int i = 0; i < 12; ++i) first->queue->Push(i % 7, i % 5);
  auto second = DrawDisc({"GGGGGGGG", "........", "........"});
  second->queue->Init(12);
  ASSERT_TRUE(WriteBoard("two.stars", {first.get(), second.get()}));
  EXPECT_EQ(std::ifstream("two.stars", std::ios::binary | std::ios::ate).tellg(), 4 + 2 * (12 + 36 * 12));

  std::vector<std::unique_ptr<CGPuzzleDisc>> discs;
  ASSERT_TRUE(ReadBoard("two.stars", discs));
  ASSERT_EQ(discs.size(), 2u);
  for (int r = 0; r < 3; ++r) EXPECT_EQ(DrawRing(*discs[0], r), DrawRing(*first, r)) << r;
  EXPECT_EQ(discs[0]->GemAt(0, 1).type, kGemStar);
  EXPECT_EQ(QueueColours(*discs[0]->queue), QueueColours(*first->queue));
  EXPECT_EQ(discs[0]->queue->mode, kPipeSequence);
  const CGPuzzleGem& white = discs[0]->GemAt(1, 0);
  EXPECT_GE(white.timerStart, 5.0f);
  EXPECT_LE(white.timerStart, 15.0f);
  EXPECT_EQ(white.timer, white.timerStart);
  EXPECT_EQ(DrawRing(*discs[1], 0), "GGGGGGGG");
  EXPECT_TRUE(discs[1]->locked);
}

TEST_F(GameBoards, HostileFilesAreRefusedOrMended) {
  struct Case {
    const char* name;
    std::vector<int32_t> values;
    size_t keepBytes;
    bool loads;
    const char* ring0;  // of disc 0 when it loads
  };
  const Case cases[] = {
      {"no bytes", {}, SIZE_MAX, false, nullptr},
      {"a truncated count", {1}, 2, false, nullptr},
      {"negative discs", {-3}, SIZE_MAX, false, nullptr},
      {"a huge disc count", {1 << 30}, SIZE_MAX, false, nullptr},
      {"a disc header cut after its rings", Board({std::vector<int32_t>{3}}), SIZE_MAX, false, nullptr},
      {"a disc header cut before its pipe", Board({std::vector<int32_t>{3, 8}}), SIZE_MAX, true, "........"},
      {"negative rings", Board({DiscInts(-1, 8, 4)}), SIZE_MAX, false, nullptr},
      {"huge rings", Board({DiscInts(100000, 8, 4)}), SIZE_MAX, false, nullptr},
      {"too few gems", Board({DiscInts(3, 2, 4)}), SIZE_MAX, false, nullptr},
      {"a huge pipe", Board({DiscInts(3, 8, 1 << 28)}), SIZE_MAX, false, nullptr},
      {"a bad colour", Board({DiscInts(1, 3, 1, {12, 0, 1})}), SIZE_MAX, true, "..."},
      {"a bad shape", Board({DiscInts(1, 3, 1, {2, 7, 1})}), SIZE_MAX, true, "..."},
      {"a slot stored in flight", Board({DiscInts(1, 3, 1, {2, 0, 3})}), SIZE_MAX, true, "..."},
      {"a good slot", Board({DiscInts(1, 3, 1, {2, 0, 1})}), SIZE_MAX, true, "Y.."},
      {"a truncated tail", Board({DiscInts(1, 3, 1, {2, 0, 1})}), 4 + 12 + 6, true, "..."},
  };
  for (const Case& c : cases) {
    WriteInts("hostile.stars", c.values, c.keepBytes);
    std::vector<std::unique_ptr<CGPuzzleDisc>> discs;
    EXPECT_EQ(ReadBoard("hostile.stars", discs), c.loads) << c.name;
    if (!c.loads) {
      EXPECT_TRUE(discs.empty()) << c.name;
      continue;
    }
    ASSERT_EQ(discs.size(), 1u) << c.name;
    EXPECT_EQ(DrawRing(*discs[0], 0), c.ring0) << c.name;
  }
  // A disc without a queue in the file gets a generated one of 12.
  WriteInts("nopipe.stars", Board({DiscInts(2, 4, 0, {3, 1, 1})}));
  std::vector<std::unique_ptr<CGPuzzleDisc>> discs;
  ASSERT_TRUE(ReadBoard("nopipe.stars", discs));
  EXPECT_EQ(discs[0]->queue->capacity, kGeneratedPipeLength);
  EXPECT_EQ(discs[0]->queue->mode, kPipeGenerated);
  EXPECT_FALSE(ReadBoard("missing.stars", discs));
}

TEST_F(GameBoards, LoadBoardsStartsTheProfilesDiscAndGeneratesABlankQueue) {
  auto lit = DrawDisc({"RRGGBB", "......"});
  lit->queue->Init(6);
  for (int i = 0; i < 6; ++i) lit->queue->Push(kGemRed, 0);
  auto blank = DrawDisc({"RGBRGB", "......"});
  blank->queue->Init(6);  // every entry Red and Empty: left blank in the file
  ASSERT_TRUE(WriteBoard("Resources/Boards/Challenge/Orion.stars", {lit.get(), blank.get()}));
  ModeStats& stats = game_->profile->Current();
  stats.constellationIndex = 1;
  stats.discIndex = 1;
  ASSERT_TRUE(game_->LoadBoards());
  ASSERT_EQ(game_->discs.size(), 2u);
  EXPECT_EQ(game_->currentDisc, game_->discs[1].get());
  EXPECT_EQ(game_->galacticPlane->constellations[0].completed, 3u);
  EXPECT_EQ(game_->galacticPlane->constellations[1].completed, 1u);
  const CGPuzzlePipe& queue = *game_->currentDisc->queue;
  for (unsigned i = 0; i + 1 < queue.capacity; ++i) {
    EXPECT_EQ(queue.At(i).state, GemState::Settled) << i;
    EXPECT_TRUE(queue.At(i).colour == kGemRed || queue.At(i).colour == kGemGreen || queue.At(i).colour == kGemBlue);
  }
  EXPECT_EQ(game_->currentDisc->dropColumn, 0);
  EXPECT_EQ(game_->currentDisc->landingRing, 1);
}

TEST_F(GameBoards, ABoardShorterThanItsConstellationOrOutOfRangeIndicesAreHandled) {
  auto one = DrawDisc({"RRR", "..."});
  one->queue->Init(3);
  ASSERT_TRUE(WriteBoard("Resources/Boards/Challenge/Lyra.stars", {one.get()}));
  ModeStats& stats = game_->profile->Current();
  stats.constellationIndex = 0;  // Lyra has three stars
  EXPECT_FALSE(game_->LoadBoards());
  EXPECT_TRUE(game_->discs.empty());
  EXPECT_EQ(game_->currentDisc, nullptr);

  ASSERT_TRUE(WriteBoard("Resources/Boards/Challenge/Lyra.stars", {one.get(), one.get(), one.get()}));
  stats.constellationIndex = 9;
  stats.discIndex = 7;
  EXPECT_TRUE(game_->LoadBoards());
  EXPECT_EQ(stats.constellationIndex, 0u);
  EXPECT_EQ(stats.discIndex, 0u);
  EXPECT_EQ(game_->currentDisc, game_->discs[0].get());
}

TEST_F(GameBoards, AFailedLoadGivesOneReasonNamingItsFile) {
  // The errors of the log, each a line the terminal shows.
  auto failures = [](const LogCapture& log) {
    std::vector<std::string> lines;
    for (const std::string& line : log.Lines()) {
      if (line.rfind("Loading boards from", 0) != 0 && line.rfind("The Challenge", 0) != 0) lines.push_back(line);
    }
    return lines;
  };
  {
    LogCapture log(kLogDBG);
    EXPECT_FALSE(game_->LoadBoards());
    EXPECT_EQ(failures(log),
              std::vector<std::string>{"Load failed! Cannot open the board Resources/Boards/Challenge/Lyra.stars"});
  }
  {
    // A damaged definition is told by its reader, and nothing after it.
    std::ofstream("Resources/Boards/Challenge/Lyra.definition.txt", std::ios::binary) << "\x01\xff[STA\nRS(((";
    LogCapture log(kLogDBG);
    Constellation& lyra = game_->galacticPlane->constellations[0];
    EXPECT_FALSE(lyra.Read("Resources/Boards/Challenge/Lyra.definition.txt"));
    EXPECT_FALSE(game_->LoadBoards());
    EXPECT_EQ(failures(log), std::vector<std::string>{
                                 "Constellation Resources/Boards/Challenge/Lyra.definition.txt ends without [END]"});
  }
  {
    // One that reads but holds no star says so.
    std::ofstream("Resources/Boards/Challenge/Lyra.definition.txt") << "[NAME] Lyra\n[END]\n";
    LogCapture log(kLogDBG);
    ASSERT_TRUE(game_->galacticPlane->constellations[0].Read("Resources/Boards/Challenge/Lyra.definition.txt"));
    EXPECT_FALSE(game_->LoadBoards());
    EXPECT_EQ(failures(log), std::vector<std::string>{"Load failed! Constellation "
                                                      "Resources/Boards/Challenge/Lyra.definition.txt has no stars"});
  }
}

TEST_F(GameBoards, TheRainbowRunCarriesToTheNextDiscAndBoard) {
  auto disc = DrawDisc({"RRR", "..."});
  disc->queue->Init(3);
  ASSERT_TRUE(WriteBoard("Resources/Boards/Challenge/Orion.stars", {disc.get(), disc.get()}));
  game_->profile->Current().constellationIndex = 1;
  ASSERT_TRUE(game_->LoadBoards());
  game_->currentDisc->rainbowGem.colour = kGemYellow;
  game_->currentDisc->rainbowGem.type = kGemOrb;
  game_->profile->Current().discIndex = 1;
  game_->StartDisc();
  EXPECT_EQ(game_->currentDisc, game_->discs[1].get());
  EXPECT_EQ(game_->currentDisc->rainbowGem.colour, kGemYellow);
  // A new board releases the old discs; the run goes on.
  game_->profile->Current().discIndex = 0;
  ASSERT_TRUE(game_->LoadBoards());
  EXPECT_EQ(game_->currentDisc->rainbowGem.colour, kGemYellow);
  EXPECT_EQ(game_->currentDisc->rainbowGem.type, kGemOrb);
}

TEST_F(GameBoards, ARandomDiscLeavesItsLastRingEmptyAndIsPacked) {
  for (uint32_t seed : {1u, 2u, 3u, 4u}) {
    platform::SeedRandom(seed);
    game_->BuildRandomDisc(1, 5, 12, 0.75f, 6, 4);
    ASSERT_EQ(game_->discs.size(), 2u);
    const CGPuzzleDisc& disc = *game_->discs[1];
    EXPECT_EQ(DrawRing(disc, 4), std::string(12, '.')) << seed;
    EXPECT_EQ(disc.queue->capacity, kGeneratedPipeLength);
    EXPECT_EQ(disc.queue->mode, kPipeGenerated);
    EXPECT_GT(disc.CountGems(), 30u) << seed;
    for (int c = 0; c < 12; ++c) {
      for (int r = 1; r < 5; ++r) {
        if (disc.GemAt(r, c).state == GemState::Settled) {
          EXPECT_EQ(disc.GemAt(r - 1, c).state, GemState::Settled) << seed << " column " << c;
        }
      }
    }
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 12; ++c) {
        const CGPuzzleGem& gem = disc.GemAt(r, c);
        if (gem.state != GemState::Settled) continue;
        EXPECT_LE(gem.colour, kGemIndigo);
        EXPECT_LE(gem.type, kGemStar);
      }
    }
  }
  // Bounds past the tables draw only colours and shapes that exist.
  game_->BuildRandomDisc(0, 3, 20, 1.0f, 65535, 65535);
  for (int c = 0; c < 20; ++c) EXPECT_LT(game_->discs[0]->GemAt(0, c).colour, kGemColourCount);
}

}  // namespace
