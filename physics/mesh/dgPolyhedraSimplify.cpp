// Half-edge collapse ordered by a quadric error: a vertex's quadric sums the
// squared distances to the planes of its faces and, heavier, to planes
// standing on its open border edges, so flat regions collapse freely while
// borders and creases stay.

#include "physics/mesh/dgPolyhedraSimplify.h"

#include <cmath>

#include "physics/memory/dgHeap.h"
#include "physics/memory/dgMemory.h"
#include "physics/memory/dgStack.h"
#include "physics/mesh/dgPolyhedraGeometry.h"

namespace {

// Candidates are keyed so that the cheapest comes first in a max-heap.
constexpr double kHeapKeyBase = 1024.0;
// A re-evaluated candidate that moved by this much is stale.
constexpr double kStaleDifference = 1e-5;
constexpr double kPlaneNormalGuard = 1e-12;
constexpr double kFoldMinEdgeSquared = 1e-6;
constexpr double kFoldMinNormalSquared = 1e-24;
constexpr double kFoldOppositeDot = -0.999;
constexpr double kFoldTurnFraction = 1.0 / 64.0;
constexpr double kFoldShrinkFactor = 16.0;
// Border planes weigh this much more than face planes.
constexpr double kBorderWeight = 10.0;
constexpr int kMaxVertexIndex = 1 << 26;

struct Quadric {
  double q[10] = {};  // a², b², c², d², 2ab, 2ac, 2ad, 2bc, 2bd, 2cd

  void AddPlane(const dgVector3d& n, double d, double weight) {
    q[0] += weight * n.x * n.x;
    q[1] += weight * n.y * n.y;
    q[2] += weight * n.z * n.z;
    q[3] += weight * d * d;
    q[4] += weight * 2.0 * n.x * n.y;
    q[5] += weight * 2.0 * n.x * n.z;
    q[6] += weight * 2.0 * n.x * d;
    q[7] += weight * 2.0 * n.y * n.z;
    q[8] += weight * 2.0 * n.y * d;
    q[9] += weight * 2.0 * n.z * d;
  }

  double Evaluate(const dgVector3d& p) const {
    return q[0] * p.x * p.x + q[1] * p.y * p.y + q[2] * p.z * p.z + q[3] + q[4] * p.x * p.y + q[5] * p.x * p.z +
           q[6] * p.x + q[7] * p.y * p.z + q[8] * p.y + q[9] * p.z;
  }
};

struct Candidate {
  int start;
  int end;
  double total;  // the cost when pushed, to tell a stale entry
};

using CandidateHeap = dgHeap<Candidate, double>;

// The candidates' heap over a block that starts small and doubles when
// full, up to a cap of eight entries an edge: most meshes (anything
// curved) offer few collapses and so hold little.
class CandidateQueue {
 public:
  static constexpr int kFirstBlock = 1024;

  explicit CandidateQueue(long long edgeCount)
      : mCap(8 * edgeCount + kFirstBlock), mBlock(Allocate(kFirstBlock)), mHeap(mBlock, mBlock ? kFirstBlock : 0) {}
  ~CandidateQueue() { dgFree(mBlock); }
  CandidateQueue(const CandidateQueue&) = delete;
  CandidateQueue& operator=(const CandidateQueue&) = delete;

  bool IsValid() const { return mBlock != nullptr; }
  CandidateHeap& Heap() { return mHeap; }
  // Adds a candidate; refused when the heap is at its cap or cannot grow.
  void Push(double key, const Candidate& candidate) {
    if (mHeap.Push(key, candidate)) return;
    const long long grown = 2LL * mHeap.GetCapacity() < mCap ? 2LL * mHeap.GetCapacity() : mCap;
    if (grown <= mHeap.GetCapacity()) return;
    CandidateHeap::Entry* block = Allocate(grown);
    if (!block) return;
    mHeap.MoveTo(block, static_cast<int>(grown));
    dgFree(mBlock);
    mBlock = block;
    mHeap.Push(key, candidate);
  }

 private:
  static CandidateHeap::Entry* Allocate(long long count) {
    return static_cast<CandidateHeap::Entry*>(dgMalloc(static_cast<size_t>(count) * sizeof(CandidateHeap::Entry)));
  }

  long long mCap;
  CandidateHeap::Entry* mBlock;
  CandidateHeap mHeap;
};

}  // namespace

class dgPolyhedraSimplifier {
 public:
  dgPolyhedraSimplifier(dgPolyhedra& mesh, const float* vertices, int strideBytes, double tolerance,
                        const int* patchOfFace, int faceIdCount)
      : mMesh(mesh),
        mVertices(vertices),
        mStride(strideBytes),
        mThreshold(tolerance * tolerance * 10.0),
        mPatchOfFace(patchOfFace),
        mFaceIdCount(faceIdCount) {}

