// The profiles menu, deleting a profile and name entry.

#include <gtest/gtest.h>

#include <filesystem>

#include "game/rules/GameMessages.h"
#include "game/shell/Profile.h"
#include "platform/InputSources.h"
#include "platform/KeyCodes.h"
#include "support/FrontEndTestSupport.h"
#include "support/ShellTestSupport.h"

namespace {

namespace key = platform::key;
using shell_test::MenuWindowTest;

class FrontEndProfiles : public MenuWindowTest {
 protected:
  std::string ProfilePath(const std::string& name) const {
    return std::string(std::getenv("VYRE_USER_DIR")) + "/Profiles/" + name + ".profile";
  }
  void ClearProfiles() const { std::filesystem::remove_all(std::string(std::getenv("VYRE_USER_DIR")) + "/Profiles"); }
  void Enter(FsmState& state) {
    frontEnd_->Next(&state);
    ASSERT_TRUE(StepInto(state));
  }
  void Type(const std::string& name) {
    for (char c : name) {
      for (int code = 1; code < platform::kKeyCount; ++code) {
        if (NameEntryCharacter(static_cast<uint8_t>(code)) == c) {
          SendKeys({static_cast<uint8_t>(code)});
          break;
        }
      }
    }
  }
  std::vector<bool> Enabled() const {
    std::vector<bool> enabled;
    for (const MenuItem& item : frontEnd_->currentMenu->items) enabled.push_back(item.enabled);
    return enabled;
  }
  std::vector<uint32_t> Colours() const {
    std::vector<uint32_t> colours;
    for (const MenuItem& item : frontEnd_->currentMenu->items) colours.push_back(item.colour);
    return colours;
  }
};

constexpr const char* kLongName = "abcdefghijklmnop";  // 16 characters

TEST_F(FrontEndProfiles, ThePageListsUpToFourFilesAndEnablesWhatCanBeChosen) {
  Build();
  struct Case {
    std::vector<std::string> files;
    const char* current;
    std::vector<std::string> items;
    std::vector<bool> enabled;
    std::vector<uint32_t> colours;
    const char* help;
  };
  const std::string del = "Delete Profile", add = "New Profile";
  const Case cases[] = {
      {{}, "", {del, add}, {false, true}, {7, 5}, "CHOOSE A PROFILE"},
      {{"ann"}, "ann", {del, "ann", add}, {false, true, true}, {7, 3, 5}, "PRESS ESCAPE TO RETURN TO MAIN MENU"},
      {{"ann", "bob"},
       "bob",
       {del, "ann", "bob", add},
       {true, true, true, true},
       {5, 5, 3, 5},
       "PRESS ESCAPE TO RETURN TO MAIN MENU"},
      {{"ann", "bob"}, "", {del, "ann", "bob", add}, {false, true, true, true}, {7, 5, 5, 5}, "CHOOSE A PROFILE"},
      {{"ann", "bob", "cat", "dan"},
       "ann",
       {del, "ann", "bob", "cat", "dan", add},
       {true, true, true, true, true, false},
       {5, 3, 5, 5, 5, 7},
       "PRESS ESCAPE TO RETURN TO MAIN MENU"},
      {{"ann", "bob", "cat", "dan", "eve"},
       "eve",
       {del, "ann", "bob", "cat", "dan", add},
       {true, true, true, true, true, false},
       {5, 5, 5, 5, 5, 7},
       "PRESS ESCAPE TO RETURN TO MAIN MENU"},
      {{"abcdefghijklmno", kLongName},
       "",
       {del, "abcdefghijklmno", "", add},
       {false, true, false, true},
       {7, 5, 7, 5},
       "CHOOSE A PROFILE"},
  };
  for (const Case& c : cases) {
    ClearProfiles();
    for (const std::string& file : c.files) shell_test::WriteBytes(ProfilePath(file), "0.5");
    profile_.reset();
    if (*c.current != '\0') {
      AddProfile(c.current);
      profile_ = LoadProfileNamed(c.current);
    }
    Enter(frontEnd_->fsmProfilesMenu);
    const std::string what = std::to_string(c.files.size()) + " files";
    EXPECT_EQ(ItemTexts(), c.items) << what;
    EXPECT_EQ(Enabled(), c.enabled) << what;
    EXPECT_EQ(Colours(), c.colours) << what;
    EXPECT_STREQ(frontEnd_->helpLine1.Chars(), "SELECT PROFILE TO VIEW ACHIEVEMENTS");
    EXPECT_STREQ(frontEnd_->helpLine2.Chars(), c.help) << what;
    EXPECT_TRUE(frontEnd_->currentMenu->IsSelectable(frontEnd_->currentMenu->selection)) << what;
    Enter(frontEnd_->fsmMainMenu);
  }
}

TEST_F(FrontEndProfiles, TheSelectionFollowsTheLastUsedProfileAndLeavesAFreshlyDisabledItem) {
  AddProfile("ann");
  AddProfile("bob");
  profile_ = LoadProfileNamed("bob");
  puzzle_test::GameFixture::SetLastProfile("bob");
  Build();
  Choose("Profiles");
  ASSERT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmProfilesMenu));
  EXPECT_EQ(frontEnd_->currentMenu->selection, 2u);

  Choose("Delete Profile");
  ASSERT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmDeleteMenu));
  EXPECT_EQ(frontEnd_->currentMenu->selection, 1u);  // "No!"
  Choose("Yes");
  EXPECT_EQ(profile_, nullptr);
  EXPECT_EQ(GetCurrentProfile(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(ProfilePath("bob")));
  ASSERT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmProfilesMenu));
  // The kept selection lay on "Delete Profile", disabled now.
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"Delete Profile", "ann", "New Profile"}));
  EXPECT_EQ(frontEnd_->currentMenu->selection, 1u);
  EXPECT_STREQ(frontEnd_->helpLine2.Chars(), "CHOOSE A PROFILE");
  // Escape is refused while a profile can be chosen.
  Send(eMSG_Escape);
  EXPECT_EQ(frontEnd_->GetPendingState(), nullptr);

  // "Yes" on the delete page without a profile deletes nothing.
  Enter(frontEnd_->fsmDeleteMenu);
  Send(eMSG_Previous);
  Send(eMSG_Select);
  Wait(GFrontEnd::kFadeSeconds);
  EXPECT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmDeleteMenu));
  EXPECT_TRUE(std::filesystem::exists(ProfilePath("ann")));

  // Choosing a name makes it the profile in use and remembers it.
  Enter(frontEnd_->fsmProfilesMenu);
  Choose("ann");
  ASSERT_NE(profile_, nullptr);
  EXPECT_EQ(GetCurrentProfile(), profile_.get());
  EXPECT_STREQ(profile_->name.Chars(), "ann");
  EXPECT_EQ(LastProfile(), "ann");
  EXPECT_EQ(Colours(), (std::vector<uint32_t>{7, 3, 5}));
  EXPECT_STREQ(frontEnd_->helpLine2.Chars(), "PRESS ESCAPE TO RETURN TO MAIN MENU");
  // Choosing it again views it.
  Choose("ann");
  EXPECT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmViewProfile));
}

