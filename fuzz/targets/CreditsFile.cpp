// The credits page's text file, read and laid out as the page does.
#include "fuzz/FuzzTarget.h"
#include "game/shell/CreditsText.h"

FUZZ_TARGET(CreditsFile) {
  const std::string path = fuzz::ScratchFile("Credits.txt", data, size);
  const std::vector<String> lines = ReadCreditsLines(path.c_str());
  LayoutCredits(lines, 21, 32);
}
