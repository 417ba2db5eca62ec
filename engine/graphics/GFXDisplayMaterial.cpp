// Putting materials, stages and textures into GL state, and drawing mesh
// groups with one pass per stage.

#include <GL/gl.h>

#include "engine/graphics/GFXDisplayBlock.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/GFXStats.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/Texture.h"

namespace GFXDisplay {
namespace {

using namespace RenderFlag;

constexpr GFXRenderFlags kMaterialSideBits = CULLFRONT | CULLBACK;

// One of the four stage colours: sent when the stage has it, else the
// renderer's default is sent unless it is known to be in GL already.
void SendStageColour(Block& state, GLenum face, uint32_t stageFlags, uint32_t flag, int slot, GLenum name,
                     const float* stageColour, const float* defaultColour) {
  if ((stageFlags & flag) != 0) {
    for (int i = 0; i < 4; ++i) state.scratchColour[i] = stageColour[i];
    glMaterialfv(face, name, state.scratchColour);
    state.defaultColourSent[slot] = 0;
  } else if (state.defaultColourSent[slot] == 0 || face != state.lastStageFace) {
    glMaterialfv(face, name, defaultColour);
    state.defaultColourSent[slot] = 1;
  }
}

void LoadTextureMatrix(const CMATStage& stage) {
  glMatrixMode(GL_TEXTURE);
  const uint8_t bits = stage.uvTrackBits;
  const float su = (bits & UVTrackBit::USCALE) != 0 ? stage.uvTracks[kUScale].GetCurrent() : 1.0f;
  const float sv = (bits & UVTrackBit::VSCALE) != 0 ? stage.uvTracks[kVScale].GetCurrent() : 1.0f;
  if (su != 1.0f || sv != 1.0f) glScalef(su, sv, 1.0f);
  if ((bits & UVTrackBit::ROTATE) != 0) {
    glTranslatef(su / 2.0f, sv / 2.0f, 0.0f);
    glRotatef(stage.uvTracks[kRotate].GetCurrent(), 0.0f, 0.0f, 1.0f);
    glTranslatef(-su / 2.0f, -sv / 2.0f, 0.0f);
  }
  const float tu =
      (bits & (UVTrackBit::USCROLL | UVTrackBit::USTEP)) != 0 ? stage.uvTracks[kUScroll].GetCurrent() : 0.0f;
  const float tv =
      (bits & (UVTrackBit::VSCROLL | UVTrackBit::VSTEP)) != 0 ? stage.uvTracks[kVScroll].GetCurrent() : 0.0f;
  if (tu != 0.0f || tv != 0.0f) glTranslatef(tu, tv, 0.0f);
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace

void SetMaterial(CMATMaterial* material) {
  Block& state = State();
  if ((GetRenderState() & NOMATERIALS) != 0) return;
  CMATMaterial* chosen = material != nullptr ? material : state.defaultMaterial;
  if (chosen != nullptr && chosen->parent != nullptr) chosen = chosen->parent;
  if (chosen == nullptr || chosen == state.currentMaterial) return;
  chosen->SetInUse(true);
  state.currentMaterial = chosen;

  GFXRenderFlags word = GetRenderState() & ~kMaterialSideBits;
  const uint32_t sides = chosen->Sides();
  // Front side 0x100 becomes CULLFRONT (bit 10), back side 0x200 CULLBACK (bit 11).
  word |= sides << 2;
  if ((sides & (MaterialSide::FRONT | MaterialSide::BACK)) == 0) word |= DBLSIDED;
  SetRenderState(word);
}

void BindMaterialStage(int stageIndex) {
  Block& state = State();
  GFXRenderFlags word = GetRenderState();
  const CMATMaterial* material = state.currentMaterial;
  if ((word & NOMATERIALS) != 0 || material == nullptr || material->StageCount() <= 0 || stageIndex < 0 ||
      stageIndex >= material->StageCount()) {
    return;
  }
  const CMATStage& stage = *material->GetStage(uint32_t(stageIndex));
  const uint32_t flags = stage.flags;
  const bool textured = (flags & StageFlag::MAP) != 0;

  if (textured) {
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
  }

  GLenum face = GL_FRONT;
  if ((flags & StageFlag::BACK) != 0) face = (flags & StageFlag::FRONT) != 0 ? GL_FRONT_AND_BACK : GL_BACK;

  if ((flags & (StageFlag::PUNCH | StageFlag::BLEND)) != 0) {
    glBlendFunc(stage.blendSource, stage.blendDestination);
    word |= BLENDING;
  } else {
    word &= ~BLENDING;
  }

  if ((flags & StageFlag::COLOUR) != 0) {
    glColor4f(stage.colour[0], stage.colour[1], stage.colour[2], stage.colour[3]);
  } else {
    glColor4f(1.0f, 1.0f, 1.0f, stage.colour[3]);
  }

  SendStageColour(state, face, flags, StageFlag::AMBIENT, 0, GL_AMBIENT, stage.ambient, state.defaultAmbient);
  SendStageColour(state, face, flags, StageFlag::DIFFUSE, 1, GL_DIFFUSE, stage.diffuse, state.defaultDiffuse);
  SendStageColour(state, face, flags, StageFlag::SPECULAR, 2, GL_SPECULAR, stage.specular, state.defaultSpecular);
  SendStageColour(state, face, flags, StageFlag::EMISSIVE, 3, GL_EMISSION, stage.emissive, state.defaultEmission);
  glMaterialf(face, GL_SHININESS, (flags & StageFlag::SHININESS) != 0 ? stage.shininess : 0.0f);

  word &= ~(WIREFRAME | SOLID | TEXTURED | ENVIRONMENT_MAPPING);
  if (textured) {
    word |= SOLID | TEXTURED;
    if ((flags & StageFlag::MODIFY_UV) != 0) LoadTextureMatrix(stage);
    if ((flags & StageFlag::REFLECTION) != 0) {
      word |= ENVIRONMENT_MAPPING;
    } else {
      // Stages carry no border colour of their own: clamped edges fade to
      // transparent black.
      static const GLfloat kBorder[4] = {0.0f, 0.0f, 0.0f, 0.0f};
      if ((flags & StageFlag::CLAMP_S) != 0) {
        word |= CLAMP_S;
        glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, kBorder);
      }
      if ((flags & StageFlag::CLAMP_T) != 0) {
        word |= CLAMP_T;
        glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, kBorder);
      }
      if ((flags & StageFlag::OBJECT_LINEAR) != 0) word |= PLANAR_MAPPING;
      glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    BindTexture(stage.texture);
  } else if ((flags & StageFlag::SOLID) == 0) {
    word = (word & ~LIGHTING) | WIREFRAME;
    glLineWidth(stage.lineWidth);
  } else {
    word |= SOLID;
  }

  if ((flags & StageFlag::LIGHTING_FLIP) != 0) {
    word |= TWOSIDEDLIGHTING;
  } else {
    word &= ~TWOSIDEDLIGHTING;
  }
  state.lastStageFace = face;

  if (GFX_GL::ShadersSupported()) GFX_GL::UseShader(stage.shaderHandle >= 0 ? stage.shaderHandle : 0);
  SetRenderState(word);
}

void BindTexture(const CTEXTexture* texture) {
  Block& state = State();
  if (texture == nullptr) {
    const CMATMaterial* fallback = state.defaultMaterial;
    const CMATStage* first = fallback != nullptr ? fallback->GetStage(0) : nullptr;
    texture = first != nullptr ? first->texture : nullptr;
    if (texture == nullptr) return;
  }
  if (state.textureBound && texture->GLName() == state.lastBoundTexture) return;
  texture->Bind();
  state.lastBoundTexture = texture->GLName();
  state.textureBound = true;
}

void SetMaterialByIndex(uint32_t n) { SetMaterial(CMATManager::GetInstance()->GetMaterialAt(n)); }

CMATMaterial* GetCurrentMaterial() { return State().currentMaterial; }

CMATMaterial* GetDefaultMaterial() { return State().defaultMaterial; }

void SetDefaultMaterial(CMATMaterial* material) { State().defaultMaterial = material; }

void ForgetBindings() {
  Block& state = State();
  state.currentMaterial = nullptr;
  state.textureBound = false;
  state.lastBoundTexture = 0;
  for (uint8_t& sent : state.defaultColourSent) sent = 0;
}

int PassCount(const CMATMaterial* material) {
  const int stages = material != nullptr ? material->StageCount() : 0;
  const int perPass = State().stagesPerPass;
  const int passes = (stages + perPass - 1) / perPass;
  return passes < 1 ? 1 : passes;
}

void BeginMaterialPass(int pass) {
  Block& state = State();
  if (pass < 1 || state.depthFunction == kDepthLessOrEqual) return;
  // The overlay sets its depth function without the renderer, so GL is asked.
  GLint function = GL_LESS;
  glGetIntegerv(GL_DEPTH_FUNC, &function);
  if (function != GL_LESS) return;
  glDepthFunc(GL_LEQUAL);
  state.depthFunction = kDepthLessOrEqual;
}

void EndMaterialPasses() {
  Block& state = State();
  if (state.depthFunction != kDepthLessOrEqual) return;
  glDepthFunc(GL_LESS);
  state.depthFunction = kDepthLess;
}

void SetVertexArrays(const void* vertices, const void* texCoords) {
  constexpr GLsizei kVertexStride = 28;
  constexpr size_t kNormalOffset = 4;
  constexpr size_t kPositionOffset = 16;
  const auto* bytes = static_cast<const uint8_t*>(vertices);
  glVertexPointer(3, GL_FLOAT, kVertexStride, bytes + kPositionOffset);
  glEnableClientState(GL_VERTEX_ARRAY);
  glColorPointer(4, GL_UNSIGNED_BYTE, kVertexStride, bytes);
  glNormalPointer(GL_FLOAT, kVertexStride, bytes + kNormalOffset);
  glEnableClientState(GL_NORMAL_ARRAY);
  if (texCoords != nullptr) {
    glTexCoordPointer(2, GL_FLOAT, 8, texCoords);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  } else {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
}

uint32_t PrimitiveMode(int32_t primitiveKind) {
  switch (primitiveKind) {
    case 1:
      return GL_TRIANGLE_STRIP;
    case 2:
      return GL_TRIANGLE_FAN;
    default:
      return GL_TRIANGLES;
  }
}

void CountGroupTriangles(int32_t primitiveKind, uint32_t indexCount) {
  GFXStats* stats = GFXStats::GetInstance();
  if (primitiveKind == 1 || primitiveKind == 2) {
    stats->CountTriangleStrip(indexCount);
  } else {
    stats->CountTriangleList(indexCount);
  }
}

void DrawMeshGroup(CMATMaterial* material, int32_t primitiveKind, uint16_t indexCount, const uint16_t* indices) {
  if (indexCount < 3 || indices == nullptr) return;
  SetMaterial(material);
  const CMATMaterial* current = State().currentMaterial;
  // With materials locked the caller has put its own stage in force (display
  // lists of geometry only): the group is drawn once, not once per stage of
  // whatever material happens to be current, which a later pass's depth rule
  // would lay over itself.
  const bool locked = (GetRenderState() & NOMATERIALS) != 0;
  const int passes = locked ? 1 : PassCount(current);
  for (int pass = 0; pass < passes; ++pass) {
    const CMATStage* stage = current != nullptr ? current->GetStage(uint32_t(pass)) : nullptr;
    const bool ownColour = stage != nullptr && (stage->flags & (StageFlag::COLOUR | StageFlag::EMISSIVE)) != 0;
    if (ownColour) {
      glDisableClientState(GL_COLOR_ARRAY);
    } else {
      glEnableClientState(GL_COLOR_ARRAY);
    }
    BeginMaterialPass(pass);
    BindMaterialStage(pass);
    glDrawElements(PrimitiveMode(primitiveKind), indexCount, GL_UNSIGNED_SHORT, indices);
    CountGroupTriangles(primitiveKind, indexCount);
  }
  EndMaterialPasses();
}

}  // namespace GFXDisplay
