#include "engine/app/GEMCommandServices.h"

#include "engine/app/DisplayChange.h"
#include "engine/app/GEMApplication.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/runtime/console/CommandRegistry.h"
#include "engine/runtime/console/VariableRegistry.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/settings/Settings.h"

bool GEMCommandServices::LoadViewerModel(const String& fileName) { return application_->LoadViewerModel(fileName); }

bool GEMCommandServices::LoadMaterialLibrary(const String& fileName) {
  CMATManager* materials = CMATManager::GetInstance();
  if (!materials->ReadLibrary(fileName.Chars())) return false;
  materials->ResolveTextures();
  if (application_->CanDraw()) CTEXManager::GetInstance()->LoadQueued(false);
  return true;
}

bool GEMCommandServices::LoadScene(const String& fileName) { return application_->LoadScene(fileName); }

void GEMCommandServices::RequestShutdown() {
  const int32_t self = application_->GetGEMReceiverId();
  GetGEMMSGService()->Post(eMSG_Shutdown, self, self, 0, 0.0);
}

void GEMCommandServices::ShowModelViewer() { application_->options.modelViewer = 1; }

void GEMCommandServices::ChangeDisplay(int32_t width, int32_t height, int32_t depth, bool fullscreen) {
  CSettings* settings = application_->Services().settings;
  CDisplay* display = application_->Services().display;
  if (settings == nullptr || display == nullptr) return;
  settings->width = width;
  settings->height = height;
  settings->depth = depth;
  settings->fullscreen = fullscreen;
  settings->modified = true;
  ApplyDisplaySettings(*settings, *display);
}

void GEMCommandServices::DumpSettings() {
  if (CSettings* settings = application_->Services().settings) settings->Dump();
}

void GEMCommandServices::ListCommands() { CCommandRegistry::Get()->List(); }

void GEMCommandServices::ListVariables() { CVariableRegistry::Get()->List(); }
