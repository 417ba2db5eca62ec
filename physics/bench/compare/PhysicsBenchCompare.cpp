// Every benchmark scene run on our library and on Bullet in one process, on
// the same inputs, one after the other: prints both rates and their ratio
// (ours / Bullet's). A measuring aid only, built with VYRE_BENCH_BULLET.

#include <BulletCollision/NarrowPhaseCollision/btGjkEpaPenetrationDepthSolver.h>
#include <BulletCollision/NarrowPhaseCollision/btGjkPairDetector.h>
#include <BulletCollision/NarrowPhaseCollision/btPointCollector.h>
#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>
#include <BulletCollision/NarrowPhaseCollision/btVoronoiSimplexSolver.h>
#include <LinearMath/btAlignedAllocator.h>
#include <btBulletCollisionCommon.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "physics/bench/BenchScenes.h"
#include "physics/bench/MemoryMeter.h"
#include "physics/bench/compare/ExactGeometry.h"
#include "physics/shapes/dgCollision.h"
#include "physics/world/Physics.h"
#include "physics/world/dgWorld.h"

namespace {

constexpr int kSegmentCount = 4096;
constexpr int kPoseCount = 1024;
constexpr int kPointCount = 1024;
constexpr int kMaxContacts = 8;
constexpr double kMinSeconds = 0.3;
constexpr int kRounds = 3;

// Thread CPU time: the machine is shared, so wall time would measure the neighbours.
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Items per CPU second of call(i) (which handles itemsPerCall items) over
// one round of at least minSeconds.
double RoundRate(double itemsPerCall, const std::function<void(size_t)>& call, double minSeconds) {
  size_t calls = 0;
  const double start = CpuSeconds();
  double elapsed = 0.0;
  do {
    call(calls++);
    elapsed = CpuSeconds() - start;
  } while (elapsed < minSeconds);
  return itemsPerCall * static_cast<double>(calls) / elapsed;
}

// The best of a few rounds of at least kMinSeconds each.
double Rate(double itemsPerCall, const std::function<void(size_t)>& call) {
  double best = 0.0;
  for (int round = 0; round < kRounds; ++round) best = std::max(best, RoundRate(itemsPerCall, call, kMinSeconds));
  return best;
}

// Rates of two calls measured in turns, kPairedRounds rounds each, and the
// median of each: neighbours on a shared machine slow both alike.
constexpr int kPairedRounds = 7;
std::pair<double, double> PairedRates(double itemsPerCall, const std::function<void(size_t)>& ours,
                                      const std::function<void(size_t)>& bullet) {
  std::vector<double> ourRates;
  std::vector<double> bulletRates;
  for (int i = 0; i < kPairedRounds; ++i) {
    ourRates.push_back(RoundRate(itemsPerCall, ours, kMinSeconds / 2));
    bulletRates.push_back(RoundRate(itemsPerCall, bullet, kMinSeconds / 2));
  }
  std::sort(ourRates.begin(), ourRates.end());
  std::sort(bulletRates.begin(), bulletRates.end());
  return {ourRates[kPairedRounds / 2], bulletRates[kPairedRounds / 2]};
}

struct Row {
  std::string scene;
  double ours;
  double bullet;
  std::string note;
};
std::vector<Row> gRows;

void Report(const std::string& scene, double ours, double bullet, const std::string& note = "") {
  gRows.push_back({scene, ours, bullet, note});
  std::printf("%-34s %14.0f %14.0f %8.2f  %s\n", scene.c_str(), ours, bullet, ours / bullet, note.c_str());
  std::fflush(stdout);
}

btVector3 Vec(const float* p) { return btVector3(p[0], p[1], p[2]); }

// Our sixteen floats (rows front, up, right, posit) as a Bullet transform.
btTransform Transform(const float* m) {
  const btMatrix3x3 basis(m[0], m[4], m[8], m[1], m[5], m[9], m[2], m[6], m[10]);
  return btTransform(basis, btVector3(m[12], m[13], m[14]));
}

// Bullet's triangle mesh over the same triangles, with its quantised BVH.
struct BulletSoup {
  std::vector<int> indices;
  std::unique_ptr<btTriangleIndexVertexArray> mesh;
  std::unique_ptr<btBvhTriangleMeshShape> shape;

