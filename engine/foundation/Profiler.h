#pragma once

#include <cstdint>

#include "engine/foundation/String.h"
#include "engine/foundation/Vector3.h"

// One named, coloured stretch of the frame with its stamps and the times
// computed from them.
struct ProfileSection {
  static constexpr int kMaxChildren = 25;

  int32_t index = -2;  // -2 until registered
  uint32_t startStamp = 0;
  uint32_t endStamp = 0;
  float drawOffset = 0.0f;   // x where the last drawing started the bar
  float elapsed = 0.0f;      // seconds
  float maxElapsed = 0.0f;   // kept across frames
  float maxFraction = 0.0f;  // kept across frames
  float fraction = 0.0f;     // of the root's elapsed time
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  String name;
  int32_t parent = -1;
  int32_t childCount = 0;
  int32_t children[kMaxChildren] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

// Where the profiler's bars go; the renderer registers one. begin applies
// the render state, line draws one bar, end restores the depth test.
struct ProfilerDrawHooks {
  void (*begin)() = nullptr;
  void (*line)(const Vector3& from, const Vector3& to, const float colour[4], float width) = nullptr;
  void (*end)() = nullptr;
};

// The single hierarchical frame profiler: named sections bracketed by Begin
// and End, nested sections becoming children of the open one, stamps turned
// into times and fractions of the root by Compute.
class Profiler {
 public:
  static constexpr int kMaxSections = 100;
  static constexpr float kBarLeft = 16.0f;
  static constexpr float kBarWidth = 768.0f;
  static constexpr float kBarSpacing = 3.0f;

  // Sources of the cycle stamps and their rate; tests install their own.
  using StampSource = uint32_t (*)();
  using FrequencySource = float (*)();

  // The static profiler, built on first use.
  static Profiler& Instance();

  Profiler();
  virtual ~Profiler() = default;
  Profiler(const Profiler&) = delete;
  Profiler& operator=(const Profiler&) = delete;

  // Takes the next record for a named section; -1 for an empty name or
  // when all records are taken. Logs "Registered profile <name>".
  int Register(const String& name, float red, float green, float blue);
  // Opens a registered section as a child of the open one. A section that
  // is not registered or already open is refused, and so is the End that
  // closes it, so the pairs stay matched. Nothing while disabled.
  void Begin(int section);
  // Closes the open section; nothing while disabled.
  void End();
  // Turns the stamps into elapsed times and fractions of the root.
  void Compute();
  // Computes when visible, enabled and not frozen, then inverts the
  // enabled flag: stamps are taken every other frame.
  void FrameHook();
  // Draws one bar per section through the registered hooks, while visible.
  void Draw();

  void ToggleVisible() { visible_ = !visible_; }
  void ToggleFrozen() { frozen_ = !frozen_; }
  void SetEnabled(bool on) { enabled_ = on; }
  void SetDrawBars(bool on) { drawBars_ = on; }
  bool IsVisible() const { return visible_; }
  bool IsFrozen() const { return frozen_; }
  bool IsEnabled() const { return enabled_; }

  // The open section's record, null when none is open.
  ProfileSection* GetCurrentSection();
  // A registered section's record, null for any other index.
  const ProfileSection* GetSection(int section) const;
  int GetSectionCount() const { return sectionCount_; }
  int GetRootSection() const { return rootSection_; }
  int GetBeginCount() const { return beginCount_; }
  float GetRootElapsed() const { return rootElapsed_; }
  float GetMaxRootElapsed() const { return maxRootElapsed_; }
  uint32_t GetFrameStartStamp() const { return frameStartStamp_; }
  uint32_t GetFrameEndStamp() const { return frameEndStamp_; }

  void SetStampSource(StampSource source);
  void SetFrequencySource(FrequencySource source);
  static void SetDrawHooks(const ProfilerDrawHooks& hooks);

 private:
  bool IsOpen(int section) const;
  void ComputeSection(int section, int depth, bool& frameStartSeen);
  void DrawSection(int section, int depth, const ProfilerDrawHooks& hooks);

  Vector3 lineStart_;
  Vector3 lineEnd_;
  uint32_t frameStartStamp_ = 0;
  uint32_t frameEndStamp_ = 0;
  int32_t rootSection_ = -1;
  int32_t sectionCount_ = 0;
  ProfileSection sections_[kMaxSections];
  int32_t currentSection_ = -1;
  float stampDivisor_ = 1.0f;
  bool visible_ = false;
  bool frozen_ = false;
  bool enabled_ = true;
  bool drawBars_ = true;
  int32_t beginCount_ = 0;
  float rootElapsed_ = 0.0f;
  float maxRootElapsed_ = 0.0f;
  int32_t refusedBegins_ = 0;  // Ends still owed to refused Begins
  StampSource stampSource_;
  FrequencySource frequencySource_;
};
