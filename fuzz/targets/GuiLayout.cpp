// The GUI layout file: places of named windows, laid out and given their
// pixel viewports as at start-up, then written again at quit with the places
// it keeps for windows not made; what is written reads back whole.
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/Window.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(GuiLayout) {
  static Window* const console = [] {
    Window* window = new Window();
    window->name = "Console";
    window->CreateTitleBar("Console", 0x1c00);
    return window;
  }();
  static Window* const browser = [] {
    Window* window = new Window();
    window->name = "Browser";
    window->CreateScrollBars();
    return window;
  }();
  (void)console;
  (void)browser;
  const std::string path = fuzz::ScratchFile("GUI.TXT", data, size);
  GetWindowManager()->ReadLayout(path.c_str());
  if (GetWindowManager()->WriteLayout(path.c_str()) && !GetWindowManager()->ReadLayout(path.c_str())) {
    __builtin_trap();
  }
}
