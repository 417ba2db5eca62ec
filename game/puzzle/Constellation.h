#pragma once

// One constellation of the Challenge: a named set of stars, each star one
// disc of the constellation's board with a par time.

#include <cstdint>
#include <vector>

#include "engine/foundation/String.h"
#include "engine/foundation/Vector2.h"

struct ConstellationStar {
  // Where the star sits, as fractions 0..1 of the constellation's size.
  Vector2 position;
  float parSeconds = 0.0f;
};

class Constellation {
 public:
  virtual ~Constellation() = default;

  // Names the board file "Resources/Boards/Challenge/<name>.stars".
  String name;
  uint32_t starCount = 0;
  // Stars completed; the next star to play has this index.
  uint32_t completed = 0;
  std::vector<ConstellationStar> stars;
  // Sum of the stars' par times.
  float parTotalSeconds = 0.0f;
};
