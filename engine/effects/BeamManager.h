#pragma once
#include <cstdint>

#include "engine/effects/BeamElement.h"
#include "engine/effects/EffectVertex.h"
#include "engine/foundation/Vector2.h"
#include "engine/scene/core/Actor.h"

class CMATMaterial;

// A point of a ribbon handed to BeamManager::SpawnMany.
struct BeamPoint {
  Vector3 position;
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

// One beam system: a fixed pool of beams drawn together as one
// camera-facing triangle strip with the system's material.
class BeamManager : public Actor {
 public:
  // Vertices a beam may write: eight, and one more when a ribbon starts
  // after a closed beam.
  static constexpr int kVerticesPerBeam = 9;

  // No pool; named "Beam Manager".
  BeamManager();
  ~BeamManager() override;

  // Frees the old pool; allocates capacity beams; mode 0 separate beams,
  // mode 1 ribbon segments.
  void Create(int32_t inCapacity, int32_t inMode);
  // Starts a beam at the node's position; returns its index, -1 when full.
  int32_t Spawn(const Vector3& direction);
  // Spawns count beams when the pool has room for all of them.
  int32_t SpawnMany(int32_t count, const Vector3& direction);
  // Spawns a ribbon through count points (count - 1 segments) when the pool
  // has room; returns the segments spawned.
  int32_t SpawnMany(const BeamPoint* points, int32_t count);
  // Runs the mode's builder with the clock's frame time (not when paused).
  void Update();
  // Builders: age the beams by dt and write their vertices.
  void UpdateMode0(float dt);
  void UpdateMode1(float dt);
  // Draws the strip built this frame.
  bool Render() override;
  // Returns every live beam to the pool.
  void KillAll() { liveCount = 0; }

  int32_t LiveCount() const { return liveCount; }
  // Null when out of range.
  BeamElement* GetLive(int32_t index) const;
  void SetMaterial(CMATMaterial* inMaterial) { material = inMaterial; }
  void ClearLive() { liveCount = 0; }
  const EffectVertex* Vertices() const { return vertices; }
  int32_t VertexCount() const { return vertexCount; }

  bool PreRender() override { return true; }
  bool PostRender() override { return true; }
  bool PreUpdate() override { return true; }
  bool SceneUpdate() override { return true; }
  bool PostUpdate() override { return true; }

  int32_t capacity = 0;
  BeamElement* pool = nullptr;
  BeamElement** live = nullptr;  // live[0, liveCount) are alive
  int32_t liveCount = 0;
  EffectVertex* vertices = nullptr;
  int32_t vertexCount = 0;
  int32_t drawnBeams = 0;
  int32_t mode = 0;
  bool hidden = false;  // skipped by the owner's drawing
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  CMATMaterial* material = nullptr;
  // Spawn settings.
  float length = 1.0f;
  float driftSpeed = 0.0f;
  float startWidth = 0.1f;
  float endWidth = -1.0f;    // negative: the start width
  float growthSpeed = 0.0f;  // 0: full length at once
  float fadeRate = 0.0f;     // alpha per second
  Vector2 uvPairs[6] = {{0.0f, 0.0f}, {0.0f, 0.5f}, {0.5f, 0.0f}, {0.5f, 1.0f}, {1.0f, 0.5f}, {1.0f, 1.0f}};

 private:
  void FreePool();
  // Ages every beam, dropping the dead; returns the side vectors' source.
  void AgeBeams(float dt, Vector3& eye);
  Vector3 SideVector(const BeamElement& beam, const Vector3& eye) const;
  void Put(const Vector3& at, const Vector2& uv, const float* rgba);
  BeamElement* StartBeam(const Vector3& from, const Vector3& to, const float* fromColour, const float* toColour);
};
