#pragma once
#include <cstdint>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/Ray.h"

// One object found by a query: its slot in the collision world and its
// distance (along a ray from its origin; 0 for sphere hits).
struct CCDSHit {
  uint32_t object = 0;
  float distance = 0.0f;
};

// Sorts hits by ascending distance, keeping equal (and incomparable, such as
// NaN) distances in their order of adding: the first pair out of order is
// swapped and the scan starts over.
void SortHitsByDistance(CCDSHit* hits, uint32_t count);

// The objects a sphere or a ray touches, nearest first, with counters over
// all queries for the developer statistics.
class CCDSHitList {
 public:
  static constexpr uint32_t kMaxHits = 10;

  static CCDSHitList& Instance();
  CCDSHitList() = default;
  virtual ~CCDSHitList() = default;
  CCDSHitList(const CCDSHitList&) = delete;
  CCDSHitList& operator=(const CCDSHitList&) = delete;

  // Runs one query over the world's tree; the hits replace the last ones.
  void QuerySphere(const BoundingSphere& sphere);
  void QueryRay(const Ray& ray);

  // Appends a hit; false (the tree stops scanning the current leaf) when the
  // list is full or already holds the object.
  bool AddSphereHit(uint32_t object, float distance);
  bool AddRayHit(uint32_t object, float distance);

  // The entry at index, or null at or beyond the list's count.
  const CCDSHit* GetSphereHit(uint32_t index) const;
  const CCDSHit* GetRayHit(uint32_t index) const;

  // Totals divided by the number of queries in whole numbers; 0 before any.
  float AverageHits() const;
  float AverageNodes() const;
  float AverageObjects() const;

  // Counters of the last query, raised by the tree walks.
  uint32_t nodesVisited = 0;
  uint32_t objectsTested = 0;
  uint32_t lastHitCount = 0;
  // Totals over all queries.
  uint32_t queryCount = 0;
  uint32_t totalNodesVisited = 0;
  uint32_t totalObjectsTested = 0;
  uint32_t totalHits = 0;

  uint32_t rayHitCount = 0;
  CCDSHit rayHits[kMaxHits];
  uint32_t sphereHitCount = 0;
  CCDSHit sphereHits[kMaxHits];

 private:
  void BeginQuery(uint32_t& listCount);
  void FinishQuery(CCDSHit* hits, uint32_t count);
};
