// The GUI definition file: window blocks with title bars.
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/Window.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(GuiDefinition) {
  const std::string path = fuzz::ScratchFile("Definition.txt", data, size);
  GUIWindowManager* manager = GetWindowManager();
  manager->LoadGUIDefinition(path.c_str());
  // The manager owns no window: the windows an input asked for go with it.
  while (manager->GetWindowCount() > 0) delete manager->GetWindowAt(manager->GetWindowCount() - 1);
}
