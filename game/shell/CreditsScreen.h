#pragma once

// "Game.Credits": the credits file scrolls up the screen, centred, for 55 s
// or until a key, then the front end comes back. The file is read on every
// entry and let go on exit.

#include <vector>

#include "engine/foundation/String.h"
#include "game/shell/CreditsText.h"
#include "game/shell/ShellScreen.h"

class CreditsScreen : public ShellScreen {
 public:
  static constexpr const char* kFileName = "Resources/Credits.txt";
  static constexpr float kShowSeconds = 55.0f;
  static constexpr float kFadeSeconds = 1.0f;
  // The text starts just below the screen and rises this fast.
  static constexpr float kStartOffset = 632.0f;
  static constexpr float kRisePerSecond = 40.0f;

  explicit CreditsScreen(ShellContext& context);
  void Enter() override;
  void Update() override;
  void Exit() override;

  const std::vector<String>& Lines() const { return lines_; }
  float ScrollOffset() const { return scroll_; }

 protected:
  bool OnMessage(CMSGMessage& message) override;

 private:
  void Draw() const;

  std::vector<String> lines_;
  float scroll_ = kStartOffset;
};
