// Vertex welding: a sorted sweep along the axis of largest spread, and for
// large arrays a split at the mean first so each sweep stays short.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "physics/memory/dgStack.h"
#include "physics/mesh/dgGeometryUtils.h"

namespace {

// Arrays up to this size are swept whole.
constexpr int kSweepLimit = 0x18000;
// Deeper splits sweep what is left whole (bounds the recursion on skewed data).
constexpr int kMaxSplitDepth = 48;
// Added to the caller's tolerance, and once more to the sweep's window.
constexpr float kToleranceWidening = 0.0001f;

// An entry: mark (-1 until its final index is known), position in the input,
// then a copy of the vertex's words.
struct Entries {
  int32_t* words;
  int entryWords;
  int vertexWords;

  int32_t* Entry(int i) const { return words + static_cast<long long>(i) * entryWords; }
  int32_t& Mark(int i) const { return Entry(i)[0]; }
  int32_t& Position(int i) const { return Entry(i)[1]; }
  int32_t* Vertex(int i) const { return Entry(i) + 2; }
  float Component(int i, int axis) const {
    float value;
    std::memcpy(&value, Vertex(i) + axis, sizeof value);
    return value;
  }
  Entries Sub(int first) const { return {Entry(first), entryWords, vertexWords}; }
};

// NaN sorts after every number, so the order stays strict and weak.
bool KeyLess(float a, float b) {
  if (std::isnan(a)) return false;
  if (std::isnan(b)) return true;
  return a < b;
}

struct Spreads {
  double sum[3] = {0, 0, 0};
  double spread[3] = {0, 0, 0};
};

Spreads MeasureSpreads(const Entries& entries, int count) {
  Spreads s;
  double squares[3] = {0, 0, 0};
  for (int i = 0; i < count; ++i) {
    for (int axis = 0; axis < 3; ++axis) {
      const double v = entries.Component(i, axis);
      s.sum[axis] += v;
      squares[axis] += v * v;
    }
  }
  for (int axis = 0; axis < 3; ++axis) s.spread[axis] = count * squares[axis] - s.sum[axis] * s.sum[axis];
  return s;
}

bool SortByAxis(const Entries& entries, int count, int axis) {
  dgStack<int> order(count);
  dgStack<int32_t> sorted(static_cast<long long>(count) * entries.entryWords);
  if (!order.IsValid() || !sorted.IsValid()) return false;
  for (int i = 0; i < count; ++i) order[i] = i;
  std::stable_sort(order.Data(), order.Data() + count,
                   [&](int a, int b) { return KeyLess(entries.Component(a, axis), entries.Component(b, axis)); });
  const size_t entryBytes = sizeof(int32_t) * static_cast<size_t>(entries.entryWords);
  for (int i = 0; i < count; ++i) std::memcpy(sorted.Data() + static_cast<long long>(i) * entries.entryWords,
                                              entries.Entry(order[i]), entryBytes);
  std::memcpy(entries.words, sorted.Data(), entryBytes * static_cast<size_t>(count));
  return true;
}

bool IsDuplicate(const Entries& entries, int i, int j, int toleranceWords, int exactWords, float tolerance) {
  const int32_t* a = entries.Vertex(i);
  const int32_t* b = entries.Vertex(j);
  for (int k = 0; k < toleranceWords; ++k) {
    float va;
    float vb;
    std::memcpy(&va, a + k, sizeof va);
    std::memcpy(&vb, b + k, sizeof vb);
    if (!(std::fabs(va - vb) < tolerance)) return false;
  }
  return std::memcmp(a + toleranceWords, b + toleranceWords, sizeof(int32_t) * static_cast<size_t>(exactWords)) == 0;
}

// Sorted sweep; returns the unique count, or -1 when scratch memory runs out.
int Sweep(const Entries& entries, int count, int toleranceWords, int exactWords, float tolerance) {
  const Spreads s = MeasureSpreads(entries, count);
  int axis = 0;
  if (s.spread[1] >= s.spread[0] && s.spread[1] >= s.spread[2]) axis = 1;
  else if (s.spread[2] >= s.spread[0] && s.spread[2] >= s.spread[1]) axis = 2;
  const float widened = tolerance + kToleranceWidening;
  if (!SortByAxis(entries, count, axis)) return -1;

  const size_t vertexBytes = sizeof(int32_t) * static_cast<size_t>(entries.vertexWords);
  int unique = 0;
  for (int i = 0; i < count; ++i) {
    if (entries.Mark(i) != -1) continue;
    const float limit = entries.Component(i, axis) + 2.0f * widened + kToleranceWidening;
    for (int j = i + 1; j < count; ++j) {
      if (entries.Mark(j) != -1) continue;
      if (entries.Component(j, axis) >= limit) break;
      if (IsDuplicate(entries, i, j, toleranceWords, exactWords, widened)) entries.Mark(j) = unique;
    }
    if (unique != i) std::memmove(entries.Vertex(unique), entries.Vertex(i), vertexBytes);
    entries.Mark(i) = unique;
    ++unique;
  }
  return unique;
}

int Partition(const Entries& entries, int count, int toleranceWords, int exactWords, float tolerance, int depth) {
  if (count <= kSweepLimit || depth >= kMaxSplitDepth) return Sweep(entries, count, toleranceWords, exactWords, tolerance);

  const Spreads s = MeasureSpreads(entries, count);
  int axis = 0;
  if (s.spread[1] > s.spread[0] && s.spread[1] > s.spread[2]) axis = 1;
  else if (s.spread[2] > s.spread[0] && s.spread[2] > s.spread[1]) axis = 2;
  const double mean = s.sum[axis] / count;

  // Entries below the mean to the front; the rest (and NaN) behind them.
  int i = 0;
  int j = count - 1;
  const size_t entryBytes = sizeof(int32_t) * static_cast<size_t>(entries.entryWords);
  dgStack<int32_t> swap(entries.entryWords);
  if (!swap.IsValid()) return -1;
  for (;;) {
    while (i <= j && entries.Component(i, axis) < mean) ++i;
    while (j >= i && !(entries.Component(j, axis) < mean)) --j;
    if (i >= j) break;
    std::memcpy(swap.Data(), entries.Entry(i), entryBytes);
    std::memcpy(entries.Entry(i), entries.Entry(j), entryBytes);
    std::memcpy(entries.Entry(j), swap.Data(), entryBytes);
    ++i;
    --j;
  }
  // All on one side (equal or non-finite values): nothing to split on.
  if (i == 0 || i == count) return Sweep(entries, count, toleranceWords, exactWords, tolerance);

  const int firstUnique = Partition(entries, i, toleranceWords, exactWords, tolerance, depth + 1);
  if (firstUnique < 0) return -1;
  const Entries second = entries.Sub(i);
  const int secondUnique = Partition(second, count - i, toleranceWords, exactWords, tolerance, depth + 1);
  if (secondUnique < 0) return -1;
  const size_t vertexBytes = sizeof(int32_t) * static_cast<size_t>(entries.vertexWords);
  for (int k = 0; k < secondUnique; ++k) std::memmove(entries.Vertex(firstUnique + k), second.Vertex(k), vertexBytes);
  for (int k = 0; k < count - i; ++k) second.Mark(k) += firstUnique;
  return firstUnique + secondUnique;
}

}  // namespace

