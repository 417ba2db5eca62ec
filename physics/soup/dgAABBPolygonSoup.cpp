#include "physics/soup/dgAABBPolygonSoup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "physics/memory/dgHeap.h"
#include "physics/memory/dgMemory.h"
#include "physics/memory/dgReport.h"
#include "physics/memory/dgStack.h"
#include "physics/soup/dgPolygonSoupBuilder.h"

namespace {

constexpr float kHuge = 1.0e10f;

uint32_t SignBit(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits & 0x80000000u;
}

// True when box [lo, hi] overlaps [p0, p1]; a difference of -0.0 counts as
// apart, exactly as the sign bits say.
bool Overlaps(const float* lo, const float* hi, const dgVector& p0, const dgVector& p1) {
  uint32_t signs = 0;
  for (int axis = 0; axis < 3; ++axis) signs |= SignBit(hi[axis] - p0[axis]) | SignBit(p1[axis] - lo[axis]);
  return signs == 0;
}

const float* VertexAt(const float* vertices, int index) {
  return vertices + static_cast<long long>(index & dgAABBPolygonSoup::kIndexMask) * 3;
}

void FaceBox(const float* vertices, const int* indices, int count, float* lo, float* hi) {
  for (int axis = 0; axis < 3; ++axis) {
    lo[axis] = kHuge;
    hi[axis] = -kHuge;
  }
  for (int i = 0; i < count; ++i) {
    const float* p = VertexAt(vertices, indices[i]);
    for (int axis = 0; axis < 3; ++axis) {
      lo[axis] = p[axis] < lo[axis] ? p[axis] : lo[axis];
      hi[axis] = p[axis] > hi[axis] ? p[axis] : hi[axis];
    }
  }
}

// Clips the segment to the side of a plane where distance has its sign bit
// set; false when both ends lie outside.
bool ClipToPlane(dgVector& a, dgVector& b, float distanceA, float distanceB) {
  const bool insideA = SignBit(distanceA) != 0;
  const bool insideB = SignBit(distanceB) != 0;
  if (!insideA && !insideB) return false;
  if (insideA && insideB) return true;
  const float t = distanceA / (distanceA - distanceB);
  const dgVector onPlane = a + (b - a).Scale(t);
  (insideA ? b : a) = onPlane;
  return true;
}

// The (k + 1)-th smallest of count values (none NaN), reordering them. The
// values of a tree's faces fall on either side of any pivot at random, so
// the quickselect partitions swap unconditionally (a value on the wrong
// side trades places with another on the same side) and small sets are
// settled by counting ranks, all without branches on the values.
float SelectSmallest(float* values, int count, int k) {
  constexpr int kSmall = 8;
  while (count > kSmall) {
    const float a = values[0];
    const float b = values[count / 2];
    const float c = values[count - 1];
    const float pivot = a < b ? (b < c ? b : (a < c ? c : a)) : (a < c ? a : (b < c ? c : b));
    // Values below the pivot to the front, then those equal to it.
    int below = 0;
    for (int i = 0; i < count; ++i) {
      const float value = values[i];
      values[i] = values[below];
      values[below] = value;
      below += value < pivot;
    }
    if (k < below) {
      count = below;
      continue;
    }
    int equal = below;
    for (int i = below; i < count; ++i) {
      const float value = values[i];
      values[i] = values[equal];
      values[equal] = value;
      equal += !(pivot < value);
    }
    if (k < equal) return pivot;
    values += equal;
    count -= equal;
    k -= equal;
  }
  // The value with fewer than k + 1 values below it and more than k at or below it.
  float found = values[0];
  for (int i = 0; i < count; ++i) {
    int less = 0;
    int notMore = 0;
    for (int j = 0; j < count; ++j) {
      less += values[j] < values[i];
      notMore += !(values[i] < values[j]);
    }
    found = less <= k && k < notMore ? values[i] : found;
  }
  return found;
}

// Reads count elements of elementBytes into a new dgMalloc block, growing it
// as the data arrives so that a lying count costs no more than the stream
// really holds. Null on a short stream (or no memory).
void* ReadArray(dgSoupReadCallback read, void* handle, long long count, size_t elementBytes) {
  constexpr long long kChunk = 65536;
  unsigned char* data = nullptr;
  long long have = 0;
  while (have < count) {
    const long long step = count - have < kChunk ? count - have : kChunk;
    auto* grown = static_cast<unsigned char*>(dgMalloc(static_cast<size_t>(have + step) * elementBytes));
    if (!grown) break;
    if (data) std::memcpy(grown, data, static_cast<size_t>(have) * elementBytes);
    dgFree(data);
    data = grown;
    const size_t bytes = static_cast<size_t>(step) * elementBytes;
    if (read(handle, data + static_cast<size_t>(have) * elementBytes, bytes) != bytes) break;
    have += step;
  }
  if (have == count && data) return data;
  dgFree(data);
  return nullptr;
}

bool ReadCount(dgSoupReadCallback read, void* handle, int& outCount) {
  int32_t count = 0;
  if (read(handle, &count, sizeof count) != sizeof count || count < 0) return false;
  outCount = count;
  return true;
}

}  // namespace

