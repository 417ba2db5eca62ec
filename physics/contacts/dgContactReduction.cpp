#include "physics/contacts/dgContactReduction.h"

#include "physics/memory/dgHeap.h"
#include "physics/memory/dgMemory.h"

namespace {

// Pruning: contacts closer than this are duplicates.
constexpr float kPruneDistance = 0.005f;
constexpr float kPruneDistanceSquared = 0.000025f;
constexpr int kPairwisePruneLimit = 8;
// Reduction distance used before a prune sweep.
constexpr float kPruneReduceDistance = 0.01f;
// Doublings before the remaining surplus is cut: the distance then exceeds
// any finite spread of points.
constexpr int kMaxDoublings = 64;
// Scratch for up to this many contacts lives on the stack.
constexpr int kStackHeapEntries = 128;

using ContactHeap = dgHeap<int, float>;

float DistanceSquared(const dgVector& a, const dgVector& b) {
  const dgVector d = a - b;
  return d.DotProduct(d);
}

// Scratch for count values of T: on the stack when it fits (the world's
// collide service, whose buffer always fits, allocates nothing), else from
// dgMalloc.
template <class T>
class Scratch {
 public:
  explicit Scratch(int count) {
    if (count <= kStackHeapEntries) {
      entries_ = local_;
    } else {
      heap_ = static_cast<T*>(dgMalloc(sizeof(T) * static_cast<size_t>(count)));
      entries_ = heap_;
    }
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  ~Scratch() { dgFree(heap_); }
  T* Get() const { return entries_; }

 private:
  T local_[kStackHeapEntries];
  T* heap_ = nullptr;
  T* entries_ = nullptr;
};
using HeapStorage = Scratch<ContactHeap::Entry>;
using MarkStorage = Scratch<unsigned char>;
using IndexStorage = Scratch<int>;

// One sweep in increasing x: marks every unmarked contact that lies within
// distance of a contact kept earlier in the sweep, until removeLimit
// contacts are marked (no limit when negative). Returns the number marked.
int SweepPass(int count, const dgContact* contacts, unsigned char* marks, float distance, float distanceSquared,
              int removeLimit, ContactHeap& order, ContactHeap& window) {
  order.Flush();
  window.Flush();
  // dgHeap is a max-heap: negated x puts the smallest x on top.
  for (int i = 0; i < count; ++i) {
    if (!marks[i]) order.Push(-contacts[i].point.x, i);
  }
  int removed = 0;
  while (order.GetCount() > 0 && (removeLimit < 0 || removed < removeLimit)) {
    const int index = order.TopValue();
    order.Pop();
    const dgContact& contact = contacts[index];
    while (window.GetCount() > 0 && contacts[window.TopValue()].point.x < contact.point.x - distance) window.Pop();
    bool near = false;
    for (int k = 0; k < window.GetCount() && !near; ++k) {
      const int kept = window.GetEntry(k).value;
      near = DistanceSquared(contacts[kept].point, contact.point) < distanceSquared;
    }
    if (near) {
      marks[index] = 1;
      ++removed;
    } else {
      window.Push(-contact.point.x, index);
    }
  }
  return removed;
}

// The contacts in increasing x, when their x are all distinct numbers: the
// sweep's heap then hands the unmarked ones out in exactly this order, and
// a pass can walk the list instead (sorted once for all passes). False when
// two x are equal or one is NaN: among those the heap keeps its own order.
bool SortByX(int count, const dgContact* contacts, int* outOrder) {
  for (int i = 0; i < count; ++i) {
    const float x = contacts[i].point.x;
    if (x != x) return false;
    int j = i;
    for (; j > 0 && contacts[outOrder[j - 1]].point.x > x; --j) outOrder[j] = outOrder[j - 1];
    if (j > 0 && contacts[outOrder[j - 1]].point.x == x) return false;
    outOrder[j] = i;
  }
  return true;
}

// SweepPass over the sorted list: the window of kept contacts is then
// itself in increasing x, so leaving it is dropping its front.
int SortedSweepPass(int count, const int* order, const dgContact* contacts, unsigned char* marks, float distance,
                    float distanceSquared, int removeLimit, int* window) {
  int removed = 0;
  int front = 0;
  int back = 0;
  for (int n = 0; n < count && (removeLimit < 0 || removed < removeLimit); ++n) {
    const int index = order[n];
    if (marks[index]) continue;
    const dgContact& contact = contacts[index];
    while (front < back && contacts[window[front]].point.x < contact.point.x - distance) ++front;
    bool near = false;
    for (int k = front; k < back && !near; ++k) {
      near = DistanceSquared(contacts[window[k]].point, contact.point) < distanceSquared;
    }
    if (near) {
      marks[index] = 1;
      ++removed;
    } else {
      window[back++] = index;
    }
  }
  return removed;
}

int Compact(int count, dgContact* contacts, const unsigned char* marks) {
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    if (marks[i]) continue;
    if (kept != i) contacts[kept] = contacts[i];
    ++kept;
  }
  return kept;
}

}  // namespace

