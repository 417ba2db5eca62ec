// The profile view: the profile in use with its achievements and five pages
// of statistics that take turns every ten seconds.

#include "engine/foundation/Clock.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/rules/GameMessages.h"
#include "game/rules/PuzzleGem.h"
#include "game/shell/Achievements.h"
#include "game/shell/GFrontEnd.h"
#include "game/shell/ShellResources.h"

namespace {

constexpr float kValueRight = 390.0f;
constexpr float kPageTop = 180.0f;
constexpr float kRowSpacing = 16.0f;
constexpr float kSmallGlyph = 16.0f;
constexpr float kAchievementsX = 400.0f;
constexpr float kIconTop = 204.0f;
constexpr float kIconSize = 48.0f;
constexpr float kAchievementNameX = 480.0f;
constexpr float kAchievementNameTop = 228.0f;
constexpr int kAchievementRows = 8;
constexpr float kUnearnedAlpha = 0.5f;
constexpr const char* kAchievementMaterial = "AchievementStars";
// "Rainbows" steps its colours this often, through the first seven fonts.
constexpr float kColourStepSeconds = 0.125f;
constexpr uint32_t kRainbowFonts = 7;
constexpr float kPageFadeSeconds = 1.0f;
// The title picture shrunk into the gap between the page's title and its
// headings: its inked part ends above them.
constexpr float kTitlePictureScale = 0.6f;
constexpr float kTitlePictureTop = 50.0f;

constexpr int kRed = kMenuRed;
constexpr int kOrange = kMenuOrange;
constexpr int kYellow = kMenuYellow;
constexpr int kGreen = kMenuGreen;
constexpr int kBlue = kMenuBlue;
constexpr int kBlack = kMenuBlack;

// Writes labels at the pane's edge and values right-aligned at 390.
class PaneWriter {
 public:
  PaneWriter(FrontEndCanvas& canvas, float left) : canvas_(canvas), left_(left) {}
  void Label(int font, const char* text, float y) { canvas_.DrawText(font, text, left_, y); }
  void Value(int font, const char* text, float y) {
    canvas_.DrawText(font, text, kValueRight - canvas_.Measure(font, text), y);
  }
  void Row(int font, const char* label, const char* value, float y) {
    Label(font, label, y);
    Value(font, value, y);
  }
  void Count(int font, const char* label, uint32_t value, float y) {
    Row(font, label, MenuText("%u", value).Chars(), y);
  }

 private:
  FrontEndCanvas& canvas_;
  float left_;
};

String Percent(uint32_t part, uint32_t whole) {
  const float share = whole == 0 ? 0.0f : static_cast<float>(part) / static_cast<float>(whole) * 100.0f;
  return MenuText("%.0f%%", share);
}

void DrawModePage(PaneWriter& pane, const GameProfile& profile, int mode) {
  const ModeStats& stats = profile.modes[mode];
  const String score = MenuText("%08u", stats.score);
  const String level = MenuText("%u", stats.level);
  const String time = MenuText("%s", FormatTimeHHMMSS(stats.timePlayed));
  const String bestLevel = MenuText("%u", profile.bestLevel[mode]);
  const String bestScore = MenuText("%08u", profile.bestScore[mode]);
  if (mode == kModeChallenge) {
    pane.Label(kBlack, "Challenge Mode", 180);
    pane.Label(kBlack, "Current Progress", 212);
    pane.Row(kBlue, "Score", score.Chars(), 244);
    pane.Row(kBlue, "Skill Level", level.Chars(), 260);
    pane.Row(kBlue, "Time Played", time.Chars(), 292);
    pane.Row(kBlue, "Progress", MenuText("%u / %u", stats.discsCompleted, stats.totalStars).Chars(), 324);
    pane.Value(kBlue, Percent(stats.discsCompleted, stats.totalStars).Chars(), 340);
    pane.Row(kBlue, "Stars On Par", MenuText("%u / %u", stats.parCompletions, stats.totalStars).Chars(), 372);
    pane.Value(kBlue, Percent(stats.parCompletions, stats.totalStars).Chars(), 388);
    pane.Label(kBlack, "Best Play", 420);
    pane.Row(kBlue, "Highest Skill", bestLevel.Chars(), 452);
    pane.Row(kBlue, "Highest Score", bestScore.Chars(), 468);
  } else {
    pane.Label(kBlack, "Panic Mode", 180);
    pane.Label(kBlack, "Previous Session", 212);
    pane.Row(kBlue, "Score", score.Chars(), 244);
    pane.Row(kBlue, "Skill", level.Chars(), 260);
    pane.Row(kBlue, "Time Played", time.Chars(), 276);
    pane.Label(kBlack, "Best Play", 308);
    pane.Row(kBlue, "Highest Skill", bestLevel.Chars(), 340);
    pane.Row(kBlue, "Highest Score", bestScore.Chars(), 356);
  }
}

void DrawTypesPage(PaneWriter& pane, const GameProfile& profile) {
  pane.Label(kBlack, "Clearances : Types", kPageTop);
  pane.Count(kBlue, "Gems Cleared", profile.gemsCleared, 212);
  pane.Label(kBlack, "Types", 244);
  for (int type = 0; type < kGemTypeCount; ++type) {
    pane.Count(kBlue, GemTypeNames[type], profile.gemsByType[type], 260 + kRowSpacing * type);
  }
  pane.Label(kBlack, "Type Matches", 356);
  for (int type = 0; type < kGemTypeCount; ++type) {
    pane.Count(kOrange, GemTypeNames[type], profile.typeMatches[type], 372 + kRowSpacing * type);
  }
}

}  // namespace