dgPolygonSoupDatabase::~dgPolygonSoupDatabase() { FreeVertices(); }

void dgPolygonSoupDatabase::FreeVertices() {
  dgFree(vertices_);
  vertices_ = nullptr;
  vertexCount_ = 0;
}

struct dgAABBPolygonSoup::Stub {
  float minimum[3];
  float maximum[3];
  int start;
  int length;
};

dgAABBPolygonSoup::~dgAABBPolygonSoup() { FreeTree(); }

void dgAABBPolygonSoup::FreeTree() {
  dgFree(nodes_);
  dgFree(indices_);
  nodes_ = nullptr;
  indices_ = nullptr;
  nodeCount_ = 0;
  indexCount_ = 0;
  depth_ = 0;
  rayTree_.Clear();
}

bool dgAABBPolygonSoup::Create(const dgPolygonSoupDatabaseBuilder& builder) {
  if (!CreateFaceTree(builder)) return false;
  BuildRayTree();
  return true;
}

bool dgAABBPolygonSoup::CreateFaceTree(const dgPolygonSoupDatabaseBuilder& builder,
                                       dgPolygonSoupDatabaseBuilder* giver) {
  FreeTree();
  FreeVertices();
  const int faceCount = builder.GetFaceCount();
  if (faceCount < 2 || builder.GetIndexCount() >= kMaxIndexPosition) return true;
  const int* counts = builder.GetFaceIndexCounts();
  const int* indices = builder.GetIndices();
  const float* vertices = builder.GetVertices();
  if (!vertices) return false;
  for (int f = 0; f < faceCount; ++f) {
    if (counts[f] - 1 > kMaxLeafIndices) return true;
  }

  dgStack<Stub> stubs(faceCount);
  if (!stubs.IsValid()) return false;
  for (int f = 0, at = 0; f < faceCount; at += counts[f], ++f) {
    Stub& stub = stubs[f];
    FaceBox(vertices, indices + at + 1, counts[f] - 1, stub.minimum, stub.maximum);
    for (int axis = 0; axis < 3; ++axis) {
      stub.minimum[axis] -= kFaceBoxPadding;
      stub.maximum[axis] += kFaceBoxPadding;
    }
    stub.start = at;
    stub.length = counts[f];
  }

  const int vertexCount = builder.GetVertexCount();
  const int indexCount = builder.GetIndexCount();
  int* givenIndices = nullptr;
  float* givenVertices = nullptr;
  if (giver) giver->HandOverFullArrays(givenIndices, givenVertices);
  nodes_ = static_cast<Node*>(dgMalloc(static_cast<size_t>(faceCount - 1) * sizeof(Node)));
  indices_ = givenIndices ? givenIndices : static_cast<int*>(dgMalloc(static_cast<size_t>(indexCount) * sizeof(int)));
  vertices_ = givenVertices ? givenVertices : static_cast<float*>(dgMalloc(static_cast<size_t>(vertexCount) * 12));
  if (!nodes_ || !indices_ || (vertexCount > 0 && !vertices_)) {
    FreeTree();
    FreeVertices();
    if (giver) giver->Clear();
    return false;
  }
  nodeCount_ = faceCount - 1;
  indexCount_ = indexCount;
  if (!givenIndices) std::memcpy(indices_, indices, static_cast<size_t>(indexCount_) * sizeof(int));
  vertexCount_ = vertexCount;
  vertexStride_ = 12;
  if (vertexCount > 0 && !givenVertices) std::memcpy(vertices_, vertices, static_cast<size_t>(vertexCount) * 12);
  if (giver) giver->Clear();

  dgStack<float> keys(faceCount);
  int counter = 1;
  if (!keys.IsValid() || !BuildNode(0, stubs.Data(), faceCount, counter, 1, keys.Data())) {
    FreeTree();
    FreeVertices();
    return false;
  }
  return true;
}

