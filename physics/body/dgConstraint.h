#pragma once
// Constraints between two bodies (or a body and the world): the base, the
// bilateral part of the six joints, and the contact joint. The world keeps
// one object pool per class; the dynamics step asks each constraint for the
// rows of its Jacobian through JacobianDerivative. The world gives a
// constraint back to the pool of its kind.

#include <cstdint>

#include "physics/math/dgMatrix.h"
#include "physics/memory/dgRefList.h"

class dgBody;
class dgConstraint;
struct dgJointLink;

// Called with the joint when the world releases it (the user's destroy callback).
using dgConstraintCallback = void (*)(const dgConstraint* joint);

// A limit or motor request a joint hands its limit callback once per step.
struct dgJointLimitRequest {
  float lowLimit = -1e15f;
  float highLimit = 1e15f;
  float timeStep = 0.0f;
  float jointValue = 0.0f;
  float acceleration = 0.0f;
  // Which optional row is asked for: 0 the first (slide or first pin), 1 the second.
  int axis = 0;
};
using dgJointLimitCallback = bool (*)(const dgConstraint* joint, dgJointLimitRequest* request);

// The solver's row block a constraint fills.
struct dgJacobianRows {
  // A joint writes at most six rows; a contact joint three per contact.
  static constexpr int kMaxRows = 48;
  // Row kinds: a plain two-sided row, a one-sided row (its force never
  // pulls), a row bounded by its own limits; a kind of 0 or more ties the
  // row to that row, whose force scales its limits (friction).
  static constexpr int kFreeRow = -1;
  static constexpr int kOneSidedRow = -2;
  static constexpr int kBoundedRow = -3;

  struct Row {
    dgVector linear0;
    dgVector angular0;
    dgVector linear1;
    dgVector angular1;
    float acceleration = 0.0f;
    float stiffness = 0.0f;
    float* forceOut = nullptr;
    float lowLimit = -1e15f;
    float highLimit = 1e15f;
    int rowKind = kFreeRow;
  };

  Row rows[kMaxRows];
  float timeStep = 0.0f;
};

// The two anchors of a row pair and how they move.
struct dgPointParam {
  dgVector posit0;  // anchors, world space
  dgVector posit1;
  dgVector r0;  // anchors relative to each body's centre of mass
  dgVector r1;
  dgVector veloc0;  // anchor velocities
  dgVector veloc1;
  dgVector centripetal0;  // omega x (omega x r)
  dgVector centripetal1;
  float stiffnessCode = 1.0f;
};

// (x, y, z, 0) Euler angles of a rotation; never NaN, even at the poles.
dgVector dgMatrixToEulerAngles(const dgMatrix& matrix);

class dgConstraint {
 public:
  static constexpr uint16_t kMaxDOF = 6;
  // The class of a constraint, one per pool of the world.
  enum Kind { kBallAndSocket, kHinge, kSlider, kCorkscrew, kUniversal, kUpVector, kContact, kChassis };

  dgConstraint() { dgConstraint::ResetToDefaults(); }
  dgConstraint(const dgConstraint&) = delete;
  dgConstraint& operator=(const dgConstraint&) = delete;
  virtual ~dgConstraint() = default;

  // Stores the user's callback (the joints' destroy callback).
  virtual void SetUserCallback(dgConstraintCallback callback) = 0;
  // Stiffness in 0..1 (1 for the base).
  virtual float GetStiffness() const { return 1.0f; }
  // Ignored by the base.
  virtual void SetStiffness(float) {}
  // Clears the solver words and restores the default counts.
  virtual void ResetToDefaults();
  // Which class the constraint is.
  virtual Kind GetKind() const = 0;
  // True for the bilateral joints with a full frame.
  virtual bool IsBilateral() const { return false; }
  // The joint coordinate a step reports (0 here).
  virtual float GetJointValue() const { return 0.0f; }
  // Writes the rows of this step; returns their count.
  virtual int JacobianDerivative(dgJacobianRows& rows) = 0;

  // Fills the anchors' offsets, velocities and centripetal terms (body 1's zero without it).
  void CalcPointParam(dgPointParam& param, float stiffnessCode, const dgVector& point0, const dgVector& point1) const;
  // Writes row index: holds the anchors together along direction.
  void AddLinearRow(int index, dgJacobianRows& rows, const dgVector& direction, const dgPointParam& param,
                    float* forceOut) const;
  // Row about direction reaching the given relative angular acceleration.
  void AddAngularRow(int index, dgJacobianRows& rows, const dgVector& direction, float stiffnessCode,
                     float acceleration, float* forceOut) const;

  void* userData = nullptr;
  dgBody* body0 = nullptr;
  dgBody* body1 = nullptr;  // null: a joint to the world
  uint32_t solverWords[3] = {};
  uint16_t maxDOF = kMaxDOF;
  uint16_t rowCode = 9;
  uint32_t solverWord = 0;
  // The two link records the world keeps in the bodies' joint lists.
  dgJointLink* links[2] = {};
};

// The part every joint shares: its frames in both bodies and its stiffness.
class dgBilateralConstraint : public dgConstraint {
 public:
  static constexpr float kDefaultStiffness = 0.9f;

  dgBilateralConstraint() { dgBilateralConstraint::ResetToDefaults(); }

