#pragma once
#include <cstdint>

#include "engine/foundation/ValueStepper.h"
#include "engine/foundation/Vector3.h"
#include "engine/runtime/fsm/Base.h"
#include "engine/runtime/sound/SFXManager.h"
#include "engine/scene/core/SceneNode.h"

class C3MEInstance;
class C3MEModel;

// The drawing calls actors make, supplied by the renderer (tests record
// them). Unset hooks draw nothing.
struct ActorDrawHooks {
  // Draws a model at the current model-view matrix with a render-state word.
  void (*drawModel)(C3MEModel* model, uint32_t renderState) = nullptr;
  // Draws the actor marker: a point at the origin and a ring of the radius.
  void (*drawMarker)(float radius) = nullptr;
  // Draws a camera frustum through its eight world-space corners.
  void (*drawFrustum)(const Vector3 corners[8]) = nullptr;
};

// A placeable scene object: a state machine that owns a scene node, draws an
// optional model there and can fade itself out. The sound listener can follow
// an actor directly through its position.
class Actor : public Base, public SFXPositionSource {
 public:
  enum Flags : uint32_t {
    kDrawMarker = 1u << 0,
    kDrawModel = 1u << 1,
    kSingleBoxBody = 1u << 3,
  };
  static constexpr uint32_t kDefaultRenderState = 0x82C;

  // Named "Actor"; attaches its scene interface to its own node with tag 0.
  Actor();
  // Releases its bodies, detaches from its nodes and leaves the registry.
  ~Actor() override;

  // Sets the active flag and the enabled bytes of its own and its current node.
  virtual void SetEnabled(bool on);
  // The marker: a point and a ring of the current node's bounding radius.
  virtual void DebugDraw();

  // The scene calls, reached through the node's attachment. Render draws
  // the model (flag bit 1) and the marker (bit 0) while active.
  virtual bool PreRender() = 0;
  virtual bool Render();
  virtual bool PostRender() = 0;
  virtual bool PreUpdate() = 0;
  virtual bool SceneUpdate() = 0;
  virtual bool PostUpdate() = 0;

  // The current node's position; zero without a node.
  Vector3 GetPosition() const override;
  // Writes the current node's position (nothing without a node).
  void SetPosition(const Vector3& position);
  // Stores the point a look-at camera looks at.
  void SetTarget(const Vector3& point) { target = point; }
  // The topmost actor of the parent chain.
  Actor* GetRoot();
  // Places the actor at another node (null: back at its own node).
  void AttachToNode(CSCNNode* other);
  // Sets only the active flag.
  void SetActiveFlag(bool on) { active = on ? 1 : 0; }
  // Steps the fade; reaching its minimum disables the actor.
  void StepFade();
  // Collision bodies, built only while bodiesDirty is set and the actor
  // has a model with instances. Mesh bodies: one triangle mesh per instance
  // whose name holds "_CDS". Volume bodies: one shape per instance from its
  // mesh's bounding volume, or with kSingleBoxBody one box around the
  // current node's bounding sphere, placed by that node.
  void BuildMeshBodies();
  void BuildVolumeBodies();
  // Sets whether the world refiles the bodies.
  void SetBodiesActive(bool on);
  // Removes every body from the world and gives its node back to the pool.
  void ReleaseBodies();
  // The scene interface attached to nodes.
  CSCNObject& SceneObject() { return sceneObject_; }

  // Drawing calls used by every actor.
  static ActorDrawHooks& DrawHooks();

  bool bodiesDirty = true;
  CSCNNode node;
  CSCNNode* currentNode = nullptr;
  uint32_t flags = 0;
  uint32_t collisionMask = 1;
  uint32_t collisionCategory = 0xFFFFFFFF;
  uint32_t bodyCount = 0;
  int32_t* bodyIds = nullptr;
  Actor* parent = nullptr;
  void* spare = nullptr;
  ValueStepper fade;
  Vector3 target;
  C3MEModel* model = nullptr;
  uint32_t renderState = kDefaultRenderState;

 private:
  // Empties the body list and sizes it for count bodies (none yet).
  void BeginBodies(uint32_t count);
  // A node from the global pool under the actor's node, posed as the instance.
  CSCNNode* PlaceBody(const C3MEInstance& instance);
  // Names, owns and filters the body in slot, placed by placement.
  void SetUpBody(uint32_t index, int32_t slot, CSCNNode* placement);

  // Forwards the node's six calls to the actor (whose state-machine step
  // is also called Update).
  class SceneLink : public CSCNObject {
   public:
    explicit SceneLink(Actor& owner) : owner_(owner) {}
    bool PreRender() override { return owner_.PreRender(); }
    bool Render() override { return owner_.Render(); }
    bool PostRender() override { return owner_.PostRender(); }
    bool PreUpdate() override { return owner_.PreUpdate(); }
    bool Update() override { return owner_.SceneUpdate(); }
    bool PostUpdate() override { return owner_.PostUpdate(); }

   private:
    Actor& owner_;
  };
  SceneLink sceneObject_{*this};
};
