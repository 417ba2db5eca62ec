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
  dgHeap(Entry* storage, int capacity) : entries_(storage), capacity_(storage ? capacity : 0) {}

  int GetCount() const { return count_; }
  int GetCapacity() const { return capacity_; }
  // The largest key; only valid when the count is above 0.
  const Key& TopKey() const { return entries_[0].key; }
  const Value& TopValue() const { return entries_[0].value; }
  // Entry i in heap order (0 is the top), for scanning every entry.
  const Entry& GetEntry(int i) const { return entries_[i]; }
  // Empties the heap.
  void Flush() { count_ = 0; }
  // Carries the entries over to a larger block (not owned), in the same
  // order; the old block is no longer used.
  void MoveTo(Entry* storage, int capacity) {
    for (int i = 0; i < count_; ++i) storage[i] = entries_[i];
    entries_ = storage;
    capacity_ = capacity;
  }

  // Adds an entry; false when the heap is full.
  bool Push(const Key& key, const Value& value) {
    if (count_ >= capacity_) return false;
    int i = count_++;
    while (i > 0) {
      const int parent = (i - 1) / 2;
      if (!(entries_[parent].key < key)) break;
      entries_[i] = entries_[parent];
      i = parent;
    }
    entries_[i] = Entry{key, value};
    return true;
  }

  // Removes the top entry (nothing when empty).
  void Pop() {
    if (count_ == 0) return;
    const Entry last = entries_[--count_];
    int i = 0;
    for (;;) {
      int child = 2 * i + 1;
      if (child >= count_) break;
      if (child + 1 < count_ && entries_[child].key < entries_[child + 1].key) ++child;
      if (!(last.key < entries_[child].key)) break;
      entries_[i] = entries_[child];
      i = child;
    }
    if (count_ > 0) entries_[i] = last;
  }

 private:
  Entry* entries_;
  int capacity_;
  int count_ = 0;
};