TEST_F(FrontEndProfiles, StartingWithoutAProfileNamesOneFirstThenOffersTheModes) {
  Build();
  Choose("Start Game");
  ASSERT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmNewProfile));
  Type("BOB1");
  EXPECT_EQ(ItemTexts(), std::vector<std::string>{"BOB1"});
  EXPECT_TRUE(SendKeys({key::Return}));
  Wait(GFrontEnd::kFadeSeconds);
  EXPECT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmStartMenu));
  ASSERT_NE(profile_, nullptr);
  EXPECT_EQ(GetCurrentProfile(), profile_.get());
  EXPECT_STREQ(profile_->name.Chars(), "bob1");
  EXPECT_TRUE(std::filesystem::exists(ProfilePath("bob1")));
  EXPECT_EQ(LastProfile(), "bob1");
}

TEST_F(FrontEndProfiles, NameEntryTakesLettersAndDigitsUpToEightAndSwallowsEveryKey) {
  Build();
  struct Case {
    const char* what;
    std::vector<uint8_t> keys;
    const char* typed;
  };
  const Case cases[] = {
      {"letter rows", {key::Q, key::P, key::A, key::L, key::Z, key::M}, "QPALZM"},
      {"digit row, cut at eight",
       {key::Digit1, key::Digit2, key::Digit3, key::Digit4, key::Digit5, key::Digit6, key::Digit7, key::Digit8,
        key::Digit9},
       "12345678"},
      {"digit row ends in 0", {key::Digit9, key::Digit0}, "90"},
      {"pad",
       {key::Numpad7, key::Numpad8, key::Numpad9, key::Numpad4, key::Numpad5, key::Numpad6, key::Numpad1, key::Numpad2},
       "78945612"},
      {"pad ends in 3 and 0", {key::Numpad3, key::Numpad0}, "30"},
      {"Backspace, also on an empty name", {key::A, key::Backspace, key::Backspace, key::B}, "B"},
      {"a key list ends at its first 0", {key::A, 0, key::B}, "A"},
      {"Escape, arrows and other keys",
       {key::Escape, key::Up, key::Down, key::NumpadPlus, key::LeftBracket, key::Space},
       ""},
      {"Return on an empty name", {key::Return}, ""},
  };
  Enter(frontEnd_->fsmNewProfile);
  for (const Case& c : cases) {
    while (!ItemTexts()[0].empty()) SendKeys({key::Backspace});
    EXPECT_TRUE(SendKeys(c.keys)) << c.what;
    EXPECT_EQ(ItemTexts()[0], c.typed) << c.what;
  }
  Wait(GFrontEnd::kFadeSeconds);
  EXPECT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmNewProfile));
  EXPECT_EQ(profile_, nullptr);
  // The menu messages do nothing here either.
  EXPECT_FALSE(Send(eMSG_Escape));
  EXPECT_EQ(frontEnd_->GetPendingState(), nullptr);
}

