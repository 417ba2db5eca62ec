// A game drawn on the real (offscreen) display with the game's own data, then
// drawn again after the window and its GL context were rebuilt, as Alt+Return
// or a new display mode rebuilds them: every pixel must come back the same.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "engine/app/DisplayRebuild.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/runtime/display/Display.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/NovalithObject.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "platform/Random.h"
#include "support/GameDisplay.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

constexpr int kWidth = 200;
constexpr int kHeight = 150;
constexpr const char* kLibraries[] = {"Resources/Materials/Gems.mat", "Resources/Materials/PuzzleRenderer.mat",
                                      "Resources/Materials/SpecialFX.mat", "Resources/Materials/Backdrop.mat",
                                      "Resources/Boards/Challenge/Materials.mat"};

class GameDisplayRebuildDevice : public ProfiledGameTest {
 protected:
  void SetUp() override {
    ProfiledGameTest::SetUp();
    fixtureFolder_ = std::filesystem::current_path();
    // The game reads its data where the build made it.
    std::filesystem::current_path(VYRE_RUN_DIR);
    OpenGameDisplay(*game_, kWidth, kHeight);
    ASSERT_TRUE(game_->CanDraw());
    for (const char* library : kLibraries) ASSERT_TRUE(CMATManager::GetInstance()->ReadLibrary(library));

    // Every colour in every shape, a few empty slots, and a second disc to
    // come, drawn in fog; the galaxy behind them.
    for (int d = 0; d < 2; ++d) {
      auto disc = std::make_unique<CGPuzzleDisc>(3, 10);
      for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 10; ++c) {
          CGPuzzleGem& gem = disc->GemAt(r, c);
          gem.state = r == 2 && c < 5 ? GemState::Empty : GemState::Settled;
          gem.colour = (r * 10 + c) % kGemColourCount;
          gem.type = (r * 10 + c + r) % kGemTypeCount;
        }
      }
      game_->discs.push_back(std::move(disc));
    }
    game_->currentDisc = game_->discs[0].get();
    game_->galacticPlane = MakeGalacticPlane("Resources/Boards/Challenge/Constellations.txt");
    game_->CreatePlayViews();
    GPuzzleRenderer* renderer = game_->renderer.get();
    // Into play: the presentation entered, its turn run out at once.
    renderer->Update();
    renderer->Update();
    renderer->presentChannel.t = 1.0f;
    renderer->presentChannel.output = 0.0f;
    for (int step = 0; step < 3; ++step) renderer->Update();
    ASSERT_TRUE(renderer->IsCurrent(renderer->InGame()));
    renderer->star->glowLevel = 2.0f;
    LoadQueuedResources();
    game_->SetupPuzzleCamera();
    game_->SetSceneCallback([this](int32_t) { return game_->DrawPuzzleScene(0); });
  }

  void TearDown() override {
    game_.reset();
    CloseGameDisplay();
    std::filesystem::current_path(fixtureFolder_);
  }

  std::vector<uint8_t> DrawFrame() {
    // White gems shake by the generator: the same shake every time.
    platform::SeedRandom(5);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    game_->RenderScene();
    glFinish();
    std::vector<uint8_t> rgb(size_t(kWidth) * kHeight * 3);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
  }

  std::filesystem::path fixtureFolder_;
};

TEST_F(GameDisplayRebuildDevice, TheDiscAndStarKeepTheirColoursAfterARebuild) {
  const std::vector<uint8_t> before = DrawFrame();
  int drawn = 0;
  for (size_t p = 0; p < before.size(); p += 3) drawn += before[p] + before[p + 1] + before[p + 2] > 48 ? 1 : 0;
  ASSERT_GT(drawn, kWidth * kHeight / 20) << "the discs fill a part of the view";

  GetDisplay()->SetState(CDisplay::kChangePending);
  ASSERT_EQ(RebuildDisplay(*GetDisplay(), *game_), DisplayRebuild::kRebuilt);
  LoadQueuedResources();
  const std::vector<uint8_t> after = DrawFrame();

  int changed = 0;
  for (size_t p = 0; p < before.size(); p += 3) {
    int difference = 0;
    for (int k = 0; k < 3; ++k) difference += std::abs(int(before[p + k]) - int(after[p + k]));
    changed += difference > 12 ? 1 : 0;
  }
  EXPECT_EQ(changed, 0) << "of " << drawn << " drawn pixels";
}

}  // namespace
