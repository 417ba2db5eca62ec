#include "engine/effects/BeamManager.h"

#include <GL/gl.h>

#include "engine/effects/EffectPool.h"
#include "engine/foundation/Clock.h"
#include "engine/foundation/Plane.h"
#include "engine/graphics/EffectHooks.h"
#include "engine/graphics/GFXStats.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/RenderState.h"

BeamManager::BeamManager() { name = "Beam Manager"; }

BeamManager::~BeamManager() { FreePool(); }

void BeamManager::FreePool() {
  FreeEffectPool(pool, live, vertices);
  capacity = liveCount = vertexCount = drawnBeams = 0;
}

void BeamManager::Create(int32_t inCapacity, int32_t inMode) {
  FreePool();
  mode = inMode;
  if (inCapacity <= 0) return;
  capacity = inCapacity;
  AllocateEffectPool(capacity, kVerticesPerBeam, pool, live, vertices);
}

BeamElement* BeamManager::GetLive(int32_t index) const {
  return index >= 0 && index < liveCount ? live[index] : nullptr;
}

BeamElement* BeamManager::StartBeam(const Vector3& from, const Vector3& to, const float* fromColour,
                                    const float* toColour) {
  if (liveCount >= capacity) return nullptr;
  BeamElement& beam = *live[liveCount++];
  beam.Reset();
  beam.start = from;
  Vector3 axis = to - from;
  const float full = axis.Length();
  axis.Normalise();
  beam.direction = axis;
  beam.startWidth = startWidth;
  beam.endWidth = endWidth < 0.0f ? startWidth : endWidth;
  for (int i = 0; i < 4; ++i) {
    beam.startColour[i] = fromColour[i];
    beam.endColour[i] = toColour[i];
  }
  beam.startAlpha = fromColour[3];
  beam.endAlpha = toColour[3];
  beam.velocity.Set(ValueStepper::kClamp, driftSpeed, driftSpeed, driftSpeed, 0.0f);
  beam.life.Set(ValueStepper::kClamp, 0.0f, 1.0f, 1.0f, -fadeRate);
  const float grown = growthSpeed == 0.0f ? full : 0.0f;
  beam.width.Set(ValueStepper::kClamp, 0.0f, full, grown, growthSpeed);
  beam.end = from + axis * grown;
  return &beam;
}

int32_t BeamManager::Spawn(const Vector3& direction) {
  Vector3 axis = direction;
  axis.Normalise();
  const Vector3 from = node.world.GetTranslation();
  BeamElement* beam = StartBeam(from, from + axis * length, colour, colour);
  return beam != nullptr ? static_cast<int32_t>(beam - pool) : -1;
}

int32_t BeamManager::SpawnMany(int32_t count, const Vector3& direction) {
  if (count <= 0 || count > capacity - liveCount) return 0;
  for (int32_t i = 0; i < count; ++i) Spawn(direction);
  return count;
}

int32_t BeamManager::SpawnMany(const BeamPoint* points, int32_t count) {
  if (points == nullptr || count < 2 || count - 1 > capacity - liveCount) return 0;
  for (int32_t i = 0; i + 1 < count; ++i) {
    BeamElement* beam = StartBeam(points[i].position, points[i + 1].position, points[i].colour, points[i + 1].colour);
    beam->shape = i + 2 < count ? 2 : 1;
  }
  return count - 1;
}

void BeamManager::Update() {
  const Clock& clock = Clock::Instance();
  const float dt = clock.IsPaused() ? 0.0f : clock.GetGameDelta();
  if (dt <= 0.0f) return;
  if (mode == 0) UpdateMode0(dt);
  if (mode == 1) UpdateMode1(dt);
}

void BeamManager::AgeBeams(float dt, Vector3& eye) {
  vertexCount = 0;
  drawnBeams = 0;
  Vector3 right, up;
  EffectViewVectors(right, up, eye);
  for (int32_t i = 0; i < liveCount;) {
    if (live[i]->Update(dt)) {
      ++i;
      continue;
    }
    --liveCount;
    std::swap(live[i], live[liveCount]);
  }
}

