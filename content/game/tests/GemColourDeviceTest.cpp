// Gems drawn through the puzzle renderer with the game's own models and
// crystals, shrunk to their size in play and lit by the scene light from the
// disc centre: a coloured crystal shows its colour, with at most a small
// white highlight. Shrinking a model through the modelview must not change
// how its faces are lit. The glint stage drawn over the crystal sparkles
// without washing the crystal out.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "content/game/tests/support/GameDataSupport.h"
#include "engine/graphics/GFXLight.h"
#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "engine/scene/model/ModelManager.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/PuzzleGem.h"

namespace {

constexpr int kSide = 96;

struct Coverage {
  int covered = 0;
  int ownHue = 0;     // the crystal's own channel clearly leads
  int nearWhite = 0;  // every channel bright
};

class GemColourDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.Open("gem colour device test", kSide, kSide);
    ASSERT_TRUE(CMATManager::GetInstance()->ReadLibrary("Resources/Materials/Gems.mat"));
    renderer_ = std::make_unique<GPuzzleRenderer>();
    C3MEManager::Instance().Update();
    CMATManager::GetInstance()->ResolveTextures();
    CTEXManager::GetInstance()->LoadQueued(false);
  }
  void TearDown() override {
    renderer_.reset();
    C3MEManager::Shutdown();
    EffectsPool::Shutdown();
    window_.Close();
  }

  // One gem in a disc slot beside the scene light, seen from straight above
  // through a view just wider than the gem, as the disc draws it: moved to
  // the slot, turned to face outward, shrunk. The frame's RGB, bottom row
  // first.
  std::vector<uint8_t> DrawSlotGem(int colour, int type, float scale) {
    const Vector3 centre = GPuzzleRenderer::kDiscCentre;
    const Vector3 slot(0.6f, 0.0f, 0.3f);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double half = 0.6 * scale;
    glOrtho(-half, half, -half, half, 1.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);  // look down the y axis
    glTranslatef(-(centre.x + slot.x), -5.0f, -(centre.z + slot.z));
    // The scene light as the renderer sets it up and the game applies it.
    GFXLight* light = GetLight(0);
    for (int k = 0; k < 4; ++k) light->ambient[k] = light->diffuse[k] = 1.0f;
    light->SetPosition(centre);
    light->directional = 0;
    light->SetEnabled(true);
    light->Apply();

    glPushMatrix();
    glTranslatef(centre.x + slot.x, centre.y + slot.y, centre.z + slot.z);
    glRotatef(slot.HeadingDegrees(), 0.0f, 1.0f, 0.0f);
    glScalef(scale, scale, scale);
    renderer_->DrawGem(colour, type);
    glPopMatrix();
    glFinish();

    std::vector<uint8_t> rgb(size_t(kSide) * kSide * 3);
    glReadPixels(0, 0, kSide, kSide, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
  }

  // Anything brighter than the black background.
  static bool Covered(const uint8_t* rgb) { return rgb[0] + rgb[1] + rgb[2] >= 24; }

  static Coverage Measure(const std::vector<uint8_t>& rgb, int leadChannel) {
    Coverage seen;
    for (size_t p = 0; p < rgb.size(); p += 3) {
      if (!Covered(&rgb[p])) continue;
      ++seen.covered;
      const int channels[3] = {rgb[p], rgb[p + 1], rgb[p + 2]};
      const int lead = channels[leadChannel];
      bool leads = lead > 60;
      for (int k = 0; k < 3; ++k) {
        if (k != leadChannel && channels[k] > lead * 2 / 3) leads = false;
      }
      if (leads) ++seen.ownHue;
      if (channels[0] > 190 && channels[1] > 190 && channels[2] > 190) ++seen.nearWhite;
    }
    return seen;
  }

  InRunFolder run_;
  RendererTestWindow window_;
  std::unique_ptr<GPuzzleRenderer> renderer_;
};

