#include "game/puzzle/EffectsPool.h"

#include <new>

#include "engine/effects/BeamManager.h"
#include "engine/effects/ParticleManager.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/scene/core/Actor.h"

namespace {

EffectsPool* gPool = nullptr;

}  // namespace

EffectsPool& EffectsPool::Instance() {
  if (gPool == nullptr) gPool = new EffectsPool();
  return *gPool;
}

void EffectsPool::Shutdown() {
  delete gPool;
  gPool = nullptr;
}

bool EffectsPool::Exists() { return gPool != nullptr; }

EffectsPool::EffectsPool() {
  // A manager that cannot be allocated stays null; its effects do nothing.
  for (ParticleManager*& system : particles_) system = new (std::nothrow) ParticleManager();
  for (BeamManager*& system : beams_) system = new (std::nothrow) BeamManager();
}

EffectsPool::~EffectsPool() {
  for (ParticleManager*& system : particles_) {
    delete system;
    system = nullptr;
  }
  for (BeamManager*& system : beams_) {
    delete system;
    system = nullptr;
  }
}

void EffectsPool::Update() {
  for (ParticleManager* system : particles_) {
    if (system != nullptr) system->Update();
  }
  // The beam managers' own update skips a paused clock and a frame time of 0.
  for (BeamManager* system : beams_) {
    if (system != nullptr) system->Update();
  }
}

void EffectsPool::Draw() {
  for (ParticleManager* system : particles_) {
    if (system != nullptr && !system->hidden) system->Render();
  }
  for (BeamManager* system : beams_) {
    if (system != nullptr && !system->hidden) system->Render();
  }
}

ParticleManager* EffectsPool::Particles(int slot) const {
  return slot >= 0 && slot < kParticleSystems ? particles_[slot] : nullptr;
}

BeamManager* EffectsPool::Beams(int slot) const { return slot >= 0 && slot < kBeamSystems ? beams_[slot] : nullptr; }

bool UseBeamMaterial(BeamManager& beams, const char* materialName) {
  CMATMaterial* material = CMATManager::GetInstance()->FindMaterial(materialName);
  if (material == nullptr) return false;
  beams.SetMaterial(material);
  material->SetSides(MaterialSide::FRONT | MaterialSide::BACK);
  if (CMATStage* stage = material->GetStage(0)) stage->flags |= StageFlag::BLEND;
  return true;
}

void PlaceEffect(Actor& effect, const Vector3& at) {
  effect.node.SetPosition(at);
  effect.node.RebuildMatrix();
  effect.node.computed = 0;
  effect.node.GetMatrix();
}
