// Texture lists ("[TEX]", a count, one name a line).
#include "engine/graphics/TextureManager.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(TextureList) {
  const std::string path = fuzz::ScratchFile("textures.txt", data, size);
  CTEXManager::GetInstance()->ReadTextureList(path.c_str());
  fuzz::ReleaseSharedResources();
}
