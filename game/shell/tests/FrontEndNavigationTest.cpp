// The shared navigation, fades, the page layout and the pause menu.

#include <gtest/gtest.h>

#include "engine/foundation/Clock.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/rules/GameMessages.h"
#include "game/shell/Profile.h"
#include "game/shell/ShellServices.h"
#include "support/FrontEndTestSupport.h"

namespace {

using shell_test::MenuWindowTest;

MenuPage PageOf(const std::vector<bool>& enabled, uint32_t selection) {
  MenuPage page("Test", {});
  for (bool on : enabled) {
    MenuItem item;
    item.text = "Item";
    item.Enable(on);
    page.items.push_back(item);
  }
  page.selection = selection;
  return page;
}

TEST_F(MenuWindowTest, NavigationStopsAtTheEndsAndSkipsDisabledItems) {
  Build();
  struct Case {
    const char* what;
    std::vector<bool> enabled;
    uint32_t selection;
    uint32_t message;
    uint32_t expected;
    bool sounds;
  };
  const Case cases[] = {
      {"Down on the last item", {true, true, true}, 2, eMSG_Next, 2, false},
      {"Up on the first item", {true, true, true}, 0, eMSG_Previous, 0, false},
      {"Down over a disabled run", {true, false, false, true}, 0, eMSG_Next, 3, true},
      {"Up over a disabled run", {true, false, false, true}, 3, eMSG_Previous, 0, true},
      {"Down with only disabled items below", {true, true, false, false}, 1, eMSG_Next, 1, false},
      {"Up on the first enabled item", {false, true, true}, 1, eMSG_Previous, 1, false},
      {"Down one step", {true, true, true}, 0, eMSG_Next, 1, true},
  };
  for (const Case& c : cases) {
    MenuPage page = PageOf(c.enabled, c.selection);
    frontEnd_->currentMenu = &page;
    receivers_.audio.received.clear();
    EXPECT_TRUE(Send(c.message)) << c.what;
    EXPECT_EQ(page.selection, c.expected) << c.what;
    EXPECT_EQ(receivers_.audio.Count(eMSG_AGUI_PlayMenuNavigation), c.sounds ? 1 : 0) << c.what;
    frontEnd_->currentMenu = nullptr;
  }
}

TEST_F(MenuWindowTest, SelectSoundsAndIsLeftToTheStateEscapeGoesAtOnceOrNowhere) {
  Build();
  frontEnd_->escapeState = nullptr;
  MenuPage page = PageOf({true, true}, 0);
  frontEnd_->currentMenu = &page;
  EXPECT_FALSE(frontEnd_->escapeState);
  // Select through the shared navigation alone stays unhandled.
  CMSGMessage select;
  select.id = eMSG_Select;
  frontEnd_->OnMenuMessage(&select);
  EXPECT_EQ(select.handled & 1, 0);
  EXPECT_EQ(receivers_.audio.Count(eMSG_AGUI_PlayMenuSelect), 1);

  // Escape without an escape state: handled, nothing requested.
  EXPECT_TRUE(Send(eMSG_Escape));
  EXPECT_EQ(frontEnd_->GetPendingState(), nullptr);
  // With one: requested at once, no fade.
  frontEnd_->escapeState = &frontEnd_->fsmOptionsMenu;
  EXPECT_TRUE(Send(eMSG_Escape));
  EXPECT_TRUE(frontEnd_->IsPending(&frontEnd_->fsmOptionsMenu));
  EXPECT_EQ(GetGEMMSGService()->CountMessages(frontEnd_->GetId(), eMSG_GChangeState), 0u);
  frontEnd_->currentMenu = nullptr;
}

TEST_F(MenuWindowTest, InputDuringAFadeOutMovesTheOldPageAndTheStateChangesWhenTheFadeEnds) {
  Build();
  Send(eMSG_Next);
  Send(eMSG_Next);
  Send(eMSG_Select);  // "Options"
  EXPECT_FLOAT_EQ(frontEnd_->fadeChannel.output, 1.0f);
  Wait(0.2f);
  EXPECT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmMainMenu));
  EXPECT_LT(frontEnd_->fadeChannel.output, 1.0f);
  Send(eMSG_Next);
  EXPECT_EQ(frontEnd_->mainMenu->selection, 3u);
  Wait(0.3f);
  EXPECT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmOptionsMenu));
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"Visual", "Audio"}));
  // Escape returns at once.
  Send(eMSG_Escape);
  EXPECT_TRUE(StepInto(frontEnd_->fsmMainMenu));
}

