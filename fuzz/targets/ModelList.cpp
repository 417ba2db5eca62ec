// Model lists ("[3ME]", a count, one name a line).
#include "engine/scene/model/ModelManager.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(ModelList) {
  fuzz::ScratchFile("models.txt", data, size);
  C3MEManager::Instance().ReadList("models.txt");
  fuzz::ReleaseSharedResources();
}
