#include "physics/bench/MemoryMeter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

#include "physics/world/Physics.h"

namespace {

// Each block carries its size in front, keeping the caller's part 16-byte aligned.
constexpr size_t kHeader = 16;

long long gLive = 0;
long long gPeak = 0;

}  // namespace

namespace meter {

void* Allocate(size_t bytes) {
  auto* raw = static_cast<unsigned char*>(std::malloc(bytes + kHeader));
  if (!raw) return nullptr;
  *reinterpret_cast<size_t*>(raw) = bytes;
  gLive += static_cast<long long>(bytes);
  if (gLive > gPeak) gPeak = gLive;
  return raw + kHeader;
}

void Release(void* block) {
  if (!block) return;
  unsigned char* raw = static_cast<unsigned char*>(block) - kHeader;
  gLive -= static_cast<long long>(*reinterpret_cast<size_t*>(raw));
  std::free(raw);
}

void* PhysicsMalloc(size_t bytes) { return Allocate(bytes); }

void PhysicsFree(void* block, size_t) { Release(block); }

long long LiveBytes() { return gLive; }

long long PeakBytes() { return gPeak; }

void ResetPeak() { gPeak = gLive; }

void KeepFreedMemory() {
  // Blocks up to the largest size glibc lets M_MMAP_THRESHOLD take come
  // from the heap, and the heap's top is never trimmed.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, -1);
}

void ReturnFreedMemory() {
  // glibc's first thresholds, held there.
  constexpr int kDefaultThreshold = 128 * 1024;
  mallopt(M_MMAP_THRESHOLD, kDefaultThreshold);
  mallopt(M_TRIM_THRESHOLD, kDefaultThreshold);
  malloc_trim(0);
}

}  // namespace meter

// The program's own new and delete count too (standard containers, the
// comparison library's objects).
void* operator new(size_t bytes) {
  void* block = meter::Allocate(bytes ? bytes : 1);
  if (!block) throw std::bad_alloc();
  return block;
}
void* operator new[](size_t bytes) { return operator new(bytes); }
void* operator new(size_t bytes, const std::nothrow_t&) noexcept { return meter::Allocate(bytes ? bytes : 1); }
void* operator new[](size_t bytes, const std::nothrow_t&) noexcept { return meter::Allocate(bytes ? bytes : 1); }
void operator delete(void* block) noexcept { meter::Release(block); }
void operator delete[](void* block) noexcept { meter::Release(block); }
void operator delete(void* block, size_t) noexcept { meter::Release(block); }
void operator delete[](void* block, size_t) noexcept { meter::Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { meter::Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { meter::Release(block); }

BuildMemory MeasureBuildMemory(dgWorld* world, const SoupInput& soup, int optimise) {
  const long long before = meter::LiveBytes();
  meter::ResetPeak();
  dgCollision* tree = BuildSoup(world, soup, optimise);
  const long long kept = meter::LiveBytes() - before;
  const long long peak = meter::PeakBytes() - before;
  PhysicsReleaseCollision(world, tree);
  const double triangles = soup.TriangleCount();
  return {static_cast<double>(peak) / triangles, static_cast<double>(kept) / triangles};
}
