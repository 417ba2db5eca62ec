#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "physics/body/dgContact.h"
#include "physics/shapes/dgCollision.h"

namespace {

// The smallest shape that fills the base's pure operations.
class TestShape : public dgCollision {
 public:
  TestShape(float size, const dgMatrix& offset)
      : dgCollision(MakeSignature(kBox, &size, 1, offset), offset, kBox), size_(size) {}
  void SetCollisionBBox(const dgVector&, const dgVector&) override {}
  void CalcAABB(const dgMatrix&, dgVector&, dgVector&) const override {}
  void ForEachFace(const dgBody*, dgFaceCallback) const override {}
  float RayCast(const dgVector&, const dgVector&, dgContact&) const override { return kRayMiss; }
  float GetVolume() const override { return size_ * size_ * size_; }
  void CalculateInertia(dgVector&, dgVector&) const override {}
  void CalculateVolumeBelowPlane(dgVector&, const dgMatrix&, dgPlaneCallback, void*) const override {}
  uint32_t CalculateSignature() const override { return MakeSignature(kBox, &size_, 1, GetOffsetMatrix()); }

 private:
  float size_;
};

dgMatrix WithElement(int row, int col, float value) {
  dgMatrix m;
  m[row][col] = value;
  return m;
}

TEST(PhysicsCollisionBase, OffsetFlagTable) {
  struct Case {
    const char* name;
    dgMatrix offset;
    bool flagged;
  };
  const Case cases[] = {
      {"identity", dgMatrix(), false},
      {"-0.0 off the diagonal", WithElement(1, 2, -0.0f), false},
      {"-0.0 in the posit", WithElement(3, 0, -0.0f), false},
      {"diagonal 0.99999994", WithElement(2, 2, 0.99999994f), true},
      {"posit moved", WithElement(3, 1, 0.5f), true},
      {"w of a row set", WithElement(0, 3, 1e-30f), true},
      {"NaN off the diagonal", WithElement(0, 1, NAN), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestShape shape(1.0f, c.offset);
    EXPECT_EQ(shape.HasOffset(), c.flagged);
    EXPECT_EQ(shape.GetFlags() & ~dgCollision::kOffsetFlag, 0u);
    // The matrix is stored either way.
    EXPECT_EQ(std::memcmp(&shape.GetOffsetMatrix(), &c.offset, sizeof(dgMatrix)), 0);
  }
  TestShape shape(1.0f, WithElement(3, 1, 0.5f));
  shape.SetOffsetMatrix(dgMatrix());
  EXPECT_FALSE(shape.HasOffset());
}

TEST(PhysicsCollisionBase, ConstructionIdentityAndAuxiliaryMatrix) {
  TestShape* shape = new TestShape(2.0f, WithElement(3, 0, 4.0f));
  EXPECT_EQ(shape->GetRefCount(), 1);
  EXPECT_TRUE(shape->IsAttached());
  EXPECT_EQ(shape->GetNameId(), 0u);
  EXPECT_EQ(shape->GetKind(), static_cast<uint32_t>(dgCollision::kBox));
  EXPECT_EQ(shape->GetTypeId(), dgCollisionId);
  EXPECT_TRUE(shape->IsType(dgCollisionId));
  EXPECT_TRUE(shape->IsType(dgRefId));
  EXPECT_FALSE(shape->IsType(dgConvexCollisionId));
  EXPECT_EQ(shape->GetUserData(), nullptr);
  dgMatrix auxiliary = WithElement(0, 0, 5.0f);
  shape->GetAuxiliaryMatrix(auxiliary);
  EXPECT_EQ(auxiliary, dgGetIdentityMatrix());
  dgContact contact{};
  EXPECT_EQ(shape->RayCast(dgVector(0, 0, 0, 1), dgVector(1, 0, 0, 1), contact), 1.2f);
  EXPECT_TRUE(shape->Release());
}

TEST(PhysicsCollisionBase, SignatureFollowsParametersAndOffset) {
  const TestShape a(1.5f, dgMatrix());
  const TestShape b(1.5f, dgMatrix());
  EXPECT_EQ(a.GetSignature(), b.GetSignature());
  EXPECT_EQ(a.GetSignature(), a.CalculateSignature());
  EXPECT_NE(a.GetSignature(), TestShape(1.5f, WithElement(3, 2, 0.001f)).GetSignature());
  // Sizes are compared after truncating value · 1024.
  EXPECT_EQ(a.GetSignature(), TestShape(1.5f + 0.0009f, dgMatrix()).GetSignature());
  EXPECT_NE(a.GetSignature(), TestShape(1.5f + 0.001f, dgMatrix()).GetSignature());
  // Different kinds with equal parameters differ.
  const float size = 1.5f;
  EXPECT_NE(dgCollision::MakeSignature(dgCollision::kSphere, &size, 1, dgMatrix()), a.GetSignature());
}

TEST(PhysicsCollisionBase, QuantizeTruncatesTowardsZeroAndClampsOutOfRange) {
  struct Case {
    float value;
    int32_t expected;
  };
  const Case cases[] = {
      {1.0f, 1024},  {1.00097f, 1024},   {-1.00097f, -1024},  {0.0004f, 0},
      {-0.0004f, 0}, {1e20f, INT32_MAX}, {-1e20f, INT32_MIN}, {NAN, INT32_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(dgCollision::QuantizeParameter(c.value), c.expected) << c.value;
}

TEST(PhysicsContact, PenetrationNeverNegative) {
  EXPECT_EQ(dgContactPenetration(0.0f), 0.0f);
  EXPECT_EQ(dgContactPenetration(dgContactSlop * 0.5f), 0.0f);
  EXPECT_EQ(dgContactPenetration(dgContactSlop), 0.0f);
  EXPECT_FLOAT_EQ(dgContactPenetration(0.5f), 0.5f - 1.0f / 128.0f);
  EXPECT_EQ(dgContactThreshold, 1.0f / 256.0f);
}

}  // namespace
