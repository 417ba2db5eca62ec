// Icons, scroll bars, text boxes, the mouse cursor and the screen fade.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/Icon.h"
#include "engine/gui/MouseCursor.h"
#include "engine/gui/ScreenFade.h"
#include "engine/gui/ScrollBar.h"
#include "engine/gui/TextBox.h"
#include "platform/KeyCodes.h"
#include "support/GuiTestSupport.h"

using namespace gui_test;

namespace {

// Counts the messages an icon posts to it.
class Counter : public Probe {
 public:
  void OnMessage(CMSGMessage* message) override { received.push_back(message->id); }
  std::vector<uint32_t> received;
};

void ShowActive(GUIObject& object) { object.state |= GUIState::kShown | GUIState::kActive | GUIState::kTakesInput; }

}  // namespace

TEST(Icon, TogglePressesOnFirstPressReleasesOnSecond) {
  Counter target;
  Icon icon;
  ShowActive(icon);
  icon.SetStyle(icon.GetStyle() | GUIStyle::kToggle);
  icon.pressMessage.id = 0x40100;
  icon.pressMessage.target = target.GetId();
  icon.releaseMessage.id = 0x40101;
  icon.releaseMessage.target = target.GetId();
  GetWindowManager()->SetFocusedElement(&icon);
  Deliver(&icon, eMSG_UIOLMB_DOWN);
  Deliver(&icon, eMSG_UIOLMB_UP);  // a toggle ignores the release
  EXPECT_EQ(target.received, std::vector<uint32_t>{0x40100});
  Deliver(&icon, eMSG_UIOLMB_DOWN);
  EXPECT_EQ(target.received, (std::vector<uint32_t>{0x40100, 0x40101}));

  // A plain icon releases on button up; an unfocused one does not press.
  Icon plain;
  ShowActive(plain);
  plain.pressMessage = icon.pressMessage;
  plain.releaseMessage = icon.releaseMessage;
  target.received.clear();
  plain.OnPress();
  EXPECT_TRUE(target.received.empty());
  GetWindowManager()->SetFocusedElement(&plain);
  Deliver(&plain, eMSG_UIOLMB_DOWN);
  Deliver(&plain, eMSG_UIOLMB_UP);
  EXPECT_EQ(target.received, (std::vector<uint32_t>{0x40100, 0x40101}));
}

TEST(ScrollBar, PositionStaysInRangeAndTrackClicksPageTenNotches) {
  ScrollBar bar;
  ShowActive(bar);
  bar.orientation = 1;
  bar.Layout(MakeRect(0, 0, 10, 200), MakeRect(0, 5, 10, 190));
  bar.SetRange(0, 200, 10);  // a notch is 0.05, a page 0.5
  EXPECT_FLOAT_EQ(bar.GetPosition(), 0.5f);
  EXPECT_FLOAT_EQ(bar.GetPageStep(), 10 * bar.GetThumbFraction());
  for (int i = 0; i < 30; ++i) Deliver(&bar, eMSG_Next);
  EXPECT_FLOAT_EQ(bar.GetPosition(), 1.0f);
  for (int i = 0; i < 50; ++i) Deliver(&bar, eMSG_Previous);
  EXPECT_FLOAT_EQ(bar.GetPosition(), 0.0f);

  // Thumb placement: a tenth of the bar, between the two arrow squares.
  EXPECT_FLOAT_EQ(bar.thumb.outer.min.y, 10.0f);
  EXPECT_FLOAT_EQ(bar.thumb.outer.GetSize().y, 20.0f);
  bar.ToEnd();
  EXPECT_FLOAT_EQ(bar.thumb.outer.max.y, 190.0f);

  // Clicking the track below the thumb pages down one page; above, up.
  MouseCursor* cursor = GetMouseCursor();
  cursor->SetScale(800, 600);
  bar.SetPosition(50);
  EXPECT_FLOAT_EQ(bar.GetPosition(), 0.25f);
  cursor->SetPosition(5, 180);
  bar.OnPress();
  EXPECT_FLOAT_EQ(bar.GetPosition(), 0.75f);
  cursor->SetPosition(5, 20);
  bar.OnPress();
  EXPECT_FLOAT_EQ(bar.GetPosition(), 0.25f);
  bar.OnPress();
  bar.OnPress();
  EXPECT_FLOAT_EQ(bar.GetPosition(), 0.0f);
  bar.SetPosition(1e9f);
  EXPECT_FLOAT_EQ(bar.GetPosition(), 1.0f);
  bar.SetPosition(-5);
  EXPECT_FLOAT_EQ(bar.GetPosition(), 0.0f);
  EXPECT_FLOAT_EQ(bar.GetValue(), 0.0f);
}

TEST(ScrollBar, EmptyRangeShowsEverythingWithoutNaN) {
  ScrollBar bar;
  ShowActive(bar);
  bar.Layout(MakeRect(0, 0, 200, 10), MakeRect(5, 0, 190, 10));
  bar.SetRange(5, 5, 10);
  EXPECT_FLOAT_EQ(bar.GetThumbFraction(), 1.0f);
  Deliver(&bar, eMSG_Next);
  EXPECT_FALSE(std::isnan(bar.GetPosition()));
  EXPECT_FALSE(std::isnan(bar.thumb.outer.min.x));
  bar.SetPosition(3);
  EXPECT_FLOAT_EQ(bar.GetValue(), 0.0f);
}

