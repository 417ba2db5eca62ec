// Constraint rows: stiffness codes, Euler angles of joint frames, the rows
// each joint writes (they must stop exactly the motions the joint forbids),
// limit and motor requests, position errors and the contact joint's rows.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "physics/body/dgBody.h"
#include "physics/body/dgConstraint.h"
#include "physics/dynamics/dgConjugateGradient.h"
#include "support/TestMatrices.h"

namespace {

constexpr float kStep = 0.01f;  // gain 115, inverse step 100

// J · (veloc, omega) of body 0: the relative motion a row sees when body 1 is the world.
float RowSpeed(const dgJacobianRows::Row& row, const dgVector& veloc, const dgVector& omega) {
  return row.linear0.DotProduct(veloc) + row.angular0.DotProduct(omega);
}

struct Rig {
  dgBody body;
  std::unique_ptr<dgJacobianRows> rows = std::make_unique<dgJacobianRows>();
  Rig() { rows->timeStep = kStep; }
};

template <class Joint>
std::unique_ptr<Joint> MakeJoint(dgBody* body0, dgBody* body1 = nullptr) {
  auto joint = std::make_unique<Joint>();
  joint->body0 = body0;
  joint->body1 = body1;
  return joint;
}

bool gCallbackAnswer = true;
float gCallbackLow = -1e15f;
float gCallbackHigh = 1e15f;
int gCallbackCalls = 0;
bool LimitCallback(const dgConstraint*, dgJointLimitRequest* request) {
  ++gCallbackCalls;
  request->lowLimit = gCallbackLow;
  request->highLimit = gCallbackHigh;
  request->acceleration = 7.0f;
  return gCallbackAnswer;
}

}  // namespace

TEST(JointRows, StiffnessIsClampedAndCoded) {
  dgHingeJoint hinge;
  EXPECT_FLOAT_EQ(hinge.GetStiffness(), 0.9f);
  EXPECT_FLOAT_EQ(hinge.stiffnessCode, 1.4f);
  const struct {
    float in;
    float out;
  } cases[] = {{-1.0f, 0.0f}, {2.0f, 1.0f}, {0.5f, 0.5f}, {NAN, 0.0f}};
  for (const auto& test : cases) {
    hinge.SetStiffness(test.in);
    EXPECT_FLOAT_EQ(hinge.GetStiffness(), test.out) << test.in;
  }
  dgContactJoint contact;
  contact.SetStiffness(0.2f);
  EXPECT_EQ(contact.GetStiffness(), 1.0f);
}

TEST(JointRows, EulerAnglesOfSingleAxisTurnsAndPoles) {
  EXPECT_EQ(dgMatrixToEulerAngles(dgGetIdentityMatrix()), dgVector(0, 0, 0, 0));
  for (int axis = 0; axis < 3; ++axis) {
    const dgVector angles = dgMatrixToEulerAngles(AxisRotation(axis, 0.3f));
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(angles[i], i == axis ? 0.3f : 0.0f, 1e-6f) << axis << " " << i;
  }
  // m02 = 1 and -1: at the poles y is held just inside ±90° and z is 0.
  for (float sign : {1.0f, -1.0f}) {
    dgMatrix pole(dgVector(0, 0, sign, 0), dgVector(0, 1, 0, 0), dgVector(-sign, 0, 0, 0), dgVector(0, 0, 0, 1));
    const dgVector angles = dgMatrixToEulerAngles(pole);
    EXPECT_FLOAT_EQ(angles.y, -sign * std::asin(0.999999f));
    EXPECT_EQ(angles.z, 0.0f);
    EXPECT_FALSE(std::isnan(angles.x));
  }
}