  void Run() {
    int maxVertex = -1;
    for (auto* node = mMesh.GetFirstNode(); node; node = node->Next()) {
      if (node->GetInfo().vertex > maxVertex) maxVertex = node->GetInfo().vertex;
      if (!node->GetInfo().twin || !node->GetInfo().next) return;  // not closed by EndFace
    }
    if (maxVertex < 0 || maxVertex >= kMaxVertexIndex) return;
    mVertexCount = maxVertex + 1;
    dgStack<dgVector3d> positions(mVertexCount);
    dgStack<Quadric> quadrics(mVertexCount);
    dgStack<unsigned char> known(mVertexCount);
    CandidateQueue queue(mMesh.GetEdgeCount());
    if (!positions.IsValid() || !quadrics.IsValid() || !known.IsValid() || !queue.IsValid()) return;
    mPositions = positions.Data();
    mQuadrics = quadrics.Data();
    for (int v = 0; v < mVertexCount; ++v) known[v] = 0;

    for (auto* node = mMesh.GetFirstNode(); node; node = node->Next()) {
      dgEdge& e = node->GetInfo();
      e.mark = 0;
      if (!known[e.vertex]) {
        known[e.vertex] = 1;
        mPositions[e.vertex] = dgReadVertex3d(mVertices, mStride, e.vertex);
      }
    }
    double longestSquared = 0.0;
    for (auto* node = mMesh.GetFirstNode(); node; node = node->Next()) {
      const dgEdge& e = node->GetInfo();
      longestSquared = std::fmax(longestSquared, (Position(e.next->vertex) - Position(e.vertex)).LengthSquared());
    }
    mInverseLongestSquared = longestSquared > 0.0 ? 1.0 / longestSquared : 0.0;
    for (int v = 0; v < mVertexCount; ++v) known[v] = 0;
    for (auto* node = mMesh.GetFirstNode(); node; node = node->Next()) {
      dgEdge& e = node->GetInfo();
      if (!known[e.vertex]) {
        known[e.vertex] = 1;
        mQuadrics[e.vertex] = VertexQuadric(&e);
      }
    }

    CandidateHeap& heap = queue.Heap();
    for (auto* node = mMesh.GetFirstNode(); node; node = node->Next()) Consider(&node->GetInfo(), queue);

    while (heap.GetCount() > 0) {
      const Candidate candidate = heap.TopValue();
      const double stored = candidate.total;
      heap.Pop();
      dgEdge* e = mMesh.FindEdge(candidate.start, candidate.end);
      if (!e) continue;
      const double total = Total(e);
      if (std::fabs(total - stored) >= kStaleDifference || !(total < mThreshold)) continue;
      dgEdge* merged = Collapse(e);
      if (!merged) continue;
      Refresh(merged, queue);
    }
  }

 private:
  int MaxSteps() const { return mMesh.GetEdgeCount() + 1; }
  const dgVector3d& Position(int v) const { return mPositions[v]; }

  // Normal of e's face loop, optionally with vertex `moved` placed at `to`.
  dgVector3d FaceNormal(const dgEdge* face, int moved = -1, const dgVector3d* to = nullptr) const {
    auto at = [&](const dgEdge* e) -> const dgVector3d& { return e->vertex == moved ? *to : Position(e->vertex); };
    const dgVector3d v0 = at(face);
    dgVector3d sum;
    const dgEdge* e = face->next;
    dgVector3d previous = at(e) - v0;
    for (int steps = 0; e->next != face && steps < MaxSteps(); ++steps) {
      e = e->next;
      const dgVector3d current = at(e) - v0;
      sum = sum + previous.Cross(current);
      previous = current;
    }
    return sum;
  }

  // The plane standing on border edge `border` across the face beside it.
  void AddBorderPlane(Quadric& quadric, const dgEdge* border) const {
    const dgEdge* inside = border->twin;
    if (!inside || inside->face <= 0) return;
    dgVector3d faceNormal = FaceNormal(inside);
    const dgVector3d edge = Position(border->next->vertex) - Position(border->vertex);
    if (faceNormal.LengthSquared() < kPlaneNormalGuard || edge.LengthSquared() < kPlaneNormalGuard) return;
    dgVector3d n = faceNormal.Cross(edge);
    const double length = std::sqrt(n.LengthSquared());
    if (length < 1e-12) return;
    n = n * (1.0 / length);
    quadric.AddPlane(n, -n.Dot(Position(border->vertex)), kBorderWeight);
  }

