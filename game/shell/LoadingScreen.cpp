#include "game/shell/LoadingScreen.h"

#include <GL/gl.h>

#include <algorithm>

#include "engine/foundation/Log.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXLight.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/runtime/messages/MSGMessage.h"
#include "engine/runtime/messages/MessageIds.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelDrawing.h"
#include "engine/scene/model/ModelManager.h"
#include "game/puzzle/Game.h"
#include "game/rules/GameMessages.h"
#include "game/shell/LoadingProgress.h"
#include "game/shell/ShellDrawing.h"
#include "game/shell/ShellResources.h"

namespace {

constexpr const char* kCrystalNames[LoadingScreen::kCrystalCount] = {
    "GemCrystalRed",  "GemCrystalOrange", "GemCrystalYellow", "GemCrystalGreen",
    "GemCrystalCyan", "GemCrystalBlue",   "GemCrystalIndigo",
};
constexpr const char* kRingModel = "Resources/Models/Gems/GemTetra.3me";
constexpr const char* kGemsLibrary = "Resources/Materials/Gems.mat";
constexpr const char* kTextFontFile = "Resources/Materials/Textures/Fonts/Arial21.png";
constexpr const char* kTitleFontFile = "Resources/Materials/Textures/Fonts/Arial32Bold.png";
constexpr const char* kFrontEndLibraries[] = {
    "Resources/Materials/Achievements.mat",
    "Resources/Materials/Backdrop.mat",
    "Resources/Materials/Gems.mat",
};
constexpr const char* kGameLibraries[] = {
    "Resources/Materials/Achievements.mat",
    "Resources/Materials/SpecialFX.mat",
    "Resources/Materials/PuzzleRenderer.mat",
};
constexpr const char* kBoardLibrary = "Resources/Boards/Challenge/Materials.mat";
constexpr const char* kGameModels[] = {
    "Resources/Models/Gems/GemTetra.3me", "Resources/Models/Gems/GemCubicChamfer.3me",
    "Resources/Models/Gems/GemOrb.3me",   "Resources/Models/Gems/GemOctagonal.3me",
    "Resources/Models/Gems/Novalith.3me",
};

// The ring: 24 places on a circle of radius 200 about the screen's centre.
constexpr float kRingCentreX = 400.0f;
constexpr float kRingCentreY = 300.0f;
constexpr float kRingRadius = 200.0f;
constexpr float kDegreesPerGem = 15.0f;
constexpr float kGemScale = 50.0f;
constexpr float kLightLevel = 0.75f;
constexpr double kRingDepth = 200.0;
// Lit crystals; double-sided, as the HUD's downward y turns faces round.
constexpr GFXRenderFlags kRingState =
    RenderFlag::SOLID | RenderFlag::TEXTURED | RenderFlag::LIGHTING | RenderFlag::DBLSIDED | RenderFlag::BLENDING;

}  // namespace

LoadingScreen::LoadingScreen(ShellContext& context) : ShellScreen(context, ShellState::Loading) {}

void LoadingScreen::Enter() {
  game_.SetHUDCallback([this](int32_t) {
    Draw();
    return 0;
  });
  game_.SetSceneCallback(&Game::DrawNothing);
  if (game_.frontEndTexture == nullptr) PrepareArt();
  progress_.Reset();
  toLoad_ = 0;
  loading_ = false;

  GFXLight* light = GetLight(0);
  for (int i = 0; i < 3; ++i) light->ambient[i] = light->diffuse[i] = kLightLevel;
  light->ambient[3] = light->diffuse[3] = 1.0f;
  light->SetPosition(Vector3(kRingCentreX, kRingCentreY, 0.0f));
  light->SetIndex(0);
  // GL hears of the light only once a context exists.
  if (CanDraw()) {
    light->SetEnabled(true);
  } else {
    light->enabled = 1;
  }

  game_.fadedIn = true;
  game_.FadeIn(kFadeScreen, kFadeSeconds);
}

void LoadingScreen::PrepareArt() {
  CMATManager* materials = CMATManager::GetInstance();
  materials->ReadNeededLibrary(kGemsLibrary);
  for (int i = 0; i < kCrystalCount; ++i) crystals_[i] = materials->GetMaterial(kCrystalNames[i]);
  CTEXManager* textures = CTEXManager::GetInstance();
  game_.frontEndTexture = textures->GetTexture(String(kFrontEndBackground));
  InitGemFont(kBannerFont);
  ringModel_ = C3MEManager::Instance().GetModel(String(kRingModel));
  shell_.queues.LoadQueuedNow();
}

