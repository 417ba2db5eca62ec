// Matching on the disc: the flood fill, the match test with its record and
// messages, the rainbow run and the per-frame step.

#include <algorithm>

#include "engine/foundation/Log.h"
#include "game/rules/GameMessages.h"
#include "game/rules/PuzzleDisc.h"

namespace {

// A group needs this many gems to break.
constexpr unsigned kMatchSize = 3;

}  // namespace

void CGPuzzleDisc::ClearVisited() {
  ForEachSlot([](CGPuzzleGem& gem) { gem.visited = false; });
}

void CGPuzzleDisc::AddToGroup(int ring, int column) {
  CGPuzzleGem& gem = GemAt(ring, column);
  // The raw pair is compared: one gem may be reached as column -1 and as
  // column n - 1, and its visited flag is what keeps it from counting twice.
  const auto end = groupList.begin() + groupCount;
  const bool listed =
      std::any_of(groupList.begin(), end, [&](const DiscSlot& s) { return s.ring == ring && s.column == column; });
  gem.visited = true;
  if (listed || groupCount >= groupList.size()) return;
  if (groupCount > 0) {
    GemAt(groupList[0].ring, groupList[0].column).grouped = true;
    gem.grouped = true;
  }
  groupList[groupCount++] = {ring, column};
}

void CGPuzzleDisc::FloodFill(int ring, int column, int colour) {
  if (slotsPerRing == 0) return;
  const int n = static_cast<int>(slotsPerRing);
  const int rings = static_cast<int>(ringCount);
  // Depth first with a stack of its own rather than recursion, so a large
  // board cannot exhaust the call stack. Neighbours are pushed in reverse
  // and tested when popped, which visits gems in the order the recursive
  // fill would: out, left, right, in. That order is the match record's shape
  // order and decides which gem the group generator recolours.
  std::vector<DiscSlot> pending{{ring, column}};
  while (!pending.empty()) {
    DiscSlot slot = pending.back();
    pending.pop_back();
    if (slot.ring < 0 || slot.ring >= rings) continue;
    // Brought into range once only: the list may keep columns from -n + 1.
    if (slot.column <= -n) {
      slot.column += n;
    } else if (slot.column >= n) {
      slot.column -= n;
    }
    const CGPuzzleGem& gem = GemAt(slot.ring, slot.column);
    if (gem.visited || (gem.colour != colour && gem.colour != kGemBlack) || gem.state != GemState::Settled) continue;
    AddToGroup(slot.ring, slot.column);
    if (slot.ring > 0) pending.push_back({slot.ring - 1, slot.column});
    pending.push_back({slot.ring, slot.column + 1});
    pending.push_back({slot.ring, slot.column - 1});
    if (slot.ring + 1 < rings) pending.push_back({slot.ring + 1, slot.column});
  }
}

unsigned CGPuzzleDisc::CheckMatch(int ring, int column) {
  if (busy || !HasSlotsIn(ring)) return 0;
  ClearVisited();
  groupCount = 0;
  const int colour = GemAt(ring, column).colour;
  FloodFill(ring, column, colour);
  const unsigned gemCount = groupCount;
  if (gemCount < kMatchSize) return 0;
  LogDBG("Matched Group of %d - %s", gemCount, GemColourName(colour));

  const int firstShape = GemAt(groupList[0].ring, groupList[0].column).type;
  bool sameShape = true;
  for (unsigned i = 0; i < gemCount; ++i) {
    CGPuzzleGem& gem = GemAt(groupList[i].ring, groupList[i].column);
    if (gem.state == GemState::Settled) gem.state = GemState::Breaking;
    if (gem.type != firstShape) sameShape = false;
  }
  RecordMatch(gemCount, sameShape);
  if (matchRecord.colour == rainbowGem.colour) AdvanceRainbow(sameShape);
  matchRecord.playerDrop = placedByPlayer;
  PostGameMessage(sameShape ? eMSG_GMatchedSame : eMSG_GMatchedMixed, reinterpret_cast<intptr_t>(&matchRecord), 0.0);
  return gemCount;
}

void CGPuzzleDisc::RecordMatch(unsigned gemCount, bool sameShape) {
  matchRecord.gemCount = gemCount;
  if (gemCount > matchRecord.capacity) {
    matchShapes_.reset(new int[gemCount]);
    matchRecord.shapes = matchShapes_.get();
    matchRecord.capacity = gemCount;
    LogGEM("Peak clearance gems = %d", gemCount);
  }
  matchRecord.colour = GemAt(groupList[0].ring, groupList[0].column).colour;
  for (unsigned i = 0; i < gemCount; ++i) matchRecord.shapes[i] = GemAt(groupList[i].ring, groupList[i].column).type;
  matchRecord.sameShape = sameShape;
}

void CGPuzzleDisc::AdvanceRainbow(bool sameShape) {
  if (matchRecord.colour == kGemRed) {
    // The shape of the starting Red group sets the rainbow's points.
    rainbowGem.type = GemAt(groupList[0].ring, groupList[0].column).type;
    rainbowGem.state = GemState::Settled;
  }
  if (!sameShape) {
    rainbowGem = CGPuzzleGem();
    return;
  }
  // Reaching White (7) starts a countdown like any whitening; the gem is
  // reset right after, but the draw belongs to the game's random sequence.
  rainbowGem.SetColour(rainbowGem.colour + 1);
  PostGameMessage(eMSG_GRainbowUpdate, 0, 0.0);
  if (rainbowGem.colour == kGemWhite) {
    PostGameMessage(eMSG_GMatchedRainbow, 0, 0.0);
    rainbowGem = CGPuzzleGem();
  }
}

void CGPuzzleDisc::WhitenNeighbour(int ring, int column) {
  CGPuzzleGem& gem = GemAt(ring, column);
  if (gem.state == GemState::Settled) gem.SetColour(kGemWhite);
}

void CGPuzzleDisc::UpdateSettledGems(float dtSeconds) {
  for (unsigned r = 0; r < ringCount; ++r) {
    for (unsigned c = 0; c < slotsPerRing; ++c) {
      const int ring = static_cast<int>(r);
      const int column = static_cast<int>(c);
      CGPuzzleGem& gem = GemAt(ring, column);
      if (gem.state != GemState::Settled) continue;
      gem.Update(dtSeconds);
      if (gem.colour == kGemWhite && gem.state == GemState::Expired) {
        gem.state = GemState::Breaking;
        WhitenNeighbour(ring, column - 1);
        WhitenNeighbour(ring, column + 1);
      }
    }
  }
}

void CGPuzzleDisc::ProcessMatches(float dtSeconds) {
  Rotate(0);
  UpdateSettledGems(dtSeconds);
  ApplyGravity();
  if (!busy) {
    std::fill(placedList.begin(), placedList.end(), DiscSlot{-1, -1});
    unsigned placed = 0;
    for (unsigned r = 0; r < ringCount; ++r) {
      for (unsigned c = 0; c < slotsPerRing; ++c) {
        CGPuzzleGem& gem = GemAt(static_cast<int>(r), static_cast<int>(c));
        if (gem.state != GemState::Placed) continue;
        gem.state = GemState::Settled;
        placedList[placed++] = {static_cast<int>(r), static_cast<int>(c)};
      }
    }
    // A gem an earlier test broke is no longer Settled and starts nothing.
    for (unsigned i = 0; i < placed; ++i) CheckMatch(placedList[i].ring, placedList[i].column);
  }
  if (CountGems() == 0) PostGameMessage(eMSG_GDiscClear, 0, 0.0);
  queue->RemoveDead();
  TakeCensus();
}
