#pragma once

// One interleaved vertex in OpenGL's GL_T2F_C4F_N3F_V3F layout.
struct EffectVertex {
  float u = 0.0f, v = 0.0f;
  float r = 1.0f, g = 1.0f, b = 1.0f, a = 1.0f;
  float nx = 0.0f, ny = 0.0f, nz = 1.0f;
  float x = 0.0f, y = 0.0f, z = 0.0f;
};
static_assert(sizeof(EffectVertex) == 48, "GL_T2F_C4F_N3F_V3F vertices are 48 bytes");
