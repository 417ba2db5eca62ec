// The high-score page drawn on the program's (offscreen) display with the
// game's own glyph sheets.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <vector>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/gui/ScreenFade.h"
#include "game/puzzle/tests/support/GameDisplay.h"
#include "game/shell/HighScoresScreen.h"
#include "game/shell/ShellResources.h"
#include "support/ScreenTestSupport.h"

namespace {

using namespace shell_test;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// The light of the canvas band between x0 and x1, 16 units high around y.
float Light(int x0, int x1, int y) {
  const int rows = 16;
  std::vector<float> rgba(static_cast<size_t>((x1 - x0) * rows * 4), 0.0f);
  glReadPixels(x0, kHeight - 1 - (y + rows / 2), x1 - x0, rows, GL_RGBA, GL_FLOAT, rgba.data());
  float sum = 0.0f;
  for (size_t i = 0; i < rgba.size(); i += 4) sum += rgba[i] + rgba[i + 1] + rgba[i + 2];
  return sum;
}

TEST(HighScoresScreenDevice, EveryPartOfARowFadesWithThePage) {
  ScreensFixture run;
  puzzle_test::OpenGameDisplay(*run.game, kWidth, kHeight);
  ASSERT_TRUE(run.RunUntil("Game.FrontEnd", 20.0f));
  run.Run(1.0f);
  run.game->FadeToState(kFadeMusicAndScreen, run.game->State(GameStateId::HighScores), 1.0f);
  ASSERT_TRUE(run.RunUntil("Game.HighScores", 2.0f));
  run.Run(1.0f);
  GetScreenFade()->active = 0;
  ASSERT_FLOAT_EQ(run.game->highScoreChannel.output, 1.0f);

  // The game's own glyph sheets.
  const std::filesystem::path fixtureFolder = std::filesystem::current_path();
  std::filesystem::current_path(VYRE_RUN_DIR);
  InitGemFonts();
  puzzle_test::LoadQueuedResources();
  std::filesystem::current_path(fixtureFolder);
  HighScoreEntry& entry = run.game->highScores[0][1];
  entry.name = "WWWWWWWW";
  entry.score = 88888888;
  entry.stars = 888;

  // Row 1 stands at y 326: its rank, name, score and stars.
  struct Part {
    const char* what;
    int x0, x1;
  };
  const Part parts[] = {{"rank", 48, 72}, {"name", 128, 300}, {"score", 476, 640}, {"stars", 704, 770}};
  CMATMaterial* crystal = CMATManager::GetInstance()->GetMaterial("AddingCrystal");
  ASSERT_TRUE(crystal->AllocateStages(1));
  crystal->GetStage(0)->flags = StageFlag::BLEND;
  crystal->GetStage(0)->blendSource = GL_ONE;
  crystal->GetStage(0)->blendDestination = GL_ONE;
  auto draw = [&](float alpha) {
    run.game->highScoreChannel.output = alpha;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The title's crystals were drawn before, their last stage adding its
    // light: the blend function it set is still in place.
    GFXDisplay::SetMaterial(crystal);
    GFXDisplay::BindMaterialStage(0);
    run.game->RenderHUD();
    std::vector<float> light;
    for (const Part& part : parts) light.push_back(Light(part.x0, part.x1, 326));
    return light;
  };
  // What the text adds to what is behind it.
  const std::vector<float> behind = draw(0.0f);
  const std::vector<float> atRest = draw(1.0f);
  const std::vector<float> midFade = draw(0.3f);
  for (size_t i = 0; i < std::size(parts); ++i) {
    EXPECT_GT(atRest[i] - behind[i], 20.0f) << parts[i].what;
    EXPECT_LT(midFade[i] - behind[i], (atRest[i] - behind[i]) * 0.6f) << parts[i].what;
  }

  run.game.reset();
  puzzle_test::CloseGameDisplay();
}

}  // namespace
