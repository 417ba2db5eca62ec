#include "engine/effects/ParticleManager.h"

#include <cmath>

#include "engine/effects/EffectPool.h"
#include "engine/foundation/Clock.h"
#include "engine/foundation/Maths.h"
#include "engine/graphics/EffectHooks.h"
#include "platform/Random.h"

namespace {

float RandomFraction() { return static_cast<float>(platform::NextRandom()) / platform::kRandomMax; }

float RandomBetween(float low, float high) { return low + RandomFraction() * (high - low); }

float FrameTime() {
  const Clock& clock = Clock::Instance();
  return clock.IsPaused() ? 0.0f : clock.GetGameDelta();
}

}  // namespace

ParticleManager::ParticleManager() { name = "Particle Manager"; }

ParticleManager::~ParticleManager() { FreePool(); }

void ParticleManager::FreePool() {
  FreeEffectPool(pool, live, vertices);
  capacity = liveCount = drawnCount = maxDrawnCount = 0;
}

void ParticleManager::Create(int32_t inCapacity) {
  FreePool();
  if (inCapacity <= 0) return;
  capacity = inCapacity;
  // Room for quads; triangles use the first three quarters.
  AllocateEffectPool(capacity, 4, pool, live, vertices);
}

Particle* ParticleManager::GetLive(int32_t index) const {
  return index >= 0 && index < liveCount ? live[index] : nullptr;
}

void ParticleManager::RemoveLive(int32_t index) {
  if (index < 0 || index >= liveCount) return;
  --liveCount;
  Particle* removed = live[index];
  live[index] = live[liveCount];
  live[liveCount] = removed;
}

int ParticleManager::Emit(int count) {
  const float dt = FrameTime();
  if (!enabled || dt <= 0.0f) return 0;
  if (!rateMode) return SpawnMany(count);
  const float capped = std::fmin(static_cast<float>(count), emitRate);
  emitAccumulator += capped * dt;
  if (emitAccumulator < 1.0f) return 0;
  const int whole = TruncateToInt(emitAccumulator);
  emitAccumulator -= static_cast<float>(whole);
  return SpawnMany(whole);
}

int ParticleManager::SpawnMany(int count, const Vector3* direction) {
  if (count <= 0) return 0;
  const int room = capacity - liveCount;
  if (count > room) {
    if (recycle) {
      for (int i = 0; i < count - room && liveCount > 0; ++i) RemoveLive(0);
      if (count > capacity) count = capacity;
    } else {
      count = room;
    }
  }
  int spawned = 0;
  for (int i = 0; i < count; ++i) {
    if (Spawn(direction) != nullptr) ++spawned;
  }
  return spawned;
}

Particle* ParticleManager::Spawn(const Vector3* direction) {
  if (liveCount >= capacity) return nullptr;
  Particle& p = *live[liveCount];
  p.Reset();
  p.position = spaceMode == 1 || spaceMode == 2 ? node.world.GetTranslation() : Vector3();
  Vector3 v = emitDirection;
  if (emitterType == 0) {
    v.RotateAboutX(RandomBetween(0.0f, 360.0f));
    v.RotateAboutY(RandomBetween(0.0f, 360.0f));
    v *= RandomBetween(-maxSpeed, maxSpeed);
  }
  if (direction != nullptr) v = *direction;
  p.speed = std::fmin(v.Length(), maxSpeed);
  v.Normalise();
  p.direction = v;
  p.velocity = v * p.speed;
  if (spinMode >= 1 && spinMode <= 3) {
    float rate = spinRandom ? RandomBetween(spinRate, spinRateMax) : spinRate;
    if (spinMode == 1 || (spinMode == 3 && platform::NextRandom() % 2 == 0)) rate = -rate;
    p.rotation.Set(ValueStepper::kWrap, 0.0f, 360.0f, RandomBetween(0.0f, 360.0f), rate);
  }
  const float* source = colour;
  if (changerEnabled) {
    if (changerCountdown <= 0) {
      changerColour[0] = RandomFraction();
      changerColour[1] = RandomFraction();
      changerColour[2] = RandomFraction();
      changerColour[3] = 1.0f;
      changerCountdown = changerPeriod;
    }
    --changerCountdown;
    source = changerColour;
  }
  for (int i = 0; i < 4; ++i) p.colour[i] = source[i];
  p.flicker = platform::NextRandom() % 100 > 85;
  p.life.Set(ValueStepper::kClamp, 0.0f, lifespan, lifespan, 0.0f);
  const float startSize = sizeRandom ? RandomBetween(sizeMin, sizeMax) : (sizeRate < 0.0f ? sizeMax : sizeMin);
  p.size.Set(ValueStepper::kClamp, sizeMin, sizeMax, startSize, sizeRate);
  p.fade.rate = fadeTime;
  p.baseAlpha = colour[3];
  ++liveCount;
  return &p;
}

