// The statistics windows print through a recording canvas whose fonts are 16
// units high and whose characters are 8 units wide.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/foundation/Clock.h"
#include "engine/graphics/GFXStats.h"
#include "engine/runtime/fsm/Base.h"
#include "engine/runtime/input/UIOManager.h"
#include "engine/tools/DBGEngineLinks.h"
#include "engine/tools/FrustumWindow.h"
#include "engine/tools/FsmWindow.h"
#include "engine/tools/MemoryWindow.h"
#include "engine/tools/MessagingWindow.h"
#include "engine/tools/PerformanceStatisticsWindow.h"
#include "engine/tools/PerformanceWindow.h"
#include "engine/tools/ProfilerWindow.h"
#include "engine/tools/UserInputWindow.h"
#include "engine/tools/tests/support/RecordingCanvas.h"

namespace {

using Texts = std::vector<std::string>;

TEST(PerformanceWindow, FrameRateColourChangesAtThirtyAndSixty) {
  struct Case {
    float fps;
    float red, green;
  } cases[] = {{0.0f, 1, 0}, {29.99f, 1, 0}, {30.0f, 1, 1}, {59.99f, 1, 1}, {60.0f, 0, 1}, {240.0f, 0, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fps);
    const float* colour = PerformanceWindow::FpsColour(c.fps);
    EXPECT_FLOAT_EQ(colour[0], c.red);
    EXPECT_FLOAT_EQ(colour[1], c.green);
    EXPECT_FLOAT_EQ(colour[2], 0.0f);
  }
}

TEST(PerformanceWindow, PrintsFrameRateTimeAndStepOneLineApart) {
  RecordingCanvas canvas;
  PerformanceWindow window;
  window.SetDefaultFrame(1);
  EXPECT_TRUE(window.slideEnabled);
  EXPECT_FLOAT_EQ(window.showX.start, 800.0f);
  Clock::Instance().SetGameTime(3725.0f);
  Clock::Instance().SetFixedStep(0.125f);
  window.SetTiming(42, 30.0f);
  window.DrawContents();
  Clock::Instance().SetFixedStep(0.0f);
  EXPECT_EQ(canvas.Texts(), (Texts{"Frame : 42", "FPS : 30.000000", "Time : 01:02:05", "dt : 0.125000"}));
  EXPECT_EQ(canvas.prints[3].y, 48);
  EXPECT_FLOAT_EQ(canvas.prints[0].colour[2], 1.0f);  // white
  EXPECT_FLOAT_EQ(canvas.prints[1].colour[2], 0.0f);  // yellow
  EXPECT_FLOAT_EQ(canvas.prints[1].colour[1], 1.0f);
  EXPECT_FLOAT_EQ(canvas.prints[2].colour[2], 1.0f);
}

TEST(MemoryWindow, PrintsTotalsAndPartsUnsignedWithWholeMegabytes) {
  RecordingCanvas canvas;
  MemoryWindow window;
  window.SetDefaultFrame(0);
  MemoryCounters counters;
  counters.objectAllocations = 3;
  counters.objectBytes = 1048000;
  counters.arrayAllocations = 2;
  counters.arrayBytes = 500;
  counters.cLibraryAllocations = 1;
  counters.cLibraryBytes = 75;
  counters.objectFrees = 4;
  counters.arrayFrees = 5;
  counters.cLibraryFrees = 6;
  window.PrintCounters(counters);
  EXPECT_EQ(canvas.Texts(),
            (Texts{"Used : 1048575(b) - 0(Mb)", "Alloc's : 6 = 1048575", "New : 3 = 1048000", "New[] : 2 = 500",
                   "malloc : 1 = 75", "Dealloc's : 15", "delete : 4", "delete[] : 5", "free : 6"}));
  EXPECT_EQ(canvas.prints[2].x, 5);
  EXPECT_EQ(canvas.prints[5].x, 0);
  EXPECT_EQ(canvas.prints[8].y, 8 * 16);

  struct Case {
    uint32_t bytes;
    const char* used;
  } cases[] = {{1048576, "Used : 1048576(b) - 1(Mb)"}, {0xFFFFFFFFu, "Used : 4294967295(b) - 4095(Mb)"}};
  for (const Case& c : cases) {
    canvas.Clear();
    MemoryCounters one;
    one.cLibraryBytes = c.bytes;
    window.PrintCounters(one);
    EXPECT_EQ(canvas.prints.at(0).text, c.used);
  }
}

// One controller named "Pad" whose stick reads (5, -7) with button 2 down.
class OnePad : public platform::PadSource {
 public:
  int Count() override { return 1; }
  std::string Name(int index) override { return index == 0 ? "Pad" : ""; }
  bool Open(int) override { return true; }
  void Close() override {}
  bool Acquire() override { return true; }
  bool Read(platform::PadRawState* state) override {
    state->x = 5;
    state->y = -7;
    state->buttons[2] = platform::kDownBit;
    return true;
  }
};

class UserInputWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { window_.SetDefaultFrame(3); }
  void TearDown() override { GetEngineLinks().input = nullptr; }
  RecordingCanvas canvas_;
  UserInputWindow window_;
};

