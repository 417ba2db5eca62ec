#include "engine/tools/HelpWindow.h"

namespace {

// The double blank in the F12 line and the three blanks after "[SPACE]"
// are part of the texts.
const HelpWindow::Line kLines[] = {
    {1, 1, "Vyre Keyboard Commands"},
    {1, 3, "[/] = Show . Hide this help window"},
    {1, 4, "[`] = (Grave) Show/Hide the console"},
    {1, 5, "[F9] = Cycle the 3ME test models render state"},
    {1, 6, "[F10] = Swap to & from the Vyre engine camera"},
    {1, 7, "[F11] = Cycle the FPS, profiler and engine camera windows"},
    {1, 8, "[F12] = Not implemented,  but crashes straight out... :S"},
    {1, 9, "[ALT + ENTER] = Windowed/Fullscreen modes - may crash the app."},
    {1, 10, "[ESC] = Exit the game engine completely"},
    {1, 11, "[NUMPAD+] = Increase tD, the rate at which game time passes"},
    {1, 12, "[NUMPAD-] = Decrease tD, the rate at which game time passes"},
    {1, 13, "[SPACE]   = Stop the passage of game time"},
    {25, 1, "Vyre Game Camera"},
    {25, 3, "[W] = Forwards / Accelerate"},
    {25, 4, "[S] = Backwards / Decelerate"},
    {25, 5, "[A] = Strafe Left"},
    {25, 6, "[D] = Strafe Right"},
    {25, 7, "[R] = Up (ventral/vertical)"},
    {25, 8, "[F] = Down (ventral/vertical)"},
    {25, 10, "[MOUSE] = Looks up/down and spins left/right"},
};

}  // namespace

HelpWindow::HelpWindow() { name = "Vyre Help"; }

HelpWindow::~HelpWindow() = default;

const HelpWindow::Line* HelpWindow::Lines(int* lineCount) {
  if (lineCount != nullptr) *lineCount = static_cast<int>(sizeof(kLines) / sizeof(kLines[0]));
  return kLines;
}

void HelpWindow::DrawContents() {
  BeginContents(kTextCellUnits, kTextCellUnits);
  for (const Line& line : kLines) PrintCell(line.text, line.column, line.line);
}

void HelpWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(32, 0), Vector2(768, 568), kTop);
}
