// The visuals and audio menus.

#include <gtest/gtest.h>

#include "engine/app/DisplayChange.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/settings/Settings.h"
#include "game/shell/VolumeLevel.h"
#include "support/FrontEndTestSupport.h"

namespace {

using shell_test::MenuWindowTest;

class FrontEndOptions : public MenuWindowTest {
 protected:
  // The display's list of modes for the test, and the display put back after.
  void UseModes(std::vector<CDisplay::Mode> modes, int current, int refresh) {
    CDisplay::Device device;
    device.modes = std::move(modes);
    CDisplay* display = GetDisplay();
    display->SetDevices({device});
    display->SetCurrentDevice(0);
    // Selecting looks for the closest mode of the display's refresh rate:
    // the mode's own rate keeps it, then the display's rate is set.
    const std::vector<CDisplay::Mode>& listed = display->GetDevices()[0].modes;
    if (current >= 0 && current < static_cast<int>(listed.size())) display->SetRefreshRate(listed[current].refreshRate);
    display->SelectMode(current);
    display->SetRefreshRate(refresh);
    display->ClearState(CDisplay::kChangePending);
  }
  ~FrontEndOptions() override {
    CDisplay* display = GetDisplay();
    display->SetDevices({});
    display->SelectMode(-1);
    display->SetSize(800, 600);
    display->ClearState(CDisplay::kFullscreen | CDisplay::kChangePending);
    GetSettings()->depth = depth_;
    GetSettings()->fullscreen = false;
    GetSettings()->modified = false;
  }
  std::string Resolution() const { return ItemTexts()[1]; }

