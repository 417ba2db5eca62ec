#include "engine/scene/anim/KeyFrames.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/scene/anim/Skeleton.h"
#include "engine/scene/core/CountedArray.h"
#include "engine/scene/core/ResourceBytes.h"
#include "engine/scene/core/ResourceName.h"
#include "engine/scene/core/SceneLog.h"
#include "engine/scene/model/TextScanner.h"

namespace {

// The shortest texts a frame line ("[FRAME]0") and a key line ("[BONE] a")
// can be; counts that could not fit in the rest of the file are refused.
constexpr size_t kMinFrameLineBytes = 8;
constexpr size_t kMinKeyLineBytes = 8;
// Keys of all frames together; bounds the memory a hostile file costs.
constexpr uint64_t kMaxTotalKeys = 1u << 18;
// How far a cross-fade may follow its target's own cross-fade: sets that
// fade into each other in a ring must not recurse without end.
constexpr uint32_t kMaxBlendChain = 8;

bool Refuse(const String& fileName, const char* reason) {
  Log3ME("C3MEKeyFrames::ReadKeysText - ERROR : %s : %s", fileName.Chars(), reason);
  return false;
}

}  // namespace

bool C3MEFrame::SetKeyCount(uint32_t n) {
  delete[] keys;
  keys = nullptr;
  keyCount = 0;
  return AllocateCountedArray(keys, keyCount, n);
}

C3MEKeyFrames::C3MEKeyFrames() : blendTarget(this) {}

C3MEKeyFrames::~C3MEKeyFrames() { ClearFrames(); }

bool C3MEKeyFrames::Read(String fileName) {
  name = fileName;
  const std::string upper = UpperAscii(fileName.Chars());
  const std::string extension = NameExtension(upper);
  if (upper.empty()) {
    Log3ME("C3MEKeyFrames::Read - ERROR : No filename!");
    Log3ME("FAILED animation %s", upper.c_str());
    loadState = kLoadFailed;
    return false;
  }
  ClearFrames();
  const bool ok = extension == "TXT" && ReadKeysText(String(upper.c_str()));
  Log3ME(ok ? "Loaded animation %s" : "FAILED animation %s", upper.c_str());
  loadState = ok ? kLoaded : kLoadFailed;
  return ok;
}

bool C3MEKeyFrames::ReadKeysText(const String& fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadResourceBytes(fileName.Chars(), bytes)) return false;
  TextScanner scan(bytes);
  std::string token;
  if (scan.Scan("%s\n", &token) < 1 || token != "[KEYS]") return false;

  int32_t count = 0;
  scan.Scan("[NFRAMES]%df\n", &count);
  if (count < 0 || count > kMaxFrames || uint64_t(count) > scan.Remaining() / kMinFrameLineBytes)
    return Refuse(fileName, "bad frame count");
  if (!SetFrameCount(uint32_t(count))) return Refuse(fileName, "out of memory");
  lastFrame = 0;

  uint64_t totalKeys = 0;
  for (int32_t f = 0; f < count; ++f) {
    int32_t index = -1, keys = 0;
    float stamp = 0.0f;  // frame times follow from the rate alone
    scan.Scan("[FRAME]%d [@]%ff [KEYS]%d\n", &index, &stamp, &keys);
    if (index < 0 || index >= count) return Refuse(fileName, "frame index out of range");
    if (keys < 0 || keys > kMaxKeys || uint64_t(keys) > scan.Remaining() / kMinKeyLineBytes)
      return Refuse(fileName, "bad key count");
    totalKeys += uint64_t(keys);
    if (totalKeys > kMaxTotalKeys) return Refuse(fileName, "too many keys");
    C3MEFrame& frame = frames[index];
    if (!frame.SetKeyCount(uint32_t(keys))) return Refuse(fileName, "out of memory");
    lastFrame = std::max(lastFrame, uint32_t(index));
    for (C3MEBoneKey* key = frame.keys; key != frame.keys + frame.keyCount; ++key) {
      std::string boneName = "Unknown";
      Vector3 position, scale;
      Quaternion q;
      scan.Scan("[BONE] %s [P] [%f,%f,%f] [R] (quat %f %f %f %f) [S] [%f,%f,%f]\n", &boneName, &position.x, &position.y,
                &position.z, &q.x, &q.y, &q.z, &q.w, &scale.x, &scale.y, &scale.z);
      key->boneName = boneName.c_str();
      key->transform.SetPosition(position);
      key->transform.SetRotation(q);
    }
  }
  // Playback pairs the keys of two frames by their place in the arrays, so
  // every frame it can reach must list as many keys as the first.
  for (uint32_t f = 1; f <= lastFrame && count > 0; ++f)
    if (frames[f].keyCount != frames[0].keyCount) return Refuse(fileName, "frames hold different key counts");

  token.clear();
  return scan.Scan("%s\n", &token) == 1 && token == "[END]";
}

