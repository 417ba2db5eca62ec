// ".dat" fonts: a width table from which the engine writes its ".fnt" file.
#include <cstdio>

#include "engine/graphics/GFXFont.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(FontWidthTable) {
  fuzz::ScratchFile("font.dat", data, size);
  // The ".fnt" a previous input left would be read first.
  std::remove((fuzz::ScratchFolder() + "/font.fnt").c_str());
  {
    GFXFont font;
    font.Load("font");
  }
  fuzz::ReleaseSharedResources();
}