TEST_F(GemColourDevice, ShrunkGemsShowTheirCrystalColourNotWhite) {
  const struct {
    int colour;
    int leadChannel;
  } crystals[] = {{kGemRed, 0}, {kGemGreen, 1}, {kGemBlue, 2}};
  // The queue's size and a ring gem's.
  for (const float scale : {0.25f, 0.4f}) {
    for (const auto& crystal : crystals) {
      for (int type = 0; type < kGemTypeCount; ++type) {
        SCOPED_TRACE("colour " + std::to_string(crystal.colour) + " type " + std::to_string(type) + " scale " +
                     std::to_string(scale));
        const Coverage seen = Measure(DrawSlotGem(crystal.colour, type, scale), crystal.leadChannel);
        ASSERT_GT(seen.covered, kSide * kSide / 10);
        EXPECT_GT(seen.ownHue, seen.covered * 3 / 4) << "of " << seen.covered;
        // A flat facet turned just so to the light flashes white whole: one
        // star point's facet is about a twelfth of the star.
        EXPECT_LT(seen.nearWhite, seen.covered / 8) << "of " << seen.covered;
      }
    }
  }
}

// How the glint changed a frame: pixels it lit up to a sparkle, and pixels
// it washed paler.
struct GlintChange {
  int sparkling = 0;
  int washed = 0;
};

GlintChange CompareGlint(const std::vector<uint8_t>& without, const std::vector<uint8_t>& with) {
  GlintChange change;
  for (size_t p = 0; p < with.size(); p += 3) {
    int gain = 0;
    for (int k = 0; k < 3; ++k) gain = std::max(gain, int(with[p + k]) - int(without[p + k]));
    if (gain > 64) ++change.sparkling;
    if (gain > 32) ++change.washed;
  }
  return change;
}

TEST_F(GemColourDevice, GlintSparklesWithoutWashingTheCrystalOut) {
  // The glint is a sphere map that turns with the galaxy: the gems are seen
  // over one whole turn of it. Only the plane's spin is read.
  GalacticPlane plane;
  renderer_->galacticPlane = &plane;
  CMATStage* glint = CMATManager::GetInstance()->GetMaterial("GemCrystalRed")->GetStage(1);
  ASSERT_NE(glint, nullptr);
  constexpr int kTurnSteps = 36;
  for (int type = 0; type < kGemTypeCount; ++type) {
    SCOPED_TRACE("type " + std::to_string(type));
    // The same gem with a glint stage that leaves the frame as it is.
    const uint32_t glintSource = glint->blendSource;
    glint->blendSource = GL_ZERO;
    plane.spin.value = 0.0f;
    const std::vector<uint8_t> without = DrawSlotGem(kGemRed, type, 0.4f);
    glint->blendSource = glintSource;
    int covered = 0;
    for (size_t p = 0; p < without.size(); p += 3) covered += Covered(&without[p]) ? 1 : 0;
    ASSERT_GT(covered, kSide * kSide / 10);

    int sparkling = 0, washed = 0;
    for (int step = 0; step < kTurnSteps; ++step) {
      plane.spin.value = 360.0f * float(step) / kTurnSteps;
      const GlintChange change = CompareGlint(without, DrawSlotGem(kGemRed, type, 0.4f));
      sparkling += change.sparkling;
      washed += change.washed;
      // Flat facets that face the eye (the tops of the cube and the octagon
      // here) look up the middle of the map: unturned, they keep their colour.
      if (step == 0 && type != kGemOrb) {
        EXPECT_LT(change.washed, covered / 20);
      }
    }
    EXPECT_GT(sparkling, 0);
    GLint depthFunction = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
    EXPECT_EQ(depthFunction, GL_LESS) << "what follows is depth-tested as before";
    // Most of the time, most of the gem keeps its colour.
    EXPECT_LT(washed / kTurnSteps, covered / 5) << "of " << covered;
  }
  renderer_->galacticPlane = nullptr;
}

}  // namespace
