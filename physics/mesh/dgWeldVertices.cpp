// Vertex welding. Large arrays are first split at the mean of the axis of
// largest spread, over and over, into blocks of at most kSweepLimit; each
// block is then swept in the order of its vertices along its own axis of
// largest spread: the first vertex not yet claimed keeps its place and
// claims every later unclaimed vertex within tolerance (and within a window
// along the sweep axis). Which vertex claims which follows from that order
// alone, so the sweep is carried out with a hash of exact copies (a copy
// belongs wherever its first occurrence does) and a grid of the vertices
// that kept their place, instead of scanning the whole window for each.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "physics/memory/dgMemory.h"
#include "physics/memory/dgStack.h"
#include "physics/mesh/dgGeometryUtils.h"

namespace {

// Blocks up to this size are swept whole.
constexpr int kSweepLimit = 0x18000;
// Deeper splits sweep what is left whole (bounds the recursion on skewed data).
constexpr int kMaxSplitDepth = 48;
// Added to the caller's tolerance, and once more to the sweep's window.
constexpr float kToleranceWidening = 0.0001f;
// Width of a grid cell in tolerances: wide enough that most searches look
// at one cell, narrow enough that cells hold only near duplicates.
constexpr double kCellTolerances = 16.0;
// Grid cells far out are clamped to this index; clamped cells only hold
// more candidates, each still tested exactly.
constexpr double kMaxCell = 4.0e18;

// The caller's vertices: stride apart in chunks of 1 << chunkShift
// vertices (one chunk for a plain array), tolerance words compared within
// the tolerance, then exact words compared bit for bit.
struct Layout {
  const void* const* chunks;
  int chunkShift;
  long long stride;
  int vertexWords;
  int toleranceWords;
  int exactWords;
  float widened;

  const unsigned char* Vertex(int position) const {
    const int within = position & static_cast<int>((1LL << chunkShift) - 1);
    return static_cast<const unsigned char*>(chunks[position >> chunkShift]) + within * stride;
  }
  uint32_t Word(int position, int k) const {
    uint32_t word;
    std::memcpy(&word, Vertex(position) + 4 * k, sizeof word);
    return word;
  }
  float Component(int position, int k) const {
    float value;
    std::memcpy(&value, Vertex(position) + 4 * k, sizeof value);
    return value;
  }
  // The end of the window a kept vertex claims along the sweep axis.
  float Limit(float component) const { return component + 2.0f * widened + kToleranceWidening; }

  bool IsDuplicate(int a, int b) const {
    for (int k = 0; k < toleranceWords; ++k) {
      if (!(std::fabs(Component(a, k) - Component(b, k)) < widened)) return false;
    }
    for (int k = toleranceWords; k < toleranceWords + exactWords; ++k) {
      if (Word(a, k) != Word(b, k)) return false;
    }
    return true;
  }
  // A vertex the sweep claims for a kept one: within tolerance, and not
  // beyond the window where the sweep stops looking.
  bool Claims(int kept, int other, int axis) const {
    return !(Component(other, axis) >= Limit(Component(kept, axis))) && IsDuplicate(kept, other);
  }
  // True when every later exact copy of this vertex is claimed with it.
  bool ClaimsOwnCopies(int position, int axis) const { return Claims(position, position, axis); }
  bool SameWords(int a, int b) const {
    for (int k = 0; k < toleranceWords + exactWords; ++k) {
      if (Word(a, k) != Word(b, k)) return false;
    }
    return true;
  }
};

uint64_t Mix(uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdull;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ull;
  h ^= h >> 33;
  return h;
}

// Slots of an open hash for entries kept at most half full: a power of two,
// or 0 beyond what a table indexed by int can hold.
int TableSize(long long entries) {
  constexpr long long kLargest = 1LL << 30;
  long long size = 16;
  while (size < 2 * entries && size < kLargest) size *= 2;
  return size < 2 * entries ? 0 : static_cast<int>(size);
}

struct Spreads {
  double sum[3] = {0, 0, 0};
  double spread[3] = {0, 0, 0};
};

Spreads MeasureSpreads(const Layout& layout, const int* positions, int count) {
  Spreads s;
  double squares[3] = {0, 0, 0};
  for (int i = 0; i < count; ++i) {
    for (int axis = 0; axis < 3; ++axis) {
      const double v = layout.Component(positions[i], axis);
      s.sum[axis] += v;
      squares[axis] += v * v;
    }
  }
  for (int axis = 0; axis < 3; ++axis) s.spread[axis] = count * squares[axis] - s.sum[axis] * s.sum[axis];
  return s;
}

// A run of the position array swept on its own; once swept, the run's
// first `kept` places hold the positions of the vertices it kept, numbered
// from `firstKept` on.
struct Block {
  int first;
  int count;
  int firstKept = 0;
  int kept = 0;
};

class BlockList {
 public:
  explicit BlockList(int capacity) : blocks_(capacity) {}
  bool Add(int first, int count) {
    if (count_ >= blocks_.GetCount()) return false;
    blocks_[count_++] = Block{first, count};
    return true;
  }
  bool IsValid() const { return blocks_.IsValid(); }
  int GetCount() const { return count_; }
  Block& operator[](int i) const { return blocks_[i]; }

