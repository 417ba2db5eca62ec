// Material libraries (".mat" text with stages and modifiers).
#include "engine/graphics/MaterialManager.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(MaterialLibrary) {
  const std::string path = fuzz::ScratchFile("fuzz.mat", data, size);
  CMATManager::GetInstance()->ReadLibrary(path.c_str());
  // A library is read once per manager: start every input afresh.
  fuzz::ReleaseSharedResources();
}
