#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <iterator>
#include <memory>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/graphics/GraphicsFiles.h"
#include "engine/graphics/TextureManager.h"
#include "platform/FileSystem.h"
#include "platform/tests/support/FifoWatch.h"
#include "support/FakeTextureUploader.h"
#include "support/ImageFiles.h"
#include "support/ScratchRunFolder.h"

namespace {

// An uncompressed 24-bit TGA whose width tells the tests which file loaded.
Bytes TgaOfWidth(uint16_t width) { return MakeTga(2, width, 1, 24, Bytes(size_t(width) * 3, 7)); }

class TextureManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.RunPath().empty());
    ASSERT_TRUE(folder_.Write("TEXDefault.TGA", MakeTga(2, 2, 2, 32, Bytes(16, 255))));
    manager_ = std::make_unique<CTEXManager>();
  }

  CTEXTexture* LoadOne(const char* name) {
    CTEXTexture* texture = manager_->GetTextureByFileName(name);
    manager_->LoadQueued(false);
    return texture;
  }

  ScratchRunFolder folder_;
  FakeTextureUploader uploader_;
  std::unique_ptr<CTEXManager> manager_;
};

TEST_F(TextureManagerTest, NamesMatchWhateverTheirCaseSlashesAndExtension) {
  CTEXTexture* asked = manager_->GetTextureByFileName("Textures\\Gems\\Ruby.TGA");
  EXPECT_EQ(asked->GetFullName(), "textures/gems/ruby.tga");
  EXPECT_EQ(asked->GetFolder(), "textures/gems/");
  EXPECT_EQ(asked->GetNameString(), "ruby.tga");
  EXPECT_EQ(manager_->GetTextureByFileName("textures/gems/ruby.png"), asked);
  EXPECT_EQ(manager_->GetTextureByFileName("textures/gems/ruby"), asked);

  // An extension is only an extension in the last component: two files in a
  // dotted folder stay two textures.
  CTEXTexture* first = manager_->GetTextureByFileName("pack.v2/a");
  EXPECT_NE(manager_->GetTextureByFileName("pack.v2/b"), first);
  EXPECT_NE(manager_->GetTextureByFileName("pack"), first);

  const uint32_t count = manager_->TextureCount();
  EXPECT_EQ(manager_->GetTextureByFileName(""), manager_->DefaultTexture());
  EXPECT_EQ(manager_->GetTexture(String()), manager_->DefaultTexture());
  EXPECT_EQ(manager_->TextureCount(), count);
}

TEST_F(TextureManagerTest, SearchesTheNameThenEachPathTryingPngTgaBmp) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, Bytes>> files;
    uint32_t loadedWidth;
  };
  const Bytes png3 = MakePng({3, 1, PNG_COLOR_TYPE_RGB, 8, Bytes(9, 1), {}, {}, false});
  const Case cases[] = {
      {"root png beats every search path", {{"Fonts/panel.TGA", TgaOfWidth(5)}, {"panel.png", png3}}, 3},
      {"png beats tga in one place", {{"panel.TGA", TgaOfWidth(4)}, {"panel.png", png3}}, 3},
      {"tga beats bmp", {{"panel.BMP", MakeBmp(6, 1, 24, Bytes(18, 0))}, {"panel.TGA", TgaOfWidth(4)}}, 4},
      {"../Common/ comes before Fonts/",
       {{"Fonts/panel.TGA", TgaOfWidth(5)}, {"../Common/panel.TGA", TgaOfWidth(7)}},
       7},
      {"last search path", {{"Textures/Icons/panel.bmp", MakeBmp(6, 1, 24, Bytes(18, 0))}}, 6},
      {"mixed case on disk", {{"TEXTURES/misc/PANEL.tga", TgaOfWidth(8)}}, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchRunFolder folder;
    ASSERT_TRUE(folder.Write("TEXDefault.TGA", TgaOfWidth(2)));
    for (const auto& [path, bytes] : c.files) ASSERT_TRUE(folder.Write(path, bytes));
    CTEXManager manager;
    CTEXTexture* texture = manager.GetTextureByFileName("Panel");
    manager.LoadQueued(false);
    EXPECT_EQ(texture->Status(), kTextureLoaded) << texture->Message().Chars();
    EXPECT_EQ(texture->Width(), c.loadedWidth);
    EXPECT_EQ(manager.PendingCount(), 0);
  }
}

