// Message routing, focus, hit testing and image states of GUI elements.

#include <gtest/gtest.h>

#include "engine/graphics/Material.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/MouseCursor.h"
#include "platform/KeyCodes.h"
#include "support/GuiTestSupport.h"

using namespace gui_test;

TEST(GUIObject, InactiveObjectReactsOnlyToActivateEnableDisable) {
  Probe probe;
  probe.state |= GUIState::kShown;
  GetWindowManager()->SetFocusedElement(&probe);
  const uint32_t ignored[] = {eMSG_UIOKEYDOWN, eMSG_UIOLMB_DOWN, eMSG_GUICREATE, eMSG_GUIHIDE, eMSG_UIOMOUSEMOVE};
  for (uint32_t id : ignored) Deliver(&probe, id, 5);
  EXPECT_TRUE(probe.calls.empty());
  EXPECT_TRUE(probe.HasState(GUIState::kShown));
  EXPECT_EQ(probe.imageRefreshes, 5);  // the image still follows every message

  Deliver(&probe, eMSG_GUIENABLE);
  EXPECT_TRUE(probe.HasState(GUIState::kTakesInput));
  Deliver(&probe, eMSG_GUIDISABLE);
  EXPECT_FALSE(probe.HasState(GUIState::kTakesInput));
  Deliver(&probe, eMSG_GUIACTIVATE);
  EXPECT_TRUE(probe.HasState(GUIState::kActive));
}

TEST(GUIObject, KeysAndButtonsReachOnlyTheFocusedElementTakingInput) {
  Probe focused;
  Probe other;
  focused.Enable();
  other.Enable();
  GetWindowManager()->SetFocusedElement(&focused);

  EXPECT_TRUE(Deliver(&focused, eMSG_UIOKEYDOWN, platform::key::A));
  EXPECT_FALSE(Deliver(&other, eMSG_UIOKEYDOWN, platform::key::A));
  EXPECT_TRUE(Deliver(&focused, eMSG_UIOLMB_DOWN));
  EXPECT_EQ(focused.calls, (std::vector<std::string>{"KeyDown:" + std::to_string(platform::key::A), "LButtonDown"}));
  EXPECT_TRUE(other.calls.empty());

  // Without the takes-input bit even the focused element gets no keys.
  focused.DisableInput();
  EXPECT_FALSE(Deliver(&focused, eMSG_UIOKEYDOWN, platform::key::A));
  EXPECT_EQ(focused.calls.size(), 2u);

  // Button-up and mouse moves reach every active, shown element.
  Deliver(&other, eMSG_UIOLMB_UP);
  Deliver(&other, eMSG_UIOMOUSEMOVE);
  EXPECT_EQ(other.calls, (std::vector<std::string>{"LButtonUp", "MouseMove"}));
  other.Show(false);
  Deliver(&other, eMSG_UIOLMB_UP);
  EXPECT_EQ(other.calls.size(), 2u);
  // A hidden but active element still comes back on SHOW.
  Deliver(&other, eMSG_GUISHOW);
  EXPECT_TRUE(other.HasState(GUIState::kShown));
}

TEST(GUIObject, GainFocusTellsThePreviousHolderOnceAndOnlyOnce) {
  Probe first;
  Probe second;
  first.Enable();
  second.Enable();
  GUIWindowManager* manager = GetWindowManager();
  first.GainFocus();
  EXPECT_EQ(manager->GetFocusedElement(), &first);
  first.GainFocus();  // already focused: nothing posted, nothing lost
  EXPECT_FALSE(first.HasState(GUIState::kFocusLost));

  second.GainFocus();
  EXPECT_EQ(manager->GetFocusedElement(), &second);
  // The LOSEFOCUS went through the GUI service at once.
  EXPECT_TRUE(first.HasState(GUIState::kFocusLost));
}

