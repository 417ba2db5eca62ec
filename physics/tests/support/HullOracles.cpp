#include "support/HullOracles.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct FacePlane {
  dgVector normal;  // unit, outward
  float d;          // normal · p + d = 0 on the face
};

std::vector<FacePlane> FacePlanes(const dgConvexCollision& hull) {
  std::vector<FacePlane> planes;
  std::vector<bool> marks(static_cast<size_t>(hull.GetEdgeCount()), false);
  const dgConvexEdge* edges = hull.GetEdges();
  const dgVector* v = hull.GetVertices();
  for (int i = 0; i < hull.GetEdgeCount(); ++i) {
    if (marks[static_cast<size_t>(i)]) continue;
    std::vector<dgVector> face;
    const dgConvexEdge* e = &edges[i];
    do {
      marks[static_cast<size_t>(e - edges)] = true;
      face.push_back(v[e->vertex]);
      e = e->next;
    } while (e != &edges[i]);
    dgVector n;
    for (size_t k = 0; k < face.size(); ++k) n += face[k].CrossProduct(face[(k + 1) % face.size()]);
    n = n.Scale(1.0f / std::sqrt(n.LengthSquared()));
    planes.push_back({n, -n.DotProduct(face[0])});
  }
  return planes;
}

}  // namespace

float BruteSupportValue(const dgConvexCollision& hull, const dgVector& dir) {
  float best = -1e30f;
  for (int i = 0; i < hull.GetVertexCount(); ++i) best = std::max(best, dir.DotProduct(hull.GetVertices()[i]));
  return best;
}

float BruteRayCast(const dgConvexCollision& hull, const dgVector& p0, const dgVector& p1, dgVector& outNormal,
                   float& outMargin) {
  float enter = 0.0f;
  float second = -1e30f;
  float exit = 1.0f;
  bool outside = false;
  const dgVector d = p1 - p0;
  for (const FacePlane& plane : FacePlanes(hull)) {
    const float start = plane.normal.DotProduct(p0) + plane.d;
    const float den = plane.normal.DotProduct(d);
    if (start > 0.0f) outside = true;
    if (den == 0.0f) {
      if (start > 0.0f) return 2.0f;
      continue;
    }
    const float t = -start / den;
    if (den < 0.0f) {
      if (t > enter) {
        second = enter;
        enter = t;
        outNormal = plane.normal;
      } else if (t > second) {
        second = t;
      }
    } else {
      exit = std::min(exit, t);
    }
  }
  outMargin = enter - second;
  if (!outside || enter > exit) return 2.0f;
  return enter;
}

float HullSignedDistance(const dgConvexCollision& hull, const dgVector& p) {
  float distance = -1e30f;
  for (const FacePlane& plane : FacePlanes(hull)) distance = std::max(distance, plane.normal.DotProduct(p) + plane.d);
  return distance;
}

float PolygonArea(int count, const dgVector* points, const dgVector& unitNormal) {
  dgVector sum;
  for (int i = 0; i < count; ++i) sum += points[i].CrossProduct(points[(i + 1) % count]);
  return 0.5f * std::fabs(sum.DotProduct(unitNormal));
}

float BruteSectionArea(const dgConvexCollision& hull, const dgVector& normal, const dgVector& point) {
  const dgVector* v = hull.GetVertices();
  const dgConvexEdge* edges = hull.GetEdges();
  std::vector<dgVector> points;
  for (int i = 0; i < hull.GetEdgeCount(); ++i) {
    const dgVector& a = v[edges[i].vertex];
    const dgVector& b = v[edges[i].twin->vertex];
    const float da = normal.DotProduct(a - point);
    const float db = normal.DotProduct(b - point);
    if (da == 0.0f) points.push_back(a);
    if (da * db < 0.0f) points.push_back(a + (b - a).Scale(da / (da - db)));
  }
  if (points.size() < 3) return 0.0f;
  // 2D convex hull (monotone chain) in a frame of the plane.
  dgVector u = std::fabs(normal.x) < 0.9f ? dgVector(1, 0, 0, 0) : dgVector(0, 1, 0, 0);
  u = u - normal.Scale(u.DotProduct(normal));
  u = u.Scale(1.0f / std::sqrt(u.LengthSquared()));
  const dgVector w = normal.CrossProduct(u);
  std::vector<std::pair<double, double>> p;
  for (const dgVector& q : points) p.emplace_back(q.DotProduct(u), q.DotProduct(w));
  std::sort(p.begin(), p.end());
  auto cross = [](const std::pair<double, double>& o, const std::pair<double, double>& a,
                  const std::pair<double, double>& b) {
    return (a.first - o.first) * (b.second - o.second) - (a.second - o.second) * (b.first - o.first);
  };
  std::vector<std::pair<double, double>> h(2 * p.size());
  size_t k = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    while (k >= 2 && cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
    h[k++] = p[i];
  }
  for (size_t i = p.size() - 1, t = k + 1; i > 0; --i) {
    while (k >= t && cross(h[k - 2], h[k - 1], p[i - 1]) <= 0) --k;
    h[k++] = p[i - 1];
  }
  double area = 0.0;
  for (size_t i = 0; i + 1 < k; ++i) area += h[i].first * h[i + 1].second - h[i + 1].first * h[i].second;
  return static_cast<float>(std::fabs(area) * 0.5);
}
