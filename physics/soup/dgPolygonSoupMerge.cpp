// The builder's merge: neighbouring faces of one attribute that lie in one
// plane become larger convex faces. A stored face answers rays and contacts
// by the plane of its first three corners, so a merge is only worth its
// speed when that plane is the surface the faces it replaces made: faces
// join only where their union lies within kMergeTolerance (world units) of
// one plane, the joining itself moves no vertex and drops no face
// (dgPolyhedra::MergeFlatPatches), and each merged face is stored from a
// corner whose plane holds all its corners. Faces without such a neighbour
// are kept exactly as they were, in their order.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "physics/memory/dgStack.h"
#include "physics/mesh/dgPolyhedra.h"
#include "physics/mesh/dgPolyhedraGeometry.h"
#include "physics/soup/dgPolygonSoupBuilder.h"
#include "physics/soup/dgSoupFaceLoop.h"

namespace {

// Neighbours may share a plane only when their unit normals agree this
// well (about a quarter of a degree), so a merged face's normal stays
// within a fraction of a degree of each face it replaces.
constexpr double kMergeNormalDot = 0.99999;
// A face whose doubled area is below this has no usable plane.
constexpr double kDegenerateNormal = 1e-12;

struct FacePlane {
  dgVector3d normal;  // unit; zero for a face of no area
  double offset = 0.0;
  bool flat = false;  // every corner within the tolerance of the plane
};

dgVector3d Corner(const float* vertices, int index) { return dgReadVertex3d(vertices, 12, index); }

bool CornersOnPlane(const float* vertices, const int* face, int count, const FacePlane& plane) {
  for (int i = 0; i < count; ++i) {
    const double distance = plane.normal.Dot(Corner(vertices, face[i])) + plane.offset;
    if (!(std::fabs(distance) <= dgPolygonSoupDatabaseBuilder::kMergeTolerance)) return false;
  }
  return true;
}

// The plane of a face: its fan's normal, through the mean of its corners.
FacePlane PlaneOf(const float* vertices, const int* face, int count) {
  FacePlane plane;
  const dgVector3d origin = Corner(vertices, face[0]);
  dgVector3d sum;
  dgVector3d centre = origin;
  for (int i = 2; i < count; ++i) {
    sum = sum + (Corner(vertices, face[i - 1]) - origin).Cross(Corner(vertices, face[i]) - origin);
  }
  for (int i = 1; i < count; ++i) centre = centre + Corner(vertices, face[i]);
  const double lengthSquared = sum.LengthSquared();
  if (!(lengthSquared >= kDegenerateNormal)) return plane;
  plane.normal = sum * (1.0 / std::sqrt(lengthSquared));
  plane.offset = -plane.normal.Dot(centre * (1.0 / count));
  plane.flat = CornersOnPlane(vertices, face, count, plane);
  return plane;
}

// True when the plane rays and contacts take from the face's first three
// corners (computed as they compute it) holds every corner and faces the
// way the whole face does: three corners in a nearly straight line can give
// the plane turned over.
bool FirstCornersHoldTheFace(const float* vertices, const int* face, int count) {
  const FacePlane whole = PlaneOf(vertices, face, count);
  const dgVector v0(vertices + 3LL * face[0], 1.0f);
  const dgVector v1(vertices + 3LL * face[1], 1.0f);
  const dgVector v2(vertices + 3LL * face[2], 1.0f);
  const dgVector n = (v1 - v0).CrossProduct(v2 - v0);
  FacePlane plane;
  plane.normal = dgVector3d{n.x, n.y, n.z};
  const double lengthSquared = plane.normal.LengthSquared();
  if (!(lengthSquared >= kDegenerateNormal)) return false;
  plane.normal = plane.normal * (1.0 / std::sqrt(lengthSquared));
  plane.offset = -plane.normal.Dot(Corner(vertices, face[0]));
  return plane.normal.Dot(whole.normal) >= kMergeNormalDot && CornersOnPlane(vertices, face, count, plane);
}

}  // namespace

struct dgPolygonSoupDatabaseBuilder::MergeContext {
  const int* starts;  // each face's attribute word in the index array
  int* localOf;       // per vertex: its number in the group being merged, -1 outside it
  dgPolygonSoupDatabaseBuilder& out;
};

