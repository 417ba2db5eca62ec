#pragma once

#include <cstdint>

// A value faded from a start to a target over a time, linearly, with
// acceleration, or along an s-curve; its owner advances it with the frame's
// time step.
class ValueFader {
 public:
  static constexpr uint8_t kLinear = 0x01;
  static constexpr uint8_t kAccelerate = 0x02;
  static constexpr uint8_t kAccelerateToo = 0x04;  // same motion as kAccelerate
  static constexpr uint8_t kSCurve = kAccelerate | kAccelerateToo;
  static constexpr uint8_t kPingPong = 0x08;  // s-curve that reverses at each end
  static constexpr uint8_t kRepeat = 0x80;    // restart from the start when finished

  uint8_t flags = 0;
  float start = 0.0f;
  float current = 0.0f;
  float target = 0.0f;
  float timeLeft = 0.0f;      // seconds
  float duration = 0.0f;      // seconds
  float rate = 0.0f;          // units per second
  float acceleration = 0.0f;  // units per second squared

  ValueFader() = default;
  virtual ~ValueFader() = default;
  ValueFader(const ValueFader&) = default;
  ValueFader& operator=(const ValueFader&) = default;

  // Starts a fade; false (only the flags stored) when the duration is
  // negative. A duration of 0 holds the start value.
  bool Start(uint8_t inFlags, float inStart, float inTarget, float inDuration);
  // Start again with the stored flags, start, target and duration.
  bool Restart() { return Start(flags, start, target, duration); }
  // Sets the current value, kept between start and target.
  void SetCurrent(float value);
  // The current value has reached the target, seen from the start.
  bool Finished() const;
  // One step; true when this step reached the target. Steps below 0.001 s
  // count as 0.01 s.
  bool Update(float dtSeconds);
  // Keeps current between start and target and time left at 0 or more.
  void Clamp();

  uint8_t GetFlags() const { return flags; }
  float GetStart() const { return start; }
  float GetCurrent() const { return current; }
  float GetTarget() const { return target; }
  float GetTimeLeft() const { return timeLeft; }
  float GetDuration() const { return duration; }
  float GetRate() const { return rate; }

 private:
  void SCurveStep(float dtSeconds);
};
