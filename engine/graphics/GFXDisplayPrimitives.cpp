// Immediate-mode primitives: rectangles, quads, boxes, lines and the debug
// shapes. Each one counts what it draws into the render statistics.

#include <GL/gl.h>

#include <cmath>

#include "engine/foundation/Matrix4.h"
#include "engine/graphics/GFXDisplayBlock.h"
#include "engine/graphics/GFXStats.h"

namespace GFXDisplay {
namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int kBandSegments = 12;  // four times the detail value of 3
constexpr int kCapRings = 3;

GFXStats* Stats() { return GFXStats::GetInstance(); }

void StripVertex(float u, float v, float x, float y, float z) {
  glTexCoord2f(u, v);
  glVertex3f(x, y, z);
}

// The lit, textured open band of DrawSphere around the local Z axis.
void DrawBand(float length, float radius) {
  glBegin(GL_TRIANGLE_STRIP);
  for (int k = 0; k <= kBandSegments; ++k) {
    const float angle = 2.0f * kPi * float(k) / float(kBandSegments);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    glNormal3f(c, s, 0.0f);
    StripVertex(float(k) / kBandSegments, 1.0f, radius * c, radius * s, -length / 2.0f);
    StripVertex(float(k) / kBandSegments, 0.0f, radius * c, radius * s, length / 2.0f);
  }
  glEnd();
  Stats()->CountTriangleStrip(2 * (kBandSegments + 1));
}

// A half sphere closing the band at z = end, bulging along direction (+1/-1).
void DrawCap(float end, float radius, float direction) {
  for (int ring = 0; ring < kCapRings; ++ring) {
    const float a0 = (kPi / 2.0f) * float(ring) / kCapRings;
    const float a1 = (kPi / 2.0f) * float(ring + 1) / kCapRings;
    glBegin(GL_TRIANGLE_STRIP);
    for (int k = 0; k <= kBandSegments; ++k) {
      const float angle = 2.0f * kPi * float(k) / float(kBandSegments);
      const float c = std::cos(angle);
      const float s = std::sin(angle);
      for (float a : {a0, a1}) {
        const float ring_radius = std::cos(a);
        const float height = std::sin(a) * direction;
        glNormal3f(c * ring_radius, s * ring_radius, height);
        glVertex3f(radius * c * ring_radius, radius * s * ring_radius, end + radius * height);
      }
    }
    glEnd();
    Stats()->CountTriangleStrip(2 * (kBandSegments + 1));
  }
}

}  // namespace

void DrawRect(const Vector2& a, const Vector2& b) {
  glBegin(GL_TRIANGLE_STRIP);
  glVertex3f(a.x, a.y, 0.0f);
  glVertex3f(b.x, a.y, 0.0f);
  glVertex3f(a.x, b.y, 0.0f);
  glVertex3f(b.x, b.y, 0.0f);
  glEnd();
  Stats()->CountQuads(1);
}

void DrawTexturedRect(const Vector2& a, const Vector2& b) {
  glBegin(GL_TRIANGLE_STRIP);
  StripVertex(0.0f, 1.0f, a.x, a.y, 0.0f);
  StripVertex(1.0f, 1.0f, b.x, a.y, 0.0f);
  StripVertex(0.0f, 0.0f, a.x, b.y, 0.0f);
  StripVertex(1.0f, 0.0f, b.x, b.y, 0.0f);
  glEnd();
  Stats()->CountQuads(1);
}

void DrawTexturedRectUV(const Rect& p, const Rect& t) {
  glBegin(GL_TRIANGLE_STRIP);
  StripVertex(t.min.x, t.min.y, p.min.x, p.min.y, 0.0f);
  StripVertex(t.max.x, t.min.y, p.max.x, p.min.y, 0.0f);
  StripVertex(t.min.x, t.max.y, p.min.x, p.max.y, 0.0f);
  StripVertex(t.max.x, t.max.y, p.max.x, p.max.y, 0.0f);
  glEnd();
  Stats()->CountQuads(1);
}

void DrawTexturedRect2D(const Rect& p, const Rect& t) {
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(t.min.x, t.min.y);
  glVertex2f(p.min.x, p.min.y);
  glTexCoord2f(t.max.x, t.min.y);
  glVertex2f(p.max.x, p.min.y);
  glTexCoord2f(t.min.x, t.max.y);
  glVertex2f(p.min.x, p.max.y);
  glTexCoord2f(t.max.x, t.max.y);
  glVertex2f(p.max.x, p.max.y);
  glEnd();
  Stats()->CountQuads(1);
}

