#pragma once

// One volume layer of the game's audio: a group of sound sources whose gain
// follows one fader. The sources are a compact list: the first `count`
// entries are valid source indices, every entry after them is -1, so the
// count can never disagree with the entries or wrap below zero.

#include <cstdint>

#include "engine/foundation/ValueFader.h"

struct AudioLayer {
  static constexpr int kCapacity = 24;
  // Plays and stings stop here; the one entry above is kept for the
  // Novalith loop, which joins layer 0 whatever else plays.
  static constexpr int kPlayLimit = 23;

  // The layer's volume, 0.0 to 1.0.
  ValueFader fader;
  // Receiver told when a fade-out ends; -1 none.
  int32_t notifyId = -1;
  uint32_t count = 0;
  int32_t sources[kCapacity] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

  // Empties the list and sets the volume to 0 with no fade and no one to tell.
  void Reset();
  // True when the source is listed.
  bool Contains(int32_t source) const;
  // Lists a valid source that is not listed yet; false when it is invalid,
  // already listed or the list is full.
  bool Add(int32_t source);
  // Removes the entry at the index: the last entry moves into its place.
  void RemoveAt(uint32_t index);
  // Removes the source when it is listed.
  void Remove(int32_t source);
  // True while plays and stings may add a source.
  bool HasRoomToPlay() const { return count < kPlayLimit; }
};