int dgReduceContacts(int count, dgContact* contacts, int maxCount, float distance, float* outFinalDistance) {
  if (outFinalDistance) *outFinalDistance = distance;
  if (maxCount < 1) maxCount = 1;
  if (!contacts || count <= maxCount) return count < 0 ? 0 : count;

  HeapStorage orderStorage(count);
  HeapStorage windowStorage(count);
  MarkStorage markStorage(count);
  unsigned char* marks = markStorage.Get();
  if (!orderStorage.Get() || !windowStorage.Get() || !marks) {
    return maxCount;  // no scratch memory: keep the first contacts
  }
  for (int i = 0; i < count; ++i) marks[i] = 0;
  ContactHeap order(orderStorage.Get(), count);
  ContactHeap window(windowStorage.Get(), count);
  IndexStorage sortedStorage(count);
  IndexStorage windowList(count);
  const bool sorted = sortedStorage.Get() && windowList.Get() && SortByX(count, contacts, sortedStorage.Get());

  int toRemove = count - maxCount;
  for (int pass = 0; toRemove > 0 && pass <= kMaxDoublings; ++pass) {
    if (pass > 0) distance *= 2.0f;
    toRemove -= sorted ? SortedSweepPass(count, sortedStorage.Get(), contacts, marks, distance, distance * distance,
                                         toRemove, windowList.Get())
                       : SweepPass(count, contacts, marks, distance, distance * distance, toRemove, order, window);
  }
  if (outFinalDistance) *outFinalDistance = distance;
  // Points that no distance brings together (NaN, infinities): cut the rest.
  for (int i = count - 1; i >= 0 && toRemove > 0; --i) {
    if (!marks[i]) {
      marks[i] = 1;
      --toRemove;
    }
  }
  return Compact(count, contacts, marks);
}

int dgPruneContacts(int count, dgContact* contacts, int maxCount) {
  if (!contacts || count <= 0) return 0;
  if (count <= kPairwisePruneLimit) {
    for (int i = 0; i < count; ++i) {
      for (int j = i + 1; j < count;) {
        if (DistanceSquared(contacts[i].point, contacts[j].point) < kPruneDistanceSquared) {
          contacts[j] = contacts[count - 1];
          --count;
        } else {
          ++j;
        }
      }
    }
    return count;
  }

  if (count > maxCount) count = dgReduceContacts(count, contacts, maxCount, kPruneReduceDistance);
  HeapStorage orderStorage(count);
  HeapStorage windowStorage(count);
  MarkStorage markStorage(count);
  unsigned char* marks = markStorage.Get();
  if (!orderStorage.Get() || !windowStorage.Get() || !marks) return count;
  for (int i = 0; i < count; ++i) marks[i] = 0;
  IndexStorage sortedStorage(count);
  IndexStorage windowList(count);
  if (sortedStorage.Get() && windowList.Get() && SortByX(count, contacts, sortedStorage.Get())) {
    SortedSweepPass(count, sortedStorage.Get(), contacts, marks, kPruneDistance, kPruneDistanceSquared, -1,
                    windowList.Get());
  } else {
    ContactHeap order(orderStorage.Get(), count);
    ContactHeap window(windowStorage.Get(), count);
    SweepPass(count, contacts, marks, kPruneDistance, kPruneDistanceSquared, -1, order, window);
  }
  return Compact(count, contacts, marks);
}
