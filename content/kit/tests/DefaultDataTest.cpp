#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "content/kit/DefaultData.h"
#include "content/kit/FontGrid.h"
#include "content/kit/PngWriter.h"
#include "content/kit/TgaWriter.h"
#include "engine/graphics/PngDecoder.h"
#include "engine/graphics/TgaDecoder.h"

namespace {

const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// Four distinct corners, so a flipped or mirrored picture shows.
Image Corners() {
  Image image(3, 2);
  const uint8_t red[4] = {255, 0, 0, 255}, green[4] = {0, 255, 0, 128}, blue[4] = {0, 0, 255, 255},
                white[4] = {255, 255, 255, 0};
  image.Fill(0, 0, 1, 1, red);
  image.Fill(2, 0, 1, 1, green);
  image.Fill(0, 1, 1, 1, blue);
  image.Fill(2, 1, 1, 1, white);
  return image;
}

TEST(DefaultDataTest, WrittenPicturesDecodeWithTheEngineReaders) {
  const Image image = Corners();
  DecodedImage png;
  ASSERT_TRUE(DecodePng(EncodePng(image), png).ok);
  ASSERT_EQ(png.width, 3u);
  ASSERT_EQ(png.height, 2u);
  ASSERT_EQ(png.components, 4u);
  EXPECT_EQ(png.pixels, image.pixels);  // top row first, as written

  DecodedImage tga;
  ASSERT_TRUE(DecodeTga(EncodeTga(image), tga).ok);
  ASSERT_EQ(tga.width, 3u);
  ASSERT_EQ(tga.height, 2u);
  ASSERT_EQ(tga.components, 4u);
  // The reader hands rows bottom first, ready for OpenGL.
  std::vector<uint8_t> bottomFirst(image.pixels.begin() + 12, image.pixels.end());
  bottomFirst.insert(bottomFirst.end(), image.pixels.begin(), image.pixels.begin() + 12);
  EXPECT_EQ(tga.pixels, bottomFirst);
}

TEST(DefaultDataTest, FontTextWritesWidthsAsSignedBytes) {
  std::array<uint8_t, 256> widths{};
  widths['A'] = 9;
  widths[255] = 200;
  const std::string text = FontText("Fonts/NewDefault.png", 16, widths);
  EXPECT_EQ(text.rfind("[IMAGE]Fonts/NewDefault.png\n[HW]16,16\n[SHADOW]0\n[OUTLINE]0\n[ITALICS]0\n[0]0\n", 0), 0u);
  EXPECT_NE(text.find("\n[65]9\n"), std::string::npos);
  EXPECT_NE(text.find("\n[255]-56\n"), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5 + 256);
}

TEST(DefaultDataTest, FontGridCentresGlyphsInTheirCells) {
  FontGrid grid(16);
  ASSERT_TRUE(RenderFontGrid(kFont, 16, &grid));
  EXPECT_EQ(grid.widths[' '], grid.widths['A']);  // a fixed-pitch face
  EXPECT_GT(grid.widths['A'], 4);
  EXPECT_LE(grid.widths['A'], 16);
  EXPECT_EQ(grid.widths['\n'], 0);
  // 'A' (65) sits in row 4, column 1: some of its cell is covered, the space's is not.
  auto coverage = [&](int code) {
    int covered = 0;
    for (uint32_t y = 0; y < 16; ++y) {
      for (uint32_t x = 0; x < 16; ++x) covered += grid.image.At((code % 16) * 16 + x, (code / 16) * 16 + y)[3] > 0;
    }
    return covered;
  };
  EXPECT_GT(coverage('A'), 10);
  EXPECT_EQ(coverage(' '), 0);

  FontGrid missing(16);
  EXPECT_FALSE(RenderFontGrid("/nonexistent/font.ttf", 16, &missing));
}

TEST(DefaultDataTest, MakesEveryFileUnderTheNamesTheEngineAsksFor) {
  char folder[] = "/tmp/vyre-content-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  ASSERT_TRUE(MakeDefaultData(folder, kFont));
  const char* files[] = {"Textures/TEXDefault.TGA",
                         "Fonts/NewDefault.png",
                         "Fonts/NewDefault.fnt",
                         "Textures/Frames/MainWindow.png",
                         "Textures/Icons/Close.png",
                         "Textures/Icons/Minimise.png",
                         "Textures/Icons/Maximise.png",
                         "Textures/Icons/UpArrow.png",
                         "Textures/Icons/ScrollThumb.png",
                         "Textures/Icons/MouseCursor.png",
                         "Textures/Misc/GroundPlane.png",
                         "Vyre/Textures/GUI/Materials.txt",
                         "Textures/Materials/textures/logos/velksw_translucent.png",
                         "Textures/Materials/textures/logos/Vyrelogo.png"};
  for (const char* file : files) {
    EXPECT_TRUE(std::filesystem::is_regular_file(std::string(folder) + "/" + file)) << file;
  }
  // The engine asks for names in any case and the path resolver takes an
  // exact match first: two names in one folder that differ only by case
  // would hide whatever stands below the one it does not take.
  std::vector<std::string> lowered;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    std::string name = entry.path().string();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    lowered.push_back(name);
  }
  std::sort(lowered.begin(), lowered.end());
  EXPECT_EQ(std::adjacent_find(lowered.begin(), lowered.end()), lowered.end())
      << "two names differ only by case: " << *std::adjacent_find(lowered.begin(), lowered.end());
  std::ifstream library(std::string(folder) + "/Vyre/Textures/GUI/Materials.txt");
  std::stringstream text;
  text << library.rdbuf();
  EXPECT_NE(text.str().find("icons/close.png\n{\n\t{\n\t\tMAP Icons/Close.png\n\t\tBLEND\n\t}\n}\n"),
            std::string::npos);
  std::filesystem::remove_all(folder);
}

}  // namespace
