// The renderer's arithmetic, its font files and its light mapping, with no
// GL context: screen projection, the depth-offset factor, pass counts, font
// names, the engine font file, BMFont descriptions and width tables.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/foundation/Log.h"
#include "engine/foundation/ResourceManager.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/GFXLight.h"
#include "engine/graphics/Material.h"
#include "support/ScratchRunFolder.h"

namespace {

// Identity view and an orthographic projection that maps (x, y) straight to
// overlay window coordinates, with depth -1..1.
void CaptureOverlayOrtho() {
  const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  // glOrtho(0, 800, 0, 600, -1, 1), column-major.
  const double ortho[16] = {2.0 / 800, 0, 0, 0, 0, 2.0 / 600, 0, 0, 0, 0, -1, 0, -1, -1, 0, 1};
  const int viewport[4] = {0, 0, 32, 32};  // the captured size is never used
  GFXDisplay::SetCapturedMatrices(identity, ortho, viewport);
}

TEST(RendererProjection, ProjectToScreenTable) {
  CaptureOverlayOrtho();
  const Vector2 margin(10.0f, 5.0f);
  struct Case {
    Vector3 point;
    const Vector2* margin;
    bool visible;
    Vector2 expected;
  } cases[] = {
      {{400, 300, 0}, nullptr, true, {400, 300}},
      {{0, 600, 0}, nullptr, true, {0, 0}},      // y flips: top of the window is 0
      {{800, 0, 0}, nullptr, true, {800, 600}},  // the far corner is still inside
      {{800.5f, 600, 0}, nullptr, false, {800.5f, 0}},
      {{-5, 300, 0}, &margin, true, {-5, 300}},  // inside the widened box
      {{-11, 300, 0}, &margin, false, {-11, 300}},
      {{400, -5, 0}, &margin, true, {400, 605}},
      {{400, 300, -2}, nullptr, false, {400, 300}},  // beyond the far plane
      {{400, 300, 1}, nullptr, true, {400, 300}},    // on the near plane
  };
  for (const Case& c : cases) {
    Vector2 out;
    EXPECT_EQ(GFXDisplay::ProjectToScreen(c.point, &out, c.margin), c.visible)
        << c.point.x << "," << c.point.y << "," << c.point.z;
    EXPECT_NEAR(out.x, c.expected.x, 1e-3f);
    EXPECT_NEAR(out.y, c.expected.y, 1e-3f);
  }
}

TEST(RendererProjection, DepthOffsetFactor) {
  // e = -2 far near d / ((far + near) z (z + d)).
  const float nearPlane = 1.0f, farPlane = 1500.0f, d = 1.0f, z = 10.0f;
  const float e = -2.0f * farPlane * nearPlane * d / ((farPlane + nearPlane) * z * (z + d));
  EXPECT_FLOAT_EQ(GFXDisplay::DepthOffsetFactor(nearPlane, farPlane, d, z), 1.0f + e);
  // A camera at the origin, or a projection never set, leaves depth alone
  // instead of dividing by zero.
  EXPECT_FLOAT_EQ(GFXDisplay::DepthOffsetFactor(nearPlane, farPlane, d, 0.0f), 1.0f);
  EXPECT_FLOAT_EQ(GFXDisplay::DepthOffsetFactor(0.0f, 0.0f, d, z), 1.0f);
  EXPECT_FLOAT_EQ(GFXDisplay::DepthOffsetFactor(nearPlane, farPlane, -z, z), 1.0f);
}

TEST(RendererMaterials, OnePassPerStageAtLeastOne) {
  EXPECT_EQ(GFXDisplay::PassCount(nullptr), 1);
  CMATMaterial material;
  EXPECT_EQ(GFXDisplay::PassCount(&material), 1);
  ASSERT_TRUE(material.AllocateStages(3));
  EXPECT_EQ(GFXDisplay::PassCount(&material), 3);
}

TEST(RendererLights, IndexPicksTheGlLight) {
  const struct {
    int32_t index;
    GLenum light;
  } cases[] = {{0, GL_LIGHT0},  {1, GL_LIGHT1},   {6, GL_LIGHT6},   {7, GL_LIGHT0},
               {-1, GL_LIGHT0}, {257, GL_LIGHT1}, {1000, GL_LIGHT0}};
  for (const auto& c : cases) {
    GFXLight light;
    light.SetIndex(c.index);
    EXPECT_EQ(light.GlLight(), c.light) << c.index;
  }
  EXPECT_EQ(GetLight(8), GetLight(0));
  EXPECT_NE(GetLight(7), GetLight(0));
}

TEST(RendererText, PrintAtWithoutFontLogsAndDrawsNothing) {
  LogCapture log(kLogGFX);
  GFXDisplay::DeleteAllFonts();
  GFXDisplay::PrintAt(3, "text", 10, 10);
  GFXDisplay::PrintAt(-1, "text", 10, 10);  // means font 0, which is missing too
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"[GFXDisplay] Attempting to PrintAt with a NULL font",
                                                   "[GFXDisplay] Attempting to PrintAt with a NULL font"}));
  EXPECT_EQ(GFXDisplay::GetFontHeight(3), 0);
  EXPECT_EQ(GFXDisplay::GetTextWidth(3, "abc"), 0);
}

