#include "physics/dynamics/dgChassisConstraint.h"

#include "physics/shapes/dgCollision.h"
#include "physics/world/dgWorld.h"

void dgChassisConstraint::Release(dgWorld* world) {
  world->GetChassisTree().RemoveByKey(reinterpret_cast<uintptr_t>(this));
  if (destroyCallback) destroyCallback(this);
  while (wheels.GetCount()) RemoveWheel(wheels.GetFirst());
  world->GetChassisPool().Release(this);
  world->GetChassisBodyTree().RemoveByKey(reinterpret_cast<uintptr_t>(body0));
}

void dgChassisConstraint::RemoveWheel(dgRefList<dgChassisWheel>::dgListNode* node) {
  if (!node) return;
  dgCollision* collision = node->GetInfo().collision;
  wheels.Remove(node);
  if (collision) collision->Release();
}

// The chassis step belongs to the dynamics, which no caller of this program
// reaches; it never writes rows of the world's solver.
int dgChassisConstraint::JacobianDerivative(dgJacobianRows&) { return 0; }