void DrawTexturedRectAtDepth(const Vector3& a, const Vector3& b, const Rect* uv) {
  const Rect whole{{0.0f, 1.0f}, {1.0f, 0.0f}, {0.5f, 0.5f}};
  const Rect& t = uv != nullptr ? *uv : whole;
  glBegin(GL_TRIANGLE_STRIP);
  StripVertex(t.min.x, t.min.y, a.x, a.y, a.z);
  StripVertex(t.max.x, t.min.y, b.x, a.y, a.z);
  StripVertex(t.min.x, t.max.y, a.x, b.y, b.z);
  StripVertex(t.max.x, t.max.y, b.x, b.y, b.z);
  glEnd();
  Stats()->CountQuads(1);
}

void DrawRectAtDepth(const Vector3& a, const Vector3& b) {
  glBegin(GL_TRIANGLE_STRIP);
  glVertex3f(a.x, a.y, a.z);
  glVertex3f(b.x, a.y, a.z);
  glVertex3f(a.x, b.y, a.z);
  glVertex3f(b.x, b.y, a.z);
  glEnd();
  Stats()->CountQuads(1);
}

void DrawQuad(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& p3) {
  glBegin(GL_TRIANGLE_STRIP);
  for (const Vector3* p : {&p0, &p1, &p2, &p3}) glVertex3f(p->x, p->y, p->z);
  glEnd();
  Stats()->CountQuads(1);
}

void DrawTexturedFace(const Vector3& a, const Vector3& b) {
  // The face spans the two corners; the axis on which they agree is its normal.
  glBegin(GL_TRIANGLE_STRIP);
  if (a.x == b.x) {
    StripVertex(0.0f, 1.0f, a.x, a.y, a.z);
    StripVertex(1.0f, 1.0f, a.x, a.y, b.z);
    StripVertex(0.0f, 0.0f, a.x, b.y, a.z);
    StripVertex(1.0f, 0.0f, a.x, b.y, b.z);
  } else if (a.y == b.y) {
    StripVertex(0.0f, 1.0f, a.x, a.y, a.z);
    StripVertex(1.0f, 1.0f, b.x, a.y, a.z);
    StripVertex(0.0f, 0.0f, a.x, a.y, b.z);
    StripVertex(1.0f, 0.0f, b.x, a.y, b.z);
  } else {
    StripVertex(0.0f, 1.0f, a.x, a.y, a.z);
    StripVertex(1.0f, 1.0f, b.x, a.y, a.z);
    StripVertex(0.0f, 0.0f, a.x, b.y, b.z);
    StripVertex(1.0f, 0.0f, b.x, b.y, b.z);
  }
  glEnd();
  Stats()->CountQuads(1);
}

void DrawPreviewCube(const Vector3& position, float scale) {
  constexpr float h = 0.5f;
  glPushMatrix();
  glTranslatef(position.x, position.y, position.z);
  glScalef(scale, scale, scale);
  DrawTexturedFace({-h, -h, h}, {h, h, h});
  DrawTexturedFace({h, -h, -h}, {-h, h, -h});
  DrawTexturedFace({-h, -h, -h}, {-h, h, h});
  DrawTexturedFace({h, -h, h}, {h, h, -h});
  DrawTexturedFace({-h, h, h}, {h, h, -h});
  DrawTexturedFace({-h, -h, -h}, {h, -h, h});
  glPopMatrix();
}

void DrawSolidBox(const Vector3& a, const Vector3& b) {
  glBegin(GL_QUADS);
  glNormal3f(0.0f, 0.0f, 1.0f);
  glVertex3f(a.x, a.y, b.z);
  glVertex3f(b.x, a.y, b.z);
  glVertex3f(b.x, b.y, b.z);
  glVertex3f(a.x, b.y, b.z);
  glNormal3f(0.0f, 0.0f, -1.0f);
  glVertex3f(a.x, a.y, a.z);
  glVertex3f(a.x, b.y, a.z);
  glVertex3f(b.x, b.y, a.z);
  glVertex3f(b.x, a.y, a.z);
  glNormal3f(0.0f, 1.0f, 0.0f);
  glVertex3f(a.x, b.y, a.z);
  glVertex3f(a.x, b.y, b.z);
  glVertex3f(b.x, b.y, b.z);
  glVertex3f(b.x, b.y, a.z);
  glNormal3f(0.0f, -1.0f, 0.0f);
  glVertex3f(a.x, a.y, a.z);
  glVertex3f(b.x, a.y, a.z);
  glVertex3f(b.x, a.y, b.z);
  glVertex3f(a.x, a.y, b.z);
  glNormal3f(1.0f, 0.0f, 0.0f);
  glVertex3f(b.x, a.y, a.z);
  glVertex3f(b.x, b.y, a.z);
  glVertex3f(b.x, b.y, b.z);
  glVertex3f(b.x, a.y, b.z);
  glNormal3f(-1.0f, 0.0f, 0.0f);
  glVertex3f(a.x, a.y, a.z);
  glVertex3f(a.x, a.y, b.z);
  glVertex3f(a.x, b.y, b.z);
  glVertex3f(a.x, b.y, a.z);
  glEnd();
  Stats()->CountQuads(6);
}

