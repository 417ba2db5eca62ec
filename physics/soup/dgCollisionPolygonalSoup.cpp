#include "physics/soup/dgCollisionPolygonalSoup.h"

#include <cmath>

#include "physics/body/dgContact.h"
#include "physics/soup/dgCollisionConvexPolygon.h"

dgCollisionPolygonalSoup::dgCollisionPolygonalSoup(dgTreeCollision* tree, dgSoupCollideCallback collide,
                                                   dgSoupRayCastCallback rayCast, dgSoupDestroyCallback destroy)
    : dgCollision(0, dgGetIdentityMatrix(), kPolygonalSoup),
      tree_(tree),
      collide_(collide),
      destroy_(destroy),
      rayCast_(rayCast),
      polygon_(new dgCollisionConvexPolygon()) {
  SetCollisionBBox(dgVector(), dgVector());
}

dgCollisionPolygonalSoup::~dgCollisionPolygonalSoup() {
  if (polygon_) polygon_->Release();
  if (destroy_) destroy_(tree_);
}

void dgCollisionPolygonalSoup::SetCollisionBBox(const dgVector& p0, const dgVector& p1) {
  boxMin_ = dgVector(std::fmin(p0.x, p1.x), std::fmin(p0.y, p1.y), std::fmin(p0.z, p1.z), 1.0f);
  boxMax_ = dgVector(std::fmax(p0.x, p1.x), std::fmax(p0.y, p1.y), std::fmax(p0.z, p1.z), 1.0f);
  boxHalfSize_ = (boxMax_ - boxMin_).Scale(0.5f);
  boxCentre_ = (boxMax_ + boxMin_).Scale(0.5f);
  boxHalfSize_.w = 1.0f;
  boxCentre_.w = 1.0f;
}

void* dgCollisionPolygonalSoup::GetUserData() const { return tree_; }

void dgCollisionPolygonalSoup::CalcAABB(const dgMatrix& globalMatrix, dgVector& outMin, dgVector& outMax) const {
  const dgVector centre = globalMatrix.TransformVector(boxCentre_);
  dgVector extent;
  for (int j = 0; j < 3; ++j) {
    float sum = 0.0f;
    for (int i = 0; i < 3; ++i) sum += std::fabs(globalMatrix[i][j]) * boxHalfSize_[i];
    extent[j] = sum;
  }
  outMin = dgVector(centre.x - extent.x, centre.y - extent.y, centre.z - extent.z, 1.0f);
  outMax = dgVector(centre.x + extent.x, centre.y + extent.y, centre.z + extent.z, 1.0f);
}

void dgCollisionPolygonalSoup::ForEachFace(const dgBody* body, dgFaceCallback) const {
  if (!collide_) return;
  dgPolygonSoupCollideRecord record{};
  record.boxMin = dgVector(0.0f, 0.0f, 0.0f, 1.0f);
  record.boxMax = dgVector(0.0f, 0.0f, 0.0f, 1.0f);
  record.tree = tree_;
  record.userValue1 = const_cast<dgBody*>(body);
  collide_(record);
}

int dgCollisionPolygonalSoup::GetFacesInBox(dgPolygonSoupCollideRecord& record) const {
  if (!collide_) return 0;
  record.tree = tree_;
  return collide_(record);
}

float dgCollisionPolygonalSoup::RayCast(const dgVector& p0, const dgVector& p1, dgContact& outContact) const {
  if (!rayCast_) return kRayMiss;
  dgPolygonSoupRayRecord record;
  record.p0 = p0;
  record.p1 = p1;
  record.tree = tree_;
  const float t = rayCast_(record);
  // A hit exactly at the segment's end is a hit, as for every other shape.
  if (t <= 1.0f) {
    outContact.normal = record.normal;
    // The attribute fills the low word of the id and the high word is zero.
    outContact.userId = static_cast<int64_t>(static_cast<uint32_t>(record.attribute));
  }
  return t;
}

void dgCollisionPolygonalSoup::CalculateInertia(dgVector& outInertia, dgVector& outCentre) const {
  outInertia = dgVector();
  outCentre = dgVector();
}

void dgCollisionPolygonalSoup::CalculateVolumeBelowPlane(dgVector& out, const dgMatrix&, dgPlaneCallback, void*) const {
  out = dgVector();
}
