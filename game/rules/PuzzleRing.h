#pragma once

// One ring of a puzzle disc: a fixed number of gem slots around the centre.

#include <memory>

#include "game/rules/PuzzleGem.h"

class CGPuzzleRing {
 public:
  explicit CGPuzzleRing(unsigned slots);
  virtual ~CGPuzzleRing() = default;
  CGPuzzleRing(const CGPuzzleRing&) = delete;
  CGPuzzleRing& operator=(const CGPuzzleRing&) = delete;

  // The slot of a column. Columns -1 and slotCount name the last and the
  // first slot, so callers may step one column past either end.
  CGPuzzleGem& GetGem(int column);
  const CGPuzzleGem& GetGem(int column) const;

  unsigned slotCount;
  // Added to every column when a slot is looked up; no operation turns it.
  int rotationOffset = 0;
  std::unique_ptr<CGPuzzleGem[]> slots;

 private:
  unsigned SlotIndex(int column) const;
};
