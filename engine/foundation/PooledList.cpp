#include "engine/foundation/PooledList.h"

#include <new>

#include "engine/foundation/Memory.h"

namespace {

// A node block is one counted allocation: the node count, then the nodes.
constexpr size_t kBlockHeader =
    (sizeof(uint32_t) + alignof(PooledListNode) - 1) / alignof(PooledListNode) * alignof(PooledListNode);

PooledListNode* FirstNodeOf(void* block) {
  return reinterpret_cast<PooledListNode*>(static_cast<char*>(block) + kBlockHeader);
}

void* BlockOf(PooledListNode* first) { return reinterpret_cast<char*>(first) - kBlockHeader; }

}  // namespace

void PooledListNode::SwapData(PooledListNode& other) {
  void* mine = data;
  data = other.data;
  other.data = mine;
}

void PooledListNode::LinkAfter(PooledListNode* node) {
  if (node == nullptr) return;
  prev = node;
  next = node->next;
  if (next != nullptr) next->prev = this;
  node->next = this;
}

void PooledListNode::Unlink() {
  if (prev != nullptr) prev->next = next;
  if (next != nullptr) next->prev = prev;
  prev = nullptr;
  next = nullptr;
}

PooledList::PooledList(uint32_t growSize) : growSize_(growSize) {}

PooledList::~PooledList() {
  // Collect the block heads first: freeing a block destroys nodes that the
  // walk would still need.
  uint32_t heads = 0;
  for (PooledListNode* n = head_; n != nullptr; n = n->next) heads += n->blockHead;
  for (PooledListNode* n = freeHead_; n != nullptr; n = n->next) heads += n->blockHead;
  if (heads > 0) {
    auto** blocks = static_cast<PooledListNode**>(CountedNew(sizeof(PooledListNode*) * heads));
    if (blocks != nullptr) {
      uint32_t found = 0;
      for (PooledListNode* n = head_; n != nullptr; n = n->next) {
        if (n->blockHead) blocks[found++] = n;
      }
      for (PooledListNode* n = freeHead_; n != nullptr; n = n->next) {
        if (n->blockHead) blocks[found++] = n;
      }
      for (uint32_t i = 0; i < found; ++i) FreeBlocksOf(blocks[i]);
      CountedDelete(blocks);
    }
  }
  growSize_ = 0;
  blockCount_ = 0;
  fixed_ = false;
  head_ = tail_ = freeHead_ = freeTail_ = nullptr;
  count_ = freeCount_ = 0;
}

void PooledList::FreeBlocksOf(PooledListNode* first) {
  void* block = BlockOf(first);
  uint32_t nodes = *static_cast<uint32_t*>(block);
  for (uint32_t i = 0; i < nodes; ++i) first[i].~PooledListNode();
  CountedDelete(block);
}

bool PooledList::Grow(uint32_t n) {
  if (n == 0) return false;
  void* block = CountedNew(kBlockHeader + sizeof(PooledListNode) * static_cast<size_t>(n));
  if (block == nullptr) return false;
  *static_cast<uint32_t*>(block) = n;
  PooledListNode* nodes = FirstNodeOf(block);
  for (uint32_t i = 0; i < n; ++i) new (&nodes[i]) PooledListNode();
  nodes[0].blockHead = 1;
  for (uint32_t i = 0; i < n; ++i) {
    nodes[i].prev = i > 0 ? &nodes[i - 1] : freeTail_;
    nodes[i].next = i + 1 < n ? &nodes[i + 1] : nullptr;
  }
  if (freeTail_ != nullptr) {
    freeTail_->next = &nodes[0];
  } else {
    freeHead_ = &nodes[0];
  }
  freeTail_ = &nodes[n - 1];
  ++blockCount_;
  freeCount_ += n;
  return true;
}

PooledListNode* PooledList::AllocNode() {
  if (freeTail_ == nullptr) {
    if (fixed_ || growSize_ == 0) return nullptr;
    if (!Grow(growSize_)) return nullptr;
  }
  PooledListNode* node = freeTail_;
  freeTail_ = node->prev;
  if (freeTail_ != nullptr) {
    freeTail_->next = nullptr;
  } else {
    freeHead_ = nullptr;
  }
  node->prev = nullptr;
  node->next = nullptr;
  --freeCount_;
  return node;
}

PooledListNode* PooledList::AddTailNode(void* data) {
  PooledListNode* node = AllocNode();
  if (node == nullptr) return nullptr;
  node->data = data;
  node->prev = tail_;
  if (tail_ != nullptr) {
    tail_->next = node;
  } else {
    head_ = node;
  }
  tail_ = node;
  ++count_;
  return node;
}

bool PooledList::AddTail(void* data) { return AddTailNode(data) != nullptr; }

bool PooledList::InsertAfter(uint32_t index, void* data) {
  if (count_ == 0 || index > count_ - 1) return false;
  if (index == count_ - 1) return AddTail(data);
  PooledListNode* at = NodeAt(index);
  PooledListNode* node = AllocNode();
  if (node == nullptr) return false;
  node->data = data;
  node->LinkAfter(at);
  ++count_;
  return true;
}

void* PooledList::RemoveNode(PooledListNode* node) {
  if (node == nullptr) return nullptr;
  if (node->prev != nullptr) {
    node->prev->next = node->next;
  } else {
    head_ = node->next;
  }
  if (node->next != nullptr) {
    node->next->prev = node->prev;
  } else {
    tail_ = node->prev;
  }
  --count_;
  node->prev = freeTail_;
  node->next = nullptr;
  if (freeTail_ != nullptr) {
    freeTail_->next = node;
  } else {
    freeHead_ = node;
  }
  freeTail_ = node;
  ++freeCount_;
  void* data = node->data;
  if (!fixed_) node->data = nullptr;
  return data;
}

void* PooledList::RemoveAt(uint32_t index) { return RemoveNode(NodeAt(index)); }

bool PooledList::Remove(void* data) {
  for (PooledListNode* n = head_; n != nullptr; n = n->next) {
    if (n->data == data) {
      RemoveNode(n);
      return true;
    }
  }
  return false;
}

void PooledList::Clear() {
  while (count_ > 0) RemoveNode(head_);
}

PooledListNode* PooledList::NodeAt(uint32_t index) const {
  if (index >= count_) return nullptr;
  PooledListNode* node = head_;
  while (index-- > 0) node = node->next;
  return node;
}

void* PooledList::At(uint32_t index) const {
  PooledListNode* node = NodeAt(index);
  return node != nullptr ? node->data : nullptr;
}

bool PooledList::Swap(uint32_t i, uint32_t j) {
  PooledListNode* a = NodeAt(i);
  PooledListNode* b = NodeAt(j);
  if (a == nullptr || b == nullptr) return false;
  a->SwapData(*b);
  return true;
}

void PooledList::Reserve(uint32_t total) {
  int64_t missing = static_cast<int64_t>(total) - freeCount_ - count_;
  if (missing > 0) Grow(static_cast<uint32_t>(missing));
}

void* PooledList::ReuseFree() {
  if (!fixed_ || freeTail_ == nullptr || freeTail_->data == nullptr) return nullptr;
  void* object = freeTail_->data;
  return AddTail(object) ? object : nullptr;
}
