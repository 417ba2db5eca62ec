#pragma once
// Constants the row builders share (not part of the library's face).

// The rate at which a row closes a position error: time step · 1500 + 100.
float dgJointRowGain(float timeStep);
// 1 / time step, or 0 for a step that is not positive.
float dgJointInverseTimeStep(float timeStep);

struct dgPointParam;
struct dgVector;

// The linear row's right-hand side for a given position error along dir:
// reach the other anchor's velocity within the step, close the error at the
// gain's rate, and take out the anchors' centripetal part.
float dgLinearRowAcceleration(const dgPointParam& param, const dgVector& dir, float error, float timeStep);
