// The window, its states, the shared navigation, fades, the pause menu and
// the drawing of a menu page.

#include "game/shell/GFrontEnd.h"

#include "engine/foundation/Clock.h"
#include "engine/foundation/Rect.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MSGSystem.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/rules/GameMessages.h"
#include "game/shell/GlyphCanvas.h"

namespace {

constexpr float kScreenWidth = 800.0f;
constexpr float kScreenHeight = 600.0f;
constexpr float kCentreX = kScreenWidth / 2.0f;
constexpr float kTitleY = 272.0f;
constexpr float kFirstItemY = 336.0f;
constexpr float kItemSpacing = 32.0f;
constexpr float kWelcomeY = 200.0f;
constexpr float kHelpY = 560.0f;
constexpr float kHelpSpacing = 16.0f;
constexpr float kHelpGlyph = 16.0f;
constexpr int kTitleFont = kMenuRed;
constexpr int kWelcomeFont = kMenuPurple;
constexpr int kHelpFont = kMenuOrange;
// The pause overlay darkens the game to this alpha over one second.
constexpr float kOverlayAlpha = 0.5f;
constexpr float kOverlaySeconds = 1.0f;

bool IsHandled(const CMSGMessage* message) { return (message->handled & 1) != 0; }

float FrameTime() { return Clock::Instance().GetGameDelta(); }

}  // namespace

void RestartChannel(AnimChannel& channel, int32_t curve, float start, float delta, float seconds) {
  channel.Set(curve, false, start, start + delta, seconds);
  channel.Reset();
  // The output starts where the curve starts (a fall at its top), not at
  // the start value, so no frame blinks.
  channel.Update(0.0f);
}

namespace {
GFrontEnd* gFrontEnd = nullptr;
}  // namespace

GFrontEnd* GetGFrontEnd() { return gFrontEnd; }

GFrontEnd::GFrontEnd(std::unique_ptr<GameProfile>& profileSlot) : profile_(profileSlot) {
  gFrontEnd = this;
  name = "Novaliths : Front End";
  using F = GFrontEnd;
  fsmMainMenu.Set(this, "FrontEnd.MainMenu", &F::OnEnterMainMenuFSM, &F::OnUpdateMenuFSM, &F::MainMenuFSM, nullptr);
  fsmStartMenu.Set(this, "FrontEnd.StartMenu", &F::OnEnterStartMenuFSM, &F::OnUpdateMenuFSM, &F::StartMenuFSM, nullptr);
  fsmProfilesMenu.Set(this, "FrontEnd.ProfilesMenu", &F::OnEnterProfilesMenuFSM, &F::OnUpdateMenuFSM,
                      &F::ProfilesMenuFSM, nullptr);
  fsmOptionsMenu.Set(this, "FrontEnd.OptionsMenu", &F::OnEnterOptionsMenuFSM, &F::OnUpdateMenuFSM, &F::OptionsMenuFSM,
                     nullptr);
  fsmVisualsMenu.Set(this, "FrontEnd.VisualsMenu", &F::OnEnterVisualsMenuFSM, &F::OnUpdateVisualsMenuFSM,
                     &F::VisualsMenuFSM, nullptr);
  fsmAudioMenu.Set(this, "FrontEnd.AudioMenu", &F::OnEnterAudioMenuFSM, &F::OnUpdateMenuFSM, &F::AudioMenuFSM,
                   &F::OnExitAudioMenuFSM);
  fsmExitMenu.Set(this, "FrontEnd.ExitMenu", &F::OnEnterExitMenuFSM, &F::OnUpdateMenuFSM, &F::ExitMenuFSM, nullptr);
  fsmPauseMenu.Set(this, "FrontEnd.PauseMenu", &F::OnEnterPauseMenuFSM, &F::OnUpdateMenuFSM, &F::PauseMenuFSM,
                   &F::OnExitPauseMenuFSM);
  fsmDeleteMenu.Set(this, "FrontEnd.DeleteMenu", &F::OnEnterDeleteMenuFSM, &F::OnUpdateMenuFSM, &F::DeleteMenuFSM,
                    nullptr);
  fsmNewProfile.Set(this, "FrontEnd.NewProfile", &F::OnEnterNewProfileFSM, &F::OnUpdateNewProfileFSM, &F::NewProfileFSM,
                    nullptr);
  fsmViewProfile.Set(this, "FrontEnd.ViewProfile", &F::OnEnterViewProfileFSM, &F::OnUpdateViewProfileFSM,
                     &F::ViewProfileFSM, nullptr);
  canvas_ = CreateGlyphCanvas();
  RequestState(&fsmMainMenu);
}

