// Speed of the flat interface as the engine calls it, one thread, fixed
// seeds: building tree collisions, closest-hit ray casts against them,
// contacts of overlapping primitive and hull pairs, closest points.

#include <benchmark/benchmark.h>

#include <string>

#include "physics/bench/BenchScenes.h"
#include "physics/bench/MemoryMeter.h"
#include "physics/shapes/dgCollision.h"
#include "physics/world/Physics.h"
#include "physics/world/dgWorld.h"

namespace {

constexpr int kSegmentCount = 4096;
constexpr int kPoseCount = 1024;
constexpr int kPointCount = 1024;
constexpr int kMaxContacts = 8;

const SoupInput& Heightfield(int cells) {
  static const SoupInput small = MakeWavyHeightfield(32);
  static const SoupInput large = MakeWavyHeightfield(256);
  return cells == 32 ? small : large;
}

// One world for the whole run; its hooks count bytes for the memory figures.
dgWorld* World() {
  static dgWorld* world = PhysicsCreate(meter::PhysicsMalloc, meter::PhysicsFree);
  return world;
}

// The two reference meshes: the hill terrain (131,072 triangles) and the UV
// sphere (2,048).
enum Mesh { kTerrain, kSphere };

const SoupInput& ReferenceMesh(int mesh) {
  static const SoupInput terrain = MakeHillTerrain();
  static const SoupInput sphere = MakeUvSphere();
  return mesh == kTerrain ? terrain : sphere;
}

const char* MeshName(int mesh) { return mesh == kTerrain ? "terrain" : "sphere"; }

// Builds and releases the soup's tree collision once per iteration.
void RunBuilds(benchmark::State& state, const SoupInput& soup, int optimise) {
  for (auto _ : state) {
    dgCollision* tree = BuildSoup(World(), soup, optimise);
    benchmark::DoNotOptimize(tree);
    PhysicsReleaseCollision(World(), tree);
  }
  state.SetItemsProcessed(state.iterations() * soup.TriangleCount());
}

void BM_SoupBuild(benchmark::State& state) {
  RunBuilds(state, Heightfield(static_cast<int>(state.range(0))), static_cast<int>(state.range(1)));
  state.SetLabel("items = triangles");
}
BENCHMARK(BM_SoupBuild)->ArgsProduct({{32, 256}, {0, 1}})->Unit(benchmark::kMillisecond);

// Builds of a reference mesh, with the heap bytes per triangle: the most
// held at once while building and what the finished tree keeps.
void BM_MeshBuild(benchmark::State& state) {
  const SoupInput& soup = ReferenceMesh(static_cast<int>(state.range(0)));
  const int optimise = static_cast<int>(state.range(1));
  RunBuilds(state, soup, optimise);
  const BuildMemory memory = MeasureBuildMemory(World(), soup, optimise);
  // Time over triangles: seconds per triangle, printed with an SI prefix (n).
  state.counters["time/tri"] = benchmark::Counter(static_cast<double>(state.iterations() * soup.TriangleCount()),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["peak B/tri"] = memory.peakPerTriangle;
  state.counters["tree B/tri"] = memory.keptPerTriangle;
  state.SetLabel(std::string(MeshName(static_cast<int>(state.range(0)))) + ", items = triangles");
}
BENCHMARK(BM_MeshBuild)->ArgsProduct({{kTerrain, kSphere}, {0, 1}})->Unit(benchmark::kMillisecond);

// One-shot builds of a reference mesh, as a level builds its soup once:
// before each build the C heap hands every freed byte back, so the build
// pays for fresh memory (page faults included) as the first one does.
void BM_MeshBuildOneShot(benchmark::State& state) {
  const SoupInput& soup = ReferenceMesh(static_cast<int>(state.range(0)));
  const int optimise = static_cast<int>(state.range(1));
  for (auto _ : state) {
    state.PauseTiming();
    meter::ReturnFreedMemory();
    state.ResumeTiming();
    dgCollision* tree = BuildSoup(World(), soup, optimise);
    benchmark::DoNotOptimize(tree);
    state.PauseTiming();
    PhysicsReleaseCollision(World(), tree);
    state.ResumeTiming();
  }
  meter::KeepFreedMemory();
  const BuildMemory memory = MeasureBuildMemory(World(), soup, optimise);
  state.counters["time/tri"] = benchmark::Counter(static_cast<double>(state.iterations() * soup.TriangleCount()),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["peak B/tri"] = memory.peakPerTriangle;
  state.counters["tree B/tri"] = memory.keptPerTriangle;
  state.SetItemsProcessed(state.iterations() * soup.TriangleCount());
  state.SetLabel(std::string(MeshName(static_cast<int>(state.range(0)))) + ", one-shot, items = triangles");
}
BENCHMARK(BM_MeshBuildOneShot)->ArgsProduct({{kTerrain, kSphere}, {0, 1}})->Unit(benchmark::kMillisecond);

void RunRaysOn(benchmark::State& state, const SoupInput& soup, const std::vector<Segment>& segments) {
  dgCollision* tree = BuildSoup(World(), soup, 1);
  float normal[3];
  int attribute = 0;
  size_t next = 0;
  int hits = 0;
  for (auto _ : state) {
    const Segment& segment = segments[next];
    next = next + 1 == segments.size() ? 0 : next + 1;
    const float t = PhysicsCollisionRayCast(tree, segment.p0, segment.p1, normal, &attribute);
    hits += t >= 0.0f && t <= 1.0f;
    benchmark::DoNotOptimize(t);
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["hit %"] = 100.0 * hits / static_cast<double>(state.iterations());
  PhysicsReleaseCollision(World(), tree);
}

void RunRays(benchmark::State& state, const std::vector<Segment>& segments) {
  RunRaysOn(state, Heightfield(static_cast<int>(state.range(0))), segments);
}

void BM_MeshRayRandom(benchmark::State& state) {
  const int mesh = static_cast<int>(state.range(0));
  state.SetLabel(MeshName(mesh));
  RunRaysOn(state, ReferenceMesh(mesh), RandomSegments(ReferenceMesh(mesh), kSegmentCount, 23));
}
BENCHMARK(BM_MeshRayRandom)->Arg(kTerrain)->Arg(kSphere);

void BM_MeshRayGrazing(benchmark::State& state) {
  const int mesh = static_cast<int>(state.range(0));
  state.SetLabel(MeshName(mesh));
  RunRaysOn(state, ReferenceMesh(mesh),
            mesh == kTerrain ? TerrainGrazingSegments(ReferenceMesh(mesh), kSegmentCount, 29)
                             : SphereGrazingSegments(kSegmentCount, 31));
}
BENCHMARK(BM_MeshRayGrazing)->Arg(kTerrain)->Arg(kSphere);

void BM_RayRandom(benchmark::State& state) {
  RunRays(state, RandomSegments(Heightfield(static_cast<int>(state.range(0))), kSegmentCount, 11));
}
BENCHMARK(BM_RayRandom)->Arg(32)->Arg(256);

void BM_RayGrazing(benchmark::State& state) {
  RunRays(state, GrazingSegments(Heightfield(static_cast<int>(state.range(0))), kSegmentCount, 13));
}
BENCHMARK(BM_RayGrazing)->Arg(32)->Arg(256);

enum PairScene { kBoxBox, kSphereBox, kCapsuleCylinder, kHullHull };

void BM_Collide(benchmark::State& state) {
  const auto scene = static_cast<PairScene>(state.range(0));
  dgWorld* world = World();
  dgCollision* a = nullptr;
  dgCollision* b = nullptr;
  switch (scene) {
    case kBoxBox:
      a = PhysicsCreateBox(world, bench::kBoxSize, bench::kBoxSize, bench::kBoxSize, nullptr);
      b = PhysicsCreateBox(world, bench::kBoxSize, bench::kBoxSize, bench::kBoxSize, nullptr);
      state.SetLabel("box-box");
      break;
    case kSphereBox:
      a = PhysicsCreateSphere(world, bench::kSphereRadius, bench::kSphereRadius, bench::kSphereRadius, nullptr);
      b = PhysicsCreateBox(world, bench::kBoxSize, bench::kBoxSize, bench::kBoxSize, nullptr);
      state.SetLabel("sphere-box");
      break;
    case kCapsuleCylinder:
      a = PhysicsCreateCapsule(world, bench::kCapsuleRadius, bench::kCapsuleHeight, nullptr);
      b = PhysicsCreateCylinder(world, bench::kCylinderRadius, bench::kCylinderHeight, nullptr);
      state.SetLabel("capsule-cylinder");
      break;
    case kHullHull:
      a = MakeHullPrism();
      b = MakeHullPrism();
      state.SetLabel("hull-hull (dgWorld::Collide)");
      break;
  }
  const std::vector<PosePair> poses = OverlappingPoses(bench::kPoseReach, kPoseCount, 17 + scene);
  float points[kMaxContacts][3];
  float normals[kMaxContacts][3];
  float depths[kMaxContacts];
  size_t next = 0;
  long long contacts = 0;
  for (auto _ : state) {
    const PosePair& pose = poses[next];
    next = next + 1 == poses.size() ? 0 : next + 1;
    int count;
    if (scene == kHullHull) {
      count = world->Collide(a, dgMatrix::FromFloats(pose.a), b, dgMatrix::FromFloats(pose.b), points[0], normals[0],
                             depths, kMaxContacts);
    } else {
      count = PhysicsCollisionCollide(world, kMaxContacts, a, pose.a, b, pose.b, points[0], normals[0], depths);
    }
    contacts += count;
    benchmark::DoNotOptimize(count);
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["contacts/pair"] = static_cast<double>(contacts) / static_cast<double>(state.iterations());
  if (scene == kHullHull) {
    a->Release();
    b->Release();
  } else {
    PhysicsReleaseCollision(world, a);
    PhysicsReleaseCollision(world, b);
  }
}
BENCHMARK(BM_Collide)->DenseRange(kBoxBox, kHullHull);

void BM_ClosestPoint(benchmark::State& state) {
  dgWorld* world = World();
  const bool box = state.range(0) == 0;
  dgCollision* shape = box ? PhysicsCreateBox(world, bench::kBoxSize, bench::kBoxSize, bench::kBoxSize, nullptr)
                           : PhysicsCreateCapsule(world, bench::kCapsuleRadius, bench::kCapsuleHeight, nullptr);
  state.SetLabel(box ? "box" : "capsule");
  const std::vector<Point> points = PointsAround(2.0f, 4.0f, kPointCount, 19);
  float identity[16];
  dgGetIdentityMatrix().ToFloats(identity);
  float contact[3];
  float normal[3];
  size_t next = 0;
  for (auto _ : state) {
    const int found = PhysicsCollisionClosestPoint(world, points[next].p, shape, identity, contact, normal);
    next = next + 1 == points.size() ? 0 : next + 1;
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations());
  PhysicsReleaseCollision(world, shape);
}
BENCHMARK(BM_ClosestPoint)->Arg(0)->Arg(1);

}  // namespace

int main(int argc, char** argv) {
  meter::KeepFreedMemory();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
