#include <gtest/gtest.h>

#include <cmath>

#include "engine/foundation/AnimChannel.h"
#include "engine/foundation/ValueFader.h"
#include "engine/foundation/ValueStepper.h"

TEST(AnimChannel, CurveValuesTable) {
  const float positions[4] = {0.0f, 0.25f, 0.5f, 1.0f};
  const struct {
    int curve;
    float values[4];
  } curves[] = {
      {AnimChannel::kLinear, {0, 0.25f, 0.5f, 1}},
      {AnimChannel::kRiseFast, {0, 0.4f, 2.0f / 3, 1}},
      {AnimChannel::kFallFast, {1, 0.6f, 1.0f / 3, 0}},
      {AnimChannel::kPulse, {0, 0.5f, 1, 0}},
      {AnimChannel::kStep, {0, 0, 0, 1}},
      {AnimChannel::kSmoothRise, {0, 0.1464466f, 0.5f, 1}},
      {AnimChannel::kSmoothFall, {1, 0.8535534f, 0.5f, 0}},
  };
  for (const auto& c : curves) {
    for (int i = 0; i < 4; ++i) {
      AnimChannel channel;
      channel.Set(c.curve, false, 10.0f, 14.0f, 2.0f);
      EXPECT_NEAR(channel.Update(positions[i] * 2.0f), 10.0f + 4.0f * c.values[i], 1e-5f)
          << "curve " << c.curve << " at " << positions[i];
    }
  }
}

TEST(AnimChannel, EndHoldsOrWraps) {
  AnimChannel channel;
  channel.Set(AnimChannel::kLinear, false, 0.0f, 10.0f, 2.0f);
  EXPECT_FLOAT_EQ(channel.Update(0.5f), 2.5f);
  EXPECT_FALSE(channel.Finished());
  EXPECT_FLOAT_EQ(channel.Update(5.0f), 10.0f);
  EXPECT_FLOAT_EQ(channel.Update(1.0f), 10.0f);
  EXPECT_TRUE(channel.Finished());
  channel.Reset();
  EXPECT_EQ(channel.output, 0.0f);
  EXPECT_FALSE(channel.Finished());

  AnimChannel looping;
  looping.Set(AnimChannel::kLinear, true, 0.0f, 10.0f, 2.0f);
  looping.Update(1.5f);
  EXPECT_FLOAT_EQ(looping.Update(1.0f), 0.0f);  // past the end: back to the start
  EXPECT_FALSE(looping.Finished());

  // The pulse loops even when made without the loop flag.
  AnimChannel pulse;
  pulse.Set(AnimChannel::kPulse, false, 0.0f, 360.0f, 5.0f);
  pulse.Update(1.0f);
  EXPECT_TRUE(pulse.loop);
  pulse.Update(4.5f);
  EXPECT_EQ(pulse.t, 0.0f);
}

TEST(AnimChannel, ZeroDurationFinishesOnTheFirstUpdate) {
  for (float dt : {0.0f, 0.016f}) {
    AnimChannel channel;
    channel.Set(AnimChannel::kSmoothRise, false, 2.0f, 6.0f, 0.0f);
    const float output = channel.Update(dt);
    EXPECT_FALSE(std::isnan(output));
    EXPECT_FLOAT_EQ(output, 6.0f);
    EXPECT_TRUE(channel.Finished()) << dt;
  }
}

TEST(ValueStepper, StepTable) {
  struct Case {
    int mode;
    float minimum, maximum, value, amount;
    float expected;
    bool moved, reversed;
  };
  const Case cases[] = {
      {ValueStepper::kWrap, 0, 360, 350, 20, 0, true, false},  // to the opposite limit, not 10
      {ValueStepper::kWrap, 0, 360, 10, -20, 360, true, false},
      {ValueStepper::kWrap, 0, 360, 10, 20, 30, true, false},
      {ValueStepper::kClamp, 0, 1, 1, 0.5f, 1, false, false},  // held at the limit: nothing moved
      {ValueStepper::kClamp, 0, 1, 0.2f, -0.5f, 0, true, false},
      {ValueStepper::kBounce, 0, 1, 0.9f, 0.2f, 1, true, true},
      {0, 0, 1, 0.9f, 0.2f, 1.1f, true, false},  // no limits
  };
  for (const Case& c : cases) {
    ValueStepper stepper;
    stepper.Set(c.mode, c.minimum, c.maximum, c.value, 0);
    EXPECT_FLOAT_EQ(stepper.Step(c.amount), c.expected) << c.mode << " " << c.value << " " << c.amount;
    EXPECT_EQ(stepper.Moved(), c.moved) << c.mode << " " << c.value;
    EXPECT_EQ(stepper.reversed, c.reversed);
  }
}

