// The HUD's drawing, in the 800 x 600 screen with y downward. Labels and
// values are right-aligned at 800 - width; values at their font's own size
// stand at 808 - width, since a glyph is centred on the pen: both end at 792.

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/RenderState.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/GameProfile.h"
#include "game/puzzle/GlyphText.h"
#include "game/rules/PuzzleDisc.h"

namespace {

constexpr float kRightEdge = 800.0f;
constexpr float kValueEdge = 808.0f;
constexpr float kLabelSize = 16.0f;
constexpr uint32_t kLabelFont = 7;
constexpr uint32_t kLastFont = 7;
// Untextured, blended: the overlay and the bars.
constexpr GFXRenderFlags kFlatBlended = 0x104;
constexpr float kNameAlpha = 0.95f;
constexpr float kNoticeIconSize = 64.0f;
constexpr float kNoticeTextOffset = 48.0f;
constexpr float kNoticeTextSize = 24.0f;
constexpr uint32_t kNoticeFont = 3;
// A popup's left edge never goes further left than this.
constexpr float kPopupMinimumX = 32.0f;
constexpr float kRainbowSize = 64.0f;
constexpr float kRainbowCentreX = 286.0f;
constexpr float kRainbowY = 300.0f;
constexpr float kRainbowSeconds = 4.0f;
constexpr uint32_t kRainbowColours = 7;
// The countdown blinks from this many seconds down.
constexpr float kBlinkSeconds = 11.0f;
constexpr float kBarsTop = 420.0f;
constexpr float kBarSpacing = 10.0f;
constexpr float kBarRight = 760.0f;
constexpr float kBarLength = 150.0f;
constexpr float kBarWidth = 10.0f;
constexpr float kBarTextX = 768.0f;
constexpr float kBarTextSize = 8.0f;
// The game-over lines, centred on the screen in rows 64 apart.
constexpr float kCentreX = 400.0f;
constexpr float kGameOverY = 268.0f;
constexpr float kReasonY = 332.0f;
constexpr float kSaveWarningY = 396.0f;
// The reason's row holds nothing else: it may take the screen's width but
// this margin on each side.
constexpr float kReasonMargin = 8.0f;
// The counters, the game clock and the colour bars keep right of this. The
// save warning's row meets the game clock, so the warning keeps to the
// column between 800 - this and this.
constexpr float kRightColumnLeft = 600.0f;
constexpr float kSaveWarningSize = 16.0f;

constexpr float kBarColours[kGemColourCount][4] = {
    {1.0f, 0.0f, 0.0f, 0.75f}, {1.0f, 0.5f, 0.0f, 0.75f}, {1.0f, 1.0f, 0.0f, 0.75f}, {0.0f, 1.0f, 0.0f, 0.75f},
    {0.0f, 1.0f, 1.0f, 0.75f}, {0.0f, 0.0f, 1.0f, 0.75f}, {1.0f, 0.0f, 1.0f, 0.75f}, {0.0f, 0.0f, 0.0f, 0.75f},
    {1.0f, 1.0f, 1.0f, 0.75f}, {0.75f, 0.5f, 0.0f, 1.0f},
};

float Width(uint32_t font, const char* text, std::optional<float> size = std::nullopt) {
  const GlyphText* glyphs = GlyphFont(font);
  return glyphs != nullptr ? glyphs->Measure(text, size) : 0.0f;
}

void Text(uint32_t font, const char* text, float x, float y, const GlyphStyle& style) {
  if (GlyphText* glyphs = GlyphFont(font)) glyphs->DrawAt(text, x, y, style);
}

// Right-aligned at edge - width; returns x.
float TextRight(uint32_t font, const char* text, float edge, float y, const GlyphStyle& style) {
  const float x = edge - Width(font, text, style.size);
  Text(font, text, x, y, style);
  return x;
}

void Label(const char* text, float y) { TextRight(kLabelFont, text, kRightEdge, y, {kLabelSize, 1.0f}); }

void TextCentred(uint32_t font, const char* text, float centreX, float y, const GlyphStyle& style) {
  Text(font, text, centreX - Width(font, text, style.size) / 2.0f, y, style);
}

// The largest size up to the wanted one at which the text, centred on
// x = 400, covers no more than [left, right] as it is drawn.
float SizeToFit(uint32_t font, const char* text, float wanted, float left, float right) {
  const GlyphText* glyphs = GlyphFont(font);
  if (glyphs == nullptr || text == nullptr || *text == '\0') return wanted;
  // A centred text grows about the centre in proportion to its size, so its
  // box at one size gives the size that meets a bound.
  const Rect box = glyphs->DrawnBox(text, kCentreX - glyphs->Measure(text, wanted) / 2.0f, 0.0f, wanted);
  float scale = 1.0f;
  if (box.min.x < left) scale = std::min(scale, (kCentreX - left) / (kCentreX - box.min.x));
  if (box.max.x > right) scale = std::min(scale, (right - kCentreX) / (box.max.x - kCentreX));
  return wanted * scale;
}

// The countdown's colour by the seconds left.
uint32_t CountdownFont(float secondsLeft) {
  if (secondsLeft >= 30.0f) return 3;
  if (secondsLeft >= 10.0f) return 2;
  if (secondsLeft >= 5.0f) return 1;
  return 0;
}

}  // namespace

