#include "engine/scene/cds/CDSShape.h"

#include <cmath>
#include <utility>

namespace {

float Axis(const Vector3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

float& Axis(Vector3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

// Below this a direction component counts as parallel to the slab.
constexpr float kParallel = 1e-5f;
// The slab interval starts wide open rather than infinite, so a ray
// parallel to every axis still yields a finite distance.
constexpr float kSlabLimit = 999999.9f;

}  // namespace

bool CCDSShape::Overlaps(const CCDSShape& other) const {
  for (int axis = 0; axis < 3; ++axis) {
    if (!(Axis(other.Min(), axis) <= Axis(Max(), axis) && Axis(Min(), axis) <= Axis(other.Max(), axis))) return false;
  }
  return true;
}

bool CCDSShape::Contains(const Vector3& p) const {
  for (int axis = 0; axis < 3; ++axis) {
    const float c = Axis(p, axis);
    if (!(Axis(Min(), axis) <= c && c <= Axis(Max(), axis))) return false;
  }
  return true;
}

bool CCDSShape::MovePointInside(Vector3& p, bool wrap) const {
  bool changed = false;
  for (int axis = 0; axis < 3; ++axis) {
    float& c = Axis(p, axis);
    const float lo = Axis(Min(), axis);
    const float hi = Axis(Max(), axis);
    if (c < lo) {
      c = wrap ? hi : lo;
      changed = true;
    } else if (c > hi) {
      c = wrap ? lo : hi;
      changed = true;
    }
  }
  return changed;
}

bool CCDSShape::ContainsRay(const Ray& ray) const {
  return Contains(ray.origin) && Contains(ray.origin + ray.direction * ray.length);
}

int CCDSShape::ClassifyPlanes(const Plane* planes, int count) const {
  bool crossing = false;
  for (int i = 0; i < count; ++i) {
    const Vector3& n = planes[i].normal;
    Vector3 against;
    Vector3 along;
    for (int axis = 0; axis < 3; ++axis) {
      const bool negative = Axis(n, axis) < 0.0f;
      Axis(against, axis) = negative ? Axis(Max(), axis) : Axis(Min(), axis);
      Axis(along, axis) = negative ? Axis(Min(), axis) : Axis(Max(), axis);
    }
    if (planes[i].Distance(against) > 0.0f) return kOutsideOne;
    if (planes[i].Distance(along) >= 0.0f) crossing = true;
  }
  return crossing ? kCrossing : kInsideAll;
}

bool CCDSShape::IntersectRay(const Ray& ray, float* distanceOut) const {
  const auto finite = [](const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); };
  if (!finite(ray.origin) || !finite(ray.direction)) return false;
  float nearT = -kSlabLimit;
  float farT = kSlabLimit;
  for (int axis = 0; axis < 3; ++axis) {
    const float origin = Axis(ray.origin, axis);
    const float direction = Axis(ray.direction, axis);
    const float lo = Axis(Min(), axis);
    const float hi = Axis(Max(), axis);
    if (std::fabs(direction) < kParallel) {
      if (origin < lo || origin > hi) return false;
      continue;
    }
    float t1 = (lo - origin) / direction;
    float t2 = (hi - origin) / direction;
    if (t1 > t2) std::swap(t1, t2);
    if (t1 > nearT) nearT = t1;
    if (t2 < farT) farT = t2;
    // Also refuses NaN intervals from non-finite rays.
    if (!(nearT <= farT) || farT < 0.0f) return false;
  }
  if (distanceOut != nullptr) *distanceOut = nearT > 0.0f ? nearT : farT;
  return true;
}
