#pragma once
#include <cstdint>

#include "engine/foundation/PooledList.h"
#include "engine/foundation/String.h"

class C3MEKeyFrames;

// The single store of key-frame sets: one set per animation file name
// (extension and path-separator style ignored), created on the first request
// and loaded, with every other set still unloaded, in one resource pass.
class CANMManager {
 public:
  // The single manager, built on first use and destroyed at process exit.
  static CANMManager& Instance();

  CANMManager();
  virtual ~CANMManager();
  CANMManager(const CANMManager&) = delete;
  CANMManager& operator=(const CANMManager&) = delete;

  // Records a folder animations may live in; logs "[ANM] New search path = [%s]".
  void AddSearchPath(const String& path);
  // The set for a name, created (unloaded) when new; null for an empty name.
  C3MEKeyFrames* Request(String animationName);
  // The newest set whose name matches, ignoring a four-character extension; null when none.
  C3MEKeyFrames* Find(const String& animationName) const;
  // Creates, stores and names a new set (null when the heap refuses).
  C3MEKeyFrames* Create(const String& animationName);
  // Deletes a set the manager holds (nothing for null or a stranger).
  void Release(C3MEKeyFrames* set);
  // Reads every set that has never been loaded; sets that failed stay failed.
  // Returns how many read successfully in this pass.
  uint32_t LoadResources();
  // Requests every name of a list file ("[ANM]", a count, one name a line);
  // false when the header is wrong or the list ends before the count.
  bool LoadList(const String& fileName);
  // Writes the names of all sets in the list format LoadList reads.
  bool SaveList(const String& fileName) const;

  // Number of sets held.
  uint32_t Count() const { return animations_.Count(); }
  // The set at a place in creation order; null outside the list.
  C3MEKeyFrames* At(uint32_t index) const;
  // Number of search paths recorded.
  uint32_t SearchPathCount() const { return searchPaths_.Count(); }

 private:
  PooledList animations_;   // owned C3MEKeyFrames, in creation order
  PooledList searchPaths_;  // owned String
};
