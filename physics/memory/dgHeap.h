#pragma once
// Binary max-heap of (key, value) pairs in a caller-supplied block of fixed
// capacity: the entry with the largest key is on top. For a min-heap, push
// negated keys.

template <class Value, class Key = float>
class dgHeap {
 public:
  struct Entry {
    Key key;
    Value value;
  };

  // A heap over capacity entries of storage (not owned).
  dgHeap(Entry* storage, int capacity) : mEntries(storage), mCapacity(storage ? capacity : 0) {}

  int GetCount() const { return mCount; }
  int GetCapacity() const { return mCapacity; }
  // The largest key; only valid when the count is above 0.
  const Key& TopKey() const { return mEntries[0].key; }
  const Value& TopValue() const { return mEntries[0].value; }
  // Entry i in heap order (0 is the top), for scanning every entry.
  const Entry& GetEntry(int i) const { return mEntries[i]; }
  // Empties the heap.
  void Flush() { mCount = 0; }
  // Carries the entries over to a larger block (not owned), in the same
  // order; the old block is no longer used.
  void MoveTo(Entry* storage, int capacity) {
    for (int i = 0; i < mCount; ++i) storage[i] = mEntries[i];
    mEntries = storage;
    mCapacity = capacity;
  }

  // Adds an entry; false when the heap is full.
  bool Push(const Key& key, const Value& value) {
    if (mCount >= mCapacity) return false;
    int i = mCount++;
    while (i > 0) {
      const int parent = (i - 1) / 2;
      if (!(mEntries[parent].key < key)) break;
      mEntries[i] = mEntries[parent];
      i = parent;
    }
    mEntries[i] = Entry{key, value};
    return true;
  }

  // Removes the top entry (nothing when empty).
  void Pop() {
    if (mCount == 0) return;
    const Entry last = mEntries[--mCount];
    int i = 0;
    for (;;) {
      int child = 2 * i + 1;
      if (child >= mCount) break;
      if (child + 1 < mCount && mEntries[child].key < mEntries[child + 1].key) ++child;
      if (!(last.key < mEntries[child].key)) break;
      mEntries[i] = mEntries[child];
      i = child;
    }
    if (mCount > 0) mEntries[i] = last;
  }

 private:
  Entry* mEntries;
  int mCapacity;
  int mCount = 0;
};
