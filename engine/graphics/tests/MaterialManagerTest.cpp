#include <gtest/gtest.h>
#include <utime.h>

#include <memory>
#include <string>

#include "engine/foundation/CABArchive.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/ResourceManager.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/graphics/GraphicsFiles.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "support/FakeTextureUploader.h"
#include "support/ImageFiles.h"
#include "support/ScratchRunFolder.h"

namespace {

std::string Block(const std::string& name, const std::string& map) {
  return name + "\n{\n\t{\n\t\tMAP " + map + "\n\t}\n}\n";
}

class MaterialManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.RunPath().empty());
    textures_ = std::make_unique<CTEXManager>();
    materials_ = std::make_unique<CMATManager>(textures_.get());
  }

  // Moves a file's modification time so a reload sees a change.
  void Touch(const std::string& path, time_t seconds) {
    utimbuf times{seconds, seconds};
    ASSERT_EQ(utime((folder_.RunPath() + "/" + path).c_str(), &times), 0);
  }

  // Packs files of the "pack/" folder into "Vyre.cab", removes them from the
  // disk and mounts the archive.
  void MountPack(std::initializer_list<const char*> files) {
    {
      CABArchive archive;
      ASSERT_TRUE(archive.Create("Vyre.cab"));
      archive.SetBaseFolder("pack/");
      for (const char* file : files) ASSERT_TRUE(archive.AddFile(file));
      archive.Finish();
    }
    for (const char* file : files) folder_.Remove(file);
    ASSERT_TRUE(ResourceManager::Instance().Mount("Vyre.cab"));
  }

  ScratchRunFolder folder_;
  FakeTextureUploader uploader_;
  std::unique_ptr<CTEXManager> textures_;
  std::unique_ptr<CMATManager> materials_;
};

