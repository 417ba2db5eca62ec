// The game data the build wrote into the run folder, read back with the
// engine's own readers under the names the game asks for.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "content/game/Constellations.h"
#include "content/game/GameData.h"
#include "content/game/GameDataNames.h"
#include "content/game/GameSounds.h"
#include "content/game/GlyphSheets.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/graphics/TextureManager.h"
#include "engine/graphics/tests/support/FakeTextureUploader.h"
#include "game/puzzle/Constellation.h"
#include "game/shell/CreditsScreen.h"
#include "game/shell/GAudio.h"
#include "game/shell/ShellResources.h"
#include "platform/TempFolder.h"
#include "support/GameDataSupport.h"

namespace {

bool PowerOfTwo(uint32_t n) { return n != 0 && (n & (n - 1)) == 0; }

std::string Definition(const char* entry) {
  return std::string("Resources/Boards/Challenge/") + entry + ".definition.txt";
}

std::vector<std::string> Pictures() {
  std::vector<std::string> names(gamedata::kScreens.begin(), gamedata::kScreens.end());
  names.insert(names.end(), gamedata::kGlyphSheets.begin(), gamedata::kGlyphSheets.end());
  names.insert(names.end(), gamedata::kTextFonts.begin(), gamedata::kTextFonts.end());
  return names;
}

TEST(GameData, EveryFileTheGameOpensIsInTheRunFolder) {
  InRunFolder run;
  std::vector<std::string> files = Pictures();
  for (const char* font : gamedata::kTextFonts) files.push_back(std::filesystem::path(font).replace_extension(".fnt"));
  for (const gamedata::Library& library : gamedata::kLibraries) files.push_back(library.path);
  files.insert(files.end(), {gamedata::kConstellationMaterials, gamedata::kConstellationList, gamedata::kCredits});
  for (const ConstellationDesign& design : ChallengeConstellations()) files.push_back(Definition(design.name));
  // The audio layer's sound table, as the game reads it.
  for (int entry = 0; entry < GAudio::kSoundCount; ++entry) {
    if (const char* sound = GAudio::SoundFile(entry)) files.push_back(sound);
  }
  for (const std::string& file : files) EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
}

class GameDataLibraries : public ::testing::Test {
 protected:
  InRunFolder run_;
  FakeTextureUploader uploader_;
  CTEXManager textures_;
  CMATManager materials_{&textures_};
};

TEST_F(GameDataLibraries, PicturesLoadWithoutTheFallbackAtPowerOfTwoSizes) {
  std::vector<std::pair<std::string, CTEXTexture*>> asked;
  for (const std::string& name : Pictures()) asked.emplace_back(name, textures_.GetTextureByFileName(name.c_str()));
  // The HUD asks for its whole-screen image by bare name, found under "Textures/".
  CTEXTexture* hud = textures_.GetTextureByFileName("HUDBackground");
  textures_.LoadQueued(false);
  for (const auto& [name, texture] : asked) {
    EXPECT_EQ(texture->Status(), kTextureLoaded) << name;
    EXPECT_TRUE(PowerOfTwo(texture->Width()) && PowerOfTwo(texture->Height())) << name;
  }
  ASSERT_EQ(hud->Status(), kTextureLoaded);
  const FakeUpload* upload = uploader_.UploadOf(hud->GLName());
  ASSERT_NE(upload, nullptr);
  ASSERT_EQ(upload->glFormat, kGLFormatRGBA);
  for (size_t i = 3; i < upload->pixels.size(); i += 4) ASSERT_EQ(upload->pixels[i], 0) << "the HUD image shows";
}

TEST_F(GameDataLibraries, EveryLibraryHoldsItsMaterialsWithMapsThatLoad) {
  std::vector<std::pair<const char*, std::vector<std::string>>> expected;
  for (const gamedata::Library& library : gamedata::kLibraries) {
    std::vector<std::string> names;
    for (const char* name : library.materials) {
      if (name != nullptr) names.push_back(name);
    }
    expected.emplace_back(library.path, names);
  }
  expected.back().second.assign(gamedata::kCrystalMaterials.begin(), gamedata::kCrystalMaterials.end());
  std::vector<std::string> constellationMaterials;
  for (const ConstellationDesign& design : ChallengeConstellations()) {
    constellationMaterials.push_back(std::string(design.name) + "Silhouette");
    constellationMaterials.push_back(std::string(design.name) + "Outline");
  }
  expected.emplace_back(gamedata::kConstellationMaterials, constellationMaterials);

  for (const auto& [path, names] : expected) {
    ASSERT_TRUE(materials_.ReadLibrary(path)) << path;
    const CMATLibrary* library = materials_.GetLibraryAt(materials_.GetLibraryCount() - 1);
    // Exactly the blocks named: a stray line between blocks would make one more.
    EXPECT_EQ(library->materialCount, names.size()) << path;
  }
  materials_.ResolveTextures();
  textures_.LoadQueued(false);
  for (const auto& [path, names] : expected) {
    for (const std::string& name : names) {
      SCOPED_TRACE(name);
      CMATMaterial* material = materials_.FindMaterial(String(name.c_str()));
      ASSERT_NE(material, nullptr);
      ASSERT_GE(material->StageCount(), 1);
      EXPECT_EQ(material->Sides(), 0u) << "drawn double-sided";
      for (int32_t s = 0; s < material->StageCount(); ++s) {
        const CMATStage* stage = material->GetStage(uint32_t(s));
        ASSERT_TRUE(stage->flags & StageFlag::MAP);
        ASSERT_NE(stage->texture, nullptr);
        EXPECT_EQ(stage->texture->Status(), kTextureLoaded) << stage->mapName.Chars();
        EXPECT_TRUE(PowerOfTwo(stage->texture->Width()) && PowerOfTwo(stage->texture->Height()));
      }
    }
  }
  // Glows are painted on black and added: RGB, so no alpha test cuts them.
  for (const char* glow : {"StarHalo", "FX_GemBeams", "FocusOrb", "CompletedStar"}) {
    const CMATStage* stage = materials_.FindMaterial(String(glow))->GetStage(0);
    EXPECT_EQ(stage->texture->GLFormat(), kGLFormatRGB) << glow;
    EXPECT_TRUE(stage->flags & StageFlag::BLEND) << glow;
  }
  EXPECT_EQ(materials_.FindMaterial(String("FocusOrb"))->StageCount(), 2);
}

TEST_F(GameDataLibraries, CrystalsHaveTheirOwnColoursAndLookAsTheyPlay) {
  ASSERT_TRUE(materials_.ReadLibrary("Resources/Materials/Gems.mat"));
  std::vector<std::array<float, 3>> colours;
  for (const char* name : gamedata::kCrystalMaterials) {
    const CMATMaterial* material = materials_.FindMaterial(String(name));
    ASSERT_NE(material, nullptr) << name;
    const CMATStage* stage = material->GetStage(0);
    EXPECT_TRUE(stage->flags & StageFlag::COLOUR) << name;
    // Lit without colour tracking: the hue must be in the light's terms.
    EXPECT_TRUE(stage->flags & StageFlag::AMBIENT) << name;
    EXPECT_TRUE(stage->flags & StageFlag::DIFFUSE) << name;
    EXPECT_NEAR(stage->diffuse[0] + stage->diffuse[1] + stage->diffuse[2],
                stage->colour[0] + stage->colour[1] + stage->colour[2], 0.01f)
        << name;
    colours.push_back({stage->colour[0], stage->colour[1], stage->colour[2]});
  }
  for (size_t a = 0; a < colours.size(); ++a) {
    for (size_t b = a + 1; b < colours.size(); ++b) {
      const float distance = std::fabs(colours[a][0] - colours[b][0]) + std::fabs(colours[a][1] - colours[b][1]) +
                             std::fabs(colours[a][2] - colours[b][2]);
      EXPECT_GT(distance, 0.2f) << gamedata::kCrystalMaterials[a] << " and " << gamedata::kCrystalMaterials[b];
    }
  }
  auto brightness = [&](size_t i) { return colours[i][0] + colours[i][1] + colours[i][2]; };
  EXPECT_GT(brightness(7), 2.5f) << "GemCrystalBlack draws the White gem";
  EXPECT_LT(brightness(8), 0.5f) << "GemCrystalWhite draws the Black gem";
}

TEST(GameData, GlyphSheetsInkEveryCellAndLeaveTheGapsClear) {
  InRunFolder run;
  using namespace glyphsheet;
  for (const char* sheet : gamedata::kGlyphSheets) {
    SCOPED_TRACE(sheet);
    DecodedImage image;
    ASSERT_TRUE(DecodePng(ReadAll(sheet), image).ok);
    ASSERT_EQ(image.width, uint32_t(kSheetSize));
    ASSERT_EQ(image.height, uint32_t(kSheetSize));
    ASSERT_EQ(image.components, 4u);
    auto alpha = [&](int x, int y) { return image.pixels[(size_t(y) * kSheetSize + size_t(x)) * 4 + 3]; };
    std::vector<int> ink(kGlyphCount, 0);
    int stray = 0;
    for (int y = 0; y < kSheetSize; ++y) {
      for (int x = 0; x < kSheetSize; ++x) {
        if (alpha(x, y) == 0) continue;
        const int column = x / kFrameStep, row = y / kFrameStep;
        const int cx = x - CellOrigin(column), cy = y - CellOrigin(row);
        // Ink only inside a glyph's cell, short of its margin.
        const bool inside = column < kColumns && row < kColumns && cx >= kInkMargin && cx < kCellSize - kInkMargin &&
                            cy >= kInkMargin && cy < kCellSize - kInkMargin;
        if (inside)
          ++ink[size_t(row * kColumns + column)];
        else
          ++stray;
      }
    }
    EXPECT_EQ(stray, 0);
    for (int glyph = 0; glyph < kGlyphCount; ++glyph) EXPECT_GT(ink[size_t(glyph)], 40) << GlyphCharacter(glyph);
    // '.' is small and sits low; '1' is tall.
    EXPECT_LT(ink[46], ink[1]);
  }
}

TEST(GameData, TheTitleBannerLeavesTheBandWhereTheMenusWriteClear) {
  InRunFolder run;
  DecodedImage image;
  ASSERT_TRUE(DecodePng(ReadAll(gamedata::kScreens[0]), image).ok);
  ASSERT_EQ(image.components, 4u);
  // Rows at or below the clear band's top hold nothing, the rows above hold
  // the title.
  const uint32_t clearRow = uint32_t(std::floor(kTitlePictureClearFrom / kTitlePictureHeight * float(image.height)));
  uint32_t inkedAbove = 0;
  for (uint32_t y = 0; y < image.height; ++y) {
    for (uint32_t x = 0; x < image.width; ++x) {
      const uint8_t alpha = image.pixels[(size_t(y) * image.width + x) * 4 + 3];
      if (y >= clearRow) {
        ASSERT_EQ(alpha, 0) << "at " << x << ", " << y;
      } else if (alpha > 200) {
        ++inkedAbove;
      }
    }
  }
  EXPECT_GT(inkedAbove, image.width * clearRow / 20);
}

TEST(GameData, DisplayFontsLoadWithTheirSheets) {
  InRunFolder run;
  for (const char* name : gamedata::kTextFonts) {
    GFXFont font;
    ASSERT_TRUE(font.Load(name)) << name;
    EXPECT_GT(font.widths['W'], font.widths['i']) << name;
    ASSERT_NE(font.material, nullptr);
    ASSERT_GE(font.material->StageCount(), 1);
    EXPECT_STRCASEEQ(font.material->GetStage(0)->mapName.Chars(), name);
  }
  GFXFont regular, bold;
  ASSERT_TRUE(regular.Load(gamedata::kTextFonts[0]));
  ASSERT_TRUE(bold.Load(gamedata::kTextFonts[1]));
  EXPECT_EQ(regular.scale.x, 21.0f);
  EXPECT_EQ(bold.scale.y, 32.0f);
  CMATManager::DestroyInstance();
}

TEST(GameData, ConstellationListAndDefinitionsAreWholeAndWithinBounds) {
  InRunFolder run;
  const std::vector<std::string> list = ReadLines(gamedata::kConstellationList);
  ASSERT_GE(list.size(), 2u);
  int count = 0;
  ASSERT_EQ(std::sscanf(list.front().c_str(), "[CONSTELLATIONS] %d", &count), 1);
  EXPECT_EQ(list.back(), "[END]");
  std::vector<std::string> entries;
  for (const std::string& line : list) {
    if (line.rfind("[CONSTELLATION] ", 0) == 0) entries.push_back(line.substr(16));
  }
  ASSERT_EQ(int(entries.size()), count);
  std::set<size_t> starCounts;
  for (const std::string& entry : entries) {
    SCOPED_TRACE(entry);
    const std::vector<std::string> lines = ReadLines(Definition(entry.c_str()));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "[END]");
    char name[64] = {0};
    ASSERT_EQ(std::sscanf(lines[0].c_str(), "[NAME] %63[^\n]", name), 1);
    // Drawn in glyph text on the progress page, and the board's file name.
    const std::string shown = name;
    EXPECT_TRUE(shown.size() >= 4 && shown.size() <= 10);
    for (char c : shown) EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(c)));
    EXPECT_EQ(lines[1].rfind("[SILOHUETTE] " + shown + "Silhouette", 0), 0u);
    EXPECT_EQ(lines[2].rfind("[OUTLINE] " + shown + "Outline", 0), 0u);
    int stars = 0;
    ASSERT_EQ(std::sscanf(lines[4].c_str(), "[STARS] %d", &stars), 1);
    starCounts.insert(size_t(stars));
    ASSERT_EQ(lines.size(), size_t(stars) + 6);
    for (int s = 0; s < stars; ++s) {
      int x = -1, y = -1, minutes = 0, seconds = 0;
      float value = 0.0f;
      ASSERT_EQ(
          std::sscanf(lines[size_t(5 + s)].c_str(), "\t[STAR] (%d,%d) %f %d:%d", &x, &y, &value, &minutes, &seconds), 5)
          << lines[size_t(5 + s)];
      EXPECT_TRUE(x >= 0 && x <= 256 && y >= 0 && y <= 256);
      const int par = minutes * 60 + seconds;
      EXPECT_TRUE(par >= 60 && par <= 180) << par;
    }
  }
  EXPECT_EQ(starCounts, (std::set<size_t>{3, 4, 5}));
}

