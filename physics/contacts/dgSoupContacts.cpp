#include "physics/contacts/dgSoupContacts.h"

#include <cmath>

#include "physics/body/dgBody.h"
#include "physics/contacts/dgContactReduction.h"
#include "physics/contacts/dgContactSolver.h"
#include "physics/shapes/dgCollisionSphere.h"
#include "physics/soup/dgCollisionConvexPolygon.h"

namespace {

using dgConvexPolygon = dgCollisionPolygonalSoup::dgCollisionConvexPolygon;

// Distance within which a full contact array merges its contacts.
constexpr float kMergeDistance = 0.01f;
// A sphere centre nearer its face than this (squared) takes the face's normal.
constexpr float kOnFace2 = 1.0e-12f;
// The swept path is taken above this squared speed, when the step covers
// more than this share of the shape's extent along the motion.
constexpr float kSweptSpeed2 = 0.5f;
constexpr float kSweptExtentShare = 0.25f;
// A swept query box grows on an axis where the move passes this share of the box.
constexpr float kSweptBoxShare = 0.3f;
constexpr float kSweptSpinDamping = 0.9f;

const dgCollisionPolygonalSoup& SoupOf(const dgBody* body) {
  return *static_cast<const dgCollisionPolygonalSoup*>(body->collision);
}

dgVector Point(const dgVector& v) { return dgVector(v.x, v.y, v.z, 1.0f); }

// How the faces of a query meet the convex shape.
enum class FaceTest { kTwoSided, kSweptOneSided };

// The convex shape of the solver against every face of the record, while
// room remains; merges the array when fewer than 2 records stay free.
int ConvexAgainstFaces(dgContactSolver& solver, dgConvexPolygon& polygon, const dgConvexCollision& shape,
                       const dgPolygonSoupCollideRecord& record, const dgMatrix& soupMatrix, FaceTest test,
                       float timeStep, dgContact* contacts, int maxContacts) {
  const int mergeTarget = maxContacts / 4 > 1 ? maxContacts / 4 : 1;
  int count = 0;
  int remaining = maxContacts;
  const int* indices = record.indices;
  for (int face = 0; face < record.faceCount && remaining > 0; ++face) {
    const int indexCount = record.indexCounts[face];
    polygon.SetFace(record.vertices, record.vertexStrideBytes / 4, indices, indexCount);
    indices += indexCount;
    const int attribute = record.attributes[face];
    int made = 0;
    if (test == FaceTest::kTwoSided) {
      if (!polygon.ContactsToConvexB(shape, solver.GetMatrix())) continue;
      made = solver.CalculateContacts(contacts + count, attribute, remaining);
      made = polygon.ClipContacts(made, contacts + count, soupMatrix);
    } else {
      if (!polygon.ContactsToConvexA(shape, solver.GetMatrix())) continue;
      made = solver.CalculateContinuousContacts(timeStep, contacts + count, attribute, remaining);
    }
    remaining -= made;
    count += made;
    if (remaining < 2) {
      count = dgReduceContacts(count, contacts, mergeTarget, kMergeDistance);
      remaining = maxContacts - count;
    }
  }
  return count;
}

// The convex shape's query box in soup space (matrix: shape space into soup space).
void ShapeBoxInSoup(const dgConvexCollision& shape, const dgMatrix& shapeToSoup, dgPolygonSoupCollideRecord& record) {
  shape.CalcAABB(shapeToSoup, record.boxMin, record.boxMax);
  record.boxMin.w = 1.0f;
  record.boxMax.w = 1.0f;
}

// Runs the faces of the record's box through the solver of (convex, soup).
int ConvexQuery(dgBody* soupBody, dgBody* convexBody, dgPolygonSoupCollideRecord& record, FaceTest test, float timeStep,
                dgContact* contacts, int maxContacts) {
  const dgCollisionPolygonalSoup& soup = SoupOf(soupBody);
  dgConvexPolygon* polygon = soup.GetPolygon();
  if (!polygon || soup.GetFacesInBox(record) <= 0) return 0;
  const auto& shape = *static_cast<const dgConvexCollision*>(convexBody->collision);
  dgVector localMin;
  dgVector localMax;
  shape.CalcAABB(dgGetIdentityMatrix(), localMin, localMax);
  polygon->SetBox(localMin, localMax);
  // The solver's relative matrix carries soup space into the shape's: the
  // face buffer's tests take it as it is, for every face.
  dgContactSolver solver(convexBody, soupBody, polygon);
  return ConvexAgainstFaces(solver, *polygon, shape, record, soupBody->collisionMatrix, test, timeStep, contacts,
                            maxContacts);
}

dgMatrix ShapeToSoup(const dgBody* convexBody, const dgBody* soupBody) {
  return convexBody->collisionMatrix.Multiply(soupBody->collisionMatrix.Inverse());
}

}  // namespace