bool LoadingScreen::OnMessage(CMSGMessage& message) {
  switch (message.id) {
    case eMSG_GLoadFE:
      QueueFrontEnd();
      StartCounting(kFrontEndBudgets);
      return true;
    case eMSG_GLoadChallengeGame:
      QueueGame(true);
      StartCounting(kChallengeBudgets);
      return true;
    case eMSG_GLoadPanicGame:
      QueueGame(false);
      StartCounting(kPanicBudgets);
      return true;
    case eMSG_Next:
      game_.FadeToState(kFadeMusicAndScreen, game_.State(GameStateId::FrontEnd), kFadeSeconds);
      return true;
    default:
      return false;
  }
}

void LoadingScreen::QueueFrontEnd() {
  // The credits' fonts are added once for the whole run.
  if (shell_.textFont < 0) {
    shell_.textFont = GFXDisplay::AddFont(kTextFontFile);
    shell_.titleFont = GFXDisplay::AddFont(kTitleFontFile);
  }
  CMATManager* materials = CMATManager::GetInstance();
  for (const char* library : kFrontEndLibraries) materials->ReadNeededLibrary(library);
  CTEXManager* textures = CTEXManager::GetInstance();
  for (const char* font : kGemFontFiles) textures->GetTexture(String(font));
  textures->GetTexture(String(kFrontEndBackground));
  if (game_.audio) game_.audio->LoadSounds(0);
}

void LoadingScreen::QueueGame(bool withBoardMaterials) {
  CMATManager* materials = CMATManager::GetInstance();
  for (const char* library : kGameLibraries) materials->ReadNeededLibrary(library);
  if (withBoardMaterials) materials->ReadNeededLibrary(kBoardLibrary);
  for (const char* model : kGameModels) C3MEManager::Instance().GetModel(String(model));
  if (game_.audio) game_.audio->LoadSounds(1);
}

void LoadingScreen::StartCounting(const LoadBudgets& budgets) {
  shell_.queues.SetBudgets(budgets);
  progress_.Reset();
  progress_.total = static_cast<uint32_t>(std::max(shell_.queues.Registered(), 0));
  toLoad_ = shell_.queues.Pending();
  LogGEM("To Load : (%d) of (%d)", toLoad_, static_cast<int>(progress_.total));
  loading_ = true;
}

void LoadingScreen::Update() {
  if (!loading_) return;
  progress_.Step(shell_.queues.Registered(), shell_.queues.Pending(), shell_.queues.LoadedLastCall());
  LogGEM("To Load : (%d) of (%d)", static_cast<int>(progress_.done), static_cast<int>(progress_.total));
  if (!progress_.Finished()) return;
  loading_ = false;
  if (game_.pendingState != nullptr) return;
  // Nothing chosen to follow: the front end is where a player can go on.
  FsmState* next = game_.stateAfterLoading != nullptr ? game_.stateAfterLoading : game_.State(GameStateId::FrontEnd);
  game_.FadeToState(kFadeScreen, next, kFadeSeconds);
}

void LoadingScreen::Exit() {
  StopAudioLayer(2);
  // Other screens load at the managers' own pace.
  shell_.queues.SetBudgets(kNoBudgets);
}

void LoadingScreen::Draw() {
  if (!CanDraw()) return;
  DrawRing();
  shell_draw::Picture(game_.frontEndTexture, 0.0f, 164.0f, 800.0f, 436.0f);
  DrawGemText(kBannerFont, "... LOADING ...", 400.0f, 536.0f, 1.0f);
}

void LoadingScreen::DrawRing() {
  if (ringModel_ == nullptr) return;
  const int32_t gems = progress_.Gems();
  if (gems == 0) return;
  // The HUD's projection is one unit deep; the gems are a hundred.
  GLint viewport[4] = {0, 0, 800, 600};
  glGetIntegerv(GL_VIEWPORT, viewport);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, viewport[2], 0.0, viewport[3], -kRingDepth, kRingDepth);
  glMatrixMode(GL_MODELVIEW);
  GFXDisplay::SetRenderState(kRingState);
  GetLight(0)->Apply();
  for (int32_t i = 0; i < gems; ++i) {
    Vector3 place(kRingCentreX, kRingCentreY - kRingRadius, 0.0f);
    place.RotateAboutZ(kDegreesPerGem * static_cast<float>(i), Vector3(kRingCentreX, kRingCentreY, 0.0f));
    glPushMatrix();
    glTranslatef(place.x, place.y, place.z);
    glScalef(kGemScale, kGemScale, kGemScale);
    DrawModelInMaterial(ringModel_, crystals_[i % kCrystalCount]);
    glPopMatrix();
  }
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}
