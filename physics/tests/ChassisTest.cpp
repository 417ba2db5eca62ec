// The chassis step: its rows, what it leaves in the chassis and the bodies
// its wheels touch, its wheels' suspension and spin, its capacities, and
// the release path that takes every wheel and part with it.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "physics/dynamics/dgChassisCollisions.h"
#include "physics/dynamics/dgChassisConstraint.h"
#include "physics/dynamics/dgChassisSolver.h"
#include "support/CountingHooks.h"
#include "support/TestWorld.h"

namespace {

constexpr float kStep = 0.01f;
constexpr float kChassisMass = 10.0f;
const dgVector kUp(0.0f, 1.0f, 0.0f, 0.0f);
const dgVector kDown(0.0f, -1.0f, 0.0f, 0.0f);

// A chassis body of mass 10 on the compound collision of its wheels, with
// its constraint entered in both chassis trees.
struct ChassisRig {
  WorldPtr world = MakeWorld();
  dgChassisCompoundCollision* compound = nullptr;
  dgBody* chassis = nullptr;
  dgChassisConstraint* constraint = nullptr;
  std::unique_ptr<dgJacobianRows> rows = std::make_unique<dgJacobianRows>();

  ChassisRig() {
    compound = new dgChassisCompoundCollision;
    compound->SetFlagBits(dgChassisCompoundCollision::kChassisFlag);
    chassis = world->CreateBody(compound, dgGetIdentityMatrix());
    compound->Release();  // the body holds it
    chassis->mass = kChassisMass;
    chassis->invMass = 1.0f / kChassisMass;
    chassis->inertia = dgVector(kChassisMass, kChassisMass, kChassisMass, 0.0f);
    chassis->invInertia = dgVector(0.1f, 0.1f, 0.1f, 0.0f);
    constraint = world->GetChassisPool().Allocate();
    constraint->body0 = chassis;
    constraint->updateCallback = nullptr;
    constraint->destroyCallback = nullptr;
    world->GetChassisTree().Insert(constraint, reinterpret_cast<uintptr_t>(constraint));
    world->GetChassisBodyTree().Insert(constraint, reinterpret_cast<uintptr_t>(chassis));
  }
  ~ChassisRig() {
    if (constraint) world->ReleaseJoint(constraint);
  }

  // A wheel of mass 1 at the hard point, axle along z, on a collision of its own.
  dgChassisWheel& AddWheel(const dgVector& hardPoint) {
    auto* collision = new dgWheelCollision;
    compound->AddPart(collision);
    dgChassisWheel wheel;
    wheel.localMatrix.posit = dgVector(hardPoint.x, hardPoint.y, hardPoint.z, 1.0f);
    wheel.pin = dgVector(0.0f, 0.0f, 1.0f, 0.0f);
    wheel.mass = 1.0f;
    wheel.invMass = 1.0f;
    wheel.invInertia = 1.0f;
    wheel.spring = 100.0f;
    wheel.damping = 5.0f;
    wheel.collision = collision;
    return constraint->wheels.Append(wheel)->GetInfo();
  }

  static dgWheelCollision& CollisionOf(const dgChassisWheel& wheel) {
    return *static_cast<dgWheelCollision*>(wheel.collision);
  }

  // Adds a contact of the wheel with partner at the wheel's hard point.
  static void Touch(dgChassisWheel& wheel, dgBody* partner, const dgVector& normal, float penetration = 0.01f) {
    dgWheelCollision& collision = CollisionOf(wheel);
    dgWheelContact& contact = collision.contacts[collision.contactCount++];
    contact = dgWheelContact{};
    contact.bodyA = partner;
    contact.point = wheel.localMatrix.posit;
    contact.normal = normal;
    contact.staticRollingCoefficient = contact.staticSideCoefficient = 1.0f;
    contact.slidingRollingCoefficient = contact.slidingSideCoefficient = 0.5f;
    contact.penetration = penetration;
  }

  // Gravity as the force applied so far.
  void Weigh() { chassis->accel = dgVector(0.0f, -9.8f * kChassisMass, 0.0f, 0.0f); }

  int Step(float dt = kStep) {
    rows->timeStep = dt;
    return constraint->JacobianDerivative(*rows);
  }

