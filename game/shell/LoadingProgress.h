#pragma once

// The loading screen's count of what it has loaded. The managers' totals
// include whatever was loaded before the screen, and their last-call counts
// may say nothing for a frame, so the count moves toward what is done (the
// total less what still waits) by those counts but at least one a frame,
// never past it: it always reaches the total, and never divides by zero.

#include <cstdint>

class LoadingProgress {
 public:
  // The most gems the ring shows.
  static constexpr int32_t kRingGems = 24;

  // Starts counting from nothing.
  void Reset();
  // One frame: the managers' registered and pending items and what their
  // last calls loaded.
  void Step(int32_t registered, int32_t pending, int32_t loadedLastCall);
  // True once the count has reached the total (at once for a total of 0).
  bool Finished() const { return loaded >= total; }
  // Gems the ring shows: none for a total of 0, never more than 24.
  int32_t Gems() const;

  uint32_t loaded = 0;
  uint32_t total = 0;
  // What the managers have done: the total less what still waits.
  uint32_t done = 0;
};
