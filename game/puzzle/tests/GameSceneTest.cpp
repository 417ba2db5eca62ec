// The game's renderer: made by the game, shown the discs the board has
// left, and drawn by the scene hook.

#include <gtest/gtest.h>

#include "game/puzzle/GameHud.h"
#include "game/puzzle/NovalithObject.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "support/GameTestSupport.h"

namespace puzzle_test {
namespace {

class GameSceneTest : public ProfiledGameTest {
 protected:
  void BuildBoard(unsigned discCount) {
    for (unsigned i = 0; i < discCount; ++i) game_->BuildRandomDisc(i, 3, 8, 0.5f, 6, 4);
  }
  // The renderer of new play views, as a game state makes them; the HUD
  // made beside it goes, so that its empty clock ends no Panic game here.
  GPuzzleRenderer* NewRenderer() {
    game_->CreatePlayViews();
    game_->hud.reset();
    return game_->renderer.get();
  }
};

TEST_F(GameSceneTest, TheRendererIsShownTheDiscsLeftUpToSix) {
  struct Case {
    unsigned discs;
    uint32_t index;
    uint32_t shown;
  };
  for (const Case& board : {Case{8, 0, 6}, Case{8, 5, 3}, Case{8, 7, 1}, Case{3, 0, 3}}) {
    game_->ReleaseDiscs();
    BuildBoard(board.discs);
    GPuzzleRenderer* renderer = NewRenderer();
    game_->profile->Current().discIndex = board.index;
    game_->StartDisc();
    EXPECT_EQ(renderer->DiscCount(), board.shown) << board.discs << " discs from " << board.index;
    EXPECT_EQ(renderer->CurrentDisc(), game_->currentDisc);
  }
}

TEST_F(GameSceneTest, StartingADiscEmptiesTheQueueAndSizesTheStar) {
  BuildBoard(2);
  GPuzzleRenderer* renderer = NewRenderer();
  renderer->queue[2].active = true;
  game_->StartDisc();
  for (const GemMotion& record : renderer->queue) EXPECT_FALSE(record.active);
  EXPECT_EQ(renderer->star->capacity, game_->currentDisc->CountGems());
  EXPECT_GT(renderer->star->capacity, 0u);
}

TEST_F(GameSceneTest, ScoredMatchesFeedTheStar) {
  BuildBoard(1);
  GPuzzleRenderer* renderer = NewRenderer();
  game_->StartDisc();
  int shapes[4] = {0, 0, 0, 0};
  MatchRecord& match = game_->currentDisc->matchRecord;
  match.gemCount = 4;
  match.capacity = 4;
  match.colour = kGemCyan;
  match.shapes = shapes;
  game_->ScoreMatch();
  EXPECT_EQ(renderer->star->crystalCounts[kGemCyan], 4u);
  match.shapes = nullptr;
}

// Only in Panic does the death of the star end the game.
TEST_F(GameSceneTest, ADeadStarEndsAPanicGame) {
  BuildBoard(1);
  for (int mode : {kModeChallenge, kModePanic}) {
    game_->profile->mode = mode;
    game_->gameOverText = "";
    GPuzzleRenderer* renderer = NewRenderer();
    game_->StartDisc();
    renderer->star->fresh = false;
    renderer->star->died = true;
    game_->CheckGameOver();
    EXPECT_EQ(std::string(game_->gameOverText.Chars()), mode == kModePanic ? "The Novalith collapsed!" : "") << mode;
  }
}

TEST_F(GameSceneTest, TheRendererAnswersToTheGameUnderItsOwnId) {
  EXPECT_EQ(game_->RendererReceiverId(), -1);
  GPuzzleRenderer* renderer = NewRenderer();
  EXPECT_EQ(game_->RendererReceiverId(), renderer->GetObjectId());
  EXPECT_EQ(renderer->ownerId, game_->receiverId);
  EXPECT_EQ(renderer->profile, game_->profile.get());
}

TEST_F(GameSceneTest, ThePuzzleSceneDrawsNothingWithoutAContext) {
  BuildBoard(1);
  NewRenderer();
  game_->StartDisc();
  EXPECT_EQ(game_->DrawPuzzleScene(0), 0);
}

}  // namespace
}  // namespace puzzle_test
