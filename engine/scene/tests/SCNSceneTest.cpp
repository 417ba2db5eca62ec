#include <gtest/gtest.h>

#include "engine/scene/SCNScene.h"
#include "support/SceneTestSupport.h"

namespace {

TEST(SCNScene, LoadIsRefusedAndLogged) {
    LogCapture log;
    CSCNScene scene;
    EXPECT_FALSE(scene.Load("Resources/Scenes/level.lib"));
    EXPECT_TRUE(log.Contains("CSCNScene::Load - ERROR : Resources/Scenes/level.lib"));
    scene.Release();
}

}  // namespace
