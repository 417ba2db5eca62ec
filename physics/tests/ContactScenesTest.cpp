// The contacts and closest points of the benchmark scenes, pinned: every
// pair's contact count, a digest of the contacts of every eighth pair and
// sums over all of them must stay what was recorded, so that a change made
// for speed cannot change an answer by more than float rounding.
//
// To record anew (only when an answer is meant to change), run the test
// with VYRE_RECORD_CONTACT_SCENES set to a file name; it writes a new
// ContactScenesRecorded.inc there instead of comparing.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "ContactScenesRecord.h"
#include "physics/bench/BenchScenes.h"
#include "physics/shapes/dgCollision.h"
#include "physics/world/Physics.h"
#include "physics/world/dgWorld.h"

namespace {

constexpr int kMaxContacts = 8;
// Digests of pairs this far apart differ by more than rounding.
constexpr double kDigestTolerance = 5e-4;
// Sums over a whole scene gather the rounding of a few thousand contacts.
constexpr double kSumTolerance = 5e-3;

// What one scene answered: a count per query, a digest per query, the
// scene's sums of points, normals and depths, and a hash of every bit of
// every answer.
struct SceneAnswers {
  std::string counts;
  std::vector<double> digests;
  double sums[3] = {};
  uint64_t bits = 14695981039346656037ull;  // FNV-1a offset basis

  void Hash(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) bits = (bits ^ bytes[i]) * 1099511628211ull;
  }

  void Add(int count, const float (*points)[3], const float (*normals)[3], const float* depths) {
    counts += static_cast<char>('0' + count);
    Hash(&count, sizeof count);
    Hash(points, sizeof(float) * 3 * static_cast<size_t>(count));
    Hash(normals, sizeof(float) * 3 * static_cast<size_t>(count));
    if (depths) Hash(depths, sizeof(float) * static_cast<size_t>(count));
    double digest = 0.0;
    for (int i = 0; i < count; ++i) {
      const double point = points[i][0] + 2.0 * points[i][1] + 3.0 * points[i][2];
      const double normal = normals[i][0] - 2.0 * normals[i][1] + 4.0 * normals[i][2];
      const double depth = depths ? depths[i] : 0.0;
      digest += point + 0.5 * normal + 3.0 * depth;
      sums[0] += point;
      sums[1] += normal;
      sums[2] += depth;
    }
    digests.push_back(digest);
  }
};

// The shapes and poses of one pair scene, made as the benchmark makes them.
SceneAnswers CollidePairs(dgWorld* world, const ContactSceneRecord& record) {
  const float box = bench::kBoxSize;
  const float sphere = bench::kSphereRadius;
  dgCollision* a = nullptr;
  dgCollision* b = nullptr;
  const bool hulls = record.kind == ContactSceneKind::kHullHull;
  switch (record.kind) {
    case ContactSceneKind::kBoxBox:
      a = PhysicsCreateBox(world, box, box, box, nullptr);
      b = PhysicsCreateBox(world, box, box, box, nullptr);
      break;
    case ContactSceneKind::kSphereBox:
      a = PhysicsCreateSphere(world, sphere, sphere, sphere, nullptr);
      b = PhysicsCreateBox(world, box, box, box, nullptr);
      break;
    case ContactSceneKind::kCapsuleCylinder:
      a = PhysicsCreateCapsule(world, bench::kCapsuleRadius, bench::kCapsuleHeight, nullptr);
      b = PhysicsCreateCylinder(world, bench::kCylinderRadius, bench::kCylinderHeight, nullptr);
      break;
    default:
      a = MakeHullPrism();
      b = MakeHullPrism();
      break;
  }
  SceneAnswers answers;
  float points[kMaxContacts][3];
  float normals[kMaxContacts][3];
  float depths[kMaxContacts];
  for (const PosePair& pose : OverlappingPoses(bench::kPoseReach, record.queries, record.seed)) {
    const int count =
        hulls ? world->Collide(a, dgMatrix::FromFloats(pose.a), b, dgMatrix::FromFloats(pose.b), points[0], normals[0],
                               depths, kMaxContacts)
              : PhysicsCollisionCollide(world, kMaxContacts, a, pose.a, b, pose.b, points[0], normals[0], depths);
    answers.Add(count, points, normals, depths);
  }
  if (hulls) {
    a->Release();
    b->Release();
  } else {
    PhysicsReleaseCollision(world, a);
    PhysicsReleaseCollision(world, b);
  }
  return answers;
}

