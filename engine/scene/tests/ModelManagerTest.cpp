#include <gtest/gtest.h>

#include <string>

#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelManager.h"
#include "platform/TempFolder.h"
#include "support/SceneTestSupport.h"

namespace {

const char* const kTextModel =
    "V5\n[NMATERIALS]0\n[NINSTANCES]1\n[INSTANCE][0]part\n[CID][0]\n"
    "[NODE] [P] [0,0,0] [R] (quat 0 0 0 1) [S] [1,1,1]\n"
    "[NCOMPONENTS]1\n[COMPONENT][0]tri\n[NVERTS]3\n[NUVS]0\n[NFACES]1\n[VERTICES]\n"
    "[0,0,0] [0,0,1]\n[1,0,0] [0,0,1]\n[0,1,0] [0,0,1]\n[FACES]\n"
    "[0] [MAT]0 [VIDS]3 [UVIDS]0\n[VI][1,2,3]\n[UVI][1,1,1]\n";

class ModelManager : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_ / name; }
  // A binary copy of the text model, written through the model writer.
  void WriteBinary(const std::string& name, const char* storedName) {
    WriteFile(Path("SOURCE.3MX"), std::string(kTextModel));
    C3MEModel source;
    ASSERT_TRUE(source.Read(String(Path("SOURCE.3MX").c_str())));
    source.name = storedName;
    ASSERT_TRUE(source.Write(Path(name).c_str()));
  }

  platform::ScopedTempFolder folder_{"scene-manager"};
  FakeMaterials materials_;
  C3MEManager manager_;
};

TEST_F(ModelManager, NamesDifferingOnlyInExtensionAreOneModel) {
  const std::string base = Path("Gems\\GemTetra");
  C3MEModel* first = manager_.GetModel(String((base + ".3mx").c_str()));
  C3MEModel* second = manager_.GetModel(String((Path("Gems/GemTetra") + ".3me").c_str()));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(manager_.GetModelCount(), 1u);
  EXPECT_EQ(manager_.pending, 1);
  EXPECT_TRUE(first->registeredName == (Path("Gems/GemTetra") + ".3mx").c_str());
  EXPECT_EQ(manager_.GetModel(String("")), nullptr);
  // Letter case counts; a name without a dot is compared whole.
  EXPECT_FALSE(C3MEManager::SameModelName("a/GEM.3mx", "a/gem.3mx"));
  EXPECT_TRUE(C3MEManager::SameModelName("a/gem.3mx", "a/gem.txt"));
  EXPECT_FALSE(C3MEManager::SameModelName("a/gem", "a/g"));
}

TEST_F(ModelManager, LoadsTheTextFileWhenNoBinaryExists) {
  WriteFile(Path("Gem.3MX"), std::string(kTextModel));
  C3MEModel* model = manager_.GetModel(String(Path("Gem.3mx").c_str()));
  LogCapture log(kLog3ME);
  manager_.Update();
  EXPECT_EQ(model->loadState, uint32_t(C3MEModel::kLoaded));
  EXPECT_TRUE(model->prepared);
  EXPECT_TRUE(log.Contains("1 / 1 resources to load"));
  EXPECT_TRUE(log.Contains("C3MEManager - Loading [0] - " + Path("Gem.3mx") + " ... OK"));
  EXPECT_EQ(manager_.pending, 0);
  // The record names the file that loaded, so a reload finds it again.
  EXPECT_TRUE(model->loadRecord->fileName == (Path("Gem.3") + "MX").c_str());
  EXPECT_GT(model->loadRecord->fileTime, 0);
  // An unchanged file is left alone; a changed one is read again, and its
  // compiled lists and prepared matrices are dropped and rebuilt.
  model->compiled = true;
  manager_.ReloadModels();
  EXPECT_TRUE(model->compiled);
  model->loadRecord->fileTime = 1;
  manager_.ReloadModels();
  EXPECT_EQ(model->loadState, uint32_t(C3MEModel::kLoaded));
  EXPECT_FALSE(model->compiled);
  EXPECT_TRUE(model->prepared);
  EXPECT_EQ(model->meshCount, 1u);
}

