// The world's contact and closest-point services between two collisions
// placed by matrices: the shapes ride on two short-lived bodies built on
// the stack, so a query touches neither the body pool nor the broad phase.

#include <cstring>

#include "physics/contacts/dgContactDispatch.h"
#include "physics/contacts/dgContactReduction.h"
#include "physics/contacts/dgContactSolver.h"
#include "physics/shapes/dgCollision.h"
#include "physics/shapes/dgConvexCollision.h"
#include "physics/world/dgPointCollision.h"
#include "physics/world/dgWorld.h"

namespace {

// A body that only places a collision for one query.
void PlaceQueryBody(dgBody& body, dgWorld* world, dgCollision* collision, const dgMatrix& matrix) {
  body.flags &= ~dgBody::kFlagContinuous;
  body.world = world;
  body.matrix = matrix;
  body.collision = collision;
  body.collisionMatrix = collision->GetOffsetMatrix().Multiply(matrix);
}

void WriteTriple(float* out, int index, const dgVector& v) {
  out[index * 3 + 0] = v.x;
  out[index * 3 + 1] = v.y;
  out[index * 3 + 2] = v.z;
}

}  // namespace

int dgWorld::Collide(dgCollision* a, const dgMatrix& matrixA, dgCollision* b, const dgMatrix& matrixB, float* outPoints,
                     float* outNormals, float* outPenetrations, int maxContacts) {
  // Reduction keeps at least one contact: a room of 0 would be written past.
  if (maxContacts <= 0 || !a || !b) return 0;
  const int wanted = maxContacts < kCollideBufferSize ? maxContacts : kCollideBufferSize;

  dgBody bodyA;
  dgBody bodyB;
  PlaceQueryBody(bodyA, this, a, matrixA);
  PlaceQueryBody(bodyB, this, b, matrixB);

  dgContact contacts[kCollideBufferSize];
  int count = 0;
  const uint32_t compoundId = classIds_[kCompoundId];
  const uint32_t convexId = classIds_[kConvexId];
  if (a->IsType(compoundId) || b->IsType(compoundId)) {
    count = 0;  // no compound shape answers contacts
  } else if (a->IsType(convexId)) {
    count = ConvexContacts(bodyA, bodyB, contacts);
  } else if (b->IsType(convexId)) {
    count = ConvexContacts(bodyB, bodyA, contacts);
  }
  if (count > 0) count = dgPruneContacts(count, contacts, kCollideBufferSize);
  if (count > wanted) count = dgReduceContacts(count, contacts, wanted, kReduceDistance);

  for (int i = 0; i < count; ++i) {
    WriteTriple(outPoints, i, contacts[i].point);
    WriteTriple(outNormals, i, contacts[i].normal);
    outPenetrations[i] = contacts[i].penetration;
  }
  return count;
}

int dgWorld::ConvexContacts(dgBody& body0, dgBody& body1, dgContact* contacts) {
  // Query bodies never sweep, so the time step goes unused.
  if (body1.collision->IsType(classIds_[kConvexId])) {
    return dgCalculateConvexContacts(timeStep_, &body0, &body1, contacts, kCollideBufferSize);
  }
  return dgCalculateSoupContacts(this, timeStep_, &body0, &body1, contacts, kCollideBufferSize);
}

int dgWorld::ClosestPoints(dgCollision* a, const dgMatrix& matrixA, dgCollision* b, const dgMatrix& matrixB,
                           dgVector& outPointA, dgVector& outPointB, dgVector& outNormal) {
  if (!a || !b) return 0;
  const uint32_t compoundId = classIds_[kCompoundId];
  const uint32_t convexId = classIds_[kConvexId];
  if (a->IsType(compoundId) || b->IsType(compoundId)) return 0;  // no compound shape answers
  if (!a->IsType(convexId) || !b->IsType(convexId)) return 0;
  return ConvexClosestPoints(a, matrixA, b, matrixB, false, outPointA, outPointB, outNormal);
}

int dgWorld::ConvexClosestPoints(dgCollision* a, const dgMatrix& matrixA, dgCollision* b, const dgMatrix& matrixB,
                                 bool pointB, dgVector& outPointA, dgVector& outPointB, dgVector& outNormal) {
  // Closest points need no motion, so the collisions go to the solver with
  // their collision matrices, without the query bodies of Collide.
  const dgMatrix collisionMatrixA = a->GetOffsetMatrix().Multiply(matrixA);
  const dgMatrix collisionMatrixB = b->GetOffsetMatrix().Multiply(matrixB);
  return dgCalculateClosestPoints(static_cast<dgConvexCollision*>(a), collisionMatrixA,
                                  static_cast<dgConvexCollision*>(b), collisionMatrixB, pointB, outPointA, outPointB,
                                  outNormal);
}

int dgWorld::ClosestPoint(const dgVector& point, dgCollision* collision, const dgMatrix& matrix, dgVector& outPoint,
                          dgVector& outNormal) {
  if (!pointCollision_ || !collision) return 0;
  if (collision->IsType(classIds_[kCompoundId]) || !collision->IsType(classIds_[kConvexId])) return 0;
  dgMatrix at;
  at.posit = dgVector(point.x, point.y, point.z, 1.0f);
  dgVector pointSide;
  // The world's point is convex, no compound, and the same support point for every direction.
  return ConvexClosestPoints(collision, matrix, pointCollision_, at, true, outPoint, pointSide, outNormal);
}