int dgPolygonSoupDatabaseBuilder::FindJoinPartners(const int* starts, int* partner) const {
  const int faceCount = faceCount_;
  const float* vertices = VertexData();
  dgStack<FacePlane> planes(faceCount);
  if (!planes.IsValid()) return -1;
  for (int f = 0; f < faceCount; ++f) {
    planes[f] = PlaneOf(vertices, &indices_[starts[f] + 1], faceIndexCounts_[f] - 1);
    partner[f] = kNoPartner;
  }

  // The flat faces around each vertex, in face order: the neighbour across
  // an edge is among the few around its end vertex.
  dgStack<int> firstAround(static_cast<long long>(vertexCount_) + 1);
  dgStack<int> around(static_cast<long long>(indexCount_) - faceCount);
  if (!firstAround.IsValid() || !around.IsValid()) return -1;
  for (int v = 0; v <= vertexCount_; ++v) firstAround[v] = 0;
  for (int f = 0; f < faceCount; ++f) {
    if (!planes[f].flat) continue;
    for (int i = 1; i < faceIndexCounts_[f]; ++i) ++firstAround[indices_[starts[f] + i] + 1];
  }
  for (int v = 0; v < vertexCount_; ++v) firstAround[v + 1] += firstAround[v];
  for (int f = 0; f < faceCount; ++f) {
    if (!planes[f].flat) continue;
    for (int i = 1; i < faceIndexCounts_[f]; ++i) around[firstAround[indices_[starts[f] + i]]++] = f;
  }
  for (int v = vertexCount_; v > 0; --v) firstAround[v] = firstAround[v - 1];
  firstAround[0] = 0;
  // The first flat face other than f holding the edge from start to end, or -1.
  const auto faceWithEdge = [&](int f, int start, int end) {
    for (int k = firstAround[start]; k < firstAround[start + 1]; ++k) {
      const int g = around[k];
      const int* face = &indices_[starts[g] + 1];
      const int n = faceIndexCounts_[g] - 1;
      for (int i = 0; i < n && g != f; ++i) {
        if (face[i] == start && face[(i + 1) % n] == end) return g;
      }
    }
    return -1;
  };

  // A face joins the merge when a neighbour across one of its edges has its
  // attribute and lies in its plane.
  const auto link = [partner](int from, int to) {
    if (partner[from] == kNoPartner) {
      partner[from] = to;
    } else if (partner[from] != to) {
      partner[from] = kManyPartners;
    }
  };
  for (int f = 0; f < faceCount; ++f) {
    if (!planes[f].flat) continue;
    const int* face = &indices_[starts[f] + 1];
    const int n = faceIndexCounts_[f] - 1;
    for (int i = 0; i < n; ++i) {
      const int g = faceWithEdge(f, face[(i + 1) % n], face[i]);
      if (g < 0 || partner[f] == g || (partner[f] == kManyPartners && partner[g] == kManyPartners) ||
          indices_[starts[g]] != indices_[starts[f]]) {
        continue;
      }
      const int* other = &indices_[starts[g] + 1];
      const int otherCount = faceIndexCounts_[g] - 1;
      if (planes[f].normal.Dot(planes[g].normal) < kMergeNormalDot ||
          !CornersOnPlane(vertices, other, otherCount, planes[f]) || !CornersOnPlane(vertices, face, n, planes[g])) {
        continue;
      }
      link(f, g);
      link(g, f);
    }
  }
  int joinCount = 0;
  for (int f = 0; f < faceCount; ++f) joinCount += partner[f] != kNoPartner;
  return joinCount;
}

bool dgPolygonSoupDatabaseBuilder::JoinTrianglePair(const int* first, const int* second, int* outQuad,
                                                    bool& outConvex) const {
  // first = (a, b, c) and second = (b, a, d) share the edge a-b; their join
  // runs b, c, a, d.
  for (int i = 0; i < 3; ++i) {
    const int a = first[i];
    const int b = first[(i + 1) % 3];
    const int c = first[(i + 2) % 3];
    for (int j = 0; j < 3; ++j) {
      if (second[j] != b || second[(j + 1) % 3] != a) continue;
      const int d = second[(j + 2) % 3];
      if (d == c) return false;
      const float* vertices = VertexData();
      const dgVector3d normal = PlaneOf(vertices, first, 3).normal;
      outConvex = dgJoinedCornerIsConvex(Corner(vertices, a), Corner(vertices, c), Corner(vertices, d), normal) &&
                  dgJoinedCornerIsConvex(Corner(vertices, b), Corner(vertices, d), Corner(vertices, c), normal);
      outQuad[0] = b;
      outQuad[1] = c;
      outQuad[2] = a;
      outQuad[3] = d;
      return true;
    }
  }
  return false;
}

