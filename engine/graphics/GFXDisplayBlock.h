#pragma once
// The renderer's one block of global state, shared by the renderer's own
// source files and the GL back end. Drawing clients use GFXDisplay.h.

#include <cstdint>

#include "engine/foundation/PooledList.h"
#include "engine/graphics/GFXDisplay.h"

struct GLUquadric;

namespace GFXDisplay {

// Unit-shape display-list slots.
enum GFXShapeList : int {
  kShapePyramid = 0,
  kShapeWireCube = 1,
  kShapeWireSphere = 2,
  kShapeSolidSphere = 3,
  kShapeCircle = 4,
  kShapeArrow = 5,
  kShapeGizmo = 6,
  kShapeDisc = 7,
  kShapeCount = 8,
};

// The depth-function codes the renderer switches between.
inline constexpr int32_t kDepthLess = 2;
inline constexpr int32_t kDepthLessOrEqual = 4;

struct Block {
  uint32_t lastStageFace = 0x0404;  // GL_FRONT
  float scratchColour[4] = {0, 0, 0, 0};
  float defaultAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  float defaultDiffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  float defaultSpecular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  float defaultEmission[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  // One per colour (ambient, diffuse, specular, emission): its default is
  // known to be in GL for the last stage face.
  uint8_t defaultColourSent[4] = {0, 0, 0, 0};
  int32_t stagesPerPass = 1;
  float depthOffset = 1.0f;
  // Depth-function codes: 1 to 8 stand for GL_NEVER to GL_ALWAYS.
  int32_t depthFunction = kDepthLess;
  int32_t defaultDepthFunction = kDepthLess;
  uint8_t showBoundingVolumes = 0;

  CMATMaterial* defaultMaterial = nullptr;
  CMATMaterial* currentMaterial = nullptr;
  uint32_t lastBoundTexture = 0;
  bool textureBound = false;

  float projection[6] = {0, 0, 0, 0, 0, 0};  // left, right, top, bottom, near, far
  double capturedModelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  double capturedProjection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  int32_t capturedViewport[4] = {0, 0, 800, 600};
  GFXViewVectors view;

  float depthOffsetStack[kDepthOffsetCapacity] = {};
  int32_t depthOffsetDepth = 0;

  PooledList fonts{8};
  uint32_t shapeLists[kShapeCount] = {};
  GLUquadric* wireQuadric = nullptr;
  GLUquadric* solidQuadric = nullptr;
  CDisplay* display = nullptr;
  int32_t modelviewNesting = 0;
};

// The block, built on first use.
Block& State();

}  // namespace GFXDisplay
