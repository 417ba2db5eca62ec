// Models drawn by the renderer on an offscreen context: through the arrays,
// through display lists, and meshes that must stay out of the lists.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/GFXStats.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelDrawing.h"
#include "engine/scene/tests/support/SquareModel.h"
#include "platform/GlWindow.h"

namespace {

constexpr int kSide = 32;

class ModelDrawingDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.Open("model drawing device test", kSide, kSide);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);  // as the display sets it
    // Model space -1..1 fills the window.
    GFXDisplay::SetProjection(1, -1, 1, -1, 1, -1, 1);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  void TearDown() override {
    model_.reset();
    window_.Close();
  }

  // One component drawing a white square over the left half of the window
  // as a strip of one group with the given group value.
  C3MEModel& SquareModel(int32_t groupValue) {
    model_ = std::make_unique<C3MEModel>();
    C3MEModel& model = *model_;
    // Untextured and lit by nothing: the vertex colours (white) show.
    const float corners[4][2] = {{-1, -1}, {0, -1}, {-1, 1}, {0, 1}};
    BuildSquareModel(model, corners, "plain", 0x140, groupValue);
    return model;
  }

  static float RedAt(int x, int y) {
    float rgba[4] = {-1, -1, -1, -1};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, rgba);
    return rgba[0];
  }

  RendererTestWindow window_;
  std::unique_ptr<C3MEModel> model_;
};

TEST_F(ModelDrawingDevice, ArraysAndListsDrawTheSamePixels) {
  const struct {
    GFXRenderFlags word;
    int32_t groupValue;
    bool meshList;
  } cases[] = {
      {RenderFlag::SOLID | RenderFlag::DBLSIDED, 0, false},
      {RenderFlag::SOLID | RenderFlag::DBLSIDED | RenderFlag::COMPILE3ME, 0, true},
      // Group value 2 keeps the mesh out of the lists; it still draws.
      {RenderFlag::SOLID | RenderFlag::DBLSIDED | RenderFlag::COMPILE3ME, 2, false},
  };
  for (const auto& c : cases) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    C3MEModel& model = SquareModel(c.groupValue);
    GFXDisplay::SetRenderState(c.word);
    GFXStats* stats = GFXStats::GetInstance();
    stats->EndFrame(1, 60.0f);
    GFXDisplay::DrawModel(&model);
    GFXDisplay::DrawModel(&model);  // the second draw of a compiled model calls its list
    EXPECT_EQ(model.compiled, (c.word & RenderFlag::COMPILE3ME) != 0) << c.groupValue;
    EXPECT_EQ(model.meshes[0].displayList >= 0, c.meshList) << c.groupValue;
    if (c.meshList) {
      EXPECT_TRUE(glIsList(GLuint(model.meshes[0].displayList)));
    }
    EXPECT_GT(RedAt(kSide / 4, kSide / 2), 0.9f) << c.groupValue;
    EXPECT_LT(RedAt(3 * kSide / 4, kSide / 2), 0.1f) << c.groupValue;
    // Triangles count when drawn through the arrays, and while compiling.
    EXPECT_EQ(stats->GetCurrent().counters[GFXStats::kTriangles], c.meshList ? 2u : 4u) << c.groupValue;
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
  }
  // Releasing the model frees its list.
  C3MEModel& model = SquareModel(0);
  GFXDisplay::SetRenderState(RenderFlag::SOLID | RenderFlag::COMPILE3ME);
  GFXDisplay::DrawModel(&model);
  const GLuint list = GLuint(model.meshes[0].displayList);
  ASSERT_TRUE(glIsList(list));
  model.ReleaseDisplayLists();
  EXPECT_FALSE(glIsList(list));
  EXPECT_FALSE(model.compiled);
}

TEST_F(ModelDrawingDevice, BoundsReplaceTheModelWhileSwitchedOn) {
  C3MEModel& model = SquareModel(0);
  model.meshes[0].volumeKind = C3MEMesh::kCuboid;
  model.meshes[0].box.min = Vector3(0.25f, -1, -0.5f);
  model.meshes[0].box.max = Vector3(1, 1, 0.5f);
  GFXDisplay::SetRenderState(RenderFlag::SOLID | RenderFlag::DBLSIDED);
  GFXDisplay::ShowBoundingVolumes() = 1;
  const float red[4] = {1, 0, 0, 1};
  GFXDisplay::DrawModelBounds(&model, red);
  GFXDisplay::DrawModel(&model);
  GFXDisplay::ShowBoundingVolumes() = 0;
  EXPECT_LT(RedAt(kSide / 4, kSide / 2), 0.1f);  // the square itself is not drawn
  EXPECT_GT(RedAt(3 * kSide / 4, kSide / 2), 0.2f);
  EXPECT_EQ(GFXDisplay::GetRenderState(), RenderFlag::SOLID | RenderFlag::DBLSIDED);
}

}  // namespace
