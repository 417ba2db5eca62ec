#include "physics/mesh/dgPolyhedra.h"

#include "physics/memory/dgStack.h"
#include "physics/mesh/dgPolyhedraGeometry.h"

namespace {

// Faces longer than this are refused (the scratch key list is on the stack).
constexpr int kMaxFaceIndices = 4096;

}  // namespace

dgEdge* dgPolyhedra::InsertEdge(int start, int end, int face, int64_t userData) {
  dgEdge edge;
  edge.userData = userData;
  edge.face = face;
  edge.vertex = start;
  EdgeNode* node = edges_.Insert(edge, EdgeKey(start, end));
  if (!node) return nullptr;
  node->GetInfo().node = node;
  return &node->GetInfo();
}

void dgPolyhedra::RemoveEdge(dgEdge* e) { edges_.Remove(static_cast<EdgeNode*>(e->node)); }

bool dgPolyhedra::RekeyEdge(dgEdge* e, int start, int end) {
  if (!edges_.ReplaceKey(static_cast<EdgeNode*>(e->node), EdgeKey(start, end))) return false;
  e->vertex = start;
  return true;
}

void dgPolyhedra::RemoveEdgePair(dgEdge* e) {
  dgEdge* t = e->twin;
  // e.prev -> e -> e.next and t.prev -> t -> t.next become e.prev -> t.next
  // and t.prev -> e.next.
  if (e->next != t) {
    e->next->prev = t->prev;
    t->prev->next = e->next;
  }
  if (t->next != e) {
    t->next->prev = e->prev;
    e->prev->next = t->next;
  }
  RemoveEdge(e);
  RemoveEdge(t);
}

int dgPolyhedra::GetLoopLength(const dgEdge* e) const {
  const int limit = GetEdgeCount();
  int length = 0;
  const dgEdge* walk = e;
  do {
    if (!walk || ++length > limit) return -1;
    walk = walk->next;
  } while (walk != e);
  return length;
}

dgEdge* dgPolyhedra::AddFace(int count, const int* indices) { return AddFaceWithData(count, indices, nullptr); }

dgEdge* dgPolyhedra::AddTriangle(int a, int b, int c) {
  const int indices[3] = {a, b, c};
  return AddFace(3, indices);
}

dgEdge* dgPolyhedra::AddFaceWithData(int count, const int* indices, const int64_t* userData) {
  if (!indices || count < 3 || count > kMaxFaceIndices) return nullptr;
  int64_t seen[kMaxFaceIndices];
  int previous = indices[count - 1];
  for (int i = 0; i < count; ++i) {
    const int current = indices[i];
    if (current < 0 || previous == current) return nullptr;
    const int64_t forward = EdgeKey(previous, current);
    const int64_t backward = EdgeKey(current, previous);
    for (int k = 0; k < i; ++k) {
      if (seen[k] == forward || seen[k] == backward) return nullptr;
    }
    if (edges_.Find(forward)) return nullptr;
    seen[i] = forward;
    previous = current;
  }

  const int face = faceCounter_ + 1;
  dgEdge* first = nullptr;
  dgEdge* last = nullptr;
  for (int i = 0; i < count; ++i) {
    const int start = indices[i];
    const int end = indices[(i + 1) % count];
    dgEdge* e = InsertEdge(start, end, face, userData ? userData[i] : 0);
    if (!e) {
      // Out of nodes: take back what was added.
      for (dgEdge* walk = first; walk;) {
        dgEdge* following = walk->next;
        RemoveEdge(walk);
        walk = following;
      }
      return nullptr;
    }
    if (last) {
      last->next = e;
      e->prev = last;
    } else {
      first = e;
    }
    last = e;
  }
  last->next = first;
  first->prev = last;
  faceCounter_ = face;
  return first;
}

dgEdge* dgPolyhedra::FindEdge(int start, int end) const {
  EdgeNode* node = edges_.Find(EdgeKey(start, end));
  return node ? &node->GetInfo() : nullptr;
}

void dgPolyhedra::EndFace() {
  // Twins between faces.
  for (EdgeNode* node = edges_.Minimum(); node; node = node->Next()) {
    dgEdge& e = node->GetInfo();
    if (e.twin || !e.next) continue;
    if (dgEdge* twin = FindEdge(e.next->vertex, e.vertex)) {
      if (!twin->twin) {
        e.twin = twin;
        twin->twin = &e;
      }
    }
  }

  // Open borders: a face -1 twin for every edge still alone.
  const int count = GetEdgeCount();
  dgStack<dgEdge*> border(count);
  if (!border.IsValid()) return;
  int borderCount = 0;
  for (EdgeNode* node = edges_.Minimum(); node; node = node->Next()) {
    dgEdge& e = node->GetInfo();
    if (e.twin || !e.next || e.face < 0) continue;
    dgEdge* twin = InsertEdge(e.next->vertex, e.vertex, -1, 0);
    if (!twin) continue;
    e.twin = twin;
    twin->twin = &e;
    border[borderCount++] = twin;
  }

  // Link the border edges into loops: the edge before b is the border edge
  // that ends where b starts, found by turning around that vertex.
  const int limit = GetEdgeCount();
  for (int i = 0; i < borderCount; ++i) {
    dgEdge* b = border[i];
    dgEdge* walk = b->twin->next;
    for (int step = 0; walk && step < limit; ++step) {
      dgEdge* around = walk->twin;
      if (!around) break;
      if (!around->next && around->face < 0) {
        around->next = b;
        b->prev = around;
        break;
      }
      walk = around->next;
    }
  }
}

void dgPolyhedra::DeleteFace(dgEdge* faceEdge) {
  const int length = GetLoopLength(faceEdge);
  if (length < 0) return;
  dgStack<dgEdge*> loop(length);
  if (!loop.IsValid()) return;
  dgEdge* walk = faceEdge;
  for (int i = 0; i < length; ++i, walk = walk->next) {
    walk->face = -1;
    loop[i] = walk;
  }
  for (int i = 0; i < length; ++i) {
    dgEdge* e = loop[i];
    if (e && !e->twin) {
      // Not closed by EndFace yet: nothing is on its other side.
      e->prev->next = e->next;
      e->next->prev = e->prev;
      RemoveEdge(e);
    } else if (e && e->twin->face < 0) {
      // The twin may be a later entry of this loop: forget it there.
      for (int k = i + 1; k < length; ++k) {
        if (loop[k] == e->twin) loop[k] = nullptr;
      }
      RemoveEdgePair(e);
    }
  }
}

dgVector3d dgPolyhedraFaceNormal3d(const dgEdge* faceEdge, const float* vertices, int strideBytes, int maxEdges) {
  const dgVector3d v0 = dgReadVertex3d(vertices, strideBytes, faceEdge->vertex);
  dgVector3d sum;
  const dgEdge* e = faceEdge->next;
  dgVector3d previous = dgReadVertex3d(vertices, strideBytes, e->vertex) - v0;
  for (int steps = 0; e->next != faceEdge && steps < maxEdges; ++steps) {
    e = e->next;
    const dgVector3d current = dgReadVertex3d(vertices, strideBytes, e->vertex) - v0;
    sum = sum + previous.Cross(current);
    previous = current;
  }
  return sum;
}

dgVector dgPolyhedraFaceNormal(const dgEdge* faceEdge, const float* vertices, int strideBytes, int maxEdges) {
  const dgVector3d sum = dgPolyhedraFaceNormal3d(faceEdge, vertices, strideBytes, maxEdges);
  return dgVector(static_cast<float>(sum.x), static_cast<float>(sum.y), static_cast<float>(sum.z), 0.0f);
}
