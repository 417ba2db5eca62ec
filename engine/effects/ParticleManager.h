#pragma once
#include <cstdint>

#include "engine/effects/EffectVertex.h"
#include "engine/effects/Particle.h"
#include "engine/foundation/Vector3.h"
#include "engine/graphics/RenderState.h"
#include "engine/scene/core/Actor.h"

class CMATMaterial;
class File;

// One particle system: a fixed pool of particles emitted at a rate or in
// bursts, moved under gravity and wind, and drawn as camera-facing quads or
// triangles (GL points without a material). The node's world matrix places it.
class ParticleManager : public Actor {
 public:
  // The largest pool a definition may ask for.
  static constexpr int32_t kMaxCapacity = 65536;

  // Disabled, no pool; named "Particle Manager".
  ParticleManager();
  ~ParticleManager() override;

  // Frees the old pool and allocates capacity particles and their vertices.
  void Create(int32_t inCapacity);
  // Requests count particles (spread over time in rate mode); returns the
  // number spawned.
  int Emit(int count);
  // Spawns count particles now, recycling the oldest when allowed; returns
  // the number spawned.
  int SpawnMany(int count, const Vector3* direction = nullptr);
  // Spawns one particle (direction: its velocity, else the emitter's).
  Particle* Spawn(const Vector3* direction = nullptr);
  // Emits, moves, ages and builds the vertices of one frame.
  void Update();
  // Draws the vertices built by Update.
  bool Render() override;
  // Returns every live particle to the pool.
  void KillAll() { liveCount = 0; }

  int32_t LiveCount() const { return liveCount; }
  // Null when out of range.
  Particle* GetLive(int32_t index) const;
  // The last live particle takes the removed one's place.
  void RemoveLive(int32_t index);
  void SetMaterial(CMATMaterial* inMaterial) { material = inMaterial; }
  const EffectVertex* Vertices() const { return vertices; }
  int32_t DrawnCount() const { return drawnCount; }
  int32_t VerticesPerParticle() const { return quads != 0 ? 4 : 3; }

  // Reads the text definition; false (logged) when it is damaged.
  bool Read(File& file);
  // Writes the text definition.
  void Write(File& file) const;

  // Moves live particles inside the sphere onto it and reverses their velocity.
  void BounceSphere(const Vector3& centre, float radius);
  // The same, clearing the velocity instead.
  void BounceSphereInvert(const Vector3& centre, float radius);

  bool PreRender() override { return true; }
  bool PostRender() override { return true; }
  bool PreUpdate() override { return true; }
  bool SceneUpdate() override { return true; }
  bool PostUpdate() override { return true; }

  int32_t capacity = 0;
  Particle* pool = nullptr;
  // live[0, liveCount) are alive; the rest are free records.
  Particle** live = nullptr;
  int32_t liveCount = 0;
  EffectVertex* vertices = nullptr;
  int32_t drawnCount = 0;
  int32_t maxDrawnCount = 0;
  bool hidden = false;  // skipped by the owner's drawing
  int32_t quads = 1;
  int32_t spaceMode = 1;  // 1 world, 0 and 2 in the node's frame
  int32_t renderingValue = 8;
  bool renderingFlag = false;
  GFXRenderFlags renderStateWord = 0x20008;
  CMATMaterial* material = nullptr;
  bool billboard = true;
  Vector3 billboardRight{1.0f, 0.0f, 0.0f};
  Vector3 billboardUp{0.0f, 1.0f, 0.0f};
  bool enabled = false;
  bool rateMode = true;
  float emitAccumulator = 0.0f;
  int32_t emitterType = 0;
  float emitRate = 0.0f;
  Vector3 emitDirection{0.0f, 1.0f, 0.0f};
  float maxSpeed = 1.0f;
  int32_t spinMode = 0;
  bool spinRandom = false;
  float spinRate = 0.0f;
  float spinRateMax = 0.0f;
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  bool changerEnabled = false;
  int32_t changerCountdown = 0;
  int32_t changerPeriod = 750;
  float changerColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float gravity = 0.0f;
  Vector3 gravityDirection{0.0f, -1.0f, 0.0f};
  float wind = 0.0f;
  Vector3 windDirection;
  float force = 0.0f;
  Vector3 forceDirection;
  bool ground = false;
  bool recycle = false;
  float lifespan = 1.0f;
  bool sizeRandom = false;
  float sizeMin = 1.0f;
  float sizeMax = 1.0f;
  float sizeRate = 0.0f;
  bool fadeOn = true;
  float fadeTime = 0.0f;

 private:
  void FreePool();
  void WriteVertices(const Particle& p, const Vector3 corners[4], const Vector3& normal);
  void Bounce(const Vector3& centre, float radius, bool reverse);
};
