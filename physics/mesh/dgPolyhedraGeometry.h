#pragma once
// Double-precision helpers shared by the half-edge mesh's geometric passes.

#include <cmath>
#include <cstring>

struct dgVector3d {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;

  dgVector3d operator+(const dgVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
  dgVector3d operator-(const dgVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
  dgVector3d operator*(double s) const { return {x * s, y * s, z * s}; }
  double Dot(const dgVector3d& v) const { return x * v.x + y * v.y + z * v.z; }
  dgVector3d Cross(const dgVector3d& v) const { return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x}; }
  double LengthSquared() const { return Dot(*this); }
};

// Vertex index of a strided float array, in double precision.
inline dgVector3d dgReadVertex3d(const float* vertices, int strideBytes, int index) {
  float p[3];
  std::memcpy(p, reinterpret_cast<const unsigned char*>(vertices) + static_cast<long long>(index) * strideBytes,
              sizeof p);
  return {p[0], p[1], p[2]};
}

// True when a joined loop's corner at `corner`, between its neighbours
// `before` and `after` on the loop, stays convex about unitNormal: it turns
// by more than about 5.7 degrees (a sine of 0.1), or a neighbour sits on it.
bool dgJoinedCornerIsConvex(const dgVector3d& corner, const dgVector3d& before, const dgVector3d& after,
                            const dgVector3d& unitNormal);

struct dgEdge;
// The face normal of the loop starting at faceEdge in double precision: the
// sum of the fan's cross products (twice the face area long). The walk
// stops after maxEdges edges (a corrupt loop).
dgVector3d dgPolyhedraFaceNormal3d(const dgEdge* faceEdge, const float* vertices, int strideBytes, int maxEdges);