TEST_F(MenuWindowTest, TheMainMenuAsksTheOwnerForHighScoresAndCreditsAndStartsAChosenMode) {
  AddProfile("ann");
  profile_ = LoadProfileNamed("ann");
  Build();
  Choose("Highscores");
  Choose("Credits");
  EXPECT_EQ(receivers_.game.Count(eMSG_GHighScores), 1);
  EXPECT_EQ(receivers_.game.Count(eMSG_GCredits), 1);
  Choose("Start Game");
  ASSERT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmStartMenu));
  int chosen = -1;
  receivers_.game.onMessage = [&](const CMSGMessage& message) {
    if (message.id == eMSG_Start) chosen = static_cast<int>(*reinterpret_cast<const uint32_t*>(message.parameter));
  };
  Send(eMSG_Next);
  Send(eMSG_Select);
  EXPECT_EQ(chosen, 1);
  receivers_.game.onMessage = nullptr;
}

TEST_F(MenuWindowTest, APageIsDrawnCentredWithItsHelpLinesAndTheFontsPutBack) {
  AddProfile("ann");
  profile_ = LoadProfileNamed("ann");
  Build();
  Wait(GFrontEnd::kFadeSeconds);
  Send(eMSG_Next);
  canvas_->SetAlpha(2, 0.25f);
  Draw();
  struct Row {
    const char* text;
    int font;
    float y;
    float glyph;
  };
  const Row rows[] = {
      {"Main Menu", 0, 272, 32},
      {"Start Game", 5, 336, 32},
      {"Profiles", 2, 368, 32},
      {"Options", 5, 400, 32},
      {"Exit", 5, 496, 32},
      {"Welcome ann!", 6, 200, 32},
      {"Up / down to navigate menu", 1, 560, 16},
      {"Return / Fire to select", 1, 576, 16},
  };
  for (const Row& row : rows) {
    const shell_test::DrawnText* drawn = canvas_->Find(row.text);
    ASSERT_NE(drawn, nullptr) << row.text;
    EXPECT_EQ(drawn->font, row.font) << row.text;
    EXPECT_FLOAT_EQ(drawn->y, row.y) << row.text;
    EXPECT_FLOAT_EQ(drawn->x, 400.0f - std::string(row.text).size() * row.glyph / 2) << row.text;
    EXPECT_FLOAT_EQ(drawn->alpha, frontEnd_->fadeChannel.output) << row.text;
  }
  EXPECT_FLOAT_EQ(canvas_->Alpha(2), 0.25f);
  EXPECT_FLOAT_EQ(canvas_->GlyphSize(1).x, 32.0f);

  // An empty first help line still takes its row; no profile, no welcome.
  profile_.reset();
  frontEnd_->helpLine1 = "";
  Draw();
  EXPECT_FLOAT_EQ(canvas_->Find("Return / Fire to select")->y, 576.0f);
  EXPECT_EQ(canvas_->Find("Welcome ann!"), nullptr);

  // Colours past the fonts there are use the last one.
  auto few = std::make_unique<shell_test::RecordingCanvas>(4);
  shell_test::RecordingCanvas* small = few.get();
  frontEnd_->SetCanvas(std::move(few));
  frontEnd_->DrawContents();
  EXPECT_EQ(small->Find("Start Game")->font, 3);
  EXPECT_EQ(small->Find("Profiles")->font, 2);
}

