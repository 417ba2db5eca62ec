#include "game/shell/CreditsScreen.h"

#include "engine/graphics/GFXDisplay.h"
#include "engine/runtime/messages/MSGMessage.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/Game.h"
#include "game/shell/IntroScreens.h"
#include "game/shell/ShellDrawing.h"

namespace {

constexpr float kCentreX = 400.0f;
constexpr float kRuleLeft = 200.0f;
constexpr float kRuleRight = 600.0f;
constexpr float kGrey[4] = {0.5f, 0.5f, 0.5f, 0.5f};
constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

void PrintCentred(int32_t font, const String& text, float y) {
  // No font, no text (the engine would fall back to its own font).
  if (font < 0) return;
  const int width = GFXDisplay::GetTextWidth(font, text.Chars());
  GFXDisplay::PrintAt(font, text.Chars(), static_cast<int>(kCentreX) - width / 2, static_cast<int>(y));
}

}  // namespace

CreditsScreen::CreditsScreen(ShellContext& context) : ShellScreen(context, ShellState::Credits) {}

void CreditsScreen::Enter() {
  game_.SetHUDCallback([this](int32_t) {
    Draw();
    return 0;
  });
  game_.SetSceneCallback(&Game::DrawNothing);
  game_.FadeIn(kFadeMusicAndScreen, kFadeSeconds);
  if (lines_.empty()) lines_ = ReadCreditsLines(kFileName);
  scroll_ = kStartOffset;
  PostToGame(eMSG_Next, 0, kShowSeconds);
}

void CreditsScreen::Update() { scroll_ -= kRisePerSecond * FrameSeconds(); }

bool CreditsScreen::OnMessage(CMSGMessage& message) {
  if (message.id == eMSG_Next) {
    game_.FadeToState(kFadeMusicAndScreen, game_.State(GameStateId::FrontEnd), kFadeSeconds);
    return true;
  }
  if (IsKeyOrPadPress(message)) {
    // Ends the page the way its timer does.
    PostToGame(eMSG_Next, 0, 0.0);
    return true;
  }
  return false;
}

void CreditsScreen::Exit() {
  StopAudioLayer(2);
  lines_.clear();
  lines_.shrink_to_fit();
}

void CreditsScreen::Draw() const {
  if (!CanDraw()) return;
  const std::vector<CreditsItem> items =
      LayoutCredits(lines_, GFXDisplay::GetFontHeight(shell_.textFont), GFXDisplay::GetFontHeight(shell_.titleFont));
  for (const CreditsItem& item : items) {
    const float y = item.y + scroll_;
    switch (item.kind) {
      case CreditsKind::Title:
        PrintCentred(shell_.titleFont, item.text, y);
        break;
      case CreditsKind::Text:
        PrintCentred(shell_.textFont, item.text, y);
        break;
      case CreditsKind::Rule:
        shell_draw::Line(kRuleLeft, kRuleRight, y - 7.0f, kGrey);
        shell_draw::Line(kRuleLeft, kRuleRight, y - 8.0f, kWhite);
        shell_draw::Line(kRuleLeft, kRuleRight, y - 9.0f, kGrey);
        break;
      default:
        break;
    }
  }
}
