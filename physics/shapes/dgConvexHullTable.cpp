#include "physics/shapes/dgConvexHullTable.h"

#include <cstdint>
#include <cstdlib>

namespace {

struct HalfEdge {
  int64_t key;  // end vertex in the high word, start vertex in the low word
  int start;
  int end;
  int face;
  int faceNext;  // the edge's successor: start and end vertex
  int faceNextEnd;
  int facePrevStart;
};

int64_t KeyOf(int start, int end) { return (static_cast<int64_t>(end) << 32) + static_cast<int64_t>(start); }

int CompareKeys(const void* a, const void* b) {
  const int64_t ka = static_cast<const HalfEdge*>(a)->key;
  const int64_t kb = static_cast<const HalfEdge*>(b)->key;
  return ka < kb ? -1 : (ka > kb ? 1 : 0);
}

int FindEdge(const HalfEdge* edges, int count, int start, int end) {
  const int64_t key = KeyOf(start, end);
  int lo = 0;
  int hi = count - 1;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    if (edges[mid].key == key) return mid;
    if (edges[mid].key < key) lo = mid + 1;
    else hi = mid - 1;
  }
  return -1;
}

}  // namespace

int dgBuildConvexEdgeTable(int faceCount, const int* faceSizes, const int* indices, dgConvexEdge* outEdges,
                           int maxEdges) {
  HalfEdge edges[dgConvexCollision::kMaxHullEdges];
  int count = 0;
  const int* face = indices;
  for (int f = 0; f < faceCount; ++f) {
    const int n = faceSizes[f];
    if (n < 3) return 0;
    for (int i = 0; i < n; ++i) {
      if (count >= maxEdges || count >= dgConvexCollision::kMaxHullEdges) return 0;
      const int start = face[i];
      const int end = face[(i + 1) % n];
      edges[count++] = {KeyOf(start, end), start, end, f, face[(i + 1) % n], face[(i + 2) % n],
                        face[(i + n - 1) % n]};
    }
    face += n;
  }
  std::qsort(edges, static_cast<size_t>(count), sizeof(HalfEdge), CompareKeys);
  for (int i = 1; i < count; ++i) {
    if (edges[i].key == edges[i - 1].key) return 0;  // a directed edge used twice
  }
  for (int i = 0; i < count; ++i) {
    const int twin = FindEdge(edges, count, edges[i].end, edges[i].start);
    const int next = FindEdge(edges, count, edges[i].faceNext, edges[i].faceNextEnd);
    const int prev = FindEdge(edges, count, edges[i].facePrevStart, edges[i].start);
    if (twin < 0 || next < 0 || prev < 0) return 0;  // not closed
    outEdges[i].vertex = edges[i].start;
    outEdges[i].twin = &outEdges[twin];
    outEdges[i].next = &outEdges[next];
    outEdges[i].prev = &outEdges[prev];
  }
  return count;
}
