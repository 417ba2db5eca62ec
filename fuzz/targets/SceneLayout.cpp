// Scene layouts ("[V0.1]", "[NINSTANCES]" and the instances).
#include "engine/scene/core/SCNScene.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(SceneLayout) {
  fuzz::ScratchFile("scene.txt", data, size);
  {
    CSCNScene scene;
    scene.ReadLayout("scene.txt");
  }
  fuzz::ReleaseSharedResources();
}
