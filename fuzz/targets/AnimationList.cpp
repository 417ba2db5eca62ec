// Animation lists ("[ANM]", a count, one name a line).
#include "engine/scene/anim/AnimationManager.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(AnimationList) {
  fuzz::ScratchFile("animations.txt", data, size);
  CANMManager& manager = CANMManager::Instance();
  manager.LoadList(String("animations.txt"));
  while (manager.Count() > 0) manager.Release(manager.At(0));
}
