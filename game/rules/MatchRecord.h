#pragma once

// The disc's record of its last matched group, which the match messages
// point at.

struct MatchRecord {
  // Gems in the group.
  unsigned gemCount = 0;
  // Entries of the shape array: the largest group so far.
  unsigned capacity = 0;
  // The colour of the group's first gem (the one whose landing found it).
  int colour = 0;
  // The shape of each gem in group order. Owned by the disc, which replaces
  // it when a larger group comes; a copy of the record never frees it.
  int* shapes = nullptr;
  // Every gem has the first gem's shape.
  bool sameShape = false;
  // The group was formed by a gem the player dropped.
  bool playerDrop = false;
};
