#pragma once
// Pieces of the GL back end shared between its source files.

#include "engine/graphics/GFXGL.h"

namespace GFX_GL {

// Fetches the multitexture and shader-object entry points and appends the
// fixed-function entry 0 to the shader table the first time.
void FetchEntryPoints();
// Builds the eight unit-shape display lists (and the two quadrics).
void BuildShapeLists();
// Deletes the shape lists and the quadrics.
void DeleteShapeLists();
// Empties the shader table and forgets the entry points (tests only: a new
// process starts this way).
void ResetShaderTable();

}  // namespace GFX_GL
