#pragma once
#include <cstdint>

class CMATMaterial;
class File;

// One list of 16-bit vertex indices drawn with one material. Valid indices
// come first; 0xFFFF marks a free slot.
class C3MEIndexList {
 public:
  static constexpr uint16_t kFreeSlot = 0xFFFF;
  // Editing and counting treat indices at or above this value as free.
  static constexpr uint16_t kFirstInvalid = 0x8000;

  enum PrimitiveKind : int32_t { kTriangleList = 0, kTriangleStrip = 1, kTriangleFan = 2 };

  C3MEIndexList() = default;
  C3MEIndexList(const C3MEIndexList&) = delete;
  C3MEIndexList& operator=(const C3MEIndexList&) = delete;
  virtual ~C3MEIndexList();

  // Frees the indices; count and capacity become 0.
  virtual void Clear();
  // Makes room for n indices (only while nothing is counted and n exceeds
  // the capacity); new slots hold 0xFFFF. False when the heap refused.
  virtual bool Reserve(uint32_t n);

  // Triangles this list draws for its primitive kind.
  uint32_t TriangleCount() const;
  // Copies count, indices, material index, material and kind from another list.
  bool Assign(const C3MEIndexList& other);
  // Stores a value in the first free slot before the count; values >= 0x8000 are ignored.
  void Add(uint16_t value);
  // Frees every slot holding the value, then moves used slots to the front in order.
  void Remove(uint16_t value);
  // Removes the index at n, shifting the rest down.
  void RemoveAt(uint32_t n);
  // Indices below 0x8000 among the counted slots.
  uint32_t CountValid() const;

  // Writes the list record: kind, material index, 32-bit index count, then
  // the counted indices as 16-bit values. False when the file refused bytes.
  bool Write(File& file) const;
  // Replaces the list by a record from the file (material pointer cleared).
  // A short record or a count the file cannot hold is logged and refused,
  // leaving the list empty.
  bool Read(File& file);

  uint16_t GetCount() const { return indexCount; }
  uint32_t GetCapacity() const { return capacity; }
  uint16_t GetIndex(uint32_t n) const { return indices[n]; }
  void SetIndex(uint32_t n, uint16_t value) { indices[n] = value; }
  void SetCount(uint16_t n) { indexCount = n; }
  uint16_t PostIncrementCount() { return indexCount++; }

  // Compared with 2 by the renderer when it picks one display list per mesh or per list.
  int32_t groupValue = 0;
  // Display list compiled by the renderer; negative when none.
  int32_t displayList = -1;
  uint16_t indexCount = 0;
  uint16_t* indices = nullptr;
  int32_t materialIndex = -1;
  CMATMaterial* material = nullptr;
  int32_t primitiveKind = kTriangleList;
  uint32_t capacity = 0;
};