TEST(JointRows, CoincidingFramesGiveZeroAnglesAndOffsetFramesTheirTurn) {
  dgBody body0;
  dgBody body1;
  body0.matrix.posit = dgVector(3, -2, 5, 1);
  body1.matrix.posit = dgVector(3, -2, 5, 1);
  auto hinge = MakeJoint<dgHingeJoint>(&body0, &body1);
  dgMatrix m0;
  dgMatrix m1;
  EXPECT_EQ(hinge->CalculateGlobalMatrices(m0, m1), dgVector(0, 0, 0, 0));
  EXPECT_EQ(m0.posit, body0.matrix.posit);

  body1.matrix = AxisRotation(0, 0.25f);
  body1.matrix.posit = body0.matrix.posit;
  const dgVector angles = hinge->CalculateGlobalMatrices(m0, m1);
  EXPECT_NEAR(angles.x, 0.25f, 1e-6f);
  Rig rig;
  hinge->JacobianDerivative(*rig.rows);
  EXPECT_NEAR(hinge->jointValue, -0.25f, 1e-6f);

  // Without body 1 its frame is the local matrix itself.
  hinge->body1 = nullptr;
  hinge->localMatrix1.posit = dgVector(1, 2, 3, 1);
  hinge->CalculateGlobalMatrices(m0, m1);
  EXPECT_EQ(m1.posit, dgVector(1, 2, 3, 1));
}

