#include "engine/graphics/GFXLight.h"

#include <GL/gl.h>

#include "engine/foundation/Matrix4.h"
#include "engine/graphics/GFXDisplay.h"

namespace {

GFXLight gStaticLights[kStaticLightCount];

}  // namespace

GFXLight::GFXLight() = default;

GFXLight::GFXLight(int32_t index) : lightIndex(index) {
  for (int i = 0; i < 4; ++i) ambient[i] = diffuse[i] = specular[i] = 1.0f;
}

uint32_t GFXLight::GlLight() const {
  // The index is read as a byte; GL_LIGHT7 is never driven.
  const uint8_t index = uint8_t(lightIndex);
  return index <= 6 ? GL_LIGHT0 + index : GL_LIGHT0;
}

void GFXLight::Apply() {
  if (enabled == 0) return;
  const GLenum light = GlLight();
  glLightfv(light, GL_AMBIENT, ambient);
  glLightfv(light, GL_DIFFUSE, diffuse);
  glLightfv(light, GL_SPECULAR, specular);
  const GLfloat sent[4] = {position.x, position.y, position.z, directional != 0 ? 0.0f : 1.0f};
  Matrix4 rotation;
  orientation.ToMatrix(rotation);
  ++GFXDisplay::ModelviewNesting();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glMultMatrixf(rotation.Data());
  glLightfv(light, GL_POSITION, sent);
  --GFXDisplay::ModelviewNesting();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

void GFXLight::SetEnabled(bool on) {
  enabled = on ? 1 : 0;
  if (on) {
    glEnable(GlLight());
  } else {
    glDisable(GlLight());
  }
}

void GFXLight::SetParameter(uint32_t name, float value) { glLightf(GlLight(), name, value); }

void GFXLight::SetDirection(const Vector3* direction) {
  if (direction == nullptr) {
    directional = 0;
    return;
  }
  directional = 1;
  spotDirection = *direction;
  const GLfloat sent[3] = {direction->x, direction->y, direction->z};
  glLightfv(GlLight(), GL_SPOT_DIRECTION, sent);
}

GFXLight* GetLight(int n) { return &gStaticLights[n >= 0 && n < kStaticLightCount ? n : 0]; }

void ReapplyStaticLights() {
  for (GFXLight& light : gStaticLights) {
    if (light.enabled == 0) continue;
    light.SetEnabled(true);
    light.Apply();
  }
}
