// Contacts from the face of least penetration: the two shapes' sections by
// the plane half-way between their surfaces, clipped against each other;
// and the same at the first touch of a predicted motion.

#include <cmath>
#include <cstdint>

#include "physics/body/dgBody.h"
#include "physics/body/dgContact.h"
#include "physics/contacts/dgContactSolver.h"
#include "physics/math/dgUnclearedArray.h"
#include "physics/shapes/dgConvexCollision.h"
#include "physics/shapes/dgSegmentQueries.h"
#include "physics/soup/dgCollisionConvexPolygon.h"

namespace {

// A section that misses its shape is taken again this far inside the shape's tip.
constexpr float kSectionRetryDepth = 1.0f / 256.0f;
// Clipping denominators never come closer to zero than this.
constexpr float kMinClipDivisor = 1.0e-10f;
// Clipped points this close (squared) to a contact already made join it.
constexpr float kMergeDistance2 = 0.002f;
// Room for both sections: shape 0's at most kMaxSectionPoints, then a soup
// face's cut, which may write twice its corners.
constexpr int kSectionRoom =
    dgConvexCollision::kMaxSectionPoints + 2 * dgCollisionPolygonalSoup::dgCollisionConvexPolygon::kMaxVertices;
// A clip adds at most one point per clipping edge.
constexpr int kClipRoom = 2 * kSectionRoom + 4;
// The impact is taken this far past the first touch.
constexpr float kImpactOvershoot = 1.0f / 256.0f;
constexpr int kMaxContinuousSteps = 32;
constexpr float kVelocityGuard = 1.0e-24f;

dgVector Point(const dgVector& v) { return dgVector(v.x, v.y, v.z, 1.0f); }
dgVector Direction(const dgVector& v) { return dgVector(v.x, v.y, v.z, 0.0f); }

void WriteContact(dgContact& contact, const dgVector& point, const dgVector& normal, int64_t userId,
                  float penetration) {
  contact.point = Point(point);
  contact.normal = Direction(normal);
  contact.userId = userId;
  contact.penetration = penetration;
}

// Keeps the part of the polygon (closed) or segment (open) on the positive
// side of plane (m, a): m · (p - a) >= 0. Writes at most room points.
int ClipByPlane(const dgVector& m, const dgVector& a, int count, const dgVector* in, bool closed, dgVector* out,
                int room) {
  const auto side = [&](const dgVector& p) { return m.DotProduct(p - a); };
  const auto crossing = [&](const dgVector& p, float dp, const dgVector& q, float dq) {
    float divisor = dp - dq;
    if (std::fabs(divisor) < kMinClipDivisor) divisor = divisor < 0.0f ? -kMinClipDivisor : kMinClipDivisor;
    return p + (q - p).Scale(dp / divisor);
  };
  int kept = 0;
  const auto emit = [&](const dgVector& p) {
    if (kept < room) out[kept++] = p;
  };
  if (!closed) {
    const float d0 = side(in[0]);
    const float d1 = side(in[1]);
    if (d0 < 0.0f && d1 < 0.0f) return 0;
    emit(d0 >= 0.0f ? in[0] : crossing(in[0], d0, in[1], d1));
    emit(d1 >= 0.0f ? in[1] : crossing(in[0], d0, in[1], d1));
    return kept;
  }
  // Each point's side once; the edge from the last point closes the loop.
  float sides[kClipRoom];
  for (int i = 0; i < count; ++i) sides[i] = side(in[i]);
  for (int i = 0; i < count; ++i) {
    const int j = i + 1 == count ? 0 : i + 1;
    const dgVector& p = in[i];
    const float dp = sides[i];
    const float dq = sides[j];
    if (dp >= 0.0f) emit(p);
    if ((dp >= 0.0f) != (dq >= 0.0f)) emit(crossing(p, dp, in[j], dq));
  }
  return kept;
}

}  // namespace