TEST_F(MaterialManagerTest, UnknownNamesBecomeOneStageMaterialsOfTheirTexture) {
  LogCapture log(kLogMAT);
  CMATMaterial* font = materials_->GetMaterial("Fonts/NewDefault.png");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->Name(), "fonts/newdefault.png");
  ASSERT_EQ(font->StageCount(), 1);
  EXPECT_EQ(font->GetStage(0)->mapName, "Fonts/NewDefault.png");
  EXPECT_TRUE(font->GetStage(0)->flags & StageFlag::MAP);
  EXPECT_EQ(materials_->GetMaterial("FONTS\\NEWDEFAULT.PNG"), materials_->GetMaterial("fonts\\newdefault.png"));
  EXPECT_EQ(materials_->GetMaterial("FONTS/NEWDEFAULT.PNG"), font);
  EXPECT_EQ(materials_->IndexOf(String("fonts/newdefault.png")), 0);
  EXPECT_EQ(materials_->IndexOf(String("Fonts/NewDefault.png")), -1);
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"Created new material - fonts/newdefault.png"});

  EXPECT_EQ(materials_->GetMaterial(""), nullptr);
  EXPECT_EQ(materials_->GetMaterial(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_EQ(materials_->CreateInstance(String("")), nullptr);
  EXPECT_EQ(materials_->GetInstanceCount(), 0u);
}

TEST_F(MaterialManagerTest, FirstLibraryWinsUnlessItsMaterialLacksATexture) {
  ASSERT_TRUE(folder_.WriteText("first.mat", Block("Gem", "first.tga")));
  ASSERT_TRUE(folder_.WriteText("second.mat", Block("gem", "second.tga") + Block("Other", "other.tga")));

  // Textures resolved between the reads: the first definition is kept.
  ASSERT_TRUE(materials_->ReadLibrary("first.mat"));
  materials_->ResolveTextures();
  ASSERT_TRUE(materials_->ReadLibrary("second.mat"));
  CMATMaterial* gem = materials_->FindMaterial(String("GEM"));
  ASSERT_NE(gem, nullptr);
  EXPECT_EQ(gem->GetStage(0)->mapName, "FIRST.TGA");
  EXPECT_NE(materials_->FindMaterial(String("other")), nullptr);
  EXPECT_EQ(materials_->GetLibraryAt(1)->materialCount, 2u);

  // Read before any texture was resolved: the later block replaces it.
  CMATManager fresh(textures_.get());
  fresh.ReadLibrary("first.mat");
  fresh.ReadLibrary("second.mat");
  EXPECT_EQ(fresh.FindMaterial(String("gem"))->GetStage(0)->mapName, "SECOND.TGA");
}

TEST_F(MaterialManagerTest, LibraryRecordsAndBlankLines) {
  const std::string plain = Block("alpha", "a.tga") + Block("beta", "b.tga");
  const std::string spaced = "\n \n" + Block("alpha", "a.tga") + "x\n\n\r\n" + Block("beta", "b.tga") + "\n";
  ASSERT_TRUE(folder_.WriteText("plain.mat", plain));
  ASSERT_TRUE(folder_.WriteText("spaced.mat", spaced));
  CMATManager other(textures_.get());
  ASSERT_TRUE(materials_->ReadLibrary("plain.mat"));
  ASSERT_TRUE(other.ReadLibrary("spaced.mat"));
  ASSERT_TRUE(materials_->WriteLibrary("plain.out"));
  ASSERT_TRUE(other.WriteLibrary("spaced.out"));
  EXPECT_EQ(materials_->GetMaterialCount(), 2u);
  EXPECT_EQ(other.GetMaterialCount(), 2u);
  EXPECT_EQ(other.GetMaterialAt(1)->GetStage(0)->mapName, "B.TGA");
  std::string plainOut, spacedOut;
  ASSERT_TRUE(ReadDiskText("plain.out", plainOut));
  ASSERT_TRUE(ReadDiskText("spaced.out", spacedOut));
  EXPECT_EQ(spacedOut, plainOut);

  ASSERT_TRUE(materials_->ReadLibrary("plain.mat"));
  EXPECT_EQ(materials_->GetLibraryCount(), 2u);
  EXPECT_EQ(materials_->GetLibraryAt(1)->info->status, kLibraryRead);

  LogCapture log(kLogMAT);
  EXPECT_FALSE(materials_->ReadLibrary("Resources/Materials/Missing.mat"));
  EXPECT_EQ(materials_->GetLibraryAt(2)->info->status, kLibraryOpenFailed);
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"Reading MAT library : 'Resources/Materials/Missing.mat'"});
  EXPECT_FALSE(materials_->WriteLibrary("no/such/folder/out.mat"));
  EXPECT_TRUE(log.Has("Writing MAT library to file : 'no/such/folder/out.mat'"));
  EXPECT_TRUE(log.Has("... FAILED."));
}

TEST_F(MaterialManagerTest, WrittenLibraryReadsBackTheSame) {
  ASSERT_TRUE(folder_.WriteText("Gems.mat",
                                "Ruby\n{\n\tCULL FRONT\n\t{\n\t\tMAP ruby.png\n\t\tMODIFY UV USCROLL 0 1 2\n"
                                "\t\tCOLOUR 1 0 0 1\n\t\tBLEND ADD\n\t}\n}\n" +
                                    Block("Emerald", "emerald.png")));
  ASSERT_TRUE(materials_->ReadLibrary("Gems.mat"));
  ASSERT_TRUE(materials_->WriteLibrary("Copy.mat"));
  CMATManager other(textures_.get());
  ASSERT_TRUE(other.ReadLibrary("Copy.mat"));
  ASSERT_EQ(other.GetMaterialCount(), 2u);
  CMATMaterial* ruby = other.FindMaterial(String("ruby"));
  ASSERT_NE(ruby, nullptr);
  EXPECT_EQ(ruby->Sides(), MaterialSide::FRONT);
  EXPECT_EQ(ruby->GetStage(0)->uvTracks[kUScroll].GetFlags(), 0x81);
  EXPECT_TRUE(ruby->GetStage(0)->flags & StageFlag::COLOUR);
}

