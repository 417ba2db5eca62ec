#pragma once

// A whole game played headless: no window, sound or shell (the game's
// services are the fakes of GameTestSupport.h, the display steps of the
// frame are left empty), a clock that advances a fixed 1/60 s per frame
// from an injected tick, and the program's generator seeded. A test enters a
// game state directly, steps whole frames with CGEMApplication::Frame, and
// scripts the player with key-down lists posted in the frame's input step
// as the engine posts them. It reads back the disc, the profile, the state
// traces, the log and a recording of every message posted on the GEM
// service.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "GameTestSupport.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "game/puzzle/Game.h"
#include "game/rules/GameMessages.h"
#include "platform/KeyCodes.h"

namespace puzzle_test {

// One message posted on the GEM service, as the recording saw it.
struct PostedMessage {
  uint32_t id = 0;
  int32_t source = -1;
  int32_t target = -1;
  intptr_t parameter = 0;
  // Game time of the post, and the delay it was posted with.
  double time = 0.0;
  double delay = 0.0;
  // For ids that point at a number (speech, layer, sting, colour,
  // achievement): the number; for the fades: the fade.
  int number = -1;
  LayerFade fade;
};

// Records every post on the GEM service while it lives.
class MessageRecording {
 public:
  MessageRecording();
  ~MessageRecording();
  MessageRecording(const MessageRecording&) = delete;
  MessageRecording& operator=(const MessageRecording&) = delete;

  void Clear() { posted_.clear(); }
  const std::vector<PostedMessage>& All() const { return posted_; }
  // The posts of an id, in order; those to one target.
  std::vector<PostedMessage> Of(uint32_t id) const;
  std::vector<PostedMessage> To(int32_t target, uint32_t id) const;
  int Count(uint32_t id) const { return static_cast<int>(Of(id).size()); }
  int CountTo(int32_t target, uint32_t id) const { return static_cast<int>(To(target, id).size()); }

 private:
  std::vector<PostedMessage> posted_;
};

class GameHarness {
 public:
  static constexpr float kFrameSeconds = 1.0f / 60.0f;

  // Builds the game with the profile "tess" on the seeded generator and
  // steps it into its first state, the screen fade off.
  explicit GameHarness(uint32_t seed = 20261210);
  ~GameHarness();
  GameHarness(const GameHarness&) = delete;
  GameHarness& operator=(const GameHarness&) = delete;

  Game& game() { return *game_; }
  GameProfile& profile() { return *game_->profile; }
  FakeProfile& fakeProfile() { return static_cast<FakeProfile&>(*game_->profile); }
  FakeAudioLayer& audio() { return *services.audio; }
  CGPuzzleDisc* disc() { return game_->currentDisc; }
  MessageRecording& posted() { return posted_; }

  // Makes the profile play the Panic mode at the level, its Panic record
  // fresh (as the front end's choice of the mode leaves it).
  void UsePanicMode(uint32_t level);
  // Asks the game for the state and steps until it is current (false when
  // it did not become current within the frames).
  bool EnterState(GameStateId id, int maxFrames = 8);
  bool InState(GameStateId id) const { return game_->IsCurrent(game_->State(id)); }
  // The named state when it is current.
  bool InState(const char* name) const;

  // Whole frames of 1/60 s.
  void Step(int frames = 1);
  // Frames for about the seconds (at least one).
  void Wait(float seconds);
  // Steps until the test holds, at most for the seconds; false when it never did.
  bool RunUntil(const std::function<bool()>& done, float maxSeconds);
  float GameTime() const;

  // The key-down list the next frame's input step posts (at most ten codes).
  void PressKeys(std::initializer_list<uint8_t> codes);
  // The same as a key-held list.
  void HoldKeys(std::initializer_list<uint8_t> codes);
  // One frame with a single key pressed.
  void TurnForward() { PressAndStep(platform::key::Up); }
  void TurnBack() { PressAndStep(platform::key::Down); }
  void Drop() { PressAndStep(platform::key::Z); }
  void Pause() { PressAndStep(platform::key::Escape); }
  // The pause menu's "Continue" (the overlay goes) and "Exit" ("Yes" posts
  // eMSG_GExit to the game, then the overlay goes).
  void ContinueFromPause() { services.pauseShowing = false; }
  void ExitFromPause();

  // Replaces the board by the disc (its queue as given), started as the
  // current one. The old discs are released as a new board releases them.
  CGPuzzleDisc* UseDisc(std::unique_ptr<CGPuzzleDisc> disc);

  // Lines of the log channels since the harness began (or ClearLog):
  // the game's "DBG" lines and the state traces ("Enter|'Game.PanicGame' ").
  std::vector<std::string> DebugLog() const;
  std::vector<std::string> StateTrace() const;
  // True when some "DBG" line reads exactly the text.
  bool Logged(const std::string& line) const;
  // The names of the states entered, in order.
  std::vector<std::string> StatesEntered() const;
  void ClearLog();

  FakeServices services;

 private:
  struct KeyList {
    uint32_t message;
    uint8_t codes[CUIOKeyboard::kListCapacity];
  };
  void PressAndStep(uint8_t code);
  void PostScriptedKeys();

  GameFixture fixture_;
  MessageRecording posted_;
  std::unique_ptr<Game> game_;
  std::vector<KeyList> nextKeys_;
  // The list being delivered: its codes must live during the post.
  KeyList delivering_{};
};

// Gives the disc's queue these colours (shape 0), front first, as a fixed
// sequence.
void SetQueue(CGPuzzleDisc& disc, const std::vector<int>& colours);

}  // namespace puzzle_test