int dgWeldVertices(float* vertices, int strideBytes, int comparedBytes, int exactBytes, int count, int* outIndices,
                   float tolerance) {
  if (strideBytes < 12 || comparedBytes < 0 || exactBytes < 0) return 0;
  if (comparedBytes + exactBytes < 12 || comparedBytes + exactBytes > strideBytes) return 0;
  if (!vertices || !outIndices || count < 1) return 0;

  const int vertexWords = strideBytes / 4;
  const Entries entries{nullptr, vertexWords + 2, vertexWords};
  dgStack<int32_t> storage(static_cast<long long>(count) * entries.entryWords);
  if (!storage.IsValid()) return 0;
  const Entries all{storage.Data(), entries.entryWords, vertexWords};
  auto* input = reinterpret_cast<unsigned char*>(vertices);
  const size_t vertexBytes = sizeof(int32_t) * static_cast<size_t>(vertexWords);
  for (int i = 0; i < count; ++i) {
    all.Mark(i) = -1;
    all.Position(i) = i;
    std::memcpy(all.Vertex(i), input + static_cast<long long>(i) * strideBytes, vertexBytes);
  }

  const int unique = Partition(all, count, comparedBytes / 4, exactBytes / 4, tolerance, 0);
  if (unique <= 0) return 0;
  for (int i = 0; i < unique; ++i) std::memcpy(input + static_cast<long long>(i) * strideBytes, all.Vertex(i), vertexBytes);
  for (int i = 0; i < count; ++i) outIndices[all.Position(i)] = all.Mark(i);
  return unique;
}
