#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/graphics/TextLines.h"
#include "platform/DebugOutput.h"

namespace {

std::unique_ptr<CMATStage> ReadStage(const std::string& body) {
  auto stage = std::make_unique<CMATStage>();
  TextLines file("\t{\n" + body + "\n\t}\n");
  stage->Read(file);
  return stage;
}

TEST(MaterialStage, KeywordsSetTheirFlagsAndValues) {
  struct Case {
    const char* line;
    uint32_t flagsSet;
    uint32_t flagsClear;
  };
  const Case cases[] = {
      {"MAP Textures/Gems/Ruby.png", StageFlag::MAP, 0},
      {"map mipmap 1", 0, StageFlag::MAP},
      {"MAP", 0, StageFlag::MAP},
      {"MAP Gem.png // a note", 0, StageFlag::MAP},
      {"AMBIENT 0.1 0.2 0.3", StageFlag::AMBIENT, 0},
      {"DIFFUSE 1 0 0 1", StageFlag::DIFFUSE, 0},
      {"SPECULAR 1 1 1 1", StageFlag::SPECULAR, 0},
      {"EMISSIVE 1 1 1 1", StageFlag::EMISSIVE, 0},
      {"COLOUR 1 1 1 0.5", StageFlag::COLOUR, 0},
      {"SHININESS 12", StageFlag::SHININESS, 0},
      {"SIDE BOTH", StageFlag::FRONT | StageFlag::BACK, 0},
      {"SIDE BACK", StageFlag::BACK, StageFlag::FRONT},
      {"SIDE SIDEWAYS", StageFlag::FRONT, StageFlag::BACK},
      {"PUNCH", StageFlag::PUNCH, 0},
      {"REFLECTION", StageFlag::REFLECTION, 0},
      {"WIREFRAME", 0, StageFlag::SOLID},
      {"LIGHTING", 0, StageFlag::LIGHTING_FLIP},
      {"LIGHTING FLIP", StageFlag::LIGHTING_FLIP, 0},
      {"MODIFY VERTEX", StageFlag::MODIFY_VERTEX, 0},
      {"MODIFY", 0, StageFlag::MODIFY_VERTEX},
      {"MODIFY ALPHA 0 1", StageFlag::MODIFY_ALPHA, 0},
      {"MODIFY SPARKLE 0 1 2", 0, StageFlag::MODIFY_UV | StageFlag::MODIFY_ALPHA},
      {"FROBNICATE 1", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const auto stage = ReadStage(c.line);
    EXPECT_EQ(stage->flags & c.flagsSet, c.flagsSet);
    EXPECT_EQ(stage->flags & c.flagsClear, 0u);
  }

  auto stage = ReadStage(
      "MAP Textures/Gems/Ruby.png\nAMBIENT 0.1 0.2 0.3\nCOLOUR 0.5 0.25 1 0.75\nSHININESS 12\n"
      "WIREFRAME 2.5\nvshader  glow.vs\nPSHADER glow.ps");
  EXPECT_EQ(stage->mapName, "TEXTURES/GEMS/RUBY.PNG");
  EXPECT_FLOAT_EQ(stage->ambient[0], 0.2f);  // three numbers leave the colour alone
  EXPECT_FLOAT_EQ(stage->colour[1], 0.25f);
  EXPECT_FLOAT_EQ(stage->colour[3], 0.75f);
  EXPECT_FLOAT_EQ(stage->shininess, 12.0f);
  EXPECT_FLOAT_EQ(stage->lineWidth, 2.5f);
  EXPECT_EQ(stage->vertexShaderName, "GLOW.VS");
  EXPECT_EQ(stage->pixelShaderName, "GLOW.PS");
  EXPECT_EQ(stage->shaderHandle, -1);
  EXPECT_FLOAT_EQ(ReadStage("WIREFRAME")->lineWidth, 1.0f);
}

TEST(MaterialStage, BlendWordsPickTheFactors) {
  struct Case {
    const char* line;
    uint32_t source;
    uint32_t destination;
  };
  const Case cases[] = {{"BLEND", 0x302, 0x303},  {"BLEND LIGHTMAP", 0x302, 1},
                        {"BLEND ADD", 1, 1},      {"BLEND PARTICLE", 0x300, 1},
                        {"BLEND TEST", 0x300, 1}, {"BLEND ADD\nBLEND ODD", 1, 1}};  // an unknown word keeps the factors
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const auto stage = ReadStage(c.line);
    EXPECT_TRUE(stage->flags & StageFlag::BLEND);
    EXPECT_EQ(stage->blendSource, c.source);
    EXPECT_EQ(stage->blendDestination, c.destination);
  }

  const auto detail = ReadStage("MAP Base.tga\nMAP DETAIL");
  EXPECT_EQ(detail->mapName, "BASE.TGA");
  EXPECT_TRUE(detail->flags & StageFlag::BLEND);
  EXPECT_TRUE(detail->flags & StageFlag::MODIFY_UV);
  EXPECT_EQ(detail->uvTrackBits, UVTrackBit::USCALE | UVTrackBit::VSCALE | UVTrackBit::ROTATE);
  EXPECT_FLOAT_EQ(detail->uvTracks[kUScale].GetCurrent(), 16.0f);
  EXPECT_FLOAT_EQ(detail->uvTracks[kRotate].GetCurrent(), 45.0f);
}

TEST(MaterialStage, WavesParseShapeNumbersAndClip) {
  struct Case {
    const char* line;
    UVTrack track;
    uint8_t mode;
    float start, target, duration;
  };
  const Case cases[] = {
      {"MODIFY UV USCROLL 0 1 2", kUScroll, 0x81, 0, 1, 2},
      {"MODIFY UV VSCROLL 0 1 2 CLIP", kVScroll, 0x01, 0, 1, 2},
      {"MODIFY UV USCALE ACC 1 2 4", kUScale, 0x02, 1, 2, 4},
      {"MODIFY UV VSCALE DEC 2 1 4", kVScale, 0x04, 2, 1, 4},
      {"MODIFY UV ROTATE bell 0 90 1", kRotate, 0x06, 0, 90, 1},
      {"MODIFY UV ROTATE OSC 0 90 1", kRotate, 0x08, 0, 90, 1},
      {"MODIFY UV ROTATE SIN 5 90 1", kRotate, 0x10, 5, 90, 1},
      {"MODIFY UV ROTATE SQR 5 90 1 CLIP", kRotate, 0x20, 5, 90, 1},
      {"MODIFY UV ROTATE 0 1", kRotate, 0, 0, 0, 0},  // too few words: untouched
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const auto stage = ReadStage(c.line);
    const ValueFader& track = stage->uvTracks[c.track];
    EXPECT_EQ(track.GetFlags(), c.mode);
    EXPECT_FLOAT_EQ(track.GetStart(), c.start);
    EXPECT_FLOAT_EQ(track.GetTarget(), c.target);
    EXPECT_FLOAT_EQ(track.GetDuration(), c.duration);
  }
}

TEST(MaterialStage, TracksMoveAsTheirWavesSay) {
  auto scroll = ReadStage("MODIFY UV USCROLL 0 1 2");
  auto clipped = ReadStage("MODIFY UV USCROLL 0 1 2 CLIP");
  auto bell = ReadStage("MODIFY UV ROTATE BELL 0 90 1");
  auto sine = ReadStage("MODIFY UV ROTATE SIN 5 90 1");
  const float expected[] = {0.25f, 0.5f, 0.75f, 1.0f};
  for (float value : expected) {
    scroll->Update(0.5f);
    clipped->Update(0.5f);
    EXPECT_NEAR(scroll->uvTracks[kUScroll].GetCurrent(), value, 1e-5f);
  }
  scroll->Update(0.5f);  // repeats from the start
  clipped->Update(0.5f);
  EXPECT_NEAR(scroll->uvTracks[kUScroll].GetCurrent(), 0.0f, 1e-5f);
  EXPECT_FLOAT_EQ(clipped->uvTracks[kUScroll].GetCurrent(), 1.0f);

  for (int frame = 0; frame < 150; ++frame) {
    bell->Update(0.01f);
    sine->Update(0.01f);
  }
  EXPECT_FLOAT_EQ(bell->uvTracks[kRotate].GetCurrent(), 90.0f);
  EXPECT_FLOAT_EQ(sine->uvTracks[kRotate].GetCurrent(), 5.0f);

  // Alpha with too few numbers is a zeroed track that drives alpha to 0.
  auto fade = ReadStage("MODIFY ALPHA 0 1");
  fade->Update(0.1f);
  EXPECT_FLOAT_EQ(fade->colour[3], 0.0f);
  auto pulse = ReadStage("MODIFY EMISSIVE 0 1 1 CLIP\nMODIFY ALPHA 1 0 1 CLIP");
  pulse->Update(0.5f);
  EXPECT_NEAR(pulse->emissive[3], 0.5f, 1e-5f);
  EXPECT_NEAR(pulse->colour[3], 0.5f, 1e-5f);
}

TEST(MaterialStage, StepsJumpDiscretelyThroughTheTexture) {
  auto stage = ReadStage("MODIFY UV USTEP 4 2");
  EXPECT_FLOAT_EQ(stage->uStepAmount, 0.25f);
  // Sampled every half second (the step period) in frames of 0.05 s.
  const float expected[] = {0.25f, 0.5f, 0.75f, 0.0f, 0.25f};
  for (float value : expected) {
    float seen = stage->uvTracks[kUScroll].GetCurrent();
    for (int frame = 0; frame < 10; ++frame) {
      stage->Update(0.05f);
      const float now = stage->uvTracks[kUScroll].GetCurrent();
      // Between steps the offset never creeps.
      if (frame < 8) {
        EXPECT_FLOAT_EQ(now, seen);
      }
      seen = now;
    }
    EXPECT_NEAR(seen, value, 1e-5f);
  }
  EXPECT_FLOAT_EQ(ReadStage("MODIFY UV VSTEP 0 2")->vStepAmount, 1.0f);
  EXPECT_FLOAT_EQ(ReadStage("MODIFY UV VSTEP -3 2")->vStepAmount, 1.0f);
}

const char* kTwoStageMaterial =
    "Gems/Ruby\n"
    "{\n"
    "\tCULL BOTH\n"
    "\t{\n"
    "\t\tMAP Textures/Ruby.png\n"
    "\t\tMODIFY UV USCROLL 0 1 2\n"
    "\t\tMODIFY UV ROTATE BELL 0 90 1\n"
    "\t\tMODIFY UV VSTEP 4 2\n"
    "\t\tMODIFY ALPHA OSC 0.25 1 3\n"
    "\t\tMODIFY VERTEX\n"
    "\t\tMODIFY EMISSIVE 0 1 1 CLIP\n"
    "\t\tAMBIENT 0.1 0.2 0.3 1\n"
    "\t\tDIFFUSE 0.5 0.5 0.5 1\n"
    "\t\tSPECULAR 1 1 1 1\n"
    "\t\tEMISSIVE 0 0 0.5 1\n"
    "\t\tCOLOUR 1 0.5 0.25 1\n"
    "\t\tSHININESS 20\n"
    "\t\tBLEND\n"
    "\t\tSIDE BACK\n"
    "\t}\n"
    "\t{\n"
    "\t\tMAP Textures/Glow.tga\n"
    "\t\tWIREFRAME 3\n"
    "\t}\n"
    "}\n";

TEST(MaterialText, ReadsABlockOfStagesAndWritesItBackTheSame) {
  TextLines file(kTwoStageMaterial);
  CMATMaterial material;
  material.Read(file);
  EXPECT_EQ(material.Name(), "Gems/Ruby");
  EXPECT_FALSE(material.ReadPending());
  EXPECT_TRUE(material.InUse());
  ASSERT_EQ(material.StageCount(), 2);
  EXPECT_EQ(material.Sides(), MaterialSide::FRONT | MaterialSide::BACK);
  EXPECT_EQ(material.GetStage(1)->mapName, "TEXTURES/GLOW.TGA");
  EXPECT_EQ(material.GetStage(2), nullptr);
  EXPECT_TRUE(file.AtEnd());

  std::string written;
  material.Write(written);
  EXPECT_EQ(written.rfind("Gems/Ruby\n{\n\tCULL BOTH\n\t{\n", 0), 0u);
  EXPECT_NE(written.find("\t\tMODIFY UV ROTATE BELL 0.000000 90.000000 1.000000 CLIP\n"), std::string::npos);
  EXPECT_NE(written.find("\t\tMODIFY UV VSTEP 4.000000 2.000000\n"), std::string::npos);
  EXPECT_NE(written.find("WIREFRAME 3\n"), std::string::npos);

  TextLines again(written);
  CMATMaterial reread;
  reread.Read(again);
  std::string rewritten;
  reread.Write(rewritten);
  EXPECT_EQ(rewritten, written);
  const CMATStage* stage = reread.GetStage(0);
  EXPECT_EQ(stage->flags, material.GetStage(0)->flags);
  EXPECT_EQ(stage->uvTrackBits, material.GetStage(0)->uvTrackBits);
  EXPECT_FLOAT_EQ(stage->specular[0], 1.0f);
  EXPECT_FLOAT_EQ(reread.GetStage(1)->lineWidth, 3.0f);
}

// The reader's running commentary is for developers: the player's terminal
// stays quiet unless the developer switch is on.
TEST(MaterialText, StageLinesReachTheTerminalOnlyWithTheDeveloperSwitch) {
  for (bool developer : {false, true}) {
    platform::SetTerminalShowsEveryLine(developer);
    TextLines file(kTwoStageMaterial);
    CMATMaterial material;
    testing::internal::CaptureStdout();
    material.Read(file);
    const std::string shown = testing::internal::GetCapturedStdout();
    platform::SetTerminalShowsEveryLine(false);
    ASSERT_EQ(material.StageCount(), 2);
    if (developer) {
      EXPECT_EQ(shown.rfind("Material Gems/Ruby - 2 stages\n", 0), 0u) << shown;
      EXPECT_NE(shown.find("STAGE SETTING : MAP TEXTURES/GLOW.TGA\n"), std::string::npos) << shown;
    } else {
      EXPECT_EQ(shown, "");
    }
  }
}

TEST(MaterialText, CullWordsAndMissingBraces) {
  struct Case {
    const char* word;
    uint32_t sides;
    const char* written;
  };
  const Case cases[] = {{"NONE", 0, "\tCULL NONE\n"},
                        {"FRONT", MaterialSide::FRONT, "\tCULL FRONT\n"},
                        {"BOTH", MaterialSide::FRONT | MaterialSide::BACK, "\tCULL BOTH\n"},
                        {"BACK", MaterialSide::BACK, "\tCULL BACK\n"},
                        {"WHATEVER", MaterialSide::BACK, "\tCULL BACK\n"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    TextLines file(std::string("m\n{\n\tcull ") + c.word + "\n}\n");
    CMATMaterial material;
    material.Read(file);
    EXPECT_EQ(material.Sides(), c.sides);
    std::string written;
    material.Write(written);
    EXPECT_EQ(written, std::string("m\n{\n") + c.written + "}\n");
  }

  TextLines noBrace("lonely\nMAP x\n");
  CMATMaterial material;
  material.Read(noBrace);
  EXPECT_EQ(material.Name(), "lonely");
  EXPECT_EQ(material.StageCount(), 0);
}

TEST(MaterialText, MoreThan255StageBlocksAreCappedAndSkipped) {
  std::string text = "crowded\n{\n";
  for (int i = 0; i < 300; ++i) text += "\t{\n\t\tMAP s" + std::to_string(i) + "\n\t}\n";
  text += "\tCULL FRONT\n}\nnext\n";
  TextLines file(text);
  CMATMaterial material;
  material.Read(file);
  EXPECT_EQ(material.StageCount(), 255);
  EXPECT_EQ(material.GetStage(254)->mapName, "S254");
  // The blocks past the cap were skipped, not lost track of.
  EXPECT_EQ(material.Sides(), MaterialSide::FRONT);
  String line;
  ASSERT_TRUE(file.ReadLine(line));
  EXPECT_EQ(line, "next\n");
}

TEST(MaterialText, SurvivesTruncatedAndGarbageText) {
  const std::string full = kTwoStageMaterial;
  for (size_t length = 0; length < full.size(); ++length) {
    TextLines file(full.substr(0, length));
    CMATMaterial material;
    material.Read(file);
    EXPECT_LE(material.StageCount(), 2);
  }
  std::string garbage;
  uint32_t state = 7;
  for (int i = 0; i < 4000; ++i) {
    state = state * 1664525u + 1013904223u;
    garbage += char(state >> 24);
  }
  TextLines file("x\n{\n" + garbage);
  CMATMaterial material;
  material.Read(file);
  EXPECT_LE(material.StageCount(), 255);
}

}  // namespace