  int depth_ = GetSettings()->depth;
};

CDisplay::Mode Mode(uint8_t bits, uint32_t width, uint32_t height, int32_t refresh) {
  CDisplay::Mode mode;
  mode.bitsPerPixel = bits;
  mode.width = width;
  mode.height = height;
  mode.refreshRate = refresh;
  return mode;
}

TEST_F(FrontEndOptions, ResolutionStepsThroughModesOfTheRefreshRateAndTheDepthWhenOneIsSet) {
  Build();
  struct Case {
    const char* what;
    std::vector<CDisplay::Mode> modes;
    int current;
    int depth;
    const char* entered;
    const char* stepped;
  };
  const Case cases[] = {
      {"no modes", {}, 0, 32, "Resolution : 800 x 600", "Resolution : 800 x 600"},
      {"current mode outside the list",
       {Mode(32, 640, 480, 60)},
       3,
       32,
       "Resolution : 800 x 600",
       "Resolution : 800 x 600"},
      {"one matching mode",
       {Mode(32, 640, 480, 60), Mode(32, 1024, 768, 75)},
       0,
       32,
       "Resolution : 640 x 480",
       "Resolution : 640 x 480"},
      {"entry moves off another refresh rate",
       {Mode(32, 640, 480, 75), Mode(32, 1024, 768, 60)},
       0,
       32,
       "Resolution : 1024 x 768",
       "Resolution : 1024 x 768"},
      {"none matches",
       {Mode(16, 640, 480, 75), Mode(16, 1024, 768, 75)},
       1,
       32,
       "Resolution : 1024 x 768",
       "Resolution : 1024 x 768"},
      {"other depths skipped",
       {Mode(32, 640, 480, 60), Mode(16, 800, 600, 60), Mode(32, 1024, 768, 60)},
       0,
       32,
       "Resolution : 640 x 480",
       "Resolution : 1024 x 768"},
      {"any depth with depth 0",
       {Mode(32, 640, 480, 60), Mode(16, 800, 600, 60), Mode(32, 1024, 768, 60)},
       0,
       0,
       "Resolution : 640 x 480",
       "Resolution : 800 x 600"},
      {"wraps to the first",
       {Mode(32, 640, 480, 60), Mode(32, 1024, 768, 60)},
       1,
       32,
       "Resolution : 1024 x 768",
       "Resolution : 640 x 480"},
  };
  for (const Case& c : cases) {
    UseModes(c.modes, c.current, 60);
    GetSettings()->depth = c.depth;
    frontEnd_->Next(&frontEnd_->fsmVisualsMenu);
    ASSERT_TRUE(StepInto(frontEnd_->fsmVisualsMenu));
    EXPECT_EQ(Resolution(), c.entered) << c.what;
    Send(eMSG_Next);
    Send(eMSG_Select);
    EXPECT_EQ(Resolution(), c.stepped) << c.what;
    frontEnd_->Next(&frontEnd_->fsmOptionsMenu);
    StepInto(frontEnd_->fsmOptionsMenu);
  }
}

TEST_F(FrontEndOptions, ApplyStoresTheChoicesInTheSettingsAndTheDisplay) {
  UseModes({Mode(32, 640, 480, 60), Mode(32, 1024, 768, 60)}, 0, 60);
  Build();
  frontEnd_->Next(&frontEnd_->fsmVisualsMenu);
  ASSERT_TRUE(StepInto(frontEnd_->fsmVisualsMenu));
  EXPECT_EQ(ItemTexts()[0], "Fullscreen : No");
  Send(eMSG_Select);
  EXPECT_EQ(ItemTexts()[0], "Fullscreen : Yes");
  EXPECT_FALSE(GetSettings()->fullscreen);
  Send(eMSG_Next);
  Send(eMSG_Select);
  Send(eMSG_Next);
  Send(eMSG_Select);
  EXPECT_TRUE(GetSettings()->fullscreen);
  EXPECT_TRUE(GetSettings()->modified);
  EXPECT_EQ(GetDisplay()->GetSelectedMode(), 1);
  EXPECT_TRUE(GetDisplay()->HasState(CDisplay::kChangePending));
}

// Alt+Return switches the display without touching the settings: the page
// reads the display as it is each time it is entered.
TEST_F(FrontEndOptions, ThePageShowsTheDisplaysFullScreenStateOnEveryEntry) {
  UseModes({Mode(32, 800, 600, 60)}, 0, 60);
  Build();
  for (const bool fullscreen : {true, false, true}) {
    GetSettings()->fullscreen = !fullscreen;
    GetDisplay()->SetFullscreen(fullscreen);
    GetDisplay()->ClearState(CDisplay::kChangePending);
    frontEnd_->Next(&frontEnd_->fsmVisualsMenu);
    ASSERT_TRUE(StepInto(frontEnd_->fsmVisualsMenu));
    EXPECT_EQ(ItemTexts()[0], fullscreen ? "Fullscreen : Yes" : "Fullscreen : No");
    frontEnd_->Next(&frontEnd_->fsmOptionsMenu);
    ASSERT_TRUE(StepInto(frontEnd_->fsmOptionsMenu));
  }
  // Apply starts from the display's state: full screen stays.
  frontEnd_->Next(&frontEnd_->fsmVisualsMenu);
  ASSERT_TRUE(StepInto(frontEnd_->fsmVisualsMenu));
  Send(eMSG_Next);
  Send(eMSG_Next);
  Send(eMSG_Select);
  EXPECT_TRUE(GetSettings()->fullscreen);
  EXPECT_TRUE(GetDisplay()->HasState(CDisplay::kFullscreen));
  GetDisplay()->SetFullscreen(false);
}

// The page follows the display while it shows: Alt+Return (or a rebuilt
// window that took another mode) changes the items on the next frame, while
// a choice the player has not applied stays as long as the display does not
// change.
TEST_F(FrontEndOptions, ThePageFollowsTheDisplayWhileItIsOpen) {
  UseModes({Mode(32, 640, 480, 60), Mode(32, 1024, 768, 60)}, 0, 60);
  Build();
  frontEnd_->Next(&frontEnd_->fsmVisualsMenu);
  ASSERT_TRUE(StepInto(frontEnd_->fsmVisualsMenu));
  const std::vector<std::string> windowed{"Fullscreen : No", "Resolution : 640 x 480", "Apply"};
  EXPECT_EQ(ItemTexts(), windowed);

  // A choice not applied survives frames of an unchanged display.
  Send(eMSG_Select);
  Send(eMSG_Next);
  Send(eMSG_Select);
  Step(5);
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"Fullscreen : Yes", "Resolution : 1024 x 768", "Apply"}));

  // Alt+Return: the display's state, not the pending choice, shows.
  ToggleFullscreen(*GetDisplay());
  Step();
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"Fullscreen : Yes", "Resolution : 640 x 480", "Apply"}));
  ToggleFullscreen(*GetDisplay());
  Step();
  EXPECT_EQ(ItemTexts(), windowed);

  // Another mode taken by the display shows too.
  GetDisplay()->SelectMode(1);
  Step();
  EXPECT_EQ(Resolution(), "Resolution : 1024 x 768");

  // The page still takes choices afterwards, and keeps them.
  Send(eMSG_Previous);
  Send(eMSG_Select);
  Step(5);
  EXPECT_EQ(ItemTexts()[0], "Fullscreen : Yes");
  EXPECT_FALSE(GetDisplay()->HasState(CDisplay::kFullscreen));
}

TEST_F(FrontEndOptions, VolumesWrapAtTenAreClampedWhenReadAndStoredWhenTheMenuIsLeft) {
  WriteVolumeLevel("Audio\\Music", 10);
  WriteVolumeLevel("Audio\\Sound", 250);
  Build();
  Choose("Options");
  Choose("Audio");
  ASSERT_TRUE(frontEnd_->IsCurrent(&frontEnd_->fsmAudioMenu));
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"Sound : 10", "Music : 10"}));
  Send(eMSG_Select);
  Send(eMSG_Select);
  Send(eMSG_Next);
  Send(eMSG_Select);
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"Sound : 1", "Music : 0"}));
  int32_t level = -1;
  ASSERT_TRUE(ReadVolumeLevel("Audio\\Sound", level));
  EXPECT_EQ(level, 10);  // not stored yet
  Send(eMSG_Escape);
  ASSERT_TRUE(StepInto(frontEnd_->fsmOptionsMenu));
  ASSERT_TRUE(ReadVolumeLevel("Audio\\Sound", level));
  EXPECT_EQ(level, 1);
  ASSERT_TRUE(ReadVolumeLevel("Audio\\Music", level));
  EXPECT_EQ(level, 0);
}

}  // namespace