  void SetUserCallback(dgConstraintCallback callback) override { userCallback = callback; }
  // (5 - stiffnessCode) / 4.
  float GetStiffness() const override { return (5.0f - stiffnessCode) * 0.25f; }
  // stiffnessCode = 5 - 4 * stiffness, the stiffness clamped to 0..1.
  void SetStiffness(float stiffness) override;
  void ResetToDefaults() override;
  bool IsBilateral() const override { return true; }
  // Calls the user's destroy callback (the world releases the joint).
  void NotifyRelease() const;

  dgMatrix localMatrix0;  // joint frame in body 0's space (front = the pin)
  dgMatrix localMatrix1;  // joint frame in body 1's space
  float stiffnessCode = 5.0f - 4.0f * kDefaultStiffness;
  float rowForce[kMaxDOF] = {};
  dgConstraintCallback userCallback = nullptr;
  float jointValue = 0.0f;
  float secondJointValue = 0.0f;  // the universal joint's second angle
  dgJointLimitCallback limitCallback = nullptr;

  // The frames in world space (without body 1, matrix1 is localMatrix1
  // itself) and the Euler angles of matrix1 relative to matrix0.
  dgVector CalculateGlobalMatrices(dgMatrix& outMatrix0, dgMatrix& outMatrix1) const;

 protected:
  // Asks the limit callback for an optional row; false (also the answer
  // without a callback) ends the builder with the rows so far.
  bool AskForLimitRow(const dgJacobianRows& rows, int axis, float value, dgJointLimitRequest& outRequest);
  // Marks row index with the limits of a request that changed them.
  static void ApplyLimits(dgJacobianRows& rows, int index, const dgJointLimitRequest& request);
  // Rows firstRow to firstRow + 3 hold the bodies on the pin's line: at the
  // joint points and at the pin tips, each across the pin (up, then right).
  // Returns the anchor at the joint points.
  dgPointParam HoldOnPinLine(dgJacobianRows& rows, const dgMatrix& matrix0, const dgMatrix& matrix1, int firstRow);
  // Asks for the optional row `count` (axis, joint value); when granted,
  // write(row, acceleration) adds it, its limits apply and count grows.
  // False when the callback declined.
  template <class WriteRow>
  bool AddRequestedRow(dgJacobianRows& rows, int& count, int axis, float value, WriteRow write) {
    dgJointLimitRequest request;
    if (!AskForLimitRow(rows, axis, value, request)) return false;
    write(count, request.acceleration);
    ApplyLimits(rows, count, request);
    ++count;
    return true;
  }
};

// Holds two points of the bodies together, with an optional twist limit
// about the pin and cone limit around it.
class dgBallAndSocketJoint : public dgBilateralConstraint {
 public:
  static constexpr uint32_t kConeLimitOn = 1;
  static constexpr uint32_t kTwistLimitOn = 2;

  Kind GetKind() const override { return kBallAndSocket; }
  int JacobianDerivative(dgJacobianRows& rows) override;

  uint32_t options = 0;
  float twistLimit = 0.0f;  // radians either way about the pin
  float coneLimit = 0.0f;   // radians between the two pins
  dgVector eulerAngles;     // the relative Euler angles of the last step, negated
};

// Lets the bodies turn about the pin only.
class dgHingeJoint : public dgBilateralConstraint {
 public:
  Kind GetKind() const override { return kHinge; }
  int JacobianDerivative(dgJacobianRows& rows) override;
};

// Lets the bodies slide along the pin only.
class dgSliderJoint : public dgBilateralConstraint {
 public:
  Kind GetKind() const override { return kSlider; }
  int JacobianDerivative(dgJacobianRows& rows) override;
};

// Lets the bodies slide along and turn about the pin.
class dgCorkscrewJoint : public dgBilateralConstraint {
 public:
  Kind GetKind() const override { return kCorkscrew; }
  int JacobianDerivative(dgJacobianRows& rows) override;
};

// Lets the bodies turn about two pins at right angles.
class dgUniversalJoint : public dgBilateralConstraint {
 public:
  Kind GetKind() const override { return kUniversal; }
  int JacobianDerivative(dgJacobianRows& rows) override;
};

// Keeps body 0's pin turned towards a fixed direction.
class dgUpVectorJoint : public dgBilateralConstraint {
 public:
  Kind GetKind() const override { return kUpVector; }
  bool IsBilateral() const override { return false; }
  int JacobianDerivative(dgJacobianRows& rows) override;
};

// One contact between the two bodies of a contact joint.
struct dgContactEntry {
  dgVector point;
  dgVector normal;
  dgVector tangent0;
  dgVector tangent1;
  float penetration = 0.0f;
  float restitution = 0.0f;
  float correctionFactor = 1.0f;
  float staticFriction[2] = {};
  float kineticFriction[2] = {};
  uint32_t flags = 0;
  int64_t userId = 0;
  float normalForce = 0.0f;  // written by the solver
  float tangentForce[2] = {};
};

// The contacts between two bodies, as constraint rows.
class dgContactJoint : public dgConstraint {
 public:
  // Entry flags: friction along each tangent, and a tangent held at its
  // sliding (kinetic) coefficient.
  static constexpr uint32_t kFriction0 = 2;
  static constexpr uint32_t kFriction1 = 4;
  static constexpr uint32_t kSliding0 = 8;
  static constexpr uint32_t kSliding1 = 16;

  void SetUserCallback(dgConstraintCallback) override {}
  Kind GetKind() const override { return kContact; }
  int JacobianDerivative(dgJacobianRows& rows) override;

  dgRefList<dgContactEntry> contacts;
};
