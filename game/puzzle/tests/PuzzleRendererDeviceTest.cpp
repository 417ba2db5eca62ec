// The renderer's pictures on an offscreen context, seen from 5 units above
// its focus looking straight down, with small square gems standing in for
// the five gem models.

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "engine/scene/model/IndexList.h"
#include "engine/scene/model/Mesh.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelManager.h"
#include "game/puzzle/EffectsPool.h"
#include "game/rules/PuzzleDisc.h"
#include "support/RendererTestSupport.h"

namespace puzzle_test {
namespace {

constexpr int kSide = 256;
const float kBackground[4] = {0.5f, 0.5f, 0.5f, 1.0f};

// A flat square of side 2 in the x-z plane, one strip per winding so it
// shows from above whatever the culling.
void BuildFlatGem(C3MEModel& model) {
  ASSERT_TRUE(model.ReserveMeshes(1));
  model.meshCount = 1;
  C3MEMesh& mesh = model.meshes[0];
  ASSERT_TRUE(mesh.ReserveVertices(4));
  mesh.vertexCount = 4;
  const float corners[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
  for (int v = 0; v < 4; ++v) {
    mesh.vertices[v].position = Vector3(corners[v][0], 0.0f, corners[v][1]);
    mesh.vertices[v].normal = Vector3(0.0f, 1.0f, 0.0f);
  }
  ASSERT_TRUE(mesh.SetLodCount(1));
  ASSERT_TRUE(mesh.ReserveLists(0, 2));
  mesh.lods[0].listCount = 2;
  const uint16_t orders[2][4] = {{0, 1, 2, 3}, {1, 0, 3, 2}};
  for (int g = 0; g < 2; ++g) {
    C3MEIndexList& group = mesh.lods[0].lists[g];
    ASSERT_TRUE(group.Reserve(4));
    for (int i = 0; i < 4; ++i) group.indices[i] = orders[g][i];
    group.indexCount = 4;
    group.primitiveKind = C3MEIndexList::kTriangleStrip;
    group.material = CMATManager::GetInstance()->GetMaterial("FlatGem");
  }
  ASSERT_TRUE(model.ReserveInstances(1));
  model.instanceCount = 1;
  model.instances[0].mesh = &mesh;
}

class RendererDevice : public RendererTest {
 protected:
  RendererDevice() {
    window_.Open("puzzle renderer device test", kSide, kSide);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);  // as the display sets it
    for (C3MEModel* model : renderer_->gemModels) BuildFlatGem(*model);
  }
  ~RendererDevice() override {
    renderer_.reset();
    C3MEManager::Shutdown();
    EffectsPool::Shutdown();
    window_.Close();
  }

  void LookDownAtTheFocus() {
    glClearColor(kBackground[0], kBackground[1], kBackground[2], kBackground[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 2.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const Vector3 focus = renderer_->GetFocus();
    gluLookAt(focus.x, focus.y + 5.0, focus.z, focus.x, focus.y, focus.z, 0.0, 0.0, -1.0);
  }

  // The colour where a world point shows in the window.
  std::vector<float> PixelAt(const Vector3& world) {
    double modelview[16];
    double projection[16];
    int viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    double x = 0, y = 0, z = 0;
    EXPECT_TRUE(gluProject(world.x, world.y, world.z, modelview, projection, viewport, &x, &y, &z));
    std::vector<float> rgba(4, -1.0f);
    glReadPixels(static_cast<int>(x), static_cast<int>(y), 1, 1, GL_RGBA, GL_FLOAT, rgba.data());
    return rgba;
  }
  static bool IsBackground(const std::vector<float>& rgba) {
    for (int k = 0; k < 3; ++k) {
      if (std::fabs(rgba[k] - kBackground[k]) > 0.02f) return false;
    }
    return true;
  }
  // The dark blue of an empty slot's marker over the background.
  static bool IsMarker(const std::vector<float>& rgba) {
    return rgba[2] > rgba[0] + 0.1f && rgba[0] < kBackground[0] - 0.2f;
  }
  Vector3 SlotInWorld(int ring, int column) {
    return GPuzzleRenderer::kDiscCentre + renderer_->SlotPosition(ring, column);
  }

  RendererTestWindow window_;
};

TEST_F(RendererDevice, EveryPictureDrawsWithoutErrorAndKeepsTheMatrixStacks) {
  // Every shape and every colour, an upcoming disc, and gems in every kind
  // of motion.
  CGPuzzleDisc& disc = Show({{"ROYGCBIWKARO", "GGCC........", "............"}, {"RRGG", "...."}});
  for (int c = 0; c < 12; ++c) disc.GemAt(0, c).type = c % kGemTypeCount;
  disc.rainbowGem.state = GemState::Settled;
  disc.rainbowGem.colour = kGemYellow;
  disc.Rotate(0);
  renderer_->UpdateSpin(&disc, 1.0f / 60.0f);
  renderer_->queue[0] = GemMotion{true, {}, {-3.75f, 0, 0}, {-1, 0, 0}, 0, 0, 0, 0, 0, kGemBlue, kGemStar};
  renderer_->queue[1] = GemMotion{true, {}, {-3.45f, 0, 0}, {-1, 0, 0}, 0, 0, 0, 0, 0, kGemGold, kGemOrb};
  renderer_->droppedGem = GemMotion{true, {}, {-4.5f, 0, 0}, {-1, 0, 0}, 1, 0, 0, 0, 0, kGemRed, kGemCubic};
  disc.GemAt(1, 5).state = GemState::Falling;
  disc.GemAt(1, 0).state = GemState::Breaking;
  renderer_->UpdateFallingGems(&disc, 1.0f / 60.0f);
  renderer_->UpdateBreakingGems(&disc, 1.0f / 60.0f);

  LookDownAtTheFocus();
  GLint modelviewDepth = 0;
  GLint textureDepth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth);
  glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &textureDepth);
  while (glGetError() != GL_NO_ERROR) {
  }
  renderer_->presentChannel.output = 30.0f;
  renderer_->clearingChannel.output = 0.5f;
  const struct {
    const char* name;
    void (GPuzzleRenderer::*draw)();
  } pictures[] = {
      {"present", &GPuzzleRenderer::DrawPresent},
      {"in game", &GPuzzleRenderer::DrawInGame},
      {"clearing", &GPuzzleRenderer::DrawClearing},
  };
  for (const auto& picture : pictures) {
    (renderer_.get()->*picture.draw)();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << picture.name;
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, modelviewDepth) << picture.name;
    glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, textureDepth) << picture.name;
    EXPECT_FALSE(glIsEnabled(GL_FOG)) << picture.name;
  }
  // The gems were drawn through display lists.
  EXPECT_TRUE(renderer_->gemModels[kGemTetra]->compiled);
}

TEST_F(RendererDevice, PlayShowsGemsAndMarkersAndThePresentationShowsOnlyGems) {
  CGPuzzleDisc& disc = Show({{"RGB.........", "............", "............"}});
  disc.Rotate(0);
  renderer_->UpdateSpin(&disc, 1.0f / 60.0f);

  LookDownAtTheFocus();
  renderer_->DrawInGame();
  const std::vector<float> gem = PixelAt(SlotInWorld(0, 1));
  EXPECT_FALSE(IsBackground(gem));
  EXPECT_FALSE(IsMarker(gem));
  EXPECT_TRUE(IsMarker(PixelAt(SlotInWorld(0, 6))));
  EXPECT_TRUE(IsMarker(PixelAt(SlotInWorld(2, 3))));

  LookDownAtTheFocus();
  renderer_->presentChannel.output = 0.0f;
  renderer_->DrawPresent();
  EXPECT_FALSE(IsBackground(PixelAt(SlotInWorld(0, 1))));
  EXPECT_TRUE(IsBackground(PixelAt(SlotInWorld(0, 6))));
  EXPECT_TRUE(IsBackground(PixelAt(SlotInWorld(2, 3))));
}

}  // namespace
}  // namespace puzzle_test
