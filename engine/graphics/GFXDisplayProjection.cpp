// Projection, camera vectors, captured matrices, screen projection, the
// depth-offset stack and the renderer's log.

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdarg>

#include "engine/foundation/Log.h"
#include "engine/graphics/GFXDisplayBlock.h"

namespace GFXDisplay {

Block& State() {
  static Block block;
  return block;
}

void Log(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  LogVPrintf(kLogGFX, format, arguments);
  va_end(arguments);
}

void SetProjection(int mode, float left, float right, float bottom, float top, float nearPlane, float farPlane) {
  float* stored = State().projection;
  stored[0] = left;
  stored[1] = right;
  stored[2] = top;
  stored[3] = bottom;
  stored[4] = nearPlane;
  stored[5] = farPlane;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (mode >= 1 && mode <= 3) {
    glOrtho(left, right, bottom, top, nearPlane, farPlane);
  } else {
    glFrustum(left, right, bottom, top, nearPlane, farPlane);
  }
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void SetViewVectors(const Vector3& back, const Vector3& right, const Vector3& up, const Vector3& position) {
  State().view = GFXViewVectors{back, right, up, position};
}

void GetViewVectors(Vector3* back, Vector3* right, Vector3* up, Vector3* position) {
  const GFXViewVectors& view = State().view;
  if (back != nullptr) *back = view.back;
  if (right != nullptr) *right = view.right;
  if (up != nullptr) *up = view.up;
  if (position != nullptr) *position = view.position;
}

const GFXViewVectors& ViewVectors() { return State().view; }

void CaptureMatrices() {
  Block& state = State();
  glGetDoublev(GL_MODELVIEW_MATRIX, state.capturedModelview);
  glGetDoublev(GL_PROJECTION_MATRIX, state.capturedProjection);
  glGetIntegerv(GL_VIEWPORT, state.capturedViewport);
}

void SetCapturedMatrices(const double modelview[16], const double projection[16], const int viewport[4]) {
  Block& state = State();
  for (int i = 0; i < 16; ++i) {
    state.capturedModelview[i] = modelview[i];
    state.capturedProjection[i] = projection[i];
  }
  for (int i = 0; i < 4; ++i) state.capturedViewport[i] = viewport[i];
}

bool ProjectToScreen(const Vector3& point, Vector2* out, const Vector2* margin) {
  const Block& state = State();
  // Width and height are the overlay's, whatever the window: the result is
  // in overlay units.
  const GLint viewport[4] = {state.capturedViewport[0], state.capturedViewport[1], int(kOverlayWidth),
                             int(kOverlayHeight)};
  GLdouble windowX = 0, windowY = 0, windowZ = 0;
  if (gluProject(point.x, point.y, point.z, state.capturedModelview, state.capturedProjection, viewport, &windowX,
                 &windowY, &windowZ) != GL_TRUE) {
    return false;
  }
  const float x = float(windowX);
  const float y = kOverlayHeight - float(windowY);
  if (out != nullptr) out->Set(x, y);
  const float mx = margin != nullptr ? margin->x : 0.0f;
  const float my = margin != nullptr ? margin->y : 0.0f;
  const bool inside = x >= -mx && x <= kOverlayWidth + mx && y >= -my && y <= kOverlayHeight + my;
  return inside && windowZ <= 1.0;
}

float DepthOffsetFactor(float nearPlane, float farPlane, float offset, float distance) {
  const float denominator = (farPlane + nearPlane) * distance * (distance + offset);
  if (!(distance > 0.0f) || denominator == 0.0f) return 1.0f;
  return 1.0f + (-2.0f * farPlane * nearPlane * offset / denominator);
}

void PushDepthOffset() {
  Block& state = State();
  if (state.depthOffsetDepth >= kDepthOffsetCapacity) return;
  GLfloat matrix[16];
  glGetFloatv(GL_PROJECTION_MATRIX, matrix);
  state.depthOffsetStack[state.depthOffsetDepth++] = matrix[10];
  matrix[10] *=
      DepthOffsetFactor(state.projection[4], state.projection[5], state.depthOffset, state.view.position.Length());
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(matrix);
  glMatrixMode(GL_MODELVIEW);
}

void PopDepthOffset() {
  Block& state = State();
  if (state.depthOffsetDepth <= 0) return;
  GLfloat matrix[16];
  glGetFloatv(GL_PROJECTION_MATRIX, matrix);
  matrix[10] = state.depthOffsetStack[--state.depthOffsetDepth];
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(matrix);
  glMatrixMode(GL_MODELVIEW);
}

int GetDepthOffsetDepth() { return State().depthOffsetDepth; }

float& DepthOffsetSetting() { return State().depthOffset; }

void RotateXYZ(float x, float y, float z) {
  if (x != 0.0f) glRotatef(x, 1.0f, 0.0f, 0.0f);
  if (y != 0.0f) glRotatef(y, 0.0f, 1.0f, 0.0f);
  if (z != 0.0f) glRotatef(z, 0.0f, 0.0f, 1.0f);
}

int32_t& ModelviewNesting() { return State().modelviewNesting; }

uint8_t& ShowBoundingVolumes() { return State().showBoundingVolumes; }

void SetDisplayWindow(CDisplay* display) { State().display = display; }

}  // namespace GFXDisplay
