// The expanding polytope: grows the tetrahedron that holds the origin
// towards the surface of the Minkowski difference until the face nearest
// the origin lies on that surface, the face of least penetration.

#include "physics/contacts/dgContactSolver.h"
#include "physics/memory/dgHeap.h"

namespace {

// Limits checked once per round, as the search has always stopped; the
// writes of one round are bounded separately below.
constexpr int kVertexLimit = 123;
constexpr int kEdgeLimit = 502;
constexpr int kFaceLimit = 112;
constexpr int kHeapLimit = 232;
// A new vertex nearer than this to the popped face ends the search.
constexpr float kConvergence = 1.0f / 2048.0f;

// A heap entry: the face number and the stamp it had when pushed, so an
// entry of a face removed (and perhaps reused) since is recognised; packed
// in one word (faces below 256, far fewer stamps than 2^24 per query) to
// keep the entries the heap shuffles small.
using QueuedFace = uint32_t;
constexpr int kFaceBits = 8;
static_assert(dgContactSolver::kMaxFaces <= (1 << kFaceBits));
QueuedFace Queued(int face, uint32_t stamp) { return static_cast<uint32_t>(face) | stamp << kFaceBits; }
int QueuedFaceOf(QueuedFace entry) { return static_cast<int>(entry & ((1u << kFaceBits) - 1)); }
uint32_t QueuedStampOf(QueuedFace entry) { return entry >> kFaceBits; }

// The twin of each edge of the starting tetrahedron (edge 3 f + i runs from
// vertex i to vertex i + 1 of face row f): the edge of another row that
// runs the other way.
struct TetrahedronTwins {
  int of[12];
  constexpr TetrahedronTwins() : of() {
    const auto& rows = dgContactSolver::kTetrahedronFaces;
    for (int e = 0; e < 12; ++e) {
      const int from = rows[e / 3][e % 3];
      const int to = rows[e / 3][(e % 3 + 1) % 3];
      of[e] = -1;
      for (int k = 0; k < 12 && of[e] < 0; ++k) {
        if (rows[k / 3][k % 3] == to && rows[k / 3][(k % 3 + 1) % 3] == from) of[e] = k;
      }
    }
  }
};
constexpr TetrahedronTwins kTetrahedronTwins;
static_assert([] {
  for (const int twin : kTetrahedronTwins.of) {
    if (twin < 0) return false;
  }
  return true;
}());

// Face visibility during one round's flood.
enum Visibility : unsigned char { kUnknown = 0, kVisible = 1, kHidden = 2 };

// One horizon edge: kept is the surviving face's edge p -> q; the new face
// runs q -> p -> new vertex.
struct HorizonEdge {
  dgContactSolver::dgPolytopeEdge* kept;
  int q;
  int p;
};

}  // namespace

dgContactSolver::dgPolytopeEdge* dgContactSolver::NewEdge() {
  if (freeEdges_) {
    dgPolytopeEdge* edge = freeEdges_;
    freeEdges_ = edge->next;
    --freeEdgeCount_;
    return edge;
  }
  return &edges_[edgeCount_++];
}

int dgContactSolver::NewFace() {
  if (freeFaceCount_ > 0) return freeFaces_[--freeFaceCount_];
  faceStamps_[faceCount_] = 0;
  return faceCount_++;
}

bool dgContactSolver::BuildStartPolytope(dgPolytopeEdge** outFaceEdges) {
  edgeCount_ = 12;
  faceCount_ = 4;
  freeEdges_ = nullptr;
  freeEdgeCount_ = 0;
  freeFaceCount_ = 0;
  for (int f = 0; f < 4; ++f) {
    dgPolytopeEdge* ring = &edges_[3 * f];
    for (int i = 0; i < 3; ++i) {
      ring[i].face = f;
      ring[i].vertex = kTetrahedronFaces[f][i];
      ring[i].next = &ring[(i + 1) % 3];
      ring[i].prev = &ring[(i + 2) % 3];
    }
    faceEdges_[f] = ring;
    faceStamps_[f] = 0;
    planes_[f] = CalculateFacePlane(kTetrahedronFaces[f][0], kTetrahedronFaces[f][1], kTetrahedronFaces[f][2]);
    outFaceEdges[f] = ring;
  }
  for (int i = 0; i < 12; ++i) edges_[i].twin = &edges_[kTetrahedronTwins.of[i]];
  return true;
}

