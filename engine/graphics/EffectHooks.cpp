#include "engine/graphics/EffectHooks.h"

#include <GL/gl.h>

#include "engine/graphics/Texture.h"

EffectHooks& GetEffectHooks() {
  static EffectHooks hooks;
  return hooks;
}

void EffectMakeMaterialCurrent(CMATMaterial* material) {
  if (GetEffectHooks().makeMaterialCurrent != nullptr) GetEffectHooks().makeMaterialCurrent(material);
}

void EffectBindStage(CMATMaterial* material, int stage) {
  if (GetEffectHooks().bindStage != nullptr) GetEffectHooks().bindStage(material, stage);
}

void EffectBindTexture(const CTEXTexture* texture) {
  if (GetEffectHooks().bindTexture != nullptr) {
    GetEffectHooks().bindTexture(texture);
  } else if (texture != nullptr) {
    texture->Bind();
  } else {
    glBindTexture(GL_TEXTURE_2D, 0);
  }
}

void EffectViewVectors(Vector3& right, Vector3& up, Vector3& position) {
  if (GetEffectHooks().viewVectors != nullptr) {
    GetEffectHooks().viewVectors(&right, &up, &position);
    return;
  }
  right = Vector3(1.0f, 0.0f, 0.0f);
  up = Vector3(0.0f, 1.0f, 0.0f);
  position = Vector3(0.0f, 0.0f, 0.0f);
}
