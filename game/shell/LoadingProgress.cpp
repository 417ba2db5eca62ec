#include "game/shell/LoadingProgress.h"

#include <algorithm>

void LoadingProgress::Reset() {
  loaded = 0;
  total = 0;
  done = 0;
}

void LoadingProgress::Step(int32_t registered, int32_t pending, int32_t loadedLastCall) {
  total = static_cast<uint32_t>(std::max(registered, 0));
  const int64_t left = static_cast<int64_t>(total) - std::max(pending, 0);
  done = static_cast<uint32_t>(std::clamp<int64_t>(left, 0, total));
  if (loaded >= done) return;
  const uint32_t step = static_cast<uint32_t>(std::max(loadedLastCall, 1));
  loaded = std::min(loaded + step, done);
}

int32_t LoadingProgress::Gems() const {
  if (total == 0) return 0;
  const uint64_t gems = static_cast<uint64_t>(std::min(loaded, total)) * kRingGems / total;
  return static_cast<int32_t>(gems);
}