void dgPolygonSoupDatabaseBuilder::MergeFaces() {
  const int faceCount = faceCount_;
  dgStack<int> starts(faceCount);
  dgStack<int> partner(faceCount);
  if (!starts.IsValid() || !partner.IsValid()) return;
  for (int f = 0, at = 0; f < faceCount; at += faceIndexCounts_[f], ++f) starts[f] = at;
  // The search's scratch (a plane per face, the faces around each vertex)
  // is gone before the merge builds its meshes.
  const int joinCount = FindJoinPartners(starts.Data(), partner.Data());
  if (joinCount <= 0) return;

  // Faces that stay keep their order; the merged ones follow: first the
  // triangles that join only each other (most of a curved mesh of quads),
  // joined directly, then the rest through the half-edge mesh.
  dgPolygonSoupDatabaseBuilder merged;
  // Joining only shrinks most soups: room for what goes in spares the
  // output the copies of growing (a failed reservation just grows as usual).
  merged.ReserveFaces(faceCount, indexCount_);
  for (int f = 0; f < faceCount; ++f) {
    if (partner[f] == kNoPartner &&
        !merged.AppendFace(indices_[starts[f]], &indices_[starts[f] + 1], faceIndexCounts_[f] - 1)) {
      return;
    }
  }
  const auto isTriangle = [&](int f) { return faceIndexCounts_[f] == 4; };
  int meshed = 0;
  dgStack<int> joining(joinCount);
  if (!joining.IsValid()) return;
  for (int f = 0; f < faceCount; ++f) {
    const int g = partner[f];
    if (g == kNoPartner) continue;
    const bool pair = g >= 0 && partner[g] == f && isTriangle(f) && isTriangle(g);
    if (pair && g < f) continue;  // joined with g
    int quad[4];
    bool convex = false;
    if (pair && JoinTrianglePair(&indices_[starts[f] + 1], &indices_[starts[g] + 1], quad, convex)) {
      const int attribute = indices_[starts[f]];
      const float* vertices = VertexData();
      // Corners the join would turn inwards keep the two as they are.
      const bool stored = convex ? merged.AppendMergedFace(vertices, attribute, quad, 4)
                                 : merged.AppendMergedFace(vertices, attribute, &indices_[starts[f] + 1], 3) &&
                                       merged.AppendMergedFace(vertices, attribute, &indices_[starts[g] + 1], 3);
      if (!stored) return;
      continue;
    }
    joining[meshed++] = f;
    if (pair) joining[meshed++] = g;
  }
  dgStack<int> localOf(vertexCount_);
  if (!localOf.IsValid()) return;
  for (int v = 0; v < vertexCount_; ++v) localOf[v] = -1;
  MergeContext context{starts.Data(), localOf.Data(), merged};
  if (meshed > 0 && !MergeCell(context, joining.Data(), meshed)) return;
  faceCount_ = merged.faceCount_;
  indexCount_ = merged.indexCount_;
  faceIndexCounts_.TakeFrom(merged.faceIndexCounts_);
  cleanStarts_.TakeFrom(merged.cleanStarts_);
  indices_.TakeFrom(merged.indices_);
  CompactVertices();
}

