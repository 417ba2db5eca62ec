#include "engine/scene/CDSMesh.h"

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
    mVertices.clear();
    mIndices.clear();
}

bool CCDSMesh::SetGeometry(const Vector3* vertices, uint32_t vertexCount, const uint32_t* indices,
                           uint32_t indexCount) {
    for (uint32_t i = 0; i < indexCount; ++i) {
        if (indices[i] >= vertexCount)
            return false;
    }
    // Copied before the old arrays go: Rebuild hands in the mesh's own.
    std::vector<Vector3> newVertices(vertices, vertices + vertexCount);
    std::vector<uint32_t> newIndices(indices, indices + indexCount);
    mVertices = std::move(newVertices);
    mIndices = std::move(newIndices);
    Rebuild();
    return true;
}

void CCDSMesh::Rebuild() {
    // No vertices or only degenerate triangles leave a zero normal.
    normal = Vector3(0, 0, 0);
    for (size_t i = 0; i + 2 < mIndices.size(); i += 3) {
        const Vector3& a = mVertices[mIndices[i]];
        const Vector3 cross =
            Vector3::Cross(mVertices[mIndices[i + 1]] - a, mVertices[mIndices[i + 2]] - a);
        if (cross.LengthSquared() > 0.0f) {
            normal = cross * (1.0f / cross.Length());
            break;
        }
    }
    point = mVertices.empty() ? Vector3(0, 0, 0) : mVertices[0];
    d = -Vector3::Dot(normal, point);

    BoundingBox box;
    if (!mVertices.empty()) {
        Vector3 low = mVertices[0];
        Vector3 high = mVertices[0];
        for (const Vector3& v : mVertices) {
            low = Vector3(std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z));
            high = Vector3(std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z));
        }
        box.SetMinMax(low, high);
    }
    mBounds.SetBoundingBox(box);
}

void CCDSMesh::Flip() {
    std::reverse(mIndices.begin(), mIndices.end());
    normal = -normal;
    d = -d;
}

bool CCDSMesh::IntersectsRay(const Ray& ray, bool oneSided, float* distanceOut, float maxDistance) const {
    const float limit = maxDistance != 0.0f ? maxDistance : ray.length;
    for (size_t i = 0; i + 2 < mIndices.size(); i += 3) {
        const Vector3& a = mVertices[mIndices[i]];
        const Vector3& b = mVertices[mIndices[i + 1]];
        const Vector3& c = mVertices[mIndices[i + 2]];
        if (Ray::IntersectTriangle(ray, a, b, c, true, distanceOut, limit))
            return true;
        if (!oneSided && Ray::IntersectTriangle(ray, a, c, b, true, distanceOut, limit))
            return true;
    }
    return false;
}

int CCDSMesh::ClassifyBox(const BoundingBox& box) const {
    if (mVertices.empty() || !mBounds.GetBoundingBox().OverlapsBox(box))
        return 2;
    if (std::all_of(mVertices.begin(), mVertices.end(), [&](const Vector3& v) { return InsideBox(box, v); }))
        return 0;
    const std::array<Plane, 6> faces = FacePlanes(box);
    for (size_t i = 0; i < mVertices.size(); ++i) {
        const Vector3& start = mVertices[i];
        const Vector3& end = mVertices[(i + 1) % mVertices.size()];
        Ray edge;
        edge.SetFromPoints(start, end);
        if (!(edge.length > 0.0f))
            continue;
        // Without a distance asked for, the plane test ignores the edge's
        // length and the face's extent: any crossing of a face plane along
        // the edge's line counts, which keeps the answer on the cautious side.
        for (const Plane& face : faces) {
            if (edge.IntersectPlane(face, false))
                return 1;
        }
    }
    return 2;
}

void CCDSMesh::SplitByPlane(const Plane& plane, CCDSMesh* frontOut, CCDSMesh* backOut) const {
    std::vector<Vector3> front;
    std::vector<Vector3> back;
    for (size_t i = 0; i < mVertices.size(); ++i) {
        const Vector3& start = mVertices[i];
        const Vector3& end = mVertices[(i + 1) % mVertices.size()];
        const float side = plane.Distance(start);
        if (side >= -kOnPlane)
            front.push_back(start);
        if (side <= kOnPlane)
            back.push_back(start);
        const float endSide = plane.Distance(end);
        if ((side > kOnPlane && endSide < -kOnPlane) || (side < -kOnPlane && endSide > kOnPlane)) {
            const Vector3 crossing = plane.IntersectLine(start, end);
            front.push_back(crossing);
            back.push_back(crossing);
        }
    }
    if (frontOut != nullptr)
        frontOut->SetOutline(front);
    if (backOut != nullptr)
        backOut->SetOutline(back);
}

void CCDSMesh::ClipToBox(const BoundingBox& box) {
    CCDSMesh part = *this;
    bool cut = false;
    for (const Plane& face : FacePlanes(box)) {
        const int side = Polygon::ClassifyPlane(part.mVertices.data(), part.GetVertexCount(), face);
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
    if (cut)
        SetOutline(part.mVertices);
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
