#include "physics/world/dgPointCollision.h"

#include "physics/world/dgWorld.h"

dgPointCollision::dgPointCollision(const dgMatrix& offset)
    : dgCollisionSphere(dgWorld::kPointCollisionSignature, 1.0f, offset) {}

void dgPointCollision::CalculateInertia(dgVector& outInertia, dgVector& outCentre) const {
  outInertia = dgVector(0.0f, 0.0f, 0.0f, 0.0f);
  outCentre = dgVector(0.0f, 0.0f, 0.0f, 0.0f);
}