  explicit BulletSoup(const SoupInput& soup, bool build = true) {
    indices.resize(soup.triangles.size() / 3);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<int>(i);
    mesh = std::make_unique<btTriangleIndexVertexArray>(
        soup.TriangleCount(), indices.data(), 3 * static_cast<int>(sizeof(int)),
        static_cast<int>(soup.triangles.size() / 3), const_cast<btScalar*>(soup.triangles.data()),
        3 * static_cast<int>(sizeof(float)));
    if (build) shape = std::make_unique<btBvhTriangleMeshShape>(mesh.get(), true, true);
  }
};

// Bullet's closest hit: each reported hit shortens the ray for the rest.
struct ClosestHit : btTriangleRaycastCallback {
  ClosestHit(const btVector3& from, const btVector3& to) : btTriangleRaycastCallback(from, to, kF_FilterBackfaces) {}
  btScalar reportHit(const btVector3& normal, btScalar fraction, int, int) override {
    hitNormal = normal;
    return fraction;
  }
  btVector3 hitNormal;
};

void CompareBuild(dgWorld* world, const SoupInput& soup, int optimise, const std::string& name = "") {
  const double triangles = soup.TriangleCount();
  const auto [ours, bullet] = PairedRates(
      triangles,
      [&](size_t) {
        dgCollision* tree = BuildSoup(world, soup, optimise);
        PhysicsReleaseCollision(world, tree);
      },
      [&](size_t) { BulletSoup built(soup); });
  char note[160];
  std::snprintf(note, sizeof note, "triangles/s; ns/tri %.0f vs %.0f%s", 1e9 / ours, 1e9 / bullet,
                optimise ? "; optimise 1 also welds and merges" : "");
  Report("build " + (name.empty() ? std::to_string(soup.TriangleCount()) + " tri" : name) + ", optimise " +
             std::to_string(optimise),
         ours, bullet, note);
}

// One-shot builds, as a level builds its soup once: before each build the
// C heap hands every freed byte back, so each build pays for fresh memory
// (page faults included) as a program's first build does. Each library
// builds kOneShots times in turn with the other; medians.
void CompareOneShotBuild(dgWorld* world, const SoupInput& soup, int optimise, const std::string& name) {
  constexpr int kOneShots = 7;
  std::vector<double> ours;
  std::vector<double> bullet;
  for (int i = 0; i < kOneShots; ++i) {
    meter::ReturnFreedMemory();
    double start = CpuSeconds();
    dgCollision* tree = BuildSoup(world, soup, optimise);
    ours.push_back(CpuSeconds() - start);
    PhysicsReleaseCollision(world, tree);
    meter::ReturnFreedMemory();
    start = CpuSeconds();
    const BulletSoup built(soup);
    bullet.push_back(CpuSeconds() - start);
  }
  meter::KeepFreedMemory();
  std::sort(ours.begin(), ours.end());
  std::sort(bullet.begin(), bullet.end());
  const double triangles = soup.TriangleCount();
  const double ourSeconds = ours[kOneShots / 2];
  const double bulletSeconds = bullet[kOneShots / 2];
  char note[160];
  std::snprintf(note, sizeof note, "triangles/s; ns/tri %.0f vs %.0f; median of %d, freed memory handed back",
                1e9 * ourSeconds / triangles, 1e9 * bulletSeconds / triangles, kOneShots);
  Report("one-shot build " + name + ", optimise " + std::to_string(optimise), triangles / ourSeconds,
         triangles / bulletSeconds, note);
}

// Bytes of the mesh arrays a caller keeps for Bullet's tree, which only
// refers to them: each distinct vertex once (12 bytes) and three indices a
// triangle, as a mesh with shared corners holds them.
double BulletMeshBytesPerTriangle(const SoupInput& soup) {
  std::vector<std::array<uint32_t, 3>> corners(soup.triangles.size() / 3);
  std::memcpy(corners.data(), soup.triangles.data(), corners.size() * sizeof corners[0]);
  std::sort(corners.begin(), corners.end());
  const size_t distinct = static_cast<size_t>(std::unique(corners.begin(), corners.end()) - corners.begin());
  return (12.0 * static_cast<double>(distinct) + 12.0 * soup.TriangleCount()) / soup.TriangleCount();
}

// Heap bytes per triangle while building and kept by the finished tree.
// Ours keeps its own welded copy of the mesh (the triangles handed to
// AddFace are the caller's, one at a time); Bullet's figures add the mesh
// arrays its tree refers to, which the caller must keep for it.
void CompareBuildMemory(dgWorld* world, const SoupInput& soup, int optimise, const std::string& name) {
  const BuildMemory ours = MeasureBuildMemory(world, soup, optimise);
  const double meshBytes = BulletMeshBytesPerTriangle(soup);
  BulletSoup mesh(soup, false);
  const long long before = meter::LiveBytes();
  meter::ResetPeak();
  mesh.shape = std::make_unique<btBvhTriangleMeshShape>(mesh.mesh.get(), true, true);
  const double triangles = soup.TriangleCount();
  const double bulletKept = static_cast<double>(meter::LiveBytes() - before) / triangles + meshBytes;
  const double bulletPeak = static_cast<double>(meter::PeakBytes() - before) / triangles + meshBytes;
  std::printf("%-34s %14.1f %14.1f %8.2f  bytes/tri kept by the tree, optimise %d; Bullet's %.1f of its mesh\n",
              ("tree size " + name).c_str(), ours.keptPerTriangle, bulletKept, ours.keptPerTriangle / bulletKept,
              optimise, meshBytes);
  std::printf("%-34s %14.1f %14.1f %8.2f  peak bytes/tri while building, optimise %d; ours %.2fx our tree\n",
              ("build memory " + name).c_str(), ours.peakPerTriangle, bulletPeak, ours.peakPerTriangle / bulletPeak,
              optimise, ours.peakPerTriangle / ours.keptPerTriangle);
  std::fflush(stdout);
}

void* BulletAllocate(size_t bytes) { return meter::Allocate(bytes); }
void BulletRelease(void* block) { meter::Release(block); }

void CompareRays(dgWorld* world, const SoupInput& soup, const std::vector<Segment>& segments, const char* kind) {
  dgCollision* tree = BuildSoup(world, soup, 1);
  const BulletSoup bulletSoup(soup);
  int ourHits = 0;
  int bulletHits = 0;
  for (const Segment& segment : segments) {
    float normal[3];
    int attribute = 0;
    const float t = PhysicsCollisionRayCast(tree, segment.p0, segment.p1, normal, &attribute);
    ourHits += t >= 0.0f && t <= 1.0f;
    ClosestHit hit(Vec(segment.p0), Vec(segment.p1));
    bulletSoup.shape->performRaycast(&hit, hit.m_from, hit.m_to);
    bulletHits += hit.m_hitFraction < 1.0f;
  }
  // One call casts every segment, as for the pairs: the clock read after
  // each call costs about as much as a ray.
  const double segmentCount = static_cast<double>(segments.size());
  const auto [ours, bullet] = PairedRates(
      segmentCount,
      [&](size_t) {
        for (const Segment& segment : segments) {
          float normal[3];
          int attribute = 0;
          PhysicsCollisionRayCast(tree, segment.p0, segment.p1, normal, &attribute);
        }
      },
      [&](size_t) {
        for (const Segment& segment : segments) {
          ClosestHit hit(Vec(segment.p0), Vec(segment.p1));
          bulletSoup.shape->performRaycast(&hit, hit.m_from, hit.m_to);
        }
      });
  char note[96];
  std::snprintf(note, sizeof note, "rays/s; hits %d vs %d of %zu", ourHits, bulletHits, segments.size());
  Report(std::string(kind) + " rays, " + std::to_string(soup.TriangleCount()) + " tri", ours, bullet, note);
  PhysicsReleaseCollision(world, tree);
}

// Bullet's pair test also reports points that are still apart (at a
// positive distance within its margins): only points at distance 0 or
// below are contacts.
struct ContactCounter : btCollisionWorld::ContactResultCallback {
  int count = 0;
  btScalar addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper*, int, int,
                           const btCollisionObjectWrapper*, int, int) override {
    count += point.getDistance() <= 0.0f;
    return 0;
  }
};