int dgContactSolver::ClipPolygons(const dgVector& normal, int userId, float penetration, int count0,
                                  const dgVector* poly0, int count1, const dgVector* poly1, dgContact* contacts,
                                  int maxContacts) {
  if (maxContacts <= 0) return 0;
  if (count0 < 3) {
    const dgVector* points = poly0;
    poly0 = poly1;
    poly1 = points;
    const int count = count0;
    count0 = count1;
    count1 = count;
  }
  if (count0 < 3 || count1 < 2) return 0;
  if (count0 > kSectionRoom) count0 = kSectionRoom;
  if (count1 > kSectionRoom) count1 = kSectionRoom;

  // The clipping polygon may wind either way about the normal; its edge
  // planes are turned to face its inside.
  dgVector area(0.0f, 0.0f, 0.0f, 0.0f);
  for (int i = 1; i + 1 < count0; ++i) area += (poly0[i] - poly0[0]).CrossProduct(poly0[i + 1] - poly0[0]);
  const bool counterClockwise = area.DotProduct(normal) >= 0.0f;

  dgUnclearedArray<dgVector, kClipRoom> bufferA;
  dgUnclearedArray<dgVector, kClipRoom> bufferB;
  dgVector* current = bufferA.Data();
  dgVector* next = bufferB.Data();
  int count = count1;
  for (int i = 0; i < count1; ++i) current[i] = poly1[i];
  const bool closed = count1 >= 3;
  for (int i = 0; i < count0 && count > 0; ++i) {
    const dgVector& a = poly0[i];
    const dgVector edge = poly0[i + 1 == count0 ? 0 : i + 1] - a;
    const dgVector inward = counterClockwise ? normal.CrossProduct(edge) : edge.CrossProduct(normal);
    count = ClipByPlane(inward, a, count, current, closed, next, kClipRoom);
    dgVector* swap = current;
    current = next;
    next = swap;
  }

  const int64_t id = static_cast<int64_t>(static_cast<uint32_t>(userId));
  int made = 0;
  for (int i = 0; i < count && made < maxContacts; ++i) {
    bool merged = false;
    for (int j = 0; j < made && !merged; ++j) {
      merged = (contacts[j].point - current[i]).LengthSquared() < kMergeDistance2;
    }
    if (!merged) WriteContact(contacts[made++], current[i], normal, id, penetration);
  }
  return made;
}

int dgContactSolver::ShapeSection(int shape, const dgVector& n, float c, dgVector* outPoints) {
  // Shape 0 reaches into shape 1 along n, shape 1 into shape 0 along -n.
  const dgVector tipDirection = shape == 0 ? n : n.Scale(-1.0f);
  const dgVector planeNormal = Direction(n.Scale(-1.0f));
  const dgVector planePoint = Point(n.Scale(c));
  const auto section = [&](const dgVector& normal, const dgVector& point) {
    if (shape == 0) return collision0_->CalculatePlaneIntersection(normal, point, outPoints);
    const int count = collision1_->CalculatePlaneIntersection(Direction(matrix_.UnrotateVector(normal)),
                                                              Point(matrix_.UntransformVector(point)), outPoints);
    for (int i = 0; i < count; ++i) outPoints[i] = Point(matrix_.TransformVector(outPoints[i]));
    return count;
  };
  int count = section(planeNormal, planePoint);
  if (count > 0) return count;

  // The plane passed the shape by (a sphere's support lies on a grid):
  // cut just inside its tip and bring the points onto the contact plane.
  dgVector tip;
  if (shape == 0) {
    tip = collision0_->SupportVertex(Direction(tipDirection));
  } else {
    const dgVector local = collision1_->SupportVertex(Direction(matrix_.UnrotateVector(tipDirection)));
    tip = matrix_.TransformVector(local);
  }
  const dgVector inside = Point(tip - tipDirection.Scale(kSectionRetryDepth));
  count = section(planeNormal, inside);
  for (int i = 0; i < count; ++i) outPoints[i] = Point(outPoints[i] - n.Scale(n.DotProduct(outPoints[i]) - c));
  return count;
}

int dgContactSolver::ContactsFromPlane(const dgPlane& plane, const dgVector& sum, int userId, dgContact* contacts,
                                       int maxContacts) {
  if (maxContacts <= 0) return 0;
  const dgVector n(plane.x, plane.y, plane.z, 0.0f);
  const float c = n.DotProduct(sum) * 0.5f;
  const float penetration = dgContactPenetration(-plane.w);
  const dgMatrix& matrix0 = *collisionMatrix0_;
  const dgVector normal = Direction(matrix0.RotateVector(n.Scale(-1.0f)));
  const int64_t singleId = static_cast<int64_t>(userId);

  dgUnclearedArray<dgVector, kSectionRoom> sectionStorage;
  dgVector* sections = sectionStorage.Data();
  const int count0 = ShapeSection(0, n, c, sections);
  dgVector* section1 = sections + count0;
  const int count1 = ShapeSection(1, n, c, section1);

  if (count0 == 1 || count1 == 1) {
    const dgVector& point = count0 == 1 ? sections[0] : section1[0];
    WriteContact(contacts[0], matrix0.TransformVector(point), normal, singleId, penetration);
    return 1;
  }
  if (count0 == 2 && count1 == 2) {
    dgVector onA;
    dgVector onB;
    dgClosestPointsBetweenSegments(sections[0], sections[1], section1[0], section1[1], onA, onB);
    WriteContact(contacts[0], matrix0.TransformVector((onA + onB).Scale(0.5f)), normal, singleId, penetration);
    return 1;
  }
  int made = 0;
  if (count0 > 0 && count1 > 0) {
    for (int i = 0; i < count0 + count1; ++i) sections[i] = Point(matrix0.TransformVector(sections[i]));
    made = ClipPolygons(normal, userId, penetration, count0, sections, count1, section1, contacts, maxContacts);
  }
  if (made == 0) {
    // A section stayed empty, or the two did not overlap, for a pair that
    // penetrates: one contact half-way between the two support points.
    WriteContact(contacts[0], matrix0.TransformVector(Point(sum.Scale(0.5f))), normal, singleId, penetration);
    made = 1;
  }
  return made;
}

