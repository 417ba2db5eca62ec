// The Challenge story: ten captioned pages over the galaxy backdrop. The
// galaxy appears and grows, the constellations take shape, then their stars
// go out one by one before the first Challenge game.

#include <GL/gl.h>
#include <strings.h>

#include <cmath>
#include <cstring>

#include "engine/foundation/Clock.h"
#include "engine/foundation/Maths.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/Challenge.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/rules/GameMessages.h"

namespace {

constexpr const char* kStoryLines[kStoryPageCount] = {
    "A Beginning is alway such a dark time...",
    "Before the first dawn there was only a silent void.",
    "Then a single spark broke the dark, and there was light.",
    "The light gathered, and from it a galaxy was born.",
    "It spread its arms wide across the heavens.",
    "Its brightest stars were set in shapes: the constellations.",
    "For an age the constellations shone over all things.",
    "Then a hunger woke in the dark between the stars.",
    "One by one it swallowed their stars, until none remained.",
    "Only you can rebuild the constellations, star by star.",
};

// The first line waits for the backdrop to settle.
constexpr double kFirstLineDelaySeconds = 2.0;
// A line that has faded in stays this long unless a key moves on.
constexpr double kLineHoldSeconds = 4.0;
constexpr float kFadeSeconds = 1.0f;
constexpr float kBandAlpha = 0.5f;
// Page 3 shows the galaxy at once, tiny; page 4 grows it to full size.
constexpr float kGalaxySeedRadius = 0.00125f;
constexpr float kGalaxyFullRadius = 50.0f;
constexpr float kGalaxyGrowthSeconds = 4.0f;
constexpr float kConstellationSize = 15.0f;
// One star goes out this often on page 8.
constexpr double kKillStarSeconds = 0.125;
// The pages that change the galaxy.
constexpr int kPageGalaxyAppears = 3;
constexpr int kPageGalaxyGrows = 4;
constexpr int kPageConstellationsForm = 5;
constexpr int kPageStarsDie = 8;
// The black band behind the line, and where the line is written.
constexpr float kBandTop = 565.0f;
constexpr int kLineX = 16;
constexpr int kLineY = 575;
constexpr GFXRenderFlags kBandColourState = 0x8C;
constexpr GFXRenderFlags kBandState = 0x124;
// The font the story is written in (the loading screen loads it).
constexpr const char* kStoryFontName = "Arial21";

// The index of the loaded font of that base name, or -1 (the default font).
int FindFontNamed(const char* baseName) {
  const size_t length = std::strlen(baseName);
  for (int i = 0; i < GFXDisplay::GetFontCount(); ++i) {
    const GFXFont* font = GFXDisplay::GetFont(i);
    if (font == nullptr) continue;
    const char* name = font->name.Chars();
    const size_t nameLength = std::strlen(name);
    if (nameLength < length || strcasecmp(name + nameLength - length, baseName) != 0) continue;
    if (nameLength == length || name[nameLength - length - 1] == '/') return i;
  }
  return -1;
}

}  // namespace

const char* StoryLine(int page) { return page >= 0 && page < kStoryPageCount ? kStoryLines[page] : ""; }

void Game::OnEnterChallengeStoryFSM() {
  SetHUDCallback([this](int32_t value) { return DrawStoryText(value); });
  SetSceneCallback([this](int32_t value) { return DrawStoryScene(value); });
  storyPage = 0;
  storyTextVisible = false;
  storyAdvancePending = false;

  galacticPlane = MakeGalacticPlane(kConstellationListPath);
  CMATManager::GetInstance()->ReadNeededLibrary(kChallengeMaterialsPath);
  for (Constellation& constellation : galacticPlane->constellations) {
    constellation.size = Vector3();
    constellation.targetSize = Vector3();
    // All but one star lit; a constellation without stars has none to light.
    constellation.completed = constellation.starCount > 0 ? constellation.starCount - 1 : 0;
  }

  // The story is watched from the galaxy's centre, looking at the first
  // place of the constellations' ring.
  SetupPuzzleCamera();
  puzzleCamera.SetPosition(Vector3());
  AimStoryCamera(Vector3(0.0f, 1.0f, 0.0f));

  storyChannels[kStoryBandAlpha].Set(AnimChannel::kRiseFast, false, 0.0f, kBandAlpha, kFadeSeconds);
  storyChannels[kStoryTextAlpha].Set(AnimChannel::kRiseFast, false, 0.0f, 1.0f, kFadeSeconds);
  // The galaxy's growth goes on from where it stands.
  const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  GetDisplay()->SetClearColour(black);

  PostGameMessageTo(receiverId, receiverId, eMSG_Next, 0, kFirstLineDelaySeconds);
  storyKillIndex = -1;
  FadeIn(kFadeMusicAndScreen, kFadeSeconds);
}

