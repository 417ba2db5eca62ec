#pragma once
// The renderer's OpenGL back end: what is set up once a context exists and
// released before it goes (unit-shape lists, the default material, the ARB
// multitexture and shader-object entry points, console variables), and the
// table of installed shader programs.

#include <cstdint>

namespace GFX_GL {

// The most shader programs the table holds (entry 0 is the fixed function).
inline constexpr int32_t kShaderLimit = 100;
// Entry points of the ARB shader-object extension.
inline constexpr int kShaderEntryPointCount = 39;

// How the back end asks the driver for entry points and extensions; the
// platform's by default. Tests replace it to play a driver that lacks one.
struct DriverQueries {
  void* (*procAddress)(const char* name) = nullptr;
  bool (*extensionSupported)(const char* name) = nullptr;
};
void SetDriverQueries(const DriverQueries& queries);
// Back to the platform's queries.
void ResetDriverQueries();

// Run after a context is made current: the first start after a Stop builds
// the shapes, the default material and the entry points and registers the
// console variables; every start sets the front face, the start-up render
// word and the depth function.
void Start();
// Releases the shape lists and quadrics; nothing unless started.
void Stop();
bool IsStarted();

// Installs a vertex and pixel shader pair from files; its table index, or
// -1 (unsupported, table full, a file missing). A pair that fails to compile
// or link still takes its index.
int32_t LoadShader(const char* vertexFile, const char* pixelFile);
// After the context was rebuilt: compiles and links every installed entry
// again from the file pair it was loaded from, at the same index (deleted
// entries stay deleted; a pair that fails is logged and keeps its index).
// Without shader support in the new context the entries fall back to the
// fixed function until a later rebuild.
void ReinstallShaders();
// Uses table entry index (0 <= index < count), else the fixed function.
void UseShader(int32_t index);
// Deletes the program of a table entry (logged); the entry becomes -1.
void DeleteShader(int32_t index);
int32_t GetShaderCount();
// The program handle of an entry (0 when out of range).
uint32_t GetShaderHandle(int32_t index);
bool ShadersSupported();
bool MultitextureMissing();

// Makes the material "Default" (first stage: "TEXDefault", both sides) and
// stores it as the renderer's default material.
void CreateDefaultMaterial();

// The display-list name of a unit-shape slot (0-7), 0 when not built.
uint32_t GetShapeList(int slot);

}  // namespace GFX_GL
