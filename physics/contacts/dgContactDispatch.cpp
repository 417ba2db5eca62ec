#include "physics/contacts/dgContactDispatch.h"

#include <cmath>

#include "physics/body/dgBody.h"
#include "physics/contacts/dgContactSolver.h"
#include "physics/contacts/dgSoupContacts.h"
#include "physics/shapes/dgCollisionBox.h"
#include "physics/shapes/dgCollisionSphere.h"

namespace {

// Sphere centres closer than this (squared) are taken as one point.
constexpr float kCoincidentCentres2 = 0.0001f;
// The fixed answer for coincident centres.
constexpr float kCoincidentPenetration = 0.01f;
// A shape kind that no shape of this library has; pairs with it get no contacts.
constexpr uint32_t kUnusedKind = 11;

uint32_t KindOf(const dgBody* body) { return body->collision->GetKind(); }

bool IsContinuous(const dgBody* body) { return (body->flags & dgBody::kFlagContinuous) != 0; }

// The room a routine may fill: what the caller gives, never above the solver's 16.
int SolverRoom(int maxContacts) {
  return maxContacts < dgContactSolver::kMaxContacts ? maxContacts : dgContactSolver::kMaxContacts;
}

void StampBodies(dgBody* body0, dgBody* body1, dgContact* contacts, int count) {
  for (int i = 0; i < count; ++i) {
    contacts[i].body0 = body0;
    contacts[i].body1 = body1;
    contacts[i].collision0 = body0->collision;
    contacts[i].collision1 = body1->collision;
  }
}

float RadiusOf(const dgBody* body) { return static_cast<const dgCollisionSphere*>(body->collision)->GetRadius(); }

}  // namespace

int dgCalculateGeneralConvexContacts(dgBody* body0, dgBody* body1, dgContact* contacts, int maxContacts) {
  dgContactSolver solver(body0, body1);
  return solver.CalculateContacts(contacts, 0, SolverRoom(maxContacts));
}

int dgCalculateSphereSphereContact(dgBody* body0, dgBody* body1, dgContact* contacts, int maxContacts) {
  if (maxContacts <= 0) return 0;
  const float r0 = RadiusOf(body0);
  const float r1 = RadiusOf(body1);
  const dgVector& c0 = body0->collisionMatrix.posit;
  const dgVector& c1 = body1->collisionMatrix.posit;
  const dgVector d = c1 - c0;
  const float q = d.LengthSquared();
  dgContact& contact = contacts[0];
  contact.userId = 0;
  if (q < kCoincidentCentres2) {
    contact.normal = dgVector(0.0f, 1.0f, 0.0f, 1.0f);
    contact.penetration = kCoincidentPenetration;
    contact.point = c0 + contact.normal.Scale(r0);
    contact.point.w = c0.w;
    return 1;
  }
  const float distance = std::sqrt(q);
  const float separation = distance - (r0 + r1);
  if (separation > -dgContactThreshold) return 0;
  const float penetration = dgContactPenetration(std::fabs(separation));
  dgVector normal = d.Scale(-1.0f / distance);
  normal.w = c1.w;
  contact.normal = normal;
  contact.penetration = penetration;
  contact.point = c0 - normal.Scale(r0 - penetration * 0.5f);
  contact.point.w = c0.w;
  return 1;
}

int dgCalculateBoxSphereContact(dgBody* boxBody, dgBody* sphereBody, dgContact* contacts, int maxContacts) {
  if (maxContacts <= 0) return 0;
  const dgVector& half = static_cast<const dgCollisionBox*>(boxBody->collision)->GetHalfSize();
  const float radius = RadiusOf(sphereBody);
  const dgMatrix& boxMatrix = boxBody->collisionMatrix;
  const dgVector centre = boxMatrix.UntransformVector(sphereBody->collisionMatrix.posit);

  // Region 0 is the inside of the box; outside it the nearest point of the
  // box (a face, edge or corner point) gives the contact in closed form.
  int region = 0;
  int weight = 1;
  dgVector nearest = centre;
  for (int axis = 0; axis < 3; ++axis, weight *= 3) {
    if (centre[axis] < -half[axis]) {
      region += weight;
      nearest[axis] = -half[axis];
    } else if (centre[axis] > half[axis]) {
      region += 2 * weight;
      nearest[axis] = half[axis];
    }
  }
  if (region == 0) return dgCalculateGeneralConvexContacts(boxBody, sphereBody, contacts, maxContacts);

  const dgVector offset = centre - nearest;
  // sqrt keeps a face region's distance exact (one non-zero component).
  const float distance = std::sqrt(offset.LengthSquared());
  const dgVector outward = offset.Scale(1.0f / distance);
  const float separation = distance - radius;
  if (separation > -dgContactThreshold) return 0;
  dgContact& contact = contacts[0];
  const dgVector point = nearest + outward.Scale(separation * 0.5f);
  contact.point = boxMatrix.TransformVector(dgVector(point.x, point.y, point.z, 1.0f));
  contact.normal = boxMatrix.RotateVector(outward.Scale(-1.0f));
  contact.normal.w = 0.0f;
  contact.penetration = dgContactPenetration(std::fabs(separation));
  contact.userId = 0;
  return 1;
}

int dgCalculateConvexContacts(float timeStep, dgBody* body0, dgBody* body1, dgContact* contacts, int maxContacts) {
  const int room = SolverRoom(maxContacts);
  if (room <= 0) return 0;
  int count = 0;
  const uint32_t k0 = KindOf(body0);
  const uint32_t k1 = KindOf(body1);
  if (k0 == kUnusedKind || k1 == kUnusedKind) return 0;
  if (IsContinuous(body0) || IsContinuous(body1)) {
    dgContactSolver solver(body0, body1);
    count = solver.CalculateContinuousContacts(timeStep, contacts, 0, room);
  } else if (k0 == dgCollision::kBox && k1 == dgCollision::kSphere) {
    count = dgCalculateBoxSphereContact(body0, body1, contacts, room);
  } else if (k0 == dgCollision::kSphere && k1 == dgCollision::kBox) {
    // The box routine answers for the box as body 0: turn its normals round.
    count = dgCalculateBoxSphereContact(body1, body0, contacts, room);
    for (int i = 0; i < count; ++i) contacts[i].normal = contacts[i].normal.Scale(-1.0f);
  } else if (k0 == dgCollision::kSphere && k1 == dgCollision::kSphere) {
    count = dgCalculateSphereSphereContact(body0, body1, contacts, room);
  } else {
    count = dgCalculateGeneralConvexContacts(body0, body1, contacts, room);
  }
  StampBodies(body0, body1, contacts, count);
  return count;
}

int dgCalculateSoupContacts(dgWorld* world, float timeStep, dgBody* body0, dgBody* body1, dgContact* contacts,
                            int maxContacts) {
  if (maxContacts <= 0) return 0;
  if (KindOf(body0) == kUnusedKind || KindOf(body1) == kUnusedKind) return 0;
  int count = 0;
  if (IsContinuous(body0) || IsContinuous(body1)) {
    count = dgCalculateContinuousSoupContacts(world, timeStep, body0, body1, contacts, maxContacts);
  } else {
    count = dgCalculateSoupContactsDiscrete(world, body0, body1, contacts, maxContacts);
  }
  StampBodies(body0, body1, contacts, count);
  return count;
}
