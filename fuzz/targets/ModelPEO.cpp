// ".PEO" models.
#include "engine/scene/model/Model.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(ModelPEO) {
  fuzz::ScratchFile("model.peo", data, size);
  {
    C3MEModel model;
    model.Read(String("model.peo"));
  }
  fuzz::ReleaseSharedResources();
}
