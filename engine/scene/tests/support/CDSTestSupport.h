#pragma once
// Shared pieces of the collision-system tests: a fresh world per test with a
// running clock, vector comparison and a receiver that records collision
// messages.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "engine/foundation/Clock.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/scene/cds/CDSWorld.h"

inline void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

inline Ray SegmentRay(const Vector3& from, const Vector3& to) {
  Ray ray;
  ray.SetFromPoints(from, to);
  return ray;
}

class CDSWorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Clock::Instance().SetPaused(false);
    ASSERT_TRUE(world_.Init(32));
  }
  void TearDown() override {
    Clock::Instance().SetPaused(false);
    // The tests' scene nodes die with them: no object may keep one.
    world_.Init(0);
  }

  CCDSWorld& world_ = CCDSWorld::Instance();
};

// A receiver on the GEO service keeping a copy of each collision record it
// gets, with a hook run inside the delivery.
class CollisionRecorder : public CMSGListener {
 public:
  struct Received {
    int32_t source = -1;
    CCDSContact contact;
  };

  CollisionRecorder() { GetGEOMSGService()->AddListener(this); }

  void OnMessage(CMSGMessage* message) override {
    if (message->id != eMSG_GEOCollision) return;
    received.push_back({message->source, *reinterpret_cast<const CCDSContact*>(message->parameter)});
    if (onCollision) onCollision();
  }

  std::vector<Received> received;
  std::function<void()> onCollision;
};
