#pragma once
// Brute-force answers for convex hull queries: every vertex, every face
// plane, every edge, no cleverness.

#include "physics/shapes/dgConvexCollision.h"

// The largest dir · v over the hull's vertices.
float BruteSupportValue(const dgConvexCollision& hull, const dgVector& dir);

// Segment against the hull's face planes (Cyrus-Beck). Returns the entry
// parameter, or a value above 1 when the segment misses or starts inside;
// outNormal is the unit normal of the entering face and outMargin the gap
// between the best and the second-best entering parameter (small near edges).
float BruteRayCast(const dgConvexCollision& hull, const dgVector& p0, const dgVector& p1, dgVector& outNormal,
                   float& outMargin);

// The largest signed distance of p from the hull's face planes (<= 0 inside).
float HullSignedDistance(const dgConvexCollision& hull, const dgVector& p);

// Area of the convex section of the hull by the plane (normal, point),
// from the crossing points of every edge.
float BruteSectionArea(const dgConvexCollision& hull, const dgVector& normal, const dgVector& point);

// Area of a planar polygon given in order, measured along the unit normal.
float PolygonArea(int count, const dgVector* points, const dgVector& unitNormal);