 private:
  dgStack<Block> blocks_;
  int count_ = 0;
};

// Orders the positions as the split does and lists the blocks, first part first.
bool Partition(const Layout& layout, int* positions, int first, int count, int depth, BlockList& blocks) {
  if (count <= kSweepLimit || depth >= kMaxSplitDepth) return blocks.Add(first, count);

  int* part = positions + first;
  const Spreads s = MeasureSpreads(layout, part, count);
  int axis = 0;
  if (s.spread[1] > s.spread[0] && s.spread[1] > s.spread[2])
    axis = 1;
  else if (s.spread[2] > s.spread[0] && s.spread[2] > s.spread[1])
    axis = 2;
  const double mean = s.sum[axis] / count;

  // Entries below the mean to the front; the rest (and NaN) behind them.
  int i = 0;
  int j = count - 1;
  for (;;) {
    while (i <= j && layout.Component(part[i], axis) < mean) ++i;
    while (j >= i && !(layout.Component(part[j], axis) < mean)) --j;
    if (i >= j) break;
    std::swap(part[i], part[j]);
    ++i;
    --j;
  }
  // All on one side (equal or non-finite values): nothing to split on.
  if (i == 0 || i == count) return blocks.Add(first, count);
  return Partition(layout, positions, first, i, depth + 1, blocks) &&
         Partition(layout, positions, first + i, count - i, depth + 1, blocks);
}

// The sort key of a component: the sweep's order (NaN after everything, the
// two zeros equal) as an unsigned integer.
uint32_t OrderKey(float value) {
  if (std::isnan(value)) return 0xFFFFFFFFu;
  if (value == 0.0f) value = 0.0f;
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
}

// The first entries of the vertices that claim their own copies, hashed by
// their words: an open table that doubles when half full, so that it stays
// in proportion to the distinct vertices (a few per triangle) rather than
// to every copy.
class CopyTable {
 public:
  CopyTable() = default;
  CopyTable(const CopyTable&) = delete;
  CopyTable& operator=(const CopyTable&) = delete;
  ~CopyTable() { dgFree(slots_); }

  // Empties the table for about `expected` vertices; false without memory.
  bool Reset(int expected) {
    used_ = 0;
    Slot* old = nullptr;
    const int size = TableSize(expected);
    if (size == 0 || !Replace(size, old)) return false;
    dgFree(old);
    return true;
  }

  // The entry stored under the hash that same(entry) accepts; otherwise
  // stores `entry` and returns -1. -2 when the table could not grow.
  template <class Same>
  int FindOrAdd(uint64_t hash, int entry, Same same) {
    const auto tag = static_cast<uint32_t>(hash);
    for (int slot = static_cast<int>(tag & mask_);; slot = (slot + 1) & mask_) {
      Slot& found = slots_[slot];
      if (found.entry < 0) {
        found = Slot{entry, tag};
        if (++used_ * 2 > static_cast<int>(mask_) + 1 && !Grow()) return -2;
        return -1;
      }
      if (found.tag == tag && same(found.entry)) return found.entry;
    }
  }

