#include "physics/mesh/dgGeometryUtils.h"

#include <cstring>

bool dgCpuHasSSE() {
#if defined(__x86_64__) || defined(__i386__)
  return __builtin_cpu_supports("sse");
#else
  return false;
#endif
}

void dgGetMinMax(dgVector& outMin, dgVector& outMax, const float* vertices, int count, int strideBytes) {
  outMin = dgVector(0.0f, 0.0f, 0.0f, 1.0f);
  outMax = outMin;
  if (!vertices || count < 1) return;
  const long long stride = strideBytes & ~3;
  const auto* bytes = reinterpret_cast<const unsigned char*>(vertices);
  float p[3];
  std::memcpy(p, bytes, sizeof p);
  outMin = dgVector(p[0], p[1], p[2], 1.0f);
  outMax = outMin;
  for (int i = 1; i < count; ++i) {
    std::memcpy(p, bytes + i * stride, sizeof p);
    for (int axis = 0; axis < 3; ++axis) {
      if (p[axis] < outMin[axis]) outMin[axis] = p[axis];
      if (p[axis] > outMax[axis]) outMax[axis] = p[axis];
    }
  }
}
