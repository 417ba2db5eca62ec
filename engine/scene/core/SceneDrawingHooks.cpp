#include "engine/scene/core/SceneDrawingHooks.h"

#include <GL/gl.h>

#include "engine/foundation/Matrix4.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/RenderState.h"
#include "engine/scene/core/Actor.h"
#include "engine/scene/core/Camera.h"
#include "engine/scene/core/SCNScene.h"
#include "engine/scene/core/SceneNode.h"
#include "engine/scene/model/ModelDrawing.h"

namespace {

void GetViewport(int32_t viewport[4]) {
  GLint values[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, values);
  for (int i = 0; i < 4; ++i) viewport[i] = values[i];
}

void LoadMatrices(const double projection[16], const double modelView[16]) {
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixd(projection);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixd(modelView);
}

void DrawModel(C3MEModel* model, uint32_t renderState) {
  GFXDisplay::SetRenderState(renderState);
  GFXDisplay::DrawModel(model);
}

void DrawPoint() {
  glBegin(GL_POINTS);
  glVertex3f(0.0f, 0.0f, 0.0f);
  glEnd();
}

void DrawActorMarker(float radius) {
  DrawPoint();
  GFXDisplay::DrawRing(Vector3(0.0f, 0.0f, 0.0f), radius);
}

void DrawNodeMarker(float radius) {
  DrawPoint();
  GFXDisplay::CallShapeList(Vector3(0.0f, 0.0f, 0.0f), radius);
}

// Near face, far face, and the four edges joining them.
void DrawFrustum(const Vector3 corners[8]) {
  static constexpr int kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                        {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  for (const auto& edge : kEdges) GFXDisplay::DrawLine(corners[edge[0]], corners[edge[1]], 1.0f);
}

void PushMatrix(const Matrix4& local) {
  glPushMatrix();
  glMultMatrixf(local.m);
}

void PopMatrix() { glPopMatrix(); }

}  // namespace

void InstallSceneDrawingHooks() {
  CameraDisplayHooks& camera = Camera::DisplayHooks();
  camera.getViewport = &GetViewport;
  camera.setProjection = &GFXDisplay::SetProjection;
  camera.loadMatrices = &LoadMatrices;
  camera.setViewVectors = &GFXDisplay::SetViewVectors;

  ActorDrawHooks& actor = Actor::DrawHooks();
  actor.drawModel = &DrawModel;
  actor.drawMarker = &DrawActorMarker;
  actor.drawFrustum = &DrawFrustum;

  CSCNRenderHooks& node = CSCNNode::RenderHooks();
  node.pushMatrix = &PushMatrix;
  node.popMatrix = &PopMatrix;
  node.drawMarker = &DrawNodeMarker;

  CSCNInstance::DrawHook() = &GFXDisplay::DrawModel;
}