TEST_F(FrontEndProfiles, TypingAnExistingNameInCapitalsLoadsItAndLeavesItsFileAsItWas) {
  AddProfile("ann", 37);
  const std::string before = shell_test::ReadBytes(ProfilePath("ann"));
  ASSERT_FALSE(before.empty());
  Build();
  Enter(frontEnd_->fsmNewProfile);
  Type("ANN");
  SendKeys({key::Return});
  ASSERT_NE(profile_, nullptr);
  EXPECT_EQ(profile_->stars, 37u);
  EXPECT_STREQ(profile_->name.Chars(), "ann");
  EXPECT_EQ(shell_test::ReadBytes(ProfilePath("ann")), before);
  EXPECT_EQ(LastProfile(), "ann");
  Wait(GFrontEnd::kFadeSeconds);
  EXPECT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmProfilesMenu));
}

TEST_F(FrontEndProfiles, AFileThatDoesNotLoadLeavesTheProfileInUseAndTheLastUsedName) {
  AddProfile("ann", 5);
  shell_test::WriteBytes(ProfilePath("bad"), std::string("0.4\0bad", 7) + std::string(256, '\0'));
  profile_ = LoadProfileNamed("ann");
  GameProfile* ann = profile_.get();
  puzzle_test::GameFixture::SetLastProfile("ann");
  Build();
  Enter(frontEnd_->fsmProfilesMenu);
  shell_test::ClearGemLines();

  Choose("bad");
  EXPECT_EQ(profile_.get(), ann);
  EXPECT_EQ(GetCurrentProfile(), ann);
  EXPECT_EQ(LastProfile(), "ann");
  EXPECT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmProfilesMenu));
  EXPECT_EQ(Colours(), (std::vector<uint32_t>{5, 3, 5, 5}));
  bool logged = false;
  for (const std::string& line : shell_test::GemLines()) logged |= line.find("bad.profile") != std::string::npos;
  EXPECT_TRUE(logged);

  Enter(frontEnd_->fsmNewProfile);
  Type("BAD");
  SendKeys({key::Return});
  Wait(GFrontEnd::kFadeSeconds);
  EXPECT_EQ(profile_.get(), ann);
  EXPECT_EQ(GetCurrentProfile(), ann);
  EXPECT_EQ(LastProfile(), "ann");
  EXPECT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmNewProfile));
  EXPECT_FALSE(std::filesystem::exists(ProfilePath("")));
}