int dgCalculateSphereSoupContacts(dgWorld*, dgBody* soupBody, dgBody* sphereBody, dgContact* contacts,
                                  int maxContacts) {
  const dgCollisionPolygonalSoup& soup = SoupOf(soupBody);
  dgConvexPolygon* polygon = soup.GetPolygon();
  if (!polygon || maxContacts <= 0) return 0;
  const dgMatrix& soupMatrix = soupBody->collisionMatrix;
  const float radius = static_cast<const dgCollisionSphere*>(sphereBody->collision)->GetRadius();
  const dgVector centre = Point(soupMatrix.UntransformVector(sphereBody->collisionMatrix.posit));

  dgPolygonSoupCollideRecord record;
  record.boxMin = Point(centre - dgVector(radius, radius, radius, 0.0f));
  record.boxMax = Point(centre + dgVector(radius, radius, radius, 0.0f));
  if (soup.GetFacesInBox(record) <= 0) return 0;

  int count = 0;
  const int* indices = record.indices;
  for (int face = 0; face < record.faceCount && count < maxContacts; ++face) {
    const int indexCount = record.indexCounts[face];
    polygon->SetFace(record.vertices, record.vertexStrideBytes / 4, indices, indexCount);
    indices += indexCount;
    dgVector closest;
    if (!polygon->DistanceToPoint(centre, radius, closest)) continue;
    const dgVector offset = centre - closest;
    const float distance2 = offset.LengthSquared();
    const float distance = std::sqrt(distance2);
    const float separation = distance - radius;
    if (!(separation < -dgContactThreshold)) continue;
    // A centre on the face has no direction to it: the face's own normal serves.
    dgVector normal = distance2 > kOnFace2 ? offset.Scale(1.0f / distance) : polygon->GetNormal();
    normal.w = 0.0f;
    dgContact& contact = contacts[count];
    contact.point = soupMatrix.TransformVector(Point(centre - normal.Scale(radius + separation * 0.5f)));
    contact.normal = soupMatrix.RotateVector(normal);
    contact.normal.w = 0.0f;
    contact.userId = static_cast<int64_t>(record.attributes[face]);
    contact.penetration = dgContactPenetration(std::fabs(separation));
    count += polygon->ClipContacts(1, &contact, soupMatrix);
    if (count >= maxContacts) count = dgReduceContacts(count, contacts, 1, kMergeDistance);
  }
  return count;
}

int dgCalculateConvexSoupContacts(dgWorld*, dgBody* soupBody, dgBody* convexBody, dgContact* contacts,
                                  int maxContacts) {
  if (maxContacts <= 0) return 0;
  dgPolygonSoupCollideRecord record;
  ShapeBoxInSoup(*static_cast<const dgConvexCollision*>(convexBody->collision), ShapeToSoup(convexBody, soupBody),
                 record);
  return ConvexQuery(soupBody, convexBody, record, FaceTest::kTwoSided, 0.0f, contacts, maxContacts);
}

int dgCalculateContinuousSoupContacts(dgWorld* world, float timeStep, dgBody* convexBody, dgBody* soupBody,
                                      dgContact* contacts, int maxContacts) {
  if (maxContacts <= 0) return 0;
  const auto& shape = *static_cast<const dgConvexCollision*>(convexBody->collision);
  dgVector veloc;
  dgVector omega;
  convexBody->PredictVelocities(timeStep, veloc, omega);
  const float speed2 = veloc.LengthSquared();
  bool swept = false;
  if (speed2 > kSweptSpeed2) {
    // The shape's extent along the motion, against the distance the step covers.
    const float speed = std::sqrt(speed2);
    const dgVector along = convexBody->collisionMatrix.UnrotateVector(veloc.Scale(1.0f / speed));
    const dgVector direction(along.x, along.y, along.z, 0.0f);
    const dgVector ahead = shape.SupportVertex(direction);
    const dgVector behind = shape.SupportVertex(direction.Scale(-1.0f));
    const float extent = direction.DotProduct(ahead - behind);
    swept = speed * timeStep > kSweptExtentShare * extent;
  }
  if (!swept) return dgCalculateConvexSoupContacts(world, soupBody, convexBody, contacts, maxContacts);

  convexBody->flags &= ~dgBody::kFlagResting;
  convexBody->omega = convexBody->omega.Scale(kSweptSpinDamping);
  dgPolygonSoupCollideRecord record;
  ShapeBoxInSoup(shape, ShapeToSoup(convexBody, soupBody), record);
  // Stretch the box towards where the step takes the shape.
  const dgVector move = soupBody->collisionMatrix.UnrotateVector(veloc.Scale(timeStep));
  for (int axis = 0; axis < 3; ++axis) {
    const float size = record.boxMax[axis] - record.boxMin[axis];
    const float excess = std::fabs(move[axis]) - kSweptBoxShare * size;
    if (!(excess > 0.0f)) continue;
    if (move[axis] > 0.0f) {
      record.boxMax[axis] += excess;
    } else {
      record.boxMin[axis] -= excess;
    }
  }
  return ConvexQuery(soupBody, convexBody, record, FaceTest::kSweptOneSided, timeStep, contacts, maxContacts);
}

int dgCalculateSoupContactsDiscrete(dgWorld* world, dgBody* convexBody, dgBody* soupBody, dgContact* contacts,
                                    int maxContacts) {
  if (convexBody->collision->GetKind() == dgCollision::kSphere) {
    return dgCalculateSphereSoupContacts(world, soupBody, convexBody, contacts, maxContacts);
  }
  return dgCalculateConvexSoupContacts(world, soupBody, convexBody, contacts, maxContacts);
}