void DrawRectOutline2D(const Vector2& a, const Vector2& b) {
  glBegin(GL_LINE_LOOP);
  glVertex2f(a.x, a.y);
  glVertex2f(b.x, a.y);
  glVertex2f(b.x, b.y);
  glVertex2f(a.x, b.y);
  glEnd();
  Stats()->CountOutlines(1);
}

void DrawWireBox(const Vector3& a, const Vector3& b) {
  for (float z : {a.z, b.z}) {
    glBegin(GL_LINE_LOOP);
    glVertex3f(a.x, a.y, z);
    glVertex3f(b.x, a.y, z);
    glVertex3f(b.x, b.y, z);
    glVertex3f(a.x, b.y, z);
    glEnd();
  }
  for (float x : {a.x, b.x}) {
    glBegin(GL_LINE_LOOP);
    glVertex3f(x, a.y, a.z);
    glVertex3f(x, a.y, b.z);
    glVertex3f(x, b.y, b.z);
    glVertex3f(x, b.y, a.z);
    glEnd();
  }
  Stats()->CountLines(16);
}

void DrawLine(const Vector3& from, const Vector3& to, float width) {
  GLfloat oldWidth = 1.0f;
  glGetFloatv(GL_LINE_WIDTH, &oldWidth);
  glLineWidth(width);
  glBegin(GL_LINES);
  glVertex3f(from.x, from.y, from.z);
  glVertex3f(to.x, to.y, to.z);
  glEnd();
  glLineWidth(oldWidth);
  Stats()->CountLines(1);
}

void CallShapeList(const Vector3& position, float scale) {
  glPushMatrix();
  glTranslatef(position.x, position.y, position.z);
  glScalef(scale, scale, scale);
  glCallList(State().shapeLists[kShapeWireSphere]);
  glPopMatrix();
}

void DrawSphere(const Vector3& position, float length, float radius) {
  glPushMatrix();
  glTranslatef(position.x, position.y, position.z);
  DrawBand(length, radius);
  glPopMatrix();
}

void DrawBoundingSphere(const Cylinder& volume) { DrawSphere(volume.A, volume.AxisLength(), volume.radius); }

void DrawCapsule(const Capsule& volume) {
  const float length = volume.AxisLength();
  glPushMatrix();
  glTranslatef(volume.A.x, volume.A.y, volume.A.z);
  DrawBand(length, volume.radius);
  DrawCap(length / 2.0f, volume.radius, 1.0f);
  DrawCap(-length / 2.0f, volume.radius, -1.0f);
  glPopMatrix();
}

void DrawRing(const Vector3& centre, float radius) {
  const GFXViewVectors& view = State().view;
  const Vector3& f = view.back;
  const Vector3& u = view.right;
  const Vector3 side = Vector3::Cross(u, f);
  Matrix4 facing;
  facing.SetRow0(side);
  facing.SetRow1(u);
  facing.SetRow2(f);
  // A zero axis or a right axis parallel to the view axis has no inverse;
  // the partial result of the elimination would smear the ring across the
  // screen, so nothing is drawn.
  if (!(std::fabs(facing.Determinant3()) > 1e-12f)) return;
  const Matrix4 inverse = Matrix4::Invert(facing);

  SetRenderState(RenderFlag::BLENDING | RenderFlag::WIREFRAME);
  glPushMatrix();
  glTranslatef(centre.x, centre.y, centre.z);
  glScalef(radius, radius, radius);
  glMultMatrixf(inverse.Data());
  glLineWidth(2.0f);
  glColor4f(1.0f, 0.0f, 1.0f, 0.75f);
  glBegin(GL_LINE_LOOP);
  for (int degrees = 0; degrees < 360; degrees += 10) {
    const float a = float(degrees) * kPi / 180.0f;
    glVertex3f(std::cos(a), std::sin(a), 0.0f);
  }
  glEnd();
  glPopMatrix();
  Stats()->CountLines(36);
}

}  // namespace GFXDisplay
