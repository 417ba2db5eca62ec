#include "engine/app/EngineDirectory.h"

namespace {
// Static storage: the tool library may read it until the process ends.
void* gDirectory[kEngineDirectorySize] = {};
bool gMade = false;
}  // namespace

void** GetEngineDirectory() { return gMade ? gDirectory : nullptr; }

void** CreateEngineDirectory() {
  gMade = true;
  return gDirectory;
}
