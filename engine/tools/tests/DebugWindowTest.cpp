#include <gtest/gtest.h>

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/gui/TitleBar.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/tools/DebugWindow.h"

namespace {

// Counts the moves that the slide's reposition messages cause.
class CountingWindow : public DebugWindow {
 public:
  void MoveTo(const Vector2& position) override {
    ++moves;
    DebugWindow::MoveTo(position);
  }
  int moves = 0;
};

class DebugWindowSlide : public ::testing::Test {
 protected:
  // 0.125 s per frame: a 0.5 s slide takes exactly four updates.
  void SetUp() override { Clock::Instance().SetFixedStep(0.125f); }
  void TearDown() override {
    Clock::Instance().SetFixedStep(0.0f);
    Clock::Instance().SetPaused(false);
  }

  // A 300 x 200 window at (100, 50), active so that it takes repositions.
  static void Place(DebugWindow& window, int edge) {
    Rect outer;
    outer.SetPositionSize({100, 50}, {300, 200});
    window.SetRect(outer, outer);
    window.Activate(true);
    window.SetSlideEdge(edge);
    window.slideEnabled = 1;
    Settle(window);
  }

  // Steps the state machine until no change is pending (leave, then enter).
  static void Settle(DebugWindow& window) {
    for (int i = 0; i < 4 && window.GetPendingState() != nullptr; ++i) window.Update();
  }

