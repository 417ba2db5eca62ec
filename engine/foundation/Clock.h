#pragma once
// The program's single clock, ticked at the start of every frame: game and
// real time, a per-frame step (scaled, pausable or fixed), frame rate and
// frame number.
#include <cstdint>

// The game delta of the current frame, in seconds (read directly by systems
// that step every frame).
extern float gGameDelta;

class Clock {
 public:
  // Source of the millisecond tick; tests install their own.
  using TickSource = uint32_t (*)();

  // The static clock, built on first use.
  static Clock& Instance();

  // A clock with every value at its start value, reading the system tick.
  Clock();
  virtual ~Clock() = default;

  // Starts counting from now: frame number and deltas back to 0.
  void Start();
  // The per-frame tick: measures the frame delta over groups of five frames
  // (clamped to [0.001, 0.1] s) and advances the times.
  void Update();
  // Stops measuring while no frames run (the window is minimised): the time
  // until Resume counts in no frame's delta, so the first frame after it
  // steps as the frames before did.
  void Suspend();
  // Measures on from now as if the time since Suspend had not passed; the
  // next Update does the same when nobody called it.
  void Resume();
  bool IsSuspended() const { return suspended_; }

  // Real frame delta in seconds (averaged, 0 before the first measurement).
  float GetRealDelta() const { return frameDelta_; }
  // Game delta: 0 while paused, else the fixed step when in use, else the
  // scaled delta.
  float GetGameDelta() const;
  float GetRealTime() const { return realTime_; }
  float GetGameTime() const { return gameTime_; }
  float GetScaledDelta() const { return scaledDelta_; }
  float GetFrameRate() const { return frameRate_; }
  uint32_t GetFrameNumber() const { return frameNumber_; }
  float GetTimeScale() const { return timeScale_; }
  float GetFixedStep() const { return fixedStep_; }
  bool UsesFixedStep() const { return useFixedStep_; }
  bool IsPaused() const { return paused_; }
  bool GetBlink() const { return blink_; }
  bool IsBlinkEnabled() const { return blinkEnabled_; }

  // The scale becomes s when s > 0, else 0.
  void SetTimeScale(float s);
  // The scale becomes scale + d, or 0 when that is not above 0.
  void AdjustScale(float d);
  // A step above 0 is used as the fixed game delta; any other value stops
  // fixed stepping.
  void SetFixedStep(float step);
  void SetPaused(bool paused) { paused_ = paused; }
  void SetGameTime(float seconds) { gameTime_ = seconds; }
  // Inverts the blink-enabled flag and clears the blink flag.
  void ToggleBlinkEnable();
  // Inverts the blink flag and clears the blink-enabled flag.
  void ToggleBlink();

  // Reads the high-resolution counter; its low 32 bits are kept and returned.
  static uint32_t ReadTSC(uint32_t& outValue);
  // Units per second of ReadTSC, read once and cached.
  static float PerformanceFrequency();

  // Replaces the millisecond tick (tests drive the clock with it).
  void SetTickSource(TickSource source);

 private:
  float gameTime_ = 0.0f;
  float realTime_ = 0.0f;
  float scaledDelta_ = 0.0f;
  float frameDelta_ = 0.0f;
  float frameRate_ = 0.0f;
  bool paused_ = false;
  float timeScale_ = 1.0f;
  uint32_t lastSampleTick_ = 0;
  uint32_t startTick_ = 0;
  uint32_t framesSinceSample_ = 0;
  float fixedStep_ = 0.01f;
  bool blink_ = false;
  bool blinkEnabled_ = false;
  bool useFixedStep_ = false;
  uint32_t frameNumber_ = 0;
  uint32_t startCycles_[2] = {0, 0};
  bool suspended_ = false;
  uint32_t suspendTick_ = 0;
  TickSource tick_;
};

// "MM:SS" with the whole minutes (not limited to 59) and seconds; the text
// lives in a shared buffer that the next call overwrites.
const char* FormatTimeMMSS(float seconds);
// "HH:MM:SS"; shares the buffer of FormatTimeMMSS.
const char* FormatTimeHHMMSS(float seconds);

// Whole seconds within the minute, whole minutes, whole hours of a time.
int TimeSecondsPart(float seconds);
int TimeMinutesPart(float seconds);
int TimeHoursPart(float seconds);
