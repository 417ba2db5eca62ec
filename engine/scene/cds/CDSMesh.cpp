#include "engine/scene/cds/CDSMesh.h"

#include <algorithm>
#include <array>

namespace {

// The six face planes of a box, normals pointing out of it, so the inside of
// the box lies behind every one of them.
std::array<Plane, 6> FacePlanes(const BoundingBox& box) {
  std::array<Plane, 6> faces;
  faces[0].SetPointNormal(box.max, Vector3(1, 0, 0));
  faces[1].SetPointNormal(box.max, Vector3(0, 1, 0));
  faces[2].SetPointNormal(box.max, Vector3(0, 0, 1));
  faces[3].SetPointNormal(box.min, Vector3(-1, 0, 0));
  faces[4].SetPointNormal(box.min, Vector3(0, -1, 0));
  faces[5].SetPointNormal(box.min, Vector3(0, 0, -1));
  return faces;
}

bool InsideBox(const BoundingBox& box, const Vector3& p) {
  return p.x >= box.min.x && p.x <= box.max.x && p.y >= box.min.y && p.y <= box.max.y && p.z >= box.min.z &&
         p.z <= box.max.z;
}

bool MeshRayTest(const CCDSMesh& mesh, const Ray& ray, bool oneSided, float* distanceOut, float maxDistance) {
  return mesh.IntersectsRay(ray, oneSided, distanceOut, maxDistance);
}

}  // namespace

CCDSMesh::CCDSMesh() { RegisterRayTest(); }

void CCDSMesh::RegisterRayTest() { Ray::SetMeshTest(&MeshRayTest); }

void CCDSMesh::Release() {
  vertices_.clear();
  indices_.clear();
}

bool CCDSMesh::SetGeometry(const Vector3* vertices, uint32_t vertexCount, const uint32_t* indices,
                           uint32_t indexCount) {
  for (uint32_t i = 0; i < indexCount; ++i) {
    if (indices[i] >= vertexCount) return false;
  }
  // Copied before the old arrays go: Rebuild hands in the mesh's own.
  std::vector<Vector3> newVertices(vertices, vertices + vertexCount);
  std::vector<uint32_t> newIndices(indices, indices + indexCount);
  vertices_ = std::move(newVertices);
  indices_ = std::move(newIndices);
  Rebuild();
  return true;
}

void CCDSMesh::Rebuild() {
  // No vertices or only degenerate triangles leave a zero normal.
  normal = Vector3(0, 0, 0);
  for (size_t i = 0; i + 2 < indices_.size(); i += 3) {
    const Vector3& a = vertices_[indices_[i]];
    const Vector3 cross = Vector3::Cross(vertices_[indices_[i + 1]] - a, vertices_[indices_[i + 2]] - a);
    if (cross.LengthSquared() > 0.0f) {
      normal = cross * (1.0f / cross.Length());
      break;
    }
  }
  point = vertices_.empty() ? Vector3(0, 0, 0) : vertices_[0];
  d = -Vector3::Dot(normal, point);

  BoundingBox box;
  if (!vertices_.empty()) {
    Vector3 low = vertices_[0];
    Vector3 high = vertices_[0];
    for (const Vector3& v : vertices_) {
      low = Vector3(std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z));
      high = Vector3(std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z));
    }
    box.SetMinMax(low, high);
  }
  bounds_.SetBoundingBox(box);
}

void CCDSMesh::Flip() {
  std::reverse(indices_.begin(), indices_.end());
  normal = -normal;
  d = -d;
}

bool CCDSMesh::IntersectsRay(const Ray& ray, bool oneSided, float* distanceOut, float maxDistance) const {
  const float limit = maxDistance != 0.0f ? maxDistance : ray.length;
  for (size_t i = 0; i + 2 < indices_.size(); i += 3) {
    const Vector3& a = vertices_[indices_[i]];
    const Vector3& b = vertices_[indices_[i + 1]];
    const Vector3& c = vertices_[indices_[i + 2]];
    if (Ray::IntersectTriangle(ray, a, b, c, true, distanceOut, limit)) return true;
    if (!oneSided && Ray::IntersectTriangle(ray, a, c, b, true, distanceOut, limit)) return true;
  }
  return false;
}

int CCDSMesh::ClassifyBox(const BoundingBox& box) const {
  if (vertices_.empty() || !bounds_.GetBoundingBox().OverlapsBox(box)) return 2;
  if (std::all_of(vertices_.begin(), vertices_.end(), [&](const Vector3& v) { return InsideBox(box, v); })) return 0;
  const std::array<Plane, 6> faces = FacePlanes(box);
  for (size_t i = 0; i < vertices_.size(); ++i) {
    const Vector3& start = vertices_[i];
    const Vector3& end = vertices_[(i + 1) % vertices_.size()];
    Ray edge;
    edge.SetFromPoints(start, end);
    if (!(edge.length > 0.0f)) continue;
    // Without a distance asked for, the plane test ignores the edge's
    // length and the face's extent: any crossing of a face plane along
    // the edge's line counts, which keeps the answer on the cautious side.
    for (const Plane& face : faces) {
      if (edge.IntersectPlane(face, false)) return 1;
    }
  }
  return 2;
}

void CCDSMesh::SplitByPlane(const Plane& plane, CCDSMesh* frontOut, CCDSMesh* backOut) const {
  std::vector<Vector3> front;
  std::vector<Vector3> back;
  for (size_t i = 0; i < vertices_.size(); ++i) {
    const Vector3& start = vertices_[i];
    const Vector3& end = vertices_[(i + 1) % vertices_.size()];
    const float side = plane.Distance(start);
    if (side >= -kOnPlane) front.push_back(start);
    if (side <= kOnPlane) back.push_back(start);
    const float endSide = plane.Distance(end);
    if ((side > kOnPlane && endSide < -kOnPlane) || (side < -kOnPlane && endSide > kOnPlane)) {
      const Vector3 crossing = plane.IntersectLine(start, end);
      front.push_back(crossing);
      back.push_back(crossing);
    }
  }
  if (frontOut != nullptr) frontOut->SetOutline(front);
  if (backOut != nullptr) backOut->SetOutline(back);
}

void CCDSMesh::ClipToBox(const BoundingBox& box) {
  CCDSMesh part = *this;
  bool cut = false;
  for (const Plane& face : FacePlanes(box)) {
    const int side = Polygon::ClassifyPlane(part.vertices_.data(), part.GetVertexCount(), face);
    if (side == kPlaneFront) {
      // Wholly outside this face: nothing of the polygon is in the box.
      Release();
      Rebuild();
      return;
    }
    if (side == kPlaneSpanning) {
      CCDSMesh inside;
      part.SplitByPlane(face, nullptr, &inside);
      part = std::move(inside);
      cut = true;
    }
  }
  if (cut) SetOutline(part.vertices_);
}

void CCDSMesh::SetOutline(const std::vector<Vector3>& outline) {
  std::vector<uint32_t> fan;
  for (uint32_t i = 1; i + 1 < outline.size(); ++i) {
    fan.push_back(0);
    fan.push_back(i);
    fan.push_back(i + 1);
  }
  SetGeometry(outline.data(), static_cast<uint32_t>(outline.size()), fan.data(), static_cast<uint32_t>(fan.size()));
}
