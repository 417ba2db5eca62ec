#pragma once
// A scratch array taken with dgMallocScratch for the length of one operation and
// given back when it goes out of scope. Elements are not constructed: use
// it for plain data. A request that cannot be met leaves it empty.

#include <cstddef>
#include <cstdint>

#include "physics/memory/dgMemory.h"

template <class T>
class dgStack {
 public:
  explicit dgStack(long long count) {
    if (count > 0 && static_cast<unsigned long long>(count) <= SIZE_MAX / sizeof(T)) {
      data_ = static_cast<T*>(dgMallocScratch(static_cast<size_t>(count) * sizeof(T)));
      if (data_) count_ = count;
    }
  }
  dgStack(const dgStack&) = delete;
  dgStack& operator=(const dgStack&) = delete;
  ~dgStack() { dgFree(data_); }

  // True when the block was had.
  bool IsValid() const { return data_ != nullptr; }
  long long GetCount() const { return count_; }
  T* Data() const { return data_; }
  T& operator[](long long i) const { return data_[i]; }

 private:
  T* data_ = nullptr;
  long long count_ = 0;
};
