#pragma once

// The game's services with the front end's pause menu beside the profiles,
// the high-score table and the audio layer: the pause menu shows in the
// front-end window while one exists.

#include "game/shell/AudioServices.h"

class FrontEndServices : public AudioServices {
 public:
  // Shows the pause menu over the running game.
  void ShowPauseMenu() override;
  // True while the pause menu shows.
  bool IsPauseMenuShowing() const override;
};