TEST(GUIObject, HitTestIncludesEdgesAndFocusFollowsThePointer) {
  Probe probe;
  probe.Enable();
  probe.Layout(MakeRect(100, 100, 50, 20), MakeRect(110, 105, 30, 10));
  struct Case {
    Vector2 point;
    bool inside;
  } cases[] = {
      {{110, 105}, true},     {{140, 115}, true},     {{125, 110}, true},  {{109.9f, 110}, false},
      {{140.1f, 110}, false}, {{125, 104.9f}, false}, {{105, 102}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(probe.HitTest(c.point), c.inside) << c.point.x << "," << c.point.y;
  probe.hitOnInner = 0;
  EXPECT_TRUE(probe.HitTest({100, 100}));
  EXPECT_TRUE(probe.HitTest({150, 120}));
  probe.hitOnInner = 1;

  GUIWindowManager* manager = GetWindowManager();
  probe.OnMouseMove({140, 115});
  EXPECT_EQ(manager->GetFocusedElement(), &probe);
  probe.OnMouseMove({10, 10});
  EXPECT_EQ(manager->GetFocusedElement(), nullptr);
  EXPECT_TRUE(probe.HasState(GUIState::kFocusLost));
  probe.OnMouseMove({20, 20});  // outside without focus: the mark is cleared
  EXPECT_FALSE(probe.HasState(GUIState::kFocusLost));
}

TEST(GUIObject, ImageStateBandTable) {
  CMATMaterial strip;
  Probe probe;
  probe.Enable();
  probe.SetImageMaterial(1, &strip);
  probe.SetImageStates(true);
  probe.style |= GUIStyle::kBandStrip;
  GUIWindowManager* manager = GetWindowManager();
  struct Case {
    bool takesInput;
    bool focused;
    bool pressed;
    float from;
  } cases[] = {
      {false, false, false, 1.0f}, {true, true, false, 0.5f}, {true, false, true, 0.25f},
      {true, false, false, 0.75f}, {false, true, true, 1.0f},
  };
  for (const Case& c : cases) {
    probe.state = GUIState::kShown | GUIState::kActive | (c.takesInput ? GUIState::kTakesInput : 0) |
                  (c.pressed ? GUIState::kPressed : 0);
    manager->SetFocusedElement(c.focused ? &probe : nullptr);
    probe.UpdateImageState();
    EXPECT_FLOAT_EQ(probe.imageUV.min.y, c.from);
    EXPECT_FLOAT_EQ(probe.imageUV.max.y, c.from - 0.25f);
    EXPECT_FLOAT_EQ(probe.imageUV.min.x, 0.0f);
    EXPECT_FLOAT_EQ(probe.imageUV.max.x, 1.0f);
  }
}

TEST(GUIObject, SeparateImagesFollowStateOnlyWithImageStatesOn) {
  CMATMaterial idle, normal, focus, pressed;
  Probe probe;
  probe.Enable();
  CMATMaterial* set[4] = {&idle, &normal, &focus, &pressed};
  for (int i = 0; i < 4; ++i) probe.SetImageMaterial(i, set[i]);
  EXPECT_EQ(probe.style & GUIStyle::kBandStrip, 0u);  // an index other than 1 leaves the strip mode
  probe.overlayMaterial = nullptr;
  probe.UpdateImageState();
  EXPECT_EQ(probe.overlayMaterial, nullptr);  // image states off: nothing changes

  probe.SetImageStates(true);
  probe.UpdateImageState();
  EXPECT_EQ(probe.overlayMaterial, &normal);
  GetWindowManager()->SetFocusedElement(&probe);
  probe.UpdateImageState();
  EXPECT_EQ(probe.overlayMaterial, &focus);
  probe.style |= GUIStyle::kImageIsFrame;
  probe.DisableInput();
  probe.UpdateImageState();
  EXPECT_EQ(probe.frameMaterial, &idle);
}

TEST(GUIObject, SetImageMaterialRefusesBadIndexAndNull) {
  CMATMaterial material;
  Probe probe;
  EXPECT_FALSE(probe.SetImageMaterial(-1, &material));
  EXPECT_FALSE(probe.SetImageMaterial(4, &material));
  EXPECT_FALSE(probe.SetImageMaterial(1, nullptr));
  EXPECT_TRUE(probe.HasState(GUIState::kDefaults));
  EXPECT_EQ(probe.frameMaterial, nullptr);
  EXPECT_TRUE(probe.SetImageMaterial(3, &material));
  EXPECT_EQ(probe.GetImage(3), &material);
  EXPECT_FALSE(probe.HasState(GUIState::kDefaults));
}

TEST(GUIObject, DestroyedElementLeavesNoFocusPointer) {
  GUIWindowManager* manager = GetWindowManager();
  {
    Probe probe;
    probe.Enable();
    probe.GainFocus();
    ASSERT_EQ(manager->GetFocusedElement(), &probe);
  }
  EXPECT_EQ(manager->GetFocusedElement(), nullptr);
}

TEST(GUIObject, ScissorBoxConvertsToPixelsWithYFlipped) {
  struct Case {
    Vector2 anchor, extent;
    int width, height;
    int box[4];
  } cases[] = {
      {{0, 600}, {800, 600}, 800, 600, {0, 0, 800, 600}},
      {{100, 300}, {200, 150}, 1600, 1200, {200, 600, 400, 300}},
      {{400, 150}, {80, 60}, 1024, 768, {512, 576, 102, 76}},
  };
  for (const Case& c : cases) {
    int box[4];
    GUIObject::ContentScissor(c.anchor, c.extent, c.width, c.height, box);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(box[i], c.box[i]) << i;
  }
}

TEST(GUIObject, LayoutMoveAndGrowKeepTheContentArea) {
  Probe probe;
  probe.Layout(MakeRect(10, 20, 100, 50), MakeRect(15, 25, 90, 40));
  EXPECT_FLOAT_EQ(probe.contentAnchor.x, 15);
  EXPECT_FLOAT_EQ(probe.contentAnchor.y, 65);  // min x, max y
  EXPECT_FLOAT_EQ(probe.contentExtent.x, 90);
  probe.MoveTo({100, 200});
  EXPECT_FLOAT_EQ(probe.inner.min.x, 105);
  EXPECT_FLOAT_EQ(probe.inner.min.y, 205);
  EXPECT_FLOAT_EQ(probe.inner.max.x, 195);
  EXPECT_FLOAT_EQ(probe.outer.max.y, 250);
  EXPECT_FLOAT_EQ(probe.contentAnchor.y, 245);
  probe.Grow({10, 10});
  EXPECT_FLOAT_EQ(probe.outer.max.x, 210);
  EXPECT_FLOAT_EQ(probe.inner.min.x, 100);
}

TEST(GUIObject, FrameGridUsesThreeQuartersAndThirdsFromTheTop) {
  Probe probe;
  EXPECT_EQ(probe.GetStyle(), 0xcau);
  EXPECT_EQ(probe.GetState(), 0x20u);
  EXPECT_FLOAT_EQ(probe.pieceUV[0].min.y, 1.0f);
  EXPECT_FLOAT_EQ(probe.pieceUV[8].max.x, 0.75f);
  EXPECT_NEAR(probe.pieceUV[8].max.y, 0.0f, 1e-6);
  EXPECT_NEAR(probe.pieceUV[4].min.y, 0.6666667f, 1e-6);
  EXPECT_FLOAT_EQ(probe.pieceUV[5].min.x, 0.5f);
}
