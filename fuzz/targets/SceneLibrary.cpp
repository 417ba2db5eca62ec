// Scene libraries ("[SCENERY LIBRARY]").
#include "engine/scene/core/SCNScene.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(SceneLibrary) {
  fuzz::ScratchFile("scene.lib", data, size);
  {
    CSCNScene scene;
    scene.ReadLibrary("scene.lib");
  }
  fuzz::ReleaseSharedResources();
}
