#include "engine/scene/core/Actor.h"

#include "engine/runtime/fsm/FSMRegistry.h"

ActorDrawHooks& Actor::DrawHooks() {
  static ActorDrawHooks hooks;
  return hooks;
}

Actor::Actor() : currentNode(&node) {
  name = "Actor";
  fade.Set(ValueStepper::kClamp, 0.0f, 1.0f, 1.0f, 0.0f);
  node.Attach(&sceneObject_, 0);
}

Actor::~Actor() {
  ReleaseBodies();
  if (currentNode != nullptr && currentNode != &node) currentNode->Detach(&sceneObject_);
  node.Detach(&sceneObject_);
  // The base part unregisters again; a second removal finds nothing.
  CFSMRegistry::Get()->RemoveObject(this);
}

void Actor::SetEnabled(bool on) {
  active = on ? 1 : 0;
  node.enabled = on;
  if (currentNode != nullptr) currentNode->enabled = on;
}

void Actor::DebugDraw() {
  const ActorDrawHooks& hooks = DrawHooks();
  if (hooks.drawMarker != nullptr && currentNode != nullptr) hooks.drawMarker(currentNode->radius);
}

bool Actor::Render() {
  if (!active) return false;
  const ActorDrawHooks& hooks = DrawHooks();
  if (model != nullptr && (flags & kDrawModel) != 0 && hooks.drawModel != nullptr) hooks.drawModel(model, renderState);
  if ((flags & kDrawMarker) != 0) DebugDraw();
  return true;
}

Vector3 Actor::GetPosition() const { return currentNode != nullptr ? currentNode->centre : Vector3(); }

void Actor::SetPosition(const Vector3& position) {
  if (currentNode != nullptr) currentNode->centre = position;
}

Actor* Actor::GetRoot() {
  Actor* root = this;
  // The bound keeps a cyclic parent chain from hanging the caller.
  for (int depth = 0; root->parent != nullptr && root->parent != this && depth < 4096; ++depth) root = root->parent;
  return root;
}

void Actor::AttachToNode(CSCNNode* other) {
  if (other == nullptr) {
    if (currentNode != nullptr && currentNode != &node) currentNode->Detach(&sceneObject_);
    currentNode = &node;
    return;
  }
  if (currentNode != nullptr && currentNode != &node && currentNode != other) currentNode->Detach(&sceneObject_);
  currentNode = other;
  other->Detach(&sceneObject_);
  other->Attach(&sceneObject_, 0);
}

void Actor::StepFade() {
  fade.Advance();
  if (fade.value == fade.minimum) SetEnabled(false);
}
