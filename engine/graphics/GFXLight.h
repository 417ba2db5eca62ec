#pragma once
// One fixed-function OpenGL light: colours, place, orientation and which GL
// light it drives. Nothing reaches GL until the light is applied or switched.

#include <cstdint>

#include "engine/foundation/Quaternion.h"
#include "engine/foundation/Vector3.h"

class GFXLight {
 public:
  // Grey ambient and diffuse, white specular, index 0, directional, off.
  GFXLight();
  // White colours, driving the GL light of the index.
  explicit GFXLight(int32_t index);
  virtual ~GFXLight() = default;

  // Sends colours and position (w = 0 when directional) under the current
  // model-view turned by the orientation; nothing while disabled.
  void Apply();
  // Stores the switch and enables or disables the GL light.
  void SetEnabled(bool on);
  bool IsEnabled() const { return enabled != 0; }
  void SetIndex(int32_t index) { lightIndex = index; }
  // glLightf on the GL light (attenuation, spot exponent, cut-off).
  void SetParameter(uint32_t name, float value);
  void SetPosition(const Vector3& point) { position = point; }
  // With a vector: directional, and the spot direction sent; null: positional.
  void SetDirection(const Vector3* direction);
  // The GL light of the index: 0-6 give GL_LIGHT0-6, anything else GL_LIGHT0.
  uint32_t GlLight() const;

  float ambient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
  float diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
  float specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  Quaternion orientation;
  int32_t lightIndex = 0;
  Vector3 position;
  Vector3 spotDirection;
  uint8_t enabled = 0;
  uint8_t directional = 1;
};

// The eight static lights.
inline constexpr int kStaticLightCount = 8;
// Light n of the eight (light 0 for n of 8 or more).
GFXLight* GetLight(int n);
// Switches on and sends again every static light that is on, as it stands:
// a new GL context starts with every light off and at GL's defaults.
void ReapplyStaticLights();
