// The eight unit shapes compiled into display lists at GL start-up.

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "engine/graphics/GFXDisplayBlock.h"
#include "engine/graphics/GFXGLInternal.h"

namespace GFX_GL {
namespace {

using GFXDisplay::State;

constexpr float kPi = 3.14159265358979f;

// The circle and disc lie in the x-z plane: the ring markers and glow discs
// of the game lie flat, and the gizmo turns copies of the circle about X and
// Z to show the other two axes.
void CircleVertex(int degrees) {
  const float a = float(degrees) * kPi / 180.0f;
  glVertex3f(0.5f * std::cos(a), 0.0f, 0.5f * std::sin(a));
}

void CircleLoop() {
  glBegin(GL_LINE_LOOP);
  for (int degrees = 0; degrees <= 350; degrees += 10) CircleVertex(degrees);
  glEnd();
}

GLUquadric* NewQuadric(GLenum drawStyle) {
  GLUquadric* quadric = gluNewQuadric();
  if (quadric == nullptr) return nullptr;
  gluQuadricOrientation(quadric, GLU_OUTSIDE);
  gluQuadricNormals(quadric, GLU_SMOOTH);
  gluQuadricDrawStyle(quadric, drawStyle);
  return quadric;
}

void Pyramid() {
  glBegin(GL_TRIANGLE_STRIP);
  glVertex3f(0.0f, 0.5f, 0.0f);
  glVertex3f(-0.5f, -0.5f, 0.5f);
  glVertex3f(0.0f, -0.5f, -0.5f);
  glVertex3f(0.5f, -0.5f, 0.5f);
  glVertex3f(0.0f, 0.5f, 0.0f);
  glEnd();
}

void WireCube() {
  constexpr float h = 0.5f;
  for (float z : {-h, h}) {
    glBegin(GL_LINE_LOOP);
    glVertex3f(-h, -h, z);
    glVertex3f(h, -h, z);
    glVertex3f(h, h, z);
    glVertex3f(-h, h, z);
    glEnd();
  }
  glBegin(GL_LINES);
  for (float x : {-h, h}) {
    for (float y : {-h, h}) {
      glVertex3f(x, y, -h);
      glVertex3f(x, y, h);
    }
  }
  glEnd();
}

void Arrow() {
  const float ring[5][3] = {{0, 0.2f, 0}, {0, 0, 0.2f}, {0, -0.2f, 0}, {0, 0, -0.2f}, {0, 0.2f, 0}};
  for (float tip : {1.0f, -0.2f}) {
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(tip, 0.0f, 0.0f);
    for (const auto& p : ring) glVertex3f(p[0], p[1], p[2]);
    glEnd();
  }
}

void Gizmo(GLuint circleList) {
  glColor4f(0.0f, 1.0f, 0.0f, 0.25f);
  glCallList(circleList);
  glPushMatrix();
  glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
  glColor4f(0.0f, 0.0f, 1.0f, 0.25f);
  glCallList(circleList);
  glPopMatrix();
  glPushMatrix();
  glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
  glColor4f(1.0f, 0.0f, 0.0f, 0.25f);
  glCallList(circleList);
  glPopMatrix();
  glLineWidth(2.0f);
  const float triangles[3][3][3] = {{{0, 0, 0.5f}, {0.75f, 0, 0}, {0, 0, -0.5f}},
                                    {{0.5f, 0, 0}, {0, 0.75f, 0}, {-0.5f, 0, 0}},
                                    {{0, 0.5f, 0}, {0, 0, 0.75f}, {0, -0.5f, 0}}};
  const float colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int i = 0; i < 3; ++i) {
    glColor3f(colours[i][0], colours[i][1], colours[i][2]);
    glBegin(GL_LINE_LOOP);
    for (const auto& p : triangles[i]) glVertex3f(p[0], p[1], p[2]);
    glEnd();
  }
}

void Disc() {
  glBegin(GL_TRIANGLE_FAN);
  glVertex3f(0.0f, 0.0f, 0.0f);
  for (int degrees = 0; degrees <= 360; degrees += 10) CircleVertex(degrees);
  glEnd();
}

template <class Body>
GLuint Compile(Body body) {
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  body();
  glEndList();
  return list;
}

}  // namespace

void BuildShapeLists() {
  GFXDisplay::Block& state = State();
  uint32_t* lists = state.shapeLists;
  lists[GFXDisplay::kShapePyramid] = Compile(Pyramid);
  lists[GFXDisplay::kShapeWireCube] = Compile(WireCube);
  state.wireQuadric = NewQuadric(GLU_LINE);
  lists[GFXDisplay::kShapeWireSphere] = Compile([&] {
    if (state.wireQuadric != nullptr) gluSphere(state.wireQuadric, 0.5, 10, 5);
  });
  state.solidQuadric = NewQuadric(GLU_FILL);
  lists[GFXDisplay::kShapeSolidSphere] = Compile([&] {
    if (state.solidQuadric != nullptr) gluSphere(state.solidQuadric, 0.5, 10, 8);
  });
  lists[GFXDisplay::kShapeCircle] = Compile(CircleLoop);
  lists[GFXDisplay::kShapeArrow] = Compile(Arrow);
  const GLuint circle = lists[GFXDisplay::kShapeCircle];
  lists[GFXDisplay::kShapeGizmo] = Compile([circle] { Gizmo(circle); });
  lists[GFXDisplay::kShapeDisc] = Compile(Disc);
}

void DeleteShapeLists() {
  GFXDisplay::Block& state = State();
  if (state.wireQuadric != nullptr) gluDeleteQuadric(state.wireQuadric);
  if (state.solidQuadric != nullptr) gluDeleteQuadric(state.solidQuadric);
  state.wireQuadric = nullptr;
  state.solidQuadric = nullptr;
  for (uint32_t& list : state.shapeLists) {
    if (list != 0) glDeleteLists(list, 1);
    list = 0;
  }
}

uint32_t GetShapeList(int slot) { return slot >= 0 && slot < GFXDisplay::kShapeCount ? State().shapeLists[slot] : 0; }

}  // namespace GFX_GL