bool dgPolygonSoupDatabaseBuilder::MergeCell(MergeContext& context, int* faces, int count) const {
  const int* starts = context.starts;
  if (count > kMaxFacesPerPass) {
    // Split at the mean box centre on the axis where the face boxes spread
    // most (the spread counts a twelfth of each box's squared size too).
    double sum[3] = {};
    double sumSquares[3] = {};
    for (int i = 0; i < count; ++i) {
      const int* face = &indices_[starts[faces[i]] + 1];
      const int n = faceIndexCounts_[faces[i]] - 1;
      for (int axis = 0; axis < 3; ++axis) {
        float low = (&vertices_[face[0]].x)[axis];
        float high = low;
        for (int k = 1; k < n; ++k) {
          low = std::fmin(low, (&vertices_[face[k]].x)[axis]);
          high = std::fmax(high, (&vertices_[face[k]].x)[axis]);
        }
        const double centre = 0.5 * (static_cast<double>(low) + high);
        const double size = static_cast<double>(high) - low;
        sum[axis] += centre;
        sumSquares[axis] += centre * centre + size * size / 12.0;
      }
    }
    double spread[3];
    for (int axis = 0; axis < 3; ++axis) spread[axis] = count * sumSquares[axis] - sum[axis] * sum[axis];
    int axis = 0;
    if (spread[1] > spread[0] && spread[1] > spread[2]) axis = 1;
    if (spread[2] > spread[0] && spread[2] > spread[1]) axis = 2;
    const double split = sum[axis] / count;

    // A face with a corner above the split goes first; both parts keep the order.
    dgStack<int> below(count);
    if (!below.IsValid()) return false;
    int above = 0;
    int belowCount = 0;
    for (int i = 0; i < count; ++i) {
      const int* face = &indices_[starts[faces[i]] + 1];
      const int n = faceIndexCounts_[faces[i]] - 1;
      bool isAbove = false;
      for (int k = 0; k < n && !isAbove; ++k) isAbove = (&vertices_[face[k]].x)[axis] > split;
      if (isAbove) {
        faces[above++] = faces[i];
      } else {
        below[belowCount++] = faces[i];
      }
    }
    std::memcpy(faces + above, below.Data(), static_cast<size_t>(belowCount) * sizeof(int));
    // Faces all on one side cannot be divided further.
    if (above > 0 && belowCount > 0) {
      return MergeCell(context, faces, above) && MergeCell(context, faces + above, belowCount);
    }
  }

  // One group per attribute, taken in the order the attributes first appear.
  dgStack<int64_t> keys(count);
  dgStack<int64_t> groups(count);
  dgStack<int> groupFaces(count);
  if (!keys.IsValid() || !groups.IsValid() || !groupFaces.IsValid()) return false;
  for (int i = 0; i < count; ++i) {
    const uint32_t attribute = static_cast<uint32_t>(indices_[starts[faces[i]]]) ^ 0x80000000u;
    keys[i] = static_cast<int64_t>(static_cast<uint64_t>(attribute) << 31 | static_cast<uint32_t>(i));
  }
  std::sort(keys.Data(), keys.Data() + count);
  int groupCount = 0;
  for (int i = 0; i < count; ++i) {
    const int64_t attribute = keys[i] >> 31;
    if (i == 0 || attribute != keys[i - 1] >> 31) {
      // The group's first face in the cell, then where its run of keys starts.
      groups[groupCount++] = (keys[i] & 0x7FFFFFFF) << 32 | i;
    }
  }
  std::sort(groups.Data(), groups.Data() + groupCount);
  for (int g = 0; g < groupCount; ++g) {
    const int begin = static_cast<int>(groups[g] & 0xFFFFFFFF);
    int end = begin + 1;
    while (end < count && keys[end] >> 31 == keys[begin] >> 31) ++end;
    for (int i = begin; i < end; ++i) groupFaces[i - begin] = faces[keys[i] & 0x7FFFFFFF];
    if (!MergeGroup(context, groupFaces.Data(), end - begin)) return false;
  }
  return true;
}