TEST_F(UserInputWindowTest, WithoutAControllerPrintsNothing) {
  window_.DrawContents();
  CUIOManager noPads;
  GetEngineLinks().input = &noPads;
  window_.DrawContents();
  EXPECT_TRUE(canvas_.prints.empty());
}

TEST_F(UserInputWindowTest, PrintsTheControllerInFontZeroAndUnknownPastTheTable) {
  CUIOManager input;
  UIOSources sources;
  sources.pads = std::make_unique<OnePad>();
  input.Init(std::move(sources));
  ASSERT_NE(input.GetJoystick(), nullptr);
  input.GetJoystick()->Poll(0.0f);
  GetEngineLinks().input = &input;
  window_.DrawContents();
  ASSERT_EQ(canvas_.prints.size(), 8u);
  EXPECT_EQ(canvas_.prints[0].text, "Joystick : Pad");
  EXPECT_EQ(canvas_.prints[0].font, 0);
  EXPECT_EQ(canvas_.prints[0].x, 10);
  EXPECT_EQ(canvas_.prints[0].y, 20);
  EXPECT_EQ(canvas_.prints[1].text, "[X] = 5 [Y] = -7");
  EXPECT_EQ(canvas_.prints[2].text, "Button[0] = 0");
  EXPECT_EQ(canvas_.prints[4].text, "Button[2] = " + std::to_string(input.GetJoystick()->GetButtonState(2)));
  EXPECT_NE(canvas_.prints[4].text, "Button[2] = 0");
  EXPECT_EQ(canvas_.prints[7].y, 90);

  canvas_.Clear();
  input.SetJoystickIndex(8);
  window_.DrawContents();
  EXPECT_EQ(canvas_.prints.at(0).text, "Joystick : Unknown");
}

TEST(FsmWindow, ListsAtMostSevenMachinesUnderItsHeader) {
  RecordingCanvas canvas;
  FsmWindow window;
  window.SetDefaultFrame(2);
  EXPECT_FLOAT_EQ(window.showX.start, -300.0f);
  std::vector<std::unique_ptr<Base>> machines;
  for (int i = 0; i < 8; ++i) {
    machines.push_back(std::make_unique<Base>());
    machines.back()->name = ("machine " + std::to_string(i)).c_str();
  }
  window.DrawContents();
  ASSERT_GE(canvas.prints.size(), 3u);
  EXPECT_EQ(canvas.prints[0].text, "ID");
  EXPECT_EQ(canvas.prints[1].text, "GEO");
  EXPECT_EQ(canvas.prints[1].x, 4 * 8);
  EXPECT_EQ(canvas.prints[2].x, 10 * 8);
  EXPECT_EQ(canvas.prints.size(), 3u + 7u * 3u);
  EXPECT_EQ(canvas.prints.back().y, 7 * 8);
  EXPECT_EQ(canvas.Find("machine 7"), nullptr);
  const RecordingCanvas::Printed* first = canvas.Find("machine 0");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->x, 4 * 8);
  const std::string id = "[" + std::to_string(machines[0]->GetObjectId()) + "]";
  ASSERT_NE(canvas.Find(id), nullptr);
  EXPECT_EQ(canvas.Find(id)->y, first->y);
}

TEST(MessagingWindow, PrintsOnlyItsHeaderOnTheWideLetterGrid) {
  RecordingCanvas canvas;
  MessagingWindow window;
  window.SetDefaultFrame(0);
  window.DrawContents();
  EXPECT_EQ(canvas.Texts(), (Texts{"#", "MSG", "From", "To", "Due"}));
  EXPECT_EQ(canvas.prints[2].x, 15 * 8);
  EXPECT_EQ(canvas.prints[4].x, 28 * 8);
  EXPECT_EQ(canvas.prints[4].y, 0);
}

