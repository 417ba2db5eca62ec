#pragma once
// A world made as the flat interface makes it: dgMalloc'd and constructed
// in place, destroyed and given back when the pointer goes.

#include <memory>
#include <new>

#include "physics/memory/dgMemory.h"
#include "physics/world/dgWorld.h"

struct WorldDeleter {
  void operator()(dgWorld* world) const {
    world->~dgWorld();
    dgFree(world);
  }
};
using WorldPtr = std::unique_ptr<dgWorld, WorldDeleter>;

inline WorldPtr MakeWorld() { return WorldPtr(new (dgMalloc(sizeof(dgWorld))) dgWorld); }