// Bullet's collision pipeline for pair tests: its default dispatcher.
struct BulletPairs {
  btDefaultCollisionConfiguration configuration;
  btCollisionDispatcher dispatcher{&configuration};
  btDbvtBroadphase broadphase;
  btCollisionWorld world{&dispatcher, &broadphase, &configuration};
};

// One library's answers to a scene against the exact ones.
struct Verdict {
  int wrong = 0;
  double worst = 0.0;  // closest points: the largest distance from the exact point
};

// Bullet's shape as it comes, and with its collision margin set to 0 (the
// same shape where the margin is the shape, as for spheres and capsules).
struct BulletShapes {
  btConvexShape* withMargin;
  btConvexShape* withoutMargin;
};

void ComparePair(dgWorld* world, BulletPairs& pairs, const char* name, dgCollision* a, dgCollision* b,
                 const BulletShapes& bulletA, const BulletShapes& bulletB, const ExactShape& exactA,
                 const ExactShape& exactB, bool throughWorld, uint32_t seed) {
  const std::vector<PosePair> poses = OverlappingPoses(bench::kPoseReach, kPoseCount, seed);
  float points[kMaxContacts][3];
  float normals[kMaxContacts][3];
  float depths[kMaxContacts];
  const auto ourCollide = [&](const PosePair& pose) {
    if (throughWorld) {
      return world->Collide(a, dgMatrix::FromFloats(pose.a), b, dgMatrix::FromFloats(pose.b), points[0], normals[0],
                            depths, kMaxContacts);
    }
    return PhysicsCollisionCollide(world, kMaxContacts, a, pose.a, b, pose.b, points[0], normals[0], depths);
  };
  btCollisionObject objectA;
  btCollisionObject objectB;
  const auto bulletCollide = [&](const PosePair& pose) {
    objectA.setWorldTransform(Transform(pose.a));
    objectB.setWorldTransform(Transform(pose.b));
    ContactCounter counter;
    pairs.world.contactPairTest(&objectA, &objectB, counter);
    return counter.count;
  };
  const auto useBullet = [&](bool margin) {
    objectA.setCollisionShape(margin ? bulletA.withMargin : bulletA.withoutMargin);
    objectB.setCollisionShape(margin ? bulletB.withMargin : bulletB.withoutMargin);
  };
  int touching = 0;
  Verdict ours;
  Verdict bullet[2];  // without, with its margin
  for (const PosePair& pose : poses) {
    const bool exact = ExactDistance(exactA, pose.a, exactB, pose.b) <= kExactTouching;
    touching += exact;
    ours.wrong += (ourCollide(pose) > 0) != exact;
    for (int margin = 0; margin < 2; ++margin) {
      useBullet(margin);
      bullet[margin].wrong += (bulletCollide(pose) > 0) != exact;
    }
  }
  // One call answers every pose: a pair takes a few microseconds, and the
  // thread clock read after each call can cost as much (1.5 us on a virtual machine).
  const double poseCount = static_cast<double>(poses.size());
  const double ourRate = Rate(poseCount, [&](size_t) {
    for (const PosePair& pose : poses) ourCollide(pose);
  });
  for (int margin = 1; margin >= 0; --margin) {
    useBullet(margin);
    const double bulletRate = Rate(poseCount, [&](size_t) {
      for (const PosePair& pose : poses) bulletCollide(pose);
    });
    char note[128];
    std::snprintf(note, sizeof note, "pairs/s; wrong %d vs %d of %zu (exactly %d touch)", ours.wrong,
                  bullet[margin].wrong, poses.size(), touching);
    Report(std::string(name) + (margin ? "" : ", margin 0"), ourRate, bulletRate, note);
  }
}

