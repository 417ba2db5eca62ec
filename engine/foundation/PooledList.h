#pragma once
// The engine's general container: a doubly linked list of untyped pointers
// whose nodes come from blocks allocated in bulk and recycled through a free
// list. The list never frees the pointers it holds. A fixed list never grows
// and keeps the data of removed nodes so their owner can reuse the objects.
#include <cstdint>

// One node of a PooledList.
class PooledListNode {
 public:
  PooledListNode() = default;
  virtual ~PooledListNode() = default;

  // Exchanges the data pointers of two nodes.
  void SwapData(PooledListNode& other);
  // Places this node right after the given one.
  void LinkAfter(PooledListNode* node);
  // Joins the neighbours to each other and clears this node's links (the
  // owning list's head, tail and counts are not touched).
  void Unlink();
  // Stores the next link alone.
  void SetNext(PooledListNode* node) { next = node; }

  void* data = nullptr;
  uint8_t blockHead = 0;  // first node of an allocated block
  PooledListNode* prev = nullptr;
  PooledListNode* next = nullptr;
};

class PooledList {
 public:
  // A list growing by growSize nodes when it runs out (0: never grows).
  explicit PooledList(uint32_t growSize = 10);
  // Frees every node block; the data pointers are not freed.
  virtual ~PooledList();
  PooledList(const PooledList&) = delete;
  PooledList& operator=(const PooledList&) = delete;

  // Adds a block of n free nodes; false for n = 0 or when the heap refuses.
  bool Grow(uint32_t n);
  // Takes the most recently freed node, growing when allowed; null when none.
  PooledListNode* AllocNode();
  // Appends the data; false when no node could be had.
  bool AddTail(void* data);
  // Appends the data and returns its node (null when none could be had).
  PooledListNode* AddTailNode(void* data);
  // Inserts the data right after the node at index; false for an index
  // outside the list.
  bool InsertAfter(uint32_t index, void* data);
  // Unlinks the node, returns it to the free list and returns its data.
  void* RemoveNode(PooledListNode* node);
  // Removes the node at index and returns its data (null outside the list).
  void* RemoveAt(uint32_t index);
  // Removes the first node holding the data; true when one was found.
  bool Remove(void* data);
  // Removes every node (the data pointers are not freed).
  void Clear();

  // Data of the node at index, null outside the list.
  void* At(uint32_t index) const;
  // Node at index, null outside the list.
  PooledListNode* NodeAt(uint32_t index) const;
  // Data of the first and last node, null for an empty list.
  void* HeadData() const { return head_ != nullptr ? head_->data : nullptr; }
  void* TailData() const { return tail_ != nullptr ? tail_->data : nullptr; }
  // Exchanges the data of the nodes at i and j; false when either is outside.
  bool Swap(uint32_t i, uint32_t j);
  // Grows once so that total nodes exist (used and free).
  void Reserve(uint32_t total);
  // For a fixed list: appends the object left in the last freed node again
  // and returns it; otherwise null.
  void* ReuseFree();

  // Marks the list fixed: it never grows and removed nodes keep their data.
  void SetFixed(bool fixed) { fixed_ = fixed; }
  bool IsFixed() const { return fixed_; }
  uint32_t GrowSize() const { return growSize_; }
  void SetGrowSize(uint32_t growSize) { growSize_ = growSize; }

  uint32_t Count() const { return count_; }
  uint32_t FreeCount() const { return freeCount_; }
  uint32_t BlockCount() const { return blockCount_; }
  PooledListNode* Head() const { return head_; }
  PooledListNode* Tail() const { return tail_; }
  PooledListNode* FreeHead() const { return freeHead_; }
  PooledListNode* FreeTail() const { return freeTail_; }

 private:
  void FreeBlocksOf(PooledListNode* first);

  uint32_t growSize_ = 0;
  uint32_t blockCount_ = 0;
  bool fixed_ = false;
  PooledListNode* head_ = nullptr;
  PooledListNode* tail_ = nullptr;
  uint32_t count_ = 0;
  PooledListNode* freeHead_ = nullptr;
  PooledListNode* freeTail_ = nullptr;
  uint32_t freeCount_ = 0;
};
