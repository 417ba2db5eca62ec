// The constellation list: a count, then one definition name per line.
#include "fuzz/FuzzTarget.h"
#include "game/puzzle/Constellation.h"
#include "game/puzzle/GalacticPlane.h"

FUZZ_TARGET(ConstellationList) {
  const std::string path = fuzz::ScratchFile("Constellations.txt", data, size);
  {
    GalacticPlane plane;
    plane.ReadConstellations(path.c_str());
  }
  fuzz::ReleaseSharedResources();
}