void C3MEKeyFrames::ClearFrames() {
  delete[] frames;
  frames = nullptr;
  frameCount = 0;
  selectedFrame = -1;
}

bool C3MEKeyFrames::SetFrameCount(uint32_t n) {
  ClearFrames();
  return AllocateCountedArray(frames, frameCount, n);
}

void C3MEKeyFrames::BindSkeleton(C3MEBone* skeletonRoot) {
  root = skeletonRoot;
  for (uint32_t f = 0; f < frameCount; ++f) {
    C3MEFrame& frame = frames[f];
    for (uint32_t k = 0; k < frame.keyCount; ++k)
      frame.keys[k].bone = root != nullptr ? root->FindBone(frame.keys[k].boneName) : nullptr;
  }
}

void C3MEKeyFrames::SetRate(float framesPerSecond, bool looping) {
  rate = framesPerSecond;
  loop = looping;
  // A single frame, or no rate, is a still pose: it lasts no time and its
  // one frame is shown whatever the time.
  if (rate > 0.0f && lastFrame > 0) {
    duration = float(lastFrame) / rate;
    frameTime = duration / float(lastFrame);
  } else {
    duration = 0.0f;
    frameTime = 0.0f;
  }
}

void C3MEKeyFrames::SetTime(float seconds) {
  if (seconds < 0.0f) seconds = 0.0f;
  if (seconds > duration) return;
  time = seconds;
  if (frameTime <= 0.0f) {
    frameA = frameB = 0;
    weightA = 1.0f;
    return;
  }
  frameA = std::min(uint32_t(seconds / frameTime), lastFrame);
  frameB = frameA + 1;
  if (frameB > lastFrame) frameB = loop ? 0 : frameA;
  weightA = (frameTime - (seconds - float(frameA) * frameTime)) / frameTime;
}

void C3MEKeyFrames::Advance(float dtSeconds, float speed) { AdvanceChain(dtSeconds, speed, 0); }

void C3MEKeyFrames::AdvanceChain(float dtSeconds, float speed, uint32_t depth) {
  float next = time + dtSeconds * speed;
  if (next > duration) next = loop ? 0.0f : duration;
  if (next < 0.0f) next = loop ? duration : 0.0f;
  SetTime(next);
  EvaluateFrames();
  if (!blending) return;
  // A fade of no length ends at once instead of dividing by zero.
  blendProgress = blendDuration > 0.0f ? blendProgress + dtSeconds / blendDuration : 2.0f;
  if (blendProgress > 1.0f) blending = false;
  if (blendTarget != nullptr && blendTarget != this && depth < kMaxBlendChain)
    blendTarget->AdvanceChain(dtSeconds, 1.0f, depth + 1);
  BlendPoses();
}

