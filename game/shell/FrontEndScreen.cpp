#include "game/shell/FrontEndScreen.h"

#include "engine/foundation/Log.h"
#include "engine/foundation/Maths.h"
#include "engine/graphics/TextureManager.h"
#include "engine/gui/ScreenFade.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/messages/MSGMessage.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameMessages.h"
#include "game/shell/GFrontEnd.h"
#include "game/shell/HighScoresScreen.h"
#include "game/shell/MenuInput.h"
#include "game/shell/Profile.h"
#include "game/shell/ShellDrawing.h"
#include "game/shell/ShellResources.h"

namespace {

// Every volume layer of the audio layer.
constexpr int32_t kAllLayers = 4;
constexpr int32_t kFrontEndLayer = 1;

}  // namespace

FrontEndScreen::FrontEndScreen(ShellContext& context) : ShellScreen(context, ShellState::FrontEnd) {}

FrontEndScreen::~FrontEndScreen() {
  if (game.frontEnd == window_.get()) game.frontEnd = nullptr;
}

int32_t FrontEndScreen::MenuReceiver() const { return window_ ? window_->GetId() : -1; }

void FrontEndScreen::PostToWindow(uint32_t id) const {
  if (window_) GetGUIMSGService()->Post(id, game.receiverId, window_->GetId(), 0, 0.0);
}

void FrontEndScreen::ShowWindow() {
  if (!window_) {
    window_ = std::make_unique<GFrontEnd>(game.profile);
    game.frontEnd = window_.get();
    window_->SetParentId(game.receiverId);
    window_->SetDefaultFrame(0);
  }
  PostToWindow(eMSG_GUIACTIVATE);
  PostToWindow(eMSG_GUISHOW);
  window_->Next(&window_->fsmMainMenu);
}

void FrontEndScreen::Enter() {
  game.SetHUDCallback([this](int32_t) {
    Draw();
    return 0;
  });
  Game& owner = game;
  game.SetSceneCallback([&owner](int32_t) { return DrawGalacticBackdrop(owner); });
  // The background of the banner; the exit gives it back, the next entry
  // asks again (a player returning from the high scores still sees it).
  game.frontEndTexture = CTEXManager::GetInstance()->GetTexture(String(kFrontEndBackground));
  InitGemFonts();
  ShowWindow();

  game.galacticPlane = MakeGalacticPlane();
  ApplyStoredVolumes();
  const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  GetDisplay()->SetClearColour(black);
  // The first entry comes before any game has set the puzzle view up; the
  // backdrop is only meant to be seen from inside, through that camera.
  game.SetupPuzzleCamera();
  game.FindNamedObject(String(Game::kPuzzleCameraName));

  game.idleTime = 0.0f;
  StopAudioLayer(kAllLayers);
  game.FadeIn(kFadeMusicAndScreen, kFadeSeconds);
  PostToGame(eMSG_AGUI_PlaySting, 0, kFirstStingSeconds);
}

void FrontEndScreen::Update() {
  const float dt = FrameSeconds();
  game.idleTime += dt;
  if (game.idleTime >= kIdleSeconds) {
    game.showHighScoresAsAttract = true;
    game.FadeToState(kFadeMusicAndScreen, game.State(GameStateId::HighScores), kFadeSeconds);
    game.idleTime = 0.0f;
  }
  if (game.galacticPlane != nullptr) game.galacticPlane->Update(dt);
}

bool FrontEndScreen::OnMessage(CMSGMessage& message) {
  const uint8_t* keys = reinterpret_cast<const uint8_t*>(message.parameter);
  switch (message.id) {
    case eMSG_UIOKEYDOWN:
      game.idleTime = 0.0f;
      SendMenuInput(game, MenuReceiver(), keys);
      return true;
    case eMSG_UIOKEYHELD:
      game.idleTime = 0.0f;
      SendMenuKeyHeld(game, MenuReceiver(), keys);
      return true;
    case eMSG_UIOPADDOWN:
      game.idleTime = 0.0f;
      SendMenuPadDown(game, MenuReceiver(), AcquiredPad());
      return true;
    case eMSG_UIOPADHELD:
      // A held direction is no sign of a player: the idle time runs on.
      SendMenuPadHeld(game, MenuReceiver(), AcquiredPad());
      return true;
    case eMSG_GHighScores:
      game.showHighScoresAsAttract = false;
      game.FadeToState(kFadeMusicAndScreen, game.State(GameStateId::HighScores), kFadeSeconds);
      return true;
    case eMSG_GCredits:
      game.FadeToState(kFadeMusicAndScreen, game.State(GameStateId::Credits), kFadeSeconds);
      return true;
    case eMSG_Start:
      if (message.parameter != 0) StartMode(*reinterpret_cast<const int32_t*>(message.parameter));
      return true;
    case eMSG_AGUI_PlaySting:
      PlaySting();
      return true;
    case eMSG_GExit:
      EndProgram();
      return true;
    default:
      return false;
  }
}

