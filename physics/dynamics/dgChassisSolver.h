#pragma once
// The working block of one chassis step: the chassis's rows (suspension,
// axle, optional brake) and its wheels' contact rows with the bodies they
// touch, solved by the bounded conjugate-gradient solver, then the wheels'
// suspension travel and spin integrated. About 100 KB: a local object of
// the step, never allocated.

#include <cstdint>

#include "physics/body/dgBody.h"
#include "physics/dynamics/dgConjugateGradient.h"

class dgChassisConstraint;
struct dgChassisWheel;
struct dgPointParam;

class dgChassisSolver {
 public:
  static constexpr int kMaxRows = dgConjugateGradientSolver::kMaxRows;
  static constexpr int kMaxBodies = dgConjugateGradientSolver::kMaxBodies;
  // Wheel body indices start at 2 and stay below this, so at most 30 wheels take part.
  static constexpr int kWheelSlots = 32;
  static constexpr int kStaticIndex = 0;
  static constexpr int kChassisIndex = 1;
  static constexpr int kFirstWheelIndex = 2;
  static constexpr int kMaxWheels = kWheelSlots - kFirstWheelIndex;

  dgChassisSolver() = default;
  dgChassisSolver(const dgChassisSolver&) = delete;
  dgChassisSolver& operator=(const dgChassisSolver&) = delete;

  // Builds and solves the rows of every wheel (up to 30) of the chassis for
  // a step of dt, applies the forces and moves each wheel's suspension and spin.
  void Step(dgChassisConstraint& chassis, float dt);
  // Row `row` between the chassis and wheel w along direction, at the wheel
  // centre the parameter describes (r0 and centripetal0 on the chassis).
  void AddLinearRow(int w, int row, const dgPointParam& param, const dgVector& direction);
  // Row `row` holding the chassis and wheel w turning alike about direction.
  void AddAngularRow(int w, int row, const dgVector& direction);

  int GetRowCount() const { return rowCount_; }
  int GetBodyCount() const { return bodyCount_; }
  int GetFirstContactBody() const { return firstContactBody_; }
  dgBody* GetBody(int index) const { return bodies_[index]; }
  const dgVector& GetForceAccumulator(int index) const { return force_[index]; }
  const dgVector& GetTorqueAccumulator(int index) const { return torque_[index]; }
  const dgConjugateGradientSolver& GetSolver() const { return solver_; }

 private:
  // Slot w: the wheel's centre and axle in world space, its chassis rows.
  void AddChassisRows(int w, float dt, float sigma);
  void AddContactRows(int w, float invDt);
  // The body index of a touched body (appended when new); -1 when the table is full.
  int FindOrAddTouchedBody(dgBody* body);
  // Writes a row of the pair (first, w) with J = (d, r0 × d | -d, d × rw).
  void WriteContactRow(int row, int first, int w, const dgVector& r0, const dgVector& rw, const dgVector& d);
  void BuildSystem();
  void ApplyForces();
  void IntegrateWheels(float dt);

  dgBody static_;  // index 0: no mass, never moves
  dgConjugateGradientSolver solver_;
  dgVector externalForce_[kWheelSlots];
  dgVector externalTorque_[kWheelSlots];
  dgVector centreVelocity_[kWheelSlots];
  dgVector angularVelocity_[kWheelSlots];
  dgVector wheelCentre_[kWheelSlots];  // world space
  dgVector wheelAxle_[kWheelSlots];    // world space
  dgVector force_[kMaxBodies];
  dgVector torque_[kMaxBodies];
  dgBody* bodies_[kMaxBodies] = {};
  dgChassisWheel* wheels_[kWheelSlots] = {};
  int32_t rowCount_ = 0;
  int32_t bodyCount_ = 0;
  int32_t firstContactBody_ = 0;

  // Read by every stage of one step.
  dgBody* chassis_ = nullptr;
  dgVector upLocal_;  // the chassis's up, chassis space
  dgVector up_;       // the chassis's up, world space
  dgVector omega_;    // the chassis's spin at the start of the step
  dgVector veloc_;
};
