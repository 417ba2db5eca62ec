#include "ContactFixtures.h"

#include <cstring>

#include "physics/math/dgQuaternion.h"
#include "physics/shapes/dgCollision.h"

PlacedBody::PlacedBody(dgCollision* collision, const dgMatrix& matrix) {
  body.collision = collision;
  Place(matrix);
}

PlacedBody::~PlacedBody() {
  if (body.collision) body.collision->Release();
}

void PlacedBody::Place(const dgMatrix& matrix) {
  body.matrix = matrix;
  body.collisionMatrix = body.collision->GetOffsetMatrix().Multiply(matrix);
}

dgMatrix At(float x, float y, float z) {
  dgMatrix matrix;
  matrix.posit = dgVector(x, y, z, 1.0f);
  return matrix;
}

dgMatrix Turned(const dgVector& axis, float angle, const dgVector& position) {
  const dgQuaternion rotation(dgVector(axis.x, axis.y, axis.z, 0.0f), angle);
  return dgMatrix(rotation, dgVector(position.x, position.y, position.z, 1.0f));
}

dgContact SentinelContact() {
  dgContact contact;
  std::memset(static_cast<void*>(&contact), 0x5A, sizeof contact);
  return contact;
}

bool IsSentinel(const dgContact& contact) {
  const dgContact sentinel = SentinelContact();
  return std::memcmp(&contact, &sentinel, sizeof contact) == 0;
}
