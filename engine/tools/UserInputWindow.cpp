#include "engine/tools/UserInputWindow.h"

#include "engine/runtime/input/UIOManager.h"
#include "engine/tools/DBGEngineLinks.h"

namespace {

// The lines are printed in font 0 whatever the window's font.
constexpr int kFont = 0;
constexpr int kLeftColumn = 10;

}  // namespace

UserInputWindow::UserInputWindow() { name = "Vyre User Input"; }

UserInputWindow::~UserInputWindow() = default;

void UserInputWindow::DrawContents() {
  BeginContents(1, 1);
  const CUIOManager* input = GetEngineLinks().input;
  const CUIOJoystick* joystick = input != nullptr ? input->GetJoystick() : nullptr;
  if (joystick == nullptr) return;

  const uint32_t index = input->GetJoystickIndex();
  const std::string joystickName = index < CUIOManager::kMaxJoysticks ? input->GetJoystickName(index) : "Unknown";
  PrintfCell(kFont, kLeftColumn, 20, "Joystick : %s", joystickName.c_str());
  const platform::PadRawState& raw = joystick->GetRawState();
  PrintfCell(kFont, kLeftColumn, 30, "[X] = %d [Y] = %d", raw.x, raw.y);
  for (int button = 0; button < CUIOJoystick::kButtonCount; ++button) {
    PrintfCell(kFont, kLeftColumn, 40 + 10 * button, "Button[%u] = %d", static_cast<unsigned>(button),
               joystick->GetButtonState(button));
  }
}

void UserInputWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(650, 149), Vector2(150, 164), kNoSlide);
}
