#include "engine/scene/SCNScene.h"

#include "engine/scene/Log3ME.h"

bool CSCNScene::Load(const char* fileName) {
    Log3ME("CSCNScene::Load - ERROR : %s : scene files are not supported", fileName != nullptr ? fileName : "");
    return false;
}

void CSCNScene::Release() {}
