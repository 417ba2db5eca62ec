// The polygon in which a plane cuts a convex hull.

#include <cmath>
#include <cstring>

#include "physics/math/dgUnclearedArray.h"
#include "physics/shapes/dgConvexCollision.h"

namespace {

// Points closer than this (squared) to the point before them are one point.
constexpr float kDuplicateDistance2 = 1e-8f;

dgVector CrossingPoint(const dgVector& a, const dgVector& b, float distanceA, const dgVector& normal) {
  const dgVector edge = b - a;
  const float den = edge.DotProduct(normal);
  if (den == 0.0f) return a;
  return a - edge.Scale(distanceA / den);
}

}  // namespace

int dgConvexCollision::DropDuplicatePoints(int count, dgVector* points) {
  if (count <= 0) return 0;
  int kept = 1;
  for (int i = 1; i < count; ++i) {
    if ((points[i] - points[kept - 1]).LengthSquared() < kDuplicateDistance2) continue;
    points[kept++] = points[i];
  }
  if (kept > 1 && (points[kept - 1] - points[0]).LengthSquared() < kDuplicateDistance2) --kept;
  return kept;
}

int dgConvexCollision::ReducePolygon(const dgVector& normal, int count, dgVector* points, int limit) {
  if (limit < 3) limit = 3;
  bool removed[kMaxHullEdges];
  float area[kMaxHullEdges];
  int order[kMaxHullEdges];
  if (count > kMaxHullEdges) count = kMaxHullEdges;
  while (count > limit) {
    // Neighbours wrap around the loop (no division by count: it is hot).
    const auto before = [count](int i) { return i == 0 ? count - 1 : i - 1; };
    const auto after = [count](int i) { return i + 1 == count ? 0 : i + 1; };
    for (int i = 0; i < count; ++i) {
      const dgVector& prev = points[before(i)];
      const dgVector& next = points[after(i)];
      area[i] = std::fabs(normal.DotProduct((points[i] - prev).CrossProduct(next - prev)));
      removed[i] = false;
      order[i] = i;
    }
    // Smallest triangles first; insertion sort keeps equal areas in point order.
    for (int i = 1; i < count; ++i) {
      const int index = order[i];
      int j = i;
      while (j > 0 && area[order[j - 1]] > area[index]) {
        order[j] = order[j - 1];
        --j;
      }
      order[j] = index;
    }
    int toRemove = count - limit;
    for (int k = 0; k < count && toRemove > 0; ++k) {
      const int i = order[k];
      if (removed[before(i)] || removed[after(i)]) continue;
      removed[i] = true;
      --toRemove;
    }
    int kept = 0;
    for (int i = 0; i < count; ++i) {
      if (!removed[i]) points[kept++] = points[i];
    }
    if (kept == count) break;
    count = kept;
  }
  return count;
}

int dgConvexCollision::TraceSection(const dgConvexEdge* firstEdge, const float* distances, const dgVector& normal,
                                    bool endAboveStrict, dgVector* outPoints, int maxPoints) const {
  // Each crossing edge is visited once: a trace that would come back to an
  // edge other than the first (vertices exactly on the plane) stops there.
  unsigned char visited[kMaxHullEdges];
  std::memset(visited, 0, static_cast<size_t>(edgeCount_));  // only this hull's edges are marked
  int count = 0;
  const dgConvexEdge* edge = firstEdge;
  while (count < maxPoints) {
    visited[edge - edges_] = 1;
    const int a = edge->vertex;
    const int b = edge->twin->vertex;
    outPoints[count++] = CrossingPoint(vertices_[a], vertices_[b], distances[a], normal);

    // Around this face to the first edge whose end is above the plane; its
    // twin crosses the plane in the neighbouring face.
    const dgConvexEdge* walk = edge->next;
    int steps = 0;
    for (;;) {
      const float endDistance = distances[walk->twin->vertex];
      if (endAboveStrict ? endDistance > 0.0f : endDistance >= 0.0f) break;
      walk = walk->next;
      if (++steps > edgeCount_) return DropDuplicatePoints(count, outPoints);
    }
    edge = walk->twin;
    if (edge == firstEdge || visited[edge - edges_]) break;
  }
  return DropDuplicatePoints(count, outPoints);
}

int dgConvexCollision::HullPlaneIntersection(const dgVector& normal, const dgVector& point, dgVector* outPoints) const {
  if (edgeCount_ == 0) return 0;
  const float d = -normal.DotProduct(point);
  float distances[kMaxHullVertices];
  for (int i = 0; i < vertexCount_; ++i) distances[i] = normal.DotProduct(vertices_[i]) + d;

  // Seed: of the two extreme edges along the normal's main axis, the one whose
  // vertex is nearer the plane (the minus one on a tie).
  int axis = 0;
  if (std::fabs(normal.y) > std::fabs(normal[axis])) axis = 1;
  if (std::fabs(normal.z) > std::fabs(normal[axis])) axis = 2;
  const dgConvexEdge* plus = extremeEdges_[2 * axis];
  const dgConvexEdge* minus = extremeEdges_[2 * axis + 1];
  const dgConvexEdge* current = std::fabs(distances[plus->vertex]) < std::fabs(distances[minus->vertex]) ? plus : minus;

  float currentDistance = distances[current->vertex];
  if (!(currentDistance != 0.0f)) return 0;  // on the plane, or not a number

  // Walk towards the plane until an edge crosses it, oriented from the
  // vertex at or above the plane to the one below.
  const bool above = currentDistance > 0.0f;
  const dgConvexEdge* crossing = nullptr;
  for (int moves = 0; !crossing && moves <= vertexCount_; ++moves) {
    const dgConvexEdge* start = current;
    const dgConvexEdge* candidate = current;
    const dgConvexEdge* moveTo = nullptr;
    do {
      const float neighbour = distances[candidate->twin->vertex];
      if (above ? neighbour < 0.0f : neighbour >= 0.0f) {
        crossing = above ? candidate : candidate->twin;
        break;
      }
      if (!moveTo && (above ? neighbour < currentDistance : neighbour > currentDistance)) moveTo = candidate->twin;
      candidate = candidate->twin->next;
    } while (candidate != start);
    if (crossing) break;
    if (!moveTo) return 0;  // a local extreme on one side: the plane misses
    current = moveTo;
    currentDistance = distances[current->vertex];
  }
  if (!crossing) return 0;

  // The trace buffer holds one point per half-edge, so no trace can overrun
  // it; it lives on the stack, as contact queries allocate nothing.
  dgUnclearedArray<dgVector, kMaxHullEdges> trace;
  dgVector* buffer = trace.Data();
  int count = TraceSection(crossing, distances, normal, false, buffer, edgeCount_);
  if (count > kMaxSectionPoints) count = ReducePolygon(normal, count, buffer, kMaxSectionPoints);
  for (int i = 0; i < count; ++i) outPoints[i] = buffer[i];
  return count;
}

int dgConvexCollision::CalculatePlaneIntersection(const dgVector& normal, const dgVector& point,
                                                  dgVector* outPoints) const {
  return HullPlaneIntersection(normal, point, outPoints);
}
