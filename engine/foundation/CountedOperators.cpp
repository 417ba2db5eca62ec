// The program's global allocation operators. Every form (plain, array,
// sized, aligned, nothrow) counts in the object group so that the counters
// agree whatever form the compiler picks. A refused allocation returns null
// instead of throwing (the build uses -fcheck-new).
#include <cstdlib>
#include <new>

#include "engine/foundation/Memory.h"

// The build tells the linker this symbol is needed, so this object is linked
// into every executable that uses the foundation library: a static library
// member that only defines operator new would otherwise be skipped when the
// sanitizer runtime already provides one.
extern "C" {
int vyre_counted_operators_anchor = 0;
}

namespace {

// malloc(0) may legally return null; new must hand out a unique block.
void* NewBlock(size_t bytes) {
  CountObjectAllocation(bytes);
  return std::malloc(bytes == 0 ? 1 : bytes);
}

void* NewAlignedBlock(size_t bytes, std::align_val_t alignment) {
  CountObjectAllocation(bytes);
  size_t align = static_cast<size_t>(alignment);
  if (align < sizeof(void*)) align = sizeof(void*);
  void* block = nullptr;
  if (posix_memalign(&block, align, bytes == 0 ? 1 : bytes) != 0) return nullptr;
  return block;
}

void DeleteBlock(void* block) { CountedDelete(block); }

}  // namespace

void* operator new(size_t bytes) { return NewBlock(bytes); }
void* operator new[](size_t bytes) { return NewBlock(bytes); }
void* operator new(size_t bytes, const std::nothrow_t&) noexcept { return NewBlock(bytes); }
void* operator new[](size_t bytes, const std::nothrow_t&) noexcept { return NewBlock(bytes); }
void* operator new(size_t bytes, std::align_val_t alignment) { return NewAlignedBlock(bytes, alignment); }
void* operator new[](size_t bytes, std::align_val_t alignment) { return NewAlignedBlock(bytes, alignment); }
void* operator new(size_t bytes, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return NewAlignedBlock(bytes, alignment);
}
void* operator new[](size_t bytes, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return NewAlignedBlock(bytes, alignment);
}

void operator delete(void* block) noexcept { DeleteBlock(block); }
void operator delete[](void* block) noexcept { DeleteBlock(block); }
void operator delete(void* block, size_t) noexcept { DeleteBlock(block); }
void operator delete[](void* block, size_t) noexcept { DeleteBlock(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { DeleteBlock(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { DeleteBlock(block); }
void operator delete(void* block, std::align_val_t) noexcept { DeleteBlock(block); }
void operator delete[](void* block, std::align_val_t) noexcept { DeleteBlock(block); }
void operator delete(void* block, size_t, std::align_val_t) noexcept { DeleteBlock(block); }
void operator delete[](void* block, size_t, std::align_val_t) noexcept { DeleteBlock(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { DeleteBlock(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { DeleteBlock(block); }