void GameHud::DrawContents() {
  DrawNames();
  DrawCounters();
  DrawPopups();
  DrawNotices();
  if (fadeActive) {
    GFXDisplay::SetRenderState(kFlatBlended);
    glColor4f(0.0f, 0.0f, 0.0f, fade.output);
    GFXDisplay::DrawRect(Vector2(0.0f, 0.0f), Vector2(GFXDisplay::kOverlayWidth, GFXDisplay::kOverlayHeight));
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  }
  DrawGameOver();
  DrawRainbow();
  DrawColourBars();
}

void GameHud::DrawNames() {
  if (profile != nullptr) TextRight(kLabelFont, profile->name.Chars(), kRightEdge, 538.5f, {{}, kNameAlpha});
  if (!constellationName.IsEmpty()) {
    TextRight(kLabelFont, constellationName.Chars(), kRightEdge, 576.0f, {{}, kNameAlpha});
  }
}

void GameHud::DrawCounters() {
  const bool challenge = profile == nullptr || profile->mode != kModePanic;
  const ModeStats* stats = profile != nullptr ? &profile->Current() : nullptr;
  char text[48];

  Label("Score", 26.0f);
  std::snprintf(text, sizeof(text), "%08u", stats != nullptr ? stats->score : 0u);
  const float scoreX = TextRight(1, text, kValueEdge, 51.0f, {{}, kNameAlpha});
  if (multiplier > 1) {
    std::snprintf(text, sizeof(text), "%u*", multiplier);
    Text(0, text, scoreX - 1.5f * Width(0, text, kLabelSize), 51.0f, {kLabelSize, 1.0f});
  }

  Label("Star", 88.5f);
  if (challenge) {
    std::snprintf(text, sizeof(text), "%03u / %03u", (stats != nullptr ? stats->discIndex : 0u) + 1, totalStars);
  } else {
    std::snprintf(text, sizeof(text), "%03u", profile->modes[kModePanic].discsCompleted + 1);
  }
  TextRight(5, text, kRightEdge, 113.5f, {kLabelSize, 1.0f});

  Label("Level", 138.5f);
  std::snprintf(text, sizeof(text), "%03u", (stats != nullptr ? stats->level : 0u) + 1);
  TextRight(4, text, kRightEdge, 163.5f, {kLabelSize, 1.0f});

  if (timeLeft > 0.0f) {
    Label(challenge ? "Par Time" : "Time Left", 196.0f);
    // Near the end the digits blink: shown in the upper half of each second.
    if (timeLeft > kBlinkSeconds || timeLeft - std::floor(timeLeft) > 0.5f) {
      const int seconds = static_cast<int>(timeLeft);
      std::snprintf(text, sizeof(text), "%02d:%02d", seconds / 60, seconds % 60);
      TextRight(CountdownFont(timeLeft), text, kValueEdge, 221.0f, {{}, 1.0f});
    }
  }

  Label("Game Time", 372.0f);
  const long played = elapsed > 0.0f ? static_cast<long>(elapsed) : 0;
  std::snprintf(text, sizeof(text), "%02ld:%02ld:%02ld", played / 3600, played / 60 % 60, played % 60);
  TextRight(2, text, kValueEdge, 397.0f, {24.0f, 1.0f});
}

