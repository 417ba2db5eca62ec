#pragma once

// The playing field: concentric rings of gem slots, ring 0 innermost, with
// the same number of slots in every ring so the slots also form columns.
// Gems pile up from the centre outward and fall inward into empty slots; the
// player turns the disc to choose the drop column. The disc owns its gem
// queue, tracks the rainbow and reports matches to the game.

#include <memory>
#include <vector>

#include "game/rules/GroupStats.h"
#include "game/rules/MatchRecord.h"
#include "game/rules/PuzzleGem.h"
#include "game/rules/PuzzlePipe.h"
#include "game/rules/PuzzleRing.h"

// A slot of the disc by ring and column.
struct DiscSlot {
  int ring;
  int column;
};

class CGPuzzleDisc {
 public:
  // Every slot Empty, an empty queue (no entries, sequence mode), locked.
  CGPuzzleDisc(unsigned rings, unsigned slots);
  virtual ~CGPuzzleDisc() = default;
  CGPuzzleDisc(const CGPuzzleDisc&) = delete;
  CGPuzzleDisc& operator=(const CGPuzzleDisc&) = delete;

  // The slot at a ring (0 to ringCount - 1) and a column (-1 to slotsPerRing).
  CGPuzzleGem& GemAt(int ring, int column) { return rings[ring]->GetGem(column); }
  const CGPuzzleGem& GemAt(int ring, int column) const { return rings[ring]->GetGem(column); }

  // Moves the drop column by step (+1, -1, or 0 to check it), skipping full
  // columns, and sets the landing ring. A full column checked with step 0
  // gives way to the nearest one on its left with room; with every column
  // full, column and landing ring stay as they were.
  void Rotate(int step);
  // Lands a gem (Placed) in an Empty slot. False, and the player flag
  // cleared, when the slot is taken or outside the disc.
  bool PlaceGem(int ring, int column, bool byPlayer, int colour, int shape);
  // Marks Falling every Settled gem with room below it (ring 0 cannot fall)
  // and sets busy while any gem falls or flies.
  void ApplyGravity();
  // Slots that are not Empty (breaking gems included).
  unsigned CountGems() const;
  // Empty slots of the column inward of the ring.
  unsigned CountEmptyInward(int ring, int column) const;
  // No slot is Empty or Breaking (a breaking gem's slot is about to free).
  bool IsFull() const;
  // CountGems over the number of slots.
  float GetFillRatio() const;
  // Recomputes the colour and shape shares of live gems. A colour that has
  // just left the disc turns Dead in the queue and is reported to the game.
  void TakeCensus();
  // Some slot holds a live gem (of the colour, of the shape).
  bool HasLiveGem() const;
  bool HasLiveColour(int colour) const;
  bool HasLiveType(int shape) const;
  // Marks every slot Breaking, empty ones included (the star's explosion).
  void BreakAll();
  // A copy of the last match; its shape array still belongs to the disc.
  MatchRecord GetMatchRecord() const { return matchRecord; }
  CGPuzzleGem GetRainbowGem() const { return rainbowGem; }

  // Matching (the per-frame step and its parts).

  // The frame's step: keep the drop column valid, count White gems down,
  // let gems fall and, when nothing moves, test every newly landed gem.
  void ProcessMatches(float dtSeconds);
  // Tests the gem at the slot; the size of the group it matched, or 0.
  unsigned CheckMatch(int ring, int column);
  // Gathers into the group list every Settled gem reachable from the slot
  // that has the colour or is Black.
  void FloodFill(int ring, int column, int colour);
  // Appends the slot to the group list (once) and marks it visited.
  void AddToGroup(int ring, int column);

  // Group generation for random discs.

  // Packs the Settled gems of every column against the centre, in order.
  void Compact();
  // Fills the stats with the disc's groups of two or more, and logs them.
  void AnalyseGroups(GroupStats& stats);
  // Recolours single gems beside groups, one per pass, until the wanted
  // share of gems lies in groups or a group reaches one of the limits.
  void GenerateGroups(float wantedRatio, unsigned smallestLimit, unsigned largestLimit);

  unsigned ringCount;
  unsigned slotsPerRing;
  std::vector<std::unique_ptr<CGPuzzleRing>> rings;
  // The flood fill's working list; the first groupCount entries are valid.
  std::vector<DiscSlot> groupList;
  unsigned groupCount = 0;
  // Where a gem dropped into the drop column lands.
  int landingRing = 0;
  int dropColumn = 0;
  // Shares of the gems at the last census, by colour and by shape.
  float colourShares[kGemColourCount] = {};
  float shapeShares[kGemTypeCount] = {};
  // No input turns the disc or drops a gem while set.
  bool locked = true;
  // The flag of the last PlaceGem (false when it failed).
  bool placedByPlayer = false;
  std::unique_ptr<CGPuzzlePipe> queue;
  // Its colour is the next one a rainbow needs; its shape was set by the
  // Red group that started the run.
  CGPuzzleGem rainbowGem;
  MatchRecord matchRecord;
  // Some gem falls or flies; matching waits.
  bool busy = false;
  // The gems that settled in this step, tested in order.
  std::vector<DiscSlot> placedList;

 private:
  bool HasSlotsIn(int ring) const;
  void ClearVisited();
  void UpdateSettledGems(float dtSeconds);
  void WhitenNeighbour(int ring, int column);
  void RecordMatch(unsigned gemCount, bool sameShape);
  void AdvanceRainbow(bool sameShape);
  bool GrowGroup(int colour);

  // Calls visit with every slot, ring by ring from the centre.
  template <class Visit>
  void ForEachSlot(Visit visit) {
    for (const auto& ring : rings) {
      for (unsigned c = 0; c < slotsPerRing; ++c) visit(ring->slots[c]);
    }
  }
  template <class Visit>
  void ForEachSlot(Visit visit) const {
    for (const auto& ring : rings) {
      for (unsigned c = 0; c < slotsPerRing; ++c) visit(static_cast<const CGPuzzleGem&>(ring->slots[c]));
    }
  }
  template <class Test>
  bool AnySlot(Test test) const {
    for (const auto& ring : rings) {
      for (unsigned c = 0; c < slotsPerRing; ++c) {
        if (test(static_cast<const CGPuzzleGem&>(ring->slots[c]))) return true;
      }
    }
    return false;
  }

  std::unique_ptr<int[]> matchShapes_;
};
