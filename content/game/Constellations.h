#pragma once
// The default Challenge: three constellations of our own, their list and
// definition files, their silhouette and outline pictures and the material
// library that names them.

#include <array>
#include <string>
#include <vector>

#include "content/kit/DataFolder.h"

struct DesignStar {
  int x, y;  // 0 to 256 across the constellation's picture
  int parSeconds;
};

struct ConstellationDesign {
  const char* name;  // the board's file name too, drawn in glyph text
  std::vector<DesignStar> stars;
  std::vector<std::array<int, 2>> lines;  // the figure, as pairs of star numbers
};

// The Challenge in playing order.
const std::vector<ConstellationDesign>& ChallengeConstellations();

// The definition file of one constellation.
std::string ConstellationDefinition(const ConstellationDesign& design);

void WriteConstellations(DataFolder& folder);
