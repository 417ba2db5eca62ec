// The textured sphere: a filled GLU quadric with texture coordinates, for
// backdrops seen from inside and bodies seen from outside.

#include <GL/gl.h>
#include <GL/glu.h>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXStats.h"

namespace GFXDisplay {
namespace {

constexpr GLint kSphereSlices = 32;
constexpr GLint kSphereStacks = 16;

}  // namespace

void DrawTexturedSphere(const Vector3& centre, float radius, bool inside) {
  GLUquadric* quadric = gluNewQuadric();
  if (quadric == nullptr) return;
  // GLU winds a sphere's outward faces counter-clockwise. The engine's
  // winding setting decides which faces are front, so the side to show
  // follows from it: seen from inside, the inward faces must be the front.
  GLint frontFace = GL_CCW;
  glGetIntegerv(GL_FRONT_FACE, &frontFace);
  const bool outwardIsFront = frontFace == GL_CCW;
  gluQuadricOrientation(quadric, inside == outwardIsFront ? GLU_INSIDE : GLU_OUTSIDE);
  gluQuadricDrawStyle(quadric, GLU_FILL);
  gluQuadricNormals(quadric, GLU_SMOOTH);
  gluQuadricTexture(quadric, GL_TRUE);
  glPushMatrix();
  glTranslatef(centre.x, centre.y, centre.z);
  gluSphere(quadric, radius, kSphereSlices, kSphereStacks);
  glPopMatrix();
  gluDeleteQuadric(quadric);
  // Two triangles a cell; the pole cells are fans, counted the same.
  GFXStats::GetInstance()->CountQuads(static_cast<uint32_t>(kSphereSlices * kSphereStacks));
}

}  // namespace GFXDisplay