void Game::OnUpdateChallengeStoryFSM() {
  const float dt = Clock::Instance().IsPaused() ? 0.0f : Clock::Instance().GetGameDelta();
  storyChannels[kStoryBandAlpha].Update(dt);
  AnimChannel& growth = storyChannels[kStoryPlaneGrowth];
  growth.Update(dt);
  if (galacticPlane != nullptr) {
    galacticPlane->radius = growth.output;
    galacticPlane->Update(dt);
  }

  // The view turns to the constellation losing its stars.
  if (storyKillIndex >= 0 && galacticPlane != nullptr && !galacticPlane->constellations.empty()) {
    const float angle =
        2.0f * kPi * static_cast<float>(storyKillIndex) / static_cast<float>(galacticPlane->constellations.size());
    AimStoryCamera(Vector3(-std::sin(angle), std::cos(angle), 0.0f));
  }

  if (!storyAdvancePending) return;
  AnimChannel& text = storyChannels[kStoryTextAlpha];
  text.Update(dt);
  if (!text.Finished()) return;
  storyAdvancePending = false;
  if (text.curve == AnimChannel::kRiseFast) {
    // Faded in: the line stays a while.
    PostGameMessageTo(receiverId, receiverId, eMSG_Next, 0, kLineHoldSeconds);
    return;
  }

  ++storyPage;
  if (storyPage == kPageGalaxyAppears) {
    growth.Set(AnimChannel::kSmoothRise, false, 0.0f, kGalaxySeedRadius, 0.0f);
  } else if (storyPage == kPageGalaxyGrows) {
    growth.Set(AnimChannel::kSmoothRise, false, 0.0f, kGalaxyFullRadius, kGalaxyGrowthSeconds);
  } else if (storyPage == kPageConstellationsForm && galacticPlane != nullptr) {
    for (Constellation& constellation : galacticPlane->constellations) {
      constellation.targetSize = Vector3(kConstellationSize, 0.0f, kConstellationSize);
    }
  } else if (storyPage == kPageStarsDie) {
    PostGameMessageTo(receiverId, receiverId, eMSG_GStoryKillStar, 0, 0.0);
  }
  if (storyPage >= kStoryPageCount) {
    FadeToState(kFadeMusicAndScreen, State(GameStateId::ChallengeGame), kFadeSeconds);
    return;
  }
  // Page 8's line waits until its last star has gone out.
  if (storyPage != kPageStarsDie) {
    text.Set(AnimChannel::kRiseFast, false, 0.0f, 1.0f, kFadeSeconds);
    storyAdvancePending = true;
  }
}

void Game::ChallengeStoryFSM(CMSGMessage* message) {
  if (SharedMessageFSM(message) || PressPostsNext(message)) return;
  switch (message->id) {
    case eMSG_Next: {
      AnimChannel& text = storyChannels[kStoryTextAlpha];
      if (storyTextVisible) {
        // Out from where the line stands; updated once so this frame already
        // draws that alpha rather than the start of the curve.
        const float alpha = text.output;
        text.Set(AnimChannel::kFallFast, false, 0.0f, alpha, kFadeSeconds);
        text.Update(0.0f);
      }
      if (storyPage == kPageStarsDie && galacticPlane != nullptr) {
        for (Constellation& constellation : galacticPlane->constellations) constellation.completed = 0;
      }
      storyTextVisible = true;
      storyAdvancePending = true;
      break;
    }
    case eMSG_GStoryKillStar: {
      storyKillIndex = -1;
      if (galacticPlane != nullptr) {
        std::vector<Constellation>& constellations = galacticPlane->constellations;
        for (size_t i = constellations.size(); i-- > 0;) {
          if (constellations[i].completed == 0) continue;
          --constellations[i].completed;
          storyKillIndex = static_cast<int32_t>(i);
          break;
        }
      }
      if (storyKillIndex < 0) {
        storyChannels[kStoryTextAlpha].Set(AnimChannel::kRiseFast, false, 0.0f, 1.0f, kFadeSeconds);
        storyAdvancePending = true;
      } else {
        PostGameMessageTo(receiverId, receiverId, eMSG_GStoryKillStar, 0, kKillStarSeconds);
      }
      break;
    }
    default:
      return;
  }
  message->handled |= 1;
}

void Game::AimStoryCamera(const Vector3& target) {
  puzzleCamera.SetTarget(target);
  puzzleCamera.controller.LookAt(target);
  puzzleCamera.controller.Update();
  puzzleCamera.node.Update();
}

void Game::OnExitChallengeStoryFSM() {
  // The plane stays for the game, with no star of the story lit.
  if (galacticPlane == nullptr) return;
  for (Constellation& constellation : galacticPlane->constellations) constellation.completed = 0;
}

int32_t Game::DrawStoryText(int32_t) {
  if (!CanDraw()) return 0;
  GFXDisplay::SetRenderState(kBandColourState);
  glColor4f(0.0f, 0.0f, 0.0f, storyChannels[kStoryBandAlpha].output);
  GFXDisplay::SetRenderState(kBandState);
  GFXDisplay::DrawTexturedRect(Vector2(0.0f, kBandTop), Vector2(GFXDisplay::kOverlayWidth, GFXDisplay::kOverlayHeight));
  if (!storyTextVisible) return 0;
  const int font = FindFontNamed(kStoryFontName);
  GFXFont* drawn = GFXDisplay::GetFont(font < 0 ? 0 : font);
  if (drawn == nullptr) return 0;
  drawn->SetColour(1.0f, 1.0f, 1.0f, storyChannels[kStoryTextAlpha].output);
  GFXDisplay::PrintAt(font, StoryLine(storyPage), kLineX, kLineY);
  drawn->RestoreColour();
  return 0;
}

int32_t Game::DrawStoryScene(int32_t) {
  // Before page 3 the story is told over black.
  if (!CanDraw() || galacticPlane == nullptr || storyPage < kPageGalaxyAppears) return 0;
  galacticPlane->Draw();
  return 0;
}