bool dgAABBPolygonSoup::SplitValue(const Stub* stubs, int count, int axis, float nodeMax, float* keys,
                                   float& outSplit) {
  // The heap pops the largest key first, so its (count / 2)-th pop holds the
  // (count / 2)-th largest key, which (the key falling as the maximum rises)
  // is the key of the (count / 2)-th smallest maximum. Selecting that
  // maximum directly gives the same split unless a different maximum rounds
  // to the same key (only the nearest maxima below and above can), or the
  // keys are not finite: then the order in which the heap pops equal keys
  // decides, and the heap itself runs.
  const int pops = count / 2;
  const float twice = 2.0f * nodeMax;
  if (std::isfinite(twice)) {
    for (int i = 0; i < count; ++i) keys[i] = stubs[i].maximum[axis];
    const float split = SelectSmallest(keys, count, pops - 1);
    // The nearest maxima below and above the split (the split itself when
    // none); the maxima here are finite, so infinities mark "none".
    constexpr float kNone = std::numeric_limits<float>::infinity();
    float below = -kNone;
    float above = kNone;
    for (int i = 0; i < count; ++i) {
      const float value = keys[i];
      below = value < split && value > below ? value : below;
      above = value > split && value < above ? value : above;
    }
    if (below == -kNone) below = split;
    if (above == kNone) above = split;
    const float key = twice - split;
    if ((below == split || twice - below != key) && (above == split || twice - above != key)) {
      outSplit = split;
      return true;
    }
  }
  using Heap = dgHeap<int, float>;
  dgStack<Heap::Entry> storage(count);
  if (!storage.IsValid()) return false;
  Heap heap(storage.Data(), count);
  for (int i = 0; i < count; ++i) heap.Push(2.0f * nodeMax - stubs[i].maximum[axis], i);
  int last = 0;
  for (int i = 0; i < pops; ++i) {
    last = heap.TopValue();
    heap.Pop();
  }
  outSplit = stubs[last].maximum[axis];
  return true;
}

bool dgAABBPolygonSoup::BuildNode(int nodeIndex, Stub* stubs, int count, int& counter, int depth, float* keys) {
  for (;;) {
    if (depth > depth_) depth_ = depth;
    Node& node = nodes_[nodeIndex];
    // The node's box and the spread of the stub centres on each axis, in one
    // pass (each axis keeps its own sums, added in stub order).
    float low[3] = {kHuge, kHuge, kHuge};
    float high[3] = {-kHuge, -kHuge, -kHuge};
    double sum[3] = {0.0, 0.0, 0.0};
    double sumSquares[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < count; ++i) {
      for (int axis = 0; axis < 3; ++axis) {
        const float minimum = stubs[i].minimum[axis];
        const float maximum = stubs[i].maximum[axis];
        low[axis] = minimum < low[axis] ? minimum : low[axis];
        high[axis] = maximum > high[axis] ? maximum : high[axis];
        const double centre = (static_cast<double>(minimum) + maximum) * 0.5;
        sum[axis] += centre;
        sumSquares[axis] += centre * centre;
      }
    }
    for (int axis = 0; axis < 3; ++axis) {
      node.minimum[axis] = low[axis];
      node.maximum[axis] = high[axis];
    }

    int left = 1;
    if (count > 2) {
      double spread[3];
      for (int axis = 0; axis < 3; ++axis) spread[axis] = count * sumSquares[axis] - sum[axis] * sum[axis];
      int axis = 1;
      if (spread[0] >= spread[1] && spread[0] >= spread[2]) {
        axis = 0;
      } else if (spread[2] > spread[1]) {
        axis = 2;
      }

      // The (count / 2)-th smallest face maximum on the axis splits the set.
      float split = 0.0f;
      if (!SplitValue(stubs, count, axis, node.maximum[axis], keys, split)) return false;
      // Stubs below the split swap, in order, with the first not yet moved
      // (a stub that stays swaps with itself, which keeps the loop free of
      // branches).
      left = 0;
      for (int i = 0; i < count; ++i) {
        const bool below = stubs[i].maximum[axis] < split;
        const int other = below ? left : i;
        const Stub moved = stubs[i];
        stubs[i] = stubs[other];
        stubs[other] = moved;
        left += below;
      }
      if (left == 0 || left == count) left = count / 2;
    }

    const int right = count - left;
    const int leftNode = left > 1 ? counter++ : 0;
    const int rightNode = right > 1 ? counter++ : 0;
    const auto leafLink = [](const Stub& stub) {
      return static_cast<uint32_t>(stub.start + 1) * 256u + static_cast<uint32_t>(stub.length - 1) * 2u + kLeafBit;
    };
    node.left = left > 1 ? static_cast<uint32_t>(leftNode) << 1 : leafLink(stubs[0]);
    node.right = right > 1 ? static_cast<uint32_t>(rightNode) << 1 : leafLink(stubs[left]);
    if (left > 1 && !BuildNode(leftNode, stubs, left, counter, depth + 1, keys)) return false;
    if (right <= 1) return true;
    nodeIndex = rightNode;
    stubs += left;
    count = right;
    ++depth;
  }
}

