#pragma once
// Preconditioned conjugate-gradient solver for constraint rows whose forces
// may be bounded from below and above. The system matrix A = K·Jᵀ + diag(c)
// is never formed: each product goes through the rows' Jacobian blocks and
// one accumulator per body. The caller fills the arrays, solves, and reads x.

#include <cstdint>

#include "physics/math/dgVector.h"

// One row's Jacobian (or its mass-weighted twin K) for its two bodies; the
// w of each group is not read.
struct dgJacobianPair {
  dgVector linear0;
  dgVector angular0;
  dgVector linear1;
  dgVector angular1;
};

// The bounds of one row's force; the last two floats are spare.
struct dgRowBounds {
  float lower = -1e15f;
  float upper = 1e15f;
  float spare[2] = {};
};

// Sum of p_i · J over the rows that touch one body.
struct dgBodyAccumulator {
  dgVector linear;
  dgVector angular;
};

// The working state of one solve; about 90 KB, so keep it in a working block
// rather than on a small stack.
struct dgConjugateGradientSolver {
  static constexpr int kMaxRows = 512;
  static constexpr int kMaxBodies = 64;
  // The solve stops once every free row's residual is at most this.
  static constexpr float kTolerance = 0.1f;

  float x[kMaxRows];     // the unknowns (row forces)
  float r[kMaxRows];     // the residual
  float p[kMaxRows];     // the search direction
  float q[kMaxRows];     // A · p
  float z[kMaxRows];     // the preconditioned residual
  float mask[kMaxRows];  // 1 free, 0 held at a bound
  float m[kMaxRows];     // preconditioner: 1 / the row's diagonal
  float c[kMaxRows];     // the row's diagonal term
  dgRowBounds bounds[kMaxRows];
  int32_t bodyIndex[kMaxRows][2];
  dgJacobianPair J[kMaxRows];
  dgJacobianPair K[kMaxRows];
  dgBodyAccumulator accumulators[kMaxBodies];
  int32_t bodyCount;

  // out = A · in over rowCount rows; uses the body accumulators as scratch.
  void MatrixTimesVector(int rowCount, const float* in, float* out);

  // Solves A x = r from the x, r, mask and m the caller set; rows from
  // firstBoundedRow on are held inside their bounds. Returns the number of
  // passes (matrix products) made, or -1 when the counts or body indices do
  // not fit the arrays (then nothing is changed).
  int Solve(int rowCount, int firstBoundedRow);

  // The iteration limit of a fresh start: integer part of sqrt(n) + 6.
  static int IterationLimit(int rowCount);
};
