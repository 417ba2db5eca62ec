#pragma once
#include <cstdint>

#include "engine/foundation/String.h"
#include "engine/foundation/Vector3.h"

class C3MEKeyFrames;

// One entry of a sequence: a key-frame set (held by the animation manager)
// and when and how long the fade into it runs.
struct CANMEntry {
  C3MEKeyFrames* set = nullptr;
  float blendStart = 0.0f;          // sequence time from which the fade into this entry may start
  float blendDuration = 0.0f;       // seconds
  float backwardBlendStart = 0.0f;  // backward playback's fade start; the file has none, so 0
};

// An ordered list of key-frame sets played one after the other at the
// clock's frame time, fading from each into the next, optionally looping,
// and keeping the root bone's offset each time an entry ends. The sets must
// be loaded, bound to a skeleton and given a rate by the caller.
class CANMSequence {
 public:
  static constexpr int32_t kMaxEntries = 4096;

  CANMSequence() = default;
  virtual ~CANMSequence();
  CANMSequence(const CANMSequence&) = delete;
  CANMSequence& operator=(const CANMSequence&) = delete;

  // Loads a sequence; only ".TXT" files have a reader. Logs "[ANM] Loaded
  // sequence %s" or "[ANM] FAILED sequence %s".
  bool Read(String fileName);
  // The text reader behind Read; every entry's set is requested from the manager.
  bool ReadText(const String& fileName);
  // Replaces the entries by n empty ones; current 0. False when the heap refuses.
  bool SetEntryCount(uint32_t n);
  // Frees the entries; count and current 0.
  void ClearEntries();
  // The entry at an index, null past the end.
  CANMEntry* GetEntry(uint32_t index) const;
  // The set of the current entry (null without entries).
  C3MEKeyFrames* GetCurrentSet() const;
  // Back to the start (forward) or to the end (reverse) and resets that entry's set.
  void Rewind(bool reverse);
  // Plays one frame while playing: backward for a negative speed, else forward.
  void Update(float speed);
  // A plain player without fades or root offsets.
  void PlaySimple();

  CANMEntry* entries = nullptr;  // owned array of entryCount entries
  uint32_t entryCount = 0;
  uint32_t current = 0;
  bool loop = false;
  float time = 0.0f;
  float totalLength = 0.0f;  // where backward playback starts; Rewind(true) sums the entries' durations
  bool playing = false;      // cleared when a non-looping sequence has played its last entry
  String name;
  Vector3 rootOffset;
  bool blend = true;

 private:
  void PlayForward(float speed);
  void PlayBackward(float speed);
  // Keeps the set's root offset, masked by its axes.
  void TakeRootOffset(const C3MEKeyFrames& set);
  // Stops a sequence that does not loop on its ended set, whose pose and root offset hold.
  void EndSequence(const C3MEKeyFrames& set);
  // Takes the ended set's root offset and starts it afresh.
  void FinishEntry(C3MEKeyFrames& set);
  // Wraps a looping sequence back to its first entry, reset to its start.
  void RestartFromFirst();
};
