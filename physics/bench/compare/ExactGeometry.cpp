#include "physics/bench/compare/ExactGeometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

struct V3 {
  double x = 0.0, y = 0.0, z = 0.0;
  V3 operator+(const V3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  V3 operator-(const V3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  V3 operator*(double s) const { return {x * s, y * s, z * s}; }
  double Dot(const V3& o) const { return x * o.x + y * o.y + z * o.z; }
  double Length2() const { return Dot(*this); }
};

double Sign(double v) { return v < 0.0 ? -1.0 : 1.0; }

// Radius times the unit direction of (y, z) in the yz plane; (0, 0) for none.
void Rim(double radius, double y, double z, double& outY, double& outZ) {
  const double length = std::sqrt(y * y + z * z);
  outY = length > 0.0 ? radius * y / length : 0.0;
  outZ = length > 0.0 ? radius * z / length : 0.0;
}

// The shape's point farthest along d (its own frame).
V3 LocalSupport(const ExactShape& shape, const V3& d) {
  const double* s = shape.size;
  const double length = std::sqrt(d.Length2());
  const V3 unit = length > 0.0 ? d * (1.0 / length) : V3{1.0, 0.0, 0.0};
  switch (shape.kind) {
    case ExactShape::kBox:
      return {Sign(d.x) * s[0], Sign(d.y) * s[1], Sign(d.z) * s[2]};
    case ExactShape::kSphere:
      return unit * s[0];
    case ExactShape::kCapsule:
      return V3{Sign(d.x) * s[1], 0.0, 0.0} + unit * s[0];
    case ExactShape::kCylinder: {
      V3 p{Sign(d.x) * s[1], 0.0, 0.0};
      Rim(s[0], d.y, d.z, p.y, p.z);
      return p;
    }
    case ExactShape::kHull:
      break;
  }
  V3 best;
  double bestReach = -1e300;
  for (const dgVector& v : shape.hull) {
    const V3 p{v.x, v.y, v.z};
    if (p.Dot(d) > bestReach) {
      bestReach = p.Dot(d);
      best = p;
    }
  }
  return best;
}

// A shape placed by sixteen floats: p maps to p.x·front + p.y·up + p.z·right + posit.
struct Placed {
  const ExactShape& shape;
  V3 rows[4];

  Placed(const ExactShape& inShape, const float* m) : shape(inShape) {
    for (int i = 0; i < 4; ++i) rows[i] = {m[4 * i], m[4 * i + 1], m[4 * i + 2]};
  }
  V3 Support(const V3& d) const {
    const V3 local = LocalSupport(shape, {d.Dot(rows[0]), d.Dot(rows[1]), d.Dot(rows[2])});
    return rows[0] * local.x + rows[1] * local.y + rows[2] * local.z + rows[3];
  }
};

// Solves the n x n system (n <= 3) by Cramer's rule; false when singular.
bool Solve(int n, const double a[3][3], const double b[3], double* x) {
  const auto det3 = [](const double m[3][3]) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  };
  double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  double rhs[3] = {};
  for (int i = 0; i < n; ++i) {
    rhs[i] = b[i];
    for (int j = 0; j < n; ++j) m[i][j] = a[i][j];
  }
  const double det = det3(m);
  if (!(std::fabs(det) > 1e-30)) return false;
  for (int k = 0; k < n; ++k) {
    double mk[3][3];
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) mk[i][j] = j == k ? rhs[i] : m[i][j];
    }
    x[k] = det3(mk) / det;
  }
  return true;
}

