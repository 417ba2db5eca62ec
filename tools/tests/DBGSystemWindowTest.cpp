#include "tools/DBGSystemWindow.h"

#include <gtest/gtest.h>

TEST(DBGSystemWindow, SetUpCoversTheScreenAndMakesThePerformanceWindowOnce) {
  DBGSystemWindow window;
  EXPECT_EQ(window.GetPerformanceWindow(), nullptr);
  window.SetDefaultFrame(3);
  PerformanceWindow* performance = window.GetPerformanceWindow();
  ASSERT_NE(performance, nullptr);
  EXPECT_EQ(performance->name, "Vyre Performance");
  EXPECT_FLOAT_EQ(window.GetLayer(), 90.0f);
  EXPECT_FLOAT_EQ(window.outer.Width(), 800.0f);
  window.SetDefaultFrame(3);
  EXPECT_EQ(window.GetPerformanceWindow(), performance);
  performance->SetTiming(42, 59.5f);
  EXPECT_EQ(performance->GetFrameNumber(), 42u);
  EXPECT_FLOAT_EQ(performance->GetFramesPerSecond(), 59.5f);
}
