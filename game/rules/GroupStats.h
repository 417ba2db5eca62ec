#pragma once

// Figures of the groups of a disc, for the group generator and the log.

#include <climits>
#include <vector>

struct GroupStats {
  // One group: where the flood fill found its first gem, and its size.
  struct Group {
    int ring;
    int column;
    unsigned size;
  };

  // Gems in groups / gems on the disc.
  float ratio = 0.0f;
  // The largest unsigned value until a group is found.
  unsigned smallest = UINT_MAX;
  unsigned largest = 0;
  unsigned gemsInGroups = 0;
  unsigned groupCount = 0;
  // In the order found.
  std::vector<Group> groups;
};