// A profile file that is there but cannot be read is never replaced by a new
// profile of its name: the page says so, the player may type another name,
// and the terminal says which file and why.
TEST_F(FrontEndProfiles, AnUnreadableProfileIsNeverReplacedByANewOne) {
  Build();
  for (const shell_test::UnreadableShape& shape : shell_test::UnreadableShapes()) {
    SCOPED_TRACE(shape.what);
    ClearProfiles();
    shell_test::MakeUnreadable(ProfilePath("alice"), shape);
    const std::string kind = shell_test::KindAt(ProfilePath("alice"));
    shell_test::ClearTerminalLines();
    Enter(frontEnd_->fsmNewProfile);
    Type("ALICE");
    EXPECT_TRUE(SendKeys({key::Return}));
    Wait(GFrontEnd::kFadeSeconds);
    EXPECT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmNewProfile));
    EXPECT_EQ(profile_, nullptr);
    EXPECT_EQ(frontEnd_->helpLine1, "THIS PROFILE CANNOT BE READ");
    EXPECT_EQ(frontEnd_->helpLine2, "TYPE ANOTHER NAME");
    EXPECT_EQ(shell_test::KindAt(ProfilePath("alice")), kind);
    EXPECT_TRUE(shell_test::TerminalSays({ProfilePath("alice"), shape.reason}));

    // Another name makes its profile.
    while (!ItemTexts()[0].empty()) SendKeys({key::Backspace});
    Type("BOB");
    SendKeys({key::Return});
    ASSERT_NE(profile_, nullptr);
    EXPECT_STREQ(profile_->name.Chars(), "bob");
    Wait(GFrontEnd::kFadeSeconds);
    profile_.reset();
  }
}

TEST_F(FrontEndProfiles, AnUnreadableProfileChosenFromThePageIsSaidAndLeftAlone) {
  AddProfile("ann", 5);
  profile_ = LoadProfileNamed("ann");
  GameProfile* ann = profile_.get();
  // The page lists what is not a folder: one name per other shape.
  std::vector<std::pair<std::string, shell_test::UnreadableShape>> unreadable;
  for (const shell_test::UnreadableShape& shape : shell_test::UnreadableShapes()) {
    if (std::string(shape.what) == "a folder") continue;
    const std::string name = unreadable.empty() ? "alice" : "carol";
    shell_test::MakeUnreadable(ProfilePath(name), shape);
    unreadable.emplace_back(name, shape);
  }
  Build();
  Enter(frontEnd_->fsmProfilesMenu);
  for (const auto& [name, shape] : unreadable) {
    SCOPED_TRACE(shape.what);
    const std::string kind = shell_test::KindAt(ProfilePath(name));
    shell_test::ClearTerminalLines();
    Choose(name);
    EXPECT_EQ(profile_.get(), ann);
    EXPECT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmProfilesMenu));
    EXPECT_EQ(frontEnd_->helpLine2, "THIS PROFILE CANNOT BE READ");
    EXPECT_EQ(shell_test::KindAt(ProfilePath(name)), kind);
    EXPECT_TRUE(shell_test::TerminalSays({ProfilePath(name), shape.reason}));
  }
}

