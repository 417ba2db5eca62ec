#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/scene/core/SCNScene.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelManager.h"
#include "platform/TempFolder.h"
#include "support/SceneTestSupport.h"

namespace {

const char* const kLibrary =
    "[SCENERY LIBRARY] 3\n"
    "\t[REF] Tree\n\t\t[RES] Models\\Tree.3MX\n"
    "\t[REF] tr\n\t\t[RES] models/truck.3mx\n"
    "\t[REF] rock\n\t\t[RES] models/rock.3mx\n";

const char* const kLayout =
    "[V0.1] exported\n"
    "[NINSTANCES] 3\n"
    "\t[INSTANCE] [0] Big Tree 01\n"
    "\t\t[NODE] [P] [1,2,3] [R] (quat 0 0.6 0 0.8) [S] [2,2,2]\n"
    "\t\t[PROPERTIES]\tsolid\n"
    "\t[INSTANCE] [1] Rock A\r\n"
    "\t\t[NODE] [P] [-4,0.5,9] [R] (quat 0 0 0 1) [S] [1,1,1]\r\n"
    "\t\t[PROPERTIES]\r\n"
    "\t[INSTANCE] [2] TREE small\n"
    "\t\t[NODE] [P] [7,0,0] [R] (quat 0 0 0 1) [S] [1,3,1]\n"
    "\t\t[PROPERTIES]\n";

// True when the main channel or the GEM channel holds a line with the text.
bool LogHolds(const std::string& text) { return LogContains(kLogMain, text) || LogContains(kLogGEM, text); }

size_t CountLines(const LogCapture& log, const std::string& text) {
  size_t n = 0;
  for (const std::string& line : log.Lines()) n += line.find(text) != std::string::npos;
  return n;
}

class SceneFiles : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_ / name; }
  // Writes a library and its layout under "level.lib" / "level.layout".
  std::string WriteScene(const std::string& library, const std::string& layout) {
    WriteFile(Path("level.lib"), library);
    WriteFile(Path("level.layout"), layout);
    return Path("level.lib");
  }

  platform::ScopedTempFolder folder_{"scene.files"};
  C3MEManager& models_ = C3MEManager::Instance();
};

TEST_F(SceneFiles, LoadBuildsOneNodePerInstanceAndSharesModels) {
  CSCNScene scene;
  ASSERT_TRUE(scene.Load(WriteScene(kLibrary, kLayout).c_str()));

  ASSERT_EQ(scene.GetLibraryCount(), 3u);
  EXPECT_TRUE(scene.GetLibraryEntry(0)->ref == "tree");
  EXPECT_TRUE(scene.GetLibraryEntry(0)->res == "models\\tree.3mx");

  ASSERT_EQ(scene.GetInstanceCount(), 3u);
  EXPECT_EQ(scene.GetInstance(3), nullptr);
  CSCNNode* root = scene.GetRoot();
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(root->GetChildCount(), 3u);
  EXPECT_TRUE(scene.GetNodePool().name == "GEMScene");

  CSCNInstance* tree = scene.GetInstance(0);
  CSCNInstance* rock = scene.GetInstance(1);
  CSCNInstance* smallTree = scene.GetInstance(2);
  // Names are lowered before matching and the first matching ref wins.
  ASSERT_NE(tree->model, nullptr);
  EXPECT_TRUE(tree->model->registeredName == "models/tree.3mx");
  EXPECT_EQ(smallTree->model, tree->model);
  EXPECT_TRUE(rock->model->registeredName == "models/rock.3mx");
  EXPECT_EQ(models_.GetModelCount(), 2u);

  const CSCNNode& node = *tree->node;
  EXPECT_EQ(root->GetChild(0), tree->node);
  ASSERT_EQ(node.attachmentCount, 1u);
  EXPECT_EQ(node.attachments[0].object, tree);
  EXPECT_EQ(node.attachments[0].tag, 0u);
  EXPECT_FLOAT_EQ(node.radius, 10.0f);
  EXPECT_FLOAT_EQ(node.centre.z, 3.0f);
  EXPECT_FLOAT_EQ(node.rotation.y, 0.6f);
  EXPECT_FLOAT_EQ(node.rotation.w, 0.8f);
  EXPECT_FLOAT_EQ(node.scale.x, 2.0f);
  EXPECT_FLOAT_EQ(node.local.m[12], 1.0f);
  EXPECT_FLOAT_EQ(rock->node->centre.x, -4.0f);
  EXPECT_FLOAT_EQ(smallTree->node->scale.y, 3.0f);
  // Nothing makes a loaded scene live.
  EXPECT_FALSE(root->enabled);
  EXPECT_EQ(root->GetParent(), nullptr);
  EXPECT_EQ(scene.FindNodes("N/A"), 4u);
  EXPECT_EQ(scene.FindNodes("tree"), 0u);

  LogCapture log(kLog3ME);
  scene.Release();
  EXPECT_EQ(CountLines(log, "Releasing... models/tree.3mx"), 1u);
  EXPECT_EQ(CountLines(log, "Releasing... models/rock.3mx"), 1u);
  EXPECT_EQ(models_.GetModelCount(), 0u);
  EXPECT_EQ(scene.GetRoot(), nullptr);
  EXPECT_EQ(scene.GetInstanceCount(), 0u);
  EXPECT_EQ(scene.GetLibraryCount(), 0u);
  EXPECT_EQ(scene.FindNodes("N/A"), 0u);
}