TEST(StatisticsWindows, FrustumAndProfilerPrintNothing) {
  RecordingCanvas canvas;
  FrustumWindow frustum;
  frustum.SetDefaultFrame(0);
  frustum.DrawContents();
  ProfilerWindow profiler;
  profiler.SetDefaultFrame(0);
  profiler.DrawContents();
  EXPECT_TRUE(canvas.prints.empty());
  EXPECT_EQ(frustum.name, "Vyre Frustum");
  EXPECT_EQ(profiler.name, "Vyre Profiler");
  EXPECT_FALSE(profiler.slideEnabled);
}

class PlotTest : public ::testing::Test {
 protected:
  // The client area is 736 x 336: the graph is 720 x 312.
  void SetUp() override { window_.SetDefaultFrame(0); }

  bool AllFinite() const {
    for (const RecordingCanvas::DrawnLine& line : canvas_.lines) {
      if (!std::isfinite(line.from.x) || !std::isfinite(line.from.y) || !std::isfinite(line.to.x) ||
          !std::isfinite(line.to.y)) {
        return false;
      }
    }
    return true;
  }

  RecordingCanvas canvas_;
  PerformanceStatisticsWindow window_;
  GFXStats stats_;
};

TEST_F(PlotTest, AnEmptyRingDrawsOnlyTheAxes) {
  window_.Plot(stats_);
  ASSERT_EQ(canvas_.lines.size(), 2u);
  EXPECT_FLOAT_EQ(canvas_.lines[0].from.y, 8.0f);
  EXPECT_FLOAT_EQ(canvas_.lines[0].to.y, 320.0f);
  EXPECT_FLOAT_EQ(canvas_.lines[1].to.x, 728.0f);
  EXPECT_TRUE(canvas_.prints.empty());
  EXPECT_EQ(canvas_.offsetDepth, 0);
}

TEST_F(PlotTest, FieldsThatNeverRoseLieOnTheBaseline) {
  for (uint32_t frame = 0; frame < 4; ++frame) stats_.EndFrame(frame, 0.0f);
  window_.Plot(stats_);
  EXPECT_TRUE(AllFinite());
  // Axes, then 3 segments for each of the 22 fields.
  ASSERT_EQ(canvas_.lines.size(), 2u + 22u * 3u);
  for (size_t i = 2; i < canvas_.lines.size(); ++i) EXPECT_FLOAT_EQ(canvas_.lines[i].to.y, 0.0f);
  EXPECT_EQ(canvas_.Texts().front(), "0.00");
  EXPECT_EQ(canvas_.Texts().size(), 22u);
}

TEST_F(PlotTest, ValuesRiseByTheirShareOfThePeakOldestFirst) {
  stats_.Add(GFXStats::kTriangles, 10);
  stats_.EndFrame(0, 30.0f);
  stats_.Add(GFXStats::kTriangles, 5);
  stats_.EndFrame(1, 60.0f);
  window_.Plot(stats_);
  ASSERT_EQ(canvas_.lines.size(), 2u + 22u);
  const RecordingCanvas::DrawnLine& fps = canvas_.lines[2];
  EXPECT_FLOAT_EQ(fps.from.x, 0.0f);
  EXPECT_FLOAT_EQ(fps.from.y, -156.0f);
  EXPECT_FLOAT_EQ(fps.to.x, 720.0f / 9000.0f);
  EXPECT_FLOAT_EQ(fps.to.y, -312.0f);
  const RecordingCanvas::DrawnLine& triangles = canvas_.lines[3 + GFXStats::kTriangles];
  EXPECT_FLOAT_EQ(triangles.from.y, -312.0f);
  EXPECT_FLOAT_EQ(triangles.to.y, -156.0f);
  EXPECT_EQ(canvas_.prints[0].text, "60.00");
  EXPECT_EQ(canvas_.prints[0].y, -312);
  EXPECT_EQ(canvas_.prints[1 + GFXStats::kTriangles].text, "5");
}

TEST_F(PlotTest, AWrappedRingPlotsEveryRecordEndingAtTheNewest) {
  for (uint32_t frame = 0; frame < GFXStats::kCapacity + 3; ++frame) stats_.EndFrame(frame, float(frame % 100));
  window_.Plot(stats_);
  EXPECT_TRUE(AllFinite());
  ASSERT_EQ(canvas_.lines.size(), 2u + 22u * (GFXStats::kCapacity - 1));
  // The newest frame is 9002, whose rate was 2.
  EXPECT_EQ(canvas_.prints[0].text, "2.00");
  EXPECT_NEAR(canvas_.lines[2 + GFXStats::kCapacity - 2].to.x, 8999 * 720.0f / 9000.0f, 0.01f);
}

}  // namespace
