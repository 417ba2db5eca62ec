#pragma once
#include "engine/scene/core/SceneNode.h"

class C3MEModel;

// One placed model of a scene file: attached to its own scene node, it draws
// the model there and prepares the model's matrices once the model manager
// has read it.
class CSCNInstance : public CSCNObject {
 public:
  CSCNInstance() = default;
  CSCNInstance(const CSCNInstance&) = delete;
  CSCNInstance& operator=(const CSCNInstance&) = delete;

  bool PreRender() override { return false; }
  // Draws the model at the current model-view matrix; false without a model.
  bool Render() override;
  bool PostRender() override { return false; }
  bool PreUpdate() override { return false; }
  // Prepares the matrices of a model that has just been read (logged on the
  // GEM channel); false when there is nothing to do.
  bool Update() override;
  bool PostUpdate() override { return false; }

  // The model drawing call, supplied by the renderer (unset: nothing drawn).
  using DrawModelHook = void (*)(C3MEModel* model);
  static DrawModelHook& DrawHook();

  C3MEModel* model = nullptr;
  CSCNNode* node = nullptr;
};
