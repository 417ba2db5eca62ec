#include "physics/dynamics/dgConjugateGradient.h"

#include <cmath>

namespace {

// The residual measure starts above the tolerance so the first pass always runs.
constexpr float kStartError = 0.2f;
// Floors that keep the step and the direction update finite.
constexpr float kMinCurvature = 1e-16f;
constexpr float kMinRho = 1e-17f;

float Dot3(const dgVector& a, const dgVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

void AddScaled(dgVector& accumulator, const dgVector& v, float s) {
  accumulator.x += v.x * s;
  accumulator.y += v.y * s;
  accumulator.z += v.z * s;
}

float LargestFreeResidual(const float* r, const float* mask, int rowCount) {
  float largest = 0.0f;
  for (int i = 0; i < rowCount; ++i) largest = std::fmax(largest, std::fabs(r[i] * mask[i]));
  return largest;
}

}  // namespace

int dgConjugateGradientSolver::IterationLimit(int rowCount) {
  return static_cast<int>(std::sqrt(static_cast<float>(rowCount))) + 6;
}

void dgConjugateGradientSolver::MatrixTimesVector(int rowCount, const float* in, float* out) {
  for (int b = 0; b < bodyCount; ++b) accumulators[b] = dgBodyAccumulator{};
  for (int i = 0; i < rowCount; ++i) {
    dgBodyAccumulator& body0 = accumulators[bodyIndex[i][0]];
    dgBodyAccumulator& body1 = accumulators[bodyIndex[i][1]];
    AddScaled(body0.linear, J[i].linear0, in[i]);
    AddScaled(body0.angular, J[i].angular0, in[i]);
    AddScaled(body1.linear, J[i].linear1, in[i]);
    AddScaled(body1.angular, J[i].angular1, in[i]);
  }
  for (int i = 0; i < rowCount; ++i) {
    const dgBodyAccumulator& body0 = accumulators[bodyIndex[i][0]];
    const dgBodyAccumulator& body1 = accumulators[bodyIndex[i][1]];
    out[i] = c[i] * in[i] + Dot3(K[i].linear0, body0.linear) + Dot3(K[i].angular0, body0.angular) +
             Dot3(K[i].linear1, body1.linear) + Dot3(K[i].angular1, body1.angular);
  }
}

int dgConjugateGradientSolver::Solve(int rowCount, int firstBoundedRow) {
  // The arrays are fixed blocks: a count or index beyond them would write
  // outside the working block, so such a system is refused whole.
  if (rowCount < 0 || rowCount > kMaxRows || bodyCount < 0 || bodyCount > kMaxBodies) return -1;
  for (int i = 0; i < rowCount; ++i) {
    for (int32_t body : bodyIndex[i]) {
      if (body < 0 || body >= bodyCount) return -1;
    }
  }
  if (firstBoundedRow < 0) firstBoundedRow = 0;

  float rho = 0.0f;
  for (int i = 0; i < rowCount; ++i) {
    p[i] = m[i] * r[i];
    rho += r[i] * p[i];
  }

  float error = kStartError;
  const int limit = IterationLimit(rowCount);
  int passes = 0;
  for (int pass = 0; pass < limit; ++pass) {
    if (error <= kTolerance) break;
    ++passes;
    MatrixTimesVector(rowCount, p, q);
    float curvature = 0.0f;
    for (int i = 0; i < rowCount; ++i) curvature += p[i] * q[i];
    if (curvature < kMinCurvature) curvature = kMinCurvature;
    float alpha = rho / curvature;

    // Shorten the step to the first free bounded row that would leave its
    // bounds; later rows are tested against the shortened step.
    int candidate = -1;
    float candidateValue = 0.0f;
    for (int i = firstBoundedRow; i < rowCount; ++i) {
      // A row that does not move cannot cross a bound this pass.
      if (mask[i] == 0.0f || p[i] == 0.0f) continue;
      const float value = x[i] + alpha * p[i];
      float bound;
      if (value < bounds[i].lower) {
        bound = bounds[i].lower;
      } else if (value > bounds[i].upper) {
        bound = bounds[i].upper;
      } else {
        continue;
      }
      // A row that starts outside its bounds would ask for a backward step:
      // it is frozen at its bound where it stands instead.
      alpha = std::fmax((bound - x[i]) / p[i], 0.0f);
      candidate = i;
      candidateValue = bound;
    }

    if (candidate < 0) {
      for (int i = 0; i < rowCount; ++i) {
        x[i] += alpha * p[i];
        r[i] -= alpha * q[i];
      }
      error = LargestFreeResidual(r, mask, rowCount);
      if (error > kTolerance) {
        float rhoNext = 0.0f;
        for (int i = 0; i < rowCount; ++i) {
          z[i] = m[i] * mask[i] * r[i];
          rhoNext += z[i] * r[i];
        }
        if (rho < kMinRho) rho = kMinRho;
        const float beta = rhoNext / rho;
        for (int i = 0; i < rowCount; ++i) p[i] = beta * p[i] + z[i];
        rho = rhoNext;
      }
    } else {
      mask[candidate] = 0.0f;
      rho = 0.0f;
      for (int i = 0; i < rowCount; ++i) {
        x[i] += alpha * p[i];
        r[i] -= alpha * q[i];
        p[i] = z[i] = m[i] * mask[i] * r[i];
        rho += r[i] * p[i];
      }
      error = LargestFreeResidual(r, mask, rowCount);
      x[candidate] = candidateValue;
      // Every clamp buys a fresh set of passes (the loop's increment makes it 0).
      pass = -1;
    }
  }
  return passes;
}
