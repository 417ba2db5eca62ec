// The solver's set-up, its Minkowski support and the tetrahedron walk that
// decides whether the difference of the two shapes holds a point.

#include <cmath>

#include "physics/body/dgBody.h"
#include "physics/contacts/dgContactSolver.h"
#include "physics/shapes/dgConvexCollision.h"

namespace {

// The seed vertices must open the tetrahedron by more than this (squared
// length, squared cross product, triple product; unnormalised).
constexpr float kSeedSpread = 1.0f / 128.0f;
constexpr int kMaxWalkSteps = 128;
// The first steps demand a tighter gain than the later ones.
constexpr int kTightSteps = 17;
constexpr float kTightTolerance = 1.0e-6f;
constexpr float kLooseTolerance = 1.0e-4f;
// A new point this close to a vertex of the tetrahedron brings nothing new.
constexpr float kStallGain = 0.001f;
constexpr float kStallDistance2 = 1.0e-6f;
constexpr int kTrialIndex = 4;

}  // namespace

dgContactSolver::dgContactSolver(dgBody* body0, dgBody* body1) : body1_(body1), body0_(body0) {
  Init(static_cast<dgConvexCollision*>(body0->collision), body0->collisionMatrix,
       static_cast<dgConvexCollision*>(body1->collision), body1->collisionMatrix);
}

dgContactSolver::dgContactSolver(dgBody* body0, dgBody* body1, dgConvexCollision* collision1)
    : body1_(body1), body0_(body0) {
  Init(static_cast<dgConvexCollision*>(body0->collision), body0->collisionMatrix, collision1, body1->collisionMatrix);
}

dgContactSolver::dgContactSolver(dgConvexCollision* collision0, const dgMatrix& collisionMatrix0,
                                 dgConvexCollision* collision1, const dgMatrix& collisionMatrix1) {
  Init(collision0, collisionMatrix0, collision1, collisionMatrix1);
}

void dgContactSolver::Init(dgConvexCollision* collision0, const dgMatrix& collisionMatrix0,
                           dgConvexCollision* collision1, const dgMatrix& collisionMatrix1) {
  collision0_ = collision0;
  collision1_ = collision1;
  collisionMatrix0_ = &collisionMatrix0;
  matrix_ = collisionMatrix1.Multiply(collisionMatrix0.Inverse());
}

void dgContactSolver::FixSupport1() {
  fixedSupport1_ = matrix_.TransformVector(collision1_->SupportVertex(dgVector(0.0f, 0.0f, 0.0f, 0.0f)));
  support1Fixed_ = true;
}

void dgContactSolver::SupportVertex(const dgVector& direction, int index) {
  const dgVector dir(direction.x, direction.y, direction.z, 0.0f);
  StoreSupport(dir, collision0_->SupportVertex(dir), index);
}

void dgContactSolver::SearchSupportVertex(int direction, int index) {
  static_assert(kDirectionCount <= dgConvexCollision::kKeptSupportSlots);
  const dgVector& dir = sDirections[direction];
  StoreSupport(dir, collision0_->KeptSupportVertex(direction, dir), index);
}

void dgContactSolver::StoreSupport(const dgVector& dir, const dgVector& s0, int index) {
  dgVector s1 = fixedSupport1_;
  if (!support1Fixed_) {
    const dgVector back = matrix_.UnrotateVector(dgVector(-dir.x, -dir.y, -dir.z, 0.0f));
    s1 = matrix_.TransformVector(collision1_->SupportVertex(dgVector(back.x, back.y, back.z, 0.0f)));
  }
  dgVector difference = s0 - s1;
  difference.w = 1.0f;
  dgVector sum = s0 + s1;
  sum.w = 1.0f;
  vertices_[index] = difference;
  sums_[index] = sum;
}

void dgContactSolver::CopyVertex(int to, int from) {
  vertices_[to] = vertices_[from];
  sums_[to] = sums_[from];
}

void dgContactSolver::SwapVertices(int a, int b) {
  const dgVector vertex = vertices_[a];
  const dgVector sum = sums_[a];
  CopyVertex(a, b);
  vertices_[b] = vertex;
  sums_[b] = sum;
}

bool dgContactSolver::CheckTetrahedronVolume() {
  const dgVector e1 = vertices_[1] - vertices_[0];
  const dgVector e2 = vertices_[2] - vertices_[0];
  const dgVector e3 = vertices_[3] - vertices_[0];
  if (!(e3.DotProduct(e1.CrossProduct(e2)) > 0.0f)) return false;
  SwapVertices(1, 2);
  return true;
}