Vector3 BeamManager::SideVector(const BeamElement& beam, const Vector3& eye) const {
  Plane plane;
  plane.Set(beam.start, beam.end, eye);
  return plane.normal;
}

void BeamManager::Put(const Vector3& at, const Vector2& uv, const float* rgba) {
  if (vertexCount >= capacity * kVerticesPerBeam) return;
  EffectVertex& v = vertices[vertexCount++];
  v.u = uv.x;
  v.v = uv.y;
  v.r = rgba[0];
  v.g = rgba[1];
  v.b = rgba[2];
  v.a = rgba[3];
  v.nx = v.ny = 0.0f;
  v.nz = 1.0f;
  v.x = at.x;
  v.y = at.y;
  v.z = at.z;
}

void BeamManager::UpdateMode0(float dt) {
  Vector3 eye;
  AgeBeams(dt, eye);
  const Vector2 join(0.0f, 0.0f);
  for (int32_t i = 0; i < liveCount; ++i) {
    const BeamElement& b = *live[i];
    const Vector3 n = SideVector(b, eye);
    const Vector3 s0 = b.start - n * b.startWidth, s1 = b.start + n * b.startWidth;
    const Vector3 e0 = b.end - n * b.endWidth, e1 = b.end + n * b.endWidth;
    if (drawnBeams > 0) Put(s0, join, b.startColour);
    Put(s0, uvPairs[0], b.startColour);
    Put(s1, uvPairs[1], b.startColour);
    Put(s0, uvPairs[2], b.startColour);
    Put(e1, uvPairs[3], b.endColour);
    Put(e0, uvPairs[4], b.endColour);
    Put(e1, uvPairs[5], b.endColour);
    Put(e1, join, b.endColour);
    ++drawnBeams;
  }
}

void BeamManager::UpdateMode1(float dt) {
  Vector3 eye;
  AgeBeams(dt, eye);
  const Vector2 join(0.0f, 0.0f);
  bool closed = true;  // the strip so far ends with a closed beam
  for (int32_t i = 0; i < liveCount; ++i) {
    const BeamElement& b = *live[i];
    const Vector3 n = SideVector(b, eye);
    const Vector3 s0 = b.start - n * b.startWidth, s1 = b.start + n * b.startWidth;
    const Vector3 e0 = b.end - n * b.endWidth, e1 = b.end + n * b.endWidth;
    if (b.shape == 0) {
      if (drawnBeams > 0) Put(s0, join, b.startColour);
      Put(s0, uvPairs[0], b.startColour);
    } else {
      // A ribbon starting after a closed beam needs its own join, or one
      // visible triangle would bridge the two.
      if (closed && drawnBeams > 0) Put(s1, join, b.startColour);
      Put(s1, uvPairs[1], b.startColour);
      Put(s0, uvPairs[2], b.startColour);
    }
    Put(s1, uvPairs[1], b.startColour);
    Put(s0, uvPairs[2], b.startColour);
    Put(e1, uvPairs[1], b.endColour);
    Put(e0, uvPairs[2], b.endColour);
    closed = b.shape != 2;
    if (closed) {
      Put(e1, uvPairs[5], b.endColour);
      Put(e1, join, b.endColour);
    }
    ++drawnBeams;
  }
}

bool BeamManager::Render() {
  if (vertexCount == 0 || material == nullptr) return true;
  GFXDisplay::SetRenderState(0x20088);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glLineWidth(2.0f);
  glInterleavedArrays(GL_T2F_C4F_N3F_V3F, sizeof(EffectVertex), vertices);
  EffectMakeMaterialCurrent(material);
  for (int stage = 0; stage < material->StageCount(); ++stage) {
    EffectBindStage(material, stage);
    if (GFXStats::Exists()) GFXStats::GetInstance()->CountTriangleStrip(static_cast<uint32_t>(vertexCount));
    // The count written, not 8 per beam: ribbon segments write fewer.
    glDrawArrays(GL_TRIANGLE_STRIP, 0, vertexCount);
  }
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  return true;
}
