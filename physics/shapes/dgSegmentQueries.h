#pragma once
// Closest points on segments and the cast of a segment against one indexed
// polygon face. They allocate nothing.

#include "physics/math/dgVector.h"

// The point of segment a-b nearest to point (w taken from a); a for a
// segment of zero length.
dgVector dgClosestPointOnSegment(const dgVector& point, const dgVector& a, const dgVector& b);

// The closest points between segments a0-a1 and b0-b1: outOnA lies on the
// first, outOnB on the second. Parallel or degenerate segments give their midpoints.
void dgClosestPointsBetweenSegments(const dgVector& a0, const dgVector& a1, const dgVector& b0, const dgVector& b1,
                                    dgVector& outOnA, dgVector& outOnB);

// Casts segment p0 -> p1 at the polygon whose vertices are indexed into a
// strided float array (bit 31 of an index is an edge flag and is ignored).
// Only a face turned towards the segment counts. The test is watertight: a
// segment crossing a closed mesh hits at least one face, even through an
// edge or a corner (every face sharing it may claim the hit). On a hit
// writes the parameter t in 0..1 and the face normal (P1-P0)x(P2-P0), not
// normalised, w = 1, and returns true; otherwise writes nothing.
bool dgRayCastPolygon(const dgVector& p0, const dgVector& p1, const float* vertices, int strideBytes,
                      const int* indices, int indexCount, float& outT, dgVector& outNormal);
