#include <gtest/gtest.h>

#include "engine/foundation/Clock.h"

namespace {

uint32_t fakeTickMs = 0;
uint32_t FakeTick() { return fakeTickMs; }

// A clock on the fake tick, started at 1000 ms.
class ClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_.SetTickSource(&FakeTick);
    fakeTickMs = 1000;
    clock_.Start();
  }
  // Runs one group of five frames whose last frame measures spanMs (the
  // first group after the start takes one frame more).
  void RunGroup(uint32_t spanMs) {
    for (int i = primed_ ? 1 : 0; i < 5; ++i) clock_.Update();
    primed_ = true;
    fakeTickMs += spanMs;
    clock_.Update();
  }
  bool primed_ = false;
  Clock clock_;
};

TEST_F(ClockTest, DeltasAreZeroUntilTheFirstMeasurement) {
  for (int i = 0; i < 5; ++i) {
    fakeTickMs += 10;
    clock_.Update();
    EXPECT_EQ(clock_.GetRealDelta(), 0.0f);
    EXPECT_EQ(clock_.GetGameDelta(), 0.0f);
  }
  EXPECT_EQ(clock_.GetFrameNumber(), 5u);
  clock_.Update();  // five frames since the start: measured now
  EXPECT_FLOAT_EQ(clock_.GetRealDelta(), 0.01f);
}

TEST(ClockStart, FramesTickedBeforeTheStartDoNotCount) {
  Clock clock;
  clock.SetTickSource(&FakeTick);
  for (int i = 0; i < 3; ++i) clock.Update();  // the application ticks before it starts the clock
  clock.Start();
  EXPECT_EQ(clock.GetFrameNumber(), 0u);
  for (int i = 0; i < 5; ++i) clock.Update();
  EXPECT_EQ(clock.GetRealDelta(), 0.0f);
  fakeTickMs += 50;
  clock.Update();
  EXPECT_FLOAT_EQ(clock.GetRealDelta(), 0.01f);
}

TEST_F(ClockTest, FrameDeltaIsAveragedOverFiveFramesAndClamped) {
  struct Case {
    uint32_t spanMs;
    float delta;
    float rate;
  };
  const Case cases[] = {{50, 0.01f, 100.0f}, {1000, 0.1f, 10.0f},  {0, 0.001f, 1000.0f},
                        {500, 0.1f, 10.0f},  {5, 0.001f, 1000.0f}, {100, 0.02f, 50.0f}};
  for (const Case& c : cases) {
    Clock fresh;
    fresh.SetTickSource(&FakeTick);
    fresh.Start();
    for (int i = 0; i < 5; ++i) fresh.Update();
    fakeTickMs += c.spanMs;
    fresh.Update();
    EXPECT_FLOAT_EQ(fresh.GetRealDelta(), c.delta) << c.spanMs << " ms";
    EXPECT_FLOAT_EQ(fresh.GetFrameRate(), c.rate) << c.spanMs << " ms";
  }
}

TEST_F(ClockTest, DeltaStaysConstantBetweenMeasurementsAndTimesAccumulate) {
  RunGroup(100);  // 0.02 s per frame from here on
  float realTime = clock_.GetRealTime();
  for (int i = 0; i < 4; ++i) {
    fakeTickMs += 1000;  // ignored until the next measurement
    clock_.Update();
    EXPECT_FLOAT_EQ(clock_.GetRealDelta(), 0.02f);
  }
  EXPECT_FLOAT_EQ(clock_.GetRealTime() - realTime, 4 * 0.02f);
  EXPECT_FLOAT_EQ(clock_.GetGameTime(), clock_.GetRealTime());
}

// A minute away (a minimised window) in the middle of a group of five
// frames that run 10 ms each: the group still measures 10 ms a frame and
// game time moves on by those frames only, wherever the pause falls. A
// tick that comes with nobody having resumed the clock resumes it.
TEST_F(ClockTest, TimeWhileSuspendedCountsInNoFrame) {
  for (const int framesBefore : {0, 2, 4}) {
    SCOPED_TRACE(testing::Message() << framesBefore << " frames of the group before");
    Clock clock;
    clock.SetTickSource(&FakeTick);
    clock.Start();
    for (int i = 0; i < 5; ++i) clock.Update();
    fakeTickMs += 50;
    clock.Update();  // measured: 0.01 s a frame
    const float gameTime = clock.GetGameTime();
    for (int i = 0; i < framesBefore; ++i) {
      fakeTickMs += 10;
      clock.Update();
    }
    clock.Suspend();
    EXPECT_TRUE(clock.IsSuspended());
    fakeTickMs += 60000;
    clock.Suspend();  // a second call changes nothing
    clock.Resume();
    EXPECT_FALSE(clock.IsSuspended());
    for (int i = framesBefore; i < 5; ++i) {
      fakeTickMs += 10;
      clock.Update();
      EXPECT_FLOAT_EQ(clock.GetRealDelta(), 0.01f);
    }
    EXPECT_NEAR(clock.GetGameTime() - gameTime, 5 * 0.01f, 1e-5f);

    clock.Suspend();
    fakeTickMs += 60000;
    clock.Update();
    EXPECT_FALSE(clock.IsSuspended());
    for (int i = 0; i < 5; ++i) {
      fakeTickMs += 10;
      clock.Update();
    }
    EXPECT_LT(clock.GetRealDelta(), 0.02f) << "the minute is not in the measurement";
  }
}