TEST(TextBox, ScanCodesEditTheLine) {
  namespace key = platform::key;
  TextBox box;
  struct Step {
    uint8_t code;
    bool shifted;
    const char* text;
  } steps[] = {
      {key::Backspace, false, ""},  // nothing to remove
      {key::H, true, "H"},
      {key::I, false, "Hi"},
      {key::Space, false, "Hi "},
      {key::Digit1, true, "Hi !"},
      {key::Equals, false, "Hi !="},
      {key::Digit0, false, "Hi !=0"},
      {key::Period, true, "Hi !=0>"},
      {key::F1, false, "Hi !=0>"},  // F1 types nothing
      {key::Backspace, false, "Hi !=0"},
  };
  for (const Step& step : steps) {
    box.ApplyKey(step.code, step.shifted);
    EXPECT_STREQ(box.GetText().Chars(), step.text) << int(step.code);
  }
  EXPECT_EQ(box.submitted, 0);
  box.ApplyKey(key::NumpadEnter, false);
  EXPECT_EQ(box.submitted, 1);
  EXPECT_STREQ(box.GetText().Chars(), "Hi !=0");
}

TEST(TextBox, StyleFollowsStateAndAlignmentPlacesText) {
  TextBox box;
  ShowActive(box);
  EXPECT_EQ(box.CurrentStyleIndex(), 1);
  box.state |= GUIState::kPressed;
  EXPECT_EQ(box.CurrentStyleIndex(), 3);
  GetWindowManager()->SetFocusedElement(&box);
  EXPECT_EQ(box.CurrentStyleIndex(), 2);
  GetWindowManager()->SetFocusedElement(nullptr);
  box.state &= ~(GUIState::kPressed | GUIState::kTakesInput);
  EXPECT_EQ(box.CurrentStyleIndex(), 0);
  // With no font the text has no size: alignment alone places it.
  struct Case {
    uint8_t alignment;
    float x, y;
  } cases[] = {{0x00, 100, 125}, {0x02, 150, 125}, {0x44, 200, 150}, {0x10, 100, 100}};
  for (const Case& c : cases) {
    box.alignment = c.alignment;
    box.Layout(MakeRect(100, 100, 100, 50), MakeRect(104, 100, 92, 50));
    EXPECT_FLOAT_EQ(box.textRect.min.x, c.x);
    EXPECT_FLOAT_EQ(box.textRect.min.y, c.y);
    EXPECT_FLOAT_EQ(box.scrollX, c.x - 104);
    EXPECT_FLOAT_EQ(box.scrollY, c.y - 100);
  }
}

TEST(MouseCursor, MotionScaleAndClamp) {
  MouseCursor* cursor = GetMouseCursor();
  cursor->Layout(MakeRect(0, 0, 16, 24), MakeRect(0, 0, 16, 24));
  EXPECT_FALSE(cursor->SetScale(0, 600));
  EXPECT_FALSE(cursor->SetScale(1600, -1));
  ASSERT_TRUE(cursor->SetScale(1600, 1200));
  cursor->SetPosition(400, 300);
  EXPECT_FLOAT_EQ(cursor->position.x, 200);
  cursor->SetPosition(400, 300);
  EXPECT_FALSE(cursor->HasMoved());  // the same pixel twice: no motion
  cursor->SetPosition(5000, 5000);
  EXPECT_FLOAT_EQ(cursor->position.x, 800);
  EXPECT_FLOAT_EQ(cursor->position.y, 600);
  cursor->SetPosition(-5000, -5000);
  EXPECT_FLOAT_EQ(cursor->position.x, -16);
  EXPECT_FLOAT_EQ(cursor->position.y, -24);
  cursor->SetPosition(100, 100);
  cursor->MoveX(20);
  EXPECT_FLOAT_EQ(cursor->position.x, 60);
  cursor->RememberPress(2);
  EXPECT_FLOAT_EQ(cursor->rightPress.x, 60);
}

TEST(ScreenFade, ReachesTheTargetColourAndNeverNaN) {
  ScreenFade fade;
  fade.active = 1;
  fade.Update(0.5f);  // never started
  for (float c : {fade.current[0], fade.current[3]}) EXPECT_FALSE(std::isnan(c));
  const float black[4] = {0, 0, 0, 1};
  const float clear[4] = {0, 0, 0, 0};
  fade.Start(black, clear, 1.0f);
  fade.Update(0.25f);
  EXPECT_FLOAT_EQ(fade.current[3], 0.75f);
  EXPECT_FLOAT_EQ(fade.GetPercent(), 25.0f);
  for (int i = 0; i < 10; ++i) fade.Update(0.25f);
  EXPECT_FLOAT_EQ(fade.current[3], 0.0f);
  fade.Start(clear, black, 0.0f);  // no length: straight to the end
  fade.Update(0.0f);
  EXPECT_FLOAT_EQ(fade.current[3], 1.0f);
  fade.active = 0;
  fade.Start(black, clear, 1.0f);
  fade.Update(1.0f);  // inactive fades do not move
  EXPECT_FLOAT_EQ(fade.GetPercent(), 0.0f);
  fade.Hold(1);
  EXPECT_EQ(fade.hold, 1);
}
