#pragma once

// The shell's whole answer to the game's services: profiles, the
// achievements and the high-score table, the audio layer, the pause menu,
// and the eight screens that are states of the game. The program hands it to the game.

#include <memory>

#include "game/shell/FrontEndServices.h"
#include "game/shell/ShellScreen.h"

class ResourceQueues;

class ShellServices : public FrontEndServices {
 public:
  // The loading screen works on the given managers; the engine's when null.
  explicit ShellServices(ResourceQueues* queues = nullptr);
  ~ShellServices() override;

  std::unique_ptr<FsmState> CreateState(Game& game, ShellState which) override;
  // A key for the pause menu, as the front end's menus take it.
  void SendMenuInput(uint8_t key) override;

  // The shell's data of the game built last (null before any).
  ShellContext* Context() const { return context_.get(); }

 private:
  ResourceQueues& queues_;
  // One per game: the game builds its eight screens one after the other.
  std::shared_ptr<ShellContext> context_;
  int screensMade_ = 0;
};
