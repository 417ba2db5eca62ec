// Board files: the discs of a constellation, one per star.
#include "game/rules/BoardFile.h"

#include <memory>
#include <vector>

#include "fuzz/FuzzTarget.h"
#include "game/rules/PuzzleDisc.h"

FUZZ_TARGET(BoardFile) {
  const std::string path = fuzz::ScratchFile("fuzz.stars", data, size);
  std::vector<std::unique_ptr<CGPuzzleDisc>> discs;
  ReadBoard(path.c_str(), discs);
}
