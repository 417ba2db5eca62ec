// The ring of frame records.

#include <gtest/gtest.h>

#include "engine/graphics/GFXStats.h"

namespace {

TEST(GFXStats, CountsPrimitivesIntoTheCurrentFrameAndRaisesThePeak) {
  GFXStats stats;
  stats.CountQuads(2);
  stats.CountOutlines(1);
  EXPECT_EQ(stats.GetCurrent().counters[GFXStats::kTriangles], 4u);
  EXPECT_EQ(stats.GetCurrent().counters[GFXStats::kLines], 4u);
  stats.CountTriangleList(9);
  stats.CountTriangleStrip(5);
  stats.CountTriangleStrip(1);
  EXPECT_EQ(stats.GetCurrent().counters[GFXStats::kTriangles], 4u + 3u + 3u);
  stats.EndFrame(7, 59.5f);

  // A frame that draws nothing keeps its counters at 0; the peak remembers.
  const GFXStats::Record& previous = stats.GetRecordBack(-1);
  EXPECT_EQ(previous.frame, 7u);
  EXPECT_FLOAT_EQ(previous.fps, 59.5f);
  EXPECT_EQ(stats.GetCurrent().counters[GFXStats::kTriangles], 0u);
  stats.EndFrame(8, 30.0f);
  EXPECT_EQ(stats.GetPeak().counters[GFXStats::kTriangles], 10u);
  EXPECT_FLOAT_EQ(stats.GetPeak().fps, 59.5f);
}

TEST(GFXStats, WrapsAfterNineThousandFramesZeroingTheReusedRecord) {
  GFXStats stats;
  stats.CountLines(5);  // frame 0's record, to be overwritten later
  for (uint32_t frame = 0; frame < GFXStats::kCapacity - 1; ++frame) stats.EndFrame(frame, 60.0f);
  EXPECT_FALSE(stats.HasWrapped());
  EXPECT_EQ(stats.GetRecordBack(-9000).frame, stats.GetRecord(0).frame) << "no wrap yet: clamps";
  stats.EndFrame(8999, 60.0f);
  EXPECT_TRUE(stats.HasWrapped());
  EXPECT_EQ(stats.GetCurrentIndex(), 0u);
  EXPECT_EQ(stats.GetCurrent().counters[GFXStats::kLines], 0u);
  EXPECT_EQ(stats.GetCurrent().frame, 0u);
  EXPECT_EQ(stats.GetRecordBack(-1).frame, 8999u);
  EXPECT_EQ(stats.GetRecordBack(-2).frame, 8998u);
}

TEST(GFXStats, InstanceFlagFollowsLifetime) {
  {
    GFXStats stats;
    EXPECT_TRUE(GFXStats::Exists());
  }
  EXPECT_FALSE(GFXStats::Exists());
  EXPECT_EQ(GFXStats::GetInstance(), GFXStats::GetInstance());
}

}  // namespace
