#include "engine/graphics/RenderState.h"

#include <GL/gl.h>

#include "engine/graphics/GFXDisplay.h"
#include "engine/runtime/console/VariableRegistry.h"

namespace {

struct RenderStateBlock {
  GFXRenderFlags current = RenderFlag::INITIAL;
  GFXRenderFlags saved = 0;
  uint8_t winding = 0;
  // Set when GL may not hold what the current word says (a fresh context):
  // the next apply then sends every state, not just the difference.
  bool sendAll = false;
};

RenderStateBlock& State() {
  static RenderStateBlock block;
  return block;
}

constexpr const char* kFlagNames[32] = {"POINTS",
                                        "WIREFRAME",
                                        "SOLID",
                                        "TEXTURED",
                                        "LIGHTING",
                                        "DEPTHTEST",
                                        "NOMATERIALS",
                                        "DBLSIDED",
                                        "BLENDING",
                                        "STENCILTEST",
                                        "CULLFRONT",
                                        "CULLBACK",
                                        "ALPHATEST",
                                        "SCISSOR",
                                        "CCW",
                                        "COMPILE3ME",
                                        "TWOSIDEDLIGHTING",
                                        "FLATSHADING",
                                        "",
                                        "",
                                        "",
                                        "",
                                        "",
                                        "",
                                        "",
                                        "",
                                        "CLAMP_S",
                                        "CLAMP_T",
                                        "PLANAR_MAPPING",
                                        "ENVIRONMENT_MAPPING",
                                        "TAG_STATE",
                                        "OVERIDE"};

bool Has(GFXRenderFlags word, GFXRenderFlags flag) { return (word & flag) != 0; }

void SetTextureGeneration(GLint mode) {
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, mode);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, mode);
}

void ApplyEnabling(GFXRenderFlags on) {
  using namespace RenderFlag;
  GLenum face = GL_FRONT;
  if (Has(on, CULLFRONT)) {
    face = GL_BACK;
    glPolygonMode(GL_BACK, GL_FILL);
  } else if (Has(on, CULLBACK)) {
    face = GL_FRONT;
    glPolygonMode(GL_FRONT, GL_FILL);
  } else if (Has(on, DBLSIDED)) {
    glDisable(GL_CULL_FACE);
    face = GL_FRONT_AND_BACK;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  }

  if (Has(on, POINTS)) {
    glPolygonMode(face, GL_POINT);
  } else if (Has(on, WIREFRAME)) {
    glPolygonMode(face, GL_LINE);
  } else if (Has(on, SOLID | TEXTURED)) {
    glPolygonMode(face, GL_FILL);
  }

  if (Has(on, SCISSOR)) glEnable(GL_SCISSOR_TEST);
  if (Has(on, LIGHTING)) glEnable(GL_LIGHTING);
  if (Has(on, TWOSIDEDLIGHTING)) glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
  if (Has(on, FLATSHADING)) glShadeModel(GL_FLAT);
  if (Has(on, DEPTHTEST)) glEnable(GL_DEPTH_TEST);
  if (Has(on, ALPHATEST)) glEnable(GL_ALPHA_TEST);
  if (Has(on, TEXTURED)) glEnable(GL_TEXTURE_2D);
  if (Has(on, BLENDING)) glEnable(GL_BLEND);
  if (Has(on, STENCILTEST)) glEnable(GL_STENCIL_TEST);

  if (Has(on, CULLBACK)) {
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
  } else if (Has(on, CULLFRONT)) {
    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);
  }

  if (Has(on, CLAMP_S)) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  if (Has(on, CLAMP_T)) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);

  if (Has(on, ENVIRONMENT_MAPPING)) {
    SetTextureGeneration(GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
  }
  if (Has(on, PLANAR_MAPPING)) {
    SetTextureGeneration(GL_OBJECT_LINEAR);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
  }
}

