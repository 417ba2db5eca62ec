#include "physics/shapes/dgMassIntegrator.h"

#include <cmath>

namespace {

struct ProjectionIntegrals {
  double p1 = 0, pa = 0, pb = 0, paa = 0, pab = 0, pbb = 0;
  double paaa = 0, paab = 0, pabb = 0, pbbb = 0;
};

// Integrals over the face projected onto the (a, b) plane.
ProjectionIntegrals Project(int count, const dgVector* points, int a, int b) {
  ProjectionIntegrals p;
  for (int i = 0; i < count; ++i) {
    const dgVector& v0 = points[i];
    const dgVector& v1 = points[(i + 1) % count];
    const double a0 = v0[a], b0 = v0[b], a1 = v1[a], b1 = v1[b];
    const double da = a1 - a0, db = b1 - b0;
    const double a0_2 = a0 * a0, a0_3 = a0_2 * a0, a0_4 = a0_3 * a0;
    const double b0_2 = b0 * b0, b0_3 = b0_2 * b0, b0_4 = b0_3 * b0;
    const double a1_2 = a1 * a1, a1_3 = a1_2 * a1;
    const double b1_2 = b1 * b1, b1_3 = b1_2 * b1;

    const double c1 = a1 + a0;
    const double ca = a1 * c1 + a0_2, caa = a1 * ca + a0_3, caaa = a1 * caa + a0_4;
    const double cb = b1 * (b1 + b0) + b0_2, cbb = b1 * cb + b0_3, cbbb = b1 * cbb + b0_4;
    const double cab = 3 * a1_2 + 2 * a1 * a0 + a0_2, kab = a1_2 + 2 * a1 * a0 + 3 * a0_2;
    const double caab = a0 * cab + 4 * a1_3, kaab = a1 * kab + 4 * a0_3;
    const double cabb = 4 * b1_3 + 3 * b1_2 * b0 + 2 * b1 * b0_2 + b0_3;
    const double kabb = b1_3 + 2 * b1_2 * b0 + 3 * b1 * b0_2 + 4 * b0_3;

    p.p1 += db * c1;
    p.pa += db * ca;
    p.paa += db * caa;
    p.paaa += db * caaa;
    p.pb += da * cb;
    p.pbb += da * cbb;
    p.pbbb += da * cbbb;
    p.pab += db * (b1 * cab + b0 * kab);
    p.paab += db * (b1 * caab + b0 * kaab);
    p.pabb += da * (a1 * cabb + a0 * kabb);
  }
  p.p1 /= 2.0;
  p.pa /= 6.0;
  p.paa /= 12.0;
  p.paaa /= 20.0;
  p.pb /= -6.0;
  p.pbb /= -12.0;
  p.pbbb /= -20.0;
  p.pab /= 24.0;
  p.paab /= 60.0;
  p.pabb /= -60.0;
  return p;
}

}  // namespace

void dgMassIntegrator::AddFace(int count, const dgVector* points, const dgVector& unitNormal, bool full) {
  if (count < 3) return;
  const double n[3] = {unitNormal.x, unitNormal.y, unitNormal.z};
  // Project onto the plane of the two smaller normal components.
  int c = 0;
  if (std::fabs(n[1]) > std::fabs(n[c])) c = 1;
  if (std::fabs(n[2]) > std::fabs(n[c])) c = 2;
  if (n[c] == 0.0) return;
  const int a = (c + 1) % 3;
  const int b = (a + 1) % 3;

  const ProjectionIntegrals p = Project(count, points, a, b);
  const double w = -(n[0] * points[0].x + n[1] * points[0].y + n[2] * points[0].z);
  const double k1 = 1.0 / n[c], k2 = k1 * k1, k3 = k2 * k1, k4 = k3 * k1;
  const double na = n[a], nb = n[b];

  const double fa = k1 * p.pa;
  const double fb = k1 * p.pb;
  const double fc = -k2 * (na * p.pa + nb * p.pb + w * p.p1);
  const double faa = k1 * p.paa;
  const double fbb = k1 * p.pbb;
  const double fcc =
      k3 * (na * na * p.paa + 2 * na * nb * p.pab + nb * nb * p.pbb + w * (2 * (na * p.pa + nb * p.pb) + w * p.p1));

  t0 += n[0] * ((a == 0) ? fa : ((b == 0) ? fb : fc));
  t1[a] += na * faa;
  t1[b] += nb * fbb;
  t1[c] += n[c] * fcc;
  if (!full) return;

  const double faaa = k1 * p.paaa;
  const double fbbb = k1 * p.pbbb;
  const double fccc = -k4 * (na * na * na * p.paaa + 3 * na * na * nb * p.paab + 3 * na * nb * nb * p.pabb +
                             nb * nb * nb * p.pbbb + 3 * w * (na * na * p.paa + 2 * na * nb * p.pab + nb * nb * p.pbb) +
                             w * w * (3 * (na * p.pa + nb * p.pb) + w * p.p1));
  const double faab = k1 * p.paab;
  const double fbbc = -k2 * (na * p.pabb + nb * p.pbbb + w * p.pbb);
  const double fcca = k3 * (na * na * p.paaa + 2 * na * nb * p.paab + nb * nb * p.pabb +
                            w * (2 * (na * p.paa + nb * p.pab) + w * p.pa));

  t2[a] += na * faaa;
  t2[b] += nb * fbbb;
  t2[c] += n[c] * fccc;
  tp[a] += na * faab;
  tp[b] += nb * fbbc;
  tp[c] += n[c] * fcca;
}

dgVector dgMassIntegrator::FirstMoment() const {
  return {static_cast<float>(t1[0]), static_cast<float>(t1[1]), static_cast<float>(t1[2]), 0.0f};
}

dgVector dgMassIntegrator::SecondMoment() const {
  return {static_cast<float>(t2[0]), static_cast<float>(t2[1]), static_cast<float>(t2[2]), 0.0f};
}
