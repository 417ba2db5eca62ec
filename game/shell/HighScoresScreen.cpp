#include "game/shell/HighScoresScreen.h"

#include <cstdio>

#include "engine/foundation/AnimChannel.h"
#include "engine/graphics/TextureManager.h"
#include "engine/runtime/messages/MSGMessage.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/shell/GFrontEnd.h"
#include "game/shell/IntroScreens.h"
#include "game/shell/ShellDrawing.h"
#include "game/shell/ShellResources.h"

namespace {

constexpr int kRowFonts[kHighScoresPerTable] = {-1, 0, 1, 2, 3, 4, 5, 6, 5, 4};
constexpr float kRowGlyph = 24.0f;
constexpr int32_t kPingPong = 3;

}  // namespace

int32_t DrawGalacticBackdrop(Game& game) {
  if (game.galacticPlane != nullptr) game.galacticPlane->Draw();
  return 0;
}

HighScoresScreen::HighScoresScreen(ShellContext& context) : ShellScreen(context, ShellState::HighScores) {}

void HighScoresScreen::Enter() {
  game_.SetHUDCallback([this](int32_t) {
    Draw();
    return 0;
  });
  Game& owner = game_;
  game_.SetSceneCallback([&owner](int32_t) { return DrawGalacticBackdrop(owner); });
  mode_ = 0;
  CTEXManager::GetInstance()->GetTexture(String(kFrontEndBackground));
  game_.galacticPlane = MakeGalacticPlane();
  game_.highScoreChannel.Set(AnimChannel::kSmoothRise, false, 0.0f, 1.0f, kPageFadeSeconds);
  colourCycle_.Set(kPingPong, 0.0f, 6.0f, 0.0f, kCycleRate);
  game_.FadeIn(kFadeMusicAndScreen, kFadeSeconds);
  CancelGameMessages(eMSG_Next);
  PostToGame(eMSG_Next, 0, kTableSeconds);
}

void HighScoresScreen::Update() {
  const float dt = FrameSeconds();
  if (game_.galacticPlane != nullptr) game_.galacticPlane->Update(dt);
  AnimChannel& fade = game_.highScoreChannel;
  fade.Update(dt);
  colourCycle_.Step(kCycleRate * dt);
  if (fade.curve == AnimChannel::kSmoothFall && fade.Finished()) {
    mode_ = mode_ == 0 ? 1 : 0;
    fade.Set(AnimChannel::kSmoothRise, false, 0.0f, 1.0f, kPageFadeSeconds);
    PostToGame(eMSG_Next, 0, kTableSeconds);
  }
}

bool HighScoresScreen::OnMessage(CMSGMessage& message) {
  if (message.id == eMSG_Next) {
    if (mode_ == 1 && game_.showHighScoresAsAttract) {
      game_.FadeToState(kFadeMusicAndScreen, game_.State(GameStateId::FrontEnd), kFadeSeconds);
    } else {
      // The fall curve runs from start + range down to start: 1 to 0.
      RestartChannel(game_.highScoreChannel, AnimChannel::kSmoothFall, 0.0f, 1.0f, kPageFadeSeconds);
    }
    return true;
  }
  if (IsKeyOrPadPress(message)) {
    game_.FadeToState(kFadeMusicAndScreen, game_.State(GameStateId::FrontEnd), kFadeSeconds);
    return true;
  }
  return false;
}

void HighScoresScreen::Exit() {
  CancelGameMessages(eMSG_Next);
  game_.galacticPlane.reset();
  StopAudioLayer(2);
}

void HighScoresScreen::Draw() {
  if (!CanDraw()) return;
  const CTEXTexture* background = CTEXManager::GetInstance()->GetTexture(String(kFrontEndBackground));
  shell_draw::Picture(background, 0.0f, 0.0f, 800.0f, 272.0f);
  const float alpha = game_.highScoreChannel.output;
  DrawGemText(7, "Highscores", 400.0f, 200.0f, 1.0f);
  if (mode_ == 0) {
    DrawGemText(4, "Challenge Mode", 400.0f, 236.0f, alpha, kRowGlyph);
  } else {
    DrawGemText(6, "Panic Mode", 400.0f, 236.0f, alpha, kRowGlyph);
  }
  DrawGemTextAt(0, "Rank", 24.0f, 278.0f, 1.0f, kRowGlyph);
  DrawGemTextAt(1, "Name", 128.0f, 278.0f, 1.0f, kRowGlyph);
  DrawGemTextAt(2, "Score", 476.0f, 278.0f, 1.0f, kRowGlyph);
  DrawGemTextAt(3, "Stars", 680.0f, 278.0f, 1.0f, kRowGlyph);
  const int cycleFont = static_cast<int>(colourCycle_.GetValue());
  for (int row = 0; row < kHighScoresPerTable; ++row) {
    const HighScoreEntry& entry = game_.highScores[mode_][row];
    const int font = row == 0 ? cycleFont : kRowFonts[row];
    const float y = 302.0f + kRowGlyph * static_cast<float>(row);
    char text[32];
    std::snprintf(text, sizeof(text), "%d", row + 1);
    DrawGemText(font, text, 60.0f, y, alpha, kRowGlyph);
    DrawGemTextAt(font, entry.name.Chars(), 128.0f, y, alpha, kRowGlyph);
    std::snprintf(text, sizeof(text), "%08u", entry.score);
    DrawGemTextAt(font, text, 476.0f, y, alpha, kRowGlyph);
    std::snprintf(text, sizeof(text), "%03u", entry.stars);
    DrawGemTextAt(font, text, 704.0f, y, alpha, kRowGlyph);
  }
  DrawGemText(1, "PRESS ANY KEY TO RETURN TO THE MAIN MENU", 400.0f, 568.0f, 1.0f, 16.0f);
}
