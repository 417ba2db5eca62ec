#pragma once
// The storage every effect system keeps: a fixed pool of items, a list whose
// first entries are the live items (the rest free ones), and room for the
// vertices the items build each frame.

#include <cstddef>
#include <cstdint>

#include "engine/effects/EffectVertex.h"

// Allocates capacity items with every list entry pointing at its own item.
template <class Item>
void AllocateEffectPool(int32_t capacity, int32_t verticesPerItem, Item*& pool, Item**& live, EffectVertex*& vertices) {
  pool = new Item[capacity];
  live = new Item*[capacity];
  for (int32_t i = 0; i < capacity; ++i) live[i] = &pool[i];
  vertices = new EffectVertex[static_cast<size_t>(capacity) * verticesPerItem];
}

// Frees the three arrays and clears the pointers.
template <class Item>
void FreeEffectPool(Item*& pool, Item**& live, EffectVertex*& vertices) {
  delete[] pool;
  delete[] live;
  delete[] vertices;
  pool = nullptr;
  live = nullptr;
  vertices = nullptr;
}
