// The main, start, options, exit, pause and delete menus.

#include "engine/foundation/Log.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/rules/GameMessages.h"
#include "game/shell/GFrontEnd.h"
#include "game/shell/Profile.h"

namespace {

constexpr const char* kReturnToMain = "PRESS ESCAPE TO RETURN TO MAIN MENU";
constexpr float kAudioFadeSeconds = 1.0f;
// The audio layers the pause menu fades: the menus', the game's and the music.
constexpr int kMenuLayer = 1;
constexpr int kGameLayer = 0;
constexpr int kMusicLayer = 3;

// A page built on its state's first entry and kept.
MenuPage* Page(std::unique_ptr<MenuPage>& page, const char* title, std::initializer_list<const char*> items) {
  if (!page) page = std::make_unique<MenuPage>(title, items);
  return page.get();
}

}  // namespace

void GFrontEnd::OnEnterMainMenuFSM() {
  MenuPage* page = Page(mainMenu, "Main Menu", {"Start Game", "Profiles", "Options", "Highscores", "Credits", "Exit"});
  EnterMenu(page, nullptr, 0);
  exitMessage = eMSG_GExit;
  helpLine1 = "Up / down to navigate menu";
  helpLine2 = "Return / Fire to select";
}

void GFrontEnd::MainMenuFSM(CMSGMessage* message) {
  if (currentMenu == nullptr) return;
  OnMenuMessage(message);
  if (!IsSelect(message) || !currentMenu->IsSelectable(currentMenu->selection)) return;
  switch (currentMenu->selection) {
    case 0:
      // A game is played under a profile: without one the player names one first.
      if (CurrentProfile() == nullptr) {
        escapeState = &fsmStartMenu;
        FadeToMenu(&fsmNewProfile, kFadeSeconds);
      } else {
        FadeToMenu(&fsmStartMenu, kFadeSeconds);
      }
      break;
    case 1:
      if (CurrentProfile() == nullptr) {
        escapeState = &fsmProfilesMenu;
        FadeToMenu(&fsmNewProfile, kFadeSeconds);
      } else {
        FadeToMenu(&fsmProfilesMenu, kFadeSeconds);
      }
      break;
    case 2:
      FadeToMenu(&fsmOptionsMenu, kFadeSeconds);
      break;
    case 3:
      PostToOwner(eMSG_GHighScores, 0);
      break;
    case 4:
      PostToOwner(eMSG_GCredits, 0);
      break;
    case 5:
      FadeToMenu(&fsmExitMenu, kFadeSeconds);
      break;
    default:
      break;
  }
}

void GFrontEnd::OnEnterStartMenuFSM() {
  EnterMenu(Page(startMenu, "Start Game", {"Challenge Mode", "Panic Mode"}), &fsmMainMenu, 0);
  ClearHelpLines();
  helpLine2 = kReturnToMain;
}

void GFrontEnd::StartMenuFSM(CMSGMessage* message) {
  if (currentMenu == nullptr) return;
  OnMenuMessage(message);
  if (!IsSelect(message) || !currentMenu->IsSelectable(currentMenu->selection)) return;
  LogGEM("GFrontEnd::StartMenuFSM - Chose option %d", static_cast<int>(currentMenu->selection));
  // Delivered inside the post, so the owner reads the selection in place.
  PostToOwner(eMSG_Start, reinterpret_cast<intptr_t>(&currentMenu->selection));
}

void GFrontEnd::OnEnterOptionsMenuFSM() {
  EnterMenu(Page(optionsMenu, "Options", {"Visual", "Audio"}), &fsmMainMenu, 0);
  ClearHelpLines();
  helpLine2 = kReturnToMain;
}

void GFrontEnd::OptionsMenuFSM(CMSGMessage* message) {
  if (currentMenu == nullptr) return;
  OnMenuMessage(message);
  if (!IsSelect(message)) return;
  if (currentMenu->selection == 0) FadeToMenu(&fsmVisualsMenu, kFadeSeconds);
  if (currentMenu->selection == 1) FadeToMenu(&fsmAudioMenu, kFadeSeconds);
}

void GFrontEnd::OnEnterExitMenuFSM() {
  // Escape keeps the page that opened the confirmation ("No!" returns there).
  EnterMenu(Page(exitMenu, "Exit - Are you sure ?", {"Yes", "No!"}), escapeState ? escapeState : &fsmMainMenu, 1);
  ClearHelpLines();
}