Rect GFrontEnd::TitlePictureArea() const {
  Rect area;
  if (renderCallback == &GFrontEnd::DrawProfileView) {
    const Vector2 size(kTitlePictureWidth * kTitlePictureScale, kTitlePictureHeight * kTitlePictureScale);
    area.SetPositionSize({(kTitlePictureWidth - size.x) / 2.0f, kTitlePictureTop}, size);
  } else {
    area.SetPositionSize({0.0f, 0.0f}, {kTitlePictureWidth, kTitlePictureHeight});
  }
  return area;
}

void GFrontEnd::DrawProfileView() {
  const GameProfile* profile = CurrentProfile();
  if (profile == nullptr || !canvas_) return;
  FrontEndCanvas& draw = *canvas_;
  if (draw.FontCount() < kBlack + 1) return;
  const SavedFonts saved(draw);

  String title = profile->name;
  title.TrimRight();
  draw.DrawText(kBlack, MenuText("Profile : %s", title.Chars()).Chars(), paneOrigin.x, paneOrigin.y);

  draw.SetGlyphSize(kGreen, {kSmallGlyph, kSmallGlyph});
  draw.SetGlyphSize(kBlack, {kSmallGlyph, kSmallGlyph});
  draw.DrawText(kBlack, "Achievements", kAchievementsX, kPageTop);
  for (int row = 0; row < kAchievementRows; ++row) {
    const int index = scroll + row;
    if (index < 0 || index >= kAchievementCount) break;
    const bool earned = profile->achieved[index] != 0;
    Rect icon;
    icon.SetPositionSize({kAchievementsX, kIconTop + kIconSize * row}, {kIconSize, kIconSize});
    draw.DrawPicture(kAchievementMaterial, icon, earned ? 1.0f : kUnearnedAlpha);
    draw.DrawText(earned ? kGreen : kBlack, AchievementName(index), kAchievementNameX,
                  kAchievementNameTop + kIconSize * row);
  }

  for (int font = 0; font < draw.FontCount(); ++font) {
    draw.SetGlyphSize(font, {kSmallGlyph, kSmallGlyph});
    draw.SetAlpha(font, pageChannel.output);
  }
  PaneWriter pane(draw, paneOrigin.x);
  switch (pageIndex) {
    case 0:
      DrawProfileStatistics(draw, *profile);
      break;
    case 1:
      DrawProfileClearances(draw, *profile);
      break;
    case 2:
      DrawTypesPage(pane, *profile);
      break;
    case 3:
      DrawModePage(pane, *profile, kModeChallenge);
      break;
    case 4:
      DrawModePage(pane, *profile, kModePanic);
      break;
    default:
      break;
  }
}

