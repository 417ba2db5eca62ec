#pragma once
// Root of every reference-counted library object: a flag byte and a 24-bit
// reference count in one word, and a name id. A new object holds one
// reference and the attached flag. Objects are created with the library's
// own allocation operators (dgNew/dgDelete).

#include <cstddef>
#include <cstdint>

#include "physics/memory/dgClassIds.h"
#include "physics/memory/dgMemory.h"

class dgRef {
 public:
  // Flag bit 0 of the first word.
  static constexpr uint32_t kAttachedFlag = 1u;
  // One reference in the first word (the count sits above the flag byte).
  static constexpr uint32_t kOneReference = 256u;

  dgRef() = default;
  dgRef(const dgRef&) = delete;
  dgRef& operator=(const dgRef&) = delete;
  virtual ~dgRef() = default;

  // The class id of the object's class.
  virtual uint32_t GetTypeId() const { return dgRefId; }
  // True when id is the class id of the object's class or of one of its bases.
  virtual bool IsType(uint32_t id) const { return id == dgRefId; }
  // Clears the attached flag.
  virtual void ClearAttachedFlag() { flagsAndCount_ &= ~kAttachedFlag; }
  // Sets the attached flag.
  virtual void SetAttachedFlag() { flagsAndCount_ |= kAttachedFlag; }
  // Name id = dgCRC of the name (registering it), 0 for null.
  virtual void SetName(const char* name);

  // The name id, 0 when unnamed.
  uint32_t GetNameId() const { return nameId_; }
  // The registered name, or null.
  const char* GetName() const;
  // Number of references held.
  int GetRefCount() const { return static_cast<int>(flagsAndCount_ >> 8); }
  // Flag bits 0-7.
  uint32_t GetFlagBits() const { return flagsAndCount_ & 255u; }
  bool IsAttached() const { return (flagsAndCount_ & kAttachedFlag) != 0; }
  // Adds one reference.
  void AddRef() { flagsAndCount_ += kOneReference; }
  // Drops one reference and destroys the object at 0; true when destroyed.
  bool Release();

  static void* operator new(size_t bytes) noexcept { return dgNew(bytes); }
  static void operator delete(void* block) { dgDelete(block); }
  static void* operator new(size_t, void* place) noexcept { return place; }
  static void operator delete(void*, void*) {}

 protected:
  // Ends the object's life once its last reference is gone; nodes of pooled
  // containers override it to give their memory back to their pool.
  virtual void Destroy() { delete this; }

 private:
  uint32_t flagsAndCount_ = kOneReference | kAttachedFlag;
  uint32_t nameId_ = 0;
};
