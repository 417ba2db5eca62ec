#pragma once

// A game built headless on the shell's services, with resource managers
// the test controls, an audio layer that records what it hears, the clock
// on a fixed step, and a trace of the states the game passes through.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/puzzle/Game.h"
#include "game/puzzle/tests/support/GameTestSupport.h"
#include "game/rules/GameMessages.h"
#include "game/shell/ResourceQueues.h"
#include "game/shell/ShellServices.h"

namespace shell_test {

// Resource managers whose counts the test sets; each frame's load step
// (Advance) loads up to `perFrame` pending items.
class FakeResourceQueues : public ResourceQueues {
 public:
  int32_t Registered() const override { return registered; }
  int32_t Pending() const override { return pending; }
  int32_t LoadedLastCall() const override { return loadedLastCall; }
  // A load sets the budgets: it registers `queuedByLoad` items, all pending.
  void SetBudgets(const LoadBudgets& newBudgets) override;
  void LoadQueuedNow() override {}
  // One frame of the managers' load step.
  void Advance();

  int32_t registered = 0;
  int32_t pending = 0;
  int32_t loadedLastCall = 0;
  // Items the managers load a frame; what the last call reports is
  // `reported` when it is 0 or more, else what was loaded.
  int32_t perFrame = 0;
  int32_t reported = -1;
  // Items a load message registers (and leaves pending).
  int32_t queuedByLoad = 0;
  LoadBudgets budgets;
  // Loads queued so far.
  int loads = 0;
};

// One audio message as the layer heard it; `value` is what a pointer
// parameter pointed at (the layer of a stop, the sting number), else -1.
struct HeardAudio {
  uint32_t id = 0;
  int32_t value = -1;
  float seconds = 0.0f;
  float time = 0.0f;
};

class RecordingAudioLayer : public GameAudioLayer {
 public:
  void OnMessage(CMSGMessage* message) override;
  void Update() override {}
  void LoadSounds(int32_t which) override { soundSets.push_back(which); }
  std::vector<int32_t> Values(uint32_t id) const;
  int Count(uint32_t id) const;

  std::vector<HeardAudio> heard;
  std::vector<int32_t> soundSets;
};

class ScreenTestServices : public ShellServices {
 public:
  explicit ScreenTestServices(FakeResourceQueues* queues) : ShellServices(queues) {}
  std::unique_ptr<GameAudioLayer> CreateAudioLayer(int32_t voices) override;
  RecordingAudioLayer* audio = nullptr;
};

// A state the game entered, and when.
struct StateVisit {
  std::string name;
  float time = 0.0f;
};

// The game on the shell's services in a scratch folder; the clock steps
// kStep seconds a frame from 0.
class ScreensFixture {
 public:
  static constexpr float kStep = 0.05f;

  ScreensFixture();
  ~ScreensFixture();

  // Steps frames until the game time has advanced by the seconds; each frame
  // the fake managers load first, as the frame loop's manager step does.
  void Run(float seconds);
  // Steps frames until the named state is current (at most the seconds);
  // false when it was not reached.
  bool RunUntil(const char* stateName, float maxSeconds = 60.0f);
  // A key press (engine key code) delivered to the game now.
  void PressKey(uint8_t code);
  // A pad button press delivered to the game now.
  void PressPad();
  // Delivers a message to the game now, from the game.
  void Send(uint32_t id, intptr_t parameter = 0);

  float Now() const;
  std::string Current() const;
  // The names of the states entered, in order.
  std::vector<std::string> Trace() const;

  puzzle_test::GameFixture folders;
  FakeResourceQueues queues;
  ScreenTestServices services{&queues};
  std::unique_ptr<Game> game;
  std::vector<StateVisit> visits;
  RecordingAudioLayer* audio = nullptr;

 private:
  void Frame();
};

}  // namespace shell_test
