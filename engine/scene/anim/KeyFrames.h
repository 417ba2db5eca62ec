#pragma once
#include <cstdint>

#include "engine/foundation/String.h"
#include "engine/foundation/TransformNode.h"

class C3MEBone;

// One bone's key in one frame: the bone's name, its placement (position and
// rotation, scale 1) and the bone it drives once the set is bound.
class C3MEBoneKey {
 public:
  C3MEBoneKey() : boneName("Unknown") {}
  C3MEBoneKey(const C3MEBoneKey&) = delete;
  C3MEBoneKey& operator=(const C3MEBoneKey&) = delete;

  String boneName;
  TransformNode transform;
  C3MEBone* bone = nullptr;
};

// One frame of a key-frame set: one key per bone.
class C3MEFrame {
 public:
  C3MEFrame() = default;
  ~C3MEFrame() { delete[] keys; }
  C3MEFrame(const C3MEFrame&) = delete;
  C3MEFrame& operator=(const C3MEFrame&) = delete;

  // Replaces the keys by n default keys; false (and no keys) when the heap refuses.
  bool SetKeyCount(uint32_t n);

  uint32_t keyCount = 0;
  C3MEBoneKey* keys = nullptr;  // owned array of keyCount keys
};

// One skeletal animation: frames of bone keys played at a fixed rate on a
// bound skeleton, interpolated between the two frames around the time, with
// looping, mirroring in X, per-axis masking of the root's motion and
// cross-fades into another set.
class C3MEKeyFrames {
 public:
  // Load states.
  static constexpr int32_t kNotLoaded = 0;
  static constexpr int32_t kLoaded = 1;
  static constexpr int32_t kLoadFailed = 2;
  // Bounds on what one file may ask for; no animation comes near them.
  static constexpr int32_t kMaxFrames = 65536;
  static constexpr int32_t kMaxKeys = 4096;

  C3MEKeyFrames();
  virtual ~C3MEKeyFrames();
  C3MEKeyFrames(const C3MEKeyFrames&) = delete;
  C3MEKeyFrames& operator=(const C3MEKeyFrames&) = delete;

  // Loads the set; only ".TXT" files have a reader. Logs "Loaded animation
  // %s" or "FAILED animation %s" and sets the load state.
  bool Read(String fileName);
  // The text reader behind Read; true when the file is whole and consistent.
  bool ReadKeysText(const String& fileName);
  // Destroys the frames; frame count 0, selected frame -1.
  void ClearFrames();
  // Replaces the frames by n empty ones; false (and no frames) when the heap refuses.
  bool SetFrameCount(uint32_t n);
  // Binds every key to the bone of its name under root (null when absent).
  void BindSkeleton(C3MEBone* skeletonRoot);
  // Frames per second and looping; derives the duration and the frame time.
  void SetRate(float framesPerSecond, bool looping);
  // Moves to a time in seconds (negative acts as 0; past the duration is ignored).
  void SetTime(float seconds);
  // Steps the time by dtSeconds x speed, writes the pose into the bones and
  // runs a cross-fade when one is on.
  void Advance(float dtSeconds, float speed);
  // Starts a cross-fade into target lasting at most the time this set has left.
  void StartBlend(C3MEKeyFrames* target, float durationSeconds);
  // True once a cross-fade has run to its end.
  bool IsBlendDone() const { return blendProgress >= 1.0f && !blending; }
  // False for a looping set; else true at or past either end.
  bool IsStopped() const;
  // Back to the start: no blend, selected frame 0, time and frames 0.
  void Reset();
  // A set flag removes the root's motion on that axis.
  void SetAxisMask(bool maskX, bool maskY, bool maskZ);
  // Chooses the frame ApplySelectedFrame shows (ignored past the frames).
  void SelectFrame(int32_t index);
  // Copies the selected frame's keys into their bones' poses.
  void ApplySelectedFrame();
  // The root's animated translation, masked and mirrored; zero without a root.
  Vector3 GetRootOffset() const;

  int32_t id = -1;
  String name;
  uint32_t frameCount = 0;
  C3MEFrame* frames = nullptr;  // owned array of frameCount frames
  C3MEBone* root = nullptr;
  int32_t selectedFrame = -1;
  uint32_t lastFrame = 0;
  float time = 0.0f;
  float duration = 0.0f;
  bool loop = false;
  Vector3 axisMask{1.0f, 1.0f, 1.0f};
  bool mirror = false;
  Vector3 mirrorVector{-1.0f, 1.0f, 1.0f};
  float rate = 0.0f;
  float frameTime = 0.0f;
  uint32_t frameA = 0;
  uint32_t frameB = 0;
  float weightA = 0.0f;
  C3MEKeyFrames* blendTarget;
  bool blending = false;
  float blendDuration = 0.0f;
  float blendProgress = 0.0f;
  int32_t loadState = kNotLoaded;

 private:
  void AdvanceChain(float dtSeconds, float speed, uint32_t depth);
  void EvaluateFrames();
  void BlendPoses();
};
