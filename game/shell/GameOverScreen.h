#pragma once

// "Game.GameOver": the finished board stays in view under the HUD's banner
// with the reason, the music and the game's sounds stop, a spoken phrase
// plays every 4 s, and a key returns to the front end. Leaving it ends the
// finished game: its HUD, renderer, disc and backdrop go.

#include "game/shell/ShellScreen.h"

class GameOverScreen : public ShellScreen {
 public:
  static constexpr float kPhraseSeconds = 4.0f;
  static constexpr float kFadeSeconds = 0.5f;
  static constexpr float kFrontEndLayerFadeSeconds = 1.0f;
  // Phrases 6 to 10 of the sting table; the sixth game-over phrase never plays.
  static constexpr int kFirstPhrase = 6;
  static constexpr int kPhraseCount = 5;
  // The banner's line when the game's result could not be saved.
  static constexpr const char* kNotSavedText = "Your result could not be saved";

  explicit GameOverScreen(ShellContext& context);
  void Enter() override;
  void Update() override;
  void Exit() override;

 protected:
  bool OnMessage(CMSGMessage& message) override;

 private:
  void PlayPhrase();
};
