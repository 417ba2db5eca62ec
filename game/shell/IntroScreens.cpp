#include "game/shell/IntroScreens.h"

#include "engine/graphics/TextureManager.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/messages/MSGMessage.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/Game.h"
#include "game/rules/GameMessages.h"
#include "game/shell/Profile.h"
#include "game/shell/ResourceQueues.h"
#include "game/shell/ShellDrawing.h"

namespace {

constexpr const char* kMakerLogo = "Resources/Materials/Textures/Intro/PH_VelkSW.png";
constexpr const char* kEngineLogo = "Resources/Materials/Textures/Intro/PH_Vyre_3rd.png";
constexpr const char* kInstructions = "Resources/Materials/Textures/Intro/Instructions.png";

void SetColour(float out[4], float r, float g, float b, float a) {
  out[0] = r;
  out[1] = g;
  out[2] = b;
  out[3] = a;
}

}  // namespace

bool IsKeyOrPadPress(const CMSGMessage& message) {
  return message.id == eMSG_UIOKEYDOWN || message.id == eMSG_UIOPADDOWN;
}

PictureScreen::PictureScreen(ShellContext& context, ShellState which, const char* pictureName)
    : ShellScreen(context, which), picture_(pictureName) {}

void PictureScreen::ShowPicture() {
  const char* name = picture_;
  Game& owner = game_;
  game_.SetHUDCallback([name, &owner](int32_t) {
    if (owner.CanDraw()) shell_draw::FullScreenPicture(name);
    return 0;
  });
  game_.SetSceneCallback(&Game::DrawNothing);
  CTEXManager::GetInstance()->GetTexture(String(picture_));
  shell_.queues.LoadQueuedNow();
}

void PictureScreen::ReleasePicture() {
  CTEXManager* textures = CTEXManager::GetInstance();
  textures->Release(textures->GetTexture(String(picture_)));
}

void LogoScreen::Enter() {
  ShowPicture();
  ApplyStoredVolumes();
  game_.FadeIn(kFadeMusicAndScreen, kFadeSeconds);
  PostToGame(eMSG_Next, 0, kShowSeconds);
}

void LogoScreen::Exit() {
  CancelGameMessages(eMSG_Next);
  ReleasePicture();
}

IntroMakerScreen::IntroMakerScreen(ShellContext& context) : LogoScreen(context, ShellState::IntroVelkSW, kMakerLogo) {}

void IntroMakerScreen::Enter() {
  // The logo comes out of white: fades out run from A (clear) to B (the
  // colour), fades in back.
  SetColour(game_.fadeColourA, 1.0f, 1.0f, 1.0f, 0.0f);
  SetColour(game_.fadeColourB, 1.0f, 1.0f, 1.0f, 1.0f);
  LogoScreen::Enter();
}

bool IntroMakerScreen::OnMessage(CMSGMessage& message) {
  if (message.id != eMSG_Next && !IsKeyOrPadPress(message)) return false;
  game_.FadeToState(kFadeMusicAndScreen, game_.State(GameStateId::IntroVyre), kFadeSeconds);
  return true;
}

IntroEngineScreen::IntroEngineScreen(ShellContext& context) : LogoScreen(context, ShellState::IntroVyre, kEngineLogo) {}

bool IntroEngineScreen::OnMessage(CMSGMessage& message) {
  if (message.id != eMSG_Next && !IsKeyOrPadPress(message)) return false;
  // Keys during the fade would each queue the front end's resources again.
  if (game_.pendingState != nullptr) return true;
  const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  GetDisplay()->SetClearColour(black);
  SetColour(game_.fadeColourA, 0.0f, 0.0f, 0.0f, 0.0f);
  SetColour(game_.fadeColourB, 0.0f, 0.0f, 0.0f, 1.0f);
  game_.stateAfterLoading = game_.State(GameStateId::FrontEnd);
  PostToGame(eMSG_GLoadFE, 0, kLoadMessageSeconds);
  game_.FadeToState(kFadeMusicAndScreen, game_.State(GameStateId::Loading), kFadeSeconds);
  return true;
}

InstructionsScreen::InstructionsScreen(ShellContext& context)
    : PictureScreen(context, ShellState::Instructions, kInstructions) {}

void InstructionsScreen::Enter() {
  ShowPicture();
  game_.fadedIn = true;
  game_.FadeIn(kFadeScreen, kFadeSeconds);
}

bool InstructionsScreen::OnMessage(CMSGMessage& message) {
  if (IsKeyOrPadPress(message)) {
    PostToGame(eMSG_Next, 0, 0.0);
    return true;
  }
  if (message.id != eMSG_Next) return false;
  // A second key during the fade-out does not start it again.
  if (game_.pendingState != nullptr) return true;
  // A Challenge begins with its story.
  const bool challenge = game_.profile != nullptr && game_.profile->mode == kModeChallenge;
  FsmState* next = game_.State(challenge ? GameStateId::ChallengeStory : GameStateId::PanicGame);
  game_.FadeToState(kFadeScreen, next, kFadeSeconds);
  return true;
}

void InstructionsScreen::Exit() { ReleasePicture(); }