TEST_F(MaterialManagerTest, ReloadReadsChangedLibrariesAndSkipsNewNames) {
  ASSERT_TRUE(folder_.WriteText("Live.mat", Block("wall", "old.tga")));
  Touch("Live.mat", 1000000);
  ASSERT_TRUE(materials_->ReadLibrary("Live.mat"));
  materials_->ResolveTextures();
  const int32_t pending = materials_->PendingCount();

  materials_->ReloadLibrary();  // unchanged: nothing happens
  EXPECT_EQ(materials_->PendingCount(), pending);

  ASSERT_TRUE(folder_.WriteText("Live.mat", Block("added", "new.tga") + Block("WALL", "new.tga")));
  Touch("Live.mat", 2000000);
  LogCapture log(kLogMAT);
  materials_->ReloadLibrary();
  EXPECT_TRUE(log.Has("Reloading material library : Live.mat"));
  EXPECT_EQ(materials_->FindMaterial(String("wall"))->GetStage(0)->mapName, "NEW.TGA");
  EXPECT_EQ(materials_->FindMaterial(String("added")), nullptr);
  EXPECT_EQ(materials_->PendingCount(), pending + 1);
  materials_->ReloadLibrary();  // the new time was remembered
  EXPECT_EQ(materials_->PendingCount(), pending + 1);
}

TEST_F(MaterialManagerTest, ResolveGivesEveryStageItsTextureAndRemoveKeepsSharedOnes) {
  ASSERT_TRUE(folder_.WriteText("lib.mat", Block("first", "Shared.tga") + Block("second", "shared.png") +
                                               "plain\n{\n\t{\n\t\tSOLID\n\t}\n\t{\n\t\tMAP solo.tga\n\t}\n}\n"));
  ASSERT_TRUE(materials_->ReadLibrary("lib.mat"));
  CMATMaterial* plain = materials_->FindMaterial(String("plain"));
  plain->GetStage(1)->mipmap = 0;
  materials_->ResolveTextures();
  CMATMaterial* a = materials_->FindMaterial(String("first"));
  CMATMaterial* b = materials_->FindMaterial(String("second"));
  EXPECT_EQ(a->GetStage(0)->texture, b->GetStage(0)->texture);
  EXPECT_EQ(plain->GetStage(0)->texture, textures_->DefaultTexture());
  CTEXTexture* solo = plain->GetStage(1)->texture;
  ASSERT_NE(solo, nullptr);
  EXPECT_FALSE(solo->Mipmap());
  EXPECT_EQ(materials_->PendingCount(), 0);
  EXPECT_EQ(materials_->ResolvedThisCall(), 4);
  materials_->ResolveTextures();
  EXPECT_EQ(materials_->ResolvedThisCall(), 0) << "an idle call resolves nothing";

  const uint32_t textureCount = textures_->TextureCount();
  CMATInstance* instance = materials_->CreateInstance(String("plain"));
  ASSERT_NE(instance, nullptr);
  materials_->RemoveMaterial(a);  // its texture is still b's
  EXPECT_EQ(textures_->TextureCount(), textureCount);
  materials_->RemoveMaterial(plain);  // the default stays; solo goes, and so does the instance
  EXPECT_EQ(textures_->TextureCount(), textureCount - 1);
  EXPECT_EQ(textures_->FindTexture(String("solo.tga")), nullptr);
  EXPECT_EQ(materials_->GetInstanceCount(), 0u);
  EXPECT_EQ(materials_->GetMaterialCount(), 1u);
}

