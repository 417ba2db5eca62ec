#pragma once

// The in-game heads-up display of both modes: a full-screen GUI window named
// "HUD" that shows the score, multiplier, star, level, countdown and game
// clock down the right edge, the player's and the constellation's names,
// flying score popups and message banners, achievement notices, the
// "Rainbow" banner, per-colour bars of the disc and the game-over text over
// a fading black overlay. It also keeps the game's countdown and game clock,
// and posts eMSG_GTimerExpired when the countdown runs out.

#include <cstdint>

#include "engine/foundation/AnimChannel.h"
#include "engine/foundation/String.h"
#include "engine/gui/Window.h"

class CGPuzzleDisc;
class CMATMaterial;
class GameProfile;
class GameServices;
struct MatchRecord;

// One score popup or message banner; live while its text is not empty.
struct GameHudPopup {
  static constexpr int kTextCapacity = 32;

  bool Live() const { return text[0] != '\0'; }
  // Both position channels have run out: the slot empties.
  bool Arrived() const { return x.Finished() && y.Finished(); }

  char text[kTextCapacity] = {};
  // The text's width in its font.
  float width = 0.0f;
  // Seconds before it starts moving.
  float delay = 0.0f;
  AnimChannel x;
  AnimChannel y;
  AnimChannel alpha;
  uint32_t font = 0;
};

// One achievement notice.
struct GameHudNotice {
  bool live = false;
  CMATMaterial* icon = nullptr;
  const char* name = nullptr;
  AnimChannel x;
  AnimChannel y;
  AnimChannel alpha;
  float delay = 0.0f;
};

class GameHud : public Window {
 public:
  static constexpr uint32_t kSlotCount = 8;
  static constexpr int kNoticeCount = 10;
  // The HUD's layer: the application draws only this layer of windows.
  static constexpr float kLayer = 10.0f;

  // Named "HUD"; achievement names come from the services when given.
  explicit GameHud(const GameServices* services = nullptr);
  ~GameHud() override;

  // Full screen, borderless, on the HUD layer; the popups reset; activates
  // itself (it shows only once active).
  void SetDefaultFrame(int32_t frameStyle) override;
  // The window's handling, then the rainbow banner on eMSG_GMatchedRainbow.
  void OnMessage(CMSGMessage* message) override;
  // Names, counters, popups, notices, overlay, game over, rainbow, bars.
  void DrawContents() override;

  // The background image and every popup and banner slot back to its start.
  void ResetPopups();
  // Runs the countdown and the game clock (while a disc is set, unlocked and
  // the timers run), the popups, notices and rainbow banner, and the fade.
  void UpdateTimers(float dt);
  // A popup of the points in the colour of the match.
  void AddScorePopup(uint64_t points, const MatchRecord& match);
  // The "Par bonus!" banner and a popup of the points.
  void AddParBonus(uint64_t points);
  // Stores the multiplier and announces it (nothing shows at 1 or less).
  void SetMultiplier(uint32_t value);
  // A message banner (cut to 31 characters).
  void AddMessage(const char* text);
  // An achievement notice; dropped while all ten are live.
  void AddAchievement(int32_t index);

  // Written by the modes, the boards and the game-over page.
  GameProfile* profile = nullptr;
  CGPuzzleDisc* disc = nullptr;
  float elapsed = 0.0f;
  float timeLeft = 0.0f;
  uint32_t totalStars = 0;
  uint32_t multiplier = 1;
  uint32_t nextPopup = 0;
  uint32_t nextBanner = 0;
  GameHudPopup popups[kSlotCount];
  GameHudPopup banners[kSlotCount];
  // Start delay of the next popup, banner or notice.
  float stagger = 0.0f;
  bool gameOverShown = false;
  bool timersRunning = false;
  float rainbowTime = 0.0f;
  float rainbowStep = 0.0f;
  uint32_t rainbowColour = 0;
  bool fadeActive = false;
  AnimChannel fade;
  String constellationName;
  GameHudNotice notices[kNoticeCount];
  String reason;
  // Under the reason on the game-over banner: that the result was not saved.
  String saveWarning;

 private:
  GameHudPopup& StartPopup(GameHudPopup* ring, uint32_t& next, float xRange);
  void SetPopupText(GameHudPopup& popup, uint64_t points);
  void UpdateCountdown(float dt);
  void UpdatePopup(GameHudPopup& popup, float dt);
  void UpdateNotice(GameHudNotice& notice, float dt);
  void UpdateRainbow(float dt);
  void DrawNames();
  void DrawCounters();
  void DrawPopups();
  void DrawNotices();
  void DrawGameOver();
  void DrawRainbow();
  void DrawColourBars();

  const GameServices* services_;
};
