#include "engine/scene/anim/Skeleton.h"

#include <new>
#include <string>
#include <vector>

#include "engine/scene/core/CountedArray.h"
#include "engine/scene/core/ResourceBytes.h"
#include "engine/scene/core/ResourceName.h"
#include "engine/scene/core/SceneLog.h"
#include "engine/scene/model/TextScanner.h"

namespace {

// "[CBONE] a" is the shortest text a bone line can start with; a count of
// bones that could not fit in the rest of the file is refused.
constexpr size_t kMinBoneLineBytes = 9;

// One bone line; fields the line does not reach keep these values.
struct BoneLine {
  std::string name = "Unknown";
  uint32_t childCount = 0;
  Vector3 position;
  Quaternion rotation;
  Vector3 scale{1.0f, 1.0f, 1.0f};
};

BoneLine ScanBoneLine(TextScanner& scan, const char* format) {
  BoneLine line;
  Quaternion& q = line.rotation;
  scan.Scan(format, &line.name, &line.childCount, &line.position.x, &line.position.y, &line.position.z, &q.x, &q.y,
            &q.z, &q.w, &line.scale.x, &line.scale.y, &line.scale.z);
  return line;
}

// The scale triple is read and not used: bones keep scale 1.
void Apply(const BoneLine& line, C3MEBone& bone) {
  bone.name = line.name.c_str();
  bone.bind.SetPosition(line.position);
  bone.bind.SetRotation(line.rotation);
}

}  // namespace

C3MEBoneRef::~C3MEBoneRef() { delete[] block; }

struct C3MEBone::ReadState {
  const char* fileName;
  uint32_t bonesMade = 0;
  bool refused = false;

  bool Refuse(const char* reason) {
    if (!refused) Log3ME("C3MEBone::ReadSkeletonText - ERROR : %s : %s", fileName, reason);
    refused = true;
    return false;
  }
  // A child count must fit in the file left and in the bone budget.
  bool Admit(uint32_t count, const TextScanner& scan) {
    if (uint64_t(count) > scan.Remaining() / kMinBoneLineBytes) return Refuse("child count exceeds the file");
    if (uint64_t(bonesMade) + count > kMaxBones) return Refuse("too many bones");
    bonesMade += count;
    return true;
  }
};

C3MEBone::C3MEBone() : name("Unknown") {}

C3MEBone::~C3MEBone() {
  ClearChildren();
  delete savedPose;
}

bool C3MEBone::Read(String fileName) {
  const std::string upper = UpperAscii(fileName.Chars());
  const std::string extension = NameExtension(upper);
  if (upper.empty()) {
    Log3ME("C3MEBone::Read - ERROR : No filename!");
    Log3ME("FAILED skeleton %s", upper.c_str());
    return false;
  }
  ClearChildren();
  if (extension != "TXT") {
    Log3ME("FAILED skeleton %s", upper.c_str());
    return false;
  }
  const bool ok = ReadSkeletonText(String(upper.c_str()));
  Log3ME(ok ? "Loaded skeleton %s" : "FAILED skeleton %s", upper.c_str());
  return ok;
}

bool C3MEBone::ReadSkeletonText(const String& fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadResourceBytes(fileName.Chars(), bytes)) return false;
  TextScanner scan(bytes);
  std::string token;
  if (scan.Scan("%s\n", &token) < 1 || token != "[BONES]") return false;

  ReadState state{fileName.Chars()};
  int32_t bonesLeft = 0;
  scan.Scan("[NBONES]%d\n", &bonesLeft);
  if (bonesLeft > 0 && uint64_t(bonesLeft) > scan.Remaining() / kMinBoneLineBytes)
    return state.Refuse("bone count exceeds the file");

  state.bonesMade = 1;
  while (bonesLeft > 0) {
    const size_t before = scan.Position();
    const BoneLine line =
        ScanBoneLine(scan, "[RBONE] %s [C] %u [P] [%f,%f,%f] [R] (quat %f %f %f %f) [S] [%f,%f,%f]\n");
    Apply(line, *this);
    --bonesLeft;
    if (line.childCount > 0) {
      // A further root line replaces the tree read so far; the bone
      // budget still counts every bone made, so repeated roots cannot
      // make a small file cost endless work.
      if (!state.Admit(line.childCount, scan)) return false;
      if (!SetChildCount(line.childCount)) return state.Refuse("out of memory");
      if (!ReadChildren(scan, bonesLeft, state, 1)) return false;
    } else if (scan.Position() == before) {
      // Nothing more can be read: further rounds would read the same nothing.
      break;
    }
  }

  token.clear();
  return scan.Scan("%s\n", &token) == 1 && token == "[END]";
}

bool C3MEBone::ReadChildren(TextScanner& scan, int32_t& bonesLeft, ReadState& state, uint32_t depth) {
  if (depth >= kMaxDepth) return state.Refuse("skeleton too deep");
  for (uint32_t i = 0; i < childCount; ++i) {
    C3MEBone& child = children[i];
    const BoneLine line =
        ScanBoneLine(scan, "[CBONE] %s [C] %u [P] [%f,%f,%f] [R] (quat %f %f %f %f) [S] [%f,%f,%f]\n");
    Apply(line, child);
    if (bonesLeft > 0) --bonesLeft;
    if (line.childCount > 0) {
      if (!state.Admit(line.childCount, scan)) return false;
      if (!child.SetChildCount(line.childCount)) return state.Refuse("out of memory");
      if (!child.ReadChildren(scan, bonesLeft, state, depth + 1)) return false;
    }
  }
  return true;
}

bool C3MEBone::SetChildCount(uint32_t n) {
  ClearChildren();
  if (!AllocateCountedArray(children, childCount, n)) return false;
  for (uint32_t i = 0; i < n; ++i) children[i].parent = this;
  return true;
}

void C3MEBone::ClearChildren() {
  delete[] children;
  children = nullptr;
  childCount = 0;
}

C3MEBone* C3MEBone::FindBone(const String& boneName) {
  if (name == boneName) return this;
  for (uint32_t i = 0; i < childCount; ++i) {
    C3MEBone* found = children[i].FindBone(boneName);
    if (found != nullptr) return found;
  }
  return nullptr;
}

uint32_t C3MEBone::CountBones() const {
  uint32_t count = 1;
  for (uint32_t i = 0; i < childCount; ++i) count += children[i].CountBones();
  return count;
}

float C3MEBone::GetLength() const { return childCount == 0 ? 0.0f : children[0].bind.GetPosition().Length(); }

void C3MEBone::ResetPoseTree() {
  bind.Update();
  pose.Copy(bind);
  pose.Update();
  for (uint32_t i = 0; i < childCount; ++i) children[i].ResetPoseTree();
}

void C3MEBone::SaveBlendPose() {
  if (savedPose == nullptr) {
    savedPose = new (std::nothrow) TransformNode;
    if (savedPose == nullptr) return;
  }
  savedPose->Copy(pose);
}
