// What the application loads on request: the model viewer's model and a
// scene, and the developer console's phrases.

#include "engine/app/GEMApplication.h"
#include "engine/foundation/Log.h"
#include "engine/graphics/TextureManager.h"
#include "engine/runtime/settings/Settings.h"
#include "engine/scene/core/SCNScene.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelManager.h"
#include "engine/tools/DBGSystemWindow.h"

bool CGEMApplication::LoadViewerModel(const String& fileName) {
  C3MEManager& models = C3MEManager::Instance();
  if (viewerModel != nullptr) {
    models.ReleaseModel(viewerModel);
    viewerModel = nullptr;
  }
  C3MEModel* model = models.GetModel(fileName);
  models.LoadResources();
  if (model == nullptr) return false;
  if (model->loadState != C3MEModel::kLoaded) {
    // A failed model would stay registered as failed and block a later try.
    models.ReleaseModel(model);
    return false;
  }
  if (CanDraw()) CTEXManager::GetInstance()->LoadQueued(false);
  if (options.scaleOnLoad) model->SetSize(200.0f);
  model->PrepareMatrices();
  viewerModel = model;
  return true;
}

bool CGEMApplication::LoadScene(const String& fileName) {
  if (loadedScene != nullptr) {
    loadedScene->Release();
    delete loadedScene;
  }
  loadedScene = new CSCNScene();
  return loadedScene->Load(fileName.Chars());
}

void CGEMApplication::HandleConsolePhrase() {
  if (developerWindow == nullptr) return;
  DBGConsoleLine& line = developerWindow->consoleLine;
  if (line.command == "HIDE" && line.argument == "3ME") {
    options.modelViewer = 0;
    line.handled = 1;
  } else if (line.command == "GET" && line.argument == "SETTINGS") {
    if (services_.settings != nullptr) services_.settings->Dump();
    line.handled = 1;
  }
}
