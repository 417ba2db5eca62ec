#include "game/puzzle/GameHud.h"

#include <algorithm>
#include <cstdio>

#include "engine/foundation/Clock.h"
#include "engine/graphics/MaterialManager.h"
#include "game/puzzle/GameServices.h"
#include "game/puzzle/GlyphText.h"
#include "game/rules/GameMessages.h"
#include "game/rules/MatchRecord.h"
#include "game/rules/PuzzleDisc.h"

namespace {

constexpr float kScreenWidth = 800.0f;
constexpr float kScreenHeight = 600.0f;
// Popups fly from (240, 300) up to the score; banners rise straight up.
constexpr float kPopupStartX = 240.0f;
constexpr float kPopupStartY = 300.0f;
constexpr float kPopupRangeX = 560.0f;
constexpr float kPopupRangeY = -332.0f;
constexpr float kPopupSeconds = 1.5f;
// Each popup, banner or notice started in one frame waits this much longer.
constexpr float kStaggerSeconds = 0.25f;
constexpr uint32_t kBannerFont = 7;
constexpr uint32_t kLastFont = 7;
// Notices drop from (240, 300) to the bottom, then fade out.
constexpr float kNoticeRangeY = 268.0f;
constexpr float kNoticeFadeOutSeconds = 2.0f;
constexpr const char* kNoticeMaterial = "AchievementStars";
constexpr float kRainbowSeconds = 4.0f;
constexpr float kRainbowStepSeconds = 0.125f;
constexpr uint32_t kRainbowColours = 7;

float MeasureIn(uint32_t font, const char* text) {
  const GlyphText* glyphs = GlyphFont(font);
  return glyphs != nullptr ? glyphs->Measure(text) : 0.0f;
}

}  // namespace

GameHud::GameHud(const GameServices* services) : services_(services) {
  SetName("HUD");
  // It shows the game and takes no input.
  state &= ~GUIState::kTakesInput;
}

GameHud::~GameHud() = default;

void GameHud::SetDefaultFrame(int32_t frameStyleId) {
  Window::SetDefaultFrame(frameStyleId);
  // Borderless: one image over the whole screen, contents unclipped.
  style = GUIStyle::kImage | GUIStyle::kContents;
  Rect screen;
  screen.SetPositionSize(Vector2(0.0f, 0.0f), Vector2(kScreenWidth, kScreenHeight));
  SetRect(screen, screen);
  SetLayer(kLayer);
  ResetPopups();
  PostGUI(eMSG_GUIACTIVATE, ownId);
}

void GameHud::ResetPopups() {
  SetImage(1, "HUDBackground");
  for (uint32_t i = 0; i < kSlotCount; ++i) {
    for (GameHudPopup* popup : {&popups[i], &banners[i]}) {
      const bool banner = popup == &banners[i];
      popup->x.Set(AnimChannel::kRiseFast, false, kPopupStartX, kPopupStartX + (banner ? 0.0f : kPopupRangeX),
                   banner ? 0.0f : kPopupSeconds);
      popup->y.Set(AnimChannel::kRiseFast, false, kPopupStartY, kPopupStartY + kPopupRangeY, kPopupSeconds);
      popup->alpha.Set(AnimChannel::kSmoothFall, false, 0.0f, 1.0f, kPopupSeconds);
      popup->font = banner ? kBannerFont : 0;
    }
  }
}

void GameHud::OnMessage(CMSGMessage* message) {
  Window::OnMessage(message);
  if (message->id == eMSG_GMatchedRainbow) {
    rainbowTime = kRainbowSeconds;
    rainbowStep = 0.0f;
    rainbowColour = 0;
    message->handled |= 1;
  }
}

GameHudPopup& GameHud::StartPopup(GameHudPopup* ring, uint32_t& next, float xRange) {
  // A ring: the ninth start takes the oldest slot.
  if (next >= kSlotCount) next = 0;
  GameHudPopup& popup = ring[next++];
  popup.x.Set(AnimChannel::kRiseFast, false, kPopupStartX, kPopupStartX + xRange, kPopupSeconds);
  popup.y.Set(AnimChannel::kRiseFast, false, kPopupStartY, kPopupStartY + kPopupRangeY, kPopupSeconds);
  // Invisible until it moves: the fall curve starts at full alpha.
  popup.alpha.Set(AnimChannel::kSmoothFall, false, 0.0f, 1.0f, kPopupSeconds);
  popup.delay = stagger;
  stagger += kStaggerSeconds;
  return popup;
}

void GameHud::SetPopupText(GameHudPopup& popup, uint64_t points) {
  const auto shown = static_cast<unsigned long long>(points);
  if (multiplier > 1) {
    std::snprintf(popup.text, sizeof(popup.text), "%u x %llu", multiplier, shown);
  } else {
    std::snprintf(popup.text, sizeof(popup.text), "%llu", shown);
  }
  popup.width = MeasureIn(popup.font, popup.text);
}

