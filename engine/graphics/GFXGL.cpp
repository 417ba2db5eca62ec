// GL start-up and shut-down, the default material, and the hooks that plug
// the renderer into the display, the profiler and the material stages.

#include "engine/graphics/GFXGL.h"

#include <GL/gl.h>

#include "engine/foundation/Profiler.h"
#include "engine/graphics/EffectHooks.h"
#include "engine/graphics/GFXDisplayBlock.h"
#include "engine/graphics/GFXGLInternal.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/runtime/console/VariableRegistry.h"
#include "engine/runtime/display/Display.h"

namespace GFX_GL {
namespace {

bool gStarted = false;

void RegisterVariables() {
  CVariableRegistry* variables = CVariableRegistry::Get();
  variables->Register(String("gfx:3me:showbvs"), kCVarBool, &GFXDisplay::ShowBoundingVolumes(),
                      String("[0 / 1] Toggles 3ME bounding volume rendering"));
  GFXDisplay::RegisterRenderStateVariables();
  variables->Register(String("gfx:depthoffset"), kCVarFloat, &GFXDisplay::DepthOffsetSetting(),
                      String("Sets the polygon offset depth"));
}

}  // namespace

void Start() {
  if (!gStarted) {
    GFXDisplay::Log("/=");
    GFXDisplay::Log("[GFX_GL] Initialised...");
    // A fresh context has every state off and nothing bound: the remembered
    // word and bindings of an earlier context must not hide that.
    GFXDisplay::WriteRenderState(0);
    GFXDisplay::ResetRenderStateCache();
    BuildShapeLists();
    CreateDefaultMaterial();
    gStarted = true;
    FetchEntryPoints();
    RegisterVariables();
  }
  glFrontFace(GFXDisplay::WindingFlag() != 0 ? GL_CCW : GL_CW);
  // Models are placed and sized through the modelview matrix, which scales
  // their normals too: unrenormalised, a gem drawn at a quarter size gets
  // normals four times too long, and its diffuse and specular terms blow
  // out to white. No render word touches this, so it stays on for the
  // context's life.
  glEnable(GL_NORMALIZE);
  GFXDisplay::SetRenderState(RenderFlag::STARTUP);
  GFXDisplay::Block& state = GFXDisplay::State();
  state.depthFunction = state.defaultDepthFunction;
  glDepthFunc(GL_LESS);
}

void Stop() {
  if (!gStarted) return;
  GFXDisplay::Log("/=");
  GFXDisplay::Log("[GFX_GL] Shutting down...");
  DeleteShapeLists();
  gStarted = false;
  GFXDisplay::Log("/=");
}

bool IsStarted() { return gStarted; }

void CreateDefaultMaterial() {
  CMATMaterial* material = CMATManager::GetInstance()->GetMaterial("Default");
  GFXDisplay::SetDefaultMaterial(material);
  if (material == nullptr) return;
  CMATStage* first = material->GetStage(0);
  if (first == nullptr) return;
  first->mapName = "TEXDefault";
  first->flags |= StageFlag::MAP | StageFlag::FRONT | StageFlag::BACK;
  first->currentFrame = 1;
}

}  // namespace GFX_GL

namespace GFXDisplay {
namespace {

void ProfilerBegin() { SetRenderState(GetRenderState() | RenderFlag::BLENDING); }

void ProfilerLine(const Vector3& from, const Vector3& to, const float colour[4], float width) {
  glColor4f(colour[0], colour[1], colour[2], colour[3]);
  DrawLine(from, to, width);
}

void ProfilerEnd() { glDepthFunc(GL_LESS); }

uint32_t DisplaySetRenderState(uint32_t word) { return SetRenderState(word); }

uint32_t DisplayGetRenderState() { return GetRenderState(); }

int32_t InstallStageShader(const char* vertexShader, const char* pixelShader) {
  return GFX_GL::LoadShader(vertexShader, pixelShader);
}

// Sprites, particles and beams bind through the renderer once it runs, so
// their passes share its render-state cache and statistics.
void EffectBindStageOfCurrent(CMATMaterial*, int stage) { BindMaterialStage(stage); }

void EffectCameraAxes(Vector3* right, Vector3* up, Vector3* position) {
  const GFXViewVectors& view = ViewVectors();
  *right = view.right;
  *up = view.up;
  *position = view.position;
}

}  // namespace

void InstallHooks() {
  DisplayHooks display;
  display.startGl = &GFX_GL::Start;
  display.stopGl = &GFX_GL::Stop;
  display.getRenderState = &DisplayGetRenderState;
  display.setRenderState = &DisplaySetRenderState;
  CDisplay::SetHooks(display);

  ProfilerDrawHooks profiler;
  profiler.begin = &ProfilerBegin;
  profiler.line = &ProfilerLine;
  profiler.end = &ProfilerEnd;
  Profiler::SetDrawHooks(profiler);

  StageShaderHooks shaders;
  shaders.install = &InstallStageShader;
  shaders.remove = &GFX_GL::DeleteShader;
  SetStageShaderHooks(shaders);

  EffectHooks& effects = GetEffectHooks();
  effects.makeMaterialCurrent = &SetMaterial;
  effects.bindStage = &EffectBindStageOfCurrent;
  effects.bindTexture = &BindTexture;
  effects.viewVectors = &EffectCameraAxes;
}

}  // namespace GFXDisplay
