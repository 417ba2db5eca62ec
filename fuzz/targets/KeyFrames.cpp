// Key-frame text files.
#include "engine/scene/anim/KeyFrames.h"

#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(KeyFrames) {
  fuzz::ScratchFile("keys.txt", data, size);
  C3MEKeyFrames frames;
  frames.Read(String("keys.txt"));
}