void GameHud::AddScorePopup(uint64_t points, const MatchRecord& match) {
  GameHudPopup& popup = StartPopup(popups, nextPopup, kPopupRangeX);
  popup.font = static_cast<uint32_t>(std::clamp(match.colour, 0, static_cast<int>(kLastFont)));
  SetPopupText(popup, points);
}

void GameHud::AddParBonus(uint64_t points) {
  AddMessage("Par bonus!");
  GameHudPopup& popup = StartPopup(popups, nextPopup, kPopupRangeX);
  popup.font = kBannerFont;
  SetPopupText(popup, points);
}

void GameHud::SetMultiplier(uint32_t value) {
  multiplier = value;
  // The slot keeps the font of its last popup.
  GameHudPopup& popup = StartPopup(popups, nextPopup, kPopupRangeX);
  if (value > 1) {
    std::snprintf(popup.text, sizeof(popup.text), "%ux", value);
  } else {
    popup.text[0] = '\0';
  }
  popup.width = MeasureIn(popup.font, popup.text);
}

void GameHud::AddMessage(const char* text) {
  GameHudPopup& popup = StartPopup(banners, nextBanner, 0.0f);
  popup.font = kBannerFont;
  std::snprintf(popup.text, sizeof(popup.text), "%s", text != nullptr ? text : "");
  popup.width = MeasureIn(popup.font, popup.text);
}

void GameHud::AddAchievement(int32_t index) {
  GameHudNotice* notice = nullptr;
  for (int i = kNoticeCount - 1; i >= 0 && notice == nullptr; --i) {
    if (!notices[i].live) notice = &notices[i];
  }
  // The profile keeps the achievement; only its notice is lost.
  if (notice == nullptr) return;
  notice->live = true;
  notice->name = services_ != nullptr ? services_->AchievementName(index) : nullptr;
  CMATManager* materials = CMATManager::GetInstance();
  notice->icon = materials != nullptr ? materials->GetMaterial(kNoticeMaterial) : nullptr;
  // The x channel stays at 240.
  notice->x.Set(AnimChannel::kFallFast, false, kPopupStartX, 0.0f, 0.0f);
  notice->y.Set(AnimChannel::kRiseFast, false, kPopupStartY, kPopupStartY + kNoticeRangeY, kPopupSeconds);
  notice->alpha.Set(AnimChannel::kRiseFast, false, 0.0f, 1.0f, kPopupSeconds);
  notice->delay = stagger;
  stagger += kStaggerSeconds;
}

void GameHud::UpdateTimers(float dt) {
  // With the game over shown everything but the overlay's fade stands still.
  if (!gameOverShown) {
    UpdateCountdown(dt);
    stagger = 0.0f;
    for (uint32_t i = 0; i < kSlotCount; ++i) {
      UpdatePopup(popups[i], dt);
      UpdatePopup(banners[i], dt);
    }
    for (GameHudNotice& notice : notices) UpdateNotice(notice, dt);
    UpdateRainbow(dt);
  }
  if (fadeActive) fade.Update(dt);
}

void GameHud::UpdateCountdown(float dt) {
  if (disc == nullptr || disc->locked || !timersRunning) return;
  if (timeLeft > 0.0f) {
    timeLeft -= dt;
  } else if (timeLeft < 0.0f) {
    // Once, on the update after the countdown passed below zero.
    PostGameMessage(eMSG_GTimerExpired, 0, 0.0);
    timeLeft = 0.0f;
  }
  elapsed += dt;
}

void GameHud::UpdatePopup(GameHudPopup& popup, float dt) {
  if (!popup.Live()) return;
  if (popup.delay > 0.0f) {
    popup.delay -= dt;
  } else if (popup.Arrived()) {
    popup.text[0] = '\0';
  } else {
    popup.x.Update(dt);
    popup.y.Update(dt);
    popup.alpha.Update(dt);
  }
}

void GameHud::UpdateNotice(GameHudNotice& notice, float dt) {
  if (!notice.live) return;
  if (notice.delay > 0.0f) {
    notice.delay -= dt;
    return;
  }
  notice.x.Update(dt);
  notice.y.Update(dt);
  notice.alpha.Update(dt);
  if (!notice.x.Finished() || !notice.y.Finished() || !notice.alpha.Finished()) return;
  if (notice.alpha.curve == AnimChannel::kRiseFast) {
    notice.alpha.Set(AnimChannel::kSmoothFall, false, 0.0f, 1.0f, kNoticeFadeOutSeconds);
  } else {
    notice.live = false;
  }
}

void GameHud::UpdateRainbow(float dt) {
  if (rainbowTime <= 0.0f) return;
  rainbowTime -= dt;
  // The colours step with the clock's frame time, whatever dt the caller passes.
  rainbowStep += Clock::Instance().GetGameDelta();
  if (rainbowStep > kRainbowStepSeconds) {
    rainbowStep = 0.0f;
    rainbowColour = (rainbowColour + 1) % kRainbowColours;
  }
}
