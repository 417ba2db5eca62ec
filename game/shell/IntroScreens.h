#pragma once

// The three screens that each show one full-screen picture: the maker's
// logo, the engine's logo and the instructions page shown before a
// profile's first game.

#include "game/shell/ShellScreen.h"

class CTEXTexture;

// A screen drawing its picture over the whole HUD and nothing of the scene.
class PictureScreen : public ShellScreen {
 public:
  PictureScreen(ShellContext& context, ShellState which, const char* pictureName);

 protected:
  // Installs the drawing and asks for the picture, loaded at once.
  void ShowPicture();
  // Gives the picture back to the texture manager.
  void ReleasePicture();

  const char* picture_;
};

// A logo: it fades in over 0.5 s and stays 3 s or until a key.
class LogoScreen : public PictureScreen {
 public:
  static constexpr float kShowSeconds = 3.0f;
  static constexpr float kFadeSeconds = 0.5f;

  using PictureScreen::PictureScreen;
  void Enter() override;
  // Drops the logo's timer: a key that skipped it must not cut the next
  // logo short.
  void Exit() override;
};

// "Game.IntroVelkSW": the maker's logo fades in from white.
class IntroMakerScreen : public LogoScreen {
 public:
  explicit IntroMakerScreen(ShellContext& context);
  void Enter() override;

 protected:
  bool OnMessage(CMSGMessage& message) override;
};

// "Game.IntroVyre": the engine's logo, then the loading screen for the
// front end.
class IntroEngineScreen : public LogoScreen {
 public:
  // The loading screen hears what to load this long after the fade starts.
  static constexpr float kLoadMessageSeconds = 1.5f;

  explicit IntroEngineScreen(ShellContext& context);

 protected:
  bool OnMessage(CMSGMessage& message) override;
};

// "Game.Instructions": a key leads to the chosen mode.
class InstructionsScreen : public PictureScreen {
 public:
  static constexpr float kFadeSeconds = 1.0f;

  explicit InstructionsScreen(ShellContext& context);
  void Enter() override;
  void Exit() override;

 protected:
  bool OnMessage(CMSGMessage& message) override;
};

// True for a key press or a pad button press: what skips a screen.
bool IsKeyOrPadPress(const CMSGMessage& message);
