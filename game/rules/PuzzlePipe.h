#pragma once

// A disc's gem queue: the gems the player will drop, front first. A board
// may fix the sequence; near its end, or from the start on random discs,
// the queue makes gems itself from what lies on the disc.

#include <memory>

#include "game/rules/PuzzleGem.h"

class CGPuzzleDisc;

enum PipeMode : int {
  kPipeSequence = 0,   // the board's entries, in order
  kPipeGenerated = 1,  // drawn from the disc's census
  // Any other value: random colours of shape 0.
};

class CGPuzzlePipe {
 public:
  static constexpr int kRecentColours = 5;

  explicit CGPuzzlePipe(CGPuzzleDisc* owner);
  virtual ~CGPuzzlePipe() = default;
  CGPuzzlePipe(const CGPuzzlePipe&) = delete;
  CGPuzzlePipe& operator=(const CGPuzzlePipe&) = delete;

  // Fresh entries of the given number, all Empty, head at 0.
  void Init(unsigned newCapacity);
  // Head at 0; every entry Empty.
  void Clear();
  // Writes a Settled gem into the entry behind the front, then moves the
  // head on: the new gem becomes the last but one position.
  void Push(int colour, int shape);
  // Moves on after the front gem has been taken (see the modes).
  void Advance();
  // Pushes one gem drawn from the disc's census, holding back colours that
  // came up lately; pushes nothing while no gem of the disc is live.
  void Generate();
  // One draw of the recency test: a colour not among the last five
  // generated always passes; each time it is there its chance falls by a
  // quarter (five times: about 4.7 %).
  bool PassesRecencyTest(int colour) const;
  // Drops Dead entries, pulling the ones behind up a place.
  void RemoveDead();
  // Every entry has the front entry's colour (a queue left blank in a board
  // file). False for a queue without entries.
  bool IsUniform() const;
  // Marks Dead every queued gem of the colour.
  void KillColour(int colour);

  // The entry at a position counted from the front, wrapping; the queue
  // must have entries.
  CGPuzzleGem& At(unsigned position);
  const CGPuzzleGem& At(unsigned position) const;

  unsigned head = 0;
  unsigned capacity = 0;
  std::unique_ptr<CGPuzzleGem[]> entries;
  CGPuzzleDisc* disc;
  int mode = kPipeSequence;
  // The last generated colours, oldest first.
  int recentColours[kRecentColours] = {};

 private:
  void AdvanceSequence();
  int DrawColour() const;
  int DrawShape() const;
};
