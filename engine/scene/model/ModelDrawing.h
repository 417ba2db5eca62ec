#pragma once
// The renderer's model drawing: meshes of a model drawn through the vertex
// arrays with one pass per material stage, optionally compiled into display
// lists, and the debug views of a model (bounds, silhouette, triangles). It
// lives with the model types it reads and draws through GFXDisplay.

#include <cstdint>

class C3MEModel;
class C3MEMesh;

namespace GFXDisplay {

// Draws every component's mesh (group set 0) under its matrix; through
// display lists while COMPILE3ME is set; bounds only while "gfx:3me:showbvs" is on.
void DrawModel(C3MEModel* model);
// Compiles each mesh into one display list (meshes holding a group of value
// 2 keep drawing through the arrays) and marks the model compiled.
void CompileModelLists(C3MEModel* model);
// Draws a compiled model.
void CallModelLists(const C3MEModel* model);
// Draws group set `set` of a mesh.
void DrawMesh(const C3MEMesh* mesh, uint32_t set);
// Computes the components' model-space matrices once per model.
void PrepareModelMatrices(C3MEModel* model);
// One of n translucent white silhouettes of a model (n at least 2).
void DrawMeshFlat(int n, const C3MEModel* model);
// The bounding volumes of the component meshes (solid in colour, boxes also
// outlined white); colour defaults to translucent dark blue.
void DrawModelBounds(const C3MEModel* model, const float* colour = nullptr);
// Every triangle outlined in magenta, labelled "[T]n" where it is on screen.
void DrawModelTriangles(const C3MEModel* model);

}  // namespace GFXDisplay
