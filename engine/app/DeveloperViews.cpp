#include "engine/app/DeveloperViews.h"

#include <GL/gl.h>

#include <cstdio>

#include "engine/foundation/ValueStepper.h"
#include "engine/foundation/Vector2.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/GFXLight.h"
#include "engine/graphics/Material.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelDrawing.h"

namespace {

// Degrees per second of the model viewer's turn and of the logo stepper.
constexpr float kTurnDegreesPerSecond = 36.0f;

// Render words of the developer drawings.
constexpr GFXRenderFlags kGroundPlaneState = 0x92c;  // back culling, blend, depth, textured fill
constexpr GFXRenderFlags kLineState = RenderFlag::DEPTHTEST | RenderFlag::WIREFRAME;
// Lines on both faces, with the materials held off so a model's stages
// cannot turn the fill back on.
constexpr GFXRenderFlags kWireModelState = kLineState | RenderFlag::DBLSIDED | RenderFlag::NOMATERIALS;

constexpr GFXRenderFlags kBothFacesState = RenderFlag::DEPTHTEST | RenderFlag::SOLID | RenderFlag::DBLSIDED;
constexpr GFXRenderFlags kCullBits = RenderFlag::CULLFRONT | RenderFlag::CULLBACK;

constexpr float kWireOutlineWidth = 5.0f;

constexpr float kGroundHalfSide = 50.0f;

constexpr float kAxisLength = 100.0f;
constexpr float kArrowBase = 90.0f;
constexpr float kArrowHalfWidth = 5.0f;
constexpr float kThinLine = 1.0f;
constexpr float kThickLine = 3.0f;
// Labels every quarter of an axis half, so each axis gets eight.
constexpr float kLabelSpacing = 25.0f;

constexpr float kLightGizmoRadius = 10.0f;

// HUD places, in 800 x 600 overlay units.
constexpr int kStatusX = 16;
constexpr int kStatusY = 560;
constexpr float kStatusColour[4] = {1.0f, 0.5f, 0.0f, 0.75f};
constexpr int kWebAddressX = 665;
constexpr int kWebAddressY = 582;
constexpr float kWebAddressColour[4] = {1.0f, 1.0f, 1.0f, 0.75f};
constexpr const char* kWebAddress = "www.vyre-engine.net";
constexpr float kLogoSide = 64.0f;
constexpr float kLogoTop = 515.0f;
constexpr float kMakerLogoRight = 800.0f;
constexpr float kEngineLogoRight = 730.0f;

struct AxisStyle {
  uint8_t bit;
  Vector3 direction;
  // The side the arrow head's strokes open towards.
  Vector3 across;
  float colour[3];
};

constexpr int kAxisCount = 3;
const AxisStyle kAxes[kAxisCount] = {
    {AxisBit::X, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}},
    {AxisBit::Y, {0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}},
    {AxisBit::Z, {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}},
};

Vector3 Along(const Vector3& direction, float distance) { return Vector3::Scale(direction, distance); }

