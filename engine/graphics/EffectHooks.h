#pragma once
#include "engine/foundation/Vector3.h"

class CMATMaterial;
class CTEXTexture;

// The renderer calls that sprites, particles and beams make. The renderer
// installs them at start-up; until then textures bind themselves, the
// camera sits at the origin looking down -z and materials bind nothing.
struct EffectHooks {
  // Makes the material current (its shared state, before any stage).
  void (*makeMaterialCurrent)(CMATMaterial* material) = nullptr;
  // Binds one stage of the current material.
  void (*bindStage)(CMATMaterial* material, int stage) = nullptr;
  // Binds a plain texture (null unbinds).
  void (*bindTexture)(const CTEXTexture* texture) = nullptr;
  // The camera's right, up and position in world space.
  void (*viewVectors)(Vector3* right, Vector3* up, Vector3* position) = nullptr;
};

// The one set of hooks.
EffectHooks& GetEffectHooks();

// Calls through the hooks with the fallbacks described above.
void EffectMakeMaterialCurrent(CMATMaterial* material);
void EffectBindStage(CMATMaterial* material, int stage);
void EffectBindTexture(const CTEXTexture* texture);
void EffectViewVectors(Vector3& right, Vector3& up, Vector3& position);
