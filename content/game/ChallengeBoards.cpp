#include "content/game/ChallengeBoards.h"

#include <cmath>
#include <cstdio>

#include "content/game/Constellations.h"
#include "game/rules/BoardFile.h"
#include "game/rules/PuzzleDisc.h"
#include "platform/Random.h"

namespace {

// Boards are the same at every build.
constexpr uint32_t kBoardSeed = 20260101;

struct DiscDesign {
  unsigned rings, slots;
  float fill;         // share of the slots holding a gem
  int highestColour;  // of the rainbow colours 0 to 6
  int highestShape;
  float groupRatio;  // share of gems the group growth aims to put in groups
  unsigned smallest, largest;
  std::vector<int> specials;  // White, Black or Gold gems placed after growth
};

// Per constellation, one disc per star: the first star is gentle (few rings,
// colours and shapes, large groups), later ones fuller and more varied.
const std::vector<std::vector<DiscDesign>>& Designs() {
  static const std::vector<std::vector<DiscDesign>> designs = {
      {
          {3, 10, 0.30f, 3, 1, 0.9f, 5, 10, {}},
          {3, 12, 0.35f, 4, 2, 0.8f, 5, 9, {kGemGold}},
          {4, 12, 0.40f, 4, 2, 0.7f, 4, 8, {kGemWhite}},
      },
      {
          {4, 12, 0.40f, 5, 2, 0.7f, 4, 8, {}},
          {4, 12, 0.45f, 5, 3, 0.6f, 4, 8, {kGemWhite}},
          {4, 14, 0.45f, 5, 3, 0.6f, 4, 7, {kGemBlack}},
          {4, 14, 0.50f, 6, 3, 0.5f, 4, 7, {kGemGold, kGemWhite}},
      },
      {
          {4, 14, 0.45f, 5, 3, 0.6f, 4, 7, {kGemBlack}},
          {5, 14, 0.50f, 6, 3, 0.5f, 4, 7, {kGemWhite, kGemBlack}},
          {5, 16, 0.50f, 6, 4, 0.5f, 3, 6, {kGemGold}},
          {5, 16, 0.55f, 6, 4, 0.4f, 3, 6, {kGemWhite, kGemGold}},
          {5, 16, 0.60f, 6, 4, 0.4f, 3, 6, {kGemBlack, kGemWhite, kGemGold}},
      },
  };
  return designs;
}

unsigned RandomBelow(unsigned bound) { return unsigned(platform::NextRandom()) % bound; }

std::unique_ptr<CGPuzzleDisc> BuildDisc(const DiscDesign& design) {
  auto disc = std::make_unique<CGPuzzleDisc>(design.rings, design.slots);
  // A blank queue: the game generates it when the disc starts.
  disc->queue->Init(kBoardQueueLength);
  // Gems in every ring but the last, which stays free for the player.
  const unsigned wanted = unsigned(std::lround(design.fill * float(design.rings * design.slots)));
  while (disc->CountGems() < wanted) {
    const int ring = int(RandomBelow(design.rings - 1)), column = int(RandomBelow(design.slots));
    CGPuzzleGem& gem = disc->GemAt(ring, column);
    if (gem.state != GemState::Empty) continue;
    gem.colour = int(RandomBelow(unsigned(design.highestColour) + 1));
    gem.type = int(RandomBelow(unsigned(design.highestShape) + 1));
    gem.state = GemState::Settled;
    // Often a gem takes the colour of a gem beside it: pairs that the group
    // growth below builds on (it grows groups, it does not start them).
    const CGPuzzleGem& beside = disc->GemAt(ring, column - 1);
    if (beside.state == GemState::Settled && RandomBelow(100) < 45) gem.colour = beside.colour;
  }
  disc->Compact();
  disc->GenerateGroups(design.groupRatio, design.smallest, design.largest);
  // Special gems go where growth can no longer recolour them, each on a
  // settled slot picked at random.
  for (int colour : design.specials) {
    for (;;) {
      CGPuzzleGem& gem = disc->GemAt(int(RandomBelow(design.rings - 1)), int(RandomBelow(design.slots)));
      if (gem.state != GemState::Settled || gem.colour >= kGemWhite) continue;
      gem.colour = colour;
      break;
    }
  }
  return disc;
}

}  // namespace

std::string BoardPath(const ConstellationDesign& constellation) {
  return std::string("Resources/Boards/Challenge/") + constellation.name + ".stars";
}

std::vector<std::unique_ptr<CGPuzzleDisc>> ChallengeDiscs(size_t constellation) {
  // Each constellation starts from its own seed, so one board's discs never
  // depend on how many numbers another board drew.
  platform::SeedRandom(kBoardSeed + uint32_t(constellation));
  std::vector<std::unique_ptr<CGPuzzleDisc>> discs;
  for (const DiscDesign& design : Designs()[constellation]) discs.push_back(BuildDisc(design));
  return discs;
}

void WriteChallengeBoards(DataFolder& folder) {
  const std::vector<ConstellationDesign>& constellations = ChallengeConstellations();
  for (size_t i = 0; i < constellations.size(); ++i) {
    const std::vector<std::unique_ptr<CGPuzzleDisc>> discs = ChallengeDiscs(i);
    std::vector<const CGPuzzleDisc*> board;
    for (const auto& disc : discs) board.push_back(disc.get());
    // The game names a board by its constellation's [NAME].
    const std::string path = folder.Root() + "/" + BoardPath(constellations[i]);
    if (!WriteBoard(path.c_str(), board)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      folder.Fail();
    }
  }
}