bool dgPolygonSoupDatabaseBuilder::MergeGroup(MergeContext& context, const int* faces, int count) const {
  // The mesh works on the group's own vertices, numbered from 0, so its
  // scratch tables are sized by the group rather than by the whole soup.
  long long indexCount = 0;
  for (int i = 0; i < count; ++i) indexCount += faceIndexCounts_[faces[i]] - 1;
  dgStack<int> local(indexCount);
  dgStack<int> globalOf(indexCount);
  if (!local.IsValid() || !globalOf.IsValid()) return false;
  int vertexCount = 0;
  for (int i = 0, at = 0; i < count; ++i) {
    const int* face = &indices_[context.starts[faces[i]] + 1];
    const int n = faceIndexCounts_[faces[i]] - 1;
    for (int k = 0; k < n; ++k, ++at) {
      int& number = context.localOf[face[k]];
      if (number < 0) {
        number = vertexCount++;
        globalOf[number] = face[k];
      }
      local[at] = number;
    }
  }
  for (int v = 0; v < vertexCount; ++v) context.localOf[globalOf[v]] = -1;
  // Sized by the group's vertices (a corner is shared by several faces).
  dgStack<float> positions(3LL * vertexCount);
  if (!positions.IsValid()) return false;
  for (int v = 0; v < vertexCount; ++v) std::memcpy(&positions[3LL * v], &vertices_[globalOf[v]].x, 3 * sizeof(float));

  const int attribute = indices_[context.starts[faces[0]]];
  dgPolyhedra mesh;
  for (int i = 0, at = 0; i < count; ++i) {
    const int n = faceIndexCounts_[faces[i]] - 1;
    // A face the mesh refuses would repeat a directed edge: keep it as it is.
    if (!mesh.AddFace(n, &local[at]) &&
        !context.out.AppendFace(attribute, &indices_[context.starts[faces[i]] + 1], n)) {
      return false;
    }
    at += n;
  }
  mesh.EndFace();
  dgPolyhedra unsplit;
  mesh.MergeFlatPatches(positions.Data(), 12, kMergeTolerance, &unsplit);
  const float* vertices = VertexData();
  const auto store = [&](const int* face, int n) {
    // Loops longer than a face holds (joins may make them) are cut later.
    int shortLoop[kMaxFaceIndices];
    dgStack<int> longLoop(n > kMaxFaceIndices ? n : 0);
    int* global = n > kMaxFaceIndices ? longLoop.Data() : shortLoop;
    if (!global) return false;
    for (int k = 0; k < n; ++k) global[k] = globalOf[face[k]];
    return context.out.AppendMergedFace(vertices, attribute, global, n);
  };
  return dgEmitFaceLoops(unsplit, store) && dgEmitFaceLoops(mesh, store);
}

bool dgPolygonSoupDatabaseBuilder::AppendMergedFace(const float* vertices, int attribute, const int* indices,
                                                    int count) {
  if (count > kMaxFaceIndices) {
    return dgForEachFanPiece(indices, count,
                             [&](const int* piece, int n) { return AppendMergedFace(vertices, attribute, piece, n); });
  }
  int corners[kMaxFaceIndices];
  std::memcpy(corners, indices, static_cast<size_t>(count) * sizeof(int));
  const int best = dgSoupFaceLoop(vertices, corners, count).RightAngleCorner();
  int rotated[kMaxFaceIndices];
  for (int k = 0; k < count; ++k) {
    for (int i = 0; i < count; ++i) rotated[i] = corners[(best + k + i) % count];
    if (count == 3 || FirstCornersHoldTheFace(vertices, rotated, count)) return AppendFace(attribute, rotated, count);
  }
  // No corner will do: the fan's triangles, each its own plane (those
  // without area add nothing).
  for (int i = 2; i < count; ++i) {
    const int triangle[3] = {corners[0], corners[i - 1], corners[i]};
    const dgVector3d origin = Corner(vertices, triangle[0]);
    const dgVector3d n = (Corner(vertices, triangle[1]) - origin).Cross(Corner(vertices, triangle[2]) - origin);
    if (n.LengthSquared() >= kDegenerateNormal && !AppendMergedFace(vertices, attribute, triangle, 3)) return false;
  }
  return true;
}

void dgPolygonSoupDatabaseBuilder::CompactVertices() {
  dgStack<int> remap(vertexCount_);
  if (!remap.IsValid()) return;
  for (int v = 0; v < vertexCount_; ++v) remap[v] = -1;
  for (int f = 0, at = 0; f < faceCount_; at += faceIndexCounts_[f], ++f) {
    for (int i = 1; i < faceIndexCounts_[f]; ++i) remap[indices_[at + i]] = 0;
  }
  int kept = 0;
  for (int v = 0; v < vertexCount_; ++v) {
    if (remap[v] < 0) continue;
    vertices_[kept] = vertices_[v];
    remap[v] = kept++;
  }
  for (int f = 0, at = 0; f < faceCount_; at += faceIndexCounts_[f], ++f) {
    for (int i = 1; i < faceIndexCounts_[f]; ++i) indices_[at + i] = remap[indices_[at + i]];
  }
  vertexCount_ = kept;
}