// A closest point is wrong when it lies farther than this from the exact one.
constexpr double kClosestTolerance = 1e-3;

void CompareClosest(dgWorld* world, const char* name, dgCollision* shape, const BulletShapes& bulletShape,
                    const ExactShape& exact) {
  const std::vector<Point> points = PointsAround(2.0f, 4.0f, kPointCount, 19);
  float identity[16];
  dgGetIdentityMatrix().ToFloats(identity);
  btSphereShape point(0.0f);
  btVoronoiSimplexSolver simplex;
  btGjkEpaPenetrationDepthSolver penetration;
  const auto ours = [&](const Point& p, float* contact) {
    float normal[3];
    return PhysicsCollisionClosestPoint(world, p.p, shape, identity, contact, normal);
  };
  btConvexShape* bulletConvex = bulletShape.withMargin;
  const auto bullet = [&](const Point& p, btVector3& onShape) {
    btGjkPairDetector detector(bulletConvex, &point, &simplex, &penetration);
    btDiscreteCollisionDetectorInterface::ClosestPointInput input;
    input.m_transformA.setIdentity();
    input.m_transformB.setIdentity();
    input.m_transformB.setOrigin(Vec(p.p));
    btPointCollector collector;
    detector.getClosestPoints(input, collector, nullptr);
    // The collector holds the point on B and the normal from B toward A.
    onShape = collector.m_pointInWorld + collector.m_normalOnBInWorld * collector.m_distance;
    return collector.m_hasResult;
  };
  // Every point lies outside the shape, so each query has an answer.
  const auto judge = [](Verdict& verdict, bool found, const double* exactPoint, double x, double y, double z) {
    const double error =
        std::sqrt((x - exactPoint[0]) * (x - exactPoint[0]) + (y - exactPoint[1]) * (y - exactPoint[1]) +
                  (z - exactPoint[2]) * (z - exactPoint[2]));
    verdict.worst = found ? std::max(verdict.worst, error) : verdict.worst;
    verdict.wrong += !found || error > kClosestTolerance;
  };
  Verdict ourVerdict;
  Verdict bulletVerdicts[2];  // without, with its margin
  for (const Point& p : points) {
    double exactPoint[3];
    ExactClosestPoint(exact, p.p, exactPoint);
    float contact[3] = {};
    const bool found = ours(p, contact);
    judge(ourVerdict, found, exactPoint, contact[0], contact[1], contact[2]);
    for (int margin = 0; margin < 2; ++margin) {
      bulletConvex = margin ? bulletShape.withMargin : bulletShape.withoutMargin;
      btVector3 onShape;
      const bool bulletFound = bullet(p, onShape);
      judge(bulletVerdicts[margin], bulletFound, exactPoint, onShape.x(), onShape.y(), onShape.z());
    }
  }
  // One call answers every point, as for the pairs.
  const double pointCount = static_cast<double>(points.size());
  const double ourRate = Rate(pointCount, [&](size_t) {
    float contact[3];
    for (const Point& p : points) ours(p, contact);
  });
  for (int margin = 1; margin >= 0; --margin) {
    bulletConvex = margin ? bulletShape.withMargin : bulletShape.withoutMargin;
    const double bulletRate = Rate(pointCount, [&](size_t) {
      btVector3 onShape;
      for (const Point& p : points) bullet(p, onShape);
    });
    char note[160];
    std::snprintf(note, sizeof note, "queries/s; wrong (off by > %g) %d vs %d of %zu; largest error %.4f vs %.4f",
                  kClosestTolerance, ourVerdict.wrong, bulletVerdicts[margin].wrong, points.size(), ourVerdict.worst,
                  bulletVerdicts[margin].worst);
    Report(std::string(name) + (margin ? "" : ", margin 0"), ourRate, bulletRate, note);
  }
}