TEST_F(MaterialManagerTest, InstancesReplayTheirMaterialFromTheirOwnTime) {
  ASSERT_TRUE(folder_.WriteText("fx.mat", "glow\n{\n\t{\n\t\tMODIFY ALPHA 0 10 10 CLIP\n\t}\n}\n"));
  ASSERT_TRUE(materials_->ReadLibrary("fx.mat"));
  CMATMaterial* glow = materials_->FindMaterial(String("glow"));
  LogCapture log(kLogMAT);
  CMATInstance* first = materials_->CreateInstance(String("Glow"));
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(log.Has("New material instance created... [0] glow"));
  EXPECT_EQ(first->index, 0);
  EXPECT_EQ(glow->instanceCount, 1u);
  for (int i = 0; i < 3; ++i) materials_->UpdateBy(1.0f);
  EXPECT_FLOAT_EQ(first->time, 3.0f);
  EXPECT_FLOAT_EQ(glow->GetStage(0)->colour[3], 3.0f);

  CMATInstance* second = materials_->CreateInstance(String("glow"));
  EXPECT_EQ(second->index, 1);
  materials_->UpdateBy(1.0f);
  EXPECT_FLOAT_EQ(first->time, 4.0f);
  EXPECT_FLOAT_EQ(second->time, 1.0f);
  EXPECT_FLOAT_EQ(glow->GetStage(0)->colour[3], 1.0f);  // the last instance drew from its own time

  materials_->RemoveInstance(second);
  materials_->UpdateBy(1.0f);
  EXPECT_FLOAT_EQ(glow->GetStage(0)->colour[3], 5.0f);
  materials_->RemoveInstance(first);
  EXPECT_EQ(glow->instanceCount, 0u);
}

TEST_F(MaterialManagerTest, OnlyMaterialsInUseMoveAndAPausedStepStillCreeps) {
  ASSERT_TRUE(folder_.WriteText("fx.mat", "scroll\n{\n\t{\n\t\tMODIFY UV USCROLL 0 1 1\n\t}\n}\n"));
  ASSERT_TRUE(materials_->ReadLibrary("fx.mat"));
  CMATMaterial* scroll = materials_->FindMaterial(String("scroll"));
  CMATMaterial* idle = materials_->GetMaterial("idle.tga");
  EXPECT_FALSE(idle->InUse());

  // A paused clock's step of 0 becomes the fader's 0.01 s.
  materials_->UpdateBy(0.0f);
  EXPECT_NEAR(scroll->GetStage(0)->uvTracks[kUScroll].GetCurrent(), 0.01f, 1e-6f);
  scroll->SetInUse(false);
  materials_->UpdateBy(0.5f);
  EXPECT_NEAR(scroll->GetStage(0)->uvTracks[kUScroll].GetCurrent(), 0.01f, 1e-6f);
}

TEST_F(MaterialManagerTest, GarbageAndTruncatedLibrariesAreSurvived) {
  const std::string library = Block("one", "a.tga") + "two\n{\n\tCULL BOTH\n\t{\n\t\tMODIFY UV USTEP 4 2\n\t}\n}\n";
  for (size_t length = 0; length < library.size(); length += 3) {
    ASSERT_TRUE(folder_.WriteText("cut.mat", library.substr(0, length)));
    CMATManager manager(textures_.get());
    EXPECT_TRUE(manager.ReadLibrary("cut.mat"));
    EXPECT_LE(manager.GetMaterialCount(), 3u);
  }
  Bytes noise;
  uint32_t state = 99;
  for (int i = 0; i < 5000; ++i) {
    state = state * 1664525u + 1013904223u;
    noise.push_back(uint8_t(state >> 24));
  }
  ASSERT_TRUE(folder_.Write("noise.mat", noise));
  LogCapture log(kLogDBG);
  EXPECT_FALSE(materials_->ReadLibrary("noise.mat"));
  EXPECT_EQ(materials_->GetLibraryAt(0)->info->status, kLibraryRefused);
  EXPECT_EQ(materials_->GetMaterialCount(), 0u) << "no material is named after binary bytes";
  EXPECT_EQ(materials_->PendingCount(), 0);
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"Cannot load noise.mat (not a material library: it holds bytes no "
                                                  "text file holds); the game goes on without it"});
}

