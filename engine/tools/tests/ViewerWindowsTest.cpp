#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/scene/core/Camera.h"
#include "engine/scene/model/ModelManager.h"
#include "engine/tools/CameraViewWindow.h"
#include "engine/tools/DBGEngineLinks.h"
#include "engine/tools/MaterialWindow.h"
#include "engine/tools/ModelWindow.h"
#include "engine/tools/SkeletalAnimationWindow.h"
#include "engine/tools/TextureWindow.h"
#include "engine/tools/tests/support/RecordingCanvas.h"

namespace {

// A selection asked for, the position stored, and whether it names an entry.
struct SelectionCase {
  int32_t asked;
  int32_t stored;
  bool hasEntry;
};

void CheckSelections(const std::vector<SelectionCase>& cases, const std::function<void(int32_t)>& select,
                     const SpinningViewer& viewer, const std::function<bool()>& shows) {
  for (const SelectionCase& c : cases) {
    SCOPED_TRACE(c.asked);
    select(c.asked);
    EXPECT_EQ(viewer.GetSelectedIndex(), c.stored);
    EXPECT_EQ(shows(), c.hasEntry);
  }
}

TEST(ViewerSelection, ModelsMayStopOnTheCountAndAnEmptyListSelectsNothing) {
  ModelWindow window;
  auto select = [&](int32_t i) { window.SelectModel(i); };
  auto shows = [&] { return window.SelectedModel() != nullptr; };
  CheckSelections({{-1, -1, false}, {0, 0, false}, {1, 0, false}}, select, window, shows);
  for (const char* name : {"a.3me", "b.3me", "c.3me"}) C3MEManager::Instance().CreateModel(String(name));
  CheckSelections({{0, 0, true}, {-1, 2, true}, {2, 2, true}, {3, 3, false}, {4, 0, true}}, select, window, shows);

  RecordingCanvas canvas;
  window.SelectModel(3);
  window.DrawContents();
  ASSERT_EQ(canvas.prints.size(), 1u);
  EXPECT_EQ(canvas.prints[0].text, "No valid Model found");
  EXPECT_EQ(canvas.prints[0].font, 0);
  EXPECT_EQ(canvas.prints[0].x, 1);
  EXPECT_EQ(canvas.prints[0].y, 1);
}

TEST(ViewerSelection, MaterialsMayStopOnTheCountAndAnEmptyListSelectsNothing) {
  MaterialWindow window;
  auto select = [&](int32_t i) { window.SelectMaterial(i); };
  auto shows = [&] { return window.SelectedMaterial() != nullptr; };
  ASSERT_EQ(CMATManager::GetInstance()->GetMaterialCount(), 0u);
  CheckSelections({{-1, -1, false}, {0, 0, false}, {1, 0, false}}, select, window, shows);
  for (const char* name : {"one", "two", "three"}) CMATManager::GetInstance()->CreateMaterial(String(name));
  CheckSelections({{-1, 2, true}, {2, 2, true}, {3, 3, false}, {4, 0, true}}, select, window, shows);

  RecordingCanvas canvas;
  window.SelectMaterial(3);
  window.DrawContents();
  EXPECT_EQ(canvas.Texts(), std::vector<std::string>{"No valid material found"});
}

TEST(ViewerSelection, TexturesWrapStraightFromTheLastToTheFirst) {
  TextureWindow window;
  auto select = [&](int32_t i) { window.SelectTexture(i); };
  auto shows = [&] { return window.SelectedTexture() != nullptr; };
  CTEXManager* textures = CTEXManager::GetInstance();
  ASSERT_EQ(textures->TextureCount(), 1u);  // the default texture
  CheckSelections({{-1, 0, true}, {1, 0, true}}, select, window, shows);
  textures->CreateTexture(String("second.png"));
  textures->CreateTexture(String("third.png"));
  CheckSelections({{-1, 2, true}, {2, 2, true}, {3, 0, true}, {7, 0, true}}, select, window, shows);
}

TEST(MaterialWindow, NextAndPreviousStepWhileShownAndAreTakenWhileHidden) {
  for (const char* name : {"one", "two", "three"}) CMATManager::GetInstance()->CreateMaterial(String(name));
  MaterialWindow window;
  window.Activate(true);
  window.SelectMaterial(1);
  auto send = [&](uint32_t id) {
    CMSGMessage message;
    message.id = id;
    window.OnMessage(&message);
    return (message.handled & 1) != 0;
  };
  ASSERT_FALSE(window.IsVisible());
  EXPECT_TRUE(send(eMSG_Next));
  EXPECT_TRUE(send(eMSG_Previous));
  EXPECT_EQ(window.GetSelectedIndex(), 1);

  window.Show(true);
  std::vector<int32_t> seen;
  for (uint32_t id : {eMSG_Next, eMSG_Next, eMSG_Next, eMSG_Previous, eMSG_Previous}) {
    EXPECT_TRUE(send(id));
    seen.push_back(window.GetSelectedIndex());
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{2, 3, 0, 2, 1}));
}

