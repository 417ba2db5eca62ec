#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/foundation/Clock.h"
#include "engine/gui/ConsoleInputBox.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/Icon.h"
#include "engine/gui/MouseCursor.h"
#include "engine/gui/TextBox.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/tools/ConsoleWindow.h"
#include "engine/tools/DBGSystemWindow.h"
#include "engine/tools/DebugToolbar.h"
#include "engine/tools/EnvironmentWindow.h"
#include "engine/tools/HelpWindow.h"

namespace {

class SystemWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { system_.SetDefaultFrame(3); }

  // The tool window a button shows, by the button's name.
  std::map<std::string, std::string> Targets(const DebugToolbar& toolbar) const {
    std::map<std::string, std::string> targets;
    for (int i = 0; i < toolbar.GetButtonCount(); ++i) {
      const Icon* button = toolbar.GetButton(i);
      targets[button->name.Chars()] = NameOf(button->pressMessage.target);
    }
    return targets;
  }

  std::string NameOf(int32_t id) const {
    for (const auto& tool : system_.GetToolWindows()) {
      if (tool->GetId() == id) return tool->name.Chars();
    }
    if (id == system_.GetEnvironmentWindow()->GetId()) return "Vyre Environment";
    if (id == system_.GetId()) return "Vyre System";
    if (id == system_.GetToolbar()->GetSubToolbar(0)->GetId()) return "input toolbar";
    return "?";
  }

  DBGSystemWindow system_;
};

TEST_F(SystemWindowTest, SetUpMakesEveryToolOnceOverTheWholeScreen) {
  EXPECT_EQ(system_.name, "Vyre System");
  EXPECT_FLOAT_EQ(system_.GetLayer(), 90.0f);
  EXPECT_FLOAT_EQ(system_.outer.Width(), 800.0f);
  ASSERT_EQ(system_.GetToolWindows().size(), 19u);
  EXPECT_EQ(system_.GetToolWindows().front()->name, "Vyre Performance");
  EXPECT_EQ(system_.GetToolWindows().back()->name, "Vyre Directory List");
  PerformanceWindow* performance = system_.GetPerformanceWindow();
  ASSERT_NE(performance, nullptr);
  EXPECT_EQ(system_.GetHelpWindow()->name, "Vyre Help");
  EXPECT_EQ(system_.GetConsoleWindow()->name, "Vyre Console");
  system_.SetDefaultFrame(3);
  EXPECT_EQ(system_.GetPerformanceWindow(), performance);
  EXPECT_EQ(system_.GetToolWindows().size(), 19u);
  performance->SetTiming(42, 59.5f);
  EXPECT_EQ(performance->GetFrameNumber(), 42u);

  const Icon* invoke = system_.GetInvokeButton();
  EXPECT_EQ(invoke->name, "Invoke Vyre");
  EXPECT_FLOAT_EQ(invoke->outer.min.y, 568.0f);
  EXPECT_EQ(invoke->pressMessage.target, system_.GetToolbar()->GetId());
  EXPECT_EQ(system_.GetPromptBox()->name, "Vyre System:Prompt");
}

// Where a window's child element is on the screen: children are placed,
// drawn and pointed at from the window's content origin.
Vector2 OnScreen(const Window& window, const GUIObject& child) {
  return Vector2::Add(window.HitRect().min, child.outer.min);
}

