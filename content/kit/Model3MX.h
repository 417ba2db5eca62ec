#pragma once
// The text model file the engine reads for a gem: one material, one instance
// of one component.

#include <string>

#include "content/kit/ModelMesh.h"

// "V6" for flat-shaded facets: the reader gives every triangle its own plane
// normal and reverses its corners into the engine's clockwise front faces.
// "V5" for a smooth surface: each corner keeps its normal, and the reader
// orders the corners by corner 0's normal (so normals must point outward).
enum class ModelShading { kFlat, kSmooth };

std::string Model3MXText(const ModelMesh& mesh, const std::string& name, const std::string& material,
                         ModelShading shading);
