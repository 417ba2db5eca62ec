#include <cmath>

#include "physics/contacts/dgContactSolver.h"

dgVector dgContactSolver::sDirections[kDirectionCount];

void dgContactSolver::InitTables() {
  static const float kRaw[kDirectionCount][3] = {
      {1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {-1, 1, 1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, 1},
      {1, 1, 1},  {0, -1, 0},   {0, 1, 0},   {1, 0, 0},  {-1, 0, 0}, {0, 0, 1},   {0, 0, -1},
  };
  for (int i = 0; i < kDirectionCount; ++i) {
    const dgVector v(kRaw[i][0], kRaw[i][1], kRaw[i][2], 0.0f);
    sDirections[i] = v.Scale(1.0f / std::sqrt(v.LengthSquared()));
    sDirections[i].w = 0.0f;
  }
}
