// Skeleton text files.
#include "engine/scene/anim/Skeleton.h"

#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(Skeleton) {
  fuzz::ScratchFile("skeleton.txt", data, size);
  C3MEBone root;
  root.Read(String("skeleton.txt"));
}
