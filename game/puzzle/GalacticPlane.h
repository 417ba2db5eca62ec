#pragma once

// The Challenge's set of constellations, and the galactic backdrop they are
// drawn over.

#include <cstdint>
#include <vector>

#include "game/puzzle/Constellation.h"

class GalacticPlane {
 public:
  virtual ~GalacticPlane() = default;

  uint32_t constellationCount = 0;
  std::vector<Constellation> constellations;
  // The constellation in play; -1 when none.
  int32_t current = -1;
};