SceneAnswers ClosestPoints(dgWorld* world, const ContactSceneRecord& record) {
  const float box = bench::kBoxSize;
  dgCollision* shape = record.kind == ContactSceneKind::kClosestBox
                           ? PhysicsCreateBox(world, box, box, box, nullptr)
                           : PhysicsCreateCapsule(world, bench::kCapsuleRadius, bench::kCapsuleHeight, nullptr);
  float identity[16];
  dgGetIdentityMatrix().ToFloats(identity);
  SceneAnswers answers;
  float contact[1][3];
  float normal[1][3];
  for (const Point& point : PointsAround(2.0f, 4.0f, record.queries, record.seed)) {
    const int found = PhysicsCollisionClosestPoint(world, point.p, shape, identity, contact[0], normal[0]);
    answers.Add(found, contact, normal, nullptr);
  }
  PhysicsReleaseCollision(world, shape);
  return answers;
}

SceneAnswers Answer(dgWorld* world, const ContactSceneRecord& record) {
  const bool closest = record.kind == ContactSceneKind::kClosestBox || record.kind == ContactSceneKind::kClosestCapsule;
  return closest ? ClosestPoints(world, record) : CollidePairs(world, record);
}

const char* KindName(ContactSceneKind kind) {
  static const char* const kNames[] = {"BoxBox",   "SphereBox",  "CapsuleCylinder",
                                       "HullHull", "ClosestBox", "ClosestCapsule"};
  return kNames[static_cast<int>(kind)];
}

void WriteRecord(FILE* file, const ContactSceneRecord& record, const SceneAnswers& answers) {
  std::fprintf(file, "    {ContactSceneKind::k%s, %d, %u,\n", KindName(record.kind), record.queries, record.seed);
  for (size_t i = 0; i < answers.counts.size(); i += 64) {
    std::fprintf(file, "     \"%s\"\n", answers.counts.substr(i, 64).c_str());
  }
  std::fprintf(file, "     ,\n     {");
  for (size_t i = 0; i < answers.digests.size(); i += kContactSceneDigestStride) {
    const size_t n = i / kContactSceneDigestStride;
    std::fprintf(file, "%s%.9g", n == 0 ? "" : n % 6 == 0 ? ",\n      " : ", ", answers.digests[i]);
  }
  std::fprintf(file, "},\n     {%.9g, %.9g, %.9g}},\n", answers.sums[0], answers.sums[1], answers.sums[2]);
}

}  // namespace

TEST(ContactScenes, AnswerAsRecorded) {
  dgWorld* world = PhysicsCreate(nullptr, nullptr);
  const char* recordPath = std::getenv("VYRE_RECORD_CONTACT_SCENES");
  FILE* file = recordPath ? std::fopen(recordPath, "w") : nullptr;
  if (file) std::fputs("// Written by ContactScenesTest with VYRE_RECORD_CONTACT_SCENES set.\n", file);
  for (const ContactSceneRecord& record : kContactSceneRecords) {
    SCOPED_TRACE(KindName(record.kind));
    const SceneAnswers answers = Answer(world, record);
    if (file) {
      WriteRecord(file, record, answers);
      continue;
    }
    // Every query of the scene: the same count, one query at a time.
    ASSERT_EQ(answers.counts.size(), static_cast<size_t>(record.queries));
    for (int i = 0; i < record.queries; ++i) {
      EXPECT_EQ(answers.counts[i], record.counts[i]) << "query " << i;
    }
    for (int i = 0; i * kContactSceneDigestStride < record.queries; ++i) {
      EXPECT_NEAR(answers.digests[i * kContactSceneDigestStride], record.digests[i], kDigestTolerance)
          << "query " << i * kContactSceneDigestStride;
    }
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(answers.sums[k], record.sums[k], kSumTolerance) << "sum " << k;
  }
  if (file) std::fclose(file);
  PhysicsDestroy(world);
}

// The same scenes, every answer bit for bit: a change made for speed must
// not move a single contact, normal, depth or closest point. (A change that
// is meant to alter answers records both tables anew.)
TEST(ContactScenes, AnswerBitForBit) {
  // One FNV-1a hash per scene of kContactSceneRecords, in order.
  constexpr uint64_t kRecordedBits[] = {10380334507184883332ull, 4098913266860119091ull, 10330626603841591453ull,
                                        10491502119554242820ull, 725623195363399072ull,  11145969302308152407ull};
  static_assert(std::size(kRecordedBits) == std::size(kContactSceneRecords));
  dgWorld* world = PhysicsCreate(nullptr, nullptr);
  for (size_t i = 0; i < std::size(kContactSceneRecords); ++i) {
    const ContactSceneRecord& record = kContactSceneRecords[i];
    EXPECT_EQ(Answer(world, record).bits, kRecordedBits[i]) << KindName(record.kind);
  }
  PhysicsDestroy(world);
}