// The pairs of primitives and hulls, and the closest points.
void ComparePairScenes(dgWorld* world) {
  std::printf(
      "(pairs and closest points: wrong = against the exact answer; \", margin 0\": Bullet's margin set to 0)\n");
  BulletPairs pairs;
  const float box = bench::kBoxSize;
  dgCollision* ourBox = PhysicsCreateBox(world, box, box, box, nullptr);
  dgCollision* ourSphere =
      PhysicsCreateSphere(world, bench::kSphereRadius, bench::kSphereRadius, bench::kSphereRadius, nullptr);
  dgCollision* ourCapsule = PhysicsCreateCapsule(world, bench::kCapsuleRadius, bench::kCapsuleHeight, nullptr);
  dgCollision* ourCylinder = PhysicsCreateCylinder(world, bench::kCylinderRadius, bench::kCylinderHeight, nullptr);
  dgCollision* hullA = MakeHullPrism();
  dgCollision* hullB = MakeHullPrism();

  // Bullet's shapes keep our sizes: box and cylinder margins lie inside
  // their extents (they round the edges), the sphere and capsule are their
  // margins, and the hull's margin is added around it. Each comes as Bullet
  // makes it and with its margin at 0. Ours lie along x where an axis matters.
  btBoxShape bulletBox(btVector3(box, box, box) * 0.5f);
  btBoxShape bulletBox0(btVector3(box, box, box) * 0.5f);
  bulletBox0.setMargin(0.0f);
  btSphereShape bulletSphere(bench::kSphereRadius);
  btCapsuleShapeX bulletCapsule(bench::kCapsuleRadius, bench::kCapsuleHeight - 2.0f * bench::kCapsuleRadius);
  const btVector3 cylinderHalves(0.5f * bench::kCylinderHeight, bench::kCylinderRadius, bench::kCylinderRadius);
  btCylinderShapeX bulletCylinder(cylinderHalves);
  btCylinderShapeX bulletCylinder0(cylinderHalves);
  bulletCylinder0.setMargin(0.0f);
  btConvexHullShape bulletHullA;
  btConvexHullShape bulletHullB;
  for (const dgVector& v : HullPrismVertices()) {
    bulletHullA.addPoint(btVector3(v.x, v.y, v.z), false);
    bulletHullB.addPoint(btVector3(v.x, v.y, v.z), false);
  }
  bulletHullA.recalcLocalAabb();
  bulletHullB.recalcLocalAabb();
  bulletHullB.setMargin(0.0f);
  const BulletShapes boxes{&bulletBox, &bulletBox0};
  const BulletShapes spheres{&bulletSphere, &bulletSphere};
  const BulletShapes capsules{&bulletCapsule, &bulletCapsule};
  const BulletShapes cylinders{&bulletCylinder, &bulletCylinder0};
  const BulletShapes hulls{&bulletHullA, &bulletHullB};

  const ExactShape exactBox = ExactShape::Box(box);
  const ExactShape exactSphere = ExactShape::Sphere(bench::kSphereRadius);
  const ExactShape exactCapsule = ExactShape::Capsule(bench::kCapsuleRadius, bench::kCapsuleHeight);
  const ExactShape exactCylinder = ExactShape::Cylinder(bench::kCylinderRadius, bench::kCylinderHeight);
  const ExactShape exactHull = ExactShape::Hull(HullPrismVertices());

  ComparePair(world, pairs, "box-box", ourBox, ourBox, boxes, boxes, exactBox, exactBox, false, 17);
  ComparePair(world, pairs, "sphere-box", ourSphere, ourBox, spheres, boxes, exactSphere, exactBox, false, 18);
  ComparePair(world, pairs, "capsule-cylinder", ourCapsule, ourCylinder, capsules, cylinders, exactCapsule,
              exactCylinder, false, 19);
  ComparePair(world, pairs, "hull-hull", hullA, hullB, hulls, hulls, exactHull, exactHull, true, 20);

  CompareClosest(world, "closest point, box", ourBox, boxes, exactBox);
  CompareClosest(world, "closest point, capsule", ourCapsule, capsules, exactCapsule);

  hullA->Release();
  hullB->Release();
  for (dgCollision* shape : {ourBox, ourSphere, ourCapsule, ourCylinder}) PhysicsReleaseCollision(world, shape);
}

}  // namespace