bool dgAABBPolygonSoup::GetAABB(dgVector& outMin, dgVector& outMax) const {
  if (!nodes_) return dgPolygonSoupDatabase::GetAABB(outMin, outMax);
  outMin = dgVector(nodes_[0].minimum, 1.0f);
  outMax = dgVector(nodes_[0].maximum, 1.0f);
  return true;
}

template <class NodeTest, class LeafVisit>
void dgAABBPolygonSoup::WalkTree(NodeTest enters, LeafVisit visit) const {
  if (!nodes_) return;
  // The tree's depth is only known at run time: deep trees take their stack
  // from the heap rather than overflow the one on the call stack.
  int local[kLocalStackDepth + 2];
  dgStack<int> deep(depth_ + 2 > kLocalStackDepth + 2 ? depth_ + 2 : 0);
  int* stack = deep.IsValid() ? deep.Data() : local;
  if (depth_ + 2 > kLocalStackDepth + 2 && !deep.IsValid()) return;
  int top = 0;
  stack[top++] = 0;
  while (top > 0) {
    const Node& node = nodes_[stack[--top]];
    if (!enters(node)) continue;
    for (const uint32_t link : {node.left, node.right}) {
      if (!IsLeaf(link)) {
        stack[top++] = ChildNode(link);
      } else if (!visit(indices_ + LeafPosition(link), LeafIndexCount(link))) {
        return;
      }
    }
  }
}

bool dgAABBPolygonSoup::FaceOverlapsBox(const int* indices, int count, const dgVector& p0, const dgVector& p1) const {
  float lo[3];
  float hi[3];
  FaceBox(vertices_, indices, count, lo, hi);
  return Overlaps(lo, hi, p0, p1);
}

void dgAABBPolygonSoup::ForAllFacesInAABB(const dgVector& p0, const dgVector& p1, dgAABBFaceCallback callback,
                                          void* context) const {
  WalkTree([&](const Node& node) { return Overlaps(node.minimum, node.maximum, p0, p1); },
           [&](const int* face, int count) {
             return !FaceOverlapsBox(face, count, p0, p1) || callback(context, vertices_, 12, face, count) != 0;
           });
}

void dgAABBPolygonSoup::ForAllFacesInRay(const dgVector& p0, const dgVector& p1, dgAABBFaceCallback callback,
                                         void* context) const {
  WalkTree([&](const Node& node) { return SegmentCrossesNode(node, p0, p1); },
           [&](const int* face, int count) { return callback(context, vertices_, 12, face, count) != 0; });
}

void dgAABBPolygonSoup::ForFacesInRayWithin(const dgVector& p0, const dgVector& p1, const float* reach,
                                            dgAABBFaceCallback callback, void* context) const {
  if (!nodes_) return;
  const dgRaySlabs ray(p0, p1, nodes_[0].minimum, nodes_[0].maximum);
  const auto visit = [&](uint32_t link) {
    return callback(context, vertices_, 12, indices_ + LeafPosition(link), LeafIndexCount(link)) != 0;
  };
  // Boxes say nothing sure about a segment that is not finite; without the
  // ray tree (or room for a deep walk) the plain walk serves.
  if (!ray.IsFinite() || !rayTree_.IsBuilt() || !rayTree_.Walk(ray, reach, visit)) {
    ForAllFacesInRay(p0, p1, callback, context);
  }
}

