// The collision world's debug drawing in a running application: with
// "gem:cds:show" at 1 every kind of shape and the tree's boxes are drawn
// offscreen, in their colours, without a GL error.

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/app/EngineRun.h"
#include "engine/app/GEMApplication.h"
#include "engine/app/PrepareSettings.h"
#include "engine/runtime/console/VariableRegistry.h"
#include "engine/scene/cds/CDSWorld.h"
#include "engine/scene/core/SceneNode.h"

namespace {

class CollisionDrawingDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
    char pattern[] = "/tmp/vyre-cds-drawing-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    setenv("VYRE_REGISTRY", (folder + "/registry.reg").c_str(), 1);
    setenv("VYRE_USER_DIR", (folder + "/user").c_str(), 1);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    PrepareSettings("Vyre");
  }
  void TearDown() override {
    CCDSWorld::Instance().Init(0);
    CCDSNode::sDrawBounds = 0;
    ASSERT_EQ(chdir(previous_), 0);
  }

  char previous_[4096] = {};
};

// Every kind of shape, 20 units in front of the engine camera.
void FillWorld(CSCNNode& place) {
  CCDSWorld& world = CCDSWorld::Instance();
  ASSERT_TRUE(world.Init(16));
  place.SetPosition(0, 20, 130);  // the engine camera stands at (0, 20, 150)
  place.RebuildMatrix();
  Capsule capsule;
  capsule.A = Vector3(-8, 4, 0);
  capsule.B = Vector3(-4, 6, 0);
  capsule.radius = 1;
  Cylinder cylinder;
  cylinder.A = Vector3(4, 4, 0);
  cylinder.B = Vector3(8, 6, 0);
  cylinder.radius = 1;
  const int slots[] = {
      world.CreateSphereObject(BoundingSphere(Vector3(-6, -4, 0), 2)),
      world.CreateBoxObject(CCDSShape(Vector3(-2, -2, -2), Vector3(2, 2, 2))),
      world.CreateCapsuleObject(capsule),
      world.CreateCylinderObject(cylinder),
      world.CreateMeshObject(),
  };
  for (int slot : slots) {
    ASSERT_GE(slot, 0);
    world.GetObject(slot)->node = &place;
  }
  CCDSObject* mesh = world.GetObject(slots[4]);
  mesh->AddTriangle(Vector3(4, -6, 0), Vector3(8, -6, 0), Vector3(6, -2, 0), 0);
  mesh->EndMesh();
  world.Update();
}

TEST_F(CollisionDrawingDevice, ShownCollisionObjectsAreDrawnWithoutAGLError) {
  CSCNNode place;
  FillWorld(place);
  CCDSNode::sDrawBounds = 1;

  std::vector<uint8_t> pixels(800 * 600 * 4);
  EngineRunOptions options;
  options.application = std::make_unique<CGEMApplication>();
  CGEMApplication& application = *options.application;
  // Nothing else red or yellow on screen.
  application.options.axesMask = 0;
  application.options.groundPlane = 0;
  application.options.showLogos = 0;
  GLenum firstError = GL_NO_ERROR;
  int drawnFrames = 0;
  options.drawFrame = [&] {
    const GLenum error = glGetError();
    if (firstError == GL_NO_ERROR) firstError = error;
    ++drawnFrames;
  };
  bool closed = false;
  options.pollEvent = [&](platform::Event* event) {
    if (application.GetFrameCount() == 2) {
      CConsoleVariable* show = CVariableRegistry::Get()->Find("gem:cds:show");
      if (show != nullptr) show->FromString("1");
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    if (closed || application.GetFrameCount() != 14) return false;
    closed = true;
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    event->type = platform::EventType::WindowClose;
    return true;
  };
  EXPECT_EQ(EngineRun(std::move(options)), 0);

  EXPECT_GT(drawnFrames, 10);
  EXPECT_EQ(firstError, static_cast<GLenum>(GL_NO_ERROR));
  int red = 0;
  int yellow = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    const uint8_t r = pixels[i];
    const uint8_t g = pixels[i + 1];
    const uint8_t b = pixels[i + 2];
    red += r > 200 && g < 60 && b < 60 ? 1 : 0;
    yellow += r > 200 && g > 200 && b < 60 ? 1 : 0;
  }
  EXPECT_GT(red, 100) << "the objects' world boxes";
  EXPECT_GT(yellow, 100) << "the shapes, in view";
}

}  // namespace