TEST(GameData, TheGameReadsEveryConstellationDefinition) {
  InRunFolder run;
  for (const ConstellationDesign& design : ChallengeConstellations()) {
    SCOPED_TRACE(design.name);
    Constellation constellation;
    ASSERT_TRUE(constellation.Read(Definition(design.name).c_str()));
    EXPECT_STREQ(constellation.name.Chars(), design.name);
    ASSERT_EQ(constellation.starCount, design.stars.size());
    EXPECT_NE(constellation.silhouette, nullptr);
    EXPECT_NE(constellation.outline, nullptr);
    for (size_t s = 0; s < design.stars.size(); ++s) {
      EXPECT_FLOAT_EQ(constellation.stars[s].position.x, float(design.stars[s].x) / 256.0f);
      EXPECT_FLOAT_EQ(constellation.stars[s].parSeconds, float(design.stars[s].parSeconds));
    }
  }
  CMATManager::DestroyInstance();
}

TEST(GameData, EveryCreditsLineCarriesAMarker) {
  InRunFolder run;
  const std::vector<std::string> lines = ReadLines(gamedata::kCredits);
  ASSERT_GT(lines.size(), 20u);
  for (const std::string& line : lines) {
    const bool marked =
        line.rfind("<TITLE>", 0) == 0 || line.rfind("<TEXT>", 0) == 0 || line == "<SPACE>" || line == "<RULE>";
    EXPECT_TRUE(marked) << line;
  }
}