TEST_F(SystemWindowTest, ButtonsRunUpTheToolbarAndAlongTheInputBar) {
  const DebugToolbar& main = *system_.GetToolbar();
  ASSERT_EQ(main.GetButtonCount(), 17);
  for (int i = 0; i < main.GetButtonCount(); ++i) {
    SCOPED_TRACE(main.GetButton(i)->name.Chars());
    EXPECT_FLOAT_EQ(OnScreen(main, *main.GetButton(i)).x, 0.0f);
    EXPECT_FLOAT_EQ(OnScreen(main, *main.GetButton(i)).y, 536.0f - 32.0f * i);
  }
  const DebugToolbar& input = *main.GetSubToolbar(0);
  ASSERT_EQ(input.GetButtonCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(OnScreen(input, *input.GetButton(i)).x, 32.0f + 32.0f * i);
    EXPECT_FLOAT_EQ(OnScreen(input, *input.GetButton(i)).y, 408.0f);
    EXPECT_EQ(input.GetButton(i)->gainFocusMessage.target, main.GetId());
  }
  EXPECT_FALSE(input.IsVisible());

  const std::map<std::string, std::string> expected = {{"Console", "Vyre Console"},
                                                       {"DBG System", "Vyre Performance"},
                                                       {"DBG Profiler", "Vyre Profiler"},
                                                       {"Camera Register", "Vyre Camera"},
                                                       {"UIO System", "input toolbar"},
                                                       {"MEM System", "Vyre Memory"},
                                                       {"Help", "Vyre Help"},
                                                       {"TEX Register", "Vyre Texture Register"},
                                                       {"MAT Register", "Vyre Material Register"},
                                                       {"3ME Register", "Vyre Model Register"},
                                                       {"GUI Register", "Vyre User Interface Register"},
                                                       {"SCN Register", "Vyre Scene Node Register"},
                                                       {"MSG System", "Vyre Messaging"},
                                                       {"SFX System", "Vyre System"},
                                                       {"DWO System", "Vyre System"},
                                                       {"Directories", "Vyre Directory List"},
                                                       {"Vyre Environment", "Vyre Environment"}};
  EXPECT_EQ(Targets(main), expected);
  EXPECT_EQ(Targets(input), (std::map<std::string, std::string>{{"UIO Gamepad", "Vyre User Input"},
                                                                {"UIO Keyboard", "Vyre User Input"},
                                                                {"UIO Mouse", "Vyre User Input"}}));
  for (int i = 0; i < main.GetButtonCount(); ++i) {
    const Icon* button = main.GetButton(i);
    const bool silent = button->name == "SFX System" || button->name == "DWO System";
    EXPECT_EQ(button->HasState(GUIState::kTakesInput), !silent) << button->name.Chars();
    EXPECT_TRUE(button->IsToggle());
  }
}

TEST_F(SystemWindowTest, EveryWindowTheButtonsOpenEndsInsideTheScreen) {
  auto press = [](const Icon& button) {
    const CMSGMessage& record = button.pressMessage;
    GetGUIMSGService()->Post(record.id, record.source, record.target, record.parameter, 0.0);
  };
  system_.Show(true);
  press(*system_.GetInvokeButton());
  const DebugToolbar& main = *system_.GetToolbar();
  for (int i = 0; i < main.GetButtonCount(); ++i) press(*main.GetButton(i));
  const DebugToolbar& input = *main.GetSubToolbar(0);
  for (int i = 0; i < input.GetButtonCount(); ++i) press(*input.GetButton(i));
  // Half a second of slide at an eighth of a second a frame, with room to settle.
  Clock::Instance().SetFixedStep(0.125f);
  for (int frame = 0; frame < 12; ++frame) GetWindowManager()->UpdateWindows();
  Clock::Instance().SetFixedStep(0.0f);

  int shown = 0;
  for (int i = 0; i < GetWindowManager()->GetWindowCount(); ++i) {
    const Window& window = *GetWindowManager()->GetWindowAt(i);
    if (!window.HasState(GUIState::kShown)) continue;
    ++shown;
    EXPECT_TRUE(window.outer.min.x >= 0 && window.outer.min.y >= 0 && window.outer.max.x <= 800 &&
                window.outer.max.y <= 600)
        << window.name.Chars() << " at " << window.outer.min.x << ", " << window.outer.min.y;
  }
  // The System window, both toolbars, the environment and fourteen tools.
  EXPECT_EQ(shown, 18);
}

TEST_F(SystemWindowTest, AHoverShowsTheButtonNameBesideTheCursorAndLeavingHidesIt) {
  GetMouseCursor()->position = Vector2(40, 300);
  const Icon& help = *system_.GetToolbar()->GetButton(6);
  ASSERT_EQ(help.name, "Help");
  GetGUIMSGService()->Post(eMSG_GUIHOVER, help.GetId(), system_.GetId(), help.gainFocusMessage.parameter, 0.0);
  const TextBox& tip = *system_.GetTipBox();
  EXPECT_TRUE(tip.HasState(GUIState::kShown));
  EXPECT_EQ(tip.GetText(), "Help");
  EXPECT_FLOAT_EQ(tip.outer.min.x, 56.0f);
  EXPECT_FLOAT_EQ(tip.outer.min.y, 300.0f);
  GetGUIMSGService()->Post(eMSG_GUIHOVER, help.GetId(), system_.GetId(), 0, 0.0);
  EXPECT_FALSE(tip.HasState(GUIState::kShown));
}