TEST_F(ClockTest, GameDeltaFollowsScalePauseAndFixedStep) {
  RunGroup(100);  // frame delta 0.02
  clock_.SetTimeScale(0.5f);
  RunGroup(100);
  EXPECT_FLOAT_EQ(clock_.GetGameDelta(), 0.01f);
  EXPECT_FLOAT_EQ(clock_.GetScaledDelta(), 0.01f);

  float gameTime = clock_.GetGameTime();
  float realTime = clock_.GetRealTime();
  clock_.SetPaused(true);
  EXPECT_EQ(clock_.GetGameDelta(), 0.0f);
  clock_.Update();
  EXPECT_EQ(clock_.GetGameTime(), gameTime);  // stopped from this frame on
  EXPECT_GT(clock_.GetRealTime(), realTime);
  clock_.SetPaused(false);

  clock_.SetFixedStep(0.05f);
  EXPECT_FLOAT_EQ(clock_.GetGameDelta(), 0.05f);
  clock_.SetTimeScale(3.0f);
  EXPECT_FLOAT_EQ(clock_.GetGameDelta(), 0.05f);
  clock_.SetFixedStep(0.0f);
  EXPECT_FALSE(clock_.UsesFixedStep());
  EXPECT_FLOAT_EQ(clock_.GetGameDelta(), 0.01f);  // scale applies at the next measurement

  clock_.SetTimeScale(-1.0f);
  EXPECT_EQ(clock_.GetTimeScale(), 0.0f);
  clock_.SetTimeScale(0.2f);
  clock_.AdjustScale(-0.5f);
  EXPECT_EQ(clock_.GetTimeScale(), 0.0f);
  clock_.AdjustScale(0.25f);
  EXPECT_FLOAT_EQ(clock_.GetTimeScale(), 0.25f);
}

TEST_F(ClockTest, BlinkFlipsEveryFrameWhileEnabled) {
  clock_.ToggleBlinkEnable();
  clock_.Update();
  EXPECT_TRUE(clock_.GetBlink());
  clock_.Update();
  EXPECT_FALSE(clock_.GetBlink());
  clock_.ToggleBlink();
  EXPECT_TRUE(clock_.GetBlink());
  EXPECT_FALSE(clock_.IsBlinkEnabled());
  clock_.Update();
  EXPECT_TRUE(clock_.GetBlink());
}

TEST(ClockInstance, GameDeltaIsPublishedForTheProgramClock) {
  Clock& clock = Clock::Instance();
  clock.SetTickSource(&FakeTick);
  clock.Start();
  for (int i = 0; i < 5; ++i) clock.Update();
  fakeTickMs += 50;
  clock.Update();
  EXPECT_FLOAT_EQ(gGameDelta, 0.01f);
  clock.SetTickSource(nullptr);
}

TEST(TimeTexts, FormatAndParts) {
  EXPECT_STREQ(FormatTimeMMSS(125.7f), "02:05");
  EXPECT_STREQ(FormatTimeHHMMSS(3725.0f), "01:02:05");
  EXPECT_STREQ(FormatTimeMMSS(3725.0f), "62:05");
  EXPECT_STREQ(FormatTimeMMSS(0.0f), "00:00");
  EXPECT_EQ(TimeSecondsPart(125.7f), 5);
  EXPECT_EQ(TimeMinutesPart(125.7f), 2);
  EXPECT_EQ(TimeHoursPart(7300.0f), 2);
}

TEST(PerformanceCounter, FrequencyIsCachedAndCounterAdvances) {
  float frequency = Clock::PerformanceFrequency();
  EXPECT_GT(frequency, 0.0f);
  EXPECT_EQ(Clock::PerformanceFrequency(), frequency);
  uint32_t first = 0;
  uint32_t second = 0;
  Clock::ReadTSC(first);
  Clock::ReadTSC(second);
  EXPECT_NE(first, second);
}

}  // namespace
