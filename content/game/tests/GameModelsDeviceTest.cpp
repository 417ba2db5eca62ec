// The gem models as the game loads them (".3me" names, falling back to the
// text files) and draws them: on an offscreen context with the gem render
// word, which culls back faces.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "content/game/GameDataNames.h"
#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "engine/scene/model/Mesh.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelDrawing.h"
#include "engine/scene/model/ModelManager.h"
#include "support/GameDataSupport.h"

namespace {

constexpr int kSide = 64;
// Solid, textured, lit, depth-tested, back faces culled, two-sided lighting.
constexpr GFXRenderFlags kGemWord = 0x1083c;

std::string LoadingScreenName(const char* path) {
  return std::filesystem::path(path).replace_extension(".3me").string();
}

class GameModelsDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.Open("game models device test", kSide, kSide);
    ASSERT_TRUE(CMATManager::GetInstance()->ReadLibrary("Resources/Materials/Gems.mat"));
    for (const char* path : gamedata::kGemModels) {
      models_.push_back(manager_.GetModel(String(LoadingScreenName(path).c_str())));
    }
    manager_.Update();
    CMATManager::GetInstance()->ResolveTextures();
    CTEXManager::GetInstance()->LoadQueued(false);
  }
  void TearDown() override {
    for (C3MEModel* model : models_) manager_.ReleaseModel(model);
    window_.Close();
  }

  // Depth of every pixel after drawing the model turned by an angle about an
  // axis, under one render word.
  std::vector<float> Depths(C3MEModel* model, float angle, float ax, float ay, float az, GFXRenderFlags word) {
    GFXDisplay::SetProjection(1, -1, 1, -1, 1, -1, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(angle, ax, ay, az);
    glScalef(1.5f, 1.5f, 1.5f);
    GFXDisplay::SetRenderState(word);
    GFXDisplay::DrawModel(model);
    glFinish();
    std::vector<float> depths(size_t(kSide) * kSide, -1.0f);
    glReadPixels(0, 0, kSide, kSide, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
    return depths;
  }

  InRunFolder run_;
  RendererTestWindow window_;
  C3MEManager manager_;
  std::vector<C3MEModel*> models_;
};

TEST_F(GameModelsDevice, ModelsLoadFitTheirSphereAndFaceOutward) {
  for (size_t i = 0; i < models_.size(); ++i) {
    SCOPED_TRACE(gamedata::kGemModels[i]);
    C3MEModel* model = models_[i];
    ASSERT_EQ(model->loadState, uint32_t(C3MEModel::kLoaded));
    ASSERT_EQ(model->GetMeshCount(), 1u);
    ASSERT_NE(model->GetMaterial(0), nullptr);
    EXPECT_STREQ(model->GetMaterial(0)->Name().Chars(), "gemcrystalblack");
    const C3MEMesh* mesh = model->GetMesh(0);
    ASSERT_GT(mesh->vertexCount, 11u);
    float radius = 0.0f;
    for (uint32_t v = 0; v < mesh->vertexCount; ++v) {
      const C3MEVertex& vertex = mesh->vertices[v];
      radius = std::max(radius, vertex.position.Length());
      // Normals point away from the centre: lighting and culling agree.
      ASSERT_GT(Vector3::Dot(vertex.normal, vertex.position), 0.0f) << "vertex " << v;
    }
    EXPECT_LE(radius, 0.5001f);
    EXPECT_GE(radius, 0.49f);
  }
}

TEST_F(GameModelsDevice, CulledDrawingShowsTheNearSideFromEveryDirection) {
  const struct {
    float angle, x, y, z;
  } views[] = {{0, 1, 0, 0}, {90, 1, 0, 0}, {-90, 1, 0, 0}, {90, 0, 1, 0}, {-90, 0, 1, 0}, {180, 0, 1, 0}};
  for (size_t i = 0; i < models_.size(); ++i) {
    for (const auto& view : views) {
      SCOPED_TRACE(std::string(gamedata::kGemModels[i]) + " turned " + std::to_string(view.angle));
      // Drawn without culling, the depth test alone keeps the nearest
      // surface; culled drawing must keep the very same pixels, which fails
      // when the front faces wind the wrong way.
      const GFXRenderFlags bothSides = (kGemWord & ~RenderFlag::CULLBACK) | RenderFlag::DBLSIDED;
      const std::vector<float> nearest = Depths(models_[i], view.angle, view.x, view.y, view.z, bothSides);
      const std::vector<float> culled = Depths(models_[i], view.angle, view.x, view.y, view.z, kGemWord);
      int covered = 0, differing = 0;
      for (size_t p = 0; p < nearest.size(); ++p) {
        if (nearest[p] < 1.0f) ++covered;
        if (std::fabs(nearest[p] - culled[p]) > 1e-3f) ++differing;
      }
      EXPECT_GT(covered, kSide * kSide / 20);  // the star seen edge-on is thin
      EXPECT_LE(differing, kSide / 4) << "of " << covered << " covered pixels";
    }
  }
}

}  // namespace
