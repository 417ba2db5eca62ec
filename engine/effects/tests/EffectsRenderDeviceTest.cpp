#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>

#include "engine/effects/BeamManager.h"
#include "engine/effects/ParticleManager.h"
#include "engine/foundation/Clock.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/RenderState.h"
#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "platform/GlWindow.h"
#include "platform/Random.h"

namespace {

class EffectsRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = RendererTestWindow::OpenHiddenGlWindow("effects device test", 32, 32);
    ASSERT_NE(window_, nullptr);
    GFXDisplay::WriteRenderState(RenderFlag::INITIAL);
    while (glGetError() != GL_NO_ERROR) {
    }
    platform::SeedRandom(7);
    Clock::Instance().SetPaused(false);
    Clock::Instance().SetFixedStep(0.05f);
    ASSERT_TRUE(material_.AllocateStages(2));
  }
  void TearDown() override {
    if (window_ != nullptr) window_->Close();
  }
  std::unique_ptr<platform::GlWindow> window_;
  CMATMaterial material_;
};

TEST_F(EffectsRenderTest, ParticlesDrawAsQuadsTrianglesAndPoints) {
  for (int shape : {1, 0, -1}) {
    ParticleManager system;
    system.Create(16);
    system.spaceMode = 0;
    system.quads = shape == 0 ? 0 : 1;
    system.SetMaterial(shape >= 0 ? &material_ : nullptr);
    for (int i = 0; i < 5; ++i) system.Spawn()->flicker = false;
    system.Update();
    system.Render();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "shape " << shape;
  }
}

TEST_F(EffectsRenderTest, PointsOfNoSizeDrawAPixelWithoutAGlError) {
  ParticleManager system;
  system.Create(4);
  system.sizeMin = 0.0f;
  system.Spawn()->flicker = false;
  system.Update();
  system.Render();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(EffectsRenderTest, BeamsDrawInBothModes) {
  for (int mode : {0, 1}) {
    BeamManager beams;
    beams.Create(8, mode);
    beams.SetMaterial(&material_);
    beams.Render();  // nothing built yet: nothing drawn
    beams.Spawn(Vector3(1.0f, 0.0f, 0.0f));
    BeamPoint points[3];
    points[1].position = Vector3(0.0f, 1.0f, 0.0f);
    points[2].position = Vector3(1.0f, 1.0f, 0.0f);
    beams.SpawnMany(points, 3);
    beams.Update();
    ASSERT_GT(beams.VertexCount(), 0);
    beams.Render();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "mode " << mode;
  }
}

}  // namespace
