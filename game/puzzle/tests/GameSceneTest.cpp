// The game's renderer: made and deleted by the game, shown the discs the
// board has left, and drawn by the scene hook.

#include <gtest/gtest.h>

#include "support/GameTestSupport.h"
#include "game/puzzle/NovalithObject.h"
#include "game/puzzle/PuzzleRenderer.h"

namespace puzzle_test {
namespace {

class GameSceneTest : public ProfiledGameTest {
 protected:
  void BuildBoard(unsigned discCount) {
    for (unsigned i = 0; i < discCount; ++i) game->BuildRandomDisc(i, 3, 8, 0.5f, 6, 4);
  }
};

TEST_F(GameSceneTest, TheRendererIsShownTheDiscsLeftUpToSix) {
  struct Case {
    unsigned discs;
    uint32_t index;
    uint32_t shown;
  };
  for (const Case& board : {Case{8, 0, 6}, Case{8, 5, 3}, Case{8, 7, 1}, Case{3, 0, 3}}) {
    game->ReleaseDiscs();
    BuildBoard(board.discs);
    GPuzzleRenderer* renderer = game->CreateRenderer();
    game->profile->Current().discIndex = board.index;
    game->StartDisc();
    EXPECT_EQ(renderer->DiscCount(), board.shown) << board.discs << " discs from " << board.index;
    EXPECT_EQ(renderer->CurrentDisc(), game->currentDisc);
  }
}

TEST_F(GameSceneTest, StartingADiscEmptiesTheQueueAndSizesTheStar) {
  BuildBoard(2);
  GPuzzleRenderer* renderer = game->CreateRenderer();
  renderer->queue[2].active = true;
  game->StartDisc();
  for (const GemMotion& record : renderer->queue) EXPECT_FALSE(record.active);
  EXPECT_EQ(renderer->star->capacity, game->currentDisc->CountGems());
  EXPECT_GT(renderer->star->capacity, 0u);
}

TEST_F(GameSceneTest, ScoredMatchesFeedTheStar) {
  BuildBoard(1);
  GPuzzleRenderer* renderer = game->CreateRenderer();
  game->StartDisc();
  int shapes[4] = {0, 0, 0, 0};
  MatchRecord& match = game->currentDisc->matchRecord;
  match.gemCount = 4;
  match.capacity = 4;
  match.colour = kGemCyan;
  match.shapes = shapes;
  game->ScoreMatch();
  EXPECT_EQ(renderer->star->crystalCounts[kGemCyan], 4u);
  match.shapes = nullptr;
}

// Only in Panic does the death of the star end the game.
TEST_F(GameSceneTest, ADeadStarEndsAPanicGame) {
  BuildBoard(1);
  for (int mode : {kModeChallenge, kModePanic}) {
    game->profile->mode = mode;
    game->gameOverText = "";
    GPuzzleRenderer* renderer = game->CreateRenderer();
    game->StartDisc();
    renderer->star->fresh = false;
    renderer->star->died = true;
    game->CheckGameOver();
    EXPECT_EQ(std::string(game->gameOverText.Chars()), mode == kModePanic ? "The Novalith collapsed!" : "") << mode;
  }
}

TEST_F(GameSceneTest, TheGameKeepsTheRenderersIdWhileItExists) {
  EXPECT_EQ(game->rendererReceiverId, -1);
  GPuzzleRenderer* renderer = game->CreateRenderer();
  EXPECT_EQ(game->rendererReceiverId, renderer->GetObjectId());
  EXPECT_EQ(renderer->ownerId, game->receiverId);
  EXPECT_EQ(renderer->profile, game->profile.get());
  // A second one replaces the first.
  GPuzzleRenderer* second = game->CreateRenderer();
  EXPECT_EQ(game->renderer, second);
  EXPECT_EQ(game->rendererReceiverId, second->GetObjectId());
  game->DeleteRenderer();
  EXPECT_EQ(game->renderer, nullptr);
  EXPECT_EQ(game->rendererReceiverId, -1);
  // The game deletes one it still holds (checked by the leak checker).
  game->CreateRenderer();
}

TEST_F(GameSceneTest, ThePuzzleSceneDrawsNothingWithoutAContext) {
  BuildBoard(1);
  game->CreateRenderer();
  game->StartDisc();
  EXPECT_EQ(game->DrawPuzzleScene(0), 0);
}

}  // namespace
}  // namespace puzzle_test