// Laid out in the credits' own fonts, the text rises from below the screen
// for the whole time the page is shown: its last line is on the screen when
// the timer returns to the menu, and no line is wider than the screen.
TEST(GameData, TheCreditsScrollUntilThePageEnds) {
  InRunFolder run;
  GFXFont text, title;
  ASSERT_TRUE(text.Load(gamedata::kTextFonts[0]));
  ASSERT_TRUE(title.Load(gamedata::kTextFonts[1]));
  // The line height the display gives a font without a description: its
  // sheet's height over the 16 rows of glyphs.
  auto lineHeight = [](const GFXFont& font, const char* sheet) {
    if (font.info != nullptr) return static_cast<int32_t>(font.scale.y);
    DecodedImage image;
    EXPECT_TRUE(DecodePng(ReadAll(sheet), image).ok) << sheet;
    return static_cast<int32_t>(image.height / 16);
  };
  const int32_t textHeight = lineHeight(text, gamedata::kTextFonts[0]);
  const int32_t titleHeight = lineHeight(title, gamedata::kTextFonts[1]);
  ASSERT_GT(textHeight, 0);
  ASSERT_GT(titleHeight, 0);
  const std::vector<CreditsItem> items = LayoutCredits(ReadCreditsLines(gamedata::kCredits), textHeight, titleHeight);
  ASSERT_FALSE(items.empty());
  const float scrollAtTheEnd =
      CreditsScreen::kStartOffset - CreditsScreen::kRisePerSecond * CreditsScreen::kShowSeconds;
  const float lastOnScreen = items.back().y + scrollAtTheEnd;
  EXPECT_GE(lastOnScreen, 0.0f) << "the page is empty before its timer ends";
  EXPECT_LT(lastOnScreen, 600.0f) << "the last line never comes up";
  for (const CreditsItem& item : items) {
    const GFXFont& font = item.kind == CreditsKind::Title ? title : text;
    EXPECT_LE(font.GetTextWidth(item.text.Chars()), 800.0f) << item.text.Chars();
  }
  CMATManager::DestroyInstance();
}