  // The solver alone, on the wheels as they stand (no per-step reset).
  std::unique_ptr<dgChassisSolver> Solve(float dt = kStep) {
    auto solver = std::make_unique<dgChassisSolver>();
    solver->Step(*constraint, dt);
    return solver;
  }
};

dgBody* MovableBody(std::vector<std::unique_ptr<dgBody>>& bodies, float invMass) {
  bodies.push_back(std::make_unique<dgBody>());
  bodies.back()->invMass = invMass;
  bodies.back()->mass = invMass != 0.0f ? 1.0f / invMass : 0.0f;
  return bodies.back().get();
}

// The softness a row was built with: the diagonal term is d · (c + 0.001) with d = J · K.
float RowSoftness(const dgConjugateGradientSolver& solver, int row) {
  const dgJacobianPair& J = solver.J[row];
  const dgJacobianPair& K = solver.K[row];
  const float d = J.linear0.DotProduct(K.linear0) + J.angular0.DotProduct(K.angular0) +
                  J.linear1.DotProduct(K.linear1) + J.angular1.DotProduct(K.angular1);
  return solver.c[row] / d - 0.001f;
}

bool IsFinite(const dgVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

TEST(Chassis, StepLeavesOnlyForceAndTorqueInTheChassis) {
  ChassisRig rig;
  auto ground = std::make_unique<dgBody>();
  for (const dgVector& corner : {dgVector(1, -0.5f, 1), dgVector(-1, -0.5f, 1), dgVector(1, -0.5f, -1)}) {
    ChassisRig::Touch(rig.AddWheel(corner), ground.get(), kDown);
  }
  rig.chassis->veloc = dgVector(0.5f, -0.2f, 0.1f, 0.0f);
  rig.chassis->omega = dgVector(0.1f, 0.3f, -0.2f, 0.0f);
  rig.Weigh();
  const dgMatrix matrix = rig.chassis->matrix;
  const dgQuaternion rotation = rig.chassis->rotation;
  const dgVector veloc = rig.chassis->veloc;
  const dgVector omega = rig.chassis->omega;
  const dgVector centre = rig.chassis->globalCentreOfMass;
  const dgVector force = rig.chassis->accel;

  EXPECT_EQ(rig.Step(), 0);
  EXPECT_EQ(rig.chassis->matrix, matrix);
  EXPECT_EQ(rig.chassis->rotation, rotation);
  EXPECT_EQ(rig.chassis->veloc, veloc);
  EXPECT_EQ(rig.chassis->omega, omega);
  EXPECT_EQ(rig.chassis->globalCentreOfMass, centre);
  EXPECT_NE(rig.chassis->accel, force);
  EXPECT_TRUE(IsFinite(rig.chassis->accel) && IsFinite(rig.chassis->alpha));
  // The wheels stand on the ground: it pushes the chassis up against gravity.
  EXPECT_GT(rig.chassis->accel.y, force.y);
  // The contacts are used up and the wheel collisions placed.
  for (auto* node = rig.constraint->wheels.GetFirst(); node; node = node->GetNext()) {
    EXPECT_EQ(ChassisRig::CollisionOf(node->GetInfo()).contactCount, 0);
    EXPECT_EQ(node->GetInfo().noContact, 0);
  }
}

TEST(Chassis, TimeStepThatIsNotPositiveChangesNothing) {
  for (const float dt : {0.0f, -0.01f, NAN}) {
    ChassisRig rig;
    dgChassisWheel& wheel = rig.AddWheel(dgVector(1, -0.5f, 0));
    wheel.suspensionVelocity = 1.0f;
    rig.Weigh();
    EXPECT_EQ(rig.Step(dt), 0);
    EXPECT_EQ(rig.chassis->accel.y, -98.0f);
    EXPECT_EQ(wheel.suspensionVelocity, 1.0f);
    EXPECT_EQ(wheel.load, 0.0f) << "no reset either";
  }
}

TEST(Chassis, ChassisRowsPerWheel) {
  const struct {
    int wheels;
    float brakeLimit;
    int rowsPerWheel;
    float sigma;
  } cases[] = {
      {1, 0.0f, 5, 1.0f},
      {4, 0.0f, 5, 0.189207f},
      {4, 2e-10f, 6, 0.189207f},
      {2, 1e-10f, 5, 0.414214f},  // the brake row needs a limit above 1e-10
  };
  for (const auto& test : cases) {
    ChassisRig rig;
    for (int i = 0; i < test.wheels; ++i)
      rig.AddWheel(dgVector(static_cast<float>(i), -0.5f, 1)).brakeLimit = test.brakeLimit;
    const auto solver = rig.Solve();
    ASSERT_EQ(solver->GetRowCount(), test.wheels * test.rowsPerWheel) << test.wheels;
    EXPECT_EQ(solver->GetBodyCount(), 2 + test.wheels);
    const dgConjugateGradientSolver& cg = solver->GetSolver();
    for (int w = 0; w < test.wheels; ++w) {
      const int first = w * test.rowsPerWheel;
      for (int row = first; row < first + test.rowsPerWheel; ++row) {
        EXPECT_EQ(cg.bodyIndex[row][0], 1);
        EXPECT_EQ(cg.bodyIndex[row][1], 2 + w);
      }
      EXPECT_NEAR(RowSoftness(cg, first + 2), test.sigma, 1e-5f) << "suspension row";
      if (test.rowsPerWheel == 6) {
        EXPECT_EQ(cg.bounds[first + 5].lower, -test.brakeLimit);
        EXPECT_EQ(cg.bounds[first + 5].upper, test.brakeLimit);
      }
    }
  }
}

TEST(Chassis, ContactRowsFindTheirPartners) {
  std::vector<std::unique_ptr<dgBody>> bodies;
  dgBody* ground = MovableBody(bodies, 0.0f);
  dgBody* crate = MovableBody(bodies, 0.25f);
  dgBody* light = MovableBody(bodies, 1.0f);
  ChassisRig rig;
  dgChassisWheel& a = rig.AddWheel(dgVector(1, -0.5f, 1));
  dgChassisWheel& b = rig.AddWheel(dgVector(-1, -0.5f, 1));
  dgChassisWheel& c = rig.AddWheel(dgVector(0, -0.5f, -1));
  a.mass = b.mass = 4.0f;
  ChassisRig::Touch(a, ground, kDown);
  ChassisRig::Touch(a, crate, kDown);
  ChassisRig::Touch(b, crate, kDown);  // the same body through another wheel
  ChassisRig::Touch(c, light, kUp);    // pushes along the load: no friction
  // The partner is body B when body A is the chassis.
  ChassisRig::CollisionOf(c).contacts[0].bodyB = light;
  ChassisRig::CollisionOf(c).contacts[0].bodyA = rig.chassis;
  for (dgChassisWheel* wheel : {&a, &b, &c}) wheel->load = -9.8f * wheel->mass;

  const auto solver = rig.Solve();
  const dgConjugateGradientSolver& cg = solver->GetSolver();
  ASSERT_EQ(solver->GetFirstContactBody(), 5);
  ASSERT_EQ(solver->GetBodyCount(), 7);
  EXPECT_EQ(solver->GetBody(5), crate);
  EXPECT_EQ(solver->GetBody(6), light);
  // Chassis rows 15; then a: ground (3), crate (3); b: crate (3); c: light (1).
  ASSERT_EQ(solver->GetRowCount(), 15 + 3 + 3 + 3 + 1);
  const struct {
    int row;
    int first;
    int wheel;
    float softness;
  } expected[] = {{15, 0, 2, 0.0f}, {18, 5, 2, 0.5f}, {21, 5, 3, 0.5f}, {24, 6, 4, 0.5f}};
  for (const auto& row : expected) {
    EXPECT_EQ(cg.bodyIndex[row.row][0], row.first) << row.row;
    EXPECT_EQ(cg.bodyIndex[row.row][1], row.wheel) << row.row;
    EXPECT_NEAR(RowSoftness(cg, row.row), row.softness, 1e-5f) << row.row;
    EXPECT_EQ(cg.bounds[row.row].lower, 0.0f) << "the normal row only pushes";
  }
  EXPECT_EQ(c.rollingSliding, 0);
  EXPECT_EQ(c.sideSliding, 0);
  EXPECT_EQ(c.noContact, 0);
}

TEST(Chassis, SpinTakesHalfItsChangeOnEitherSideOfTheAngle) {
  ChassisRig rig;
  dgChassisWheel& forward = rig.AddWheel(dgVector(1, -0.5f, 1));
  dgChassisWheel& backward = rig.AddWheel(dgVector(-1, -0.5f, 1));
  backward.spinAngle = -6.0f;
  backward.spinRate = -100.0f;
  backward.invInertia = 0.0f;  // nothing changes its rate
  rig.constraint->updateCallback = [](dgChassisConstraint* chassis) {
    chassis->wheels.GetFirst()->GetInfo().driveTorque = 10.0f;
    EXPECT_EQ(chassis->stepDescriptor.timeStep, kStep);
    EXPECT_EQ(chassis->stepDescriptor.invTimeStep, 1.0f / kStep);
  };
  rig.Step();
  // h = 10 · 0.01 · 0.5: the angle moves with the rate after the first half.
  EXPECT_NEAR(forward.spinRate, 0.1f, 1e-5f);
  EXPECT_NEAR(forward.spinAngle, 0.0005f, 1e-6f);
  EXPECT_EQ(backward.spinRate, -100.0f);
  EXPECT_FLOAT_EQ(backward.spinAngle, std::fmod(-7.0f, 6.28318f));
  EXPECT_GT(backward.spinAngle, -6.28318f);
}

TEST(Chassis, ChassisAtRestWithoutContactIsPulledDown) {
  const struct {
    int wheels;
    dgVector veloc;
    bool pulled;
  } cases[] = {
      {0, dgVector(0, 0, 0), true},
      {2, dgVector(0, 0, 0), true},
      {0, dgVector(2, 0, 0), false},  // |v|² = 4 is not below 0.01 · 100
  };
  for (const auto& test : cases) {
    ChassisRig rig;
    for (int i = 0; i < test.wheels; ++i) rig.AddWheel(dgVector(static_cast<float>(i), -0.5f, 0));
    rig.chassis->veloc = test.veloc;
    rig.Step();
    if (test.pulled) {
      EXPECT_EQ(rig.chassis->accel, dgVector(0, -kChassisMass, 0, 1)) << test.wheels;
    } else {
      EXPECT_NE(rig.chassis->accel.y, -kChassisMass);
    }
  }
}

TEST(Chassis, ReactionScaleOnlyShrinksAcrossTouchedBodies) {
  std::vector<std::unique_ptr<dgBody>> bodies;
  dgBody* light = MovableBody(bodies, 100.0f);  // a large acceleration: forces the scale down
  dgBody* heavy = MovableBody(bodies, 0.01f);
  ChassisRig rig;
  ChassisRig::Touch(rig.AddWheel(dgVector(1, -0.5f, 1)), light, kDown, 0.1f);
  ChassisRig::Touch(rig.AddWheel(dgVector(-1, -0.5f, 1)), heavy, kDown, 0.1f);
  rig.Weigh();

  // The same step without the light body gives the heavy one the full scale of 0.1.
  ChassisRig alone;
  ChassisRig::Touch(alone.AddWheel(dgVector(-1, -0.5f, 1)), heavy, kDown, 0.1f);
  alone.Weigh();
  alone.Step();
  const float fullScaleY = heavy->accel.y;
  heavy->accel = dgVector();
  heavy->alpha = dgVector();

  rig.Step();
  EXPECT_NE(light->accel.y, 0.0f);
  EXPECT_LT(light->accel.LengthSquared() * 100.0f * 100.0f, 2000.0f * 9.8f * 9.8f * 1.0001f);
  EXPECT_LT(std::fabs(heavy->accel.y), std::fabs(fullScaleY)) << "the light body's scale carries over";
  EXPECT_GT(std::fabs(heavy->accel.y), 0.0f);

  // Without gravity the limit is 0: the scale decays until the test
  // underflows, and the loop ends with next to nothing given.
  light->accel = heavy->accel = dgVector();
  rig.chassis->accel = dgVector();
  ChassisRig::Touch(rig.constraint->wheels.GetFirst()->GetInfo(), light, kDown, 0.1f);
  rig.Step();
  EXPECT_LT(light->accel.LengthSquared(), 1e-30f);
}

TEST(Chassis, AxleAlongUpStaysFinite) {
  std::vector<std::unique_ptr<dgBody>> bodies;
  dgBody* crate = MovableBody(bodies, 0.5f);
  ChassisRig rig;
  dgChassisWheel& wheel = rig.AddWheel(dgVector(1, -0.5f, 1));
  wheel.pin = kUp;  // roll = up × axle = 0: two rows with nothing to act on
  ChassisRig::Touch(wheel, crate, kDown);
  rig.Weigh();
  rig.constraint->updateCallback = [](dgChassisConstraint* chassis) {
    chassis->wheels.GetFirst()->GetInfo().brakeLimit = 1.0f;
  };
  const auto solver = rig.Solve();
  const dgConjugateGradientSolver& cg = solver->GetSolver();
  EXPECT_EQ(cg.m[0], 0.0f) << "the roll row";
  EXPECT_EQ(cg.x[0], 0.0f);
  rig.Step();
  EXPECT_TRUE(IsFinite(rig.chassis->accel) && IsFinite(rig.chassis->alpha));
  EXPECT_TRUE(IsFinite(crate->accel) && IsFinite(crate->alpha));
  EXPECT_TRUE(std::isfinite(wheel.suspensionPosition) && std::isfinite(wheel.spinAngle));
  EXPECT_TRUE(IsFinite(wheel.receivedForce));
}

TEST(Chassis, OverfullChassisStaysInsideItsBlocks) {
  std::vector<std::unique_ptr<dgBody>> bodies;
  for (int i = 0; i < 70; ++i) MovableBody(bodies, 0.5f);
  ChassisRig rig;
  int next = 0;
  for (int w = 0; w < 31; ++w) {
    dgChassisWheel& wheel = rig.AddWheel(dgVector(static_cast<float>(w % 6), -0.5f, static_cast<float>(w / 6)));
    for (int c = 0; c < dgWheelCollision::kMaxContacts; ++c) {
      ChassisRig::Touch(wheel, bodies[next++ % bodies.size()].get(), kDown);
    }
  }
  ChassisRig::CollisionOf(rig.constraint->wheels.GetLast()->GetInfo()).contactCount = 1000;  // a bad count
  for (auto* node = rig.constraint->wheels.GetFirst(); node; node = node->GetNext()) {
    node->GetInfo().load = -9.8f;
    node->GetInfo().brakeLimit = 1.0f;
  }
  const auto solver = rig.Solve();
  EXPECT_EQ(solver->GetFirstContactBody(), 32) << "30 wheels take part";
  EXPECT_EQ(solver->GetBodyCount(), 64);
  EXPECT_LE(solver->GetRowCount(), 512);
  EXPECT_GT(solver->GetRowCount(), 509);
  EXPECT_EQ(rig.constraint->wheels.GetLast()->GetInfo().bodyIndex, -1);

  rig.Weigh();
  EXPECT_EQ(rig.Step(), 0);
  EXPECT_TRUE(IsFinite(rig.chassis->accel));
}

TEST(Chassis, ReleaseTakesEveryWheelAndPart) {
  static int destroyed = 0;
  destroyed = 0;
  ChassisRig rig;
  for (int i = 0; i < 3; ++i) rig.AddWheel(dgVector(static_cast<float>(i), -0.5f, 0));
  dgWheelCollision* first = &ChassisRig::CollisionOf(rig.constraint->wheels.GetFirst()->GetInfo());
  EXPECT_EQ(first->GetRefCount(), 2) << "the wheel's and the compound's";
  rig.constraint->SetUserCallback([](const dgConstraint*) { ++destroyed; });

  rig.constraint->RemoveWheel(rig.constraint->wheels.GetFirst());
  EXPECT_EQ(rig.compound->GetPartCount(), 2);
  EXPECT_EQ(rig.constraint->wheels.GetCount(), 2);

  rig.world->ReleaseJoint(rig.constraint);
  rig.constraint = nullptr;
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(rig.compound->GetPartCount(), 0);
  EXPECT_EQ(rig.world->GetChassisTree().GetCount(), 0);
  EXPECT_EQ(rig.world->GetChassisBodyTree().GetCount(), 0);
  EXPECT_EQ(rig.compound->GetFlags() & dgChassisCompoundCollision::kChassisFlag, 0u);
}

TEST(Chassis, CyclesGrowNoHook) {
  ScopedCountingHooks hooks;
  const auto cycle = [] {
    std::vector<std::unique_ptr<dgBody>> bodies;
    dgBody* crate = MovableBody(bodies, 0.5f);
    ChassisRig rig;
    for (int i = 0; i < 4; ++i)
      ChassisRig::Touch(rig.AddWheel(dgVector(static_cast<float>(i), -0.5f, 1)), crate, kDown);
    rig.Weigh();
    rig.Step();
  };
  ExpectCyclesGrowNoHook(cycle);
}
