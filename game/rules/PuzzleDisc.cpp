#include "game/rules/PuzzleDisc.h"

#include "game/rules/GameMessages.h"
#include "game/rules/PuzzleRing.h"

namespace {

// Slots a dropped gem may pass through when looking for where it lands.
bool IsFreeForLanding(GemState state) {
  return state == GemState::Empty || state == GemState::InFlight || state == GemState::Breaking ||
         state == GemState::Placed;
}

int Wrap(int column, int n) { return ((column % n) + n) % n; }

}  // namespace

CGPuzzleDisc::CGPuzzleDisc(unsigned rings, unsigned slots)
    : ringCount(rings),
      slotsPerRing(slots),
      groupList(static_cast<size_t>(rings) * slots),
      queue(std::make_unique<CGPuzzlePipe>(this)),
      placedList(static_cast<size_t>(rings) * slots) {
  this->rings.reserve(rings);
  for (unsigned r = 0; r < rings; ++r) this->rings.push_back(std::make_unique<CGPuzzleRing>(slots));
}

bool CGPuzzleDisc::HasSlotsIn(int ring) const {
  return ring >= 0 && static_cast<unsigned>(ring) < ringCount && slotsPerRing > 0;
}

void CGPuzzleDisc::Rotate(int step) {
  if (ringCount == 0 || slotsPerRing == 0) return;
  const int n = static_cast<int>(slotsPerRing);
  const int outermost = static_cast<int>(ringCount) - 1;
  int startColumn = dropColumn;
  for (;;) {
    dropColumn = Wrap(dropColumn + step, n);
    int ring = outermost;
    while (ring >= 0 && IsFreeForLanding(GemAt(ring, dropColumn).state)) --ring;
    if (ring < 0) {
      landingRing = 0;
      return;
    }
    if (ring < outermost) {
      landingRing = ring + 1;
      return;
    }
    // The column is full. A check (step 0) searches to the left from here.
    if (step == 0) {
      step = -1;
      startColumn = dropColumn;
    } else if (dropColumn == startColumn) {
      return;  // every column is full
    }
  }
}

bool CGPuzzleDisc::PlaceGem(int ring, int column, bool byPlayer, int colour, int shape) {
  if (!HasSlotsIn(ring) || GemAt(ring, column).state != GemState::Empty) {
    placedByPlayer = false;
    return false;
  }
  placedByPlayer = byPlayer;
  CGPuzzleGem& gem = GemAt(ring, column);
  // SetColour re-arms a White gem's countdown, also for a White gem that fell.
  gem.SetColour(colour);
  gem.state = GemState::Placed;
  gem.type = shape;
  return true;
}

void CGPuzzleDisc::ApplyGravity() {
  busy = false;
  for (unsigned r = 1; r < ringCount; ++r) {
    for (unsigned c = 0; c < slotsPerRing; ++c) {
      CGPuzzleGem& gem = GemAt(static_cast<int>(r), static_cast<int>(c));
      if (gem.state == GemState::Settled && CountEmptyInward(static_cast<int>(r), static_cast<int>(c)) > 0) {
        gem.state = GemState::Falling;
        busy = true;
      } else if (gem.state == GemState::InFlight) {
        busy = true;
      }
    }
  }
}

unsigned CGPuzzleDisc::CountGems() const {
  unsigned count = 0;
  ForEachSlot([&count](const CGPuzzleGem& gem) {
    if (gem.state != GemState::Empty) ++count;
  });
  return count;
}

bool CGPuzzleDisc::IsFull() const {
  return !AnySlot(
      [](const CGPuzzleGem& gem) { return gem.state == GemState::Empty || gem.state == GemState::Breaking; });
}

unsigned CGPuzzleDisc::CountEmptyInward(int ring, int column) const {
  unsigned count = 0;
  for (int r = 0; r < ring && static_cast<unsigned>(r) < ringCount; ++r) {
    if (GemAt(r, column).state == GemState::Empty) ++count;
  }
  return count;
}

float CGPuzzleDisc::GetFillRatio() const {
  const unsigned slots = ringCount * slotsPerRing;
  return slots == 0 ? 0.0f : static_cast<float>(CountGems()) / static_cast<float>(slots);
}

void CGPuzzleDisc::TakeCensus() {
  unsigned colourCounts[kGemColourCount] = {};
  unsigned shapeCounts[kGemTypeCount] = {};
  ForEachSlot([&](const CGPuzzleGem& gem) {
    if (!IsLiveGemState(gem.state)) return;
    if (gem.colour >= 0 && gem.colour < kGemColourCount) ++colourCounts[gem.colour];
    if (gem.type >= 0 && gem.type < kGemTypeCount) ++shapeCounts[gem.type];
  });
  // On a disc without gems every share is 0, never 0/0: a NaN share would
  // never read as gone and would fail every comparison of the queue.
  const unsigned gems = CountGems();
  auto shareOf = [gems](unsigned count) {
    return gems == 0 ? 0.0f : static_cast<float>(count) / static_cast<float>(gems);
  };
  for (int colour = 0; colour < kGemColourCount; ++colour) {
    const float share = shareOf(colourCounts[colour]);
    if (share == 0.0f && colourShares[colour] > 0.0f) {
      queue->KillColour(colour);
      int leftColour = colour;
      PostGameMessage(eMSG_GColourLeftDisc, reinterpret_cast<intptr_t>(&leftColour), 0.0);
    }
    colourShares[colour] = share;
  }
  for (int shape = 0; shape < kGemTypeCount; ++shape) shapeShares[shape] = shareOf(shapeCounts[shape]);
}

bool CGPuzzleDisc::HasLiveGem() const {
  return AnySlot([](const CGPuzzleGem& gem) { return IsLiveGemState(gem.state); });
}

bool CGPuzzleDisc::HasLiveColour(int colour) const {
  return AnySlot([colour](const CGPuzzleGem& gem) { return gem.colour == colour && IsLiveGemState(gem.state); });
}

bool CGPuzzleDisc::HasLiveType(int shape) const {
  return AnySlot([shape](const CGPuzzleGem& gem) { return gem.type == shape && IsLiveGemState(gem.state); });
}

void CGPuzzleDisc::BreakAll() {
  ForEachSlot([](CGPuzzleGem& gem) { gem.state = GemState::Breaking; });
}
