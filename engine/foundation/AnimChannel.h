#pragma once

#include <cstdint>

// A value that moves from start by range along one of seven curves over a
// duration; its owner advances it with the frame's time step.
class AnimChannel {
 public:
  enum Curve : int32_t {
    kLinear = 0,      // t
    kRiseFast = 1,    // 2 - 2/(t+1): quick, then slow, 0 to 1
    kFallFast = 2,    // 2/(t+1) - 1: 1 to 0
    kPulse = 3,       // 0 -> 1 -> 0, always loops
    kStep = 4,        // 1 past the half, else 0
    kSmoothRise = 5,  // (sin(pi t - pi/2) + 1)/2
    kSmoothFall = 6,  // (sin(pi t + pi/2) + 1)/2
  };

  int32_t curve = 0;
  bool loop = false;
  float t = 0.0f;  // position, 0 to 1
  float start = 0.0f;
  float range = 0.0f;
  float duration = 0.0f;  // seconds
  float output = 0.0f;

  AnimChannel() = default;
  virtual ~AnimChannel() = default;
  AnimChannel(const AnimChannel&) = default;
  AnimChannel& operator=(const AnimChannel&) = default;

  // range = end - start, back to the beginning.
  void Set(int32_t inCurve, bool inLoop, float inStart, float end, float inDuration);
  // t = 0, output = start.
  void Reset();
  // Not looping and t has reached exactly 1.
  bool Finished() const { return !loop && t == 1.0f; }
  // Advances t by dtSeconds / duration and returns the new output. A
  // duration of 0 (or less) finishes on the first update.
  float Update(float dtSeconds);
};
