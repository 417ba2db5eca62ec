// The builds of the two reference meshes, through the flat interface as the
// collision system builds its soups, keep giving the same trees and the
// same ray answers: a change to how a build spends its time or memory must
// leave both bit for bit as recorded here.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "physics/soup/dgTreeCollision.h"
#include "physics/world/Physics.h"
#include "support/SoupMeshes.h"

namespace {

// FNV-1a over bytes, 64 bits.
struct Digest {
  uint64_t value = 1469598103934665603ull;
  void Add(const void* data, size_t bytes) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < bytes; ++i) value = (value ^ p[i]) * 1099511628211ull;
  }
};

void AddToDigest(void* digest, const void* data, size_t bytes) { static_cast<Digest*>(digest)->Add(data, bytes); }

struct Recorded {
  const char* name;
  bool sphere;
  int optimise;
  uint64_t stream;
  uint64_t rays;
};

TEST(ReferenceMeshBuild, TreesAndRayAnswersAreThoseRecorded) {
  const SoupInput terrain = MakeHillTerrain();
  const SoupInput sphere = MakeUvSphere();
  const Recorded cases[] = {
      {"terrain, optimise 0", false, 0, 0x351188089ee1a7feull, 0x69406eb346249d2eull},
      {"terrain, optimise 1", false, 1, 0xb4ef5257789f2e2dull, 0x69406eb346249d2eull},
      {"sphere, optimise 0", true, 0, 0x68dea9970c217d53ull, 0x8c106384b2b147ccull},
      {"sphere, optimise 1", true, 1, 0xfe1ada03c7b74084ull, 0x8397df760a34981cull},
  };
  dgWorld* world = PhysicsCreate(nullptr, nullptr);
  for (const Recorded& c : cases) {
    SCOPED_TRACE(c.name);
    const SoupInput& soup = c.sphere ? sphere : terrain;
    dgCollision* collision = PhysicsCreateTreeCollision(world, nullptr);
    PhysicsTreeCollisionBeginBuild(collision);
    for (int i = 0; i < soup.TriangleCount(); ++i) {
      PhysicsTreeCollisionAddFace(collision, 3, &soup.triangles[static_cast<size_t>(i) * 9], 12, 0);
    }
    PhysicsTreeCollisionEndBuild(collision, c.optimise);
    Digest stream;
    static_cast<dgTreeCollision*>(collision->GetUserData())->Serialize(AddToDigest, &stream);

    std::vector<Segment> segments = RandomSegments(soup, 2048, 23);
    const std::vector<Segment> grazing =
        c.sphere ? SphereGrazingSegments(2048, 31) : TerrainGrazingSegments(soup, 2048, 29);
    segments.insert(segments.end(), grazing.begin(), grazing.end());
    Digest rays;
    for (const Segment& segment : segments) {
      float normal[3] = {};
      int attribute = -1;
      const float t = PhysicsCollisionRayCast(collision, segment.p0, segment.p1, normal, &attribute);
      rays.Add(&t, sizeof t);
      rays.Add(normal, sizeof normal);
      rays.Add(&attribute, sizeof attribute);
    }
    EXPECT_EQ(stream.value, c.stream) << std::hex << "0x" << stream.value;
    EXPECT_EQ(rays.value, c.rays) << std::hex << "0x" << rays.value;
    PhysicsReleaseCollision(world, collision);
  }
  PhysicsDestroy(world);
}

}  // namespace