void FrontEndScreen::StartMode(int32_t mode) {
  const bool challenge = mode == kModeChallenge;
  if (!challenge && mode != kModePanic) return;
  auto* profile = dynamic_cast<Profile*>(game.profile.get());
  if (profile == nullptr) {
    LogGEM("Game::FrontEndFSM - No profile to start a game for");
    return;
  }
  LogGEM(challenge ? "Game::FrontEndFSM - Starting fsmChallengeGame" : "Game::FrontEndFSM - Starting fsmPanicGame");
  // Asked before SetMode, which clears the Panic record: a profile that has
  // played only Panic games has played all the same.
  const bool firstGame = profile->HasNeverPlayed();
  profile->SetMode(mode);
  // The instructions come before a profile's first game of either mode and
  // lead a Challenge on to its story; a profile that began with Panic sees
  // the story on its first Challenge all the same.
  if (firstGame) {
    game.stateAfterLoading = game.State(GameStateId::Instructions);
  } else if (challenge && !profile->HasPlayedChallenge()) {
    game.stateAfterLoading = game.State(GameStateId::ChallengeStory);
  } else {
    game.stateAfterLoading = game.State(challenge ? GameStateId::ChallengeGame : GameStateId::PanicGame);
  }
  PostToGame(challenge ? eMSG_GLoadChallengeGame : eMSG_GLoadPanicGame, 0, kLoadMessageSeconds);
  game.FadeToState(kFadeMusicAndScreen, game.State(GameStateId::Loading), kStartFadeSeconds);
}

void FrontEndScreen::PlaySting() {
  // One tick waits at a time; the one being delivered is not counted.
  if (QueuedGameMessages(eMSG_AGUI_PlaySting) > 0) return;
  int32_t sting = RandomInt(0, kStingRangeTop);
  PostToAudio(eMSG_AGUI_PlaySting, reinterpret_cast<intptr_t>(&sting));
  PostToGame(eMSG_AGUI_PlaySting, 0, kStingSeconds);
}

void FrontEndScreen::EndProgram() {
  // Exit used to stop here: nothing answered it, and the player was left
  // with a hidden menu. The music and the screen fade, then the game quits.
  game.fadedIn = false;
  LayerFade fade{Game::kMusicLayer, kExitSeconds};
  PostToAudio(eMSG_ALayer_VolumeFadeOut, reinterpret_cast<intptr_t>(&fade));
  ScreenFade* screenFade = GetScreenFade();
  screenFade->Start(game.fadeColourA, game.fadeColourB, kExitSeconds);
  screenFade->active = 1;
  PostToGame(eMSG_Shutdown, 0, kExitSeconds);
}

void FrontEndScreen::Exit() {
  if (game.frontEndTexture != nullptr) {
    CTEXManager::GetInstance()->Release(game.frontEndTexture);
    game.frontEndTexture = nullptr;
  }
  StopAudioLayer(kFrontEndLayer);
  PostToWindow(eMSG_GUIHIDE);
  PostToWindow(eMSG_GUIDEACTIVATE);
  CancelGameMessages(eMSG_AGUI_PlaySting);
  game.galacticPlane.reset();
}

void FrontEndScreen::Draw() const {
  // The window is made on entry; where the picture goes depends on its page.
  if (!CanDraw() || game.frontEndTexture == nullptr || !window_) return;
  const Rect area = window_->TitlePictureArea();
  shell_draw::Picture(game.frontEndTexture, area.min.x, area.min.y, area.max.x, area.max.y);
}
