// The bounded conjugate-gradient solver: its matrix product against a dense
// oracle, systems with known solutions, bounds that clamp, the pass limit
// and the refusal of systems that do not fit its arrays.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "physics/dynamics/dgConjugateGradient.h"

namespace {

using Solver = dgConjugateGradientSolver;

// A small seeded generator so the random systems are the same on every run.
struct TestRandom {
  uint32_t state = 12345;
  float Next() {  // -1..1
    state = state * 1664525u + 1013904223u;
    return static_cast<float>((state >> 8) & 0xFFFF) / 32767.5f - 1.0f;
  }
  dgVector NextVector() { return {Next(), Next(), Next(), 0.0f}; }
};

std::unique_ptr<Solver> MakeSolver(int bodyCount) {
  auto solver = std::make_unique<Solver>();
  solver->bodyCount = bodyCount;
  return solver;
}

// A row between two bodies with J as given and K = J scaled by each body's
// inverse mass, so A is symmetric positive (semi)definite.
void SetRow(Solver& s, int row, int body0, int body1, const dgJacobianPair& jacobian, const float* invMass,
            float diagonal = 0.0f) {
  s.bodyIndex[row][0] = body0;
  s.bodyIndex[row][1] = body1;
  s.J[row] = jacobian;
  s.K[row] = {jacobian.linear0.Scale(invMass[body0]), jacobian.angular0.Scale(invMass[body0]),
              jacobian.linear1.Scale(invMass[body1]), jacobian.angular1.Scale(invMass[body1])};
  s.c[row] = diagonal;
}

float Dot(const dgVector& a, const dgVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// A built entry by entry: rows sharing a body couple through it.
std::vector<double> DenseMatrix(const Solver& s, int n) {
  std::vector<double> a(static_cast<size_t>(n) * n, 0.0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      double sum = i == j ? s.c[i] : 0.0;
      for (int bi = 0; bi < 2; ++bi) {
        for (int bj = 0; bj < 2; ++bj) {
          if (s.bodyIndex[i][bi] != s.bodyIndex[j][bj]) continue;
          const dgVector& kl = bi ? s.K[i].linear1 : s.K[i].linear0;
          const dgVector& ka = bi ? s.K[i].angular1 : s.K[i].angular0;
          const dgVector& jl = bj ? s.J[j].linear1 : s.J[j].linear0;
          const dgVector& ja = bj ? s.J[j].angular1 : s.J[j].angular0;
          sum += Dot(kl, jl) + Dot(ka, ja);
        }
      }
      a[static_cast<size_t>(i) * n + j] = sum;
    }
  }
  return a;
}

// Fills r = A · expected, x = 0, mask = 1 and m = 1 / diagonal.
void PrepareFor(Solver& s, int n, const std::vector<float>& expected) {
  const std::vector<double> a = DenseMatrix(s, n);
  for (int i = 0; i < n; ++i) {
    double b = 0.0;
    for (int j = 0; j < n; ++j) b += a[static_cast<size_t>(i) * n + j] * expected[j];
    s.r[i] = static_cast<float>(b);
    s.x[i] = 0.0f;
    s.mask[i] = 1.0f;
    s.m[i] = static_cast<float>(1.0 / a[static_cast<size_t>(i) * n + i]);
  }
}

dgJacobianPair LinearPair(const dgVector& d0, const dgVector& d1) { return {d0, {}, d1, {}}; }

// A chain of bodies 0..n, row i pulling bodies i and i+1 together along x;
// body 0 is fixed (inverse mass 0), the others get growing inverse masses.
std::unique_ptr<Solver> MakeChain(int n, std::vector<float>& invMass) {
  auto s = MakeSolver(n + 1);
  invMass.assign(n + 1, 0.0f);
  for (int b = 1; b <= n; ++b) invMass[b] = 1.0f + 0.37f * b;
  for (int i = 0; i < n; ++i) {
    SetRow(*s, i, i, i + 1, LinearPair({1, 0, 0, 0}, {-1, 0, 0, 0}), invMass.data());
  }
  return s;
}

}  // namespace

TEST(ConjugateGradient, MatrixProductMatchesTheDenseMatrix) {
  TestRandom random;
  const float invMass[4] = {0.0f, 1.0f, 0.5f, 2.0f};
  constexpr int n = 9;
  auto s = MakeSolver(4);
  for (int i = 0; i < n; ++i) {
    const dgJacobianPair pair{random.NextVector(), random.NextVector(), random.NextVector(), random.NextVector()};
    SetRow(*s, i, i % 4, (i + 1 + i / 4) % 4, pair, invMass, 0.1f * i);
  }
  // K need not be a scaled J: give one row its own K block.
  s->K[3].angular1 = random.NextVector();
  float in[n];
  for (float& v : in) v = random.Next();
  float out[n];
  s->MatrixTimesVector(n, in, out);

  const std::vector<double> a = DenseMatrix(*s, n);
  for (int i = 0; i < n; ++i) {
    double expected = 0.0;
    for (int j = 0; j < n; ++j) expected += a[static_cast<size_t>(i) * n + j] * in[j];
    EXPECT_NEAR(out[i], expected, 1e-5) << "row " << i;
  }
}

