#pragma once
// The state codes shared by keyboard keys, pad buttons and pad directions,
// and the repeat timing they follow.

#include <cstdint>

// Key state codes: 0 idle, 1 went down in this poll, 2..65534 held for that
// many polls, 65535 went up in this poll.
constexpr uint16_t kKeyIdle = 0;
constexpr uint16_t kKeyWentDown = 1;
constexpr uint16_t kKeyHeldMax = 65534;
constexpr uint16_t kKeyWentUp = 65535;

constexpr float kRepeatDelaySeconds = 0.5f;
constexpr float kRepeatIntervalSeconds = 1.0f / 15.0f;

// One more poll held. A key held for about 18 minutes at 60 polls a second
// would otherwise count into 65535 and read as "went up".
inline uint16_t NextHeldState(uint16_t state) {
  return state < kKeyHeldMax ? static_cast<uint16_t>(state + 1) : kKeyHeldMax;
}

// Advances a held key's repeat clock; true when a repeat fires in this poll
// (first after the delay, then every interval).
inline bool AdvanceRepeat(float* heldSeconds, float dtSeconds, float delay, float interval) {
  *heldSeconds += dtSeconds;
  if (*heldSeconds < delay) return false;
  *heldSeconds -= interval;
  return true;
}
