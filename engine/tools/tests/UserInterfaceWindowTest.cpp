#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/MouseCursor.h"
#include "engine/tools/ResizeGrip.h"
#include "engine/tools/UserInterfaceWindow.h"
#include "engine/tools/tests/support/RecordingCanvas.h"

namespace {

TEST(UserInterfaceWindow, FrameSitsAtItsPlaceAndDoesNotSlide) {
  UserInterfaceWindow window;
  window.SetDefaultFrame(2);
  EXPECT_EQ(window.name, "Vyre User Interface");
  EXPECT_FLOAT_EQ(window.outer.min.x, 300.0f);
  EXPECT_FLOAT_EQ(window.outer.min.y, 149.0f);
  EXPECT_FLOAT_EQ(window.inner.Width(), 468.0f);
  EXPECT_FLOAT_EQ(window.inner.Height(), 96.0f);
  EXPECT_FALSE(window.slideEnabled);
}

TEST(UserInterfaceWindow, PrintsCursorActiveWindowAndFocusOrTheirNoneForms) {
  RecordingCanvas canvas;
  canvas.fontHeights[2] = 12;
  UserInterfaceWindow window;
  window.SetDefaultFrame(2);
  GetMouseCursor()->position = Vector2(12.4f, 7.6f);
  GUIWindowManager* manager = GetWindowManager();
  manager->SetFocusedWindow(nullptr);
  manager->SetFocusedElement(nullptr);

  window.DrawContents();
  EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"Mouse [12, 8]", "Window : [NONE]", "Focus : [NONE]"}));
  EXPECT_EQ(canvas.prints[1].y, 12);
  EXPECT_EQ(canvas.prints[2].y, 24);
  EXPECT_EQ(canvas.prints[2].font, 2);

  DebugWindow other;
  other.name = "Other";
  other.localPointer = Vector2(3.4f, 250.0f);
  manager->SetFocusedWindow(&other);
  manager->SetFocusedElement(&other);
  canvas.Clear();
  window.DrawContents();
  EXPECT_EQ(canvas.Texts(),
            (std::vector<std::string>{"Mouse [12, 8]", "Window : [Other] [3, 250]", "Focus : [Other]"}));
  manager->SetFocusedWindow(nullptr);
  manager->SetFocusedElement(nullptr);
}

// A window that records the size changes its grip asks for.
class GripParent : public DebugWindow {
 public:
  void AdjustSize(const Vector2& delta) override { requests.push_back(delta); }
  std::vector<Vector2> requests;
};

TEST(ResizeGrip, WhilePressedFollowsTheMouseAndTellsItsParentOnce) {
  GripParent parent;
  parent.Activate(true);
  ResizeGrip grip;
  Rect place;
  place.SetPositionSize(Vector2(100, 100), Vector2(16, 16));
  grip.Layout(place, place);
  grip.SetParentId(parent.GetId());
  GetMouseCursor()->motion = Vector2(3, -2);

  grip.OnMouseMove(Vector2(500, 500));  // not pressed: nothing happens
  EXPECT_FLOAT_EQ(grip.outer.min.x, 100.0f);
  EXPECT_TRUE(parent.requests.empty());

  grip.SetState(grip.GetState() | GUIState::kPressed);
  grip.OnMouseMove(Vector2(500, 500));
  EXPECT_FLOAT_EQ(grip.outer.min.x, 103.0f);
  EXPECT_FLOAT_EQ(grip.outer.min.y, 98.0f);
  ASSERT_EQ(parent.requests.size(), 1u);
  EXPECT_FLOAT_EQ(parent.requests[0].x, 3.0f);
  EXPECT_FLOAT_EQ(parent.requests[0].y, -2.0f);
}

}  // namespace
