// Every developer window drawn once on an offscreen context: no GL error,
// and each window that has something to print prints it.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/graphics/GFXStats.h"
#include "engine/graphics/tests/support/RendererTestWindow.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/scene/core/Camera.h"
#include "engine/scene/model/ModelManager.h"
#include "engine/tools/CameraViewWindow.h"
#include "engine/tools/ConsoleWindow.h"
#include "engine/tools/DBGEngineLinks.h"
#include "engine/tools/FrustumWindow.h"
#include "engine/tools/FsmWindow.h"
#include "engine/tools/MaterialWindow.h"
#include "engine/tools/MemoryWindow.h"
#include "engine/tools/MessagingWindow.h"
#include "engine/tools/ModelWindow.h"
#include "engine/tools/PerformanceStatisticsWindow.h"
#include "engine/tools/PerformanceWindow.h"
#include "engine/tools/ProfilerWindow.h"
#include "engine/tools/SkeletalAnimationWindow.h"
#include "engine/tools/TextureWindow.h"
#include "engine/tools/UserInputWindow.h"
#include "engine/tools/UserInterfaceWindow.h"
#include "engine/tools/tests/support/RecordingCanvas.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

class DeveloperWindowsDevice : public ::testing::Test {
 protected:
  void SetUp() override { window_.Open("developer windows device test", kWidth, kHeight); }
  void TearDown() override {
    GetEngineLinks() = DBGEngineLinks();
    window_.Close();
  }
  RendererTestWindow window_;
};

TEST_F(DeveloperWindowsDevice, EveryWindowDrawsOnceWithoutAGLError) {
  const int font = WhiteSheetFont("developerfont");
  ASSERT_EQ(font, 0);
  GFXFont* glyphs = GFXDisplay::GetFont(font);
  std::memset(glyphs->widths, 8, sizeof(glyphs->widths));
  glyphs->BuildLists();

  // What the viewers show: a model, the default texture, a material, a camera.
  C3MEManager::Instance().CreateModel(String("viewed.3me"));
  CMATManager::GetInstance()->GetMaterial("viewed");
  Camera camera;
  int sceneDraws = 0;
  GetEngineLinks().currentCamera = [&camera] { return &camera; };
  GetEngineLinks().drawScene = [&sceneDraws] { ++sceneDraws; };
  for (uint32_t frame = 0; frame < 3; ++frame) GFXStats::GetInstance()->EndFrame(frame, 60.0f);

  struct Entry {
    const char* name;
    std::unique_ptr<DebugWindow> window;
    bool prints;
  };
  std::vector<Entry> entries;
  entries.push_back({"console", std::make_unique<ConsoleWindow>(), true});
  entries.push_back({"user interface", std::make_unique<UserInterfaceWindow>(), true});
  entries.push_back({"performance", std::make_unique<PerformanceWindow>(), true});
  entries.push_back({"statistics", std::make_unique<PerformanceStatisticsWindow>(), true});
  entries.push_back({"profiler", std::make_unique<ProfilerWindow>(), false});
  entries.push_back({"memory", std::make_unique<MemoryWindow>(), true});
  entries.push_back({"state machines", std::make_unique<FsmWindow>(), true});
  entries.push_back({"messaging", std::make_unique<MessagingWindow>(), true});
  entries.push_back({"frustum", std::make_unique<FrustumWindow>(), false});
  entries.push_back({"user input", std::make_unique<UserInputWindow>(), false});
  entries.push_back({"model", std::make_unique<ModelWindow>(), true});
  entries.push_back({"texture", std::make_unique<TextureWindow>(), false});  // the cube alone
  entries.push_back({"material", std::make_unique<MaterialWindow>(), true});
  entries.push_back({"camera view", std::make_unique<CameraViewWindow>(), true});
  entries.push_back({"skeletal animation", std::make_unique<SkeletalAnimationWindow>(), true});

  GetWindowManager()->SetLayerFilter(false, 200.0f);
  for (Entry& entry : entries) {
    entry.window->SetDefaultFrame(font);
    entry.window->Activate(true);
    entry.window->SetState(entry.window->GetState() | GUIState::kShown);
  }
  GetLogChannel(0)->Write(String("a console line"));

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kWidth, kHeight, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  while (glGetError() != GL_NO_ERROR) {
  }
  RecordingCanvas canvas(true);
  for (Entry& entry : entries) {
    SCOPED_TRACE(entry.name);
    canvas.Clear();
    entry.window->Draw();
    glFinish();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(!canvas.prints.empty(), entry.prints);
  }
  EXPECT_EQ(sceneDraws, 1);
}

}  // namespace
