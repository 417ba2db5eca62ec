// The profiles menu and name entry: choosing, creating and loading the
// profile in use, and remembering it as the last used ("Profile").

#include <cstring>

#include "engine/foundation/Clock.h"
#include "engine/foundation/DirList.h"
#include "engine/foundation/Log.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/messages/MessageIds.h"
#include "engine/runtime/settings/Registry.h"
#include "game/rules/GameMessages.h"
#include "game/shell/GFrontEnd.h"
#include "game/shell/Profile.h"
#include "game/shell/ProfileName.h"
#include "platform/KeyCodes.h"
#include "platform/UserFolder.h"

namespace {

constexpr const char* kProfileExtension = ".profile";
// Names this long or longer do not fit the menu: their items stay empty.
constexpr uint32_t kLongListedName = 16;
constexpr int kLastProfileCapacity = 256;
// The page's fixed items around the listed names.
constexpr uint32_t kDeleteItem = 0;
constexpr uint32_t kFirstNameItem = 1;
// Said on the page when a profile file is there but does not load (the log
// and the terminal say why); the file stays as it is.
constexpr const char* kUnreadableProfile = "THIS PROFILE CANNOT BE READ";
constexpr const char* kTypeAnotherName = "TYPE ANOTHER NAME";
// Said when a new profile's file cannot be written. Such a failure is the
// folder's or the disk's, not the name's, so another name would fare no
// better: the terminal names the file and the system's reason.
constexpr const char* kUnsavedProfile = "THIS PROFILE CANNOT BE SAVED";
constexpr const char* kTerminalSaysWhy = "THE TERMINAL SAYS WHICH FILE AND WHY";

namespace key = platform::key;

}  // namespace

String ProfileNameOfFile(const char* fileName) {
  const size_t length = std::strlen(fileName);
  const size_t extension = std::strlen(kProfileExtension);
  String name(fileName);
  if (length >= extension && std::strcmp(fileName + length - extension, kProfileExtension) == 0) {
    return name.Left(static_cast<int>(length - extension));
  }
  return name;
}

char NameEntryCharacter(uint8_t code) {
  static const char kTopRow[] = "QWERTYUIOP";
  static const char kMiddleRow[] = "ASDFGHJKL";
  static const char kBottomRow[] = "ZXCVBNM";
  static const char kDigits[] = "1234567890";
  // The letter rows and the digit row are runs of codes in keyboard order.
  if (code >= key::Q && code <= key::P) return kTopRow[code - key::Q];
  if (code >= key::A && code <= key::L) return kMiddleRow[code - key::A];
  if (code >= key::Z && code <= key::M) return kBottomRow[code - key::Z];
  if (code >= key::Digit1 && code <= key::Digit0) return kDigits[code - key::Digit1];
  // The numeric pad is laid out in rows of three from 7 down to 0.
  switch (code) {
    case key::Numpad7:
      return '7';
    case key::Numpad8:
      return '8';
    case key::Numpad9:
      return '9';
    case key::Numpad4:
      return '4';
    case key::Numpad5:
      return '5';
    case key::Numpad6:
      return '6';
    case key::Numpad1:
      return '1';
    case key::Numpad2:
      return '2';
    case key::Numpad3:
      return '3';
    case key::Numpad0:
      return '0';
    default:
      return 0;
  }
}

void GFrontEnd::RememberProfile(const char* profileName) {
  RegistryWriteValue("Profile", 0, profileName, static_cast<uint32_t>(std::strlen(profileName) + 1));
}

bool GFrontEnd::UseProfileNamed(const String& profileName) {
  std::unique_ptr<Profile> loaded = LoadProfileNamed(profileName);
  if (!loaded) {
    // The profile in use stays in use; the player stays on the page.
    LogGEM("Failed to load profile %s", platform::UserReadPath(ProfileRelativePath(profileName.Chars())).c_str());
    return false;
  }
  profile_ = std::move(loaded);
  RememberProfile(profile_->name.Chars());
  return true;
}

// ---- profiles menu ----

void GFrontEnd::OnEnterProfilesMenuFSM() {
  const bool firstVisit = !profilesMenu;
  if (firstVisit) profilesMenu = std::make_unique<MenuPage>("Profile Menu", std::initializer_list<const char*>{});
  BuildProfileItems();
  uint32_t selection = firstVisit ? kFirstNameItem : profilesMenu->selection;
  char lastUsed[kLastProfileCapacity] = {};
  if (RegistryReadValue("Profile", lastUsed, sizeof lastUsed) > 0 && lastUsed[0] != '\0') {
    for (uint32_t index = kFirstNameItem; index < kFirstNameItem + listedProfiles_; ++index) {
      if (profilesMenu->items[index].text == lastUsed) selection = index;
    }
  }
  EnterMenu(profilesMenu.get(), &fsmMainMenu, selection);
  helpLine1 = "SELECT PROFILE TO VIEW ACHIEVEMENTS";
  SetProfilesHelp();
}

void GFrontEnd::BuildProfileItems() {
  DirList listing;
  listing.Scan((platform::UserFolder() + "/Profiles/*" + kProfileExtension).c_str());
  listedProfiles_ = listing.FileCount() < kMaxListedProfiles ? listing.FileCount() : kMaxListedProfiles;
  std::vector<MenuItem>& items = profilesMenu->items;
  items.assign(listedProfiles_ + 2, MenuItem{});
  items[kDeleteItem].text = "Delete Profile";
  for (uint32_t i = 0; i < listedProfiles_; ++i) {
    const String name = ProfileNameOfFile(listing.GetFile(i).Chars());
    if (name.Length() < kLongListedName) items[kFirstNameItem + i].text = name;
  }
  MenuItem& newProfile = items.back();
  newProfile.text = "New Profile";
  newProfile.Enable(listedProfiles_ < kMaxListedProfiles);
  ColourProfileItems();
}