GFrontEnd::~GFrontEnd() {
  if (gFrontEnd == this) gFrontEnd = nullptr;
  // Fades and page changes may still wait on the queue for this window.
  if (CMSGSystem::Existing() != nullptr && ownId >= 0) GetGEMMSGService()->CancelMessagesTo(ownId);
}

void GFrontEnd::SetDefaultFrame(int32_t frameStyle) {
  Window::SetDefaultFrame(frameStyle);
  Rect outerRect;
  outerRect.SetPositionSize({0.0f, 0.0f}, {kScreenWidth, kScreenHeight});
  Rect client;
  client.SetPositionSize({kBorder, kBorder}, {kScreenWidth - 2 * kBorder, kScreenHeight - 2 * kBorder});
  SetRect(outerRect, client);
  // The menus are text over the game's backdrop: no frame panel hides it,
  // and the pause overlay darkens the border too.
  style &= ~(GUIStyle::kFrame | GUIStyle::kClip);
  SetLayer(kLayer);
  RequestState(&fsmMainMenu);
}

void GFrontEnd::SetCanvas(std::unique_ptr<FrontEndCanvas> newCanvas) { canvas_ = std::move(newCanvas); }

void GFrontEnd::RequestState(FsmState* state) { Next(state); }

bool GFrontEnd::IsSelect(const CMSGMessage* message) { return !IsHandled(message) && message->id == eMSG_Select; }

GameProfile* GFrontEnd::CurrentProfile() const { return profile_.get(); }

void GFrontEnd::PostToSelf(uint32_t id, double delaySeconds) {
  GetGEMMSGService()->Post(id, ownId, ownId, 0, delaySeconds);
}

void GFrontEnd::PostToOwner(uint32_t id, intptr_t parameter) { PostGameMessageTo(ownId, parentId, id, parameter, 0.0); }

void GFrontEnd::PlayMenuSound(uint32_t id) { PostAudioMessage(id, 0, 0.0); }

void GFrontEnd::ClearHelpLines() {
  helpLine1 = "";
  helpLine2 = "";
}

void GFrontEnd::FadeIn() { RestartChannel(fadeChannel, AnimChannel::kSmoothRise, 0.0f, 1.0f, kFadeSeconds); }

void GFrontEnd::FadeToMenu(FsmState* state, float seconds) {
  RestartChannel(fadeChannel, AnimChannel::kSmoothFall, 0.0f, 1.0f, seconds);
  fadeTarget = state;
  PostToSelf(eMSG_GChangeState, seconds);
}

void GFrontEnd::EnterMenu(MenuPage* page, FsmState* escape, uint32_t selection) {
  renderCallback = &GFrontEnd::DrawMenu;
  currentMenu = page;
  escapeState = escape;
  page->selection = selection;
  page->SettleSelection();
  FadeIn();
}

void GFrontEnd::ShowPauseMenu(bool show) {
  RequestState(&fsmPauseMenu);
  CMSGService* gui = GetGUIMSGService();
  if (show) {
    gui->Post(eMSG_GUIACTIVATE, ownId, ownId, 0, 0.0);
    gui->Post(eMSG_GUISHOW, ownId, ownId, 0, kPauseShowDelay);
    overlayActive = true;
    RestartChannel(overlayChannel, AnimChannel::kRiseFast, 0.0f, kOverlayAlpha, kOverlaySeconds);
  } else {
    gui->Post(eMSG_GUIHIDE, ownId, ownId, 0, 0.0);
    gui->Post(eMSG_GUIDEACTIVATE, ownId, ownId, 0, 0.0);
    overlayActive = false;
  }
}