TEST(ConjugateGradient, SolvesCoupledSystemsWithKnownSolutions) {
  TestRandom random;
  const float invMass[3] = {0.0f, 1.0f, 0.25f};
  // Rows between a fixed body and two free ones, coupled through the free bodies.
  constexpr int n = 6;
  auto s = MakeSolver(3);
  for (int i = 0; i < n; ++i) {
    const dgJacobianPair pair{random.NextVector(), random.NextVector(), random.NextVector(), random.NextVector()};
    SetRow(*s, i, i % 2 ? 1 : 0, 2 - (i % 2) * (i / 3), pair, invMass, 0.05f);
  }
  const std::vector<float> expected = {30.0f, -12.0f, 7.5f, 0.0f, 55.0f, -3.0f};
  PrepareFor(*s, n, expected);

  const int passes = s->Solve(n, n);
  EXPECT_GE(passes, 1);
  EXPECT_LE(passes, Solver::IterationLimit(n));
  float ax[n];
  s->MatrixTimesVector(n, s->x, ax);
  std::vector<double> a = DenseMatrix(*s, n);
  for (int i = 0; i < n; ++i) {
    double b = 0.0;
    for (int j = 0; j < n; ++j) b += a[static_cast<size_t>(i) * n + j] * expected[j];
    // The solve ends once every residual is within the tolerance.
    EXPECT_LE(std::fabs(b - ax[i]), Solver::kTolerance + 1e-3) << "row " << i;
    EXPECT_NEAR(s->r[i], b - ax[i], 1e-2) << "the residual is kept in step with x";
  }
}

TEST(ConjugateGradient, ADiagonalSystemEndsAfterOnePass) {
  const float invMass[2] = {0.0f, 2.0f};
  auto s = MakeSolver(2);
  const dgVector axes[3] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
  for (int i = 0; i < 3; ++i) SetRow(*s, i, 1, 0, LinearPair(axes[i], {}), invMass, 0.5f);
  PrepareFor(*s, 3, {4.0f, -8.0f, 1000.0f});
  // The preconditioner is the exact inverse: one product solves it.
  EXPECT_EQ(s->Solve(3, 3), 1);
  EXPECT_NEAR(s->x[0], 4.0f, 1e-4f);
  EXPECT_NEAR(s->x[1], -8.0f, 1e-4f);
  EXPECT_NEAR(s->x[2], 1000.0f, 1e-3f);
}

TEST(ConjugateGradient, BoundsClampTheRowThatMeetsThemFirst) {
  // Three independent rows (A = 2·I); the unbounded answers are 5, -4 and 1.
  struct Case {
    const char* name;
    float lower[3];
    float upper[3];
    float expected[3];
    float mask[3];
  };
  const Case cases[] = {
      {"upper bound", {-1e15f, -1e15f, -1e15f}, {2.0f, 1e15f, 1e15f}, {2.0f, -4.0f, 1.0f}, {0, 1, 1}},
      {"lower bound", {-1e15f, -1.5f, -1e15f}, {1e15f, 1e15f, 1e15f}, {5.0f, -1.5f, 1.0f}, {1, 0, 1}},
      {"both rows clamp", {-1e15f, -3.0f, -1e15f}, {4.0f, 1e15f, 1e15f}, {4.0f, -3.0f, 1.0f}, {0, 0, 1}},
      {"bounds not met", {0.0f, -10.0f, 0.0f}, {10.0f, 0.0f, 1.0f}, {5.0f, -4.0f, 1.0f}, {1, 1, 1}},
  };
  const float invMass[2] = {0.0f, 2.0f};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    auto s = MakeSolver(2);
    const dgVector axes[3] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    for (int i = 0; i < 3; ++i) {
      SetRow(*s, i, 0, 1, LinearPair({}, axes[i]), invMass);
      s->bounds[i].lower = test.lower[i];
      s->bounds[i].upper = test.upper[i];
    }
    PrepareFor(*s, 3, {5.0f, -4.0f, 1.0f});
    EXPECT_GE(s->Solve(3, 0), 1);
    for (int i = 0; i < 3; ++i) {
      if (test.mask[i] == 0.0f) {
        EXPECT_EQ(s->x[i], test.expected[i]) << "a clamped row sits exactly on its bound, row " << i;
      } else {
        EXPECT_NEAR(s->x[i], test.expected[i], 0.06f) << "row " << i;
      }
      EXPECT_EQ(s->mask[i], test.mask[i]) << "row " << i;
    }
  }
}