TEST_F(SceneFiles, ModelsOthersRegisteredOutliveTheScene) {
  C3MEModel* held = models_.GetModel(String("models/rock.3mx"));
  {
    CSCNScene scene;
    ASSERT_TRUE(scene.Load(WriteScene(kLibrary, kLayout).c_str()));
    EXPECT_EQ(scene.GetInstance(1)->model, held);
    // A second load on the same scene replaces the first.
    ASSERT_TRUE(scene.Load(WriteScene(kLibrary, kLayout).c_str()));
    EXPECT_EQ(scene.GetInstanceCount(), 3u);
    EXPECT_EQ(scene.GetRoot()->GetChildCount(), 3u);
  }
  ASSERT_EQ(models_.GetModelCount(), 1u);
  EXPECT_EQ(models_.GetModelAt(0), held);
  models_.ReleaseModel(held);
}

TEST_F(SceneFiles, FindResourceTakesTheFirstRefInsideTheLoweredName) {
  CSCNScene scene;
  scene.AddLibraryEntry(String("TREE"), String("Tree.3mx"));
  scene.AddLibraryEntry(String("tr"), String("truck.3mx"));
  const struct {
    const char* name;
    const char* res;
  } cases[] = {{"Big Tree 01", "tree.3mx"}, {"TRUCK", "truck.3mx"}, {"boulder", nullptr}, {"", nullptr}};
  for (const auto& c : cases) {
    String name(c.name);
    const String* res = scene.FindResource(name);
    if (c.res == nullptr) {
      EXPECT_EQ(res, nullptr) << c.name;
    } else {
      ASSERT_NE(res, nullptr) << c.name;
      EXPECT_TRUE(*res == c.res) << c.name;
    }
  }
  String name("Big Tree");
  scene.FindResource(name);
  EXPECT_TRUE(name == "big tree");
}

TEST(SceneLayoutName, IsTheLibraryNameUpToItsFirstDot) {
  const struct {
    const char* library;
    const char* layout;
  } cases[] = {
      {"level.lib", "level.layout"},
      {"level.v2.lib", "level.layout"},
      {"scene", "layout"},
      {"Resources/Scenes/level.lib", "Resources/Scenes/level.layout"},
      // Dots in folder names do not count.
      {"./Scenes.v2/level.lib", "./Scenes.v2/level.layout"},
      {"Scenes.v2\\scene", "Scenes.v2\\layout"},
  };
  for (const auto& c : cases) EXPECT_STREQ(CSCNScene::LayoutNameFor(c.library).Chars(), c.layout) << c.library;
}

