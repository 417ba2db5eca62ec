#include "engine/scene/SCNInstance.h"

#include "engine/foundation/Log.h"
#include "engine/scene/Model.h"
#include "engine/scene/ModelDrawing.h"

CSCNInstance::DrawModelHook& CSCNInstance::DrawHook() {
    static DrawModelHook hook = nullptr;
    return hook;
}

bool CSCNInstance::Render() {
    if (model == nullptr) return false;
    if (DrawHook() != nullptr) DrawHook()(model);
    return true;
}

bool CSCNInstance::Update() {
    if (model == nullptr || model->loadState != C3MEModel::kLoaded || model->prepared) return false;
    GFXDisplay::PrepareModelMatrices(model);
    LogGEM("Scene model loaded and initialised - %s", model->name.Chars());
    return true;
}