TEST_F(ModelManager, ANameWithoutExtensionFindsItsFiles) {
  WriteFile(Path("Plain.3MX"), std::string(kTextModel));
  C3MEModel* model = manager_.GetModel(String(Path("Plain").c_str()));
  manager_.LoadResources();
  EXPECT_EQ(model->loadState, uint32_t(C3MEModel::kLoaded));
}

TEST_F(ModelManager, PrefersTheBinaryFile) {
  WriteFile(Path("Gem.3MX"), std::string(kTextModel));
  WriteBinary("Gem.3ME", "from the binary file");
  C3MEModel* model = manager_.GetModel(String(Path("Gem.3mx").c_str()));
  manager_.LoadResources();
  ASSERT_EQ(model->loadState, uint32_t(C3MEModel::kLoaded));
  EXPECT_TRUE(model->name == "from the binary file");
  // The stored name does not hide the model from later requests.
  EXPECT_EQ(manager_.GetModel(String(Path("Gem.3mx").c_str())), model);
}

TEST_F(ModelManager, FailedModelsAreNotRetried) {
  C3MEModel* model = manager_.GetModel(String(Path("Missing.3mx").c_str()));
  {
    LogCapture log(kLog3ME);
    LogCapture terminal(kLogDBG);
    manager_.LoadResources();
    EXPECT_TRUE(log.Contains("Missing.3mx ... ERROR!"));
    ASSERT_EQ(terminal.Lines().size(), 1u);
    EXPECT_NE(terminal.Lines()[0].find("Cannot load " + Path("Missing.3mx")), std::string::npos);
  }
  EXPECT_EQ(manager_.loadedThisCall, 1) << "a failed read counts as tried";
  EXPECT_EQ(model->loadState, uint32_t(C3MEModel::kLoadFailed));
  EXPECT_EQ(model->instanceCount, 0u);
  WriteFile(Path("Missing.3MX"), std::string(kTextModel));
  LogCapture log(kLog3ME);
  manager_.Update();
  manager_.LoadResources();
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_EQ(manager_.loadedThisCall, 0) << "an idle call loads nothing";
  EXPECT_EQ(model->loadState, uint32_t(C3MEModel::kLoadFailed));
}

TEST_F(ModelManager, ReleaseAndLists) {
  C3MEModel stranger;
  {
    LogCapture log(kLog3ME);
    manager_.ReleaseModel(&stranger);
    EXPECT_TRUE(log.Lines().empty());
  }
  C3MEModel* a = manager_.GetModel(String("Models/A.3mx"));
  manager_.GetModel(String("Models/B.3mx"));
  ASSERT_TRUE(manager_.WriteList(Path("models.lst").c_str()));
  {
    LogCapture log(kLog3ME);
    manager_.ReleaseModel(a);
    EXPECT_TRUE(log.Contains("Releasing... Models/A.3mx"));
  }
  EXPECT_EQ(manager_.GetModelCount(), 1u);
  EXPECT_EQ(manager_.pending, 1);

  C3MEManager other;
  ASSERT_TRUE(other.ReadList(Path("models.lst").c_str()));
  ASSERT_EQ(other.GetModelCount(), 2u);
  EXPECT_TRUE(other.GetModelAt(1)->registeredName == "Models/B.3mx");
  WriteFile(Path("bad.lst"), std::string("[3ME]\n1000\nModels/C.3mx\n"));
  EXPECT_FALSE(other.ReadList(Path("bad.lst").c_str()));
  EXPECT_EQ(other.GetModelCount(), 2u);
}

TEST_F(ModelManager, SearchPaths) {
  EXPECT_EQ(manager_.GetSearchPathCount(), 1u);
  EXPECT_TRUE(manager_.GetSearchPath(0) == "Resources/Models/");
  manager_.AddSearchPath("");
  EXPECT_EQ(manager_.GetSearchPathCount(), 1u);
}

}  // namespace
