#include "engine/scene/cds/CDSHitList.h"

#include <utility>

#include "engine/scene/cds/CDSWorld.h"

namespace {

bool AddHit(CCDSHit* hits, uint32_t& count, uint32_t object, float distance) {
  if (count >= CCDSHitList::kMaxHits) return false;
  for (uint32_t i = 0; i < count; ++i) {
    // An object filed in several cells is met once per cell.
    if (hits[i].object == object) return false;
  }
  hits[count].object = object;
  hits[count].distance = distance;
  ++count;
  return true;
}

const CCDSHit* HitAt(const CCDSHit* hits, uint32_t count, uint32_t index) {
  return index < count ? &hits[index] : nullptr;
}

float Average(uint32_t total, uint32_t queries) {
  // Whole-number division on purpose: the statistics show the same figures
  // the developer tools always showed.
  return queries == 0 ? 0.0f : static_cast<float>(total / queries);
}

}  // namespace

void SortHitsByDistance(CCDSHit* hits, uint32_t count) {
  uint32_t i = 0;
  while (i + 1 < count) {
    if (hits[i].distance > hits[i + 1].distance) {
      std::swap(hits[i], hits[i + 1]);
      i = 0;
    } else {
      ++i;
    }
  }
}

CCDSHitList& CCDSHitList::Instance() {
  static CCDSHitList list;
  return list;
}

void CCDSHitList::QuerySphere(const BoundingSphere& sphere) {
  BeginQuery(sphereHitCount);
  CCDSWorld::Instance().GetRoot()->QuerySphere(sphere, *this);
  FinishQuery(sphereHits, sphereHitCount);
}

void CCDSHitList::QueryRay(const Ray& ray) {
  BeginQuery(rayHitCount);
  CCDSWorld::Instance().GetRoot()->QueryRay(ray, *this);
  FinishQuery(rayHits, rayHitCount);
}

bool CCDSHitList::AddSphereHit(uint32_t object, float distance) {
  return AddHit(sphereHits, sphereHitCount, object, distance);
}

bool CCDSHitList::AddRayHit(uint32_t object, float distance) { return AddHit(rayHits, rayHitCount, object, distance); }

const CCDSHit* CCDSHitList::GetSphereHit(uint32_t index) const { return HitAt(sphereHits, sphereHitCount, index); }

const CCDSHit* CCDSHitList::GetRayHit(uint32_t index) const { return HitAt(rayHits, rayHitCount, index); }

float CCDSHitList::AverageHits() const { return Average(totalHits, queryCount); }

float CCDSHitList::AverageNodes() const { return Average(totalNodesVisited, queryCount); }

float CCDSHitList::AverageObjects() const { return Average(totalObjectsTested, queryCount); }

void CCDSHitList::BeginQuery(uint32_t& listCount) {
  nodesVisited = 0;
  objectsTested = 0;
  lastHitCount = 0;
  listCount = 0;
}

void CCDSHitList::FinishQuery(CCDSHit* hits, uint32_t count) {
  SortHitsByDistance(hits, count);
  ++queryCount;
  totalNodesVisited += nodesVisited;
  totalObjectsTested += objectsTested;
  lastHitCount = count;
  totalHits += count;
}
