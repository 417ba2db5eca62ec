// The vertices are projected along the segment onto a plane across it (the
// two axes other than the segment's dominant one, scaled so no division is
// needed), and each triangle is tested in that plane by the 2D cross
// products of its corners taken in pairs. A vertex is projected by the same
// arithmetic whichever face asks, so every face sees it at one place; and a
// difference of two rounded products always has the sign of the exact
// difference or is zero (rounding is monotonic), so no rounding can put the
// line outside both faces of an edge, or outside every face around a corner.
// This needs each product rounded on its own: the library is built as ISO
// C++, where compilers do not fuse a multiply into the following subtract.

#include "physics/shapes/dgWatertightRayCast.h"

#include <cmath>
#include <cstring>

namespace {

constexpr unsigned kIndexMask = 0x7FFFFFFFu;

// A vertex seen along the line: its place in the projection plane, and the
// vertex itself for its place along the line, which only a hit needs.
struct Projected {
  double x;
  double y;
  double v[3];  // vertex - p0
};

// The line in double precision, with the projection's axes.
struct Line {
  double origin[3];
  double direction[3];
  int kx;
  int ky;
  int kz;

  Line(const dgVector& p0, const dgVector& p1) {
    for (int axis = 0; axis < 3; ++axis) {
      origin[axis] = p0[axis];
      direction[axis] = static_cast<double>(p1[axis]) - static_cast<double>(p0[axis]);
    }
    kz = 0;
    for (int axis = 1; axis < 3; ++axis) {
      if (std::fabs(direction[axis]) > std::fabs(direction[kz])) kz = axis;
    }
    kx = (kz + 1) % 3;
    ky = (kx + 1) % 3;
    // Keeps the projected winding that of the face seen along the segment:
    // faces turned towards the segment then come out clockwise.
    if (direction[kz] < 0.0) {
      const int swap = kx;
      kx = ky;
      ky = swap;
    }
  }

  Projected Project(const float* vertices, int strideBytes, int index) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(vertices) +
                        static_cast<long long>(static_cast<unsigned>(index) & kIndexMask) * strideBytes;
    float xyz[3];
    std::memcpy(xyz, bytes, sizeof xyz);
    Projected p;
    for (int axis = 0; axis < 3; ++axis) p.v[axis] = xyz[axis] - origin[axis];
    p.x = p.v[kx] * direction[kz] - p.v[kz] * direction[kx];
    p.y = p.v[ky] * direction[kz] - p.v[kz] * direction[ky];
    return p;
  }

  // The place of a vertex along the line, in units of the direction's squared length.
  double Along(const Projected& p) const {
    return p.v[0] * direction[0] + p.v[1] * direction[1] + p.v[2] * direction[2];
  }

  double LengthSquared() const {
    return direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2];
  }
};

// Twice the signed area of (line, a, b) in the projection plane.
double EdgeFunction(const Projected& a, const Projected& b) { return a.x * b.y - a.y * b.x; }

// The parameter of the point where the line crosses triangle (a, b, c), or
// a negative value when it does not (or the triangle is turned away).
double CrossingParameter(const Line& line, const Projected& a, const Projected& b, const Projected& c) {
  const double weightA = EdgeFunction(b, c);
  if (weightA > 0.0) return -1.0;
  const double weightB = EdgeFunction(c, a);
  if (weightB > 0.0) return -1.0;
  const double weightC = EdgeFunction(a, b);
  if (weightC > 0.0) return -1.0;
  const double sum = weightA + weightB + weightC;
  if (!(sum < 0.0)) return -1.0;  // seen edge-on, or NaN
  // The crossing point is the weighted mean of the corners; its place along
  // the line is the same mean of theirs.
  return (weightA * line.Along(a) + weightB * line.Along(b) + weightC * line.Along(c)) / (sum * line.LengthSquared());
}

}  // namespace

bool dgWatertightRayCastPolygon(const dgVector& p0, const dgVector& p1, const float* vertices, int strideBytes,
                                const int* indices, int indexCount, float& outT) {
  if (!vertices || !indices || indexCount < 3) return false;
  const Line line(p0, p1);
  if (!(line.LengthSquared() > 0.0)) return false;
  const Projected first = line.Project(vertices, strideBytes, indices[0]);
  Projected previous = line.Project(vertices, strideBytes, indices[1]);
  for (int i = 2; i < indexCount; ++i) {
    const Projected current = line.Project(vertices, strideBytes, indices[i]);
    const double t = CrossingParameter(line, first, previous, current);
    if (t >= 0.0 && t <= 1.0) {
      outT = static_cast<float>(t);
      return true;
    }
    previous = current;
  }
  return false;
}
