// Bitmap font descriptions: BMFont text or the engine's own ".fnt" file.
#include "engine/graphics/GFXFont.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(FontText) {
  const std::string path = fuzz::ScratchFile("font.fnt", data, size);
  {
    GFXFont font;
    font.ReadText(path.c_str());
  }
  fuzz::ReleaseSharedResources();
}