int dgAABBPolygonSoup::RayTreeChildren(const Node& node, int shape, uint32_t* links) const {
  // The shapes: 0 the two links; 1 and 2 the left or right child opened
  // into its two links; 3 both; 4 and 5 the left child and then its left
  // or right child opened; 6 and 7 the same on the right.
  static constexpr struct {
    int8_t first;   // which link opens first (-1 none, 0 left, 1 right)
    int8_t second;  // which link of the result opens next (-1 none)
  } kShapes[] = {{-1, -1}, {0, -1}, {1, -1}, {0, 2}, {0, 0}, {0, 1}, {1, 1}, {1, 2}};
  int count = 2;
  links[0] = node.left;
  links[1] = node.right;
  const auto open = [&](int at) {
    if (IsLeaf(links[at])) return false;
    const Node& child = nodes_[ChildNode(links[at])];
    for (int i = count; i > at + 1; --i) links[i] = links[i - 1];
    links[at] = child.left;
    links[at + 1] = child.right;
    ++count;
    return true;
  };
  if (kShapes[shape].first >= 0 && !open(kShapes[shape].first)) return 0;
  if (kShapes[shape].second >= 0 && !open(kShapes[shape].second)) return 0;
  return count;
}

void dgAABBPolygonSoup::BuildRayTree() {
  rayTree_.Clear();
  if (!nodes_) return;
  using RayNode = dgSoupRayTree::Node;
  constexpr int kWidth = dgSoupRayTree::kWidth;
  constexpr int kShapeCount = 8;
  // Each ray node is made from a face tree node by opening up to two of
  // the links below it into their children, in whichever of the shapes
  // leaves the fewest ray nodes below (counted from the leaves up), so
  // that nodes hold four children where the face tree allows.
  struct Plan {
    int fewest;     // ray nodes the node's subtree needs, its own included
    int opened;     // ray nodes below its two links, taken as they stand
    int openLeft;   // the same with its left link opened (kOut: a face)
    int openRight;  // the same with its right link opened
  };
  constexpr int kOut = 1 << 28;
  dgStack<Plan> plans(nodeCount_);
  dgStack<unsigned char> shapeOf(nodeCount_);
  struct Work {
    int node;    // face tree node the ray node is made from
    int number;  // of the ray node
  };
  dgStack<Work> work(nodeCount_ + 1);
  if (!plans.IsValid() || !shapeOf.IsValid() || !work.IsValid()) return;
  // Children before their parents: every tree (built, or read and
  // checked) reaches each node from the root and numbers each child after
  // its parent, so backwards through the array, in memory order.
  const auto kept = [&](uint32_t link) { return IsLeaf(link) ? 0 : plans[ChildNode(link)].fewest; };
  for (int node = nodeCount_ - 1; node >= 0; --node) {
    const uint32_t left = nodes_[node].left;
    const uint32_t right = nodes_[node].right;
    const Plan* l = IsLeaf(left) ? nullptr : &plans[ChildNode(left)];
    const Plan* r = IsLeaf(right) ? nullptr : &plans[ChildNode(right)];
    // The shapes in RayTreeChildren's order; a shape opening a face is out.
    const int below[kShapeCount] = {
        kept(left) + kept(right),
        l ? l->opened + kept(right) : kOut,
        r ? kept(left) + r->opened : kOut,
        l && r ? l->opened + r->opened : kOut,
        l ? l->openLeft + kept(right) : kOut,
        l ? l->openRight + kept(right) : kOut,
        r ? kept(left) + r->openLeft : kOut,
        r ? kept(left) + r->openRight : kOut,
    };
    // Equal counts keep the shape found first (the fewer links opened).
    int best = 0;
    for (int shape = 1; shape < kShapeCount; ++shape) best = below[shape] < below[best] ? shape : best;
    Plan& plan = plans[node];
    plan.fewest = below[best] + 1;
    plan.opened = below[0];
    plan.openLeft = l ? l->opened + kept(right) : kOut;
    plan.openRight = r ? kept(left) + r->opened : kOut;
    shapeOf[node] = static_cast<unsigned char>(best);
  }
  // The ray tree is never deeper than the face tree.
  const int rayNodeCount = plans[0].fewest;
  const int depth = depth_;
  auto* nodes = static_cast<RayNode*>(dgMalloc(static_cast<size_t>(rayNodeCount) * sizeof(RayNode)));
  dgStack<int> parentSlot(rayNodeCount);
  if (!nodes || !parentSlot.IsValid()) {
    dgFree(nodes);
    return;
  }
  constexpr float kEmpty = std::numeric_limits<float>::infinity();
  int made = 1;
  int top = 0;
  work[top++] = {0, 0};
  parentSlot[0] = -1;
  while (top > 0) {
    const Work item = work[--top];
    RayNode& rayNode = nodes[item.number];
    uint32_t links[kWidth];
    const int children = RayTreeChildren(nodes_[item.node], shapeOf[item.node], links);
    for (int k = 0; k < kWidth; ++k) {
      float* lo[3] = {&rayNode.bounds[0][0][k], &rayNode.bounds[0][1][k], &rayNode.bounds[0][2][k]};
      float* hi[3] = {&rayNode.bounds[1][0][k], &rayNode.bounds[1][1][k], &rayNode.bounds[1][2][k]};
      for (int axis = 0; axis < 3; ++axis) {
        *lo[axis] = kEmpty;
        *hi[axis] = -kEmpty;
      }
      rayNode.child[k] = dgSoupRayTree::kNoChild;
      if (k >= children) continue;
      if (!IsLeaf(links[k])) {
        // Its box is gathered once its own children are known.
        parentSlot[made] = item.number * kWidth + k;
        rayNode.child[k] = static_cast<uint32_t>(made) << 1;
        work[top++] = {ChildNode(links[k]), made++};
        continue;
      }
      float faceLo[3];
      float faceHi[3];
      FaceBox(vertices_, indices_ + LeafPosition(links[k]), LeafIndexCount(links[k]), faceLo, faceHi);
      float extent = 0.0f;
      for (int axis = 0; axis < 3; ++axis) {
        extent = faceHi[axis] - faceLo[axis] > extent ? faceHi[axis] - faceLo[axis] : extent;
      }
      // The slack covers what the face test may reach outside the face.
      const float pad = dgRaySlabs::kFaceSlack * extent;
      for (int axis = 0; axis < 3; ++axis) {
        *lo[axis] = faceLo[axis] - pad;
        *hi[axis] = faceHi[axis] + pad;
      }
      rayNode.child[k] = links[k];
    }
  }
  for (int n = rayNodeCount - 1; n > 0; --n) {
    const RayNode& rayNode = nodes[n];
    RayNode& parent = nodes[parentSlot[n] / kWidth];
    const int slot = parentSlot[n] % kWidth;
    for (int axis = 0; axis < 3; ++axis) {
      float low = kEmpty;
      float high = -kEmpty;
      for (int k = 0; k < kWidth; ++k) {
        low = rayNode.bounds[0][axis][k] < low ? rayNode.bounds[0][axis][k] : low;
        high = rayNode.bounds[1][axis][k] > high ? rayNode.bounds[1][axis][k] : high;
      }
      parent.bounds[0][axis][slot] = low;
      parent.bounds[1][axis][slot] = high;
    }
  }
  rayTree_.Adopt(nodes, rayNodeCount, depth);
}

