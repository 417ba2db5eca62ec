#include "content/game/MaterialLibraries.h"

#include <string>

#include "content/game/GameDataNames.h"
#include "content/game/MaterialPictures.h"
#include "content/kit/Colour.h"
#include "content/kit/MaterialText.h"

namespace {

using namespace materialpicture;

std::string Map(const char* picture) { return std::string("MAP ") + picture; }

// The look of each crystal, by colour index. The game's table names index 7
// "GemCrystalBlack" and index 8 "GemCrystalWhite", while the rules make 7
// the White countdown gem and 8 the Black wild gem: so "GemCrystalBlack" is
// painted white and "GemCrystalWhite" black, and each gem looks as it plays.
// Every crystal has its own colour, which bursts, rainbows and the star read.
constexpr Colour kCrystals[10] = {
    {0.95f, 0.08f, 0.06f}, {1.00f, 0.45f, 0.02f}, {1.00f, 0.85f, 0.05f}, {0.10f, 0.80f, 0.15f}, {0.05f, 0.80f, 0.90f},
    {0.10f, 0.25f, 1.00f}, {0.45f, 0.10f, 0.85f}, {0.95f, 0.95f, 1.00f}, {0.14f, 0.14f, 0.17f}, {1.00f, 0.72f, 0.20f},
};
constexpr int kGold = 9;

// Gems are lit by a light in the disc's own plane, so a gem top seen from
// above gets mostly the ambient part: the hue goes in both.
std::string Crystal(const char* name, const Colour& c, bool gold) {
  MaterialStage body;
  body.lines = {Map(kCrystalFacet),
                ColourLine("COLOUR", c.r, c.g, c.b, 1.0f),
                ColourLine("AMBIENT", c.r * 0.85f, c.g * 0.85f, c.b * 0.85f, 1.0f),
                ColourLine("DIFFUSE", c.r, c.g, c.b, 1.0f),
                gold ? ColourLine("SPECULAR", 1.0f, 0.9f, 0.6f, 1.0f) : ColourLine("SPECULAR", 1.0f, 1.0f, 1.0f, 1.0f),
                gold ? "SHININESS 20.0" : "SHININESS 60.0"};
  // Glints reflected on top, added; their own glow colours them, whatever
  // the light.
  MaterialStage glint;
  const Colour sparkle = gold ? Colour{1.0f, 0.8f, 0.4f} : Colour{0.8f, 0.8f, 0.85f};
  glint.lines = {Map(kCrystalGlint),
                 "REFLECTION",
                 "BLEND ADD",
                 ColourLine("AMBIENT", 0.0f, 0.0f, 0.0f, 1.0f),
                 ColourLine("DIFFUSE", 0.0f, 0.0f, 0.0f, 1.0f),
                 ColourLine("EMISSIVE", sparkle.r, sparkle.g, sparkle.b, 1.0f)};
  return MaterialBlock(name, {body, glint});
}

// A glow painted on black, added to what is behind it.
MaterialStage Additive(const char* picture, const Colour& colour) {
  MaterialStage stage;
  stage.lines = {Map(picture), "BLEND ADD", ColourLine("COLOUR", colour.r, colour.g, colour.b, 1.0f)};
  return stage;
}

std::string Gems() {
  std::string text;
  for (int i = 0; i < 10; ++i) text += Crystal(gamedata::kCrystalMaterials[size_t(i)], kCrystals[i], i == kGold);
  return text;
}

std::string Backdrop() {
  MaterialStage sky;
  sky.lines = {Map(kGalaxy)};
  return MaterialBlock("GalacticPlane", {sky}) +
         MaterialBlock("CompletedStar", {Additive(kCompletedStar, {1.0f, 1.0f, 1.0f})});
}

std::string SpecialEffects() {
  const Colour white{1.0f, 1.0f, 1.0f};
  return MaterialBlock("StarHalo", {Additive(kHalo, white)}) + MaterialBlock("GemPieces", {Additive(kShard, white)}) +
         MaterialBlock("StarExplosion", {Additive(kBurst, white)}) +
         MaterialBlock("FX_GemBeams", {Additive(kBeam, white)}) +
         MaterialBlock("FX_Rainbow", {Additive(kRainbow, white)}) +
         MaterialBlock("FX_StarFlare", {Additive(kFlare, white)}) +
         MaterialBlock("FX_StarBeams", {Additive(kStarBeam, white)});
}

std::string PuzzleRenderer() {
  // Two rings: the marker draws each stage 0.75 times smaller than the last.
  return MaterialBlock("FocusOrb",
                       {Additive(kFocusRing, {0.6f, 0.8f, 1.0f}), Additive(kFocusRing, {1.0f, 0.9f, 0.5f})});
}

std::string Achievements() {
  MaterialStage star;
  star.lines = {Map(kAchievementStar), "BLEND"};
  return MaterialBlock("AchievementStars", {star});
}

}  // namespace

void WriteMaterialLibraries(DataFolder& folder) {
  WriteMaterialPictures(folder);
  folder.Text("Resources/Materials/Gems.mat", Gems());
  folder.Text("Resources/Materials/Backdrop.mat", Backdrop());
  folder.Text("Resources/Materials/SpecialFX.mat", SpecialEffects());
  folder.Text("Resources/Materials/PuzzleRenderer.mat", PuzzleRenderer());
  folder.Text("Resources/Materials/Achievements.mat", Achievements());
}