 private:
  struct Slot {
    int entry;  // -1 for an empty slot
    uint32_t tag;
  };

  // Puts size empty slots (a power of two) in place and hands back the old
  // block; false (nothing changed) without memory.
  bool Replace(int size, Slot*& outOld) {
    auto* slots = static_cast<Slot*>(dgMalloc(sizeof(Slot) * static_cast<size_t>(size)));
    if (!slots) return false;
    for (int i = 0; i < size; ++i) slots[i].entry = -1;
    outOld = slots_;
    slots_ = slots;
    mask_ = static_cast<uint32_t>(size - 1);
    return true;
  }

  bool Grow() {
    const int oldSize = static_cast<int>(mask_) + 1;
    Slot* old = nullptr;
    if (oldSize > (1 << 29) || !Replace(2 * oldSize, old)) return false;
    for (int i = 0; i < oldSize; ++i) {
      if (old[i].entry < 0) continue;
      int slot = static_cast<int>(old[i].tag & mask_);
      while (slots_[slot].entry >= 0) slot = (slot + 1) & mask_;
      slots_[slot] = old[i];
    }
    dgFree(old);
    return true;
  }

  Slot* slots_ = nullptr;
  uint32_t mask_ = 0;
  int used_ = 0;
};

// Scratch for gathering the items of blocks of up to capacity vertices.
struct GatherScratch {
  explicit GatherScratch(int capacity) : itemOf(capacity), itemFirst(capacity) {}
  bool IsValid() const { return itemOf.IsValid() && itemFirst.IsValid(); }

  dgStack<int> itemOf;     // per block entry: its item (the first entry with its words)
  dgStack<int> itemFirst;  // per item: its first entry in block order
  CopyTable copies;
};

// A slot of the grid's hash: the first kept vertex (by number) of one cell,
// and bits of the cell's hash to skip most other cells without recomputing
// their keys.
struct GridSlot {
  int head;  // -1 for an empty slot
  uint32_t tag;
};

class Sweeper {
 public:
  Sweeper(const Layout& layout, GatherScratch& scratch, int* positions, Block& block)
      : layout_(layout), scratch_(scratch), block_(block), positions_(positions + block.first), count_(block.count) {}