void GFrontEnd::ExitMenuFSM(CMSGMessage* message) {
  if (currentMenu == nullptr) return;
  if (IsSelect(message)) {
    message->handled |= 1;
    PlayMenuSound(eMSG_AGUI_PlayMenuSelect);
    if (currentMenu->selection == 0) {
      PostToOwner(exitMessage, 0);
      overlayActive = false;
      ShowPauseMenu(false);
    } else if (currentMenu->selection == 1 && escapeState != nullptr) {
      FadeToMenu(escapeState, kFadeSeconds);
    }
    return;
  }
  // The confirmation is answered, never escaped.
  if (message->id == eMSG_Escape) message->handled |= 1;
  OnMenuMessage(message);
}

void GFrontEnd::OnEnterPauseMenuFSM() {
  // Challenge can restart its Novalith; Panic cannot.
  const GameProfile* profile = CurrentProfile();
  if (profile != nullptr && profile->mode == kModeChallenge) {
    pauseMenu = std::make_unique<MenuPage>("Pause Menu",
                                           std::initializer_list<const char*>{"Continue", "Restart Novalith", "Exit"});
  } else {
    pauseMenu = std::make_unique<MenuPage>("Pause Menu", std::initializer_list<const char*>{"Continue", "Exit"});
  }
  EnterMenu(pauseMenu.get(), nullptr, 0);
  ClearHelpLines();
}

void GFrontEnd::PauseMenuFSM(CMSGMessage* message) {
  if (currentMenu == nullptr) return;
  if (IsSelect(message)) {
    message->handled |= 1;
    PlayMenuSound(eMSG_AGUI_PlayMenuSelect);
    const MenuItem& item = currentMenu->items[currentMenu->selection];
    if (item.text == "Continue") {
      // The menus' sounds fade out, the game and its music come back.
      LayerFade menus{kMenuLayer, kAudioFadeSeconds};
      LayerFade game{kGameLayer, kAudioFadeSeconds};
      LayerFade music{kMusicLayer, kAudioFadeSeconds};
      PostAudioMessage(eMSG_ALayer_VolumeFadeOut, reinterpret_cast<intptr_t>(&menus), 0.0);
      PostAudioMessage(eMSG_ALayer_VolumeFadeIn, reinterpret_cast<intptr_t>(&game), 0.0);
      PostAudioMessage(eMSG_ALayer_VolumeFadeIn, reinterpret_cast<intptr_t>(&music), 0.0);
      ShowPauseMenu(false);
    } else if (item.text == "Restart Novalith") {
      PostToOwner(eMSG_GRestartChallenge, 0);
      ShowPauseMenu(false);
    } else if (item.text == "Exit") {
      escapeState = &fsmPauseMenu;
      FadeToMenu(&fsmExitMenu, kFadeSeconds);
    }
    return;
  }
  if (message->id == eMSG_Escape) message->handled |= 1;
  OnMenuMessage(message);
}

void GFrontEnd::OnExitPauseMenuFSM() {
  // The page goes with the state; nothing may draw or navigate it afterwards.
  if (currentMenu == pauseMenu.get()) currentMenu = nullptr;
  pauseMenu.reset();
}

void GFrontEnd::OnEnterDeleteMenuFSM() {
  EnterMenu(Page(deleteMenu, "Delete current profile?", {"Yes", "No!"}), &fsmProfilesMenu, 1);
  ClearHelpLines();
  helpLine2 = "PRESS ESCAPE TO RETURN TO PROFILES";
}

void GFrontEnd::DeleteMenuFSM(CMSGMessage* message) {
  if (currentMenu == nullptr) return;
  OnMenuMessage(message);
  if (!IsSelect(message)) return;
  if (currentMenu->selection == 1) {
    FadeToMenu(&fsmProfilesMenu, kFadeSeconds);
    return;
  }
  // Without a profile in use there is nothing to delete.
  auto* profile = dynamic_cast<Profile*>(CurrentProfile());
  if (profile == nullptr || !profile->Delete()) return;
  profile_.reset();
  FadeToMenu(&fsmProfilesMenu, kFadeSeconds);
}