TEST(ValueStepper, BounceTravelsBackAndLimitsReportHits) {
  ValueStepper stepper;
  stepper.Set(ValueStepper::kBounce, 0, 1, 0.9f, 0);
  stepper.Step(0.2f);
  EXPECT_TRUE(stepper.AtMaximum());
  EXPECT_FLOAT_EQ(stepper.Step(0.2f), 0.8f);
  stepper.value = 0.1f;
  stepper.Step(0.2f);
  EXPECT_TRUE(stepper.AtMinimum());
  EXPECT_FALSE(stepper.reversed);
  EXPECT_FLOAT_EQ(stepper.Step(0.2f), 0.2f);

  stepper.Set(ValueStepper::kBounce, 0, 1, 0.95f, 0.1f);
  stepper.Advance();
  EXPECT_EQ(stepper.value, 1.0f);
  EXPECT_FLOAT_EQ(stepper.rate, -0.1f);
  stepper.Advance();
  EXPECT_FLOAT_EQ(stepper.value, 0.9f);

  stepper.Set(ValueStepper::kWrap, 0, 360, 370, 0);
  EXPECT_TRUE(stepper.ApplyLimits());
  EXPECT_EQ(stepper.value, 0.0f);
  EXPECT_FALSE(stepper.ApplyLimits());
  stepper.Set(0, 0, 360, 370, 0);
  EXPECT_FALSE(stepper.ApplyLimits());
  EXPECT_EQ(stepper.value, 370.0f);

  stepper.Set(ValueStepper::kClamp, 10, 20, 0, 0);
  stepper.SetFraction(0.5f);
  EXPECT_EQ(stepper.value, 15.0f);
  stepper.ToMinimum();
  EXPECT_EQ(stepper.value, 10.0f);
}

TEST(ValueStepper, StepAtRateMovesByTheTimeAndKeepsThePerSecondRate) {
  ValueStepper stepper;
  stepper.Set(ValueStepper::kBounce, 0, 1, 0.5f, 2.0f);
  stepper.StepAtRate(0.1f);
  EXPECT_FLOAT_EQ(stepper.value, 0.7f);
  EXPECT_EQ(stepper.rate, 2.0f);
  // Past the limit it bounces; the rate stays what it was, the way back is
  // the reversed flag's.
  stepper.StepAtRate(0.25f);
  EXPECT_TRUE(stepper.AtMaximum());
  EXPECT_EQ(stepper.rate, 2.0f);
  stepper.StepAtRate(0.1f);
  EXPECT_FLOAT_EQ(stepper.value, 0.8f);
  EXPECT_EQ(stepper.rate, 2.0f);
}

namespace {

// Updates with a fixed step until the fader reports arrival; returns the
// time taken, or -1 when it never arrives.
float TimeToArrive(ValueFader& fader, float dt, bool* monotonic = nullptr) {
  float previous = fader.current;
  for (int i = 1; i <= 1000; ++i) {
    const bool arrived = fader.Update(dt);
    if (monotonic != nullptr && std::fabs(fader.current - fader.start) < std::fabs(previous - fader.start))
      *monotonic = false;
    previous = fader.current;
    if (arrived) return i * dt;
  }
  return -1.0f;
}

}  // namespace

TEST(ValueFader, LinearFade) {
  ValueFader fader;
  ASSERT_TRUE(fader.Start(ValueFader::kLinear, 0, 1, 2));
  const float expected[] = {0.25f, 0.5f, 0.75f, 1.0f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(fader.Update(0.5f), i == 3);
    EXPECT_FLOAT_EQ(fader.current, expected[i]);
  }
  EXPECT_TRUE(fader.Finished());
  EXPECT_FALSE(fader.Update(0.5f));  // already there
  EXPECT_EQ(fader.timeLeft, 0.0f);

  // Steps shorter than 1 ms count as 10 ms.
  ASSERT_TRUE(fader.Start(ValueFader::kLinear, 0, 1, 1));
  fader.Update(0.0f);
  EXPECT_FLOAT_EQ(fader.current, 0.01f);
  fader.Update(0.0009f);
  EXPECT_FLOAT_EQ(fader.current, 0.02f);
  fader.Update(0.001f);
  EXPECT_FLOAT_EQ(fader.current, 0.021f);

  ASSERT_TRUE(fader.Start(ValueFader::kLinear, 5, 1, 1));  // falling
  EXPECT_FLOAT_EQ(TimeToArrive(fader, 0.25f), 1.0f);
  EXPECT_EQ(fader.current, 1.0f);
}