  static bool AtRest(DebugWindow& window) { return window.IsCurrent(window.GetNullState()); }
};

TEST(DebugWindow, WithoutSlideVisibilityChangesAtOnce) {
  CountingWindow window;
  EXPECT_EQ(window.name, "Vyre Window");
  window.Activate(true);
  window.Show(true);
  EXPECT_TRUE(window.IsVisible());
  EXPECT_FALSE(window.IsPending(&window.showState));
  window.Show(false);
  EXPECT_FALSE(window.IsVisible());
  for (int i = 0; i < 8; ++i) window.Update();
  EXPECT_EQ(window.moves, 0);
  EXPECT_FALSE(window.IsVisible());
}

TEST_F(DebugWindowSlide, EachEdgeSlidesInFromOffScreenAndEndsAtHome) {
  struct Case {
    int edge;
    float startX, startY;
  } cases[] = {
      {DebugWindow::kBottom, 100, 600},
      {DebugWindow::kTop, 100, -200},
      {DebugWindow::kRight, 800, 50},
      {DebugWindow::kLeft, -300, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edge);
    CountingWindow window;
    Place(window, c.edge);
    Clock::Instance().SetPaused(true);
    window.Show(true);
    Settle(window);
    EXPECT_TRUE(window.IsVisible());
    // A paused clock steps 0: the window sits at its edge and the slide never ends.
    for (int i = 0; i < 10; ++i) window.Update();
    EXPECT_FLOAT_EQ(window.outer.min.x, c.startX);
    EXPECT_FLOAT_EQ(window.outer.min.y, c.startY);
    EXPECT_TRUE(window.IsCurrent(&window.showState));
    Clock::Instance().SetPaused(false);
    for (int i = 0; i < 3; ++i) window.Update();
    EXPECT_FALSE(window.outer.min.x == 100 && window.outer.min.y == 50);
    window.Update();
    EXPECT_FLOAT_EQ(window.outer.min.x, 100);
    EXPECT_FLOAT_EQ(window.outer.min.y, 50);
    EXPECT_FLOAT_EQ(window.inner.min.x, 100);
    Settle(window);
    EXPECT_TRUE(AtRest(window));
    EXPECT_EQ(window.moves, 14);
  }
}

TEST_F(DebugWindowSlide, HideMovesEveryFrameAndHidesOnlyAtTheEnd) {
  CountingWindow window;
  Place(window, DebugWindow::kBottom);
  window.Show(true);
  Settle(window);
  for (int i = 0; i < 4; ++i) window.Update();
  Settle(window);
  ASSERT_TRUE(AtRest(window));
  window.moves = 0;

  window.Show(false);
  Settle(window);
  for (int i = 0; i < 3; ++i) {
    window.Update();
    EXPECT_TRUE(window.IsVisible());
  }
  window.Update();
  EXPECT_EQ(window.moves, 4);
  EXPECT_FLOAT_EQ(window.outer.min.y, 600);
  EXPECT_TRUE(window.IsVisible());  // still sliding until the state is left
  Settle(window);
  EXPECT_FALSE(window.IsVisible());
  EXPECT_TRUE(AtRest(window));
  EXPECT_EQ(window.moves, 4);
}

TEST_F(DebugWindowSlide, TheEndOfASlideIsTracedOnce) {
  CountingWindow window;
  Place(window, DebugWindow::kLeft);
  window.Show(true);
  Settle(window);
  LogCapture trace(kLogFSM);
  for (int i = 0; i < 4; ++i) window.Update();
  EXPECT_EQ(trace.Lines(), std::vector<std::string>{"Next|'NULL'"});
  Settle(window);
  EXPECT_TRUE(AtRest(window));
}

TEST_F(DebugWindowSlide, ShowingAVisibleWindowSlidesItInAgainAndShowCutsAHideShort) {
  CountingWindow window;
  Place(window, DebugWindow::kLeft);
  window.Show(true);
  Settle(window);
  for (int i = 0; i < 4; ++i) window.Update();
  Settle(window);
  ASSERT_FLOAT_EQ(window.outer.min.x, 100);

  window.Show(false);
  Settle(window);
  window.Update();  // part way out
  EXPECT_LT(window.outer.min.x, 100);
  window.Show(true);
  Settle(window);  // leaving "Hide" clears the bit, entering "Show" sets it
  EXPECT_TRUE(window.IsVisible());
  window.Update();
  // The new slide starts from its own start, not from where the window was.
  EXPECT_LT(window.outer.min.x, -300 + 100);
  for (int i = 0; i < 3; ++i) window.Update();
  EXPECT_FLOAT_EQ(window.outer.min.x, 100);

  Settle(window);
  window.Show(true);
  Settle(window);
  window.Update();
  EXPECT_LT(window.outer.min.x, 0);
}

TEST_F(DebugWindowSlide, AShowMessageTurnsBackAWindowSlidingOut) {
  CountingWindow window;
  Place(window, DebugWindow::kRight);
  window.Show(true);
  Settle(window);
  for (int i = 0; i < 4; ++i) window.Update();
  Settle(window);
  window.Show(false);
  Settle(window);
  window.Update();
  ASSERT_TRUE(window.IsVisible());
  GetGUIMSGService()->Post(eMSG_GUISHOW, -1, window.GetId(), 0, 0.0);
  EXPECT_TRUE(window.IsPending(&window.showState));
  Settle(window);
  for (int i = 0; i < 4; ++i) window.Update();
  Settle(window);
  EXPECT_TRUE(window.IsVisible());
  EXPECT_FLOAT_EQ(window.outer.min.x, 100);
}

TEST(DebugWindow, UnknownSlideEdgeChangesNothing) {
  DebugWindow window;
  Rect outer;
  outer.SetPositionSize({10, 20}, {30, 40});
  window.SetRect(outer, outer);
  window.SetSlideEdge(DebugWindow::kRight);
  const AnimChannel before = window.showX;
  window.SetSlideEdge(4);
  window.SetSlideEdge(-1);
  EXPECT_FLOAT_EQ(window.showX.start, before.start);
  EXPECT_FLOAT_EQ(window.showX.range, before.range);
  EXPECT_FLOAT_EQ(window.showX.duration, before.duration);
}

TEST(DebugWindow, FramesSetLayerTitleBarRectanglesAndSlide) {
  DebugWindow bare;
  bare.SetDefaultFrame(2);
  EXPECT_EQ(bare.frameStyle, 2);
  EXPECT_FLOAT_EQ(bare.GetLayer(), 60.0f);
  EXPECT_FALSE(bare.HasState(GUIState::kDefaults));
  EXPECT_EQ(bare.GetTitleBar(), nullptr);
  EXPECT_FALSE(bare.slideEnabled);

  DebugWindow sliding;
  sliding.name = "Vyre Memory";
  sliding.SetDeveloperFrame(3, {500, 149}, {300, 196}, DebugWindow::kRight);
  EXPECT_FLOAT_EQ(sliding.GetLayer(), 100.0f);
  ASSERT_NE(sliding.GetTitleBar(), nullptr);
  EXPECT_EQ(sliding.GetTitleBar()->GetStyle() & 0x1C00u, 0x1C00u);
  EXPECT_FLOAT_EQ(sliding.outer.min.x, 500);
  EXPECT_FLOAT_EQ(sliding.outer.max.y, 345);
  EXPECT_FLOAT_EQ(sliding.inner.min.x, 516);
  EXPECT_FLOAT_EQ(sliding.inner.max.x, 784);
  EXPECT_FLOAT_EQ(sliding.inner.min.y, 165);
  EXPECT_TRUE(sliding.slideEnabled);
  EXPECT_FLOAT_EQ(sliding.showX.start, 800);
  EXPECT_FLOAT_EQ(sliding.hideX.start + sliding.hideX.range, 800);

  DebugWindow fixed;
  fixed.SetDeveloperFrame(3, {32, 0}, {768, 300}, DebugWindow::kNoSlide);
  EXPECT_FALSE(fixed.slideEnabled);
}

TEST(DebugWindow, TextCellNeverDropsBelowOne) {
  SetDebugTextCell(0, -5);
  EXPECT_EQ(DebugTextCellWidth(), 1);
  EXPECT_EQ(DebugTextCellHeight(), 1);
  SetDebugTextCell(16, 12);
  EXPECT_EQ(DebugTextCellWidth(), 16);
  EXPECT_EQ(DebugTextCellHeight(), 12);
}

}  // namespace