  Quadric VertexQuadric(const dgEdge* leaving) const {
    Quadric quadric;
    const dgVector3d& p = Position(leaving->vertex);
    const dgEdge* e = leaving;
    int steps = 0;
    do {
      if (e->face > 0) {
        const dgVector3d n = (Position(e->next->vertex) - p).Cross(Position(e->prev->vertex) - p);
        const double lengthSquared = n.LengthSquared();
        if (lengthSquared > kPlaneNormalGuard) {
          const dgVector3d unit = n * (1.0 / std::sqrt(lengthSquared));
          quadric.AddPlane(unit, -unit.Dot(p), 1.0);
        }
      } else {
        AddBorderPlane(quadric, e);
      }
      if (e->twin->face < 0) AddBorderPlane(quadric, e->twin);
      e = e->twin->next;
    } while (e != leaving && ++steps < MaxSteps());
    return quadric;
  }

  // True when every face around e's start vertex lies in one patch.
  bool AroundOnePatch(const dgEdge* e) const {
    int patch = 0;
    const dgEdge* walk = e;
    int steps = 0;
    do {
      if (walk->face > 0) {
        const int own = walk->face < mFaceIdCount ? mPatchOfFace[walk->face] : 0;
        if (own == 0 || (patch != 0 && own != patch)) return false;
        patch = own;
      }
      walk = walk->twin->next;
    } while (walk != e && ++steps < MaxSteps());
    return true;
  }

  // 1 when collapsing e would fold or crush a face, or take its start
  // vertex away from faces of another patch, else 0.
  int FoldTest(const dgEdge* e) const {
    if (mPatchOfFace && !AroundOnePatch(e)) return 1;
    const int a = e->vertex;
    const dgVector3d& pa = Position(a);
    const dgVector3d& pb = Position(e->next->vertex);
    if ((pb - pa).LengthSquared() < kFoldMinEdgeSquared) return 1;
    const dgEdge* t = e->twin;
    if (e->face > 0 && t->face > 0) {
      const dgVector3d n1 = FaceNormal(e);
      const dgVector3d n2 = FaceNormal(t);
      const double l1 = n1.LengthSquared();
      const double l2 = n2.LengthSquared();
      if (l1 < kFoldMinNormalSquared || l2 < kFoldMinNormalSquared) return 1;
      if (n1.Dot(n2) / std::sqrt(l1 * l2) < kFoldOppositeDot) return 1;
      const dgEdge* walk = e;
      int steps = 0;
      do {
        if (walk->face < 0 || walk->twin->face < 0) return 1;
        walk = walk->twin->next;
      } while (walk != e && ++steps < MaxSteps());
    }
    const dgEdge* walk = e;
    int steps = 0;
    do {
      if (walk != e && walk != t->next && walk->face > 0) {
        const dgVector3d before = FaceNormal(walk);
        const dgVector3d after = FaceNormal(walk, a, &pb);
        const double lb = std::sqrt(before.LengthSquared());
        const double la = std::sqrt(after.LengthSquared());
        if (after.Dot(before) <= la * lb * kFoldTurnFraction) return 1;
        if (lb > kFoldShrinkFactor * la) return 1;
      }
      walk = walk->twin->next;
    } while (walk != e && ++steps < MaxSteps());
    return 0;
  }

  double Total(const dgEdge* e) const {
    double total = mQuadrics[e->vertex].Evaluate(Position(e->next->vertex));
    // A refused collapse must never qualify: rounding can leave the quadric
    // of a flat but tilted neighbourhood a hair below zero, where adding the
    // threshold would still come in under it.
    if (total < mThreshold && FoldTest(e) != 0) total = mThreshold;
    return total;
  }

  void Consider(const dgEdge* e, CandidateQueue& queue) const {
    if (!mPatchOfFace) {
      const double total = Total(e);
      if (total < mThreshold) queue.Push(kHeapKeyBase - total, Candidate{e->vertex, e->next->vertex, total});
      return;
    }
    // Inside flat patches nearly every collapse costs nothing: shorter edges
    // go first, so the mesh coarsens evenly and no vertex gathers a fan so
    // wide that every later test around it slows down. Most candidates go
    // stale before their turn, so the fold test waits for it.
    const double total = mQuadrics[e->vertex].Evaluate(Position(e->next->vertex));
    if (!(total < mThreshold)) return;
    const double lengthSquared = (Position(e->next->vertex) - Position(e->vertex)).LengthSquared();
    const double priority = total / mThreshold + lengthSquared * mInverseLongestSquared;
    queue.Push(kHeapKeyBase - priority, Candidate{e->vertex, e->next->vertex, total});
  }

