#pragma once

// What the shell's screens share: each is a state of the game whose Message
// handler passes every message to the game's shared reactions first, and
// which talks to the game and its audio layer through the GEM service.

#include <cstdint>

#include "engine/runtime/fsm/FsmState.h"
#include "game/puzzle/GameServices.h"

class CMSGMessage;
class Game;
class ResourceQueues;

// The shell's data of one game, kept beside the game by its screens.
struct ShellContext {
  explicit ShellContext(Game& owner, ResourceQueues& resourceQueues) : game(owner), queues(resourceQueues) {}
  Game& game;
  // The managers the loading screen queues into and reads its progress from.
  ResourceQueues& queues;
  // The display fonts of the credits, added by the first front-end load;
  // -1 until then.
  int32_t textFont = -1;
  int32_t titleFont = -1;
};

class ShellScreen : public FsmState {
 public:
  ShellScreen(ShellContext& context, ShellState which);

  // The shared reactions first; what they leave goes to OnMessage, and the
  // message is marked handled when OnMessage took it.
  void Message(CMSGMessage* message) final;

 protected:
  // The screen's own answer to a message; true when it took it.
  virtual bool OnMessage(CMSGMessage&) { return false; }

  // Posts from the game to the game.
  void PostToGame(uint32_t id, intptr_t parameter, double delaySeconds) const;
  // Posts from the game to the audio layer, delivered at once.
  void PostToAudio(uint32_t id, intptr_t parameter) const;
  // Stops one of the audio layer's volume layers (4: all of them).
  void StopAudioLayer(int32_t layer) const;
  // Drops the game's queued messages of that id.
  void CancelGameMessages(uint32_t id) const;
  // The game's queued messages of that id (not the one being delivered).
  uint32_t QueuedGameMessages(uint32_t id) const;
  // The stored volumes: the first call switches the audio layer on.
  void ApplyStoredVolumes() const;
  // The game's frame time: 0 while the clock is paused.
  static float FrameSeconds();
  // True while drawing can reach GL.
  bool CanDraw() const;

  ShellContext& shell_;
  Game& game_;
};
