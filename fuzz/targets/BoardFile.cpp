// Board files: the discs of a constellation, one per star.
#include "game/puzzle/BoardFile.h"

#include <memory>
#include <vector>

#include "fuzz/FuzzTarget.h"
#include "game/puzzle/PuzzleDisc.h"

FUZZ_TARGET(BoardFile) {
  const std::string path = fuzz::ScratchFile("fuzz.stars", data, size);
  std::vector<std::unique_ptr<CGPuzzleDisc>> discs;
  ReadBoard(path.c_str(), discs);
}
