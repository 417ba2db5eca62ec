#pragma once

// The list of every Base object, in order of construction, which the frame
// steps once per frame.

#include <cstdint>
#include <vector>

class Base;

class CFSMRegistry {
 public:
  // The registry, built on first use.
  static CFSMRegistry* Get();
  // The registry when it exists and has not been destroyed yet, else null.
  static CFSMRegistry* Existing();

  CFSMRegistry();
  CFSMRegistry(const CFSMRegistry&) = delete;
  CFSMRegistry& operator=(const CFSMRegistry&) = delete;
  virtual ~CFSMRegistry();

  // Appends an object.
  void Add(Base* object);
  // One step of every object whose stepping flag is set, in list order.
  // Objects may create or destroy objects (themselves included) meanwhile:
  // created ones are stepped in the same walk, destroyed ones are skipped.
  void UpdateAll();
  // The first object with this object id; null for a negative id or none.
  Base* Find(int32_t objectId) const;
  // Removes every entry with this object id; nothing for a negative id.
  void Remove(int32_t objectId);
  // Removes every entry holding this object.
  void RemoveObject(const Base* object);

  // Registered objects in order (an entry may be null while a walk runs).
  uint32_t GetCount() const { return static_cast<uint32_t>(objects_.size()); }
  Base* GetAt(uint32_t index) const { return index < objects_.size() ? objects_[index] : nullptr; }

 private:
  template <class Match>
  void RemoveWhere(Match match);
  void Compact();

  std::vector<Base*> objects_;
  int walks_ = 0;
  bool hasGaps_ = false;
};