// The point of the simplex nearest the origin, by trying every face of it
// (vertex, edge, triangle, the tetrahedron itself) and keeping the nearest
// one whose weights are all positive; the simplex keeps that face.
V3 NearestOnSimplex(std::vector<V3>& simplex) {
  const int count = static_cast<int>(simplex.size());
  double bestDistance = -1.0;
  V3 best;
  std::vector<V3> bestFace;
  for (int mask = 1; mask < (1 << count); ++mask) {
    std::vector<V3> face;
    for (int i = 0; i < count; ++i) {
      if (mask & (1 << i)) face.push_back(simplex[i]);
    }
    // v = p0 + sum mu_i (p_i - p0), orthogonal to every p_i - p0.
    const int n = static_cast<int>(face.size()) - 1;
    double gram[3][3] = {};
    double rhs[3] = {};
    double mu[3] = {};
    for (int i = 0; i < n; ++i) {
      const V3 ei = face[i + 1] - face[0];
      rhs[i] = -ei.Dot(face[0]);
      for (int j = 0; j < n; ++j) gram[i][j] = ei.Dot(face[j + 1] - face[0]);
    }
    if (n > 0 && !Solve(n, gram, rhs, mu)) continue;
    double first = 1.0;
    bool inside = true;
    V3 v = face[0];
    for (int i = 0; i < n; ++i) {
      first -= mu[i];
      inside = inside && mu[i] > 0.0;
      v = v + (face[i + 1] - face[0]) * mu[i];
    }
    if (!inside || !(first > 0.0)) continue;
    const double distance = v.Length2();
    if (bestDistance < 0.0 || distance < bestDistance) {
      bestDistance = distance;
      best = v;
      bestFace = std::move(face);
    }
  }
  if (bestDistance < 0.0) return simplex.back();  // degenerate: keep the newest point
  simplex = std::move(bestFace);
  return best;
}

constexpr int kMaxSteps = 1000;
// The search stops when a support point improves the distance by less than
// this share of it.
constexpr double kRelativeGain = 1e-12;

}  // namespace

ExactShape ExactShape::Box(double side) { return {kBox, {0.5 * side, 0.5 * side, 0.5 * side}, {}}; }
ExactShape ExactShape::Sphere(double radius) { return {kSphere, {radius, 0.0, 0.0}, {}}; }
ExactShape ExactShape::Capsule(double radius, double height) {
  return {kCapsule, {radius, std::max(0.0, 0.5 * height - radius), 0.0}, {}};
}
ExactShape ExactShape::Cylinder(double radius, double height) { return {kCylinder, {radius, 0.5 * height, 0.0}, {}}; }
ExactShape ExactShape::Hull(std::vector<dgVector> vertices) { return {kHull, {}, std::move(vertices)}; }

double ExactDistance(const ExactShape& a, const float* matrixA, const ExactShape& b, const float* matrixB) {
  const Placed placedA(a, matrixA);
  const Placed placedB(b, matrixB);
  // Support of the difference A - B.
  const auto support = [&](const V3& d) { return placedA.Support(d) - placedB.Support(d * -1.0); };
  V3 v = support({1.0, 0.0, 0.0});
  std::vector<V3> simplex{v};
  for (int step = 0; step < kMaxSteps; ++step) {
    const double distance2 = v.Length2();
    if (!(distance2 > kExactTouching * kExactTouching)) return 0.0;
    const V3 w = support(v * -1.0);
    if (distance2 - v.Dot(w) <= kRelativeGain * distance2) break;
    simplex.push_back(w);
    v = NearestOnSimplex(simplex);
    if (simplex.size() == 4) return 0.0;  // the origin lies inside the tetrahedron
  }
  return std::sqrt(v.Length2());
}

void ExactClosestPoint(const ExactShape& shape, const float* point, double* outPoint) {
  const V3 p{point[0], point[1], point[2]};
  const double* s = shape.size;
  if (shape.kind == ExactShape::kBox) {
    outPoint[0] = std::clamp(p.x, -s[0], s[0]);
    outPoint[1] = std::clamp(p.y, -s[1], s[1]);
    outPoint[2] = std::clamp(p.z, -s[2], s[2]);
    return;
  }
  // Capsule: the nearest point of its segment, then the radius towards p.
  const V3 axis{std::clamp(p.x, -s[1], s[1]), 0.0, 0.0};
  const V3 away = p - axis;
  const V3 q = axis + away * (s[0] / std::sqrt(away.Length2()));
  outPoint[0] = q.x;
  outPoint[1] = q.y;
  outPoint[2] = q.z;
}
