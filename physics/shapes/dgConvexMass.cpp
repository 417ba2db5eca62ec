// Mass properties of convex shapes by face integration: volume, centre of
// mass and inertia of the faces ForEachFace gives, and the volume and
// centroid below a plane from the hull.

#include <cmath>

#include "physics/body/dgBody.h"
#include "physics/memory/dgStack.h"
#include "physics/shapes/dgConvexCollision.h"
#include "physics/shapes/dgMassIntegrator.h"

namespace {

// Vertices this close to the plane count as on it.
constexpr float kOnPlane = 1e-5f;
// Most points of the cap polygon of a plane cut.
constexpr int kMaxCapPoints = 126;

void AddFaceToIntegrator(const dgBody* body, int count, const float* triples, int) {
  auto* integrator = static_cast<dgMassIntegrator*>(body->userData);
  dgVector local[64];
  dgStack<dgVector> spill(count > 64 ? count : 0);
  dgVector* points = count > 64 ? spill.Data() : local;
  if (!points || count < 3) return;
  for (int i = 0; i < count; ++i) points[i] = dgVector(triples + 3 * i, 1.0f);
  dgVector normal = (points[1] - points[0]).CrossProduct(points[2] - points[0]);
  const float length2 = normal.LengthSquared();
  if (length2 <= 1e-8f) return;
  normal = normal.Scale(1.0f / std::sqrt(length2));
  integrator->AddFace(count, points, normal, true);
}

// Newell's normal of a polygon (not normalised).
dgVector PolygonNormal(int count, const dgVector* points) {
  dgVector normal;
  for (int i = 0; i < count; ++i) {
    const dgVector& a = points[i];
    const dgVector& b = points[(i + 1) % count];
    normal.x += (a.y - b.y) * (a.z + b.z);
    normal.y += (a.z - b.z) * (a.x + b.x);
    normal.z += (a.x - b.x) * (a.y + b.y);
  }
  return normal;
}

}  // namespace

void dgConvexCollision::IntegrateFaces(float& outT0, dgVector& outT1, dgVector& outT2) const {
  dgMassIntegrator integrator;
  dgBody body;
  body.userData = &integrator;
  ForEachFace(&body, AddFaceToIntegrator);
  outT0 = integrator.Volume();
  outT1 = integrator.FirstMoment();
  outT2 = integrator.SecondMoment();
}

float dgConvexCollision::GetVolume() const {
  float t0;
  dgVector t1;
  dgVector t2;
  IntegrateFaces(t0, t1, t2);
  return t0;
}

void dgConvexCollision::CalculateInertia(dgVector& outInertia, dgVector& outCentre) const {
  float t0;
  dgVector t1;
  dgVector t2;
  IntegrateFaces(t0, t1, t2);
  const float volume = t0 > 0.001f ? t0 : 0.001f;
  const dgVector centre = t1.Scale(0.5f / volume);
  const float third = 1.0f / (3.0f * volume);
  outCentre.x = centre.x;
  outCentre.y = centre.y;
  outCentre.z = centre.z;
  outInertia.x = t2.y * third + t2.z * third - (centre.y * centre.y + centre.z * centre.z);
  outInertia.y = t2.x * third + t2.z * third - (centre.x * centre.x + centre.z * centre.z);
  outInertia.z = t2.x * third + t2.y * third - (centre.x * centre.x + centre.y * centre.y);
}

bool dgConvexCollision::VolumeBelowLocalPlane(const dgVector& normal, float planeD, float& outT0,
                                              dgVector& outT1) const {
  float distances[kMaxHullVertices];
  bool anyAbove = false;
  bool anyBelow = false;
  for (int i = 0; i < vertexCount_; ++i) {
    float d = normal.DotProduct(vertices_[i]) + planeD;
    if (std::fabs(d) <= kOnPlane) d = 0.0f;
    distances[i] = d;
    anyAbove |= d > 0.0f;
    anyBelow |= d < 0.0f;
  }

  if (edgeCount_ == 0 || !anyBelow) return false;
  if (!anyAbove) {
    outT0 = volume_;
    outT1 = centreOfMass_.Scale(2.0f * volume_);
    return true;
  }
  {
    dgMassIntegrator integrator;
    unsigned char marks[kMaxHullEdges] = {};
    dgVector clipped[kMaxHullEdges + 2];
    const dgConvexEdge* capStart = nullptr;
    for (int i = 0; i < edgeCount_; ++i) {
      if (marks[i]) continue;
      int count = 0;
      const dgConvexEdge* edge = &edges_[i];
      int steps = 0;
      do {
        marks[edge - edges_] = 1;
        const int a = edge->vertex;
        const int b = edge->twin->vertex;
        const float da = distances[a];
        const float db = distances[b];
        if (da <= 0.0f) clipped[count++] = vertices_[a];
        if ((da < 0.0f && db > 0.0f) || (da > 0.0f && db < 0.0f)) {
          const dgVector dir = vertices_[b] - vertices_[a];
          clipped[count++] = vertices_[a] - dir.Scale(da / dir.DotProduct(normal));
        }
        if (!capStart && da >= 0.0f && db < 0.0f) capStart = edge;  // from at or above to below
        edge = edge->next;
      } while (edge != &edges_[i] && ++steps < edgeCount_);
      if (count < 3) continue;
      const dgVector faceNormal = PolygonNormal(count, clipped);
      const float length2 = faceNormal.LengthSquared();
      if (length2 <= 1e-12f) continue;
      integrator.AddFace(count, clipped, faceNormal.Scale(1.0f / std::sqrt(length2)), false);
    }

    // The cap: the section polygon, wound about the plane's normal.
    if (capStart) {
      dgVector cap[kMaxHullEdges];
      const int capCount = TraceSection(capStart, distances, normal, false, cap, edgeCount_);
      if (capCount > kMaxCapPoints) return false;
      if (capCount >= 3) {
        if (PolygonNormal(capCount, cap).DotProduct(normal) < 0.0f) {
          for (int i = 0, j = capCount - 1; i < j; ++i, --j) {
            const dgVector t = cap[i];
            cap[i] = cap[j];
            cap[j] = t;
          }
        }
        const float length2 = normal.LengthSquared();
        integrator.AddFace(capCount, cap, normal.Scale(1.0f / std::sqrt(length2)), false);
      }
    }
    outT0 = integrator.Volume();
    outT1 = integrator.FirstMoment();
  }
  return true;
}

void dgConvexCollision::CalculateVolumeBelowPlane(dgVector& out, const dgMatrix& globalMatrix, dgPlaneCallback callback,
                                                  void* context) const {
  // Without a plane from the callback everything counts as below.
  dgVector normal(0.0f, 1.0f, 0.0f, 0.0f);
  float planeD = -1e8f;
  float globalPlane[4];
  if (callback && callback(GetUserData(), context, globalMatrix, globalPlane)) {
    const dgVector globalNormal(globalPlane, 0.0f);
    normal = globalMatrix.UnrotateVector(globalNormal);
    normal.w = 0.0f;
    planeD = globalPlane[3] + globalNormal.DotProduct(globalMatrix.posit);
  }

  float t0 = 0.0f;
  dgVector t1;
  if (!VolumeBelowLocalPlane(normal, planeD, t0, t1)) {
    out = dgVector(0.0f, 0.0f, 0.0f, 0.0f);
    return;
  }
  dgVector centroid = t0 >= 1e-8f ? t1.Scale(0.5f / t0) : t1;
  centroid.w = 1.0f;
  out = globalMatrix.TransformVector(centroid);
  out.w = t0;
}
