#pragma once
// Draws every GUI window on a cleared black canvas of window pixels with y
// down (the GUI's own drawing space), for the GUI drawing tests of any
// folder. Header only.

#include <GL/gl.h>

#include "engine/gui/GUIWindowManager.h"

inline void DrawWindowsOnCanvas(int width, int height) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  GetWindowManager()->DrawWindows();
  glFinish();
}
