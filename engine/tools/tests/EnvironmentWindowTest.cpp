#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXLight.h"
#include "engine/scene/core/Camera.h"
#include "engine/tools/DBGEngineLinks.h"
#include "engine/tools/EnvironmentWindow.h"

namespace {

// Identity matrices: a world point's x and y from -1 to 1 span the screen.
class EnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const int viewport[4] = {0, 0, 800, 600};
    GFXDisplay::SetCapturedMatrices(identity, identity, viewport);
    GetEngineLinks().cameraAt = [this](int32_t i) {
      return i >= 0 && i < static_cast<int32_t>(cameras_.size()) ? cameras_[i].get() : nullptr;
    };
    GetEngineLinks().currentCamera = [this] { return cameras_.empty() ? nullptr : cameras_.front().get(); };
    window_.SetDefaultFrame(0);
  }
  void TearDown() override {
    GetEngineLinks() = DBGEngineLinks();
    for (int n = 0; n < kStaticLightCount; ++n) GetLight(n)->enabled = 0;
  }

  Camera* AddCamera(const char* cameraName, const Vector3& at) {
    cameras_.push_back(std::make_unique<Camera>());
    cameras_.back()->name = cameraName;
    cameras_.back()->SetPosition(at);
    return cameras_.back().get();
  }

  std::vector<std::string> IconNames() {
    window_.Layout(window_.outer, window_.inner);
    std::vector<std::string> names;
    for (int i = 0; i < window_.children.Count(); ++i) names.push_back(window_.children.GetAt(i)->name.Chars());
    return names;
  }

  std::vector<std::unique_ptr<Camera>> cameras_;
  EnvironmentWindow window_;
};

TEST_F(EnvironmentTest, CoversTheScreenWithoutAFrameBelowTheTools) {
  EXPECT_EQ(window_.name, "Vyre Environment");
  EXPECT_FLOAT_EQ(window_.GetLayer(), 80.0f);
  EXPECT_FLOAT_EQ(window_.outer.Width(), 800.0f);
  EXPECT_EQ(window_.frameMaterial, nullptr);
  EXPECT_EQ(window_.GetTitleBar(), nullptr);
  ASSERT_NE(window_.GetIcon(49), nullptr);
  EXPECT_EQ(window_.GetIcon(50), nullptr);
}

TEST_F(EnvironmentTest, TheCameraInUseGetsNoIconAndOthersStayOnScreen) {
  AddCamera("in use", Vector3(0, 0, 0));
  EXPECT_TRUE(IconNames().empty());

  AddCamera("left", Vector3(-5, 0, 0));
  AddCamera("right", Vector3(5, 0, 0));
  AddCamera("middle", Vector3(0, 0, 0));
  EXPECT_EQ(IconNames(), (std::vector<std::string>{"left", "right", "middle"}));
  EXPECT_FLOAT_EQ(window_.children.GetAt(0)->outer.min.x, 0.0f);
  EXPECT_FLOAT_EQ(window_.children.GetAt(1)->outer.min.x, 768.0f);
  EXPECT_FLOAT_EQ(window_.children.GetAt(2)->outer.min.x, 384.0f);
  EXPECT_FLOAT_EQ(window_.children.GetAt(2)->outer.min.y, 284.0f);
  EXPECT_TRUE(window_.children.GetAt(2)->HasState(GUIState::kShown));
  EXPECT_FALSE(window_.GetIcon(3)->HasState(GUIState::kShown));
}

TEST_F(EnvironmentTest, EveryEnabledLightGetsALightIcon) {
  for (int n = 0; n < kStaticLightCount; ++n) GetLight(n)->enabled = 1;
  EXPECT_EQ(IconNames(), std::vector<std::string>(8, "Light"));
  GetLight(3)->enabled = 0;
  EXPECT_EQ(IconNames().size(), 7u);
}

TEST_F(EnvironmentTest, NeverHandsOutMoreIconsThanItsPool) {
  AddCamera("in use", Vector3(0, 0, 0));
  for (int i = 0; i < 60; ++i) AddCamera(("camera " + std::to_string(i)).c_str(), Vector3(0, 0, 0));
  for (int n = 0; n < kStaticLightCount; ++n) GetLight(n)->enabled = 1;
  const std::vector<std::string> names = IconNames();
  ASSERT_EQ(names.size(), 50u);
  EXPECT_EQ(names.back(), "camera 49");
}

}  // namespace