bool dgAABBPolygonSoup::SegmentCrossesNode(const Node& node, const dgVector& p0, const dgVector& p1) {
  dgVector a = p0;
  dgVector b = p1;
  if (!ClipToPlane(a, b, a.x - node.maximum[0], b.x - node.maximum[0]) ||
      !ClipToPlane(a, b, node.minimum[0] - a.x, node.minimum[0] - b.x) ||
      !ClipToPlane(a, b, a.z - node.maximum[2], b.z - node.maximum[2]) ||
      !ClipToPlane(a, b, node.minimum[2] - a.z, node.minimum[2] - b.z)) {
    return false;
  }
  return !((a.y > node.maximum[1] && b.y > node.maximum[1]) || (a.y < node.minimum[1] && b.y < node.minimum[1]));
}

void dgAABBPolygonSoup::Serialize(dgSoupWriteCallback write, void* handle) const {
  const int32_t vertexCount = vertexCount_;
  write(handle, &vertexCount, sizeof vertexCount);
  if (vertexCount > 0) write(handle, vertices_, static_cast<size_t>(vertexCount) * 12);
  const int32_t indexCount = indexCount_;
  write(handle, &indexCount, sizeof indexCount);
  if (indexCount > 0) write(handle, indices_, static_cast<size_t>(indexCount) * sizeof(int));
  const int32_t nodeCount = nodes_ ? nodeCount_ : 0;
  write(handle, &nodeCount, sizeof nodeCount);
  if (nodeCount > 0) write(handle, nodes_, static_cast<size_t>(nodeCount) * sizeof(Node));
}