TEST_F(MaterialManagerTest, ANeededLibraryThatIsMissingIsNamedOnce) {
  LogCapture log(kLogDBG);
  EXPECT_FALSE(materials_->ReadNeededLibrary("Resources/Materials/Gone.mat"));
  EXPECT_FALSE(materials_->ReadNeededLibrary("Resources/Materials/Gone.mat"));
  EXPECT_FALSE(materials_->ReadLibrary("Models/Optional.TXT"));
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"Cannot load Resources/Materials/Gone.mat (the file cannot be "
                                                  "opened); the game goes on without it"});
}

TEST_F(MaterialManagerTest, ABlockWithoutStagesHoldsNothingPending) {
  // Such a material has no texture to resolve: it counts as done, so a
  // loading screen waiting for the queue to empty goes on.
  ASSERT_TRUE(folder_.WriteText("odd.mat", "broken\nno brace here\n" + Block("fine", "fine.tga")));
  ASSERT_TRUE(materials_->ReadLibrary("odd.mat"));
  materials_->ResolveTextures();
  EXPECT_EQ(materials_->PendingCount(), 0);
  EXPECT_EQ(materials_->FindMaterial(String("broken"))->StageCount(), 0);

  // Read again while the fine one still waits for its texture.
  CMATManager fresh(textures_.get());
  ASSERT_TRUE(fresh.ReadLibrary("odd.mat"));
  ASSERT_TRUE(fresh.ReadLibrary("odd.mat"));
  fresh.ResolveTextures();
  EXPECT_EQ(fresh.PendingCount(), 0);
}

TEST_F(MaterialManagerTest, LibrariesAndPngTexturesComeFromAMountedArchive) {
  ASSERT_TRUE(folder_.WriteText("pack/Materials/Gems.mat", Block("ruby", "textures/gem.png")));
  ASSERT_TRUE(folder_.Write("pack/Textures/Gem.png", MakePng({1, 1, 2, 8, {9, 8, 7}, {}, {}, false})));
  MountPack({"pack/Materials/Gems.mat", "pack/Textures/Gem.png"});

  // The library entry is read to its own end, not into the PNG behind it.
  EXPECT_TRUE(materials_->ReadLibrary("Materials\\Gems.mat"));
  ASSERT_EQ(materials_->GetMaterialCount(), 1u);
  materials_->ResolveTextures();
  textures_->LoadQueued(false);
  CTEXTexture* gem = materials_->FindMaterial(String("ruby"))->GetStage(0)->texture;
  ResourceManager::Instance().UnmountAll();
  ASSERT_NE(gem, nullptr);
  EXPECT_EQ(gem->Status(), kTextureLoaded) << gem->Message().Chars();
  EXPECT_EQ(uploader_.UploadOf(gem->GLName())->pixels, (Bytes{9, 8, 7}));
}

TEST_F(MaterialManagerTest, AGarbageLibraryInAnArchiveIsRefused) {
  Bytes noise(3000);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = uint8_t(i * 7919u >> 3);
  ASSERT_TRUE(folder_.Write("pack/Materials/Gems.mat", noise));
  ASSERT_TRUE(folder_.WriteText("pack/Materials/Other.mat", Block("ruby", "ruby.png")));
  MountPack({"pack/Materials/Gems.mat", "pack/Materials/Other.mat"});
  LogCapture log(kLogDBG);
  EXPECT_FALSE(materials_->ReadLibrary("Materials/Gems.mat"));
  EXPECT_TRUE(materials_->ReadLibrary("Materials/Other.mat"));
  ResourceManager::Instance().UnmountAll();
  EXPECT_EQ(materials_->GetMaterialCount(), 1u);
  EXPECT_TRUE(log.Contains("Cannot load Materials/Gems.mat (not a material library"));
}

}  // namespace