TEST_F(TextureManagerTest, FailedLoadsShowTheDefaultTextureAndSayWhy) {
  LogCapture log(kLogTEX);
  ASSERT_TRUE(folder_.Write("Textures/bad.tga", MakeTga(2, 1, 1, 16, {1, 2})));
  struct Case {
    const char* name;
    const char* message;
  };
  const Case cases[] = {
      {"photo.jpg", "ERROR ! File type unrecognised! (PNG/TGA/BMP)"},
      {"nowhere", "ERROR ! No suitable file found."},
      {"bad.tga", "ERROR ! TGA depth is not 24 or 32 bits"},
  };
  for (const Case& c : cases) manager_->GetTextureByFileName(c.name);
  manager_->LoadQueued(false);
  CTEXTexture* defaultTexture = manager_->DefaultTexture();
  ASSERT_EQ(defaultTexture->Status(), kTextureLoaded);
  EXPECT_EQ(defaultTexture->GLFormat(), kGLFormatRGBA);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTEXTexture* texture = manager_->GetTextureByFileName(c.name);
    EXPECT_EQ(texture->Status(), kTextureDefaulted);
    EXPECT_EQ(texture->GLName(), defaultTexture->GLName());
    EXPECT_EQ(texture->Message(), c.message);
  }

  EXPECT_TRUE(log.Has("3 / 4 resources to load"));
  EXPECT_TRUE(log.Has("Loading [0] - texdefault.tga ... "));
  EXPECT_TRUE(log.Has("Loading [1] - photo.jpg ... ERROR ! File type unrecognised! (PNG/TGA/BMP)"));
  EXPECT_TRUE(log.Has("Loading [2] - nowhere ... ERROR ! No suitable file found."));

  // Releasing a texture that only shows the default's picture must leave
  // that picture alone.
  manager_->Release(manager_->GetTextureByFileName("nowhere"));
  EXPECT_TRUE(log.Has("Releasing... nowhere"));
  EXPECT_TRUE(uploader_.deleted.empty());
  EXPECT_EQ(manager_->FindTexture(String("nowhere")), nullptr);
}

TEST_F(TextureManagerTest, AFailedTextureIsNamedOnTheTerminalOnceForTheRun) {
  LogCapture log(kLogDBG);
  manager_->GetTextureByFileName("Resources/HUD/Gone.png");
  // A material's name standing in for its missing definition: its library
  // says what is wrong.
  manager_->GetTextureByFileName("GemCrystalRed");
  manager_->LoadQueued(false);
  manager_->UnloadAll();
  manager_->LoadQueued(false);
  manager_->LoadQueued(true);
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_EQ(log.Lines()[0].rfind("Cannot load resources/hud/gone.png (", 0), 0u) << log.Lines()[0];
}

