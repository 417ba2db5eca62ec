#include "physics/shapes/dgConvexCollision.h"

#include <cmath>

#include "physics/body/dgBody.h"
#include "physics/shapes/dgMassIntegrator.h"

namespace {

// Calls visit(count, vertexIndices) once for each face loop of a hull's edge
// table (a corrupt loop stops after edgeCount edges).
template <class Visit>
void ForEachHullLoop(const dgConvexEdge* edges, int edgeCount, Visit visit) {
  unsigned char marks[dgConvexCollision::kMaxHullEdges] = {};
  int vertexIndices[dgConvexCollision::kMaxHullEdges];
  for (int i = 0; i < edgeCount; ++i) {
    if (marks[i]) continue;
    int count = 0;
    const dgConvexEdge* edge = &edges[i];
    do {
      marks[edge - edges] = 1;
      vertexIndices[count++] = edge->vertex;
      edge = edge->next;
    } while (edge != &edges[i] && count < edgeCount);
    visit(count, vertexIndices);
  }
}

}  // namespace

dgConvexCollision::dgConvexCollision(uint32_t signature, const dgMatrix& offset, uint32_t kind)
    : dgCollision(signature, offset, kind) {}

dgConvexCollision::~dgConvexCollision() {
  // Primitives clear both pointers when they point at memory they do not own.
  dgFree(vertices_);
  dgFree(edges_);
}

bool dgConvexCollision::SetUpHull() {
  if (!vertices_ || !edges_ || vertexCount_ < 4 || vertexCount_ > kMaxHullVertices || edgeCount_ < 6 ||
      edgeCount_ > kMaxHullEdges) {
    vertexCount_ = 0;
    edgeCount_ = 0;
    return false;
  }

  // Volume and centre of mass of the hull, one face at a time.
  dgMassIntegrator integrator;
  dgVector face[kMaxHullEdges];
  ForEachHullLoop(edges_, edgeCount_, [&](int count, const int* vertexIndices) {
    if (count < 3) return;
    for (int k = 0; k < count; ++k) face[k] = vertices_[vertexIndices[k]];
    dgVector normal = (face[1] - face[0]).CrossProduct(face[2] - face[0]);
    normal = normal.Scale(1.0f / std::sqrt(normal.LengthSquared() + 1e-8f));
    integrator.AddFace(count, face, normal, false);
  });
  volume_ = integrator.Volume();
  const float divisor = volume_ > 0.001f ? volume_ : 0.001f;
  centreOfMass_ = integrator.FirstMoment().Scale(0.5f / divisor);
  centreOfMass_.w = 0.0f;

  // Extreme edges by the unseeded climb from the first edge.
  static const dgVector kAxes[6] = {{1, 0, 0, 0},  {-1, 0, 0, 0}, {0, 1, 0, 0},
                                    {0, -1, 0, 0}, {0, 0, 1, 0},  {0, 0, -1, 0}};
  for (int i = 0; i < 6; ++i) extremeEdges_[i] = ClimbFrom(&edges_[0], kAxes[i], edgeCount_ * edgeCount_);

  // Local box from the (possibly exact) support of the primitive.
  dgVector minCorner;
  dgVector maxCorner;
  for (int axis = 0; axis < 3; ++axis) {
    maxCorner[axis] = SupportVertex(kAxes[2 * axis])[axis];
    minCorner[axis] = SupportVertex(kAxes[2 * axis + 1])[axis];
  }
  boxSize_ = (maxCorner - minCorner).Scale(0.5f);
  boxCentre_ = (maxCorner + minCorner).Scale(0.5f);
  boxSize_.w = 0.0f;
  boxCentre_.w = 0.0f;
  return true;
}

const dgConvexEdge* dgConvexCollision::ClimbFrom(const dgConvexEdge* seed, const dgVector& dir,
                                                 int candidateLimit) const {
  const dgConvexEdge* start = seed;
  const dgConvexEdge* candidate = seed;
  float best = dir.DotProduct(vertices_[seed->vertex]);
  int examined = 0;
  do {
    const dgConvexEdge* twin = candidate->twin;
    const float value = dir.DotProduct(vertices_[twin->vertex]);
    if (value > best) {
      best = value;
      start = twin;
      candidate = twin;
    }
    candidate = candidate->twin->next;
    ++examined;
  } while (candidate != start && examined < candidateLimit);
  return start;
}

dgVector dgConvexCollision::HullSupportVertex(const dgVector& dir) const {
  if (edgeCount_ == 0) return {0.0f, 0.0f, 0.0f, 0.0f};
  const dgConvexEdge* seed = &edges_[0];
  float best = 0.0f;
  const float components[6] = {dir.x, -dir.x, dir.y, -dir.y, dir.z, -dir.z};
  for (int i = 0; i < 6; ++i) {
    if (components[i] > best) {
      best = components[i];
      seed = extremeEdges_[i];
    }
  }
  return vertices_[ClimbFrom(seed, dir, kMaxClimbCandidates)->vertex];
}

dgVector dgConvexCollision::SupportVertex(const dgVector& dir) const { return HullSupportVertex(dir); }

void dgConvexCollision::CalcAABB(const dgMatrix& matrix, dgVector& outMin, dgVector& outMax) const {
  const dgVector centre = matrix.TransformVector(boxCentre_);
  dgVector extent;
  for (int j = 0; j < 3; ++j) {
    extent[j] = std::fabs(matrix.front[j]) * boxSize_.x + std::fabs(matrix.up[j]) * boxSize_.y +
                std::fabs(matrix.right[j]) * boxSize_.z;
  }
  outMin = centre - extent;
  outMax = centre + extent;
}

void dgConvexCollision::ForEachFace(const dgBody* body, dgFaceCallback callback) const {
  if (edgeCount_ == 0) return;
  const dgMatrix matrix = GetOffsetMatrix().Multiply(body->matrix);
  dgVector mapped[kMaxHullVertices];
  for (int i = 0; i < vertexCount_; ++i) mapped[i] = matrix.TransformVector(vertices_[i]);

  float triples[3 * kMaxHullEdges];
  ForEachHullLoop(edges_, edgeCount_, [&](int count, const int* vertexIndices) {
    for (int k = 0; k < count; ++k) {
      const dgVector& p = mapped[vertexIndices[k]];
      triples[3 * k] = p.x;
      triples[3 * k + 1] = p.y;
      triples[3 * k + 2] = p.z;
    }
    callback(body, count, triples, 0);
  });
}
