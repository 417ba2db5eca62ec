#include "FrontEndTestSupport.h"

#include <cstring>

#include "engine/foundation/Clock.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/settings/Registry.h"
#include "game/shell/Profile.h"

namespace shell_test {

RecordingCanvas::RecordingCanvas(int fonts) : sizes(fonts, Vector2{32.0f, 32.0f}), alphas(fonts, 1.0f) {}

float RecordingCanvas::Measure(int font, const char* text) const {
  return static_cast<float>(std::strlen(text)) * sizes.at(font).x;
}

void RecordingCanvas::DrawText(int font, const char* text, float x, float y) {
  texts.push_back({font, text, x, y, alphas.at(font), sizes.at(font)});
}

std::vector<std::string> RecordingCanvas::Texts() const {
  std::vector<std::string> all;
  for (const DrawnText& text : texts) all.push_back(text.text);
  return all;
}

const DrawnText* RecordingCanvas::Find(const std::string& text) const {
  for (const DrawnText& drawn : texts) {
    if (drawn.text == text) return &drawn;
  }
  return nullptr;
}

MenuWindowTest::MenuWindowTest() {
  Clock::Instance().SetPaused(false);
  Clock::Instance().SetFixedStep(kStep);
}

MenuWindowTest::~MenuWindowTest() {
  frontEnd_.reset();
  profile_.reset();
  Clock::Instance().SetFixedStep(0.0f);
  Clock::Instance().SetGameTime(0.0f);
}

void MenuWindowTest::Build() {
  frontEnd_ = std::make_unique<GFrontEnd>(profile_);
  auto recording = std::make_unique<RecordingCanvas>();
  canvas_ = recording.get();
  frontEnd_->SetCanvas(std::move(recording));
  frontEnd_->SetParentId(receivers_.game.receiverId);
  frontEnd_->SetDefaultFrame(0);
  StepInto(frontEnd_->fsmMainMenu);
}

void MenuWindowTest::Step(int steps) {
  for (int i = 0; i < steps; ++i) frontEnd_->StateMachine::Update();
}

bool MenuWindowTest::StepInto(const FsmState& state) {
  for (int i = 0; i < 4 && !frontEnd_->IsCurrent(&state); ++i) Step();
  return frontEnd_->IsCurrent(&state);
}

bool MenuWindowTest::Send(uint32_t id) {
  CMSGMessage message;
  message.id = id;
  message.source = receivers_.game.receiverId;
  message.target = frontEnd_->GetId();
  frontEnd_->OnMessage(&message);
  return (message.handled & 1) != 0;
}

bool MenuWindowTest::SendKeys(std::vector<uint8_t> keys) {
  keys.resize(CUIOKeyboard::kListCapacity, 0);
  CMSGMessage message;
  message.id = eMSG_UIOKEYDOWN;
  message.parameter = reinterpret_cast<intptr_t>(keys.data());
  frontEnd_->OnMessage(&message);
  return (message.handled & 1) != 0;
}

void MenuWindowTest::Wait(float seconds) {
  // Due times are kept in double precision: a little past the end, so that
  // what falls due at the end arrives.
  const float end = now_ + seconds + 0.01f;
  while (now_ < end) {
    now_ = now_ + kStep < end ? now_ + kStep : end;
    Clock::Instance().SetGameTime(now_);
    for (int pass = 0; pass < 4; ++pass) {
      GetGEMMSGService()->Deliver();
      GetGUIMSGService()->Deliver();
    }
    Step();
  }
  Step(2);
}

void MenuWindowTest::Choose(const std::string& item) {
  MenuPage* page = frontEnd_->currentMenu;
  ASSERT_NE(page, nullptr);
  while (page->selection > 0 && page->SelectPrevious()) {
  }
  for (uint32_t i = 0; i < page->ItemCount() && page->items[page->selection].text.Chars() != item; ++i) {
    Send(eMSG_Next);
  }
  ASSERT_EQ(page->items[page->selection].text.Chars(), item);
  Send(eMSG_Select);
  Wait(GFrontEnd::kFadeSeconds);
}

void MenuWindowTest::Draw() {
  canvas_->Clear();
  frontEnd_->DrawContents();
}

void MenuWindowTest::AddProfile(const char* name, uint32_t stars) {
  GameProfile* previous = GetCurrentProfile();
  {
    Profile written;
    written.SetName(name);
    written.stars = stars;
    EXPECT_TRUE(written.Save());
  }
  SetCurrentProfile(previous);
}

std::string MenuWindowTest::LastProfile() {
  char name[256] = {};
  if (RegistryReadValue("Profile", name, sizeof name) == 0) return "";
  return name;
}

std::vector<std::string> MenuWindowTest::ItemTexts() const {
  std::vector<std::string> texts;
  if (frontEnd_->currentMenu == nullptr) return texts;
  for (const MenuItem& item : frontEnd_->currentMenu->items) texts.push_back(item.text.Chars());
  return texts;
}

}  // namespace shell_test
