#include "engine/foundation/Profiler.h"

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"

namespace {

constexpr float kSectionAlpha = 0.75f;
constexpr float kBarLineWidth = 3.0f;

ProfilerDrawHooks gDrawHooks;

uint32_t ClockStamp() {
  uint32_t stamp = 0;
  Clock::ReadTSC(stamp);
  return stamp;
}

float ClockFrequency() { return Clock::PerformanceFrequency(); }

}  // namespace

Profiler& Profiler::Instance() {
  static Profiler profiler;
  return profiler;
}

Profiler::Profiler() : stampSource_(&ClockStamp), frequencySource_(&ClockFrequency) {}

void Profiler::SetStampSource(StampSource source) { stampSource_ = source != nullptr ? source : &ClockStamp; }

void Profiler::SetFrequencySource(FrequencySource source) {
  frequencySource_ = source != nullptr ? source : &ClockFrequency;
}

void Profiler::SetDrawHooks(const ProfilerDrawHooks& hooks) { gDrawHooks = hooks; }

int Profiler::Register(const String& name, float red, float green, float blue) {
  if (name.IsEmpty() || sectionCount_ >= kMaxSections) return -1;
  ProfileSection& section = sections_[sectionCount_];
  section.index = sectionCount_;
  section.colour[0] = red;
  section.colour[1] = green;
  section.colour[2] = blue;
  section.colour[3] = kSectionAlpha;
  section.name = name;
  LogDBG("Registered profile %s", name.Chars());
  return sectionCount_++;
}

bool Profiler::IsOpen(int section) const {
  // The open sections form a chain from the current one up to the root;
  // the walk is bounded in case a stale parent closes a loop.
  int open = currentSection_;
  for (int steps = 0; open >= 0 && steps < kMaxSections; ++steps) {
    if (open == section) return true;
    open = sections_[open].parent;
  }
  return false;
}

void Profiler::Begin(int section) {
  if (!enabled_) return;
  // Beginning an open section would make it its own descendant, and the
  // computation would then recurse without end.
  if (section < 0 || section >= sectionCount_ || IsOpen(section)) {
    ++refusedBegins_;
    return;
  }
  ProfileSection& record = sections_[section];
  record.endStamp = 0;
  record.drawOffset = 0.0f;
  record.elapsed = 0.0f;
  record.fraction = 0.0f;
  record.childCount = 0;
  record.parent = -1;
  record.startStamp = stampSource_();
  if (currentSection_ >= 0) {
    record.parent = currentSection_;
    ProfileSection& parent = sections_[currentSection_];
    if (parent.childCount < ProfileSection::kMaxChildren) parent.children[parent.childCount++] = section;
  }
  currentSection_ = section;
  if (rootSection_ < 0) rootSection_ = section;
  ++beginCount_;
}

void Profiler::End() {
  if (!enabled_) return;
  if (refusedBegins_ > 0) {
    --refusedBegins_;
    return;
  }
  if (currentSection_ < 0) return;
  ProfileSection& record = sections_[currentSection_];
  record.endStamp = stampSource_();
  currentSection_ = record.parent;
}

void Profiler::Compute() {
  frameStartStamp_ = 0;
  frameEndStamp_ = 0;
  rootElapsed_ = 0.0f;
  const float frequency = frequencySource_();
  stampDivisor_ = frequency > 0.0f ? frequency : 1.0f;
  if (rootSection_ < 0) return;
  bool frameStartSeen = false;
  ComputeSection(rootSection_, 0, frameStartSeen);
  if (rootElapsed_ > maxRootElapsed_) maxRootElapsed_ = rootElapsed_;
}

void Profiler::ComputeSection(int section, int depth, bool& frameStartSeen) {
  if (depth >= kMaxSections) return;
  ProfileSection& record = sections_[section];
  record.elapsed = static_cast<float>(record.endStamp - record.startStamp) / stampDivisor_;
  if (section == rootSection_) rootElapsed_ = record.elapsed;
  if (!frameStartSeen) {
    frameStartStamp_ = record.startStamp;
    frameStartSeen = true;
  }
  if (record.endStamp > frameEndStamp_) frameEndStamp_ = record.endStamp;
  if (record.elapsed > record.maxElapsed) record.maxElapsed = record.elapsed;
  if (rootElapsed_ > 0.0f) {
    record.fraction = record.elapsed / rootElapsed_;
    if (record.fraction > record.maxFraction) record.maxFraction = record.fraction;
  }
  for (int i = 0; i < record.childCount; ++i) ComputeSection(record.children[i], depth + 1, frameStartSeen);
}

void Profiler::FrameHook() {
  if (visible_ && enabled_ && !frozen_) Compute();
  enabled_ = !enabled_;
}

void Profiler::Draw() {
  if (!visible_) return;
  const ProfilerDrawHooks hooks = gDrawHooks;
  if (hooks.begin != nullptr) hooks.begin();
  if (drawBars_ && rootSection_ >= 0) {
    lineStart_.Set(kBarLeft, kBarLeft, 0.0f);
    lineEnd_.Set(kBarLeft, kBarLeft, 0.0f);
    DrawSection(rootSection_, 0, hooks);
  }
  if (hooks.end != nullptr) hooks.end();
}

void Profiler::DrawSection(int section, int depth, const ProfilerDrawHooks& hooks) {
  if (depth >= kMaxSections) return;
  ProfileSection& record = sections_[section];
  const uint32_t frameSpan = frameEndStamp_ - frameStartStamp_;
  // A frame with no measured length (nothing computed yet, or every stamp
  // equal) draws its bars from the left edge instead of dividing by zero.
  const float offset =
      frameSpan != 0 ? static_cast<float>(record.startStamp - frameStartStamp_) / static_cast<float>(frameSpan) : 0.0f;
  lineStart_.x = offset * kBarWidth + kBarLeft;
  lineEnd_.x = record.fraction * kBarWidth + lineStart_.x;
  record.drawOffset = lineStart_.x;
  if (hooks.line != nullptr) hooks.line(lineStart_, lineEnd_, record.colour, kBarLineWidth);
  lineStart_.y += kBarSpacing;
  lineEnd_.y += kBarSpacing;
  for (int i = 0; i < record.childCount; ++i) DrawSection(record.children[i], depth + 1, hooks);
}

ProfileSection* Profiler::GetCurrentSection() { return currentSection_ >= 0 ? &sections_[currentSection_] : nullptr; }

const ProfileSection* Profiler::GetSection(int section) const {
  if (section < 0 || section >= sectionCount_) return nullptr;
  return &sections_[section];
}
