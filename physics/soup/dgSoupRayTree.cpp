#include "physics/soup/dgSoupRayTree.h"

namespace {

// Four floats handled as one (the compiler's vector extension: plain
// four-lane arithmetic on any target, no instruction set named).
using Lanes = float __attribute__((vector_size(16)));

Lanes Load(const float* values) {
  Lanes lanes;
  __builtin_memcpy(&lanes, values, sizeof lanes);
  return lanes;
}

Lanes Splat(float value) { return Lanes{value, value, value, value}; }

Lanes Min(Lanes a, Lanes b) { return a < b ? a : b; }
Lanes Max(Lanes a, Lanes b) { return a > b ? a : b; }

}  // namespace

void dgSoupRayTree::Adopt(Node* nodes, int nodeCount, int depth) {
  Clear();
  mNodes = nodes;
  mNodeCount = nodeCount;
  mDepth = depth;
}

void dgSoupRayTree::Clear() {
  dgFree(mNodes);
  mNodes = nullptr;
  mNodeCount = 0;
  mDepth = 0;
}

void dgSoupRayTree::Slabs(const Node& node, const dgRaySlabs& ray, float limit, float* outEnter, bool* outCrosses) {
  Lanes enter = Splat(0.0f);
  Lanes exit = Splat(limit);
  for (int axis = 0; axis < 3; ++axis) {
    const int near = ray.NearIsLow(axis) ? 0 : 1;
    const Lanes inverse = Splat(ray.Inverse(axis));
    const Lanes in = (Load(node.bounds[near][axis]) - Splat(ray.NearOrigin(axis))) * inverse;
    const Lanes out = (Load(node.bounds[1 - near][axis]) - Splat(ray.FarOrigin(axis))) * inverse;
    enter = Max(enter, in);
    exit = Min(exit, out);
  }
  const auto crosses = enter <= exit;
  for (int k = 0; k < kWidth; ++k) {
    outEnter[k] = enter[k];
    outCrosses[k] = crosses[k] != 0;
  }
}
