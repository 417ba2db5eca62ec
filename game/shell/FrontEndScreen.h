#pragma once

// "Game.FrontEnd": the menus over the galactic backdrop. It shows the front
// end, turns keys and pad presses into menu messages, starts the chosen
// mode through the loading screen, plays a sting every 5.5 s, shows the high
// scores after 60 s without a press, and ends the program after Exit.

#include <memory>

#include "game/shell/ShellScreen.h"

class GFrontEnd;

class FrontEndScreen : public ShellScreen {
 public:
  static constexpr float kFadeSeconds = 1.0f;
  static constexpr float kIdleSeconds = 60.0f;
  static constexpr float kFirstStingSeconds = 2.0f;
  static constexpr float kStingSeconds = 5.5f;
  // The stings played are 0 to 4: the random range's top is left out.
  static constexpr int kStingRangeTop = 5;
  static constexpr float kStartFadeSeconds = 0.5f;
  static constexpr float kLoadMessageSeconds = 1.5f;
  static constexpr float kExitSeconds = 1.0f;
  static constexpr float kNoticeCentreX = 400.0f;
  static constexpr float kNoticeY = 575.0f;

  explicit FrontEndScreen(ShellContext& context);
  // The window goes with the screen, which the game keeps for the whole run.
  ~FrontEndScreen() override;
  void Enter() override;
  void Update() override;
  void Exit() override;

 protected:
  bool OnMessage(CMSGMessage& message) override;

 private:
  // The receiver of the menu messages; -1 while there is no front end.
  int32_t MenuReceiver() const;
  void StartMode(int32_t mode);
  void PlaySting();
  void EndProgram();
  void Draw() const;
  // The game's notice to the player, under the menu.
  void DrawNotice() const;
  // Creates the window at the first entry; it then stays.
  void ShowWindow();
  void PostToWindow(uint32_t id) const;

  std::unique_ptr<GFrontEnd> window_;
};