// Each joint, tied to the world at body 0's centre, must stop every motion
// it forbids and leave the ones it allows: J · v is 0 for an allowed motion
// in every row, and not 0 in some row for a forbidden one.
TEST(JointRows, EachJointStopsExactlyTheMotionsItForbids) {
  const dgVector x(1, 0, 0, 0);
  const dgVector y(0, 1, 0, 0);
  const dgVector z(0, 0, 1, 0);
  const dgVector none;
  struct Motion {
    dgVector veloc;
    dgVector omega;
    bool allowed;
  };
  struct Case {
    const char* name;
    std::unique_ptr<dgBilateralConstraint> (*make)(dgBody*);
    int rowCount;
    Motion motions[4];
  };
  const Case cases[] = {
      {"ball",
       [](dgBody* b) -> std::unique_ptr<dgBilateralConstraint> { return MakeJoint<dgBallAndSocketJoint>(b); },
       3,
       {{none, x, true}, {none, y, true}, {none, z, true}, {y, none, false}}},
      {"hinge",
       [](dgBody* b) -> std::unique_ptr<dgBilateralConstraint> { return MakeJoint<dgHingeJoint>(b); },
       5,
       {{none, x, true}, {none, y, false}, {none, z, false}, {x, none, false}}},
      {"slider",
       [](dgBody* b) -> std::unique_ptr<dgBilateralConstraint> { return MakeJoint<dgSliderJoint>(b); },
       5,
       {{x, none, true}, {none, x, false}, {y, none, false}, {none, z, false}}},
      {"corkscrew",
       [](dgBody* b) -> std::unique_ptr<dgBilateralConstraint> { return MakeJoint<dgCorkscrewJoint>(b); },
       4,
       {{x, none, true}, {none, x, true}, {z, none, false}, {none, y, false}}},
      {"universal",
       [](dgBody* b) -> std::unique_ptr<dgBilateralConstraint> { return MakeJoint<dgUniversalJoint>(b); },
       4,
       {{none, x, true}, {none, y, true}, {none, z, false}, {y, none, false}}},
      {"up vector",
       [](dgBody* b) -> std::unique_ptr<dgBilateralConstraint> { return MakeJoint<dgUpVectorJoint>(b); },
       2,
       {{none, x, true}, {x, none, true}, {none, y, false}, {none, z, false}}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Rig rig;
    auto joint = test.make(&rig.body);
    ASSERT_EQ(joint->JacobianDerivative(*rig.rows), test.rowCount);
    for (const Motion& motion : test.motions) {
      float largest = 0.0f;
      for (int i = 0; i < test.rowCount; ++i) {
        largest = std::fmax(largest, std::fabs(RowSpeed(rig.rows->rows[i], motion.veloc, motion.omega)));
        EXPECT_EQ(rig.rows->rows[i].linear1, dgVector()) << "no body 1: its Jacobian stays zero";
        EXPECT_EQ(rig.rows->rows[i].forceOut, &joint->rowForce[i]);
      }
      if (motion.allowed) {
        EXPECT_LT(largest, 1e-5f) << motion.veloc.x << motion.veloc.y << " " << motion.omega.x << motion.omega.y;
      } else {
        EXPECT_GT(largest, 0.5f) << motion.veloc.x << motion.veloc.y << " " << motion.omega.x << motion.omega.y;
      }
    }
  }
}

TEST(JointRows, LimitCallbackAnswersDecideTheOptionalRows) {
  struct Case {
    const char* name;
    bool answer;
    float low;
    float high;
    int hingeRows;
    int corkscrewRows;
    bool bounded;
  };
  const Case cases[] = {
      {"no change", true, -1e15f, 1e15f, 6, 6, false},
      {"new limits", true, -0.5f, 0.25f, 6, 6, true},
      {"refused", false, -0.5f, 0.25f, 5, 4, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    gCallbackAnswer = test.answer;
    gCallbackLow = test.low;
    gCallbackHigh = test.high;
    gCallbackCalls = 0;
    Rig rig;
    auto hinge = MakeJoint<dgHingeJoint>(&rig.body);
    hinge->limitCallback = LimitCallback;
    ASSERT_EQ(hinge->JacobianDerivative(*rig.rows), test.hingeRows);
    EXPECT_EQ(gCallbackCalls, 1);
    if (test.hingeRows == 6) {
      const dgJacobianRows::Row& row = rig.rows->rows[5];
      EXPECT_EQ(row.angular0, dgVector(1, 0, 0, 0));
      EXPECT_FLOAT_EQ(row.acceleration, 7.0f);
      EXPECT_EQ(row.rowKind, test.bounded ? dgJacobianRows::kBoundedRow : dgJacobianRows::kFreeRow);
      EXPECT_EQ(row.lowLimit, test.bounded ? test.low : -1e15f);
      EXPECT_EQ(row.highLimit, test.bounded ? test.high : 1e15f);
    }
    for (int i = 0; i < 5; ++i) EXPECT_EQ(rig.rows->rows[i].rowKind, dgJacobianRows::kFreeRow);

    auto corkscrew = MakeJoint<dgCorkscrewJoint>(&rig.body);
    corkscrew->limitCallback = LimitCallback;
    EXPECT_EQ(corkscrew->JacobianDerivative(*rig.rows), test.corkscrewRows);
  }
  gCallbackAnswer = true;
  gCallbackLow = -1e15f;
  gCallbackHigh = 1e15f;
}

TEST(JointRows, PositionErrorsPullTheAnchorsTogetherAndAreClamped) {
  // Body 0's anchor sits off the world anchor along x; the front row asks
  // body 0 to accelerate back: (0 + error · gain) / step.
  const struct {
    float offset;
    float expected;
  } cases[] = {{0.1f, -0.1f * 115.0f * 100.0f}, {-0.2f, 0.2f * 115.0f * 100.0f}, {1e6f, -10000.0f * 115.0f * 100.0f}};
  for (const auto& test : cases) {
    Rig rig;
    rig.body.matrix.posit = dgVector(test.offset, 0, 0, 1);
    rig.body.globalCentreOfMass = rig.body.matrix.posit;
    auto ball = MakeJoint<dgBallAndSocketJoint>(&rig.body);
    ASSERT_EQ(ball->JacobianDerivative(*rig.rows), 3);
    EXPECT_FLOAT_EQ(rig.rows->rows[0].acceleration, test.expected) << test.offset;
    EXPECT_NEAR(rig.rows->rows[1].acceleration, 0.0f, 1e-3f);
    EXPECT_FLOAT_EQ(rig.rows->rows[0].stiffness, 1.4f);
  }
  // A moving body is asked to stop within the step.
  Rig rig;
  rig.body.veloc = dgVector(0, 3, 0, 0);
  auto ball = MakeJoint<dgBallAndSocketJoint>(&rig.body);
  ball->JacobianDerivative(*rig.rows);
  EXPECT_FLOAT_EQ(rig.rows->rows[1].acceleration, -300.0f);
}

TEST(JointRows, BallLimitsAddPushOnlyRowsOutsideTheirRange) {
  Rig rig;
  auto ball = MakeJoint<dgBallAndSocketJoint>(&rig.body);
  ball->options = dgBallAndSocketJoint::kTwistLimitOn | dgBallAndSocketJoint::kConeLimitOn;
  ball->twistLimit = 0.5f;
  ball->coneLimit = 0.5f;
  EXPECT_EQ(ball->JacobianDerivative(*rig.rows), 3) << "inside both limits";

  // Body 1 (the world frame) twisted by 0.8 about the pin: one push-only row.
  ball->localMatrix1 = AxisRotation(0, 0.8f);
  ASSERT_EQ(ball->JacobianDerivative(*rig.rows), 4);
  const dgJacobianRows::Row& twist = rig.rows->rows[3];
  EXPECT_EQ(twist.rowKind, dgJacobianRows::kOneSidedRow);
  EXPECT_EQ(twist.lowLimit, 0.0f);
  EXPECT_GT(twist.acceleration, 0.0f) << "its push turns body 0 after the world frame";
  EXPECT_GT(RowSpeed(twist, {}, dgVector(1, 0, 0, 0)), 0.0f);
  EXPECT_NEAR(ball->eulerAngles.x, -0.8f, 1e-6f);

  // The pins 0.9 apart about up: two cone rows, the second tied to the first.
  ball->localMatrix1 = AxisRotation(1, 0.9f);
  ASSERT_EQ(ball->JacobianDerivative(*rig.rows), 5);
  const dgJacobianRows::Row& push = rig.rows->rows[3];
  EXPECT_EQ(push.rowKind, dgJacobianRows::kOneSidedRow);
  EXPECT_NEAR(push.acceleration, 0.4f * 115.0f * 100.0f, 1.0f);
  EXPECT_EQ(rig.rows->rows[4].rowKind, 3);
  // Turning body 0 about the push axis brings its pin towards body 1's.
  const dgVector pin1 = AxisRotation(1, 0.9f).front;
  const dgVector turned = push.angular0.CrossProduct(dgVector(1, 0, 0, 0));
  EXPECT_GT(turned.DotProduct(pin1), 0.0f);
}

TEST(JointRows, UpVectorTurnsThePinTowardsTheTarget) {
  Rig rig;
  auto up = MakeJoint<dgUpVectorJoint>(&rig.body);
  up->localMatrix1 = AxisRotation(2, 0.3f);  // the target: front turned 0.3 about right
  ASSERT_EQ(up->JacobianDerivative(*rig.rows), 2);
  const dgJacobianRows::Row& row = rig.rows->rows[0];
  EXPECT_NEAR(row.acceleration, 0.3f * 115.0f * 100.0f, 1.0f);
  EXPECT_NEAR(std::fabs(row.angular0.z), 1.0f, 1e-6f);
  const dgVector turned = row.angular0.CrossProduct(dgVector(1, 0, 0, 0));
  EXPECT_GT(turned.DotProduct(up->localMatrix1.front), 0.0f);
  EXPECT_FALSE(up->IsBilateral());
}

TEST(JointRows, ContactRowsPushApartAndBoundFrictionByTheNormalForce) {
  dgBody body0;
  dgBody body1;
  body0.invMass = body1.invMass = 1.0f;
  dgContactJoint joint;
  joint.body0 = &body0;
  joint.body1 = &body1;
  dgContactEntry entry;
  entry.normal = dgVector(0, 1, 0, 0);
  entry.tangent0 = dgVector(1, 0, 0, 0);
  entry.tangent1 = dgVector(0, 0, 1, 0);
  entry.penetration = 2.0f;  // corrected as 0.5
  entry.correctionFactor = 0.5f;
  entry.restitution = 0.5f;
  entry.staticFriction[0] = entry.staticFriction[1] = 0.8f;
  entry.kineticFriction[0] = entry.kineticFriction[1] = 0.4f;
  entry.flags = dgContactJoint::kFriction0 | dgContactJoint::kFriction1 | dgContactJoint::kSliding1;
  ASSERT_NE(joint.contacts.Append(entry), nullptr);
  entry.flags = 0;
  body0.veloc = dgVector(0, -2, 0, 0);  // approaching along the normal
  ASSERT_NE(joint.contacts.Append(entry), nullptr);

  Rig rig;
  ASSERT_EQ(joint.JacobianDerivative(*rig.rows), 4);
  const dgJacobianRows::Row* rows = rig.rows->rows;
  EXPECT_EQ(rows[0].rowKind, dgJacobianRows::kOneSidedRow);
  EXPECT_EQ(rows[0].lowLimit, 0.0f);
  EXPECT_EQ(rows[0].linear0, dgVector(0, 1, 0, 0));
  EXPECT_EQ(rows[0].linear1, dgVector(0, -1, 0, 0));
  // Bounce (1 + 0.5) · 2 plus correction 0.5 · 0.5 · 10, over the step.
  EXPECT_FLOAT_EQ(rows[0].acceleration, (3.0f + 2.5f) * 100.0f);
  EXPECT_EQ(rows[0].forceOut, &joint.contacts.GetFirst()->GetInfo().normalForce);
  // Tangent 0 holds on its static coefficient, tangent 1 is marked sliding.
  EXPECT_EQ(rows[1].rowKind, 0);
  EXPECT_FLOAT_EQ(rows[1].highLimit, 0.8f);
  EXPECT_FLOAT_EQ(rows[1].lowLimit, -0.8f);
  EXPECT_EQ(rows[2].rowKind, 0);
  EXPECT_FLOAT_EQ(rows[2].highLimit, 0.4f);
  // The second contact has no friction: its normal row only.
  EXPECT_EQ(rows[3].rowKind, dgJacobianRows::kOneSidedRow);
}

TEST(JointRows, ContactRowsStopAtTheEndOfTheRowBlock) {
  dgBody body0;
  dgContactJoint joint;
  joint.body0 = &body0;
  dgContactEntry entry;
  entry.normal = dgVector(0, 1, 0, 0);
  entry.flags = dgContactJoint::kFriction0 | dgContactJoint::kFriction1;
  for (int i = 0; i < dgJacobianRows::kMaxRows; ++i) ASSERT_NE(joint.contacts.Append(entry), nullptr);
  Rig rig;
  EXPECT_EQ(joint.JacobianDerivative(*rig.rows), dgJacobianRows::kMaxRows / 3 * 3);
  EXPECT_EQ(rig.rows->rows[0].linear1, dgVector()) << "against the world";
}

// The rows and the solver agree on signs: a body hanging from a hinge on
// the world, pulled down and sideways, gets row forces that cancel the pull
// in every direction the hinge forbids.
TEST(JointRows, SolvedHingeRowsCancelTheForcesOnTheBody) {
  Rig rig;
  rig.body.invMass = 0.5f;
  rig.body.invInertia = dgVector(1.0f, 1.0f, 1.0f, 0.0f);
  auto hinge = MakeJoint<dgHingeJoint>(&rig.body);
  const int n = hinge->JacobianDerivative(*rig.rows);
  ASSERT_EQ(n, 5);

  const dgVector force(3.0f, -20.0f, 0.0f, 0.0f);
  auto solver = std::make_unique<dgConjugateGradientSolver>();
  solver->bodyCount = 2;  // body 0 the hinged body, body 1 the world
  for (int i = 0; i < n; ++i) {
    const dgJacobianRows::Row& row = rig.rows->rows[i];
    solver->bodyIndex[i][0] = 0;
    solver->bodyIndex[i][1] = 1;
    solver->J[i] = {row.linear0, row.angular0, row.linear1, row.angular1};
    solver->K[i] = {row.linear0.Scale(rig.body.invMass), row.angular0, {}, {}};
    solver->c[i] = 0.0f;
    solver->x[i] = 0.0f;
    solver->mask[i] = 1.0f;
    solver->r[i] = row.acceleration - solver->K[i].linear0.DotProduct(force);
    solver->m[i] = 1.0f / (solver->K[i].linear0.DotProduct(row.linear0) + row.angular0.DotProduct(row.angular0));
  }
  ASSERT_GE(solver->Solve(n, n), 1);
  dgVector reaction;
  dgVector torque;
  for (int i = 0; i < n; ++i) {
    reaction += rig.rows->rows[i].linear0.Scale(solver->x[i]);
    torque += rig.rows->rows[i].angular0.Scale(solver->x[i]);
  }
  EXPECT_NEAR(reaction.x, -3.0f, 0.2f);
  EXPECT_NEAR(reaction.y, 20.0f, 0.2f);
  EXPECT_NEAR(reaction.z, 0.0f, 0.2f);
  EXPECT_NEAR(torque.x, 0.0f, 1e-3f) << "the hinge leaves the turn about its pin free";
}