// The terminal line of a texture that cannot be loaded says why, in the
// system's words when the file could not be read, in the decoder's when its
// bytes were refused; a file that was found beats the paths where none was.
TEST_F(TextureManagerTest, ATextureThatCannotBeLoadedSaysWhyOnTheTerminal) {
  const Bytes noise = {0x13, 0x57, 0x9b, 0xdf, 0x02, 0x46, 0x8a, 0xce, 0x11, 0x22, 0x33, 0x44,
                       0x55, 0x66, 0x77, 0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff, 0x00};
  const Bytes png = MakePng({4, 4, PNG_COLOR_TYPE_RGB, 8, Bytes(48, 200), {}, {}, false});
  const Bytes cutPng(png.begin(), png.begin() + long(png.size()) - 20);
  struct Case {
    const char* name;
    std::function<void()> place;  // puts what stands at the name (nothing: missing)
    const char* reason;
  };
  const auto folder = [&](const char* path) {
    return [this, path] { ASSERT_EQ(mkdir((folder_.RunPath() + "/" + path).c_str(), 0755), 0); };
  };
  const auto file = [&](const char* path, const Bytes& bytes) {
    return [this, path, bytes] { ASSERT_TRUE(folder_.Write(path, bytes)); };
  };
  const Case cases[] = {
      {"missingPng.png", [] {}, "No such file or directory"},
      {"missingTga.tga", [] {}, "No such file or directory"},
      {"missingBmp.bmp", [] {}, "No such file or directory"},
      {"folderPng.png", folder("folderpng.png"), "Is a directory"},
      {"folderTga.tga", folder("foldertga.tga"), "Is a directory"},
      {"folderBmp.bmp", folder("folderbmp.bmp"), "Is a directory"},
      {"garbagePng.png", file("garbagepng.png", noise), "PNG signature is missing"},
      {"garbageTga.tga", file("garbagetga.tga", noise),
       "TGA type is not supported (true-colour, no colour map, no ID field)"},
      {"garbageBmp.bmp", file("garbagebmp.bmp", noise), "Unknown DIB file format."},
      {"cutPng.png", file("cutpng.png", cutPng), "PNG error: file is truncated"},
      {"deepTga.tga", file("deeptga.tga", MakeTga(2, 1, 1, 16, {1, 2})), "TGA depth is not 24 or 32 bits"},
      {"snapshot.jpg", [] {}, "only PNG, TGA and BMP files are read"},
      // Found under a search path: the line names the file that was refused.
      {"laterPng.png", file("Textures/laterpng.png", noise), "textures/laterpng.png: PNG signature is missing"},
      // A name whose extension is none of the three is tried with each.
      {"plain.jpeg", [] {}, "No such file or directory (tried .png, .TGA and .BMP)"},
      {"odd.tiff", file("Textures/Misc/odd.tiff.BMP", noise), "textures/misc/odd.tiff.BMP: Unknown DIB file format."},
  };
  for (const Case& c : cases) c.place();
  LogCapture log(kLogDBG);
  testing::internal::CaptureStderr();
  for (const Case& c : cases) manager_->GetTextureByFileName(c.name);
  manager_->LoadQueued(false);
  const std::string terminal = testing::internal::GetCapturedStderr();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    String name(c.name);
    name.ToLower();
    const std::string line =
        std::string("Cannot load ") + name.Chars() + " (" + c.reason + "); the game goes on without it";
    EXPECT_TRUE(log.Has(line)) << "log:\n" << ::testing::PrintToString(log.Lines());
    EXPECT_NE(terminal.find(line + "\n"), std::string::npos) << terminal;
    EXPECT_EQ(manager_->GetTextureByFileName(c.name)->Status(), kTextureDefaulted);
  }
  // The texture log keeps the messages the loaders have always given.
  EXPECT_EQ(manager_->GetTextureByFileName("missingPng.png")->Message(), "");
  EXPECT_EQ(manager_->GetTextureByFileName("garbagePng.png")->Message(), "ERROR ! PNG signature is missing");
  EXPECT_EQ(manager_->GetTextureByFileName("plain.jpeg")->Message(), "ERROR ! No suitable file found.");
  EXPECT_EQ(log.Lines().size(), std::size(cases));
}

// What stands in a texture's place and is no file (a FIFO, a device, a
// folder) is refused at once, as a missing file is, and the terminal line
// says why; the load step carries on to the textures after it.
TEST_F(TextureManagerTest, WhatIsNoRegularFileIsRefusedAtOnceAndNamedWithItsReason) {
  ASSERT_TRUE(folder_.Write("Textures/after.TGA", TgaOfWidth(4)));
  ASSERT_TRUE(platform::MakeFolder("HUD"));
  ASSERT_TRUE(platform::MakeFolder("HUD/Shelf.png"));
  ASSERT_EQ(symlink("/dev/zero", "HUD/Noise.tga"), 0);
  platform::FifoWatch fifo({folder_.RunPath() + "/HUD/Pipe.png", folder_.RunPath() + "/HUD/Tube.bmp"});
  ASSERT_TRUE(fifo.Made());
  struct Case {
    const char* name;
    const char* line;
  } cases[] = {
      {"HUD/Pipe.png", "Cannot load hud/pipe.png ("},
      {"HUD/Tube.bmp", "Cannot load hud/tube.bmp ("},
      {"HUD/Noise.tga", "Cannot load hud/noise.tga ("},
      {"HUD/Shelf.png", "Cannot load hud/shelf.png ("},
  };
  LogCapture log(kLogDBG);
  for (const Case& c : cases) manager_->GetTextureByFileName(c.name);
  CTEXTexture* after = manager_->GetTextureByFileName("after");
  manager_->LoadQueued(false);
  manager_->UnloadAll();
  manager_->LoadQueued(false);
  EXPECT_FALSE(fifo.Waited());
  EXPECT_EQ(after->Status(), kTextureLoaded);
  ASSERT_EQ(log.Lines().size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(manager_->GetTextureByFileName(cases[i].name)->Status(), kTextureDefaulted);
    EXPECT_EQ(log.Lines()[i].rfind(cases[i].line, 0), 0u) << log.Lines()[i];
    const char* reason = i < 3 ? "not a regular file" : "Is a directory";
    EXPECT_NE(log.Lines()[i].find(reason), std::string::npos) << log.Lines()[i];
  }
}