TEST(ConjugateGradient, ACoupledClampLetsTheOtherRowsSettle) {
  // Two rows on one free body along x and along (1, 1): forces of a joint
  // and a contact whose push is capped.
  const float invMass[2] = {0.0f, 1.0f};
  auto s = MakeSolver(2);
  const float h = std::sqrt(0.5f);
  SetRow(*s, 0, 0, 1, LinearPair({}, {1, 0, 0, 0}), invMass);
  SetRow(*s, 1, 0, 1, LinearPair({}, {h, h, 0, 0}), invMass);
  PrepareFor(*s, 2, {-20.0f, 40.0f});
  s->bounds[1].upper = 10.0f;
  s->Solve(2, 0);
  EXPECT_EQ(s->x[1], 10.0f);
  EXPECT_EQ(s->mask[1], 0.0f);
  // With row 1 held, row 0 alone answers its own equation: x0 + h·x1 = b0.
  const float b0 = -20.0f + h * 40.0f;
  EXPECT_NEAR(s->x[0] + h * s->x[1], b0, Solver::kTolerance);
}

TEST(ConjugateGradient, RowsBeforeTheFirstBoundedRowMoveFreely) {
  const float invMass[2] = {0.0f, 1.0f};
  auto s = MakeSolver(2);
  SetRow(*s, 0, 0, 1, LinearPair({}, {1, 0, 0, 0}), invMass);
  SetRow(*s, 1, 0, 1, LinearPair({}, {0, 1, 0, 0}), invMass);
  for (dgRowBounds& bound : s->bounds) bound = {0.0f, 1.0f};
  PrepareFor(*s, 2, {5.0f, 5.0f});
  s->Solve(2, 1);
  EXPECT_NEAR(s->x[0], 5.0f, 1e-4f);
  EXPECT_EQ(s->mask[0], 1.0f);
  EXPECT_EQ(s->x[1], 1.0f);
}

TEST(ConjugateGradient, PassesAreLimitedAndEachClampRestartsTheCount) {
  EXPECT_EQ(Solver::IterationLimit(16), 10);
  EXPECT_EQ(Solver::IterationLimit(1), 7);
  EXPECT_EQ(Solver::IterationLimit(512), 28);

  // A long chain with a large load does not settle within the limit.
  std::vector<float> invMass;
  auto free = MakeChain(16, invMass);
  std::vector<float> expected(16);
  for (int i = 0; i < 16; ++i) expected[i] = 1000.0f * ((i * 7) % 5 - 2);
  PrepareFor(*free, 16, expected);
  EXPECT_EQ(free->Solve(16, 16), 10);

  // The same chain with a bound that the first step crosses gets more passes.
  auto clamped = MakeChain(16, invMass);
  PrepareFor(*clamped, 16, expected);
  clamped->bounds[15] = {-1.0f, 1.0f};
  EXPECT_GT(clamped->Solve(16, 15), 10);
  EXPECT_EQ(clamped->mask[15], 0.0f);
  EXPECT_LE(std::fabs(clamped->x[15]), 1.0f);
}

TEST(ConjugateGradient, AnEmptySystemEndsAtOnce) {
  auto s = MakeSolver(1);
  EXPECT_LE(s->Solve(0, 0), 1);
}

TEST(ConjugateGradient, RefusesSystemsThatDoNotFitItsArrays) {
  struct Case {
    const char* name;
    int rowCount;
    int bodyCount;
    int badBody;
  };
  const Case cases[] = {
      {"too many rows", Solver::kMaxRows + 1, 2, 0},
      {"negative rows", -1, 2, 0},
      {"too many bodies", 1, Solver::kMaxBodies + 1, 0},
      {"body index past the count", 1, 2, 2},
      {"negative body index", 1, 2, -1},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const float invMass[2] = {1.0f, 1.0f};
    auto s = MakeSolver(2);
    SetRow(*s, 0, 0, 1, LinearPair({1, 0, 0, 0}, {-1, 0, 0, 0}), invMass);
    PrepareFor(*s, 1, {3.0f});
    s->bodyCount = test.bodyCount;
    s->bodyIndex[0][1] = test.badBody ? test.badBody : 1;
    EXPECT_EQ(s->Solve(test.rowCount, 0), -1);
    EXPECT_EQ(s->x[0], 0.0f);
  }
}

TEST(ConjugateGradient, ARowStartingOutsideItsBoundsIsHeldAtTheBound) {
  const float invMass[2] = {0.0f, 1.0f};
  auto s = MakeSolver(2);
  SetRow(*s, 0, 0, 1, LinearPair({}, {1, 0, 0, 0}), invMass);
  PrepareFor(*s, 1, {-5.0f});
  s->x[0] = 3.0f;  // already above its upper bound, pushed further away
  s->bounds[0] = {0.0f, 2.0f};
  s->r[0] = 4.0f;
  EXPECT_GE(s->Solve(1, 0), 1);
  EXPECT_EQ(s->x[0], 2.0f);
  EXPECT_EQ(s->mask[0], 0.0f);
}
