#include "game/rules/PuzzleRing.h"

CGPuzzleRing::CGPuzzleRing(unsigned slots) : slotCount(slots), slots(new CGPuzzleGem[slots]) {}

unsigned CGPuzzleRing::SlotIndex(int column) const {
  const int n = static_cast<int>(slotCount);
  if (column > n) column %= n;
  int index = rotationOffset + column;
  if (index >= n) {
    index -= n;
  } else if (index < 0) {
    index += n;
  }
  // Callers stay within one turn of the ring; anything further is folded in
  // rather than read outside the slots.
  if (index < 0 || index >= n) index = ((index % n) + n) % n;
  return static_cast<unsigned>(index);
}

CGPuzzleGem& CGPuzzleRing::GetGem(int column) { return slots[SlotIndex(column)]; }

const CGPuzzleGem& CGPuzzleRing::GetGem(int column) const { return slots[SlotIndex(column)]; }