TEST(GameData, TheUnstableLoopJoinsWithoutAClick) {
  const SoundMix loop = EffectSound("UnstableNovalith");
  ASSERT_EQ(loop.channels.size(), 1u);
  const Signal& samples = loop.channels[0];
  ASSERT_EQ(samples.size(), size_t(kUnstablePulseSeconds * kUnstablePulses * kEffectRate));
  float largestStep = 0.0f;
  for (size_t i = 1; i < samples.size(); ++i)
    largestStep = std::max(largestStep, std::fabs(samples[i] - samples[i - 1]));
  // Played round, the last sample leads into the first like any other two.
  EXPECT_LE(std::fabs(samples.front() - samples.back()), largestStep);
  EXPECT_GT(largestStep, 0.0f);
}

TEST(GameData, TwoGenerationsWriteTheSameBytes) {
  platform::ScopedTempFolder again("game-data");
  ASSERT_TRUE(MakeGameData(again.Path(), VYRE_FONT_DIR));
  int compared = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(again.Path())) {
    if (!entry.is_regular_file()) continue;
    const std::string relative = std::filesystem::relative(entry.path(), again.Path());
    EXPECT_EQ(ReadAll(entry.path()), ReadAll(std::string(VYRE_RUN_DIR) + "/" + relative)) << relative;
    ++compared;
  }
  EXPECT_GT(compared, 40);
}

}  // namespace
