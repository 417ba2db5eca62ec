#include "game/shell/AudioLayer.h"

void AudioLayer::Reset() {
  fader.Start(0, 0.0f, 0.0f, 0.0f);
  notifyId = -1;
  count = 0;
  for (int32_t& source : sources) source = -1;
}

bool AudioLayer::Contains(int32_t source) const {
  for (uint32_t i = 0; i < count; ++i) {
    if (sources[i] == source) return true;
  }
  return false;
}

bool AudioLayer::Add(int32_t source) {
  if (source < 0 || count >= kCapacity || Contains(source)) return false;
  sources[count++] = source;
  return true;
}

void AudioLayer::RemoveAt(uint32_t index) {
  if (index >= count) return;
  --count;
  sources[index] = sources[count];
  sources[count] = -1;
}

void AudioLayer::Remove(int32_t source) {
  for (uint32_t i = 0; i < count; ++i) {
    if (sources[i] == source) {
      RemoveAt(i);
      return;
    }
  }
}