  // Numbers the kept vertices of the block from `next` on and writes each
  // entry's number to outIndices (and, given outMoved, whether its kept
  // vertex differs from it); then the block's run of positions (no longer
  // needed) takes the positions of its kept vertices. Returns the next free
  // number, or -1 when scratch memory ran out.
  int Run(int next, int* outIndices, unsigned char* outMoved) {
    const Spreads s = MeasureSpreads(layout_, positions_, count_);
    axis_ = 0;
    if (s.spread[1] >= s.spread[0] && s.spread[1] >= s.spread[2])
      axis_ = 1;
    else if (s.spread[2] >= s.spread[0] && s.spread[2] >= s.spread[1])
      axis_ = 2;
    PrepareGrid();

    const int items = GatherItems();
    if (items < 0) return -1;
    dgStack<uint64_t> order(items);
    dgStack<int> keptAs(items);
    dgStack<int> nextKept(items);
    dgStack<int> keptPositions(items);
    const int slotCount = TableSize(items);
    dgStack<GridSlot> slots(slotCount);
    if (!order.IsValid() || !keptAs.IsValid() || !nextKept.IsValid() || !keptPositions.IsValid() || !slots.IsValid()) {
      return -1;
    }
    nextKept_ = nextKept.Data();
    slots_ = slots.Data();
    slotMask_ = slotCount - 1;
    for (int c = 0; c <= slotMask_; ++c) slots_[c].head = -1;
    keptPositions_ = keptPositions.Data();

    // Items in sweep order: along the axis, ties (and NaN) in block order.
    for (int k = 0; k < items; ++k) {
      const int first = scratch_.itemFirst[k];
      order[k] = static_cast<uint64_t>(OrderKey(layout_.Component(positions_[first], axis_))) << 32 |
                 static_cast<uint32_t>(first);
    }
    std::sort(order.Data(), order.Data() + items);
    int kept = 0;
    for (int k = 0; k < items; ++k) {
      const int first = static_cast<int>(order[k] & 0xFFFFFFFFu);
      const int position = positions_[first];
      int owner = FindOwner(position);
      if (owner < 0) {
        owner = kept++;
        keptPositions_[owner] = position;
        Insert(owner, position);
      }
      keptAs[scratch_.itemOf[first]] = owner;
    }
    for (int e = 0; e < count_; ++e) outIndices[positions_[e]] = next + keptAs[scratch_.itemOf[e]];
    if (outMoved) {
      // Copies share their first entry's words, so one comparison per item tells them all.
      dgStack<unsigned char> movedItem(items);
      if (!movedItem.IsValid()) return -1;
      for (int k = 0; k < items; ++k) {
        movedItem[k] = !layout_.SameWords(positions_[scratch_.itemFirst[k]], keptPositions_[keptAs[k]]);
      }
      for (int e = 0; e < count_; ++e) outMoved[positions_[e]] = movedItem[scratch_.itemOf[e]];
    }
    for (int k = 0; k < kept; ++k) positions_[k] = keptPositions_[k];
    block_.firstKept = next;
    block_.kept = kept;
    return next + kept;
  }

 private:
  // One item per entry, except that exact copies of a vertex which claims
  // its own copies share the item of its first entry; -1 without memory.
  int GatherItems() {
    // Meshes hold each vertex a few times over: start the table small.
    if (!scratch_.copies.Reset(count_ / 4)) return -1;
    int items = 0;
    for (int e = 0; e < count_; ++e) {
      const int position = positions_[e];
      int first = -1;
      if (layout_.ClaimsOwnCopies(position, axis_)) {
        // One multiply per word; the table takes its slot from the low bits,
        // so the well-mixed high ones are folded in.
        uint64_t h = 0;
        for (int k = 0; k < layout_.toleranceWords + layout_.exactWords; ++k) {
          h = (h + layout_.Word(position, k)) * 0x9E3779B97F4A7C15ull;
        }
        h ^= h >> 32;
        first =
            scratch_.copies.FindOrAdd(h, e, [&](int other) { return layout_.SameWords(positions_[other], position); });
        if (first == -2) return -1;
      }
      if (first >= 0) {
        scratch_.itemOf[e] = scratch_.itemOf[first];
      } else {
        scratch_.itemFirst[items] = e;
        scratch_.itemOf[e] = items++;
      }
    }
    return items;
  }

  void PrepareGrid() {
    // Cells kCellTolerances tolerances wide: the tolerance range of a vertex
    // mostly falls in one cell on each axis, now and then in two. Without a
    // usable tolerance nothing is within it; with an infinite one
    // everything shares one cell.
    searchable_ = layout_.toleranceWords == 0 || layout_.widened > 0.0f;
    oneCell_ = !std::isfinite(layout_.widened);
    cellSize_ = kCellTolerances * static_cast<double>(layout_.widened);
    reach_ = static_cast<double>(layout_.widened) * (1.0 + 1e-5);
  }

  int64_t CellOf(double value) const {
    if (oneCell_) return 0;
    const double cell = std::floor(value / cellSize_);
    return static_cast<int64_t>(std::clamp(cell, -kMaxCell, kMaxCell));
  }

  // The grid cell of a vertex: tolerance words by cell, exact words as they are.
  void KeyOf(int position, int64_t key[3]) const {
    for (int k = 0; k < 3; ++k) {
      key[k] = k < layout_.toleranceWords ? CellOf(layout_.Component(position, k)) : layout_.Word(position, k);
    }
  }

