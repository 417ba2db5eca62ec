// Window states, shapes, frame-child layout, message filtering and the
// title bar's messages.

#include <gtest/gtest.h>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/Icon.h"
#include "engine/gui/MouseCursor.h"
#include "engine/gui/ScrollBar.h"
#include "engine/gui/TitleBar.h"
#include "engine/gui/Window.h"
#include "engine/runtime/messages/MSGService.h"
#include "support/GuiTestSupport.h"

using namespace gui_test;

namespace {

// A shown, active window with a 10-unit frame at (100, 50), 200 x 150.
void OpenWindow(Window& window) {
  window.Show(true);
  window.Activate(true);
  window.SetRect(MakeRect(100, 50, 200, 150), MakeRect(110, 60, 180, 130));
}

void Post(uint32_t id, int32_t target, intptr_t value = 0) { GetGUIMSGService()->Post(id, -1, target, value, 0.0); }

}  // namespace

TEST(Window, StatesPassThroughShowAndHideToIdle) {
  Window window;
  EXPECT_EQ(window.GetStyle(), 0xc9u);
  auto stepTo = [&](int steps) {
    for (int i = 0; i < steps; ++i) GetWindowManager()->UpdateWindows();
    return std::string(window.GetCurrentStateName().Chars());
  };
  EXPECT_EQ(stepTo(2), "Idle");
  window.QueueShow();
  EXPECT_EQ(stepTo(2), "Show");
  EXPECT_EQ(stepTo(2), "Idle");
  window.QueueHide();
  EXPECT_EQ(stepTo(2), "Hide");
  EXPECT_EQ(stepTo(2), "Idle");
}

// Every state a window queues is traced once, as every state machine's is.
TEST(Window, EachQueuedStateIsTracedOnce) {
  Window window;
  GetWindowManager()->UpdateWindows();
  GetWindowManager()->UpdateWindows();
  ASSERT_EQ(window.GetCurrentStateName(), "Idle");
  LogCapture trace(kLogFSM);
  window.QueueShow();
  EXPECT_EQ(trace.Lines(), std::vector<std::string>{"Next|'Show'"});
  GetWindowManager()->UpdateWindows();
  GetWindowManager()->UpdateWindows();
  // Entering Show queues Idle again.
  EXPECT_EQ(trace.Lines(), (std::vector<std::string>{"Next|'Show'", "Exit|'Idle'", "Enter|'Show' ", "Next|'Idle'"}));
}

TEST(Window, MaximiseTogglesMinimiseOnceRestoreReturns) {
  Window window;
  OpenWindow(window);
  window.SetMaximisedRect(MakeRect(0, 0, 800, 600));
  window.Maximise();
  EXPECT_TRUE(window.IsMaximised());
  EXPECT_FLOAT_EQ(window.outer.max.x, 800);
  window.Maximise();  // a second press restores
  EXPECT_FALSE(window.IsMaximised());
  EXPECT_FLOAT_EQ(window.outer.max.x, 300);

  window.SetMinimisedRect(MakeRect(100, 50, 200, 10));
  window.Minimise();
  EXPECT_TRUE(window.IsMinimised());
  EXPECT_EQ(window.GetStyle() & GUIStyle::kContents, 0u);
  const Rect rolled = window.outer;
  window.Minimise();
  EXPECT_TRUE(window.IsMinimised());
  EXPECT_FLOAT_EQ(window.outer.max.y, rolled.max.y);
  window.Activate(false);
  window.Restore();
  EXPECT_FALSE(window.IsMinimised());
  EXPECT_TRUE(window.HasState(GUIState::kActive));
  EXPECT_NE(window.GetStyle() & GUIStyle::kContents, 0u);
  EXPECT_FLOAT_EQ(window.outer.max.y, 200);
}

