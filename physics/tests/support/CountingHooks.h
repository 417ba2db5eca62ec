#pragma once
// Allocation hooks that count live blocks and bytes, for balance checks.

#include <cstddef>

struct HookCounts {
  long long liveBlocks = 0;
  long long liveBytes = 0;
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