void GameHud::DrawPopups() {
  for (uint32_t i = 0; i < kSlotCount; ++i) {
    for (const GameHudPopup* popup : {&popups[i], &banners[i]}) {
      if (!popup->Live() || popup->Arrived()) continue;
      float x = popup->x.output - popup->width / 2.0f;
      if (x < kPopupMinimumX) x = kPopupMinimumX;
      Text(popup->font, popup->text, x, popup->y.output, {{}, popup->alpha.output});
    }
  }
}

void GameHud::DrawNotices() {
  for (const GameHudNotice& notice : notices) {
    if (!notice.live) continue;
    const float x = notice.x.output;
    const float y = notice.y.output;
    if (notice.icon != nullptr) {
      Rect square;
      square.SetCentreSize(Vector2(x, y), kNoticeIconSize, kNoticeIconSize);
      // The picture upright: its top row (v = 1 once rows are flipped on load) at the top.
      const Rect whole{{0.0f, 1.0f}, {1.0f, 0.0f}, {0.5f, 0.5f}};
      GFXDisplay::SetMaterial(notice.icon);
      const int passes = GFXDisplay::PassCount(notice.icon);
      for (int pass = 0; pass < passes; ++pass) {
        GFXDisplay::BindMaterialStage(pass);
        GFXDisplay::DrawTexturedRect2D(square, whole);
      }
    }
    if (notice.name != nullptr) {
      Text(kNoticeFont, notice.name, x + kNoticeTextOffset, y, {kNoticeTextSize, notice.alpha.output});
    }
  }
}

void GameHud::DrawGameOver() {
  if (!gameOverShown) return;
  TextCentred(kLabelFont, "Game Over", kCentreX, kGameOverY, {{}, 1.0f});
  // A reason too wide for the screen is written smaller rather than cut.
  const GlyphText* labelFont = GlyphFont(kLabelFont);
  const float reasonWanted = labelFont != nullptr ? labelFont->glyphSize.x : GlyphText::kDefaultSize;
  const float reasonSize =
      SizeToFit(kLabelFont, reason.Chars(), reasonWanted, kReasonMargin, kRightEdge - kReasonMargin);
  const std::optional<float> reasonStyle = reasonSize < reasonWanted ? std::optional<float>(reasonSize) : std::nullopt;
  TextCentred(kLabelFont, reason.Chars(), kCentreX, kReasonY, {reasonStyle, 1.0f});
  if (saveWarning.IsEmpty()) return;
  const float warningSize =
      SizeToFit(kLabelFont, saveWarning.Chars(), kSaveWarningSize, kRightEdge - kRightColumnLeft, kRightColumnLeft);
  TextCentred(kLabelFont, saveWarning.Chars(), kCentreX, kSaveWarningY, {warningSize, 1.0f});
}

void GameHud::DrawRainbow() {
  if (rainbowTime <= 0.0f) return;
  const char* word = "Rainbow";
  const GlyphStyle style{kRainbowSize, rainbowTime / kRainbowSeconds};
  float x = kRainbowCentreX - Width(0, word, kRainbowSize) / 2.0f;
  uint32_t font = rainbowColour % kRainbowColours;
  for (const char* c = word; *c != '\0'; ++c) {
    const char letter[2] = {*c, '\0'};
    Text(font, letter, x, kRainbowY, style);
    x += Width(font, letter, kRainbowSize);
    font = (font + 1) % kRainbowColours;
  }
}

void GameHud::DrawColourBars() {
  if (disc == nullptr) return;
  float y = kBarsTop;
  char text[16];
  for (int colour = 0; colour < kGemColourCount; ++colour) {
    const float share = disc->colourShares[colour];
    if (!(share > 0.0f)) continue;
    GFXDisplay::SetRenderState(kFlatBlended);
    glColor4fv(kBarColours[colour]);
    GFXDisplay::DrawLine(Vector3(kBarRight - kBarLength * share, y, 0.0f), Vector3(kBarRight, y, 0.0f), kBarWidth);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    std::snprintf(text, sizeof(text), "%2.f%%", share * 100.0f);
    const uint32_t font = colour < static_cast<int>(kLastFont) ? static_cast<uint32_t>(colour) : kLastFont;
    Text(font, text, kBarTextX, y, {kBarTextSize, 1.0f});
    y += kBarSpacing;
  }
}