TEST(Window, FrameChildrenLayoutTable) {
  // border b = 10; outer (100, 50) 200 x 150.
  struct Case {
    bool title, bars, grip;
    Rect vertical;  // expected vertical bar outer
    Rect horizontal;
    Vector2 client;
  } cases[] = {
      {false, true, false, MakeRect(290, 50, 10, 140), MakeRect(100, 190, 190, 10), {190, 140}},
      {true, true, false, MakeRect(290, 60, 10, 130), MakeRect(100, 190, 190, 10), {190, 130}},
      {true, true, true, MakeRect(290, 60, 10, 130), MakeRect(100, 190, 190, 10), {190, 130}},
  };
  for (const Case& c : cases) {
    Window window;
    OpenWindow(window);
    if (c.title) window.CreateTitleBar("Caption", 0);
    if (c.grip) window.CreateResizeIcon();
    if (c.bars) window.CreateScrollBars();
    ScrollBar* vertical = window.GetScrollBar(true);
    ScrollBar* horizontal = window.GetScrollBar(false);
    ASSERT_NE(vertical, nullptr);
    EXPECT_FLOAT_EQ(vertical->outer.min.x, c.vertical.min.x);
    EXPECT_FLOAT_EQ(vertical->outer.min.y, c.vertical.min.y);
    EXPECT_FLOAT_EQ(vertical->outer.max.y, c.vertical.max.y);
    EXPECT_FLOAT_EQ(vertical->inner.min.y, c.vertical.min.y + 5);
    EXPECT_FLOAT_EQ(horizontal->outer.min.y, c.horizontal.min.y);
    EXPECT_FLOAT_EQ(horizontal->outer.max.x, c.horizontal.max.x);
    EXPECT_FLOAT_EQ(window.clientSize.x, c.client.x);
    EXPECT_FLOAT_EQ(window.clientSize.y, c.client.y);
    if (c.title) {
      TitleBar* bar = window.GetTitleBar();
      EXPECT_FLOAT_EQ(bar->outer.max.y, 60);
      EXPECT_FLOAT_EQ(bar->inner.min.x, 105);
      EXPECT_FLOAT_EQ(bar->inner.max.x, 295);
      EXPECT_FLOAT_EQ(window.minimisedRect.max.y, 60);
    }
    if (c.grip) {
      EXPECT_FLOAT_EQ(window.GetResizeIcon()->outer.min.x, 290);
    }
  }
  // Without a grip or a horizontal bar the vertical bar runs the full client height.
  Window plain;
  OpenWindow(plain);
  plain.CreateScrollBars();
  delete plain.horizontalBar;
  plain.horizontalBar = nullptr;
  plain.LayoutFrameChildren();
  EXPECT_FLOAT_EQ(plain.GetScrollBar(true)->outer.max.y, 200);
  // A frame thicker than the window clamps the client size to zero.
  Window tiny;
  OpenWindow(tiny);
  tiny.CreateScrollBars();
  tiny.SetRect(MakeRect(0, 0, 10, 10), MakeRect(20, 20, 1, 1));
  EXPECT_FLOAT_EQ(tiny.clientSize.x, 0);
  EXPECT_FLOAT_EQ(tiny.clientSize.y, 0);
}

TEST(Window, ViewportInDisplayPixels) {
  int out[4];
  Window::ViewportFor(MakeRect(100, 150, 400, 300), 1600, 1200, out);
  EXPECT_EQ(out[0], 200);
  EXPECT_EQ(out[1], 1200 - (300 + 600));
  EXPECT_EQ(out[2], 800);
  EXPECT_EQ(out[3], 600);
  // A rectangle far beyond the screen saturates rather than wrapping round.
  Window::ViewportFor(MakeRect(1e30f, 0, 1e30f, 2148364848.0f), 1600, 1200, out);
  EXPECT_EQ(out[0], INT32_MAX);
  EXPECT_EQ(out[2], INT32_MAX);
  EXPECT_EQ(out[3], INT32_MAX);
  EXPECT_LT(out[1], 0);
}

