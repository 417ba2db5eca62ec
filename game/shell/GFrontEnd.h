#pragma once

// The game's menu screen: one full-screen GUI window whose state machine
// runs eleven menu states and draws each menu as centred lines of gem-font
// text. "Game.FrontEnd" creates it once, gives it the game's receiver id as
// its owner and feeds it navigation messages (eMSG_Next, eMSG_Previous,
// eMSG_Select, eMSG_Escape); the in-game pause shows the same window in its
// pause state. Whatever it asks of the game it posts to its owner.
//
// A change of menu fades the text out and posts eMSG_GChangeState to the
// window itself with the fade's duration as delay; the new state is
// requested when that message arrives, left on the next step and entered on
// the one after.

#include <cstdint>
#include <memory>

#include "engine/foundation/AnimChannel.h"
#include "engine/foundation/Rect.h"
#include "engine/foundation/String.h"
#include "engine/foundation/Vector2.h"
#include "engine/gui/Window.h"
#include "engine/runtime/fsm/FsmState.h"
#include "game/puzzle/GameProfile.h"
#include "game/shell/FrontEndCanvas.h"
#include "game/shell/MenuPage.h"

class CMSGMessage;

class GFrontEnd : public Window {
 public:
  // The one layer the start-up filter draws.
  static constexpr float kLayer = 10.0f;
  static constexpr float kBorder = 10.0f;
  static constexpr float kFadeSeconds = 0.5f;
  // The pause menu shows this long after it becomes active.
  static constexpr double kPauseShowDelay = 0.125;
  // Seconds between two pages of the profile view.
  static constexpr double kProfilePageSeconds = 10.0;
  static constexpr uint32_t kMaxNameLength = 8;
  static constexpr uint32_t kMaxListedProfiles = 4;
  static constexpr int32_t kMaxScroll = 20;
  static constexpr uint32_t kProfilePages = 5;
  static constexpr uint32_t kDefaultSoundVolume = 10;
  static constexpr uint32_t kDefaultMusicVolume = 7;
  static constexpr uint32_t kTopVolume = 10;
  static constexpr float kCursorBlinkSeconds = 0.5f;

  // The profile in use lives in the slot (the game's); the menus replace,
  // load and drop it there. Requests the main menu.
  // Becomes the front end GetGFrontEnd returns.
  explicit GFrontEnd(std::unique_ptr<GameProfile>& profileSlot);
  ~GFrontEnd() override;

  // Sets the frame, the 800 x 600 screen with a border of 10 as its
  // rectangle, the draw layer, and requests the main menu.
  void SetDefaultFrame(int32_t frameStyle) override;
  // The overlay while the pause menu shows, then the current state's page.
  void DrawContents() override;

  // Requests the pause menu and shows the window over the running game, or
  // hides it.
  void ShowPauseMenu(bool show);
  // The pause overlay is on: the window shows over a running game.
  bool IsPauseMenuShowing() const { return overlayActive; }

  // Fades the text out and changes to the state when the fade has ended.
  void FadeToMenu(FsmState* state, float seconds);
  void ClearHelpLines();
  // The text is drawn with these fonts; the game's glyph fonts until a test
  // gives its own.
  void SetCanvas(std::unique_ptr<FrontEndCanvas> newCanvas);
  FrontEndCanvas* GetCanvas() const { return canvas_.get(); }

  // Where the title picture goes beneath the current page: across the top
  // of the screen, or smaller between the profile view's title and its
  // columns, which fill the top and the rest of the screen.
  Rect TitlePictureArea() const;
  // Draws currentMenu (nothing without one).
  void DrawMenu();
  // Draws the current profile's page (nothing without one).
  void DrawProfileView();
  // The navigation every menu state shares.
  void OnMenuMessage(CMSGMessage* message);

  // ---- state handlers ----
  void OnUpdateMenuFSM();
  void OnEnterMainMenuFSM();
  void MainMenuFSM(CMSGMessage* message);
  void OnEnterStartMenuFSM();
  void StartMenuFSM(CMSGMessage* message);
  void OnEnterExitMenuFSM();
  void ExitMenuFSM(CMSGMessage* message);
  void OnEnterOptionsMenuFSM();
  void OptionsMenuFSM(CMSGMessage* message);
  void OnEnterVisualsMenuFSM();
  // The shared update; then, when the display has changed under the page
  // (Alt+Return, a rebuilt window), the page shows the display as it is now.
  void OnUpdateVisualsMenuFSM();
  void VisualsMenuFSM(CMSGMessage* message);
  void OnEnterAudioMenuFSM();
  void AudioMenuFSM(CMSGMessage* message);
  void OnExitAudioMenuFSM();
  void OnEnterPauseMenuFSM();
  void PauseMenuFSM(CMSGMessage* message);
  void OnExitPauseMenuFSM();
  void OnEnterProfilesMenuFSM();
  void ProfilesMenuFSM(CMSGMessage* message);
  void OnEnterDeleteMenuFSM();
  void DeleteMenuFSM(CMSGMessage* message);
  void OnEnterNewProfileFSM();
  void OnUpdateNewProfileFSM();
  void NewProfileFSM(CMSGMessage* message);
  void OnEnterViewProfileFSM();
  void OnUpdateViewProfileFSM();
  void ViewProfileFSM(CMSGMessage* message);

