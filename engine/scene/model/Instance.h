#pragma once
#include <cstdint>

#include "engine/foundation/Matrix4.h"
#include "engine/foundation/String.h"
#include "engine/scene/core/TransformPair.h"

class C3MEMesh;
class File;

// One placed part of a model: draws the mesh its component id names and
// links to child instances of the same model.
class C3MEInstance {
 public:
  C3MEInstance();
  C3MEInstance(const C3MEInstance&) = delete;
  C3MEInstance& operator=(const C3MEInstance&) = delete;
  virtual ~C3MEInstance();

  // Copies name, component id, mesh, transforms, parent and the valid child ids
  // (child pointers are left for the model to resolve).
  void Assign(const C3MEInstance& other);
  // Replaces the child slots by n free ones. False when the heap refused.
  bool ReserveChildren(uint32_t n);
  // Frees the child slots.
  void ClearChildren();
  // Stores a child id in the first free slot; negative ids and full lists are ignored.
  void AddChild(int32_t id);
  // Frees every slot holding the id, then moves used slots to the front in order.
  void RemoveChild(int32_t id);
  // Slots holding an id of 0 or more.
  uint32_t CountChildren() const;
  // Writes the instance record (name, ids, transform-pair record, child ids).
  void Write(File& file) const;
  // Reads the instance record. False when the file is not open or a count is bad.
  bool Read(File& file);

  String name;
  int32_t componentId = -1;
  C3MEMesh* mesh = nullptr;
  C3METransformPair transforms;
  C3MEInstance* parent = nullptr;
  uint32_t childCount = 0;
  int32_t* childIds = nullptr;
  C3MEInstance** children = nullptr;
  int32_t tag = -1;
  // Model-space matrix (parents' placements applied), filled when the model is prepared.
  Matrix4 world;
};
