// Animation sequence text files.
#include "engine/scene/anim/AnimationSequence.h"

#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(AnimationSequence) {
  fuzz::ScratchFile("sequence.txt", data, size);
  CANMSequence sequence;
  sequence.Read(String("sequence.txt"));
}