  // Merges e's start vertex into its end vertex; returns a half-edge leaving
  // the merged vertex, or null (mesh unchanged) when the collapse is refused.
  dgEdge* Collapse(dgEdge* e) {
    dgEdge* t = e->twin;
    if (!t || (e->face < 0 && t->face < 0)) return nullptr;
    const int b = t->vertex;
    const int lengthE = mMesh.GetLoopLength(e);
    const int lengthT = mMesh.GetLoopLength(t);
    if (lengthE < 3 || lengthT < 3) return nullptr;
    const bool triangleE = lengthE == 3;
    const bool triangleT = lengthT == 3;
    if (triangleE && triangleT && e->prev->vertex == t->prev->vertex) return nullptr;

    dgEdge* removed[6] = {e, t, nullptr, nullptr, nullptr, nullptr};
    if (triangleE) {
      removed[2] = e->next;
      removed[3] = e->prev;
    }
    if (triangleT) {
      removed[4] = t->next;
      removed[5] = t->prev;
    }
    auto isRemoved = [&](const dgEdge* x) {
      for (const dgEdge* r : removed)
        if (r == x) return true;
      return false;
    };
    for (const dgEdge* r : removed)
      if (r && !r->twin) return nullptr;

    // The fan of edges leaving a must close, and none of them may land on a
    // directed edge that b already has.
    const int maxSteps = MaxSteps();
    dgStack<dgEdge*> fan(maxSteps);
    if (!fan.IsValid()) return nullptr;
    int fanCount = 0;
    dgEdge* walk = e;
    do {
      if (fanCount >= maxSteps) return nullptr;
      fan[fanCount++] = walk;
      walk = walk->twin->next;
    } while (walk != e);
    // The third vertex of a vanishing triangle keeps its edge pair with b:
    // they become twins of each other.
    const int thirdE = triangleE ? e->prev->vertex : -1;
    const int thirdT = triangleT ? t->prev->vertex : -1;
    for (int i = 0; i < fanCount; ++i) {
      dgEdge* x = fan[i];
      if (isRemoved(x)) continue;
      const int c = x->next->vertex;
      if (c == b) return nullptr;
      if (c == thirdE || c == thirdT) continue;
      const dgEdge* forward = mMesh.FindEdge(b, c);
      const dgEdge* backward = mMesh.FindEdge(c, b);
      if ((forward && !isRemoved(forward)) || (backward && !isRemoved(backward))) return nullptr;
    }

    dgEdge* endingAtA = nullptr;  // the edge d -> a that becomes d -> b on t's side
    if (triangleE) {
      dgEdge* x = e->next->twin;  // c -> b
      dgEdge* y = e->prev->twin;  // a -> c, becomes b -> c
      x->twin = y;
      y->twin = x;
    } else {
      e->prev->next = e->next;
      e->next->prev = e->prev;
    }
    if (triangleT) {
      dgEdge* x = t->next->twin;  // d -> a, becomes d -> b
      dgEdge* y = t->prev->twin;  // b -> d
      x->twin = y;
      y->twin = x;
      endingAtA = x;
    } else {
      t->prev->next = t->next;
      t->next->prev = t->prev;
    }
    for (dgEdge* r : removed) {
      if (r) mMesh.RemoveEdge(r);
    }

    dgEdge* result = nullptr;
    for (int i = 0; i < fanCount; ++i) {
      dgEdge* x = fan[i];
      if (isRemoved(x)) continue;
      const int c = x->next->vertex;
      mMesh.RekeyEdge(x, b, c);
      mMesh.RekeyEdge(x->twin, x->twin->vertex, b);
      if (!result) result = x;
    }
    if (endingAtA) mMesh.RekeyEdge(endingAtA, endingAtA->vertex, b);
    if (!result && !triangleE) result = e->next;
    return result;
  }

  // After a collapse: new quadrics around the merged vertex, new candidates.
  void Refresh(dgEdge* merged, CandidateQueue& queue) {
    mQuadrics[merged->vertex] = VertexQuadric(merged);
    const int mark = mMesh.IncrementMark();
    dgEdge* walk = merged;
    int steps = 0;
    do {
      dgEdge* back = walk->twin;
      mQuadrics[back->vertex] = VertexQuadric(back);
      walk = back->next;
    } while (walk != merged && ++steps < MaxSteps());
    walk = merged;
    steps = 0;
    do {
      walk->mark = mark;
      walk->twin->mark = mark;
      Consider(walk, queue);
      Consider(walk->twin, queue);
      walk = walk->twin->next;
    } while (walk != merged && ++steps < MaxSteps());
  }

  dgPolyhedra& mMesh;
  const float* mVertices;
  int mStride;
  double mThreshold;
  const int* mPatchOfFace;  // patch of each face id (0: none), or null
  int mFaceIdCount;
  double mInverseLongestSquared = 0.0;
  int mVertexCount = 0;
  dgVector3d* mPositions = nullptr;
  Quadric* mQuadrics = nullptr;
};

void dgPolyhedraSimplify(dgPolyhedra& mesh, const float* vertices, int strideBytes, double tolerance,
                         const int* patchOfFace, int faceIdCount) {
  dgPolyhedraSimplifier simplifier(mesh, vertices, strideBytes, tolerance, patchOfFace, faceIdCount);
  simplifier.Run();
}
