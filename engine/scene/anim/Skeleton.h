#pragma once
#include <cstdint>

#include "engine/foundation/String.h"
#include "engine/scene/core/TransformPair.h"

class TextScanner;

// A record carried by every bone for data attached to it from outside;
// nothing in the engine fills it yet.
class C3MEBoneRef {
 public:
  C3MEBoneRef() : name("Unknown") {}
  virtual ~C3MEBoneRef();
  C3MEBoneRef(const C3MEBoneRef&) = delete;
  C3MEBoneRef& operator=(const C3MEBoneRef&) = delete;

  uint32_t count = 0;
  uint8_t* block = nullptr;  // owned
  String name;
  uint32_t value = 0;
};

// One bone of a skeleton: a bind transform (rest placement relative to the
// parent, from the skeleton file) and a pose transform (written by the
// key-frame player). The root is owned by whoever loads the skeleton; every
// other bone lives in its parent's child array.
class C3MEBone : public C3METransformPair {
 public:
  // Files deeper or larger than this are refused: no skeleton comes near
  // them, and they bound the recursion and the memory a hostile file costs.
  static constexpr uint32_t kMaxDepth = 256;
  static constexpr uint32_t kMaxBones = 4096;

  C3MEBone();
  ~C3MEBone() override;
  C3MEBone(const C3MEBone&) = delete;
  C3MEBone& operator=(const C3MEBone&) = delete;

  // Loads a skeleton into this bone, which becomes the root; only ".TXT"
  // files have a reader. Logs "Loaded skeleton %s" or "FAILED skeleton %s".
  bool Read(String fileName);
  // The text reader behind Read; true when the header and "[END]" matched.
  bool ReadSkeletonText(const String& fileName);
  // Replaces the children by n default bones whose parent is this bone;
  // false (and no children) when the heap refuses.
  bool SetChildCount(uint32_t n);
  // Destroys the children; child count 0.
  void ClearChildren();
  // Depth-first, pre-order search by exact name; null when absent.
  C3MEBone* FindBone(const String& boneName);
  // Bones in this subtree, this one included.
  uint32_t CountBones() const;
  // Distance to the first child (its bind position's length); 0 for a leaf.
  float GetLength() const;
  // For every bone below and including this one: update the bind transform,
  // copy it into the pose and update the pose.
  void ResetPoseTree();
  // Keeps the current pose as the outgoing pose of a cross-fade.
  void SaveBlendPose();

  String name;
  C3MEBone* parent = nullptr;
  uint32_t childCount = 0;
  C3MEBone* children = nullptr;  // owned array of childCount bones
  C3MEBoneRef reference;
  TransformNode* savedPose = nullptr;  // owned; null until the first blend

 private:
  struct ReadState;
  bool ReadChildren(TextScanner& scan, int32_t& bonesLeft, ReadState& state, uint32_t depth);
};
