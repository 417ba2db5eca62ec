#include "engine/app/DisplayRebuild.h"

#include "engine/app/GEMApplication.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/GFXLight.h"
#include "engine/graphics/RenderState.h"
#include "engine/graphics/TextureManager.h"
#include "engine/gui/MouseCursor.h"
#include "engine/runtime/display/Display.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelManager.h"

DisplayRebuild RebuildDisplay(CDisplay& display, CGEMApplication& application) {
  if (!display.HasState(CDisplay::kChangePending)) return DisplayRebuild::kNone;
  // The font and model lists belong to the context about to go: they are
  // released while it is current (once it is gone, their numbers would name
  // the new context's own lists), and compiled again on the next draw.
  if (display.HasContext()) {
    GFXDisplay::DeleteFontLists();
    C3MEManager& models = C3MEManager::Instance();
    for (uint32_t i = 0; i < models.GetModelCount(); ++i) {
      if (C3MEModel* model = models.GetModelAt(i)) model->ReleaseDisplayLists();
    }
  }
  if (!display.Recreate()) return DisplayRebuild::kFailed;
  CTEXManager::GetInstance()->UnloadAll();
  GFX_GL::ReinstallShaders();
  GFXDisplay::ResetRenderStateCache();
  // The lights hold what was last set up, by the engine or by the game: the
  // new context gets exactly that, not the engine's start-up light again.
  ReapplyStaticLights();
  application.OnDisplayRebuilt();
  GetMouseCursor()->SetScale(display.GetWidth(), display.GetHeight());
  return DisplayRebuild::kRebuilt;
}