TEST(ValueFader, StartEdgeCases) {
  ValueFader fader;
  EXPECT_TRUE(fader.Start(ValueFader::kLinear, 3, 5, 0));  // zero duration holds the start
  EXPECT_FALSE(fader.Update(0.5f));
  EXPECT_EQ(fader.current, 3.0f);

  fader.Start(ValueFader::kLinear, 0, 1, 1);
  fader.Update(0.5f);
  EXPECT_FALSE(fader.Start(ValueFader::kAccelerate, 7, 9, -1));  // only the flags change
  EXPECT_EQ(fader.flags, ValueFader::kAccelerate);
  EXPECT_EQ(fader.start, 0.0f);
  EXPECT_FLOAT_EQ(fader.current, 0.5f);

  fader.Start(0, 0, 1, 1);  // no motion flags: nothing moves
  EXPECT_FALSE(fader.Update(0.5f));
  EXPECT_EQ(fader.current, 0.0f);

  fader.Start(ValueFader::kLinear, 4, 2, 1);
  fader.SetCurrent(9);
  EXPECT_EQ(fader.current, 4.0f);
  fader.SetCurrent(-9);
  EXPECT_EQ(fader.current, 2.0f);
  EXPECT_TRUE(fader.Finished());
}

TEST(ValueFader, AcceleratedFadesArriveAtSevenTenthsOfTheDuration) {
  for (uint8_t flags : {ValueFader::kAccelerate, ValueFader::kAccelerateToo}) {
    for (float target : {1.0f, -1.0f}) {
      ValueFader fader;
      fader.Start(flags, 0, target, 1);
      bool monotonic = true;
      const float time = TimeToArrive(fader, 0.01f, &monotonic);
      EXPECT_NEAR(time, 0.71f, 0.02f) << int(flags) << " to " << target;
      EXPECT_TRUE(monotonic);
      EXPECT_EQ(fader.current, target);
    }
  }
}

TEST(ValueFader, SCurveEasesInAndOut) {
  for (float target : {1.0f, -1.0f}) {
    ValueFader fader;
    fader.Start(ValueFader::kSCurve, 0, target, 1);
    for (int i = 0; i < 50; ++i) fader.Update(0.01f);
    EXPECT_NEAR(fader.current, target / 2, 0.02f);  // half-way at half-time
    bool monotonic = true;
    const float rest = TimeToArrive(fader, 0.01f, &monotonic);
    EXPECT_NEAR(0.5f + rest, 1.0f, 0.03f) << target;
    EXPECT_TRUE(monotonic);
    EXPECT_EQ(fader.current, target);
  }
}

TEST(ValueFader, PingPongAndRepeat) {
  ValueFader pingPong;
  pingPong.Start(ValueFader::kPingPong, 0, 1, 1);
  EXPECT_EQ(TimeToArrive(pingPong, 0.01f), -1.0f);  // never reports arrival
  int turns = 0;
  float previousTarget = pingPong.target;
  for (int i = 0; i < 500; ++i) {
    pingPong.Update(0.01f);
    if (pingPong.target != previousTarget) ++turns;
    previousTarget = pingPong.target;
    ASSERT_GE(pingPong.current, 0.0f);
    ASSERT_LE(pingPong.current, 1.0f);
  }
  EXPECT_GE(turns, 4);

  ValueFader repeat;
  repeat.Start(ValueFader::kLinear | ValueFader::kRepeat, 0, 1, 1);
  EXPECT_FLOAT_EQ(TimeToArrive(repeat, 0.5f), 1.0f);
  EXPECT_FALSE(repeat.Update(0.5f));  // restarts from the start
  EXPECT_EQ(repeat.current, 0.0f);
  EXPECT_FLOAT_EQ(repeat.timeLeft, 1.0f);
}