// The model as lines of a width on both faces, in its vertex colours.
void DrawWireModel(C3MEModel* model, float lineWidth) {
  GLfloat previousWidth = 1.0f;
  glGetFloatv(GL_LINE_WIDTH, &previousWidth);
  GFXDisplay::SetRenderState(kWireModelState);
  // The state layer switches the fill only of the faces its newly set bits
  // name; a wire view wants both, and gives both their fill back after.
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glLineWidth(lineWidth);
  GFXDisplay::DrawModel(model);
  glLineWidth(previousWidth);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// The model, then its box in white and lines through its sphere's centre in
// yellow, a radius each way along the three axes.
void DrawWithGuideLines(C3MEModel* model) {
  GFXDisplay::DrawModel(model);
  GFXDisplay::SetRenderState(kLineState);
  const BoundingBox& box = model->GetBox();
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  GFXDisplay::DrawWireBox(box.min, box.max);
  const BoundingSphere& sphere = model->GetSphere();
  glColor4f(1.0f, 1.0f, 0.0f, 1.0f);
  for (const AxisStyle& axis : kAxes) {
    const Vector3 reach = Along(axis.direction, sphere.radius);
    GFXDisplay::DrawLine(Vector3::Subtract(sphere.centre, reach), Vector3::Add(sphere.centre, reach), kThinLine);
  }
}

// The normal rendering, then the part of the model below the ground (y < 0)
// again as wire lines, so what the ground plane hides stays readable.
void DrawWithClipPass(C3MEModel* model) {
  GFXDisplay::DrawModel(model);
  const GLdouble belowGround[4] = {0.0, -1.0, 0.0, 0.0};
  glClipPlane(GL_CLIP_PLANE0, belowGround);
  glEnable(GL_CLIP_PLANE0);
  DrawWireModel(model, kThinLine);
  glDisable(GL_CLIP_PLANE0);
}

void DrawInMode(const ModelViewerView& view) {
  C3MEModel* model = view.model;
  switch (view.drawMode) {
    case ModelViewerMode::kMoved:
      glTranslatef(view.offset.x, view.offset.y, view.offset.z);
      GFXDisplay::DrawModel(model);
      break;
    case ModelViewerMode::kFlat:
      // Culling off first: dropping the caller's back culling alone would
      // turn it onto the front faces.
      GFXDisplay::SetRenderState(kBothFacesState);
      GFXDisplay::DrawMeshFlat(2, model);
      break;
    case ModelViewerMode::kGuideLines:
      DrawWithGuideLines(model);
      break;
    case ModelViewerMode::kWireOutline:
      DrawWireModel(model, kWireOutlineWidth);
      break;
    case ModelViewerMode::kBounds:
      GFXDisplay::DrawModelBounds(model);
      break;
    case ModelViewerMode::kTriangles:
      // The triangle labels project through the matrices of this moment.
      GFXDisplay::CaptureMatrices();
      GFXDisplay::DrawModelTriangles(model);
      break;
    default:
      DrawWithClipPass(model);
      break;
  }
}

// Prints in a colour and gives the font its own colour back afterwards.
void PrintInColour(int fontIndex, const char* text, int x, int y, const float rgba[4]) {
  GFXFont* font = GFXDisplay::GetFont(fontIndex < 0 ? 0 : fontIndex);
  if (font == nullptr) return;
  font->SetColour(rgba[0], rgba[1], rgba[2], rgba[3]);
  GFXDisplay::PrintAt(fontIndex, text, x, y);
  font->RestoreColour();
}

void DrawAxisLabels(const AxisStyle& axis, float scale, int font) {
  const float rgba[4] = {axis.colour[0], axis.colour[1], axis.colour[2], 1.0f};
  const int steps = int(kAxisLength / kLabelSpacing);
  for (int k = -steps; k <= steps; ++k) {
    if (k == 0) continue;
    const float distance = float(k) * kLabelSpacing * scale;
    Vector2 at;
    if (!GFXDisplay::ProjectToScreen(Along(axis.direction, distance), &at)) continue;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", double(distance));
    PrintInColour(font, text, int(at.x), int(at.y), rgba);
  }
}

void DrawAxis(const AxisStyle& axis, float scale) {
  glColor4f(axis.colour[0], axis.colour[1], axis.colour[2], 1.0f);
  const Vector3 origin;
  const Vector3 tip = Along(axis.direction, kAxisLength * scale);
  GFXDisplay::DrawLine(Along(axis.direction, -kAxisLength * scale), origin, kThinLine);
  GFXDisplay::DrawLine(origin, tip, kThickLine);
  // The arrow head: two strokes from the tip back to the arrow base, either
  // side of the axis.
  const Vector3 base = Along(axis.direction, kArrowBase * scale);
  const Vector3 side = Along(axis.across, kArrowHalfWidth * scale);
  GFXDisplay::DrawLine(tip, Vector3::Add(base, side), kThickLine);
  GFXDisplay::DrawLine(tip, Vector3::Subtract(base, side), kThickLine);
}

// One textured square per stage of the material, right edge and top given
// in overlay units (y down).
void DrawLogo(CMATMaterial* logo, float right, float top) {
  const Vector2 topLeft(right - kLogoSide, top);
  const Vector2 bottomRight(right, top + kLogoSide);
  GFXDisplay::SetMaterial(logo);
  for (int stage = 0; stage < logo->StageCount(); ++stage) {
    GFXDisplay::BindMaterialStage(stage);
    // The logo materials are marked front-sided, and the overlay's flipped y
    // makes an upright square wind as a front face: culling would hide it.
    GFXDisplay::SetRenderState((GFXDisplay::GetRenderState() & ~kCullBits) | RenderFlag::DBLSIDED);
    GFXDisplay::DrawTexturedRect(topLeft, bottomRight);
  }
}

}  // namespace

