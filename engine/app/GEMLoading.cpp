// What the application loads on request: the model viewer's model and a
// scene.

#include "engine/app/GEMApplication.h"
#include "engine/foundation/Log.h"
#include "engine/graphics/TextureManager.h"
#include "engine/scene/core/SCNScene.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelManager.h"

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