  // The cells to search for a vertex; false when a tolerance word is not
  // finite (such a vertex is within tolerance of nothing).
  bool GridRange(int position, int64_t low[3], int64_t high[3]) const {
    for (int k = 0; k < layout_.toleranceWords; ++k) {
      if (!std::isfinite(layout_.Component(position, k))) return false;
    }
    for (int k = 0; k < 3; ++k) {
      if (k < layout_.toleranceWords) {
        const double v = layout_.Component(position, k);
        low[k] = CellOf(v - reach_);
        high[k] = CellOf(v + reach_);
      } else {
        low[k] = high[k] = layout_.Word(position, k);
      }
    }
    return true;
  }

  static uint64_t HashCell(const int64_t key[3]) {
    return Mix(Mix(Mix(static_cast<uint64_t>(key[0])) ^ static_cast<uint64_t>(key[1])) ^ static_cast<uint64_t>(key[2]));
  }

  // The slot of a cell: its own, or the empty one where it would go.
  GridSlot& FindSlot(const int64_t key[3]) const {
    const uint64_t h = HashCell(key);
    const auto tag = static_cast<uint32_t>(h >> 32);
    for (int slot = static_cast<int>(h & static_cast<uint64_t>(slotMask_));; slot = (slot + 1) & slotMask_) {
      GridSlot& found = slots_[slot];
      if (found.head < 0) return found;
      if (found.tag != tag) continue;
      int64_t other[3];
      KeyOf(keptPositions_[found.head], other);
      if (other[0] == key[0] && other[1] == key[1] && other[2] == key[2]) return found;
    }
  }

  void Insert(int kept, int position) {
    int64_t low[3];
    int64_t high[3];
    if (!searchable_ || !GridRange(position, low, high)) return;
    int64_t key[3];
    KeyOf(position, key);
    GridSlot& slot = FindSlot(key);
    slot.tag = static_cast<uint32_t>(HashCell(key) >> 32);
    nextKept_[kept] = slot.head;
    slot.head = kept;
  }

  // The first kept vertex (lowest number) that claims the vertex at
  // position, or -1.
  int FindOwner(int position) const {
    int64_t low[3];
    int64_t high[3];
    if (!searchable_ || !GridRange(position, low, high)) return -1;
    int owner = -1;
    int64_t key[3];
    for (key[0] = low[0]; key[0] <= high[0]; ++key[0]) {
      for (key[1] = low[1]; key[1] <= high[1]; ++key[1]) {
        for (key[2] = low[2]; key[2] <= high[2]; ++key[2]) {
          for (int kept = FindSlot(key).head; kept >= 0; kept = nextKept_[kept]) {
            if ((owner < 0 || kept < owner) && layout_.Claims(keptPositions_[kept], position, axis_)) owner = kept;
          }
        }
      }
    }
    return owner;
  }

