#include "engine/foundation/Frustum.h"

#include <cstdio>

namespace {

// Row r of a column-major matrix as (x, y, z, w).
struct Row {
  float x, y, z, w;
};

Row RowOf(const Matrix4& m, int r) { return {m.m[r], m.m[4 + r], m.m[8 + r], m.m[12 + r]}; }

void SetPlane(Plane& plane, const Row& first, const Row& second, float sign) {
  plane.normal.Set(first.x + sign * second.x, first.y + sign * second.y, first.z + sign * second.z);
  plane.d = first.w + sign * second.w;
  plane.Normalise();
}

}  // namespace

void Frustum::ExtractPlanes() {
  view.Multiply(projection);
  const Row row0 = RowOf(view, 0), row1 = RowOf(view, 1), row2 = RowOf(view, 2), row3 = RowOf(view, 3);
  // Every plane is row 3 plus or minus another row, so that a point inside
  // the clip volume (-w < x, y, z < w) lies in front of all six.
  SetPlane(planes[kFar], row3, row2, -1.0f);
  SetPlane(planes[kNear], row3, row2, 1.0f);
  SetPlane(planes[kLeft], row3, row0, 1.0f);
  SetPlane(planes[kTop], row3, row1, -1.0f);
  SetPlane(planes[kRight], row3, row0, -1.0f);
  SetPlane(planes[kBottom], row3, row1, 1.0f);
}

bool Frustum::ContainsPoint(const Vector3& p) const {
  for (const Plane& plane : planes)
    if (plane.Distance(p) <= margin) return false;
  return true;
}

int Frustum::ClassifySphere(const Vector3& centre, float radius) const {
  bool centreClear = true;
  for (const Plane& plane : planes)
    if (plane.Distance(centre) <= margin) centreClear = false;
  for (const Plane& plane : planes)
    if (plane.Distance(centre) <= radius + margin) return centreClear ? kSphereCrossing : kSphereCentreOutside;
  return kSphereInside;
}

int Frustum::TestBoxAt(const BoundingBox& box, const Vector3& position) const {
  const Vector3 a = box.a + position;
  const Vector3 b = box.b + position;
  // Corner a first, b last, the mixed corners between.
  const Vector3 corners[8] = {
      {a.x, a.y, a.z}, {b.x, a.y, a.z}, {a.x, b.y, a.z}, {b.x, b.y, a.z},
      {a.x, a.y, b.z}, {b.x, a.y, b.z}, {a.x, b.y, b.z}, {b.x, b.y, b.z},
  };
  int result = kBoxCornerAInside;
  for (const Plane& plane : planes) {
    int passing = -1;
    for (int i = 0; i < 8; ++i) {
      if (plane.Distance(corners[i]) >= margin) {
        passing = i;
        break;
      }
    }
    if (passing < 0) return kBoxOutside;
    if (passing > 0) result = kBoxPartly;
  }
  return result;
}

int Frustum::TestBox(const BoundingBox& box) const { return TestBoxAt(box, Vector3()); }

bool Frustum::TestTriangle(const Vector3& a, const Vector3& b, const Vector3& c) const {
  for (const Plane& plane : planes)
    if (plane.Distance(a) <= margin && plane.Distance(b) <= margin && plane.Distance(c) <= margin) return false;
  return true;
}

std::string Frustum::DescribePlanes() const {
  static const struct {
    const char* label;
    PlaneIndex index;
  } kRows[] = {
      {"LEFT      ", kLeft},   {"RIGHT     ", kRight}, {"TOP       ", kTop},
      {"BOTTOM    ", kBottom}, {"NEAR      ", kNear},  {"FAR       ", kFar},
  };
  std::string text = "Plane     a(x)    b(y)    c(z)    d\n";
  char line[160];
  for (const auto& row : kRows) {
    const Plane& plane = planes[row.index];
    std::snprintf(line, sizeof(line), "%s%.4f    %.4f    %.4f    %.4f\n", row.label, plane.normal.x, plane.normal.y,
                  plane.normal.z, plane.d);
    text += line;
  }
  return text;
}