void DrawModelViewer(const ModelViewerView& view) {
  if (view.model == nullptr) return;
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  if (view.turning && view.turn != nullptr) {
    const float degrees = view.turn->Step(view.frameTime * kTurnDegreesPerSecond);
    glRotatef(degrees, 0.0f, 1.0f, 0.0f);
  }
  GFXDisplay::SetRenderState(view.renderState);
  DrawInMode(view);
  glPopMatrix();
  // The modes leave their own words behind; the caller's word comes back.
  GFXDisplay::SetRenderState(view.renderState);
}

void DrawGroundPlane(CMATMaterial* ground) {
  if (ground == nullptr) return;
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1.0f, 1.0f);
  GFXDisplay::SetMaterial(ground);
  const int passes = GFXDisplay::PassCount(ground);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  // The renderer's rectangles lie in the XY plane: a quarter turn about X
  // lays this one on y = 0, facing up.
  glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
  for (int pass = 0; pass < passes; ++pass) {
    GFXDisplay::BindMaterialStage(pass);
    GFXDisplay::SetRenderState(kGroundPlaneState);
    glColor4f(1.0f, 1.0f, 1.0f, 0.75f);
    GFXDisplay::DrawTexturedRectAtDepth({-kGroundHalfSide, -kGroundHalfSide, 0.0f},
                                        {kGroundHalfSide, kGroundHalfSide, 0.0f});
  }
  glPopMatrix();
  glPolygonOffset(0.0f, 0.0f);
  glDisable(GL_POLYGON_OFFSET_FILL);
}

void DrawAxes(uint8_t mask, bool labels, float scale, int font) {
  if ((mask & (AxisBit::X | AxisBit::Y | AxisBit::Z)) == 0) return;
  GFXDisplay::SetRenderState(kLineState);
  for (const AxisStyle& axis : kAxes) {
    if ((mask & axis.bit) != 0) DrawAxis(axis, scale);
  }
  if (!labels || GFXDisplay::GetFont(font < 0 ? 0 : font) == nullptr) return;
  // The labels project through the view the axes were drawn with.
  GFXDisplay::CaptureMatrices();
  for (const AxisStyle& axis : kAxes) {
    if ((mask & axis.bit) != 0) DrawAxisLabels(axis, scale, font);
  }
}

void DrawLightGizmos() {
  for (int n = 0; n < kStaticLightCount; ++n) {
    const GFXLight* light = GetLight(n);
    if (light != nullptr && light->enabled != 0) GFXDisplay::DrawRing(light->position, kLightGizmoRadius);
  }
}

void DrawStatusText(const char* text) {
  if (text == nullptr || text[0] == '\0') return;
  PrintInColour(0, text, kStatusX, kStatusY, kStatusColour);
}

void DrawLogos(CMATMaterial* maker, CMATMaterial* engine, ValueStepper& logoTurn, float frameTime, int font) {
  if (maker == nullptr || engine == nullptr) return;
  PrintInColour(font, kWebAddress, kWebAddressX, kWebAddressY, kWebAddressColour);
  DrawLogo(maker, kMakerLogoRight, kLogoTop);
  logoTurn.Step(frameTime * kTurnDegreesPerSecond);
  DrawLogo(engine, kEngineLogoRight, kLogoTop);
}
