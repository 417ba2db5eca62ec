#pragma once
// Small geometry helpers shared by the shapes, the soup builder and the
// half-edge mesh: the processor test, the box of a strided vertex array and
// vertex welding.

#include "physics/math/dgVector.h"

// True when the processor runs SSE instructions.
bool dgCpuHasSSE();

// The box of the first count vertices of a strided float array (stride in
// bytes, rounded down to a multiple of 4); both corners have w = 1. An empty
// array gives the point (0, 0, 0).
void dgGetMinMax(dgVector& outMin, dgVector& outMax, const float* vertices, int count, int strideBytes);

// Welds the count vertices of a strided array in place: the first
// comparedBytes of each vertex are compared with tolerance (widened by
// 0.0001), the next exactBytes must match bit for bit. The unique vertices
// are moved to the front of the array, outIndices[i] receives vertex i's
// new index, and their number is returned; 0 (array untouched) when
// strideBytes < 12, comparedBytes + exactBytes < 12 or above the stride, or
// the arguments are unusable. With outMoved given, outMoved[i] is set to 1
// when vertex i's compared and exact words differ from those of the vertex
// it welds to, else 0.
int dgWeldVertices(float* vertices, int strideBytes, int comparedBytes, int exactBytes, int count, int* outIndices,
                   float tolerance, unsigned char* outMoved = nullptr);
// The same weld over float vertices held in chunks of 1 << chunkShift vertices
// (vertex i lies i & (chunk size - 1) strides into chunks[i >> chunkShift],
// chunkShift 0 to 30), which stay as they are: the unique vertices go, in
// the order of their numbers and strideBytes apart, to a new dgMalloc block
// of exactly their bytes, handed to the caller in outWelded (null when 0 is
// returned).
int dgWeldVertexChunks(const void* const* chunks, int chunkShift, int strideBytes, int comparedBytes, int exactBytes,
                       int count, int* outIndices, float tolerance, unsigned char* outMoved, float*& outWelded);
