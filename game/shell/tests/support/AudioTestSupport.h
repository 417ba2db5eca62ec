#pragma once

// What the audio layer's tests share: a scratch registry, the clock on a
// fixed step at game time 0, and the sound channel's lines cleared.

#include <string>

#include "platform/TempFolder.h"

namespace shell_test {

class AudioEnvironment {
 public:
  // Fixed game step of the clock while the environment lives.
  static constexpr float kStepSeconds = 0.1f;

  AudioEnvironment();
  ~AudioEnvironment();
  // Stores a volume level as the audio menu does ("Audio\Music", "Audio\Sound").
  static void StoreLevel(const char* name, int level);
  // Delivers the GEM messages due at that game time.
  static void DeliverAt(float seconds);

  platform::ScopedTempFolder folder{"audio"};

 private:
  std::string previousRegistry_;
};

}  // namespace shell_test