TEST_F(MenuWindowTest, ThePauseMenuShowsOverTheGameAndItsPageIsGoneBeforeTheExitConfirmation) {
  AddProfile("ann");
  profile_ = LoadProfileNamed("ann");
  Build();
  frontEnd_->ShowPauseMenu(true);
  EXPECT_TRUE(frontEnd_->IsPauseMenuShowing());
  EXPECT_TRUE(frontEnd_->HasState(GUIState::kActive));
  EXPECT_FALSE(frontEnd_->HasState(GUIState::kShown));
  Wait(0.2f);
  EXPECT_TRUE(frontEnd_->HasState(GUIState::kShown));
  ASSERT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmPauseMenu));
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"Continue", "Restart Novalith", "Exit"}));
  Draw();
  ASSERT_FALSE(canvas_->quads.empty());
  EXPECT_TRUE(canvas_->quads[0].material.empty());
  EXPECT_GT(canvas_->quads[0].alpha, 0.0f);
  EXPECT_TRUE(Send(eMSG_Escape));
  EXPECT_EQ(frontEnd_->GetPendingState(), nullptr);

  Send(eMSG_Next);
  Send(eMSG_Next);
  Send(eMSG_Select);
  // The fade ends: the exit page is requested.
  Clock::Instance().SetGameTime(now_ + GFrontEnd::kFadeSeconds + 0.01f);
  GetGEMMSGService()->Deliver();
  ASSERT_TRUE(frontEnd_->IsPending(&frontEnd_->fsmExitMenu));
  // The step that leaves the pause state frees its page; the exit page comes
  // a step later. Nothing in between may reach the freed page.
  for (int step = 0; step < 2 && !frontEnd_->IsCurrent(&frontEnd_->fsmExitMenu); ++step) {
    Step();
    Draw();
    Send(eMSG_Next);
    Send(eMSG_Select);
  }
  ASSERT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmExitMenu));
  EXPECT_EQ(frontEnd_->pauseMenu, nullptr);
  EXPECT_EQ(frontEnd_->currentMenu->selection, 1u);
  EXPECT_EQ(frontEnd_->escapeState, &frontEnd_->fsmPauseMenu);
  EXPECT_TRUE(Send(eMSG_Escape));
  EXPECT_EQ(frontEnd_->GetPendingState(), nullptr);

  Send(eMSG_Previous);
  Send(eMSG_Select);
  EXPECT_EQ(receivers_.game.Count(eMSG_GExit), 1);
  EXPECT_FALSE(frontEnd_->IsPauseMenuShowing());
  EXPECT_FALSE(frontEnd_->HasState(GUIState::kShown));
}

TEST_F(MenuWindowTest, ThePauseMenuOfPanicHasNoRestartAndContinueHandsTheSoundBackToTheGame) {
  AddProfile("ann");
  profile_ = LoadProfileNamed("ann");
  profile_->mode = kModePanic;
  Build();
  std::vector<std::pair<uint32_t, LayerFade>> fades;
  receivers_.audio.onMessage = [&](const CMSGMessage& message) {
    if (message.id == eMSG_ALayer_VolumeFadeIn || message.id == eMSG_ALayer_VolumeFadeOut) {
      fades.push_back({message.id, *reinterpret_cast<const LayerFade*>(message.parameter)});
    }
  };
  frontEnd_->ShowPauseMenu(true);
  ASSERT_TRUE(StepInto(frontEnd_->fsmPauseMenu));
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"Continue", "Exit"}));
  Send(eMSG_Select);
  receivers_.audio.onMessage = nullptr;
  ASSERT_EQ(fades.size(), 3u);
  EXPECT_EQ(fades[0].first, static_cast<uint32_t>(eMSG_ALayer_VolumeFadeOut));
  EXPECT_EQ(fades[0].second.layer, 1);
  EXPECT_EQ(fades[1].second.layer, 0);
  EXPECT_EQ(fades[2].second.layer, 3);
  EXPECT_FLOAT_EQ(fades[2].second.seconds, 1.0f);
  EXPECT_FALSE(frontEnd_->IsPauseMenuShowing());
}

TEST_F(MenuWindowTest, TheGamesServicesShowThePauseMenuInTheFrontEndWhileOneExists) {
  FrontEndServices services;
  services.ShowPauseMenu();
  EXPECT_FALSE(services.IsPauseMenuShowing());
  Build();
  EXPECT_FALSE(services.IsPauseMenuShowing());
  services.ShowPauseMenu();
  EXPECT_TRUE(services.IsPauseMenuShowing());
  EXPECT_TRUE(StepInto(frontEnd_->fsmPauseMenu));
  frontEnd_.reset();
  EXPECT_FALSE(services.IsPauseMenuShowing());
}

}  // namespace
