#pragma once
// The engine's counted allocation operators: the library's one outside need
// (the soup builder and the broad phase's nodes use them). The product links
// the engine foundation's definitions; the library's tests link their own.

#include <cstddef>

// A block from the engine's counted heap, or null.
void* CountedNew(size_t bytes);
// Gives back a block from CountedNew; null is allowed.
void CountedDelete(void* block);
