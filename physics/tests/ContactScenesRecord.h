#pragma once
// What the benchmark's contact and closest-point scenes answered when they
// were recorded; ContactScenesTest.cpp writes the tables in
// ContactScenesRecorded.inc.

#include <cstdint>

enum class ContactSceneKind { kBoxBox, kSphereBox, kCapsuleCylinder, kHullHull, kClosestBox, kClosestCapsule };

// Every this many queries one digest is kept.
inline constexpr int kContactSceneDigestStride = 8;
inline constexpr int kContactSceneMaxQueries = 1024;

struct ContactSceneRecord {
  ContactSceneKind kind;
  int queries;
  uint32_t seed;
  // One digit per query: its contact count (closest points: 1 when found).
  const char* counts;
  // The digest of every kContactSceneDigestStride-th query's answers.
  double digests[kContactSceneMaxQueries / kContactSceneDigestStride];
  // Over all queries: the sums of the points', the normals' and the depths' digests.
  double sums[3];
};

inline constexpr ContactSceneRecord kContactSceneRecords[] = {
#include "ContactScenesRecorded.inc"
};
