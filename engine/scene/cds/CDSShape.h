#pragma once
#include <cstdint>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/Plane.h"
#include "engine/foundation/Ray.h"

// The bounds part of collision objects, tree cells and polygons: an
// axis-aligned box whose centre always follows its extremes. Every test
// takes the bounds as inclusive.
class CCDSShape {
 public:
  // Classes of ClassifyPlanes.
  static constexpr int kInsideAll = 0;
  static constexpr int kCrossing = 1;
  static constexpr int kOutsideOne = 2;

  CCDSShape() = default;
  CCDSShape(const Vector3& min, const Vector3& max) { SetMinMax(min, max); }
  virtual ~CCDSShape() = default;
  CCDSShape(const CCDSShape&) = default;
  CCDSShape& operator=(const CCDSShape&) = default;

  // Takes the box's extremes; the centre and corners follow from them.
  void SetBoundingBox(const BoundingBox& box) { SetMinMax(box.min, box.max); }
  void SetMinMax(const Vector3& min, const Vector3& max) { box_.SetMinMax(min, max); }
  const BoundingBox& GetBoundingBox() const { return box_; }
  const Vector3& Min() const { return box_.min; }
  const Vector3& Max() const { return box_.max; }
  const Vector3& Centre() const { return box_.centre; }

  // The boxes share a point (touching faces count).
  bool Overlaps(const CCDSShape& other) const;
  bool Contains(const Vector3& p) const;
  // Moves each coordinate outside the box onto the nearer bound (clamp) or
  // the opposite bound (wrap); true when the point changed.
  bool ClampPoint(Vector3& p) const { return MovePointInside(p, false); }
  bool WrapPoint(Vector3& p) const { return MovePointInside(p, true); }
  // Both ends of the ray (origin, and origin + direction x length) inside.
  bool ContainsRay(const Ray& ray) const;
  // kOutsideOne when the box lies wholly in front of one plane (normal and
  // d, positive distance being outside), kCrossing when a plane cuts it,
  // else kInsideAll.
  int ClassifyPlanes(const Plane* planes, int count) const;
  // Slab test over the unbounded ray; the distance is the entry distance,
  // or the exit distance when the origin is inside.
  bool IntersectRay(const Ray& ray, float* distanceOut = nullptr) const;

 private:
  bool MovePointInside(Vector3& p, bool wrap) const;

  BoundingBox box_;
};