TEST_F(TextureManagerTest, UnloadAllQueuesEverythingForTheNextLoadStep) {
  ASSERT_TRUE(folder_.Write("Textures/wall.TGA", TgaOfWidth(4)));
  CTEXTexture* wall = manager_->GetTextureByFileName("wall");
  CTEXTexture* missing = manager_->GetTextureByFileName("missing");
  manager_->LoadQueued(false);
  ASSERT_EQ(wall->Status(), kTextureLoaded);
  ASSERT_EQ(missing->Status(), kTextureDefaulted);
  const uint32_t oldDefaultName = manager_->DefaultTexture()->GLName();
  const uint32_t oldWallName = wall->GLName();

  // The display was rebuilt: every GL name is gone.
  manager_->UnloadAll();
  EXPECT_EQ(manager_->PendingCount(), 3);
  EXPECT_EQ(uploader_.deleted, (std::vector<uint32_t>{oldWallName, oldDefaultName}));
  EXPECT_EQ(missing->Status(), kTextureQueued);

  manager_->LoadQueued(false);
  EXPECT_EQ(wall->Status(), kTextureLoaded);
  EXPECT_NE(wall->GLName(), oldWallName);
  EXPECT_EQ(missing->Status(), kTextureDefaulted);
  EXPECT_EQ(missing->GLName(), manager_->DefaultTexture()->GLName());
  EXPECT_NE(missing->GLName(), oldDefaultName);
  EXPECT_EQ(manager_->PendingCount(), 0);
}

TEST_F(TextureManagerTest, EachLoaderUploadsInItsOwnLayout) {
  // PNG: top row red, bottom row green; OpenGL gets the bottom row first.
  ASSERT_TRUE(folder_.Write("flag.png", MakePng({1, 2, PNG_COLOR_TYPE_RGB, 8, {255, 0, 0, 0, 255, 0}, {}, {}, false})));
  const CTEXTexture* flag = LoadOne("flag.png");
  const FakeUpload* upload = uploader_.UploadOf(flag->GLName());
  ASSERT_NE(upload, nullptr);
  EXPECT_EQ(upload->pixels, (Bytes{0, 255, 0, 255, 0, 0}));
  EXPECT_EQ(flag->BitsPerPixel(), 24u);

  // A texture that once held a 32-bit picture reloads a BMP as RGB.
  ASSERT_TRUE(folder_.Write("sign.TGA", MakeTga(2, 1, 1, 32, {1, 2, 3, 4})));
  CTEXTexture* sign = LoadOne("sign");
  EXPECT_EQ(sign->GLFormat(), kGLFormatRGBA);
  folder_.Remove("sign.TGA");
  ASSERT_TRUE(folder_.Write("sign.BMP", MakeBmp(1, 1, 24, {1, 2, 3})));
  manager_->UnloadAll();
  manager_->LoadQueued(false);
  ASSERT_EQ(sign->Status(), kTextureLoaded);
  EXPECT_EQ(sign->GLFormat(), kGLFormatRGB);
  EXPECT_EQ(uploader_.UploadOf(sign->GLName())->pixels, (Bytes{3, 2, 1}));

  sign->Bind();
  manager_->DefaultTexture()->Bind();
  EXPECT_EQ(uploader_.binds, (std::vector<std::pair<uint32_t, bool>>{{sign->GLName(), false},
                                                                     {manager_->DefaultTexture()->GLName(), true}}));
}

