#pragma once

// A small Challenge in the working folder: a constellation list, the
// definitions it names and a board per constellation.

#include <string>
#include <vector>

namespace puzzle_test {

struct TestConstellation {
  std::string name;
  // Par times in seconds, one per star.
  std::vector<int> parSeconds;
  // The list names a definition that is not there (a record without stars).
  bool missingDefinition = false;
  // Discs written to its board: -1 one per star, else that many.
  int boardDiscs = -1;
  // No board file at all, or one the reader refuses.
  bool missingBoard = false;
  bool garbageBoard = false;
};

// Writes "Resources/Boards/Challenge/Constellations.txt", the definitions
// and the boards (3 rings of 8 slots, a blank queue, one Red gem in the
// centre ring so no disc is ever empty).
void WriteChallenge(const std::vector<TestConstellation>& constellations);

}  // namespace puzzle_test