TEST(Window, ShapeMessagesAndPointerParameters) {
  Window window;
  OpenWindow(window);
  Post(eMSG_GUIREPOSITION, window.GetId(), 0);  // null pointer: ignored
  Post(eMSG_GUIRESIZE, window.GetId(), 0);
  EXPECT_FLOAT_EQ(window.outer.min.x, 100);
  Vector2 to{20, 30};
  Post(eMSG_GUIREPOSITION, window.GetId(), reinterpret_cast<intptr_t>(&to));
  EXPECT_FLOAT_EQ(window.outer.min.x, 20);
  EXPECT_FLOAT_EQ(window.inner.min.y, 40);
  Rect resized = MakeRect(0, 0, 50, 60);
  Post(eMSG_GUIRESIZE, window.GetId(), reinterpret_cast<intptr_t>(&resized));
  EXPECT_FLOAT_EQ(window.outer.max.y, 60);
  Post(eMSG_GUIMINIMISE, window.GetId());
  EXPECT_TRUE(window.IsMinimised());
  Post(eMSG_GUIRESTORE, window.GetId());
  EXPECT_FALSE(window.IsMinimised());
}

TEST(Window, OnlyParentMessagesWhenNotAcceptingAnySender) {
  Window window;
  OpenWindow(window);
  window.acceptsAnySender = 0;
  window.SetParentId(1234);
  EXPECT_FALSE(Deliver(&window, eMSG_GUIMINIMISE, 0, 99));
  EXPECT_FALSE(window.IsMinimised());
  EXPECT_TRUE(Deliver(&window, eMSG_GUIMINIMISE, 0, 1234));
  EXPECT_TRUE(window.IsMinimised());
}

TEST(Window, ChildrenGetPointerRelativeToContentOrigin) {
  Window window;
  OpenWindow(window);
  Probe child;
  child.Enable();
  child.Layout(MakeRect(0, 0, 20, 20), MakeRect(0, 0, 20, 20));
  window.children.Add(&child);
  window.OnMouseMove({115, 65});
  EXPECT_FLOAT_EQ(window.localPointer.x, 5);
  EXPECT_FLOAT_EQ(window.localPointer.y, 5);
  EXPECT_EQ(GetWindowManager()->GetFocusedWindow(), &window);
  EXPECT_EQ(GetWindowManager()->GetFocusedElement(), &child);
  EXPECT_EQ(child.calls, std::vector<std::string>{"MouseMove"});
  // Mouse moves are not broadcast to the children a second time.
  Deliver(&window, eMSG_UIOMOUSEMOVE);
  EXPECT_EQ(child.calls.size(), 2u);
  window.children.Remove(&child);
}

TEST(Window, UnregisteringClearsFocusHeldByTheWindowOrItsChildren) {
  GUIWindowManager* manager = GetWindowManager();
  Probe child;
  child.Enable();
  {
    Window window;
    OpenWindow(window);
    window.children.Add(&child);
    window.GainFocus();
    child.GainFocus();
    ASSERT_EQ(manager->GetFocusedWindow(), &window);
  }
  EXPECT_EQ(manager->GetFocusedWindow(), nullptr);
  EXPECT_EQ(manager->GetFocusedElement(), nullptr);
  EXPECT_TRUE(LogContains(kLogGUI, "Window Window gained focus"));
}

TEST(Window, WheelGoesToTheVerticalBarOnlyWhenFocused) {
  Window window;
  OpenWindow(window);
  window.CreateScrollBars();
  ScrollBar* bar = window.GetScrollBar(true);
  bar->SetRange(0, 100, 10);
  const float start = bar->GetPosition();
  EXPECT_FALSE(Deliver(&window, eMSG_UIOWHEEL_UP));
  EXPECT_FLOAT_EQ(bar->GetPosition(), start);
  GetWindowManager()->SetFocusedWindow(&window);
  EXPECT_TRUE(Deliver(&window, eMSG_UIOWHEEL_UP));
  EXPECT_FLOAT_EQ(bar->GetPosition(), start + 0.1f);
  EXPECT_TRUE(Deliver(&window, eMSG_UIOWHEEL_DOWN));
  EXPECT_FLOAT_EQ(bar->GetPosition(), start);
  // The window's content follows the bar.
  EXPECT_FLOAT_EQ(window.scrollY, bar->GetValue());
}