void dgContactSolver::BuildTetrahedron() {
  int next = 0;
  SearchSupportVertex(next++, 0);
  // When the table runs out the last trial stands.
  do {
    SearchSupportVertex(next++, 1);
  } while (next < kDirectionCount && !((vertices_[1] - vertices_[0]).LengthSquared() > kSeedSpread));
  dgVector cross;
  do {
    SearchSupportVertex(next < kDirectionCount ? next : kDirectionCount - 1, 2);
    ++next;
    cross = (vertices_[1] - vertices_[0]).CrossProduct(vertices_[2] - vertices_[0]);
  } while (next < kDirectionCount && !(cross.LengthSquared() > kSeedSpread));
  do {
    SearchSupportVertex(next < kDirectionCount ? next : kDirectionCount - 1, 3);
    ++next;
  } while (next < kDirectionCount && !(std::fabs((vertices_[3] - vertices_[0]).DotProduct(cross)) > kSeedSpread));
  CheckTetrahedronVolume();
  vertexCount_ = 4;
}

int dgContactSolver::IntersectionTest(int& outFace, const dgVector& point) {
  BuildTetrahedron();
  return Walk(outFace, point);
}

int dgContactSolver::Walk(int& outFace, const dgVector& point) {
  // The planes of the four faces. After a step the kept face is entries
  // 0-2 (row 0) in its old order, or with entries 1 and 2 swapped, so its
  // plane is the chosen one as it was, or that plane turned round exactly:
  // only the three faces through the new vertex need computing.
  FacePlane planes[4];
  bool keptPlaneKnown = false;
  for (int step = 0; step < kMaxWalkSteps; ++step) {
    // All planes first, then the choice: the square roots and divisions of
    // the faces overlap.
    for (int f = keptPlaneKnown ? 1 : 0; f < 4; ++f) {
      const int* face = kTetrahedronFaces[f];
      planes[f] = CalculateFacePlaneBranchless(face[0], face[1], face[2]);
    }
    int best = -1;
    float bestDistance = 0.0f;
    for (int f = 0; f < 4; ++f) {
      if (!planes[f].valid) continue;
      const float d = planes[f].plane.Evaluate(point);
      if (d > bestDistance) {
        bestDistance = d;
        best = f;
      }
    }
    if (best < 0) return kPenetrating;
    const int* row = kTetrahedronFaces[best];
    const dgPlane bestPlane = planes[best].plane;
    const dgVector normal(bestPlane.x, bestPlane.y, bestPlane.z, 0.0f);
    SupportVertex(normal, kTrialIndex);
    const float gain = normal.DotProduct(vertices_[kTrialIndex] - vertices_[row[0]]);
    const float tolerance = step < kTightSteps ? kTightTolerance : kLooseTolerance;
    if (gain < tolerance) {
      outFace = best;
      return kSeparated;
    }
    if (gain < kStallGain) {
      for (int i = 0; i < 4; ++i) {
        if ((vertices_[kTrialIndex] - vertices_[i]).LengthSquared() < kStallDistance2) {
          outFace = best;
          return kSeparated;
        }
      }
    }
    // The face stays, the opposite vertex gives way to the new point: order
    // the face as entries 0-2 and the new point as entry 3.
    if (best != 0) {
      dgVector faceVertices[3];
      dgVector faceSums[3];
      for (int i = 0; i < 3; ++i) {
        faceVertices[i] = vertices_[row[i]];
        faceSums[i] = sums_[row[i]];
      }
      for (int i = 0; i < 3; ++i) {
        vertices_[i] = faceVertices[i];
        sums_[i] = faceSums[i];
      }
    }
    CopyVertex(3, kTrialIndex);
    const bool swapped = CheckTetrahedronVolume();
    planes[0].valid = true;
    planes[0].plane = swapped ? dgPlane(-bestPlane.x, -bestPlane.y, -bestPlane.z, -bestPlane.w) : bestPlane;
    keptPlaneKnown = true;
  }
  // Out of steps. The last chosen face is now entries 0-2 (table row 0),
  // whose plane faces away from the new point, i.e. opposite the chosen
  // normal: accept it when nothing of the difference lies beyond it.
  const FacePlane face = CalculateFacePlane(0, 1, 2);
  if (!face.valid) return kFailed;
  const dgVector reversed(face.plane.x, face.plane.y, face.plane.z, 0.0f);
  SupportVertex(reversed, kTrialIndex);
  if (reversed.DotProduct(vertices_[kTrialIndex] - vertices_[0]) < kStallGain) {
    outFace = 0;
    return kSeparated;
  }
  return kFailed;
}
