#pragma once
// Connects cameras, actors and scene nodes to the renderer: projection and
// view go to GL and the renderer's view vectors, markers and models are drawn
// through the renderer. Until this runs they compute without drawing.

void InstallSceneDrawingHooks();
