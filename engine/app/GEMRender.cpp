// The application's two drawing passes: the 3D scene seen by the active
// camera with the developer views, then the 800 x 600 HUD.

#include <GL/gl.h>

#include "engine/app/DeveloperViews.h"
#include "engine/app/GEMApplication.h"
#include "engine/foundation/Clock.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/RenderState.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/MouseCursor.h"
#include "engine/gui/ScreenFade.h"
#include "engine/runtime/display/Display.h"
#include "engine/scene/cds/CDSWorld.h"
#include "engine/scene/core/Actor.h"

void CGEMApplication::RenderScene() {
  if (preScene_) preScene_(0);
  const bool draw = CanDraw();
  if (draw && activeCamera_ != nullptr) {
    services_.display->fov = activeCamera_->fieldOfView;
    // Also hands the camera's view to the renderer.
    activeCamera_->ApplyProjection();
  }
  if (draw && options.modelViewer && viewerModel != nullptr) {
    ModelViewerView view;
    view.model = viewerModel;
    view.drawMode = debugCounter;
    view.offset = viewerOffset;
    view.turning = viewerTurning != 0;
    view.turn = &viewerTurn;
    view.frameTime = Clock::Instance().GetGameDelta();
    view.renderState = renderState;
    DrawModelViewer(view);
  }
  if (draw) GFXDisplay::SetRenderState(0x82c);
  CallSceneCallback();
  if (draw) {
    GFXDisplay::SetRenderState(0x82c);
    DrawOtherCameras();
    if (options.groundPlane) DrawGroundPlane(groundMaterial);
    if (options.axesMask != 0) DrawAxes(options.axesMask, options.axesLabels != 0, axisScale, fontIndex);
    if (options.cdsDrawing) DrawCollisionWorld();
    if (options.lightGizmos) DrawLightGizmos();
  }
  if (steps_.renderScene) steps_.renderScene();
}

void CGEMApplication::RenderHUD() {
  const bool draw = CanDraw();
  if (draw) {
    GFXDisplay::SetRenderState(0x104);
    services_.display->BeginOrtho2D(nullptr);
  }
  if (hud_) hud_(0);
  if (draw) {
    GetWindowManager()->DrawWindows();
    GetMouseCursor()->DrawCursor();
    ScreenFade* fade = GetScreenFade();
    if (fade->active) {
      fade->Update(Clock::Instance().GetGameDelta());
      fade->Draw();
    }
    DrawStatusText(statusText);
    if (options.showLogos) {
      DrawLogos(makerLogo, engineLogo, logoTurn, Clock::Instance().GetGameDelta(), fontIndex);
    }
    services_.display->EndOrtho2D();
  }
}

void CGEMApplication::DrawOtherCameras() {
  const ActorDrawHooks& hooks = Actor::DrawHooks();
  for (Camera* camera : cameras_) {
    if (camera == nullptr || camera == activeCamera_ || !camera->stepping) continue;
    if (hooks.drawMarker != nullptr) {
      glPushMatrix();
      glMultMatrixf(camera->node.world.m);
      hooks.drawMarker(camera->node.radius);
      glPopMatrix();
    }
    // The frustum corners are kept in world space.
    if (hooks.drawFrustum != nullptr) hooks.drawFrustum(camera->corners);
  }
}

void CGEMApplication::DrawCollisionWorld() {
  GFXDisplay::PushDepthOffset();
  GFXDisplay::SetRenderState(0x102);
  GFXDisplay::SetRenderState(2);
  // Shapes take their colour from the last visibility pass; the node boxes
  // stay behind their own switch.
  CCDSNode::sColourByVisibility = 1;
  CCDSNode* root = CCDSWorld::Instance().GetRoot();
  CCDSNode::RenderShapes(root);
  if (CCDSNode::sDrawBounds != 0) CCDSNode::RenderBounds(root);
  GFXDisplay::PopDepthOffset();
}