int main(int argc, char** argv) {
  meter::KeepFreedMemory();
  // "soups" runs only the tree-collision scenes, "pairs" only the pair and closest-point scenes.
  const bool soupsOnly = argc > 1 && std::string(argv[1]) == "soups";
  const bool pairsOnly = argc > 1 && std::string(argv[1]) == "pairs";
  btAlignedAllocSetCustom(BulletAllocate, BulletRelease);
  dgWorld* world = PhysicsCreate(meter::PhysicsMalloc, meter::PhysicsFree);
  std::printf("%-34s %14s %14s %8s\n", "scene", "ours /s", "Bullet /s", "ratio");
  if (pairsOnly) {
    ComparePairScenes(world);
    PhysicsDestroy(world);
    return 0;
  }

  const SoupInput terrain = MakeHillTerrain();
  const SoupInput sphere = MakeUvSphere();
  for (int optimise = 0; optimise < 2; ++optimise) {
    CompareBuild(world, terrain, optimise, "terrain");
    CompareBuild(world, sphere, optimise, "sphere");
  }
  for (int optimise = 0; optimise < 2; ++optimise) {
    CompareOneShotBuild(world, terrain, optimise, "terrain");
    CompareOneShotBuild(world, sphere, optimise, "sphere");
  }
  for (int optimise = 0; optimise < 2; ++optimise) {
    CompareBuildMemory(world, terrain, optimise, "terrain");
    CompareBuildMemory(world, sphere, optimise, "sphere");
  }
  CompareRays(world, terrain, RandomSegments(terrain, kSegmentCount, 23), "terrain random");
  CompareRays(world, terrain, TerrainGrazingSegments(terrain, kSegmentCount, 29), "terrain grazing");
  CompareRays(world, sphere, RandomSegments(sphere, kSegmentCount, 23), "sphere random");
  CompareRays(world, sphere, SphereGrazingSegments(kSegmentCount, 31), "sphere grazing");
  if (soupsOnly) {
    PhysicsDestroy(world);
    return 0;
  }

  const SoupInput small = MakeWavyHeightfield(32);
  const SoupInput large = MakeWavyHeightfield(256);
  for (int optimise = 0; optimise < 2; ++optimise) {
    CompareBuild(world, small, optimise);
    CompareBuild(world, large, optimise);
  }
  for (const SoupInput* soup : {&small, &large}) {
    CompareRays(world, *soup, RandomSegments(*soup, kSegmentCount, 11), "random");
    CompareRays(world, *soup, GrazingSegments(*soup, kSegmentCount, 13), "grazing");
  }

  ComparePairScenes(world);
  PhysicsDestroy(world);
  return 0;
}