TEST(TitleBar, OpensAfterAHundredThousandGUIObjectsCameAndWent) {
  // A long session runs through every receiver number; the service then
  // reuses the numbers of objects that are gone instead of running out.
  for (int i = 0; i < 100000; ++i) {
    Probe element;
    ASSERT_NE(element.GetId(), CMSGListener::kRefusedId) << i;
  }
  Window window;
  OpenWindow(window);
  window.CreateTitleBar("Caption", GUIStyle::kTitleButtons);
  TitleBar* bar = window.GetTitleBar();
  EXPECT_GE(window.GetId(), 0);
  EXPECT_EQ(bar->GetParentId(), window.GetId());
  EXPECT_TRUE(bar->closeButton.HasState(GUIState::kTakesInput));
  EXPECT_TRUE(LogContains(kLogMSG, "GUI MSG Service : every receiver number has been given"));
}

TEST(TitleBar, ButtonsPostHideMinimiseMaximiseToTheWindow) {
  Window window;
  OpenWindow(window);
  window.SetMaximisedRect(MakeRect(0, 0, 800, 600));
  window.CreateTitleBar("Caption", GUIStyle::kTitleButtons);
  TitleBar* bar = window.GetTitleBar();
  EXPECT_EQ(std::string(bar->closeButton.GetNameString().Chars()), "WindowTitleBar:CloseIcon");
  EXPECT_TRUE(bar->closeButton.HasState(GUIState::kTakesInput));
  auto press = [&](Icon& button) {
    GetWindowManager()->SetFocusedElement(&button);
    button.OnPress();
    button.OnLButtonUp();
  };
  press(bar->maximiseButton);
  EXPECT_TRUE(window.IsMaximised());
  press(bar->maximiseButton);
  EXPECT_FALSE(window.IsMaximised());
  press(bar->minimiseButton);
  EXPECT_TRUE(window.IsMinimised());
  window.Restore();
  press(bar->closeButton);
  EXPECT_FALSE(window.HasState(GUIState::kShown));
  Post(eMSG_GUISHOW, window.GetId());
  EXPECT_TRUE(window.HasState(GUIState::kShown));
  EXPECT_FALSE(window.IsMaximised());
}

TEST(TitleBar, DoubleClickMaximisesThenRestores) {
  Window window;
  OpenWindow(window);
  window.SetMaximisedRect(MakeRect(0, 0, 800, 600));
  window.CreateTitleBar("Caption", 0);
  window.GetTitleBar()->OnLButtonDouble();
  EXPECT_TRUE(window.IsMaximised());
  window.GetTitleBar()->OnLButtonDouble();
  EXPECT_FALSE(window.IsMaximised());
  EXPECT_FLOAT_EQ(window.outer.min.x, 100);
}

TEST(TitleBar, DragPostsOneRepositionPerMove) {
  Window window;
  OpenWindow(window);
  window.CreateTitleBar("Caption", 0);
  TitleBar* bar = window.GetTitleBar();
  MouseCursor* cursor = GetMouseCursor();
  cursor->SetScale(800, 600);
  cursor->SetPosition(150, 55);
  bar->OnMouseMove(cursor->position);  // focus the bar
  bar->OnPress();
  ASSERT_TRUE(bar->HasState(GUIState::kPressed));
  for (int step = 1; step <= 3; ++step) {
    cursor->SetPosition(150 + 10 * step, 55 + 5 * step);
    bar->OnMouseMove(cursor->position);
    EXPECT_FLOAT_EQ(window.outer.min.x, 100 + 10 * step);
    EXPECT_FLOAT_EQ(window.outer.min.y, 50 + 5 * step);
  }
  EXPECT_TRUE(LogContains(kLogDBG, "Relative [10.000000, 5.000000]"));
  // Without the button style the bar set up no buttons.
  EXPECT_EQ(bar->closeButton.pressMessage.id, 0u);
}