void GFrontEnd::DrawProfileStatistics(FrontEndCanvas& draw, const GameProfile& profile) {
  PaneWriter pane(draw, paneOrigin.x);
  pane.Label(kBlack, "Statistics", kPageTop);
  const uint32_t counters[] = {profile.cascades,       profile.stars,      profile.parStars,
                               profile.constellations, profile.panicStars, profile.rainbows};
  constexpr int kRainbowsRow = 5;
  for (int row = 0; row < 6; ++row) {
    const float y = 212 + kRowSpacing * row;
    if (row != kRainbowsRow) {
      pane.Label(kBlue, ProfileCounterNames[row], y);
    } else {
      // Each letter in the next colour, the first one stepping with time.
      float x = paneOrigin.x;
      uint32_t font = cycleColour % kRainbowFonts;
      for (const char* letter = ProfileCounterNames[row]; *letter != '\0'; ++letter) {
        const char text[2] = {*letter, '\0'};
        draw.DrawText(static_cast<int>(font), text, x, y);
        x += draw.Measure(static_cast<int>(font), text);
        font = (font + 1) % kRainbowFonts;
      }
    }
    pane.Value(kBlue, MenuText("%u", counters[row]).Chars(), y);
  }
  colourTimer += Clock::Instance().GetGameDelta();
  if (colourTimer > kColourStepSeconds) {
    colourTimer = 0.0f;
    cycleColour = (cycleColour + 1) % kRainbowFonts;
  }

  pane.Label(kBlack, "Ratings", 324);
  const uint32_t ratings[] = {profile.excellence, profile.skillfulCascades, profile.masterfulCascades};
  const int ratingFonts[] = {kRed, kOrange, kYellow};
  for (int row = 0; row < 3; ++row) {
    pane.Count(ratingFonts[row], ProfileCounterNames[6 + row], ratings[row], 356 + kRowSpacing * row);
  }
}

void GFrontEnd::DrawProfileClearances(FrontEndCanvas& draw, const GameProfile& profile) {
  PaneWriter pane(draw, paneOrigin.x);
  pane.Label(kBlack, "Clearances : Colours", kPageTop);
  pane.Count(kBlack, "Gems Cleared", profile.gemsCleared, 212);
  for (int colour = 0; colour < kGemColourCount; ++colour) {
    // Black and gold have no font of their own.
    const int font = colour <= kBlack ? colour : kBlack;
    pane.Count(font, GemColourNames[colour], profile.gemsByColour[colour], 244 + kRowSpacing * colour);
  }
}

// ---- the state ----

void GFrontEnd::OnEnterViewProfileFSM() {
  renderCallback = &GFrontEnd::DrawProfileView;
  currentMenu = nullptr;
  escapeState = &fsmProfilesMenu;
  ClearHelpLines();
  helpLine2 = "ANY KEY TO RETURN";
  pageIndex = 0;
  scroll = 0;
  RestartChannel(pageChannel, AnimChannel::kRiseFast, 0.0f, 1.0f, kPageFadeSeconds);
  FadeIn();
  // One page timer: a visit shortly after the last would otherwise add a second.
  GetGEMMSGService()->CancelMessages(ownId, eMSG_GNextProfileDisplay);
  PostToSelf(eMSG_GNextProfileDisplay, kProfilePageSeconds);
}

void GFrontEnd::OnUpdateViewProfileFSM() {
  const float step = Clock::Instance().GetGameDelta();
  fadeChannel.Update(step);
  if (overlayActive) overlayChannel.Update(step);
  pageChannel.Update(step);
  if (pageChannel.curve == AnimChannel::kFallFast && pageChannel.Finished()) {
    pageIndex = (pageIndex + 1) % kProfilePages;
    RestartChannel(pageChannel, AnimChannel::kRiseFast, 0.0f, 1.0f, kPageFadeSeconds);
  }
}

void GFrontEnd::ViewProfileFSM(CMSGMessage* message) {
  if (message->handled & 1) return;
  switch (message->id) {
    case eMSG_GNextProfileDisplay:
      RestartChannel(pageChannel, AnimChannel::kFallFast, 0.0f, 1.0f, kPageFadeSeconds);
      PostToSelf(eMSG_GNextProfileDisplay, kProfilePageSeconds);
      break;
    case eMSG_Next:
      if (scroll < kMaxScroll) ++scroll;
      break;
    case eMSG_Previous:
      if (scroll > 0) --scroll;
      break;
    case eMSG_Select:
      PlayMenuSound(eMSG_AGUI_PlayMenuSelect);
      break;
    case eMSG_Escape:
      FadeToMenu(escapeState, kFadeSeconds);
      break;
    case eMSG_GChangeState:
      if (fadeTarget != nullptr) RequestState(fadeTarget);
      fadeTarget = nullptr;
      break;
    default:
      return;
  }
  message->handled |= 1;
}
