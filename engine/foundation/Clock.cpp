#include "engine/foundation/Clock.h"

#include <cmath>
#include <cstdio>

#include "engine/foundation/Log.h"
#include "platform/Time.h"

float gGameDelta = 0.0f;

namespace {

constexpr uint32_t kFramesPerSample = 5;
constexpr float kMinFrameDelta = 0.001f;
constexpr float kMaxFrameDelta = 0.1f;

uint32_t gLastCounterRead = 0;
float gCachedFrequency = -1.0f;
char gTimeText[256];

}  // namespace

Clock& Clock::Instance() {
  static Clock clock;
  return clock;
}

Clock::Clock() : tick_(&platform::TickCountMs) {}

void Clock::SetTickSource(TickSource source) { tick_ = source != nullptr ? source : &platform::TickCountMs; }

void Clock::Start() {
  ReadTSC(startCycles_[0]);
  startCycles_[1] = startCycles_[0];
  LogDBG("Clock::Start1");
  frameNumber_ = 0;
  scaledDelta_ = 0.0f;
  lastSampleTick_ = tick_();
  startTick_ = lastSampleTick_;
  // A clock started anew measures from now, suspended or not.
  suspended_ = false;
  // Frames ticked before the start must not count against the new sample tick.
  framesSinceSample_ = 0;
}

void Clock::Suspend() {
  if (suspended_) return;
  suspended_ = true;
  suspendTick_ = tick_();
}

void Clock::Resume() {
  if (!suspended_) return;
  suspended_ = false;
  // The sample under way goes on from where it stood: its span leaves out
  // the time away, however long that was.
  lastSampleTick_ += tick_() - suspendTick_;
}

void Clock::Update() {
  Resume();
  if (framesSinceSample_ >= kFramesPerSample) {
    uint32_t now = tick_();
    float spanMs = static_cast<float>(now - lastSampleTick_);
    lastSampleTick_ = now;
    frameDelta_ = spanMs / static_cast<float>(framesSinceSample_) * 0.001f;
    if (frameDelta_ >= kMaxFrameDelta) frameDelta_ = kMaxFrameDelta;
    if (frameDelta_ <= kMinFrameDelta) frameDelta_ = kMinFrameDelta;
    scaledDelta_ = timeScale_ * frameDelta_;
    frameRate_ = 1.0f / frameDelta_;
    framesSinceSample_ = 0;
  }
  // Taken every frame, not only at a measurement, so that pausing or a new
  // fixed step stops or changes game time from this frame on.
  float gameDelta = GetGameDelta();
  if (this == &Instance()) gGameDelta = gameDelta;
  realTime_ += frameDelta_;
  ++frameNumber_;
  ++framesSinceSample_;
  gameTime_ += gameDelta;
  if (blinkEnabled_) blink_ = !blink_;
}

float Clock::GetGameDelta() const {
  if (paused_) return 0.0f;
  if (useFixedStep_) return fixedStep_;
  return scaledDelta_;
}

void Clock::SetTimeScale(float s) { timeScale_ = s > 0.0f ? s : 0.0f; }

void Clock::AdjustScale(float d) {
  float scale = timeScale_ + d;
  timeScale_ = scale > 0.0f ? scale : 0.0f;
}

void Clock::SetFixedStep(float step) {
  if (step > 0.0f) {
    fixedStep_ = step;
    useFixedStep_ = true;
  } else {
    useFixedStep_ = false;
  }
}

void Clock::ToggleBlinkEnable() {
  blinkEnabled_ = !blinkEnabled_;
  blink_ = false;
}

void Clock::ToggleBlink() {
  blink_ = !blink_;
  blinkEnabled_ = false;
}

uint32_t Clock::ReadTSC(uint32_t& outValue) {
  gLastCounterRead = static_cast<uint32_t>(platform::HighResCounter());
  outValue = gLastCounterRead;
  return gLastCounterRead;
}

float Clock::PerformanceFrequency() {
  if (gCachedFrequency < 0.0f) {
    uint64_t frequency = platform::HighResFrequency();
    gCachedFrequency = frequency != 0 ? static_cast<float>(static_cast<uint32_t>(frequency)) : 500000.0f;
  }
  return gCachedFrequency;
}

int TimeSecondsPart(float seconds) { return static_cast<int>(seconds - 60.0f * std::floor(seconds / 60.0f)); }

int TimeMinutesPart(float seconds) { return static_cast<int>(std::floor(seconds / 60.0f)); }

int TimeHoursPart(float seconds) { return static_cast<int>(std::floor(seconds / 3600.0f)); }

const char* FormatTimeMMSS(float seconds) {
  std::snprintf(gTimeText, sizeof gTimeText, "%02d:%02d", TimeMinutesPart(seconds), TimeSecondsPart(seconds));
  return gTimeText;
}

const char* FormatTimeHHMMSS(float seconds) {
  int minutesInHour = TimeMinutesPart(seconds) - 60 * TimeHoursPart(seconds);
  std::snprintf(gTimeText, sizeof gTimeText, "%02d:%02d:%02d", TimeHoursPart(seconds), minutesInHour,
                TimeSecondsPart(seconds));
  return gTimeText;
}
