// The scene hooks of the Challenge's story and "Well Done!" page on a game
// whose display has a real (offscreen) context: the galaxy is a red sphere,
// a finished constellation a green image, so a pixel tells which was drawn.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/app/GEMApplication.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/graphics/RenderState.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureManager.h"
#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "engine/runtime/display/Display.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/GalacticPlane.h"
#include "platform/Random.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

constexpr int kSide = 32;

enum class Seen { kBlack, kGalaxy, kConstellation, kOther };

class ChallengeScenesDevice : public ProfiledGameTest {
 protected:
  void SetUp() override {
    ProfiledGameTest::SetUp();
    auto window = RendererTestWindow::OpenHiddenGlWindow("challenge scenes device test", kSide, kSide);
    ASSERT_NE(window, nullptr);
    display_ = std::make_unique<CDisplay>(std::move(window));
    GEMServices gem;
    gem.display = display_.get();
    game_->Initialise(gem);
    ASSERT_TRUE(game_->CanDraw());
    RendererTestWindow::StartRenderer(kSide, kSide);
    GFXDisplay::WindingFlag() = 0;
    // The star field is built from the generator: the same sky every run.
    platform::SeedRandom(11);
    SolidMaterial("GalacticPlane", 255, 0, 0);
    game_->galacticPlane = MakeGalacticPlane();
    while (glGetError() != GL_NO_ERROR) {
    }
  }
  void TearDown() override {
    game_.reset();
    EffectsPool::Shutdown();
    RendererTestWindow::StopRenderer();
    if (display_ != nullptr) display_->GetWindow()->Close();
  }

  // A one-stage material over a small texture of one colour.
  static CMATMaterial* SolidMaterial(const char* name, uint8_t r, uint8_t g, uint8_t b) {
    CMATMaterial* material = CMATManager::GetInstance()->GetMaterial(name);
    EXPECT_TRUE(material->AllocateStages(1));
    CTEXTexture* texture = CTEXManager::GetInstance()->CreateTexture((std::string(name) + "texels").c_str());
    std::vector<uint8_t> texels;
    for (int i = 0; i < 16; ++i) texels.insert(texels.end(), {r, g, b});
    texture->SetMipmap(false);
    EXPECT_TRUE(texture->CreateBlank(4, 4, texels.data()));
    CMATStage* stage = material->GetStage(0);
    stage->flags |= StageFlag::MAP | StageFlag::SOLID;
    stage->texture = texture;
    return material;
  }

  // A perspective view whose half-width at distance 1 is the given share.
  static void Frustum(double halfShare) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.1 * halfShare, 0.1 * halfShare, -0.1 * halfShare, 0.1 * halfShare, 0.1, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }

  // Runs one scene hook on a cleared frame: no GL error, the modelview
  // stack as it was.
  template <class Hook>
  void DrawScene(Hook hook, const char* where) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GLint depthBefore = 0;
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    EXPECT_EQ(hook(), 0) << where;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore) << where;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << where;
    glFinish();
  }

  static Seen PixelAt(int x, int y) {
    float rgb[3] = {};
    glReadPixels(x, y, 1, 1, GL_RGB, GL_FLOAT, rgb);
    if (rgb[0] + rgb[1] + rgb[2] < 0.05f) return Seen::kBlack;
    if (rgb[0] > 0.5f && rgb[1] < 0.25f && rgb[2] < 0.25f) return Seen::kGalaxy;
    if (rgb[1] > 0.5f && rgb[0] < 0.25f) return Seen::kConstellation;
    return Seen::kOther;
  }
  static int CountSeen(Seen what) {
    int count = 0;
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) count += PixelAt(x, y) == what ? 1 : 0;
    }
    return count;
  }

  std::unique_ptr<CDisplay> display_;
};

TEST_F(ChallengeScenesDevice, TheStoryIsToldOverBlackUntilTheGalaxyAppearsOnPageThree) {
  // Watched from the galaxy's centre, as the story's camera does.
  Frustum(1.0);
  for (int page : {0, 2, 3, 9}) {
    game_->storyPage = page;
    DrawScene([&] { return game_->DrawStoryScene(0); }, "story");
    if (page < 3) {
      EXPECT_EQ(CountSeen(Seen::kBlack), kSide * kSide) << page;
    } else {
      // The galaxy's inside all round, its star field over it.
      EXPECT_EQ(CountSeen(Seen::kBlack), 0) << page;
      EXPECT_GT(CountSeen(Seen::kGalaxy), kSide * kSide / 2) << page;
    }
  }
  game_->galacticPlane.reset();
  DrawScene([&] { return game_->DrawStoryScene(0); }, "story without a galaxy");
  EXPECT_EQ(CountSeen(Seen::kBlack), kSide * kSide);
}

TEST_F(ChallengeScenesDevice, TheWellDonePageShowsTheFinishedConstellationBesideTheGalaxysCentre) {
  GalacticPlane& plane = *game_->galacticPlane;
  plane.constellations.resize(2);
  plane.constellationCount = 2;
  plane.current = 0;
  Constellation& finished = plane.constellations[0];
  finished.silhouette = SolidMaterial("Finished", 0, 255, 0);
  finished.starCount = finished.completed = 1;
  finished.stars.resize(1);
  finished.size = Vector3(4.0f, 0.0f, 4.0f);

  // Ten units above the spot (-5, 0, 0), looking down, 6 x 6 units in view:
  // the 4 x 4 image centred there, the galaxy's inside around it.
  Frustum(0.3);
  glTranslatef(0.0f, 0.0f, -10.0f);
  glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
  glTranslatef(5.0f, 0.0f, 0.0f);

  game_->profile->modes[kModeChallenge].constellationIndex = 1;
  DrawScene([&] { return game_->DrawProgressScene(0); }, "progress");
  EXPECT_EQ(finished.viewCentre, Vector3(2.0f, 0.0f, 2.0f));
  EXPECT_EQ(finished.panStart, Vector3(2.0f, 0.0f, 2.0f));
  EXPECT_EQ(PixelAt(kSide / 2, kSide / 2), Seen::kConstellation);
  for (int x : {7, 24}) EXPECT_EQ(PixelAt(x, x), Seen::kConstellation) << x;
  for (int x : {0, kSide - 1}) {
    EXPECT_EQ(PixelAt(x, x), Seen::kGalaxy) << x;
    EXPECT_EQ(PixelAt(x, kSide - 1 - x), Seen::kGalaxy) << x;
  }

  // No constellation finished yet (or an index past the set): the galaxy alone.
  for (uint32_t index : {0u, 3u}) {
    game_->profile->modes[kModeChallenge].constellationIndex = index;
    DrawScene([&] { return game_->DrawProgressScene(0); }, "progress without a finished constellation");
    EXPECT_EQ(CountSeen(Seen::kConstellation), 0) << index;
    EXPECT_EQ(PixelAt(kSide / 2, kSide / 2), Seen::kGalaxy) << index;
  }
}

}  // namespace