  const Layout& layout_;
  GatherScratch& scratch_;
  Block& block_;
  int* positions_;
  int count_;
  int axis_ = 0;
  bool searchable_ = true;
  bool oneCell_ = false;
  double cellSize_ = 1.0;
  double reach_ = 0.0;
  int* keptPositions_ = nullptr;
  int* nextKept_ = nullptr;
  GridSlot* slots_ = nullptr;
  int slotMask_ = 0;
};

// Welds the layout's count vertices and writes the kept ones, in the order
// of their numbers, to a block of exactly their bytes from makeOutput
// (unique -> unsigned char*, null when it cannot be had).
template <class MakeOutput>
int Weld(const Layout& layout, int count, int* outIndices, unsigned char* outMoved, MakeOutput makeOutput) {
  dgStack<int> positions(count);
  // Every split ends in at most two blocks and no more than count / kSweepLimit
  // blocks of one depth are split.
  BlockList blocks(2 * kMaxSplitDepth * (count / kSweepLimit + 1) + 2);
  if (!positions.IsValid() || !blocks.IsValid()) return 0;
  for (int i = 0; i < count; ++i) positions[i] = i;
  if (!Partition(layout, positions.Data(), 0, count, 0, blocks)) return 0;

  int largest = 0;
  for (int b = 0; b < blocks.GetCount(); ++b) largest = std::max(largest, blocks[b].count);
  GatherScratch scratch(largest);
  if (!scratch.IsValid()) return 0;

  int unique = 0;
  for (int b = 0; b < blocks.GetCount() && unique >= 0; ++b) {
    Sweeper sweeper(layout, scratch, positions.Data(), blocks[b]);
    unique = sweeper.Run(unique, outIndices, outMoved);
  }
  if (unique <= 0) return 0;

  const size_t vertexBytes = sizeof(int32_t) * static_cast<size_t>(layout.vertexWords);
  unsigned char* kept = makeOutput(unique);
  if (!kept) return 0;
  for (int b = 0; b < blocks.GetCount(); ++b) {
    const Block& block = blocks[b];
    for (int k = 0; k < block.kept; ++k) {
      std::memcpy(kept + static_cast<size_t>(block.firstKept + k) * vertexBytes,
                  layout.Vertex(positions[block.first + k]), vertexBytes);
    }
  }
  return unique;
}

bool UsableLayout(const void* vertices, int strideBytes, int comparedBytes, int exactBytes, int count,
                  const int* outIndices) {
  if (strideBytes < 12 || comparedBytes < 0 || exactBytes < 0) return false;
  if (comparedBytes + exactBytes < 12 || comparedBytes + exactBytes > strideBytes) return false;
  return vertices && outIndices && count >= 1;
}

}  // namespace

int dgWeldVertices(float* vertices, int strideBytes, int comparedBytes, int exactBytes, int count, int* outIndices,
                   float tolerance, unsigned char* outMoved) {
  if (!UsableLayout(vertices, strideBytes, comparedBytes, exactBytes, count, outIndices)) return 0;
  auto* bytes = reinterpret_cast<unsigned char*>(vertices);
  // One chunk: a vertex number never reaches bit 31.
  const void* const whole = vertices;
  const Layout layout{
      &whole, 31, strideBytes, strideBytes / 4, comparedBytes / 4, exactBytes / 4, tolerance + kToleranceWidening};
  const size_t vertexBytes = sizeof(int32_t) * static_cast<size_t>(layout.vertexWords);
  // The kept vertices gather in scratch (writing them in place would
  // overwrite ones not yet read), then move to the front.
  unsigned char* kept = nullptr;
  const int unique = Weld(layout, count, outIndices, outMoved, [&](int n) {
    kept = static_cast<unsigned char*>(dgMallocScratch(static_cast<size_t>(n) * vertexBytes));
    return kept;
  });
  for (int i = 0; i < unique; ++i) {
    std::memcpy(bytes + static_cast<long long>(i) * strideBytes, kept + i * vertexBytes, vertexBytes);
  }
  dgFree(kept);
  return unique;
}

int dgWeldVertexChunks(const void* const* chunks, int chunkShift, int strideBytes, int comparedBytes, int exactBytes,
                       int count, int* outIndices, float tolerance, unsigned char* outMoved, float*& outWelded) {
  outWelded = nullptr;
  if (!UsableLayout(chunks, strideBytes, comparedBytes, exactBytes, count, outIndices)) return 0;
  if (chunkShift < 0 || chunkShift > 30) return 0;
  const Layout layout{chunks,
                      chunkShift,
                      strideBytes,
                      strideBytes / 4,
                      comparedBytes / 4,
                      exactBytes / 4,
                      tolerance + kToleranceWidening};
  const size_t vertexBytes = sizeof(int32_t) * static_cast<size_t>(layout.vertexWords);
  void* welded = nullptr;
  const int unique = Weld(layout, count, outIndices, outMoved, [&](int n) {
    welded = dgMalloc(static_cast<size_t>(n) * vertexBytes);
    return static_cast<unsigned char*>(welded);
  });
  if (unique > 0) {
    outWelded = static_cast<float*>(welded);
  } else {
    dgFree(welded);
  }
  return unique;
}
