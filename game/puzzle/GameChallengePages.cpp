// The Challenge's pages between games: "Well Done!" after every
// constellation but the last, and the picture that closes the Challenge.

#include <GL/gl.h>

#include <optional>

#include "engine/foundation/Clock.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureManager.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/Challenge.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GlyphText.h"
#include "game/rules/GameMessages.h"

namespace {

constexpr float kFadeSeconds = 1.0f;
constexpr float kPictureFadeSeconds = 0.5f;
// The finished constellation grows in beside the galaxy.
constexpr float kFinishedSize = 4.0f;
const Vector3 kFinishedPlace(-5.0f, 0.0f, 0.0f);
constexpr GFXRenderFlags kPictureState = 0x8C;
// The "Well Done!" page darkens the galaxy behind its text.
constexpr GFXRenderFlags kDarkenState = 0x184;
constexpr float kDarkenAlpha = 0.5f;

// One centred line of the "Well Done!" page in a glyph font.
struct ProgressLine {
  const char* text;
  uint32_t font;
  std::optional<float> size;  // the font's own glyph size when unset
  float y;
};

}  // namespace

void Game::OnEnterChallengeProgressFSM() {
  SetHUDCallback([this](int32_t value) { return DrawProgressPage(value); });
  SetSceneCallback([this](int32_t value) { return DrawProgressScene(value); });
  if (!galacticPlane) galacticPlane = MakeGalacticPlane(kConstellationListPath);
  if (Constellation* finished = FinishedConstellation()) {
    std::vector<Constellation>& constellations = galacticPlane->constellations;
    const size_t index = static_cast<size_t>(finished - constellations.data());
    for (size_t i = 0; i < index; ++i) constellations[i].completed = constellations[i].starCount;
    galacticPlane->current = static_cast<int32_t>(index);
    finished->completed = finished->starCount;
    finished->size = Vector3();
    finished->targetSize = Vector3(kFinishedSize, 0.0f, kFinishedSize);
  }
  SetupPuzzleCamera();
  FadeIn(kFadeMusicAndScreen, kFadeSeconds);
}

void Game::OnUpdateChallengeProgressFSM() {
  if (galacticPlane == nullptr) return;
  galacticPlane->Update(Clock::Instance().IsPaused() ? 0.0f : Clock::Instance().GetGameDelta());
}

void Game::ChallengeProgressFSM(CMSGMessage* message) {
  if (SharedMessageFSM(message) || PressPostsNext(message) || message->id != eMSG_Next) return;
  // The next constellation's board.
  FadeToState(kFadeMusicAndScreen, State(GameStateId::ChallengeGame), kFadeSeconds);
  message->handled |= 1;
}

bool Game::PressPostsNext(CMSGMessage* message) {
  if (message->id != eMSG_UIOKEYDOWN && message->id != eMSG_UIOPADDOWN) return false;
  PostGameMessageTo(receiverId, receiverId, eMSG_Next, 0, 0.0);
  message->handled |= 1;
  return true;
}

void Game::OnExitChallengeProgressFSM() { galacticPlane.reset(); }

Constellation* Game::FinishedConstellation() const {
  if (galacticPlane == nullptr || !profile) return nullptr;
  // The profile already points at the constellation after the finished one.
  const uint32_t next = profile->modes[kModeChallenge].constellationIndex;
  std::vector<Constellation>& constellations = galacticPlane->constellations;
  if (next == 0 || next > constellations.size()) return nullptr;
  return &constellations[next - 1];
}

int32_t Game::DrawProgressPage(int32_t) {
  if (!CanDraw()) return 0;
  GFXDisplay::SetRenderState(kDarkenState);
  glColor4f(0.0f, 0.0f, 0.0f, kDarkenAlpha);
  GFXDisplay::DrawRect(Vector2(0.0f, 0.0f), Vector2(GFXDisplay::kOverlayWidth, GFXDisplay::kOverlayHeight));
  if (galacticPlane == nullptr) return 0;
  const Constellation* finished = FinishedConstellation();
  const ProgressLine lines[] = {
      {"Well Done!", 6, {}, 64.0f},
      {"You have completed", 3, {}, 128.0f},
      {"the constellation of", 3, {}, 168.0f},
      {finished != nullptr ? finished->name.Chars() : "", 2, 64.0f, 296.0f},
      {"Press any key to continue", 1, 16.0f, 536.0f},
  };
  for (const ProgressLine& line : lines) {
    GlyphText* font = GlyphFont(line.font);
    if (font == nullptr) continue;
    const GlyphStyle style{line.size, 1.0f};
    const float width = font->Measure(line.text, line.size);
    font->DrawAt(line.text, GFXDisplay::kOverlayWidth / 2 - width / 2, line.y, style);
  }
  return 0;
}

int32_t Game::DrawProgressScene(int32_t) {
  if (!CanDraw() || galacticPlane == nullptr) return 0;
  galacticPlane->Draw();
  Constellation* finished = FinishedConstellation();
  if (finished == nullptr) return 0;
  // Off the ring, beside the galaxy's centre, its middle at the spot.
  glPushMatrix();
  glTranslatef(kFinishedPlace.x, kFinishedPlace.y, kFinishedPlace.z);
  finished->viewCentre = finished->panStart = Vector3(kFinishedSize, 0.0f, kFinishedSize) * 0.5f;
  finished->Draw(false);
  glPopMatrix();
  return 0;
}

void Game::OnEnterChallengeCompletedFSM() {
  SetHUDCallback([this](int32_t value) { return DrawCompletedPicture(value); });
  SetSceneCallback(&Game::DrawNothing);
  // The on-par picture when every disc of the Challenge was finished on par.
  const ModeStats* challenge = profile ? &profile->modes[kModeChallenge] : nullptr;
  const bool onPar = challenge != nullptr && challenge->parCompletions == challenge->totalStars;
  CTEXManager* textures = CTEXManager::GetInstance();
  completedPicture =
      textures->GetTextureByFileName(onPar ? kChallengeCompletedOnParPicture : kChallengeCompletedPicture);
  textures->LoadQueued(false);
  FadeIn(kFadeMusicAndScreen, kPictureFadeSeconds);
}

void Game::OnExitChallengeCompletedFSM() {
  CTEXManager::GetInstance()->Release(completedPicture);
  completedPicture = nullptr;
}

int32_t Game::DrawCompletedPicture(int32_t) {
  if (completedPicture == nullptr || !CanDraw()) return 0;
  GFXDisplay::SetRenderState(kPictureState);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  GFXDisplay::BindTexture(completedPicture);
  GFXDisplay::DrawTexturedRect(Vector2(0.0f, 0.0f), Vector2(GFXDisplay::kOverlayWidth, GFXDisplay::kOverlayHeight));
  return 0;
}
