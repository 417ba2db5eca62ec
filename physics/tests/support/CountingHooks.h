#pragma once
// Allocation hooks that count live blocks and bytes, for balance checks.

#include <gtest/gtest.h>

#include <cstddef>

struct HookCounts {
  long long liveBlocks = 0;
  long long liveBytes = 0;
  long long peakBytes = 0;  // the most liveBytes has been; tests may lower it to start a new peak
  long long mallocCalls = 0;
  long long freeCalls = 0;
};

// The counts so far.
HookCounts& GetHookCounts();
// Installs the counting hooks (they allocate from the C heap).
void InstallCountingHooks();
// Puts the default hooks back.
void RestoreDefaultHooks();

// Installs the counting hooks for one scope.
class ScopedCountingHooks {
 public:
  ScopedCountingHooks() { InstallCountingHooks(); }
  ~ScopedCountingHooks() { RestoreDefaultHooks(); }
};

// Runs cycle once so that the library's shared pools and free lists fill,
// then a few more times, expecting the hooks' live blocks and bytes to stay put.
template <class Cycle>
void ExpectCyclesGrowNoHook(Cycle cycle) {
  cycle();
  const long long blocks = GetHookCounts().liveBlocks;
  const long long bytes = GetHookCounts().liveBytes;
  for (int i = 0; i < 3; ++i) {
    cycle();
    EXPECT_EQ(GetHookCounts().liveBlocks, blocks);
    EXPECT_EQ(GetHookCounts().liveBytes, bytes);
  }
}