void ApplyDisabling(GFXRenderFlags on, GFXRenderFlags off) {
  using namespace RenderFlag;
  if (Has(off, SCISSOR)) glDisable(GL_SCISSOR_TEST);
  if (Has(off, LIGHTING)) glDisable(GL_LIGHTING);
  if (Has(off, TWOSIDEDLIGHTING)) glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
  if (Has(off, FLATSHADING)) glShadeModel(GL_SMOOTH);
  if (Has(off, DEPTHTEST)) glDisable(GL_DEPTH_TEST);
  if (Has(off, ALPHATEST)) glDisable(GL_ALPHA_TEST);
  if (Has(off, TEXTURED)) glDisable(GL_TEXTURE_2D);
  if (Has(off, BLENDING)) glDisable(GL_BLEND);
  if (Has(off, STENCILTEST)) glDisable(GL_STENCIL_TEST);

  // Culling, kept exactly as the engine has always ordered it: dropping one
  // side bit turns culling to the other side rather than off.
  const bool frontOff = Has(off, CULLFRONT);
  const bool backOff = Has(off, CULLBACK);
  if (Has(on, DBLSIDED)) {
    if (frontOff && backOff) glDisable(GL_CULL_FACE);
  } else if (backOff && !frontOff) {
    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);
  } else if (frontOff && !backOff) {
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
  }

  if (Has(off, CLAMP_S)) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  if (Has(off, CLAMP_T)) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

  if (Has(off, ENVIRONMENT_MAPPING | PLANAR_MAPPING)) {
    SetTextureGeneration(GL_OBJECT_LINEAR);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
  }
}

}  // namespace

namespace GFXDisplay {

GFXRenderFlags SetRenderState(GFXRenderFlags word) {
  RenderStateBlock& state = State();
  if (Has(state.current, RenderFlag::OVERIDE)) return state.current;

  glFrontFace(state.winding != 0 ? GL_CCW : GL_CW);
  // After a reset GL is taken to hold nothing of the current word: every bit
  // of the new word is turned on and every other bit off.
  const GFXRenderFlags was = state.sendAll ? ~word : state.current;
  state.sendAll = false;
  const GFXRenderFlags changed = was ^ word;
  const GFXRenderFlags on = changed & word;
  // Alpha testing is always in the disabling set: it lasts only from the bind
  // of an RGBA texture to the next apply.
  const GFXRenderFlags off = (was & changed) | RenderFlag::ALPHATEST;
  if (on != 0) ApplyEnabling(on);
  ApplyDisabling(on, off);

  if (Has(word, RenderFlag::TAG_STATE)) state.saved = state.current;
  state.current = word;
  return word;
}

GFXRenderFlags GetRenderState() { return State().current; }

void ResetRenderStateCache() {
  State().sendAll = true;
  ForgetBindings();
}

GFXRenderFlags GetSavedRenderState() { return State().saved; }

void WriteRenderState(GFXRenderFlags word) { State().current = word; }

void LockRenderState(bool locked) {
  GFXRenderFlags& current = State().current;
  current = locked ? (current | RenderFlag::OVERIDE) : (current & ~RenderFlag::OVERIDE);
}

uint8_t& WindingFlag() { return State().winding; }

const char* RenderFlagName(int bit) { return bit >= 0 && bit < 32 ? kFlagNames[bit] : ""; }

std::string RenderFlagsToText(GFXRenderFlags word) {
  std::string text;
  for (int bit = 0; bit < 32; ++bit) {
    if ((word & (1u << bit)) == 0 || kFlagNames[bit][0] == '\0') continue;
    if (!text.empty()) text += '|';
    text += kFlagNames[bit];
  }
  return text;
}

void RegisterRenderStateVariables() {
  CVariableRegistry::Get()->Register(String("gfx:winding"), kCVarBool, &WindingFlag(),
                                     String("[ 0 = CW / 1 = CCW] Controls triangle winding direction"));
}

}  // namespace GFXDisplay
