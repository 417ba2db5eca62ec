// Constellation definitions: names, materials and the star lines.
#include "fuzz/FuzzTarget.h"
#include "game/puzzle/Constellation.h"

FUZZ_TARGET(ConstellationDefinition) {
  const std::string path = fuzz::ScratchFile("fuzz.definition.txt", data, size);
  {
    Constellation constellation;
    constellation.Read(path.c_str());
    // A second read into the same record must start afresh.
    constellation.Read(path.c_str());
  }
  // The record asks the material manager for its materials.
  fuzz::ReleaseSharedResources();
}
