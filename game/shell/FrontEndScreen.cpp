#include "game/shell/FrontEndScreen.h"

#include "engine/foundation/Log.h"
#include "engine/foundation/Maths.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/TextureManager.h"
#include "engine/gui/ScreenFade.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/messages/MSGMessage.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/rules/GameMessages.h"
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
  if (game_.frontEnd == window_.get()) game_.frontEnd = nullptr;
}

int32_t FrontEndScreen::MenuReceiver() const { return window_ ? window_->GetId() : -1; }

void FrontEndScreen::PostToWindow(uint32_t id) const {
  if (window_) GetGUIMSGService()->Post(id, game_.receiverId, window_->GetId(), 0, 0.0);
}

void FrontEndScreen::ShowWindow() {
  if (!window_) {
    window_ = std::make_unique<GFrontEnd>(game_.profile);
    game_.frontEnd = window_.get();
    window_->SetParentId(game_.receiverId);
    window_->SetDefaultFrame(0);
  }
  PostToWindow(eMSG_GUIACTIVATE);
  PostToWindow(eMSG_GUISHOW);
  window_->Next(&window_->fsmMainMenu);
}

void FrontEndScreen::Enter() {
  game_.SetHUDCallback([this](int32_t) {
    Draw();
    return 0;
  });
  Game& owner = game_;
  game_.SetSceneCallback([&owner](int32_t) { return DrawGalacticBackdrop(owner); });
  // The background of the banner; the exit gives it back, the next entry
  // asks again (a player returning from the high scores still sees it).
  game_.frontEndTexture = CTEXManager::GetInstance()->GetTexture(String(kFrontEndBackground));
  InitGemFonts();
  ShowWindow();

  game_.galacticPlane = MakeGalacticPlane();
  ApplyStoredVolumes();
  const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  GetDisplay()->SetClearColour(black);
  // The first entry comes before any game has set the puzzle view up; the
  // backdrop is only meant to be seen from inside, through that camera.
  game_.SetupPuzzleCamera();
  game_.FindNamedObject(String(Game::kPuzzleCameraName));

  game_.idleTime = 0.0f;
  StopAudioLayer(kAllLayers);
  game_.FadeIn(kFadeMusicAndScreen, kFadeSeconds);
  PostToGame(eMSG_AGUI_PlaySting, 0, kFirstStingSeconds);
}

void FrontEndScreen::Update() {
  const float dt = FrameSeconds();
  game_.idleTime += dt;
  if (game_.idleTime >= kIdleSeconds) {
    game_.showHighScoresAsAttract = true;
    game_.FadeToState(kFadeMusicAndScreen, game_.State(GameStateId::HighScores), kFadeSeconds);
    game_.idleTime = 0.0f;
  }
  if (game_.galacticPlane != nullptr) game_.galacticPlane->Update(dt);
}

bool FrontEndScreen::OnMessage(CMSGMessage& message) {
  const uint8_t* keys = reinterpret_cast<const uint8_t*>(message.parameter);
  switch (message.id) {
    case eMSG_UIOKEYDOWN:
      game_.idleTime = 0.0f;
      SendMenuInput(game_, MenuReceiver(), keys);
      return true;
    case eMSG_UIOKEYHELD:
      game_.idleTime = 0.0f;
      SendMenuKeyHeld(game_, MenuReceiver(), keys);
      return true;
    case eMSG_UIOPADDOWN:
      game_.idleTime = 0.0f;
      SendMenuPadDown(game_, MenuReceiver(), AcquiredPad());
      return true;
    case eMSG_UIOPADHELD:
      // A held direction is no sign of a player: the idle time runs on.
      SendMenuPadHeld(game_, MenuReceiver(), AcquiredPad());
      return true;
    case eMSG_GHighScores:
      game_.showHighScoresAsAttract = false;
      game_.FadeToState(kFadeMusicAndScreen, game_.State(GameStateId::HighScores), kFadeSeconds);
      return true;
    case eMSG_GCredits:
      game_.FadeToState(kFadeMusicAndScreen, game_.State(GameStateId::Credits), kFadeSeconds);
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
  auto* profile = dynamic_cast<Profile*>(game_.profile.get());
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
    game_.stateAfterLoading = game_.State(GameStateId::Instructions);
  } else if (challenge && !profile->HasPlayedChallenge()) {
    game_.stateAfterLoading = game_.State(GameStateId::ChallengeStory);
  } else {
    game_.stateAfterLoading = game_.State(challenge ? GameStateId::ChallengeGame : GameStateId::PanicGame);
  }
  PostToGame(challenge ? eMSG_GLoadChallengeGame : eMSG_GLoadPanicGame, 0, kLoadMessageSeconds);
  game_.FadeToState(kFadeMusicAndScreen, game_.State(GameStateId::Loading), kStartFadeSeconds);
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
  game_.fadedIn = false;
  LayerFade fade{Game::kMusicLayer, kExitSeconds};
  PostToAudio(eMSG_ALayer_VolumeFadeOut, reinterpret_cast<intptr_t>(&fade));
  ScreenFade* screenFade = GetScreenFade();
  screenFade->Start(game_.fadeColourA, game_.fadeColourB, kExitSeconds);
  screenFade->active = 1;
  PostToGame(eMSG_Shutdown, 0, kExitSeconds);
}

void FrontEndScreen::Exit() {
  // Said once: the notice goes when the player leaves the front end.
  game_.frontEndNotice = "";
  if (game_.frontEndTexture != nullptr) {
    CTEXManager::GetInstance()->Release(game_.frontEndTexture);
    game_.frontEndTexture = nullptr;
  }
  StopAudioLayer(kFrontEndLayer);
  PostToWindow(eMSG_GUIHIDE);
  PostToWindow(eMSG_GUIDEACTIVATE);
  CancelGameMessages(eMSG_AGUI_PlaySting);
  game_.galacticPlane.reset();
}

void FrontEndScreen::Draw() const {
  // The window is made on entry; where the picture goes depends on its page.
  if (!CanDraw() || game_.frontEndTexture == nullptr || !window_) return;
  const Rect area = window_->TitlePictureArea();
  shell_draw::Picture(game_.frontEndTexture, area.min.x, area.min.y, area.max.x, area.max.y);
  DrawNotice();
}

void FrontEndScreen::DrawNotice() const {
  if (game_.frontEndNotice.IsEmpty() || shell_.textFont < 0) return;
  const char* text = game_.frontEndNotice.Chars();
  const int width = GFXDisplay::GetTextWidth(shell_.textFont, text);
  GFXDisplay::PrintAt(shell_.textFont, text, static_cast<int>(kNoticeCentreX) - width / 2, static_cast<int>(kNoticeY));
}
