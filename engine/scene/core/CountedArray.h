#pragma once
#include <cstdint>
#include <new>

// Fills an empty owned array (items null, count 0) with n default items.
// False, and the array left empty, when the heap refuses: a count read from
// a file must never end the program.
template <typename T>
bool AllocateCountedArray(T*& items, uint32_t& count, uint32_t n) {
  if (n == 0) return true;
  T* fresh = new (std::nothrow) T[n];
  if (fresh == nullptr) return false;
  items = fresh;
  count = n;
  return true;
}
