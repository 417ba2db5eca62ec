// Material libraries (".mat" text with stages and modifiers).
#include <cstdlib>

#include "engine/graphics/MaterialManager.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(MaterialLibrary) {
  const std::string path = fuzz::ScratchFile("fuzz.mat", data, size);
  CMATManager* materials = CMATManager::GetInstance();
  materials->ReadLibrary(path.c_str());
  // Whatever the library held, one resolve call leaves nothing waiting: a
  // loading screen counting the queue down must always reach its end.
  materials->ResolveTextures();
  if (materials->PendingCount() != 0) std::abort();
  // A library is read once per manager: start every input afresh.
  fuzz::ReleaseSharedResources();
}
