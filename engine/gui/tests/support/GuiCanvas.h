#pragma once
// Draws every GUI window on a cleared black canvas of window pixels with y
// down (the GUI's own drawing space), for the GUI drawing tests of any
// folder. Header only.

#include <GL/gl.h>

#include "engine/gui/GUIWindowManager.h"

// A cleared black canvas of window pixels with y down, ready to draw on.
inline void BeginCanvas(int width, int height) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

inline void DrawWindowsOnCanvas(int width, int height) {
  BeginCanvas(width, height);
  GetWindowManager()->DrawWindows();
  glFinish();
}