TEST_F(SceneFiles, EmptyOrMissingLayoutAndMissingLibrary) {
  {
    CSCNScene scene;
    EXPECT_TRUE(scene.Load(WriteScene(kLibrary, "[V0.1]\n[NINSTANCES] 0\n").c_str()));
    ASSERT_NE(scene.GetRoot(), nullptr);
    EXPECT_EQ(scene.GetRoot()->GetChildCount(), 0u);
  }
  {
    // No layout at all: the library alone is a loaded, empty scene.
    WriteFile(Path("alone.lib"), std::string(kLibrary));
    CSCNScene scene;
    EXPECT_TRUE(scene.Load(Path("alone.lib").c_str()));
    EXPECT_EQ(scene.GetRoot(), nullptr);
    EXPECT_EQ(scene.GetLibraryCount(), 3u);
  }
  {
    // No library: refused, yet the layout is read (its instances have no model).
    WriteFile(Path("gone.layout"), std::string(kLayout));
    LogCapture log(kLog3ME);
    CSCNScene scene;
    EXPECT_FALSE(scene.Load(Path("gone.lib").c_str()));
    EXPECT_TRUE(log.Contains("CSCNScene::ReadLibrary - ERROR : " + Path("gone.lib") + " : unable to open"));
    ASSERT_EQ(scene.GetInstanceCount(), 3u);
    EXPECT_EQ(scene.GetInstance(0)->model, nullptr);
    EXPECT_TRUE(log.Contains("no library entry for instance big tree 01"));
    EXPECT_EQ(models_.GetModelCount(), 0u);
  }
  CSCNScene scene;
  EXPECT_FALSE(scene.Load(nullptr));
  EXPECT_FALSE(scene.Load(""));
}

TEST_F(SceneFiles, AFileWithoutADotReadsItsLayoutFromLayout) {
  WriteFile(Path("scene"), std::string(kLibrary));
  WriteFile(Path("layout"), std::string(kLayout));
  CSCNScene scene;
  EXPECT_TRUE(scene.Load(Path("scene").c_str()));
  EXPECT_EQ(scene.GetInstanceCount(), 3u);
}

TEST_F(SceneFiles, PlacementLinesMayBePartialOrMissing) {
  const char* layout =
      "[V0.1]\n[NINSTANCES] 4\n"
      "[INSTANCE] [0] rock one\n"
      "[NODE] [P] [5,6,7] [R] (quat broken\n"
      "[PROPERTIES] x\n"
      "[INSTANCE] [1] rock two\n"
      "[INSTANCE] [2] rock three\n"
      "[NODE] [P] [1,1,1] [R] (quat 0 0 0 1) [S] [4,4,4]\n"
      "[INSTANCE] [3] rock four\n"
      "[NODE] [P] [2,nan,3] [R] (quat 0 0 0 1) [S] [4,4,4]\n";
  CSCNScene scene;
  ASSERT_TRUE(scene.Load(WriteScene(kLibrary, layout).c_str()));
  ASSERT_EQ(scene.GetInstanceCount(), 4u);
  const CSCNNode& fourth = *scene.GetInstance(3)->node;
  EXPECT_FLOAT_EQ(fourth.centre.x, 2.0f);
  EXPECT_FLOAT_EQ(fourth.centre.y, 0.0f);
  EXPECT_FLOAT_EQ(fourth.centre.z, 0.0f);
  EXPECT_FLOAT_EQ(fourth.scale.x, 1.0f);
  const CSCNNode& first = *scene.GetInstance(0)->node;
  EXPECT_FLOAT_EQ(first.centre.y, 6.0f);
  EXPECT_FLOAT_EQ(first.rotation.w, 1.0f);
  EXPECT_FLOAT_EQ(first.scale.x, 1.0f);
  EXPECT_FLOAT_EQ(scene.GetInstance(1)->node->centre.x, 0.0f);
  EXPECT_FLOAT_EQ(scene.GetInstance(2)->node->scale.z, 4.0f);
}