void ParticleManager::Update() {
  const float dt = FrameTime();
  if (dt <= 0.0f) return;
  if (enabled) {
    // This scales by the frame time and Emit scales again, so it rarely
    // spawns; owners call Emit themselves.
    emitAccumulator += dt * emitRate;
    if (emitAccumulator >= 1.0f) {
      const int whole = TruncateToInt(emitAccumulator);
      emitAccumulator -= static_cast<float>(whole);
      Emit(whole);
    }
  }
  const Vector3 push = gravityDirection * (dt * gravity) + windDirection * (dt * wind) + forceDirection * (dt * force);
  drawnCount = 0;
  Vector3 right = billboardRight;
  Vector3 up = billboardUp;
  if (billboard) {
    Vector3 eye;
    EffectViewVectors(right, up, eye);
  }
  const Vector3 corners[4] = {(-right - up) * 0.5f, (right - up) * 0.5f, (right + up) * 0.5f, (-right + up) * 0.5f};
  Vector3 normal = Vector3::Cross(right, up);
  normal.Normalise();
  for (int32_t i = 0; i < liveCount;) {
    Particle& p = *live[i];
    p.velocity += push;
    if (ground && p.position.y <= p.size.value && p.velocity.y <= 0.0f) {
      p.velocity = p.direction = Vector3();
      p.position.y = 0.0f;
    }
    if (!p.Update(dt)) {
      if (p.burst) {
        const Vector3 at = p.position;
        for (int k = 0; k <= p.burstCount; ++k) Spawn(&at);
      }
      RemoveLive(i);
      continue;
    }
    if (material != nullptr) WriteVertices(p, corners, normal);
    ++i;
  }
  if (drawnCount > maxDrawnCount) maxDrawnCount = drawnCount;
}

void ParticleManager::WriteVertices(const Particle& p, const Vector3 corners[4], const Vector3& normal) {
  const int per = VerticesPerParticle();
  EffectVertex* out = vertices + static_cast<size_t>(drawnCount) * per;
  const float s = p.size.value;
  float uv[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
  Vector3 at[4];
  if (quads != 0) {
    for (int k = 0; k < 4; ++k) at[k] = p.position + corners[k] * s;
    if (spinMode != 0) {
      const float spun[4][2] = {{-0.25f, -0.25f}, {1.25f, -0.25f}, {1.25f, 1.25f}, {-0.25f, 1.25f}};
      const float c = std::cos(p.rotation.value * 0.017453292f);
      const float sn = std::sin(p.rotation.value * 0.017453292f);
      for (int k = 0; k < 4; ++k) {
        const float du = spun[k][0] - 0.5f, dv = spun[k][1] - 0.5f;
        uv[k][0] = 0.5f + du * c - dv * sn;
        uv[k][1] = 0.5f + du * sn + dv * c;
      }
    }
  } else {
    // One triangle twice the quad's size holds the texture's unit square
    // over the same area the quad would cover.
    const Vector3 r = corners[1] - corners[0];
    const Vector3 u = corners[3] - corners[0];
    at[0] = p.position + (corners[0] + u * 2.0f) * s;
    at[1] = p.position + corners[0] * s;
    at[2] = p.position + (corners[0] + r * 2.0f) * s;
    const float tri[3][2] = {{0.0f, 2.0f}, {0.0f, 0.0f}, {2.0f, 0.0f}};
    for (int k = 0; k < 3; ++k) {
      uv[k][0] = tri[k][0];
      uv[k][1] = tri[k][1];
    }
  }
  for (int k = 0; k < per; ++k) {
    EffectVertex& v = out[k];
    v.u = uv[k][0];
    v.v = uv[k][1];
    v.r = p.colour[0];
    v.g = p.colour[1];
    v.b = p.colour[2];
    v.a = p.colour[3];
    v.nx = normal.x;
    v.ny = normal.y;
    v.nz = normal.z;
    v.x = at[k].x;
    v.y = at[k].y;
    v.z = at[k].z;
  }
  ++drawnCount;
}

void ParticleManager::Bounce(const Vector3& centre, float radius, bool reverse) {
  for (int32_t i = 0; i < liveCount; ++i) {
    Particle& p = *live[i];
    Vector3 offset = p.position - centre;
    const float distance = offset.Length();
    if (distance >= radius) continue;
    if (distance > 0.0f) {
      offset *= radius / distance;
    } else {
      offset = Vector3(0.0f, radius, 0.0f);
    }
    p.position = centre + offset;
    p.velocity = reverse ? -p.velocity : Vector3();
  }
}

void ParticleManager::BounceSphere(const Vector3& centre, float radius) { Bounce(centre, radius, true); }

void ParticleManager::BounceSphereInvert(const Vector3& centre, float radius) { Bounce(centre, radius, false); }