  // ---- states, in storage order ----
  FsmStateOf<GFrontEnd> fsmMainMenu;
  FsmStateOf<GFrontEnd> fsmStartMenu;
  FsmStateOf<GFrontEnd> fsmProfilesMenu;
  FsmStateOf<GFrontEnd> fsmOptionsMenu;
  FsmStateOf<GFrontEnd> fsmVisualsMenu;
  FsmStateOf<GFrontEnd> fsmAudioMenu;
  FsmStateOf<GFrontEnd> fsmExitMenu;
  FsmStateOf<GFrontEnd> fsmPauseMenu;
  FsmStateOf<GFrontEnd> fsmDeleteMenu;
  FsmStateOf<GFrontEnd> fsmNewProfile;
  FsmStateOf<GFrontEnd> fsmViewProfile;

  // Where Escape (or "No!", or the end of name entry) returns; null: Escape
  // does nothing.
  FsmState* escapeState = nullptr;
  // Draws the current state's page.
  void (GFrontEnd::*renderCallback)() = nullptr;

  // One page per menu, built on its first entry and kept; the pause page
  // is built on every entry and freed when the pause state is left.
  std::unique_ptr<MenuPage> mainMenu, startMenu, profilesMenu, newProfileMenu, optionsMenu, visualsMenu, audioMenu,
      exitMenu, pauseMenu, deleteMenu;
  // The page navigation and drawing use; null in the profile view.
  MenuPage* currentMenu = nullptr;
  // Posted to the owner when "Yes" is chosen in the exit confirmation.
  uint32_t exitMessage = 0;
  float cursorTimer = 0.0f;
  bool cursorVisible = false;
  bool overlayActive = false;
  // Alpha of the pause overlay, of the menu text and of the profile view's pane.
  AnimChannel overlayChannel;
  AnimChannel fadeChannel;
  AnimChannel pageChannel;
  // Profile view: left edge of the statistics pane and height of its title.
  Vector2 paneOrigin{32.0f, 32.0f};
  // Visuals menu: the choices not applied yet; pendingModeValid is false
  // when the display has no list holding its current mode.
  bool pendingFullscreen = false;
  uint32_t pendingMode = 0;
  bool pendingModeValid = false;
  uint32_t soundVolume = kDefaultSoundVolume;
  uint32_t musicVolume = kDefaultMusicVolume;
  // Profile view: the page on show, the colour cycle of "Rainbows" and the
  // first achievement row.
  uint32_t pageIndex = 0;
  float colourTimer = 0.0f;
  uint32_t cycleColour = 0;
  int32_t scroll = 0;
  // Requested when the running fade-out ends.
  FsmState* fadeTarget = nullptr;
  String helpLine1;
  String helpLine2;

 private:
  // An eMSG_Select no handler has taken yet.
  static bool IsSelect(const CMSGMessage* message);
  // Requests a state (the machine traces it).
  void RequestState(FsmState* state);
  // What every menu entry does: the page, its draw routine, the escape
  // state, the selection brought onto an enabled item, the fade-in.
  void EnterMenu(MenuPage* page, FsmState* escape, uint32_t selection);
  // Starts the 0.5 s fade-in of the text.
  void FadeIn();
  // The profile in use, or null.
  GameProfile* CurrentProfile() const;
  // Makes the loaded profile the one in use and remembers its name as the
  // last used one ("Profile"); on failure nothing changes but a log line.
  bool UseProfileNamed(const String& profileName);
  void RememberProfile(const char* profileName);

  // Posts on the GEM service: to this window, to the owner, to the audio layer.
  void PostToSelf(uint32_t id, double delaySeconds);
  void PostToOwner(uint32_t id, intptr_t parameter);
  void PlayMenuSound(uint32_t id);

  // Profiles page.
  void BuildProfileItems();
  void ColourProfileItems();
  void SetProfilesHelp();
  void ChooseProfileItem(uint32_t index);
  // Name entry.
  void TypeKey(uint8_t code);
  void FinishNameEntry();
  // Visuals page.
  // What the page shows of the display; read again only when it changes,
  // so a choice not applied yet stays while the display stays as it was.
  struct DisplayView {
    bool fullscreen = false;
    int device = -1;
    int modeCount = 0;
    int mode = -1;
    int width = 0;
    int height = 0;
    int refreshRate = 0;
    bool operator==(const DisplayView&) const = default;
  };
  static DisplayView ViewDisplay();
  // Takes the display's full-screen state and mode as the pending choices.
  void ReadVisualsFromDisplay();
  void FormatVisualsItems();
  void StepResolution();
  void ApplyVisuals();
  // Audio page.
  void FormatAudioItems();
  // Profile view.
  void DrawProfileStatistics(FrontEndCanvas& draw, const GameProfile& profile);
  void DrawProfileClearances(FrontEndCanvas& draw, const GameProfile& profile);

  std::unique_ptr<GameProfile>& profile_;
  std::unique_ptr<FrontEndCanvas> canvas_;
  // The profiles page's item of each listed file name, in list order.
  uint32_t listedProfiles_ = 0;
  // The display as the Visuals page last read it.
  DisplayView visualsDisplay_;
};

// The front end while one exists (the pause menu of a running game shows
// in it), else null.
GFrontEnd* GetGFrontEnd();

// Restarts a channel from start toward start + delta along the curve.
void RestartChannel(AnimChannel& channel, int32_t curve, float start, float delta, float seconds);

// The text a profile file's name gives in the profiles menu: the name without
// ".profile".
String ProfileNameOfFile(const char* fileName);

// The character a key gives in name entry (letters upper-case, digits of
// the main row and of the pad), or 0 for none.
char NameEntryCharacter(uint8_t code);
