// The galaxy, a constellation and the star's effects drawn on a real
// (offscreen) context: no GL error, and pixels that change.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/effects/ParticleManager.h"
#include "engine/foundation/Clock.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/graphics/RenderState.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureManager.h"
#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "game/puzzle/Constellation.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/NovalithObject.h"
#include "game/rules/GameMessages.h"
#include "game/rules/MatchRecord.h"
#include "platform/GlWindow.h"
#include "platform/Random.h"

namespace {

constexpr int kSide = 32;

class StarAndSkyDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = RendererTestWindow::OpenHiddenGlWindow("star and sky device test", kSide, kSide);
    ASSERT_NE(window_, nullptr);
    RendererTestWindow::StartRenderer(kSide, kSide);
    GFXDisplay::WindingFlag() = 0;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.1, 0.1, -0.1, 0.1, 0.1, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    platform::SeedRandom(11);
    Clock::Instance().SetPaused(false);
    Clock::Instance().SetFixedStep(0.05f);
    while (glGetError() != GL_NO_ERROR) {
    }
  }
  void TearDown() override {
    EffectsPool::Shutdown();
    RendererTestWindow::StopRenderer();
    Clock::Instance().SetFixedStep(0.0f);
    if (window_ != nullptr) window_->Close();
  }

  static void Clear() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  // Pixels that are not the black the frame was cleared to.
  static int LitPixels() {
    glFinish();
    std::vector<float> rgb(kSide * kSide * 3);
    glReadPixels(0, 0, kSide, kSide, GL_RGB, GL_FLOAT, rgb.data());
    int lit = 0;
    for (int i = 0; i < kSide * kSide; ++i) {
      if (rgb[i * 3] + rgb[i * 3 + 1] + rgb[i * 3 + 2] > 0.05f) ++lit;
    }
    return lit;
  }

  // A material whose stages show a small solid white texture.
  static CMATMaterial* TexturedMaterial(const char* name, uint32_t stages = 1) {
    static int textures = 0;
    CMATMaterial* material = CMATManager::GetInstance()->GetMaterial(name);
    EXPECT_TRUE(material->AllocateStages(stages));
    CTEXTexture* texture = CTEXManager::GetInstance()->CreateTexture(("white" + std::to_string(textures++)).c_str());
    const std::vector<uint8_t> texels(4 * 4 * 3, 255);
    texture->SetMipmap(false);
    EXPECT_TRUE(texture->CreateBlank(4, 4, texels.data()));
    for (uint32_t i = 0; i < stages; ++i) {
      CMATStage* stage = material->GetStage(i);
      stage->flags |= StageFlag::MAP | StageFlag::SOLID;
      stage->texture = texture;
    }
    return material;
  }

  static void ExpectNoGlError(const char* where) { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << where; }

  std::unique_ptr<platform::GlWindow> window_;
};

TEST_F(StarAndSkyDevice, ThePlaneDrawsItsBackdropStarFieldRingAndMarkers) {
  TexturedMaterial("GalacticPlane", 2);
  TexturedMaterial("CompletedStar");
  GalacticPlane plane;
  plane.Create();
  ASSERT_NE(plane.material, nullptr);
  plane.constellationCount = 2;
  plane.constellations.resize(2);
  for (Constellation& constellation : plane.constellations) constellation.silhouette = TexturedMaterial("Outline");
  plane.current = 0;
  plane.CreateMarkers();
  plane.AddMarker(Vector3(), 0.0f);
  plane.Update(0.5f);

  // From the galaxy's centre the backdrop fills the view.
  Clear();
  plane.Draw();
  ExpectNoGlError("with the backdrop");
  EXPECT_EQ(LitPixels(), kSide * kSide);

  // Without it the star field alone lights a few pixels.
  plane.material = nullptr;
  Clear();
  plane.Draw();
  ExpectNoGlError("star field only");
  const int stars = LitPixels();
  EXPECT_GT(stars, 0);
  EXPECT_LT(stars, kSide * kSide / 2);
}

TEST_F(StarAndSkyDevice, AConstellationDrawsItsImagesDotsAndCompletedStars) {
  Constellation constellation;
  constellation.silhouette = TexturedMaterial("Silhouette");
  constellation.outline = TexturedMaterial("Outline", 2);
  constellation.completedStarMaterial = TexturedMaterial("CompletedStar");
  constellation.sprite = std::make_unique<GFXSprite>();
  constellation.starCount = 3;
  constellation.stars.resize(3);
  for (int i = 0; i < 3; ++i) {
    constellation.stars[i].position = Vector2(0.25f * static_cast<float>(i + 1), 0.5f);
    constellation.stars[i].flipbook = std::make_unique<GFXFlipbook>();
  }
  constellation.completed = 2;
  constellation.UpdateCompletedStars(0.1f);

  // Looking down on its x-z plane from above its view centre.
  glTranslatef(0.0f, 0.0f, -10.0f);
  glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
  Clear();
  constellation.Draw(false);
  ExpectNoGlError("flat");
  EXPECT_GT(LitPixels(), kSide * kSide / 4);
  EXPECT_FLOAT_EQ(constellation.silhouette->GetStage(0)->colour[3], 0.5f + 0.5f * 2.0f / 3.0f);
  Clear();
  constellation.Draw(true);
  ExpectNoGlError("on the ring");

  // Without stars the images are drawn as with none completed, never NaN.
  constellation.starCount = 0;
  constellation.stars.clear();
  constellation.Draw(false);
  EXPECT_EQ(constellation.silhouette->GetStage(0)->colour[3], 0.5f);
  EXPECT_EQ(constellation.outline->GetStage(1)->colour[3], 0.0f);
  ExpectNoGlError("without stars");
}

TEST_F(StarAndSkyDevice, AnExplodingStarsEffectsDrawThroughThePool) {
  NovalithObject star;
  star.Reset();
  for (int step = 0; step < 2; ++step) star.Update();
  MatchRecord match;
  match.colour = 3;
  match.gemCount = 5;
  star.AddCrystals(match);
  for (int step = 0; step < 2; ++step) star.Update();
  ASSERT_TRUE(star.IsCurrent(star.Growing()));
  PostGameMessageTo(-1, star.ReceiverId(), eMSG_GNovalithExplode, 0, 0.0);
  for (int step = 0; step < 30 && !star.IsCurrent(star.Exploding()); ++step) star.Update();
  ASSERT_TRUE(star.IsCurrent(star.Exploding()));

  EffectsPool::Instance().Update();
  glTranslatef(0.0f, 0.0f, -5.0f);
  Clear();
  EffectsPool::Instance().Draw();
  ExpectNoGlError("explosion");
  EXPECT_GT(LitPixels(), 0);
}

TEST_F(StarAndSkyDevice, ThePoolSkipsHiddenSystems) {
  ParticleManager& spare = *EffectsPool::Instance().Particles(5);
  spare.Create(8);
  spare.lifespan = 10.0f;
  spare.sizeMin = spare.sizeMax = 4.0f;
  for (int i = 0; i < 4; ++i) spare.Spawn()->flicker = false;
  EffectsPool::Instance().Update();
  glTranslatef(0.0f, 0.0f, -5.0f);

  Clear();
  EffectsPool::Instance().Draw();
  EXPECT_GT(LitPixels(), 0);
  spare.hidden = true;
  Clear();
  EffectsPool::Instance().Draw();
  EXPECT_EQ(LitPixels(), 0);
  ExpectNoGlError("pool");
}

}  // namespace