int dgContactSolver::CalculatePenetrationFace() {
  dgPolytopeEdge* start[4];
  if (!BuildStartPolytope(start)) return -1;
  dgHeap<QueuedFace, float>::Entry heapStorage[kHeapRoom];
  dgHeap<QueuedFace, float> heap(heapStorage, kHeapRoom);
  for (int f = 0; f < 4; ++f) {
    if (planes_[f].valid) heap.Push(planes_[f].plane.w, Queued(f, faceStamps_[f]));
  }

  Visibility visibility[kMaxFaces];
  int removed[kMaxFaces];
  HorizonEdge horizon[kMaxEdges];
  // Per round, indexed by vertex and written before they are read (only
  // the horizon's vertices): how many horizon edges start and end there,
  // and the new fan's edges p -> v (by p) and v -> q (by q).
  int starts[kMaxVertices];
  int ends[kMaxVertices];
  dgPolytopeEdge* intoNew[kMaxVertices];
  dgPolytopeEdge* outOfNew[kMaxVertices];
  int newFaces[kMaxEdges];
  while (heap.GetCount() > 0) {
    const QueuedFace top = heap.TopValue();
    heap.Pop();
    const int face = QueuedFaceOf(top);
    if (!faceEdges_[face] || faceStamps_[face] != QueuedStampOf(top)) continue;
    if (vertexCount_ >= kMaxVertices) return face;

    const dgPlane& plane = planes_[face].plane;
    const int v = vertexCount_;
    SupportVertex(dgVector(plane.x, plane.y, plane.z, 0.0f), v);
    const float gain = plane.Evaluate(vertices_[v]);
    if (vertexCount_ > kVertexLimit || edgeCount_ > kEdgeLimit || faceCount_ > kFaceLimit ||
        heap.GetCount() > kHeapLimit || !(gain >= kConvergence)) {
      return face;
    }

    // Flood over the faces that see the new vertex; their border with the
    // faces that do not is the horizon.
    for (int f = 0; f < faceCount_; ++f) visibility[f] = kUnknown;
    int removedCount = 0;
    int horizonCount = 0;
    bool horizonFits = true;
    visibility[face] = kVisible;
    removed[removedCount++] = face;
    for (int r = 0; r < removedCount && horizonFits; ++r) {
      dgPolytopeEdge* edge = faceEdges_[removed[r]];
      for (int i = 0; i < 3; ++i, edge = edge->next) {
        const int neighbour = edge->twin->face;
        if (visibility[neighbour] == kUnknown) {
          const bool sees = planes_[neighbour].plane.Evaluate(vertices_[v]) > 0.0f;
          visibility[neighbour] = sees ? kVisible : kHidden;
          if (sees) removed[removedCount++] = neighbour;
        }
        if (visibility[neighbour] == kHidden) {
          if (horizonCount >= kMaxEdges) {
            horizonFits = false;
            break;
          }
          horizon[horizonCount++] = HorizonEdge{edge->twin, edge->vertex, edge->next->vertex};
        }
      }
    }

    // The horizon must be one loop through distinct vertices, and the round
    // must fit the edge records, the face planes and the heap; otherwise
    // the face at hand is the answer.
    for (int h = 0; h < horizonCount; ++h) {
      starts[horizon[h].q] = ends[horizon[h].q] = 0;
      starts[horizon[h].p] = ends[horizon[h].p] = 0;
    }
    for (int h = 0; h < horizonCount; ++h) {
      ++starts[horizon[h].q];
      ++ends[horizon[h].p];
    }
    for (int h = 0; h < horizonCount && horizonFits; ++h) {
      if (starts[horizon[h].q] != 1 || ends[horizon[h].q] != 1) horizonFits = false;
    }
    const int edgesAvailable = freeEdgeCount_ + 3 * removedCount + (kMaxEdges - edgeCount_);
    const int facesAvailable = freeFaceCount_ + removedCount + (kMaxFaces - faceCount_);
    if (!horizonFits || horizonCount < 3 || edgesAvailable < 3 * horizonCount || facesAvailable < horizonCount ||
        heap.GetCount() + horizonCount > kHeapRoom) {
      return face;
    }

    for (int r = 0; r < removedCount; ++r) {
      const int f = removed[r];
      dgPolytopeEdge* edge = faceEdges_[f];
      for (int i = 0; i < 3; ++i) {
        dgPolytopeEdge* following = edge->next;
        edge->face = -1;
        edge->next = freeEdges_;
        freeEdges_ = edge;
        ++freeEdgeCount_;
        edge = following;
      }
      faceEdges_[f] = nullptr;
      ++faceStamps_[f];
      freeFaces_[freeFaceCount_++] = f;
    }
    ++vertexCount_;

    // Fan one triangle q -> p -> v over each horizon edge and stitch the
    // fan's sides by their shared vertex.
    for (int h = 0; h < horizonCount; ++h) {
      const HorizonEdge& border = horizon[h];
      const int f = NewFace();
      dgPolytopeEdge* ring[3] = {NewEdge(), NewEdge(), NewEdge()};
      const int vertices[3] = {border.q, border.p, v};
      for (int i = 0; i < 3; ++i) {
        ring[i]->face = f;
        ring[i]->vertex = vertices[i];
        ring[i]->next = ring[(i + 1) % 3];
        ring[i]->prev = ring[(i + 2) % 3];
        ring[i]->twin = nullptr;
      }
      ring[0]->twin = border.kept;
      border.kept->twin = ring[0];
      intoNew[border.p] = ring[1];
      outOfNew[border.q] = ring[2];
      faceEdges_[f] = ring[0];
      planes_[f] = CalculateFacePlane(border.q, border.p, v);
      newFaces[h] = f;
    }
    // Queued after all their planes are made, which then overlap.
    for (int h = 0; h < horizonCount; ++h) {
      const int f = newFaces[h];
      if (planes_[f].valid) heap.Push(planes_[f].plane.w, Queued(f, faceStamps_[f]));
    }
    for (int h = 0; h < horizonCount; ++h) {
      dgPolytopeEdge* side = intoNew[horizon[h].p];
      dgPolytopeEdge* other = outOfNew[horizon[h].p];
      side->twin = other;
      other->twin = side;
    }
  }
  return -1;
}