void GFrontEnd::ColourProfileItems() {
  const GameProfile* current = CurrentProfile();
  std::vector<MenuItem>& items = profilesMenu->items;
  items[kDeleteItem].Enable(current != nullptr && listedProfiles_ >= 2);
  for (uint32_t index = kFirstNameItem; index < kFirstNameItem + listedProfiles_; ++index) {
    MenuItem& item = items[index];
    item.Enable(!item.text.IsEmpty());
    if (item.enabled && current != nullptr && item.text == current->name) item.colour = kCurrentProfileColour;
  }
}

void GFrontEnd::SetProfilesHelp() {
  helpLine2 = CurrentProfile() != nullptr ? "PRESS ESCAPE TO RETURN TO MAIN MENU" : "CHOOSE A PROFILE";
}

void GFrontEnd::ProfilesMenuFSM(CMSGMessage* message) {
  if (currentMenu == nullptr) return;
  if (IsSelect(message)) {
    message->handled |= 1;
    const uint32_t index = currentMenu->selection;
    if (!currentMenu->IsSelectable(index)) return;
    PlayMenuSound(eMSG_AGUI_PlayMenuSelect);
    ChooseProfileItem(index);
    return;
  }
  if (message->id == eMSG_Escape && (message->handled & 1) == 0) {
    message->handled |= 1;
    // Without a profile the player chooses one first, unless the page offers
    // nothing to choose.
    bool anySelectable = false;
    for (uint32_t index = 0; index < currentMenu->ItemCount(); ++index)
      anySelectable |= currentMenu->IsSelectable(index);
    if (CurrentProfile() != nullptr || !anySelectable) RequestState(&fsmMainMenu);
    return;
  }
  OnMenuMessage(message);
}

void GFrontEnd::ChooseProfileItem(uint32_t index) {
  if (index == kDeleteItem) {
    if (listedProfiles_ >= 1) FadeToMenu(&fsmDeleteMenu, kFadeSeconds);
    return;
  }
  if (index == currentMenu->ItemCount() - 1) {
    escapeState = &fsmProfilesMenu;
    FadeToMenu(&fsmNewProfile, kFadeSeconds);
    return;
  }
  const String chosen = currentMenu->items[index].text;
  const GameProfile* current = CurrentProfile();
  if (current != nullptr && chosen == current->name) {
    FadeToMenu(&fsmViewProfile, kFadeSeconds);
    return;
  }
  if (!UseProfileNamed(chosen)) {
    helpLine2 = kUnreadableProfile;
    return;
  }
  ColourProfileItems();
  SetProfilesHelp();
}

// ---- name entry ----

void GFrontEnd::OnEnterNewProfileFSM() {
  if (!newProfileMenu)
    newProfileMenu = std::make_unique<MenuPage>("Create a New Profile", std::initializer_list<const char*>{""});
  newProfileMenu->items[0].text = "";
  EnterMenu(newProfileMenu.get(), escapeState ? escapeState : &fsmProfilesMenu, 0);
  ClearHelpLines();
  cursorVisible = true;
  cursorTimer = kCursorBlinkSeconds;
}

void GFrontEnd::OnUpdateNewProfileFSM() {
  OnUpdateMenuFSM();
  if (cursorTimer > 0.0f) cursorTimer -= Clock::Instance().GetGameDelta();
  if (cursorTimer <= 0.0f) {
    cursorTimer = kCursorBlinkSeconds;
    cursorVisible = !cursorVisible;
  }
}

void GFrontEnd::NewProfileFSM(CMSGMessage* message) {
  if (message->handled & 1) return;
  if (message->id == eMSG_GChangeState) {
    if (fadeTarget != nullptr) RequestState(fadeTarget);
    fadeTarget = nullptr;
    message->handled |= 1;
    return;
  }
  if (message->id != eMSG_UIOKEYDOWN) return;
  message->handled |= 1;
  const auto* keys = reinterpret_cast<const uint8_t*>(message->parameter);
  CUIOKeyboard::ForEachListedKey(keys, [this](uint8_t code) { TypeKey(code); });
}

void GFrontEnd::TypeKey(uint8_t code) {
  String& typed = newProfileMenu->items[0].text;
  if (const char character = NameEntryCharacter(code)) {
    if (typed.Length() < kMaxNameLength) {
      const char text[2] = {character, '\0'};
      typed += text;
    }
  } else if (code == key::Backspace) {
    if (!typed.IsEmpty()) typed = typed.Left(static_cast<int>(typed.Length()) - 1);
  } else if (code == key::Return) {
    if (!typed.IsEmpty()) FinishNameEntry();
  }
}

void GFrontEnd::FinishNameEntry() {
  // Stored names are lower case: the file of a name typed in capitals is found.
  String typed = newProfileMenu->items[0].text;
  typed.ToLower();
  if (Profile::Exists(typed)) {
    // A file that does not load is never replaced by a new profile: the
    // player stays to type another name.
    if (!UseProfileNamed(typed)) {
      helpLine1 = kUnreadableProfile;
      helpLine2 = kTypeAnotherName;
      return;
    }
  } else {
    // A profile that could not be saved is not made: the one in use stays in
    // use and the last used name stays as it was.
    std::unique_ptr<Profile> created = CreateProfileNamed(typed);
    if (!created) {
      helpLine1 = kUnsavedProfile;
      helpLine2 = kTerminalSaysWhy;
      return;
    }
    profile_ = std::move(created);
    RememberProfile(profile_->name.Chars());
  }
  FadeToMenu(escapeState ? escapeState : &fsmProfilesMenu, kFadeSeconds);
}