void GFrontEnd::OnUpdateMenuFSM() {
  const float step = FrameTime();
  fadeChannel.Update(step);
  if (overlayActive) overlayChannel.Update(step);
}

void GFrontEnd::OnMenuMessage(CMSGMessage* message) {
  if (IsHandled(message) || currentMenu == nullptr) return;
  switch (message->id) {
    case eMSG_Next:
      if (currentMenu->SelectNext()) PlayMenuSound(eMSG_AGUI_PlayMenuNavigation);
      break;
    case eMSG_Previous:
      if (currentMenu->SelectPrevious()) PlayMenuSound(eMSG_AGUI_PlayMenuNavigation);
      break;
    case eMSG_Select:
      // Left unhandled: the state's own handler acts on the selection.
      PlayMenuSound(eMSG_AGUI_PlayMenuSelect);
      return;
    case eMSG_Escape:
      if (escapeState != nullptr) RequestState(escapeState);
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

void GFrontEnd::DrawContents() {
  children.DrawAll();
  if (!canvas_) return;
  canvas_->BeginScreen({HitRect().min.x + scrollX, HitRect().min.y + scrollY});
  if (overlayActive) canvas_->DrawShade(outer, overlayChannel.output);
  if (renderCallback != nullptr) (this->*renderCallback)();
  canvas_->EndScreen();
}

void GFrontEnd::DrawMenu() {
  if (currentMenu == nullptr || !canvas_) return;
  FrontEndCanvas& draw = *canvas_;
  const SavedFonts saved(draw);
  const int lastFont = draw.FontCount() - 1;
  if (lastFont < 0) return;
  const float alpha = fadeChannel.output;
  auto fontOf = [lastFont](uint32_t colour) {
    return colour > static_cast<uint32_t>(lastFont) ? lastFont : int(colour);
  };
  // Centred on the screen; returns the left edge.
  auto centred = [&](int font, const char* text, float y) {
    draw.SetAlpha(font, alpha);
    const float left = kCentreX - draw.Measure(font, text) / 2.0f;
    draw.DrawText(font, text, left, y);
    return left;
  };

  centred(fontOf(kTitleFont), currentMenu->title.Chars(), kTitleY);
  float y = kFirstItemY;
  float lastItemY = y;
  for (uint32_t index = 0; index < currentMenu->ItemCount(); ++index) {
    const MenuItem& item = currentMenu->items[index];
    const int font = fontOf(index == currentMenu->selection ? kSelectedColour : item.colour);
    centred(font, item.text.Chars(), y);
    lastItemY = y;
    y += kItemSpacing;
  }
  if (IsCurrent(&fsmNewProfile) && cursorVisible && currentMenu->ItemCount() > 0) {
    const MenuItem& name = currentMenu->items[0];
    const int font = fontOf(currentMenu->selection == 0 ? kSelectedColour : name.colour);
    const float width = draw.Measure(font, name.text.Chars());
    const float left = kCentreX - width / 2.0f;
    draw.SetAlpha(font, alpha);
    draw.DrawText(font, ".", left + width, lastItemY);
  }
  if (const GameProfile* profile = CurrentProfile()) {
    centred(fontOf(kWelcomeFont), MenuText("Welcome %s!", profile->name.Chars()).Chars(), kWelcomeY);
  }
  const int helpFont = fontOf(kHelpFont);
  draw.SetGlyphSize(helpFont, {kHelpGlyph, kHelpGlyph});
  float helpY = kHelpY;
  for (const String* line : {&helpLine1, &helpLine2}) {
    if (!line->IsEmpty()) centred(helpFont, line->Chars(), helpY);
    helpY += kHelpSpacing;
  }
}
