#include "GameDisplay.h"

#include <gtest/gtest.h>

#include "engine/app/GEMApplication.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/RenderState.h"
#include "engine/graphics/TextureManager.h"
#include "engine/runtime/display/Display.h"
#include "engine/scene/core/SceneDrawingHooks.h"
#include "engine/scene/model/ModelManager.h"
#include "game/puzzle/Game.h"

namespace puzzle_test {

CDisplay* OpenGameDisplay(Game& game, int width, int height) {
  GFXDisplay::WriteRenderState(RenderFlag::INITIAL);
  GFXDisplay::InstallHooks();
  InstallSceneDrawingHooks();
  CDisplay* display = GetDisplay();
  display->Configure("game device test", width, height, 32, false);
  EXPECT_TRUE(display->Recreate());
  GEMServices services;
  services.display = display;
  game.Initialise(services);
  game.ApplyStoredDisplayState();
  EXPECT_TRUE(game.CanDraw());
  return display;
}

void CloseGameDisplay() {
  C3MEManager::Shutdown();
  GFXDisplay::DeleteAllFonts();
  GetDisplay()->KillGLWindow();
  GFXDisplay::ForgetBindings();
  GFXDisplay::SetDefaultMaterial(nullptr);
  CMATManager::DestroyInstance();
  CTEXManager::DestroyInstance();
  CDisplay::SetHooks(DisplayHooks{});
}

void LoadQueuedResources() {
  C3MEManager::Instance().LoadResources();
  CMATManager::GetInstance()->ResolveTextures();
  CTEXManager::GetInstance()->LoadQueued(false);
}

}  // namespace puzzle_test
