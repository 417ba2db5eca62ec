#pragma once
// A watertight cast of a segment's line against indexed polygon faces: the
// side of the line on which each edge passes is decided with a sign that
// never comes out wrong, so faces that share an edge or a corner leave no
// gap between them, however close to it the line runs.

#include "physics/math/dgVector.h"

// Casts segment p0 -> p1 at the fan (P0, Pi-1, Pi) of the polygon whose
// vertices are indexed into a strided float array (bit 31 of an index is an
// edge flag and is ignored). A fan triangle counts when it is turned towards
// the segment and the line passes through it, a point on one of its edges or
// corners included: two faces sharing an edge both claim a line through that
// edge. On a hit writes the parameter t in 0..1 of the point where the line
// meets that triangle and returns true; otherwise writes nothing.
bool dgWatertightRayCastPolygon(const dgVector& p0, const dgVector& p1, const float* vertices, int strideBytes,
                                const int* indices, int indexCount, float& outT);