TEST_F(SceneFiles, MalformedFilesAreLoggedAndRefused) {
  const std::string goodLayout = "[V0.1]\n[NINSTANCES] 0\n";
  const struct {
    std::string library;
    std::string layout;
    const char* logged;
  } cases[] = {
      {"", goodLayout, "not a scenery library"},
      {"[SCENERY LIBRARY] x\n", goodLayout, "not a scenery library"},
      {"[SCENERY LIBRARY] -1\n", goodLayout, "entry count -1 does not fit the file"},
      {"[SCENERY LIBRARY] 2000000000\n[REF] a\n[RES] b\n", goodLayout, "entry count 2000000000 does not fit the file"},
      {"[SCENERY LIBRARY] 2\n[REF] a\n[RES] b\n[REF] c\n[RES] d\n[REF] e\n", goodLayout, ""},
      {"[SCENERY LIBRARY] 2\n[REF] a\n[RES] b\n[REF] c\n\n\n\n\n\n\n", goodLayout, "entry 1 of 2 unreadable"},
      {"[SCENERY LIBRARY] 1\n[RES] b\n[REF] a\n", goodLayout, "entry 0 of 1 unreadable"},
      {kLibrary, "", "not a layout"},
      {kLibrary, "[V0.2]\n[NINSTANCES] 0\n", "not a layout"},
      {kLibrary, "[V0.1]\n[NINSTANCES]\n", "instance count unreadable"},
      {kLibrary, "[V0.1]\n[NINSTANCES] 2147483647\n[INSTANCE] [0] a\n", "instance count 2147483647 does not fit"},
      {kLibrary, "[V0.1]\n[NINSTANCES] -3\n", "instance count -3 does not fit"},
      {kLibrary, "[V0.1]\n[NINSTANCES] 2\n[INSTANCE] [0] rock\n[PROPERTIES]\n\n\n\n\n\n\n\n\n",
       "instance 1 of 2 unreadable"},
      {kLibrary, "[V0.1]\n[NINSTANCES] 1\n[INSTANCE] [0]\n\n\n\n\n\n\n\n\n\n\n", "instance 0 of 1 unreadable"},
  };
  for (const auto& c : cases) {
    LogCapture log(kLog3ME);
    CSCNScene scene;
    const bool loaded = scene.Load(WriteScene(c.library, c.layout).c_str());
    if (c.logged[0] == '\0') {
      // Entries past the count are simply not read.
      EXPECT_TRUE(loaded) << c.library;
      continue;
    }
    EXPECT_FALSE(loaded) << c.library << c.layout;
    EXPECT_TRUE(log.Contains(c.logged)) << c.logged;
    scene.Release();
    EXPECT_EQ(models_.GetModelCount(), 0u);
  }
}

TEST_F(SceneFiles, TruncatedAndGarbledFilesNeverBreakTheReader) {
  const std::string library(kLibrary);
  const std::string layout(kLayout);
  for (size_t cut = 0; cut <= layout.size(); ++cut) {
    CSCNScene scene;
    scene.Load(WriteScene(library.substr(0, cut % (library.size() + 1)), layout.substr(0, cut)).c_str());
    ASSERT_LE(scene.GetInstanceCount(), 3u);
    if (scene.GetRoot() != nullptr) {
      EXPECT_EQ(scene.GetRoot()->GetChildCount(), scene.GetInstanceCount());
    }
  }
  // Bytes of every value, NULs and long lines included.
  std::string garbage;
  uint32_t state = 12345;
  for (int i = 0; i < 20000; ++i) {
    state = state * 214013u + 2531011u;
    garbage += char((state >> 16) & 0xFF);
  }
  std::string longName = "[V0.1]\n[NINSTANCES] 1\n[INSTANCE] [0] " + std::string(5000, 'r') + "ock\n";
  CSCNScene scene;
  EXPECT_FALSE(scene.Load(WriteScene(garbage, garbage).c_str()));
  EXPECT_TRUE(scene.Load(WriteScene(kLibrary, longName).c_str()));
  ASSERT_EQ(scene.GetInstanceCount(), 1u);
  // The name is cut at 511 characters, before "rock".
  EXPECT_EQ(scene.GetInstance(0)->model, nullptr);
  EXPECT_EQ(models_.GetModelCount(), 0u);
}

TEST_F(SceneFiles, InstancesPrepareAReadModelOnceAndDrawIt) {
  CSCNScene scene;
  ASSERT_TRUE(scene.Load(WriteScene(kLibrary, kLayout).c_str()));
  CSCNInstance* tree = scene.GetInstance(0);
  static std::vector<C3MEModel*> drawn;
  drawn.clear();
  CSCNInstance::DrawHook() = [](C3MEModel* model) { drawn.push_back(model); };

  // Not read yet: nothing to prepare; drawing needs only a model.
  EXPECT_FALSE(tree->Update());
  EXPECT_TRUE(tree->Render());
  EXPECT_EQ(drawn, std::vector<C3MEModel*>{tree->model});
  CSCNInstance empty;
  EXPECT_FALSE(empty.Render());
  EXPECT_FALSE(empty.Update());

  tree->model->loadState = C3MEModel::kLoaded;
  scene.SetEnabled(true);
  scene.Update();
  EXPECT_TRUE(tree->model->prepared);
  EXPECT_TRUE(LogHolds("Scene model loaded and initialised - models/tree.3mx"));
  EXPECT_FALSE(tree->Update());

  drawn.clear();
  scene.Render();
  // The tree model is drawn by both instances that use it; the rock once.
  EXPECT_EQ(drawn.size(), 3u);
  CSCNInstance::DrawHook() = nullptr;
}

}  // namespace