int dgContactSolver::ContactsFromFace(int face, int userId, dgContact* contacts, int maxContacts) {
  if (face < 0 || face >= kMaxFaces || !faceEdges_[face]) return 0;
  return ContactsFromPlane(planes_[face].plane, sums_[faceEdges_[face]->vertex], userId, contacts, maxContacts);
}

int dgContactSolver::CalculateContacts(dgContact* contacts, int userId, int maxContacts) {
  if (maxContacts <= 0) return 0;
  int face = 0;
  if (IntersectionTest(face, dgVector(0.0f, 0.0f, 0.0f, 1.0f)) != kPenetrating) return 0;
  return ContactsFromFace(CalculatePenetrationFace(), userId, contacts, maxContacts);
}

int dgContactSolver::CalculateContinuousContacts(float timeStep, dgContact* contacts, int userId, int maxContacts) {
  if (maxContacts <= 0) return 0;
  int face = 0;
  const int status = IntersectionTest(face, dgVector(0.0f, 0.0f, 0.0f, 1.0f));
  if (status == kPenetrating) return ContactsFromFace(CalculatePenetrationFace(), userId, contacts, maxContacts);
  if (status != kSeparated) return 0;

  dgVector veloc0;
  dgVector veloc1;
  dgVector omega;
  body0_->PredictVelocities(timeStep, veloc0, omega);
  body1_->PredictVelocities(timeStep, veloc1, omega);
  const dgVector motion = Direction(body0_->collisionMatrix.UnrotateVector(veloc1 - veloc0));

  // The face of the walk nearest the moving origin; its corners are kept
  // because later walks rebuild the tetrahedron.
  dgVector corners[3];
  dgVector cornerSums[3];
  dgPlane plane;
  const auto takeFace = [&](int f) {
    const int* row = kTetrahedronFaces[f];
    const FacePlane facePlane = CalculateFacePlane(row[0], row[1], row[2]);
    if (!facePlane.valid) return false;
    plane = facePlane.plane;
    for (int i = 0; i < 3; ++i) {
      corners[i] = vertices_[row[i]];
      cornerSums[i] = sums_[row[i]];
    }
    return true;
  };
  const auto timeToPlane = [&]() { return -plane.w / (plane.DotProduct(motion) + kVelocityGuard); };
  if (!takeFace(face)) return 0;
  float t = timeToPlane();
  if (!(t > 0.0f)) return 0;

  for (int step = 0; step < kMaxContinuousSteps; ++step) {
    if (!(t < timeStep)) return 0;
    const float previous = t;
    if (Walk(face, Point(motion.Scale(t))) != kSeparated || !takeFace(face)) break;
    t = timeToPlane();
    if (!(t > previous)) break;
  }
  if (!(t < timeStep) || !(t > 0.0f)) return 0;

  // Bring body 1 just past the first touch and take the contacts there.
  const float speed = std::sqrt(motion.LengthSquared());
  const dgVector offset = motion.Scale(t + kImpactOvershoot / speed);
  const dgVector a = corners[0] - offset;
  const dgVector b = corners[1] - offset;
  const dgVector c = corners[2] - offset;
  dgVector n = (b - a).CrossProduct(c - a);
  const float length2 = n.LengthSquared();
  if (!(length2 > 1.0e-24f)) return 0;
  n = n.Scale(1.0f / std::sqrt(length2));
  if (n.DotProduct(motion) > 0.0f) n = n.Scale(-1.0f);
  const dgPlane impact(Direction(n), -n.DotProduct(a));

  const dgMatrix saved = matrix_;
  matrix_.posit += offset;
  const int count = ContactsFromPlane(impact, cornerSums[0] + offset, userId, contacts, maxContacts);
  matrix_ = saved;
  // The points lie where the bodies meet when body 0 stands still; carry
  // them along body 0's own motion to where they meet in the world.
  const dgVector carried = Direction(veloc0.Scale(t));
  for (int i = 0; i < count; ++i) contacts[i].point += carried;
  return count;
}
