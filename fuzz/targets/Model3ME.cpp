// Binary ".3ME" models through the model's own read, as the model manager loads them.
#include "engine/scene/model/Model.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(Model3ME) {
  fuzz::ScratchFile("model.3me", data, size);
  {
    C3MEModel model;
    model.Read(String("model.3me"));
  }
  fuzz::ReleaseSharedResources();
}
