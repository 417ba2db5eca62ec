// Shaping a random disc before play: closing the gaps of its columns,
// measuring its groups, and growing groups by recolouring single gems.

#include <algorithm>

#include "engine/foundation/Log.h"
#include "game/rules/PuzzleDisc.h"

namespace {

// A group needs two gems here, not the three a match needs.
constexpr unsigned kGroupSize = 2;

// White counts down, Black joins any colour and Gold scores extra: groups
// of those colours are never grown.
bool CanGrow(int colour) { return colour != kGemWhite && colour != kGemBlack && colour != kGemGold; }

}  // namespace

void CGPuzzleDisc::Compact() {
  for (unsigned c = 0; c < slotsPerRing; ++c) {
    const int column = static_cast<int>(c);
    for (unsigned r = 0; r < ringCount; ++r) {
      CGPuzzleGem& slot = GemAt(static_cast<int>(r), column);
      if (slot.state != GemState::Empty) continue;
      for (unsigned out = r + 1; out < ringCount; ++out) {
        CGPuzzleGem& source = GemAt(static_cast<int>(out), column);
        if (source.state != GemState::Settled) continue;
        slot = source;
        source = CGPuzzleGem();
        break;
      }
    }
  }
}

void CGPuzzleDisc::AnalyseGroups(GroupStats& stats) {
  stats.ratio = 0.0f;
  stats.smallest = UINT_MAX;
  stats.largest = 0;
  stats.gemsInGroups = 0;
  stats.groupCount = 0;
  stats.groups.clear();
  stats.groups.reserve(groupList.size());
  ClearVisited();
  for (unsigned r = 0; r < ringCount; ++r) {
    for (unsigned c = 0; c < slotsPerRing; ++c) {
      const int ring = static_cast<int>(r);
      const int column = static_cast<int>(c);
      groupCount = 0;
      FloodFill(ring, column, GemAt(ring, column).colour);
      const unsigned size = groupCount;
      if (size < kGroupSize) continue;
      stats.gemsInGroups += size;
      stats.smallest = std::min(stats.smallest, size);
      stats.largest = std::max(stats.largest, size);
      stats.groups.push_back({ring, column, size});
      ++stats.groupCount;
    }
  }
  const unsigned gems = CountGems();
  stats.ratio = gems == 0 ? 0.0f : static_cast<float>(stats.gemsInGroups) / static_cast<float>(gems);
  // An unset smallest (no group) prints as -1.
  LogDBG("Smallest Group = %d", static_cast<int>(stats.smallest));
  LogDBG("Largest Group  = %d", static_cast<int>(stats.largest));
  LogDBG("Num Groups     = %d", static_cast<int>(stats.groupCount));
  LogDBG("Gems in Groups = %d", static_cast<int>(stats.gemsInGroups));
  LogDBG("Gems in Puzzle = %d", static_cast<int>(gems));
  LogDBG("Gems Possible  = %d", static_cast<int>(ringCount * slotsPerRing));
  LogDBG("Actual Ratio   = %f", static_cast<double>(stats.ratio));
}

bool CGPuzzleDisc::GrowGroup(int colour) {
  const int rings = static_cast<int>(ringCount);
  for (unsigned i = 0; i < groupCount; ++i) {
    const DiscSlot gem = groupList[i];
    DiscSlot neighbours[4];
    int count = 0;
    if (gem.ring > 0) neighbours[count++] = {gem.ring - 1, gem.column};
    if (gem.ring < rings - 1) neighbours[count++] = {gem.ring + 1, gem.column};
    neighbours[count++] = {gem.ring, gem.column - 1};
    neighbours[count++] = {gem.ring, gem.column + 1};
    for (int k = 0; k < count; ++k) {
      CGPuzzleGem& neighbour = GemAt(neighbours[k].ring, neighbours[k].column);
      if (neighbour.state != GemState::Settled || neighbour.colour == colour || neighbour.visited ||
          neighbour.grouped) {
        continue;
      }
      neighbour.SetColour(colour);
      neighbour.grouped = true;
      return true;
    }
  }
  return false;
}

void CGPuzzleDisc::GenerateGroups(float wantedRatio, unsigned smallestLimit, unsigned largestLimit) {
  LogDBG("/=");
  LogDBG("CGPuzzleDisc::GenerateGroups : Analysis Before...");
  GroupStats stats;
  AnalyseGroups(stats);
  // Every pass recolours one gem and marks it grouped for good, so the
  // passes end once no single gem is left beside a group.
  while (stats.ratio < wantedRatio && stats.largest < largestLimit && stats.smallest < smallestLimit) {
    bool modified = false;
    for (unsigned g = 0; g < stats.groupCount && !modified; ++g) {
      LogDBG("Checking group %d / %d...", static_cast<int>(g), static_cast<int>(stats.groupCount));
      ClearVisited();
      groupCount = 0;
      const GroupStats::Group& group = stats.groups[g];
      const int colour = GemAt(group.ring, group.column).colour;
      if (!CanGrow(colour)) continue;
      FloodFill(group.ring, group.column, colour);
      LogDBG("Found %d matches.", static_cast<int>(groupCount));
      if (groupCount >= largestLimit) continue;
      modified = GrowGroup(colour);
    }
    if (!modified) break;
    LogDBG("Modified groups!");
    AnalyseGroups(stats);
  }
  LogDBG("/=");
  LogDBG("CGPuzzleDisc::GenerateGroups : Analysis After...");
  LogDBG("/=");
  AnalyseGroups(stats);
  LogDBG("/=");
  stats.groups.clear();
  stats.groups.shrink_to_fit();
}