TEST(ModelWindow, SpinWrapsAtAFullTurnAndRadiusZeroScalesAsOne) {
  ModelWindow window;
  window.SetDefaultFrame(0);
  EXPECT_FLOAT_EQ(window.outer.min.x, 500.0f);
  EXPECT_FALSE(window.slideEnabled);
  window.spin.value = 359.95f;
  EXPECT_FLOAT_EQ(window.spin.Step(0.125f), 0.0f);

  struct Case {
    float radius;
    float scale;
  } cases[] = {{0.0f, 268.0f / 25.0f}, {-3.0f, 268.0f / 25.0f}, {1.0f, 268.0f / 25.0f}, {4.0f, 67.0f / 25.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radius);
    EXPECT_FLOAT_EQ(ModelWindow::ViewScale(window.inner.GetSize(), c.radius), c.scale);
  }
  EXPECT_FLOAT_EQ(ModelWindow::ViewScale(Vector2(100, 300), 2.0f), 6.0f);
}

class CameraViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cameras_.push_back(std::make_unique<Camera>());
    cameras_.push_back(std::make_unique<Camera>());
    DBGEngineLinks& links = GetEngineLinks();
    links.cameraAt = [this](int32_t i) {
      return i >= 0 && i < static_cast<int32_t>(cameras_.size()) ? cameras_[i].get() : nullptr;
    };
    links.currentCamera = [this] { return cameras_.front().get(); };
  }
  void TearDown() override { GetEngineLinks() = DBGEngineLinks(); }

  std::vector<std::unique_ptr<Camera>> cameras_;
  CameraViewWindow window_;
};

TEST_F(CameraViewTest, ShowsThePickWhileTheListHasItElseTheCurrentCamera) {
  EXPECT_EQ(window_.ShownCamera(), cameras_[0].get());
  window_.SelectCamera(1);
  EXPECT_EQ(window_.ShownCamera(), cameras_[1].get());
  EXPECT_EQ(window_.ShownIndex(), 1);
  cameras_.pop_back();
  EXPECT_EQ(window_.ShownCamera(), cameras_[0].get());
  EXPECT_EQ(window_.ShownIndex(), 0);
}

TEST_F(CameraViewTest, WithoutCamerasNothingIsPrinted) {
  GetEngineLinks() = DBGEngineLinks();
  window_.SetDefaultFrame(0);
  EXPECT_FLOAT_EQ(window_.outer.min.x, 800.0f - 1024.0f / 3.0f);
  EXPECT_TRUE(window_.slideEnabled);
  RecordingCanvas canvas;
  window_.SelectCamera(0);
  EXPECT_EQ(window_.ShownCamera(), nullptr);
  window_.DrawContents();
  EXPECT_TRUE(canvas.prints.empty());
}

TEST(SkeletalAnimationWindow, SaysNoneForBothOneLineApart) {
  RecordingCanvas canvas;
  SkeletalAnimationWindow window;
  window.SetDefaultFrame(2);
  window.DrawContents();
  EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"[ANM] None", "[ANMSequence] None"}));
  EXPECT_EQ(canvas.prints[1].y, 16);
}

}  // namespace
