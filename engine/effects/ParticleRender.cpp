#include <GL/gl.h>

#include "engine/effects/ParticleManager.h"
#include "engine/graphics/EffectHooks.h"
#include "engine/graphics/GFXStats.h"
#include "engine/graphics/Material.h"

bool ParticleManager::Render() {
  // Without a material nothing is written to the vertex array: the live
  // particles are drawn as points.
  if (material != nullptr ? drawnCount == 0 : liveCount == 0) return true;
  const bool inOwnFrame = spaceMode == 0 || spaceMode == 2;
  if (inOwnFrame) {
    glPushMatrix();
    glMultMatrixf(node.world.m);
  }
  if (material != nullptr) {
    glInterleavedArrays(GL_T2F_C4F_N3F_V3F, sizeof(EffectVertex), vertices);
    GFXDisplay::SetRenderState(renderStateWord);
    EffectMakeMaterialCurrent(material);
    const GLenum primitive = quads != 0 ? GL_QUADS : GL_TRIANGLES;
    for (int stage = 0; stage < material->StageCount(); ++stage) {
      EffectBindStage(material, stage);
      if (GFXStats::Exists()) {
        GFXStats::GetInstance()->Add(GFXStats::kTriangles, static_cast<uint32_t>(drawnCount) * (quads != 0 ? 2u : 1u));
      }
      glDrawArrays(primitive, 0, drawnCount * VerticesPerParticle());
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
  } else {
    GFXDisplay::SetRenderState(1);
    // GL refuses a point size of 0 or less; such a system still shows its
    // particles, a pixel each.
    glPointSize(sizeMin > 0.0f ? sizeMin : 1.0f);
    glBegin(GL_POINTS);
    for (int32_t i = 0; i < liveCount; ++i) {
      const Particle& p = *live[i];
      glColor4f(p.colour[0], p.colour[1], p.colour[2], p.colour[3]);
      glVertex3f(p.position.x, p.position.y, p.position.z);
    }
    glEnd();
  }
  if (inOwnFrame) glPopMatrix();
  return true;
}