void C3MEKeyFrames::EvaluateFrames() {
  if (frameA >= frameCount || frameB >= frameCount) return;
  const C3MEFrame& a = frames[frameA];
  const C3MEFrame& b = frames[frameB];
  const uint32_t keys = std::min(a.keyCount, b.keyCount);
  for (uint32_t i = 0; i < keys; ++i) {
    const TransformNode& fromA = a.keys[i].transform;
    TransformNode result = b.keys[i].transform;
    result.centre =
        Vector3::Add(result.centre, Vector3::Scale(Vector3::Subtract(result.centre, fromA.centre), -weightA));
    result.rotation.Slerp(fromA.rotation, weightA);
    C3MEBone* bone = a.keys[i].bone;
    if (bone == nullptr) continue;
    bone->pose.Copy(result);
    bone->pose.Update();
    if (mirror) {
      // Mirror in X: the identity with -1 first, on the left, negates row 0.
      float* m = bone->pose.local.m;
      m[0] = -m[0];
      m[4] = -m[4];
      m[8] = -m[8];
      m[12] = -m[12];
    }
    if (blending) bone->SaveBlendPose();
  }
  if (root != nullptr) {
    root->pose.Position().MultiplyComponentsInPlace(axisMask);
    root->pose.Update();
  }
}

void C3MEKeyFrames::StartBlend(C3MEKeyFrames* target, float durationSeconds) {
  const bool matches = target != nullptr && target != this && frameCount > 0 && target->frameCount > 0 &&
                       target->frames[0].keyCount == frames[0].keyCount;
  if (!matches) {
    blending = false;
    return;
  }
  blendTarget = target;
  target->time = 0.0f;
  blendDuration = std::min(durationSeconds, duration - time);
  blendProgress = 0.0f;
  blending = true;
}

void C3MEKeyFrames::BlendPoses() {
  if (frameCount == 0) return;
  // The last step of a fade carries the progress past 1; the mix stops at
  // the incoming pose instead of overshooting it.
  const float weight = std::min(blendProgress, 1.0f);
  const C3MEFrame& first = frames[0];
  for (uint32_t i = 0; i < first.keyCount; ++i) {
    C3MEBone* bone = first.keys[i].bone;
    if (bone == nullptr || bone->savedPose == nullptr) continue;
    const TransformNode& saved = *bone->savedPose;
    if (bone == root) {
      // The incoming clip continues from where the outgoing root stood.
      bone->pose.Translate(saved.centre);
      bone->pose.rotation.AddNormalised(saved.rotation);
    }
    TransformNode result = saved;
    result.centre =
        Vector3::Add(saved.centre, Vector3::Scale(Vector3::Subtract(bone->pose.centre, saved.centre), weight));
    result.rotation = saved.rotation;
    result.rotation.Slerp(bone->pose.rotation, weight);
    bone->pose.Copy(result);
    bone->pose.Update();
  }
}

bool C3MEKeyFrames::IsStopped() const {
  if (loop) return false;
  return time >= duration || time <= 0.0f;
}

void C3MEKeyFrames::Reset() {
  blending = false;
  blendProgress = 0.0f;
  blendDuration = 0.0f;
  selectedFrame = 0;
  time = 0.0f;
  frameA = frameB = 0;
}

void C3MEKeyFrames::SetAxisMask(bool maskX, bool maskY, bool maskZ) {
  axisMask.Set(maskX ? 0.0f : 1.0f, maskY ? 0.0f : 1.0f, maskZ ? 0.0f : 1.0f);
}

void C3MEKeyFrames::SelectFrame(int32_t index) {
  if (index >= 0 && uint32_t(index) < frameCount) selectedFrame = index;
}

void C3MEKeyFrames::ApplySelectedFrame() {
  if (selectedFrame < 0 || uint32_t(selectedFrame) >= frameCount) return;
  const C3MEFrame& frame = frames[selectedFrame];
  for (uint32_t k = 0; k < frame.keyCount; ++k) {
    C3MEBone* bone = frame.keys[k].bone;
    if (bone == nullptr) continue;
    bone->pose.Copy(frame.keys[k].transform);
    bone->pose.Update();
  }
}

Vector3 C3MEKeyFrames::GetRootOffset() const {
  if (root == nullptr) return Vector3();
  Vector3 offset = Vector3::MultiplyComponents(root->pose.local.GetTranslation(), axisMask);
  if (mirror) offset.MultiplyComponentsInPlace(mirrorVector);
  return offset;
}
