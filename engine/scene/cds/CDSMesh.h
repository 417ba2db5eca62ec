#pragma once
#include <cstdint>
#include <vector>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/Plane.h"
#include "engine/foundation/Ray.h"
#include "engine/foundation/Vector3.h"
#include "engine/scene/cds/CDSShape.h"

// A planar polygon (or triangles sharing one plane) with its own vertices and
// indices, its plane and its box. The vertices in order are the outline; the
// indices, read in triples, are the triangles the ray test uses.
class CCDSMesh : public Plane {
 public:
  // Signed distances within this of a splitting plane count as on it.
  static constexpr float kOnPlane = 1e-5f;

  CCDSMesh();
  ~CCDSMesh() override = default;
  CCDSMesh(const CCDSMesh&) = default;
  CCDSMesh& operator=(const CCDSMesh&) = default;

  // Points the engine's ray operations at the mesh ray test.
  static void RegisterRayTest();

  // Frees both arrays.
  void Release();
  // Copies the arrays, then takes the plane from the first triangle that is
  // not degenerate and the box of the vertices. Refused (false, the mesh
  // unchanged) when an index is at or above vertexCount.
  bool SetGeometry(const Vector3* vertices, uint32_t vertexCount, const uint32_t* indices, uint32_t indexCount);
  // Recomputes the plane and the box from the mesh's own arrays.
  void Rebuild();
  // Reverses the index order and turns the plane around.
  void Flip();

  // True at the first triangle the ray meets, tried as wound and, unless
  // oneSided, reversed. maxDistance 0 means the ray's own length.
  bool IntersectsRay(const Ray& ray, bool oneSided, float* distanceOut = nullptr, float maxDistance = 0.0f) const;
  // 0 inside the box, 1 crossing it, 2 outside.
  int ClassifyBox(const BoundingBox& box) const;
  // Keeps only the part of the polygon inside the box.
  void ClipToBox(const BoundingBox& box);
  // Splits the outline by the plane into the part in front and the part
  // behind; a vertex on the plane goes to both. Either output may be null.
  void SplitByPlane(const Plane& plane, CCDSMesh* frontOut, CCDSMesh* backOut) const;

  uint32_t GetVertexCount() const { return static_cast<uint32_t>(vertices_.size()); }
  uint32_t GetIndexCount() const { return static_cast<uint32_t>(indices_.size()); }
  const std::vector<Vector3>& GetVertices() const { return vertices_; }
  const std::vector<uint32_t>& GetIndices() const { return indices_; }
  const CCDSShape& GetBounds() const { return bounds_; }

 private:
  // Takes an outline: its vertices in order, triangulated as a fan.
  void SetOutline(const std::vector<Vector3>& outline);

  CCDSShape bounds_;
  std::vector<Vector3> vertices_;
  std::vector<uint32_t> indices_;
};