bool dgAABBPolygonSoup::Deserialize(dgSoupReadCallback read, void* handle) {
  FreeTree();
  FreeVertices();
  const char* fault = ReadArrays(read, handle);
  if (!fault) fault = TreeFault();
  if (!fault) {
    BuildRayTree();
    return true;
  }
  char line[128];
  std::snprintf(line, sizeof line, "Face tree stream refused: %s", fault);
  dgReport(line);
  FreeTree();
  FreeVertices();
  return false;
}

const char* dgAABBPolygonSoup::ReadArrays(dgSoupReadCallback read, void* handle) {
  int vertexCount = 0;
  if (!ReadCount(read, handle, vertexCount)) return "no vertex count";
  if (vertexCount > 0) {
    vertices_ = static_cast<float*>(ReadArray(read, handle, vertexCount, 12));
    if (!vertices_) return "the vertices end early";
  }
  vertexCount_ = vertexCount;
  vertexStride_ = 12;
  int indexCount = 0;
  if (!ReadCount(read, handle, indexCount)) return "no index count";
  if (indexCount >= kMaxIndexPosition) return "more indices than a link can reach";
  if (indexCount > 0) {
    indices_ = static_cast<int*>(ReadArray(read, handle, indexCount, sizeof(int)));
    if (!indices_) return "the indices end early";
  }
  indexCount_ = indexCount;
  int nodeCount = 0;
  if (!ReadCount(read, handle, nodeCount)) return "no node count";
  if (nodeCount > 0) {
    nodes_ = static_cast<Node*>(ReadArray(read, handle, nodeCount, sizeof(Node)));
    if (!nodes_) return "the nodes end early";
  }
  nodeCount_ = nodeCount;
  return nullptr;
}

const char* dgAABBPolygonSoup::TreeFault() {
  if (nodeCount_ == 0) {
    dgFree(nodes_);
    nodes_ = nullptr;
    return nullptr;
  }
  // Depth of each node; 0 = not reached yet. Children always carry larger
  // numbers than their parent, so one pass in order sees every parent
  // first: a node still unreached when its turn comes hangs from no node
  // (and the ray tree, which plans every node, would follow its links), and
  // a node reached twice (a cycle or a shared child) is refused.
  dgStack<int> depth(nodeCount_);
  if (!depth.IsValid()) return "no memory to check the tree";
  std::memset(depth.Data(), 0, static_cast<size_t>(nodeCount_) * sizeof(int));
  depth[0] = 1;
  depth_ = 1;
  for (int n = 0; n < nodeCount_; ++n) {
    if (depth[n] == 0) return "a node hangs from no other";
    for (const uint32_t link : {nodes_[n].left, nodes_[n].right}) {
      if (IsLeaf(link)) {
        const int position = LeafPosition(link);
        const int count = LeafIndexCount(link);
        if (position < 1 || count < 1 || position + count > indexCount_) return "a face lies outside the indices";
        for (int i = 0; i < count; ++i) {
          if ((indices_[position + i] & kIndexMask) >= vertexCount_) return "a face names a vertex beyond the vertices";
        }
        continue;
      }
      const int child = ChildNode(link);
      if (child <= n || child >= nodeCount_) return "a link names a node out of order or beyond the nodes";
      if (depth[child] != 0) return "a node hangs from two links";
      depth[child] = depth[n] + 1;
      if (depth[child] > depth_) depth_ = depth[child];
    }
  }
  return nullptr;
}
