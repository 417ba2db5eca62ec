#pragma once
// The engine's immediate-mode renderer: one block of global state and the
// free functions every drawing client calls (projection, materials, quads,
// lines, debug shapes, mesh groups and text). Render state itself is in
// RenderState.h; GL start-up, shaders and the unit shapes are GFX_GL's.

#include <cstdint>

#include "engine/foundation/BoundingVolumes.h"
#include "engine/foundation/Rect.h"
#include "engine/foundation/Vector2.h"
#include "engine/foundation/Vector3.h"
#include "engine/graphics/RenderState.h"

class CMATMaterial;
class CTEXTexture;
class CDisplay;
class GFXFont;

// The camera axes handed to the renderer each frame, as rows of the view
// matrix: row 2 (the camera's +Z, pointing back toward the viewer), row 0
// (right), row 1 (up), and the camera position.
struct GFXViewVectors {
  Vector3 back;
  Vector3 right;
  Vector3 up;
  Vector3 position;
};

// A text cell of the developer windows: a position in overlay units.
struct GFXTextCell {
  int32_t x = 0;
  int32_t y = 0;
};

namespace GFXDisplay {

// The most depth offsets that can be pushed at once.
inline constexpr int kDepthOffsetCapacity = 16;
// Overlay space: the fixed 2D canvas every overlay drawing uses.
inline constexpr float kOverlayWidth = 800.0f;
inline constexpr float kOverlayHeight = 600.0f;

// ---- Projection and matrices ----

// Stores (left, right, top, bottom, near, far) for the depth offset, loads
// glOrtho for modes 1-3 and glFrustum otherwise, then leaves an identity
// model-view current.
void SetProjection(int mode, float left, float right, float bottom, float top, float nearPlane, float farPlane);

// Stores the camera's axes and position (see GFXViewVectors).
void SetViewVectors(const Vector3& back, const Vector3& right, const Vector3& up, const Vector3& position);
void GetViewVectors(Vector3* back, Vector3* right, Vector3* up, Vector3* position);
const GFXViewVectors& ViewVectors();

// Reads the GL model-view, projection and viewport into the captured fields.
void CaptureMatrices();
// Replaces the captured fields (callers that computed the matrices themselves).
void SetCapturedMatrices(const double modelview[16], const double projection[16], const int viewport[4]);

// Projects a point with the captured matrices into overlay space (y down);
// true when it lands inside the canvas (widened by margin when given) and no
// deeper than the far plane.
bool ProjectToScreen(const Vector3& point, Vector2* out, const Vector2* margin = nullptr);

// The factor m[10] is multiplied by for a depth offset d seen from distance z:
// 1 + e with e = -2 far near d / ((far + near) z (z + d)). A zero or negative
// distance (or a degenerate projection) gives 1: no offset rather than a
// division by zero.
float DepthOffsetFactor(float nearPlane, float farPlane, float offset, float distance);
// Pulls the projection's depth toward the viewer by the "gfx:depthoffset"
// setting (saves m[10]); ignored once 16 are pushed.
void PushDepthOffset();
// Restores the m[10] of the matching push; nothing at depth 0.
void PopDepthOffset();
int GetDepthOffsetDepth();
// The "gfx:depthoffset" setting.
float& DepthOffsetSetting();

// glRotatef about X, then Y, then Z (degrees), skipping exact zeros.
void RotateXYZ(float x, float y, float z);

// ---- Materials and textures ----

// Makes a material current (null: the default; a child: its parent) and
// turns its side flags into cull bits; nothing while NOMATERIALS is set.
void SetMaterial(CMATMaterial* material);
// Puts stage n of the current material into GL state and applies the word.
void BindMaterialStage(int stageIndex);
// Binds a texture unless it is the one bound last (null: the default
// material's first-stage texture).
void BindTexture(const CTEXTexture* texture);
// Material n of the material manager made current.
void SetMaterialByIndex(uint32_t n);
CMATMaterial* GetCurrentMaterial();
CMATMaterial* GetDefaultMaterial();
void SetDefaultMaterial(CMATMaterial* material);
// Forgets the current material and the last bound texture (after the
// material or texture managers were torn down, or the context rebuilt).
void ForgetBindings();
// Passes a group is drawn in with a material: its stages, at least one.
int PassCount(const CMATMaterial* material);
// Readies the depth test for pass n of a multipass draw. The first pass
// writes the depth; the ones after it draw the same surface again and must
// pass where the depth is equal, so from pass 1 on GL_LESS becomes GL_LEQUAL.
// Any other depth function (the overlay's GL_ALWAYS) is left alone.
void BeginMaterialPass(int pass);
// Puts GL_LESS back after the last pass when a later pass relaxed it.
void EndMaterialPasses();

// ---- Primitives (each counts into the render statistics) ----

void DrawRect(const Vector2& a, const Vector2& b);
void DrawTexturedRect(const Vector2& a, const Vector2& b);
void DrawTexturedRectUV(const Rect& position, const Rect& uv);
void DrawTexturedRect2D(const Rect& position, const Rect& uv);
void DrawTexturedRectAtDepth(const Vector3& a, const Vector3& b, const Rect* uv = nullptr);
void DrawRectAtDepth(const Vector3& a, const Vector3& b);
void DrawQuad(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& p3);
void DrawTexturedFace(const Vector3& a, const Vector3& b);
void DrawPreviewCube(const Vector3& position, float scale);
void DrawSolidBox(const Vector3& a, const Vector3& b);
void DrawRectOutline2D(const Vector2& a, const Vector2& b);
void DrawWireBox(const Vector3& a, const Vector3& b);
void DrawLine(const Vector3& from, const Vector3& to, float width);
// The wire-sphere unit shape at a position, scaled uniformly.
void CallShapeList(const Vector3& position, float scale);
// An open lit band along local Z, length long, of the given radius.
void DrawSphere(const Vector3& position, float length, float radius);
// A filled sphere with texture coordinates (u around the poles' axis, z
// here, v from pole to pole) in the current stage. With inside set its
// front faces are the ones seen from within (a backdrop around the viewer),
// whatever the winding setting.
void DrawTexturedSphere(const Vector3& centre, float radius, bool inside);
// The band of DrawSphere at a cylinder's first end, its axis length long.
void DrawBoundingSphere(const Cylinder& volume);
// The band of a capsule closed with a cap at each end.
void DrawCapsule(const Capsule& volume);
// A magenta circle around a point, facing the viewer; nothing when the view
// vectors are degenerate.
void DrawRing(const Vector3& centre, float radius);

// ---- Mesh groups (the model drawing of the scene layer builds on these) ----

// Points the vertex arrays at interleaved vertices (colour bytes, normal,
// position; stride 28) and optional texture coordinates (stride 8).
void SetVertexArrays(const void* vertices, const void* texCoords);
// Draws one index group: sets its material and runs one pass per stage
// (primitive kind 0 list, 1 strip, 2 fan); fewer than 3 indices draw nothing.
// While NOMATERIALS is set the caller's stage is in force: one pass.
void DrawMeshGroup(CMATMaterial* material, int32_t primitiveKind, uint16_t indexCount, const uint16_t* indices);
// The GL primitive of a group kind.
uint32_t PrimitiveMode(int32_t primitiveKind);
// Counts the triangles of a group drawn with that kind.
void CountGroupTriangles(int32_t primitiveKind, uint32_t indexCount);

// ---- Text and fonts ----

// A new empty font appended to the list; its index, or -1.
int NewFont();
// A new font loaded by name; its index (kept even when the load failed).
int AddFont(const char* name);
GFXFont* GetFont(int n);
int GetFontCount();
// Draws text at integer overlay coordinates (font -1 means 0).
void PrintAt(int font, const char* text, int x, int y);
void PrintAt(int font, const char* text, const Vector2& at);
void PrintAt(const char* text, int font, const GFXTextCell& cell);
// The developer windows' form: text, font, position.
void PrintAt(const char* text, int font, int x, int y);
int GetFontHeight(int n);
// The width the text is drawn at, in overlay units, so it can be centred.
int GetTextWidth(int n, const char* text);
void SetFontColour(int n, const float rgba[4]);
// Deletes every font's lists and marks them for rebuilding (before a
// context goes away).
void DeleteFontLists();
// Builds the lists of every font marked for rebuilding.
void RebuildFontLists();
// Destroys every font (process end, tests).
void DeleteAllFonts();

// The display whose overlay PrintAt uses (null: the process display).
void SetDisplayWindow(CDisplay* display);

// printf-style line on the renderer's channel ("GFX").
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The model-view nesting counter kept by drawing code around its pushes.
int32_t& ModelviewNesting();
// The show-bounding-volumes flag behind "gfx:3me:showbvs".
uint8_t& ShowBoundingVolumes();

// Plugs the renderer into the display (GL start and stop, render word) and
// the profiler (bar drawing), the shader back end into material stages, and
// the material, texture and camera calls of sprites, particles and beams.
void InstallHooks();

}  // namespace GFXDisplay
