#pragma once

// "Game.HighScores": the two high-score tables, one at a time over the
// galactic backdrop, switching every 10 s with a short fade. Entered from
// the menu it stays until a key; entered by the front end's idle timer (the
// game's showHighScoresAsAttract) it goes back after the Panic table has
// shown once.

#include "engine/foundation/ValueStepper.h"
#include "game/shell/ShellScreen.h"

class HighScoresScreen : public ShellScreen {
 public:
  static constexpr float kTableSeconds = 10.0f;
  static constexpr float kPageFadeSeconds = 0.5f;
  static constexpr float kFadeSeconds = 1.0f;
  // The best row's colour cycles through the fonts this fast (per second).
  static constexpr float kCycleRate = 15.0f;

  explicit HighScoresScreen(ShellContext& context);
  void Enter() override;
  void Update() override;
  void Exit() override;

  // 0 Challenge, 1 Panic.
  int32_t ModeOnShow() const { return mode_; }

 protected:
  bool OnMessage(CMSGMessage& message) override;

 private:
  void Draw();

  int32_t mode_ = 0;
  ValueStepper colourCycle_;
};

// The scene hook of the front end and the high scores, which make the
// game's galactic backdrop on entry and let it go on exit: the backdrop
// when it exists.
int32_t DrawGalacticBackdrop(Game& game);
