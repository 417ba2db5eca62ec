#include <gtest/gtest.h>

#include <set>
#include <string>

#include "physics/memory/dgCRC.h"
#include "physics/memory/dgNameTable.h"
#include "physics/memory/dgRef.h"

namespace {

TEST(PhysicsIdentity, CRCOfEmptyNullAndSingleBytes) {
  EXPECT_EQ(dgCRCTable[0], 0x00000001u);
  EXPECT_EQ(dgCRCTable[1], 0x2C11F801u);
  EXPECT_EQ(dgCRCTable[2], 0xDFD8F60Eu);
  EXPECT_EQ(dgCRCTable[3], 0x6C8FA2B7u);
  EXPECT_EQ(dgCRC(""), 0u);
  EXPECT_EQ(dgCRC(static_cast<const char*>(nullptr)), 0u);
  EXPECT_EQ(dgCRC("x", 0, 77u), 77u);
  EXPECT_EQ(dgCRC("x", -3, 77u), 77u);
  for (int b = 0; b < 256; ++b) {
    const unsigned char byte = static_cast<unsigned char>(b);
    EXPECT_EQ(dgCRCOfBlock(&byte, 1), dgCRCTable[b]) << b;
  }
  // Two bytes follow the recurrence h = (h << 8) ^ T[(h >> 24 ^ b) & 255].
  const unsigned char two[2] = {5, 200};
  const uint32_t h1 = dgCRCTable[5];
  EXPECT_EQ(dgCRCOfBlock(two, 2), (h1 << 8) ^ dgCRCTable[((h1 >> 24) ^ 200u) & 255u]);
  // A seed enters the first step.
  EXPECT_EQ(dgCRC(two, 1, 0x01000000u), (0x01000000u << 8) ^ dgCRCTable[(1u ^ 5u) & 255u]);
  // The string form and the compile-time form agree.
  EXPECT_EQ(dgCRC("dgCollisionBox"), dgCollisionBoxId);
}

TEST(PhysicsIdentity, TableAndClassIdsAreDistinct) {
  std::set<uint32_t> words(dgCRCTable.begin(), dgCRCTable.end());
  EXPECT_EQ(words.size(), 256u);
  const uint32_t ids[] = {dgRefId,
                          dgCollisionId,
                          dgConvexCollisionId,
                          dgCollisionBoxId,
                          dgCollisionNullId,
                          dgCollisionConeId,
                          dgCollisionSphereId,
                          dgCollisionEllipseId,
                          dgCollisionCapsuleId,
                          dgCollisionCylinderId,
                          dgCompoundCollisionId,
                          dgCollisionConvexHullId,
                          dgCollisionConvexModifierId,
                          dgCollisionChamferCylinderId,
                          dgCollisionPolygonalSoupId,
                          dgCollisionConvexPolygonId,
                          dgPolygonSoupDatabaseId,
                          dgAABBPolygonSoupId,
                          dgBaseNodeId};
  EXPECT_EQ(std::set<uint32_t>(std::begin(ids), std::end(ids)).size(), 19u);
  for (uint32_t id : ids) EXPECT_NE(id, 0u);
}

TEST(PhysicsIdentity, NameTableKeepsFirstStringOnce) {
  dgNameTable& table = dgNameTable::Instance();
  // The table lives for the whole process: a name of this run's own keeps
  // the count check true when the test runs again in the same process.
  static int run = 0;
  const std::string lid = "crate.lid." + std::to_string(run++);
  const int before = table.GetCount();
  const uint32_t id = dgCRC(lid.c_str());
  EXPECT_EQ(dgCRC(lid.c_str()), id);
  EXPECT_EQ(table.GetCount(), before + 1);
  ASSERT_NE(dgNameOfCRC(id), nullptr);
  EXPECT_STREQ(dgNameOfCRC(id), lid.c_str());
  EXPECT_EQ(dgNameOfCRC(0x12345678u), nullptr);
  // Names that overflow a page open new pages; earlier names stay readable.
  std::string name;
  for (int i = 0; i < 600; ++i) {
    name = "shape-name-" + std::to_string(i) + std::string(static_cast<size_t>(i % 40), 'z');
    dgCRC(name.c_str());
  }
  EXPECT_STREQ(dgNameOfCRC(id), lid.c_str());
  EXPECT_STREQ(dgNameOfCRC(dgCRCOfText(name)), name.c_str());
  // A name longer than a page is hashed but not stored.
  const std::string huge(dgNameTable::kPageTextBytes + 10, 'q');
  const uint32_t hugeId = dgCRC(huge.c_str());
  EXPECT_EQ(hugeId, dgCRCOfText(huge));
  EXPECT_EQ(dgNameOfCRC(hugeId), nullptr);
}

class Probe : public dgRef {
 public:
  explicit Probe(int* destroyed) : destroyed_(destroyed) {}
  ~Probe() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

TEST(PhysicsIdentity, RefCountFlagsNameAndRelease) {
  int destroyed = 0;
  Probe* probe = new Probe(&destroyed);
  EXPECT_EQ(probe->GetRefCount(), 1);
  EXPECT_EQ(probe->GetFlagBits(), 1u);
  EXPECT_EQ(probe->GetNameId(), 0u);
  EXPECT_EQ(probe->GetTypeId(), dgRefId);
  EXPECT_TRUE(probe->IsType(dgRefId));
  EXPECT_FALSE(probe->IsType(dgCollisionId));
  probe->SetName("probe");
  EXPECT_EQ(probe->GetNameId(), dgCRCOfText("probe"));
  EXPECT_STREQ(probe->GetName(), "probe");
  probe->SetName(nullptr);
  EXPECT_EQ(probe->GetNameId(), 0u);
  probe->ClearAttachedFlag();
  EXPECT_FALSE(probe->IsAttached());
  probe->AddRef();
  EXPECT_EQ(probe->GetRefCount(), 2);
  EXPECT_FALSE(probe->Release());
  EXPECT_EQ(destroyed, 0);
  // The flag bits are untouched by the count.
  EXPECT_EQ(probe->GetFlagBits(), 0u);
  EXPECT_TRUE(probe->Release());
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
