#pragma once
// A concrete actor for the tests: every scene call it must provide does nothing.

#include "engine/scene/core/Actor.h"

class TestActor : public Actor {
 public:
  bool PreRender() override { return false; }
  bool PostRender() override { return false; }
  bool PreUpdate() override { return false; }
  bool SceneUpdate() override { return false; }
  bool PostUpdate() override { return false; }
};
