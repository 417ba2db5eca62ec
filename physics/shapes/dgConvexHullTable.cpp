#include "physics/shapes/dgConvexHullTable.h"

#include <cstdint>

#include "physics/mesh/dgPolyhedra.h"

namespace {

int64_t KeyOf(const dgEdge* e) { return dgPolyhedra::EdgeKey(e->vertex, e->twin->vertex); }

// Index of the edge with this key in the key-ordered array, or -1.
int IndexOf(const int64_t* keys, int count, int64_t key) {
  int lo = 0;
  int hi = count - 1;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    if (keys[mid] == key) return mid;
    if (keys[mid] < key)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  return -1;
}

}  // namespace

int dgBuildConvexEdgeTable(int faceCount, const int* faceSizes, const int* indices, dgConvexEdge* outEdges,
                           int maxEdges) {
  dgPolyhedra mesh;
  const int* face = indices;
  for (int f = 0; f < faceCount; ++f) {
    if (!mesh.AddFace(faceSizes[f], face)) return 0;
    face += faceSizes[f];
  }
  mesh.EndFace();
  const int count = mesh.GetEdgeCount();
  if (count > maxEdges || count > dgConvexCollision::kMaxHullEdges) return 0;

  // The mesh's own order: an in-order walk of its edge tree.
  const dgEdge* edges[dgConvexCollision::kMaxHullEdges];
  int64_t keys[dgConvexCollision::kMaxHullEdges];
  int n = 0;
  for (dgPolyhedra::EdgeNode* node = mesh.GetFirstNode(); node; node = node->Next()) {
    const dgEdge* e = &node->GetInfo();
    if (e->face < 0) return 0;  // an open border: not a closed hull
    edges[n] = e;
    keys[n] = node->GetKey();
    ++n;
  }
  for (int i = 0; i < n; ++i) {
    const int twin = IndexOf(keys, n, KeyOf(edges[i]->twin));
    const int next = IndexOf(keys, n, KeyOf(edges[i]->next));
    const int prev = IndexOf(keys, n, KeyOf(edges[i]->prev));
    if (twin < 0 || next < 0 || prev < 0) return 0;
    outEdges[i].vertex = edges[i]->vertex;
    outEdges[i].twin = &outEdges[twin];
    outEdges[i].next = &outEdges[next];
    outEdges[i].prev = &outEdges[prev];
  }
  return n;
}
