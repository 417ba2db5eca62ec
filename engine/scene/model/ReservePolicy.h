#pragma once
#include <cstdint>

// Growth hints a model hands to its arrays while its reserve policy is on.
// The policy is process-wide: the last model (or mesh) that reserves sets it.
struct C3MEReservePolicy {
  enum Hint {
    kVertices = 0,
    kUnused = 1,
    kListsPerLevel = 2,
    kMeshes = 3,
    kMaterials = 4,
    kInstances = 5,
    kIndicesPerList = 6,
    kHintCount = 7
  };
  bool on = false;
  uint32_t hints[kHintCount] = {};

  // The capacity to allocate for a request of n under this policy.
  uint32_t CapacityFor(uint32_t n, Hint hint) const {
    if (!on) return n;
    return n > hints[hint] ? 2 * n : hints[hint];
  }
};

// The policy meshes and index lists consult when they reserve.
C3MEReservePolicy& CurrentReservePolicy();