// A new profile whose file cannot be written (here "Profiles" is a plain
// file) is not made: the page says so and stays, the profile in use stays in
// use, no other is welcomed, and the last used name is kept.
TEST_F(FrontEndProfiles, ANewProfileThatCannotBeSavedIsNotMade) {
  // Started as the player starts it: from a folder other than the user folder.
  const shell_test::PlayerFolders folders;
  const std::string folder = std::string(std::getenv("VYRE_USER_DIR")) + "/Profiles";
  struct Case {
    const char* what;
    const char* inUse;  // null: no profile in use
  };
  const Case cases[] = {{"no profile in use", nullptr}, {"a profile in use", "ann"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    profile_.reset();
    if (c.inUse != nullptr) {
      AddProfile(c.inUse, 5);
      profile_ = LoadProfileNamed(c.inUse);
      ASSERT_NE(profile_, nullptr);
      puzzle_test::GameFixture::SetLastProfile(c.inUse);
    }
    GameProfile* inUse = profile_.get();
    const std::string lastUsed = LastProfile();
    ClearProfiles();
    shell_test::WriteBytes(folder, "not a folder");
    Build();
    Choose(c.inUse != nullptr ? "Profiles" : "Start Game");
    if (c.inUse != nullptr) Choose("New Profile");
    ASSERT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmNewProfile));
    shell_test::ClearTerminalLines();

    Type("BOB");
    EXPECT_TRUE(SendKeys({key::Return}));
    Wait(GFrontEnd::kFadeSeconds);
    EXPECT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmNewProfile));
    EXPECT_EQ(profile_.get(), inUse);
    EXPECT_EQ(GetCurrentProfile(), inUse);
    EXPECT_EQ(LastProfile(), lastUsed);
    EXPECT_EQ(frontEnd_->helpLine1, "THIS PROFILE CANNOT BE SAVED");
    EXPECT_EQ(frontEnd_->helpLine2, "THE TERMINAL SAYS WHICH FILE AND WHY");
    EXPECT_TRUE(shell_test::TerminalSays({"Failed to save profile bob", folder + "/bob.profile", "Not a directory"}));
    EXPECT_EQ(shell_test::KindAt(folder), "file");
    Draw();
    EXPECT_EQ(canvas_->Find("Welcome bob!"), nullptr);
    EXPECT_NE(canvas_->Find("THIS PROFILE CANNOT BE SAVED"), nullptr);
    if (c.inUse != nullptr) EXPECT_NE(canvas_->Find(std::string("Welcome ") + c.inUse + "!"), nullptr);
    // The name stays typed, and Return tries again once the folder is mended.
    EXPECT_EQ(ItemTexts(), std::vector<std::string>{"BOB"});
    std::filesystem::remove(folder);
    EXPECT_TRUE(SendKeys({key::Return}));
    ASSERT_NE(profile_, nullptr);
    EXPECT_STREQ(profile_->name.Chars(), "bob");
    EXPECT_EQ(LastProfile(), "bob");
    Wait(GFrontEnd::kFadeSeconds);
    EXPECT_FALSE(frontEnd_->IsCurrent(&frontEnd_->fsmNewProfile));
    frontEnd_.reset();
  }
}

TEST_F(FrontEndProfiles, APageWithNothingToChooseLetsThePlayerBackToTheMainMenu) {
  for (const char* name : {"abcdefghijklmnop", "bcdefghijklmnopq", "cdefghijklmnopqr", "defghijklmnopqrs"}) {
    shell_test::WriteBytes(ProfilePath(name), "0.5");
  }
  Build();
  Enter(frontEnd_->fsmProfilesMenu);
  EXPECT_EQ(Enabled(), (std::vector<bool>{false, false, false, false, false, false}));
  Send(eMSG_Select);
  EXPECT_EQ(frontEnd_->GetPendingState(), nullptr);
  EXPECT_TRUE(Send(eMSG_Escape));
  EXPECT_TRUE(StepInto(frontEnd_->fsmMainMenu));
}

}  // namespace