TEST_F(TextureManagerTest, SearchPathsAreKeptOnceInOrder) {
  LogCapture log(kLogTEX);
  EXPECT_EQ(manager_->SearchPathCount(), 6u);
  EXPECT_EQ(*manager_->SearchPathAt(0), "../Common/");
  EXPECT_EQ(*manager_->SearchPathAt(5), "Textures/Icons/");
  manager_->AddSearchPath(String("Fonts/"));
  manager_->AddSearchPath(String(""));
  manager_->AddSearchPath(String("Extra/"));
  EXPECT_EQ(manager_->SearchPathCount(), 7u);
  EXPECT_EQ(*manager_->SearchPathAt(6), "Extra/");
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"Search path ignored = [Fonts/]", "New search path = [Extra/]"}));
}

TEST_F(TextureManagerTest, BlankTexturesAndAspect) {
  CTEXTexture* wide = manager_->GetTextureByFileName("wide");
  ASSERT_TRUE(wide->CreateBlank(256, 128, nullptr));
  EXPECT_EQ(wide->Status(), kTextureBlank);
  EXPECT_FLOAT_EQ(wide->Aspect(), 2.0f);
  wide->UpdateSize();
  EXPECT_FLOAT_EQ(wide->SizeV(), 0.5f);
  EXPECT_EQ(uploader_.UploadOf(wide->GLName())->pixels, Bytes(256 * 128 * 3, 0));

  CTEXTexture* tall = manager_->GetTextureByFileName("tall");
  ASSERT_TRUE(tall->CreateBlank(128, 256, nullptr));
  EXPECT_FLOAT_EQ(tall->Aspect(), 0.0f);
  EXPECT_FALSE(tall->CreateBlank(0, 4, nullptr));
}

TEST_F(TextureManagerTest, BudgetLeavesTheRestPending) {
  manager_->GetTextureByFileName("a");
  manager_->GetTextureByFileName("b");
  manager_->SetLoadBudget(1);
  int calls = 0;
  while (manager_->PendingCount() > 0 && calls < 10) {
    manager_->LoadQueued(false);
    EXPECT_EQ(manager_->LoadedThisCall(), 1);
    ++calls;
  }
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(manager_->GetTextureByFileName("b")->Status(), kTextureDefaulted);
  manager_->LoadQueued(false);
  EXPECT_EQ(manager_->LoadedThisCall(), 0) << "an idle call loads nothing";
}

TEST_F(TextureManagerTest, TextureListsWriteAndReadBack) {
  manager_->GetTextureByFileName("Textures\\Wall.tga");
  manager_->GetTextureByFileName("fonts/small");
  ASSERT_TRUE(manager_->WriteTextureList("list.txt"));
  std::string text;
  ASSERT_TRUE(ReadDiskText("list.txt", text));
  EXPECT_EQ(text, "[TEX]\n3\ntexdefault.tga\ntextures/wall.tga\nfonts/small\n");

  CTEXManager other;
  ASSERT_TRUE(other.ReadTextureList("list.txt"));
  EXPECT_EQ(other.TextureCount(), 3u);
  EXPECT_NE(other.FindTexture(String("fonts/small")), nullptr);

  // A count larger than the list, and files that are no list at all.
  ASSERT_TRUE(folder_.WriteText("short.txt", "[TEX]\n99\nextra.png\n"));
  ASSERT_TRUE(folder_.WriteText("other.txt", "[TXT]\n1\nnot.png\n"));
  EXPECT_TRUE(other.ReadTextureList("short.txt"));
  EXPECT_EQ(other.TextureCount(), 4u);
  EXPECT_FALSE(other.ReadTextureList("other.txt"));
  EXPECT_FALSE(other.ReadTextureList("missing.txt"));
  EXPECT_EQ(other.TextureCount(), 4u);
}

}  // namespace
