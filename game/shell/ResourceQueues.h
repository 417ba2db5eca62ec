#pragma once

// The four resource managers (models, materials, textures, sounds) as the
// loading screen sees them: how much they hold, how much still waits, what
// their last load calls did, and how much one call may load. The engine's
// managers stand behind it in the game; tests stand in their own.

#include <cstdint>

// Items one load call of each manager may load; -1 for no limit.
struct LoadBudgets {
  int32_t models = -1;
  int32_t materials = -1;
  int32_t textures = -1;
  int32_t sounds = -1;
};

class ResourceQueues {
 public:
  virtual ~ResourceQueues() = default;

  // Items registered in the four managers, whenever they were loaded: the
  // models, materials and textures, and the sound buffers and streams.
  virtual int32_t Registered() const = 0;
  // Items registered and not loaded yet.
  virtual int32_t Pending() const = 0;
  // Items the four managers loaded in their last load calls.
  virtual int32_t LoadedLastCall() const = 0;
  virtual void SetBudgets(const LoadBudgets& budgets) = 0;
  // Loads the queued textures and models at once (the pictures a screen
  // shows from its first frame).
  virtual void LoadQueuedNow() = 0;
};

// The engine's managers.
ResourceQueues& EngineResourceQueues();
