#pragma once
// Counts every heap byte of the benchmark programs: global new and delete,
// the physics library's hooks and the comparison library's allocator all
// allocate through it, so the bytes a build keeps and the most it held at
// once can be read around one call.

#include <cstddef>

#include "physics/bench/BenchScenes.h"

namespace meter {

// A block of at least bytes (16-byte aligned), counted; null when the C heap refuses.
void* Allocate(size_t bytes);
// Gives back a block of Allocate; null is ignored.
void Release(void* block);
// The physics library's hook pair over Allocate and Release.
void* PhysicsMalloc(size_t bytes);
void PhysicsFree(void* block, size_t bytes);

// Bytes allocated and not yet given back.
long long LiveBytes();
// The most LiveBytes has been since the last ResetPeak.
long long PeakBytes();
// Starts a new peak at the live bytes of now.
void ResetPeak();

// Keeps the C heap from handing freed memory back to the system (and from
// mapping large blocks of their own), so that a build repeated in a loop
// measures the code and not the system's page faults, whichever library
// freed memory last. Call once, first thing in main.
void KeepFreedMemory();
// The C heap's first thresholds again (blocks from 128 KiB mapped for
// themselves and unmapped when freed, the heap's top trimmed), with every
// freed byte handed back now: a build that follows is a one-shot build,
// paying the page faults of fresh memory as a level's one build does.
void ReturnFreedMemory();

}  // namespace meter

// Heap bytes per triangle of one build (the world's hooks must be the
// meter's): the most held at once while building, and what the finished
// tree collision keeps.
struct BuildMemory {
  double peakPerTriangle = 0.0;
  double keptPerTriangle = 0.0;
};
BuildMemory MeasureBuildMemory(dgWorld* world, const SoupInput& soup, int optimise);