TEST(FontNames, BaseNameDropsTheLastExtensionOnly) {
  const struct {
    const char* name;
    const char* base;
  } cases[] = {{"Fonts/NewDefault.png", "Fonts/NewDefault"},
               {"Fonts/Big.v2.png", "Fonts/Big.v2"},
               {"../data.d/font", "../data.d/font"},
               {"data.d\\font", "data.d\\font"},
               {"font", "font"},
               {"", ""}};
  for (const auto& c : cases) EXPECT_STREQ(FontBaseName(c.name).Chars(), c.base) << c.name;
}

void PutInt(Bytes& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
}

// A resource archive holding one file: header, contents, directory.
Bytes PackedArchive(const std::string& name, const std::string& contents) {
  Bytes bytes = {'C', 'A', 'B', '0', '1', 0};
  PutInt(bytes, uint32_t(14 + contents.size()));
  PutInt(bytes, 1);
  bytes.insert(bytes.end(), contents.begin(), contents.end());
  PutInt(bytes, 1);
  PutInt(bytes, 14);
  PutInt(bytes, uint32_t(contents.size()));
  bytes.insert(bytes.end(), name.begin(), name.end());
  bytes.push_back(0);
  return bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(FontFiles, WidthTableWritesAnEngineFontThatReadsBackTheSame) {
  ScratchRunFolder run;
  Bytes table(256);
  for (int i = 0; i < 256; ++i) table[size_t(i)] = uint8_t(i);
  table[65] = 200;
  ASSERT_TRUE(run.Write("Fonts/Grid.dat", table));

  GFXFont first;
  ASSERT_TRUE(first.Load("Fonts/Grid.png"));  // the texture name finds the table
  EXPECT_EQ(first.type, GFXFont::kBitmap);
  EXPECT_STREQ(first.name.Chars(), "Fonts/Grid");
  ASSERT_NE(first.material, nullptr);
  EXPECT_EQ(first.material->GetStage(0)->mipmap, 2);
  EXPECT_NE(first.material->GetStage(0)->flags & StageFlag::BLEND, 0u);
  EXPECT_EQ(first.material->Sides() & MaterialSide::BACK, 0u);

  const std::string written = ReadFile("Fonts/Grid.fnt");
  EXPECT_EQ(written.rfind("[IMAGE]Fonts/Grid\n[HW]16,16\n[SHADOW]0\n[OUTLINE]0\n[ITALICS]0\n[0]0\n", 0), 0u);
  EXPECT_NE(written.find("\n[65]-56\n"), std::string::npos);
  EXPECT_NE(written.find("\n[255]-1\n"), std::string::npos);

  run.Remove("Fonts/Grid.dat");
  GFXFont second;
  ASSERT_TRUE(second.Load("Fonts/Grid"));
  EXPECT_EQ(second.type, GFXFont::kBitmap);
  EXPECT_EQ(0, memcmp(first.widths, second.widths, 256));
  EXPECT_EQ(second.widths[65], 200);
  EXPECT_FLOAT_EQ(second.scale.x, 16.0f);
  EXPECT_FLOAT_EQ(second.scale.y, 16.0f);
  EXPECT_EQ(second.material->GetStage(0)->mipmap, 0);
  // Unsigned codes: characters above 127 count with their own widths.
  EXPECT_FLOAT_EQ(second.GetTextWidth("\xC8\xFF"), 200.0f + 255.0f);
  EXPECT_FLOAT_EQ(second.GetTextWidth("A"), 200.0f);
}

TEST(FontFiles, EngineFontFlagsRoundTrip) {
  ScratchRunFolder run;
  GFXFont font;
  font.name = "Fonts/Flags";
  font.scale.Set(12.0f, 14.0f);
  font.shadow = true;
  font.outline = 1;
  font.italic = 0;
  font.widths[255] = 128;
  ASSERT_TRUE(font.WriteText("Flags.fnt"));
  GFXFont back;
  ASSERT_TRUE(back.ReadText("Flags.fnt"));
  EXPECT_FLOAT_EQ(back.scale.x, 12.0f);
  EXPECT_FLOAT_EQ(back.scale.y, 14.0f);
  EXPECT_TRUE(back.shadow);
  EXPECT_EQ(back.outline, 1);
  EXPECT_EQ(back.italic, 0);
  EXPECT_EQ(back.widths[255], 128);
}

TEST(FontFiles, MissingShortAndUnwritableFiles) {
  ScratchRunFolder run;
  LogCapture log(kLogGFX);
  GFXFont missing;
  EXPECT_FALSE(missing.Load("Fonts/Nothing.png"));
  EXPECT_EQ(missing.type, GFXFont::kNone);

  ASSERT_TRUE(run.Write("Fonts/Short.dat", Bytes(10, 7)));
  GFXFont shortTable;
  EXPECT_FALSE(shortTable.Load("Fonts/Short"));
  EXPECT_EQ(shortTable.type, GFXFont::kNone);
  EXPECT_TRUE(log.Has("Font Fonts/Short.dat : width table holds 10 bytes, not 256"));

  // A table read from an archive whose folder is not on the disk: the ".fnt"
  // cannot be written beside it, and the font still loads.
  ASSERT_TRUE(run.Write("Packed.cab", PackedArchive("Packed/Locked.dat", std::string(256, '\x09'))));
  ASSERT_TRUE(ResourceManager::Instance().Mount("Packed.cab"));
  GFXFont locked;
  EXPECT_TRUE(locked.Load("Packed/Locked"));
  ResourceManager::Instance().UnmountAll();
  EXPECT_EQ(locked.type, GFXFont::kBitmap);
  EXPECT_EQ(locked.widths[100], 9);
  EXPECT_TRUE(log.Has("Font Packed/Locked : could not write Packed/Locked.fnt"));
}

TEST(FontFiles, BMFontKeepsCharactersUpTo177) {
  std::string text =
      "info face=\"Test\" size=32 bold=0 italic=0 charset=\"\" unicode=0 stretchH=100 smooth=1 aa=1 "
      "padding=0,0,0,0 spacing=1,1\n"
      "common lineHeight=32 base=26 scaleW=256 scaleH=128 pages=1 packed=0\n"
      "page id=0 file=\"Fonts/bm.png\"\n"
      "chars count=5\n";
  auto charLine = [](int id, int x) {
    return "char id=" + std::to_string(id) + "\tx=" + std::to_string(x) +
           "\ty=4\twidth=10\theight=12\txoffset=1\tyoffset=2\txadvance=11\tpage=0\tchnl=0\n";
  };
  text +=
      charLine(40, 8) + "garbage line\n" + charLine(-3, 1) + charLine(300, 1) + charLine(177, 20) + charLine(178, 30);
  GFXFont font;
  ASSERT_TRUE(font.ReadBMFont(text.data(), text.size()));
  ASSERT_NE(font.info, nullptr);
  EXPECT_EQ(font.info->lineHeight, 32);
  EXPECT_EQ(font.info->textureWidth, 256);
  EXPECT_EQ(font.info->textureHeight, 128);
  EXPECT_EQ(font.info->firstCharacter, 40);
  EXPECT_FLOAT_EQ(font.scale.x, 256.0f);
  EXPECT_FLOAT_EQ(font.scale.y, 128.0f);
  EXPECT_EQ(font.info->glyphs[40].present, 1);
  EXPECT_EQ(font.info->glyphs[40].x, 8);
  EXPECT_EQ(font.info->glyphs[40].xAdvance, 11);
  EXPECT_EQ(font.info->glyphs[177].present, 1);
  EXPECT_EQ(font.info->glyphs[178].present, 0);
  ASSERT_NE(font.material, nullptr);
  EXPECT_STREQ(font.material->Name().Chars(), "fonts/bm.png");
  EXPECT_EQ(font.material->GetStage(0)->mipmap, 3);

  // A BMFont description reached through ReadText.
  ScratchRunFolder run;
  ASSERT_TRUE(run.WriteText("Fonts/bm.fnt", text));
  GFXFont loaded;
  ASSERT_TRUE(loaded.Load("Fonts/bm.png"));
  ASSERT_NE(loaded.info, nullptr);
  EXPECT_EQ(loaded.info->glyphs[40].present, 1);
  EXPECT_EQ(GFXDisplay::GetFontHeight(-5), 0);
}

TEST(FontFiles, TruncatedEngineFontKeepsWhatItRead) {
  ScratchRunFolder run;
  ASSERT_TRUE(run.WriteText("Fonts/Cut.fnt", "[IMAGE]Fonts/Cut\n[HW]8,9\n[SHA"));
  GFXFont font;
  ASSERT_TRUE(font.Load("Fonts/Cut"));
  EXPECT_FLOAT_EQ(font.scale.x, 8.0f);
  EXPECT_FLOAT_EQ(font.scale.y, 9.0f);
  EXPECT_FALSE(font.shadow);
  for (uint8_t width : font.widths) EXPECT_EQ(width, 0);
}

}  // namespace
