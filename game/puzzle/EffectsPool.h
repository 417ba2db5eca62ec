#pragma once

// The game's one set of particle and beam systems. Every effect draws from a
// fixed slot: particle 0 the galactic star field, particles 1 and 4 and
// beams 0 and 1 the Novalith, particles 2 and 3 and beams 2 to 5 the gem
// effects. The owner of an effect configures its slot when it starts.

#include <cstdint>

class Actor;
class BeamManager;
class ParticleManager;
struct Vector3;

class EffectsPool {
 public:
  static constexpr int kParticleSystems = 6;
  static constexpr int kBeamSystems = 6;

  // The pool, made on first use.
  static EffectsPool& Instance();
  // Deletes the pool and its managers. The game never deletes them; the
  // entry point calls this after the game has gone, so no manager outlives
  // the state-machine registry it is entered in.
  static void Shutdown();
  // True when a pool exists.
  static bool Exists();

  EffectsPool(const EffectsPool&) = delete;
  EffectsPool& operator=(const EffectsPool&) = delete;

  // Particle systems age every frame; beams only while the clock runs.
  void Update();
  // Draws every manager not hidden: the particles, then the beams.
  void Draw();

  // Null for a slot out of range or a manager that could not be made.
  ParticleManager* Particles(int slot) const;
  BeamManager* Beams(int slot) const;

 private:
  EffectsPool();
  ~EffectsPool();

  ParticleManager* particles_[kParticleSystems] = {};
  BeamManager* beams_[kBeamSystems] = {};
};

// Makes the material of that name the beams' material when the library has
// it, drawn from both sides with blending on its first stage; false (and the
// material left as it was) when there is no such material.
bool UseBeamMaterial(BeamManager& beams, const char* materialName);

// Moves an effect system's emitter to a point. The pool's systems stand
// outside the scene tree, so nothing else would bring their node's world
// matrix, which spawns read, up to date.
void PlaceEffect(Actor& effect, const Vector3& at);
