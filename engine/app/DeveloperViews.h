#pragma once
// The developer drawings of the application's scene and HUD passes: the
// model viewer, the ground plane, the world axes, light markers, the status
// line and the logos. Each draws with the current GL context and does
// nothing with missing inputs.

#include <cstdint>

#include "engine/foundation/Vector3.h"
#include "engine/graphics/RenderState.h"

class C3MEModel;
class CMATMaterial;
class ValueStepper;

// What the model viewer draws and how.
struct ModelViewerView {
  C3MEModel* model = nullptr;
  // The application's debug counter: 1 to 6 pick a developer rendering
  // (see ModelViewerMode), any other value the normal one.
  uint8_t drawMode = 0;
  // Where mode 1 moves the model to.
  Vector3 offset;
  bool turning = false;
  // Degrees about Y, advanced while turning; null: no turn.
  ValueStepper* turn = nullptr;
  float frameTime = 0.0f;
  GFXRenderFlags renderState = 0x82c;
};

// The draw modes of the model viewer.
namespace ModelViewerMode {
inline constexpr uint8_t kMoved = 1;        // moved by the viewer offset
inline constexpr uint8_t kFlat = 2;         // translucent white silhouette
inline constexpr uint8_t kGuideLines = 3;   // model, its box and lines through its centre
inline constexpr uint8_t kWireOutline = 4;  // wire lines of width 5
inline constexpr uint8_t kBounds = 5;       // the component bounding volumes
inline constexpr uint8_t kTriangles = 6;    // every triangle outlined and numbered
}  // namespace ModelViewerMode

// Axis bits of DrawAxes.
namespace AxisBit {
inline constexpr uint8_t X = 0x1;
inline constexpr uint8_t Y = 0x2;
inline constexpr uint8_t Z = 0x4;
}  // namespace AxisBit

// Draws the viewer model in its draw mode, turned about Y while turning
// (the stepper advances by frameTime x 36 degrees); the matrix is kept.
void DrawModelViewer(const ModelViewerView& view);

// A translucent textured square of +-50 on the y = 0 plane, pushed back in
// depth so models standing on it stay in front; nothing without a material.
void DrawGroundPlane(CMATMaterial* ground);

// The world axes of the mask (X red, Y green, Z blue), 100 x scale long
// each way, with distance labels in the given font when asked.
void DrawAxes(uint8_t mask, bool labels, float scale, int font);

// A ring of radius 10 at each enabled static light.
void DrawLightGizmos();

// The status line with font 0 at (16, 560) in orange; nothing for null or
// empty text or while no font exists. The font's colour is kept.
void DrawStatusText(const char* text);

// The web address, the maker logo and the engine logo at the bottom right of
// the 800 x 600 HUD; advances the logo stepper. Nothing unless both
// materials exist.
void DrawLogos(CMATMaterial* maker, CMATMaterial* engine, ValueStepper& logoTurn, float frameTime, int font);
