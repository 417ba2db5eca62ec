#include <gtest/gtest.h>

#include <cmath>

#include "engine/scene/core/Camera.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

void Viewport800x600(int32_t viewport[4]) {
  viewport[0] = 0;
  viewport[1] = 0;
  viewport[2] = 800;
  viewport[3] = 600;
}

class PuzzleCamera : public ProfiledGameTest {
 protected:
  void SetUp() override {
    ProfiledGameTest::SetUp();
    previous_ = Camera::DisplayHooks();
    CameraDisplayHooks hooks;
    hooks.getViewport = &Viewport800x600;
    Camera::DisplayHooks() = hooks;
  }
  void TearDown() override { Camera::DisplayHooks() = previous_; }

  CameraDisplayHooks previous_;
};

TEST_F(PuzzleCamera, LooksStraightDownAtTheFocusAndBecomesCurrent) {
  for (const bool withRenderer : {false, true}) {
    if (withRenderer) {
      game_->CreatePlayViews();
      ASSERT_NE(game_->renderer, nullptr);
    }
    const Vector3 focus = withRenderer ? game_->renderer->GetFocus() : Vector3(-5.0f, 0.0f, 0.0f);
    game_->SetupPuzzleCamera();
    Camera& camera = game_->puzzleCamera;
    EXPECT_EQ(game_->GetActiveCamera(), &camera);

    camera.ApplyProjection();
    for (double value : camera.modelView) EXPECT_TRUE(std::isfinite(value));
    for (double value : camera.projection) EXPECT_TRUE(std::isfinite(value));
    Vector3 out;
    ASSERT_TRUE(camera.Project(focus, out)) << withRenderer;
    EXPECT_NEAR(out.x, 400.0f, 1e-2f);
    EXPECT_NEAR(out.y, 300.0f, 1e-2f);
    // Straight down: points beside the focus on the ground stay in view,
    // and a point above the eye is behind it.
    EXPECT_TRUE(camera.Project(focus + Vector3(1.0f, 0.0f, 0.0f), out));
    EXPECT_TRUE(camera.Project(focus + Vector3(0.0f, 0.0f, 1.0f), out));
    EXPECT_FALSE(camera.Project(focus + Vector3(0.0f, 10.0f, 0.0f), out));
  }
}

}  // namespace