TEST_F(SystemWindowTest, HidingHidesTheToolbarAndDeactivatesEveryTool) {
  system_.Show(true);
  EXPECT_TRUE(system_.GetToolbar()->HasState(GUIState::kActive));
  // "UIO System" brings up the input toolbar.
  const DebugToolbar& input = *system_.GetToolbar()->GetSubToolbar(0);
  EXPECT_TRUE(input.HasState(GUIState::kActive));
  GetGUIMSGService()->Post(eMSG_GUISHOW, -1, input.GetId(), 0, 0.0);
  EXPECT_TRUE(input.IsPending(&input.showState) || input.IsVisible());
  for (const auto& tool : system_.GetToolWindows()) EXPECT_TRUE(tool->HasState(GUIState::kActive));
  GetGUIMSGService()->Post(eMSG_GUISHOW, -1, system_.GetToolbar()->GetId(), 0, 0.0);
  system_.Show(false);
  EXPECT_FALSE(system_.IsShown());
  EXPECT_FALSE(system_.GetToolbar()->HasState(GUIState::kActive));
  EXPECT_TRUE(system_.GetToolbar()->IsPending(&system_.GetToolbar()->hideState));
  for (const auto& tool : system_.GetToolWindows()) {
    EXPECT_FALSE(tool->HasState(GUIState::kActive)) << tool->name.Chars();
  }
}

// Where a window stands in the drawing order: the smaller, the later drawn.
int DrawPlace(const Window* window) {
  for (int i = 0; i < GetWindowManager()->GetWindowCount(); ++i) {
    if (GetWindowManager()->GetWindowAt(i) == window) return i;
  }
  return -1;
}

TEST_F(SystemWindowTest, AWindowShownFromItsKeyOrButtonComesToTheFrontWithTheFocus) {
  system_.Show(true);
  const DebugToolbar& toolbar = *system_.GetToolbar();
  const Window* console = system_.GetConsoleWindow();
  const Window* help = system_.GetHelpWindow();
  auto press = [&toolbar](const char* name) {
    for (int i = 0; i < toolbar.GetButtonCount(); ++i) {
      const Icon* button = toolbar.GetButton(i);
      if (button->name == name) {
        GetGUIMSGService()->Post(button->pressMessage.id, button->GetId(), button->pressMessage.target, 0, 0.0);
        return true;
      }
    }
    return false;
  };
  // Every other tool first, from its button, then the console from its key.
  for (int i = 0; i < toolbar.GetButtonCount(); ++i) {
    const Icon* button = toolbar.GetButton(i);
    if (button->pressMessage.target != console->GetId()) ASSERT_TRUE(press(button->name.Chars()));
  }
  GetGUIMSGService()->Post(eMSG_GUITOGGLESHOW, -1, console->GetId(), 0, 0.0);
  for (const auto& tool : system_.GetToolWindows()) {
    if (tool.get() != console && tool->GetLayer() <= console->GetLayer()) {
      EXPECT_LT(DrawPlace(console), DrawPlace(tool.get())) << tool->name.Chars();
    }
  }
  EXPECT_EQ(GetWindowManager()->GetFocusedWindow(), console);
  // The help from its button: now the help is on top, the console under it.
  ASSERT_TRUE(press("Help"));
  EXPECT_LT(DrawPlace(help), DrawPlace(console));
  EXPECT_EQ(GetWindowManager()->GetFocusedWindow(), help);
  system_.Show(false);
}

TEST_F(SystemWindowTest, ALineFinishedAtThePromptRunsOnTheNextUpdate) {
  ConsoleInputBox& prompt = *system_.GetPromptBox();
  prompt.SetText("HIDE");
  prompt.submitted = 1;
  ASSERT_FALSE(system_.GetConsoleWindow()->IsPending(&system_.GetConsoleWindow()->hideState));
  GetGUIMSGService()->Post(eMSG_GUIUPDATE, -1, system_.GetId(), 0, 0.0);
  EXPECT_EQ(prompt.submitted, 0);
  EXPECT_TRUE(system_.GetConsoleWindow()->IsPending(&system_.GetConsoleWindow()->hideState));
}

}  // namespace
