// Text ".3MX" models (versions V3 to V6).
#include "engine/scene/model/Model.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(Model3MX) {
  fuzz::ScratchFile("model.3mx", data, size);
  {
    C3MEModel model;
    model.Read(String("model.3mx"));
  }
  fuzz::ReleaseSharedResources();
}
