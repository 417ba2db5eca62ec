// Console lines: a command call or a "name = value" variable assignment.
#include "engine/gui/ConsoleInputBox.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(ConsoleLine) {
  const std::string text = fuzz::AsText(data, size);
  ConsoleInputBox box;
  box.SetText(text.c_str());
  ConsoleInput(&box);
}
