#pragma once
// The render-state word: every piece of fixed-function OpenGL state the engine
// switches per draw, packed into 32 bits and applied as a difference against
// the word applied last, so only the states that change reach GL.

#include <cstdint>
#include <string>

using GFXRenderFlags = uint32_t;

namespace RenderFlag {
inline constexpr GFXRenderFlags POINTS = 0x1;
inline constexpr GFXRenderFlags WIREFRAME = 0x2;
inline constexpr GFXRenderFlags SOLID = 0x4;
inline constexpr GFXRenderFlags TEXTURED = 0x8;
inline constexpr GFXRenderFlags LIGHTING = 0x10;
inline constexpr GFXRenderFlags DEPTHTEST = 0x20;
inline constexpr GFXRenderFlags NOMATERIALS = 0x40;  // material binding is skipped while set
inline constexpr GFXRenderFlags DBLSIDED = 0x80;
inline constexpr GFXRenderFlags BLENDING = 0x100;
inline constexpr GFXRenderFlags STENCILTEST = 0x200;
inline constexpr GFXRenderFlags CULLFRONT = 0x400;
inline constexpr GFXRenderFlags CULLBACK = 0x800;
inline constexpr GFXRenderFlags ALPHATEST = 0x1000;  // never lasts: every apply ends with it off
inline constexpr GFXRenderFlags SCISSOR = 0x2000;
inline constexpr GFXRenderFlags CCW = 0x4000;         // not applied; "gfx:winding" decides
inline constexpr GFXRenderFlags COMPILE3ME = 0x8000;  // models draw through display lists
inline constexpr GFXRenderFlags TWOSIDEDLIGHTING = 0x10000;
inline constexpr GFXRenderFlags FLATSHADING = 0x20000;
inline constexpr GFXRenderFlags CLAMP_S = 0x4000000;
inline constexpr GFXRenderFlags CLAMP_T = 0x8000000;
inline constexpr GFXRenderFlags PLANAR_MAPPING = 0x10000000;
inline constexpr GFXRenderFlags ENVIRONMENT_MAPPING = 0x20000000;
inline constexpr GFXRenderFlags TAG_STATE = 0x40000000;  // remember the word this apply replaces
inline constexpr GFXRenderFlags OVERIDE = 0x80000000;    // in the current word: every apply is ignored

// The word in force before the first apply.
inline constexpr GFXRenderFlags INITIAL = WIREFRAME;
// The word the GL start-up applies: back culling, depth test, textured fill.
inline constexpr GFXRenderFlags STARTUP = CULLBACK | DEPTHTEST | TEXTURED | SOLID;
}  // namespace RenderFlag

namespace GFXDisplay {

// Applies a render word (needs a current GL context); returns it, or the
// current word unchanged while the state is locked by OVERIDE.
GFXRenderFlags SetRenderState(GFXRenderFlags word);

// The word applied last.
GFXRenderFlags GetRenderState();

// After the GL context was rebuilt: the next SetRenderState sends every
// state of its word to GL instead of the difference, and the current material
// and texture bindings are forgotten (ForgetBindings). The current word
// itself is kept for callers that read it.
void ResetRenderStateCache();

// The word replaced by the last apply that carried TAG_STATE.
GFXRenderFlags GetSavedRenderState();

// Writes the current word without touching GL (used to set or clear OVERIDE
// around a block drawn with a fixed state).
void WriteRenderState(GFXRenderFlags word);

// Locks (sets OVERIDE in) or unlocks the current word.
void LockRenderState(bool locked);

// The winding flag behind the console variable "gfx:winding": 0 = clockwise
// front faces, 1 = counter-clockwise. Bound by address to the variable.
uint8_t& WindingFlag();

// Registers the console variable "gfx:winding" over the winding flag.
void RegisterRenderStateVariables();

// The program's name of one flag bit (0 to 31); empty for unnamed bits.
const char* RenderFlagName(int bit);

// The set flags of a word as their names joined by "|".
std::string RenderFlagsToText(GFXRenderFlags word);

}  // namespace GFXDisplay
