#include "content/game/Constellations.h"

#include <cstdio>

#include "content/game/GameDataNames.h"
#include "content/kit/MaterialText.h"
#include "content/kit/Shapes.h"

namespace {

constexpr uint32_t kPictureSize = 256;  // one pixel per definition unit

std::string PicturePath(const std::string& material) {
  return "Resources/Materials/Textures/Constellations/" + material + ".png";
}

Point StarPoint(const DesignStar& star) { return {float(star.x), float(star.y)}; }

// A soft glowing shape round the figure, painted on black: the library adds
// it to the sky weighted by the alpha the game gives it.
Image Silhouette(const ConstellationDesign& design) {
  Image image(kPictureSize, kPictureSize);
  FillImage(image, {0.0f, 0.0f, 0.0f, 1.0f});
  const Colour body{0.12f, 0.2f, 0.42f, 1.0f};
  for (const auto& [a, b] : design.lines) {
    SoftLine(image, StarPoint(design.stars[size_t(a)]), StarPoint(design.stars[size_t(b)]), 34.0f, 22.0f, body,
             Blend::kAdd);
  }
  for (const DesignStar& star : design.stars) Glow(image, StarPoint(star), 44.0f, {0.25f, 0.32f, 0.55f});
  return image;
}

// The line figure through the stars, with a ring where each star sits.
Image Outline(const ConstellationDesign& design) {
  Image image(kPictureSize, kPictureSize);
  FillImage(image, {0.0f, 0.0f, 0.0f, 1.0f});
  for (const auto& [a, b] : design.lines) {
    SoftLine(image, StarPoint(design.stars[size_t(a)]), StarPoint(design.stars[size_t(b)]), 2.0f, 2.0f,
             {0.55f, 0.75f, 1.0f}, Blend::kAdd);
  }
  for (const DesignStar& star : design.stars) {
    SoftRing(image, StarPoint(star), 9.0f, 2.0f, 1.5f, {0.9f, 0.95f, 1.0f}, Blend::kAdd);
  }
  return image;
}

std::string SilhouetteMaterial(const ConstellationDesign& design) { return std::string(design.name) + "Silhouette"; }
std::string OutlineMaterial(const ConstellationDesign& design) { return std::string(design.name) + "Outline"; }

std::string BlendedPicture(const std::string& material) {
  MaterialStage stage;
  stage.lines = {"MAP " + PicturePath(material), "BLEND LIGHTMAP"};
  return MaterialBlock(material, {stage});
}

}  // namespace

const std::vector<ConstellationDesign>& ChallengeConstellations() {
  // The first star is gentle (a minute and a half); pars grow along each figure.
  static const std::vector<ConstellationDesign> designs = {
      {"Arrow", {{44, 196, 90}, {120, 120, 100}, {212, 66, 120}}, {{0, 1}, {1, 2}}},
      {"Kite",
       {{128, 36, 105}, {206, 118, 120}, {128, 224, 135}, {50, 118, 150}},
       {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 2}}},
      {"Crown",
       {{40, 184, 120}, {68, 72, 135}, {128, 132, 150}, {188, 72, 165}, {216, 184, 180}},
       {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 0}}},
  };
  return designs;
}

std::string ConstellationDefinition(const ConstellationDesign& design) {
  std::string text = std::string("[NAME] ") + design.name + "\n";
  text += "[SILOHUETTE] " + SilhouetteMaterial(design) + "\n";
  text += "[OUTLINE] " + OutlineMaterial(design) + "\n";
  text += std::string("[SYMBOL] ") + design.name + "\n";
  text += "[STARS] " + std::to_string(design.stars.size()) + "\n";
  for (const DesignStar& star : design.stars) {
    char line[64];
    std::snprintf(line, sizeof line, "\t[STAR] (%d,%d) 1.0 %d:%02d\n", star.x, star.y, star.parSeconds / 60,
                  star.parSeconds % 60);
    text += line;
  }
  return text + "[END]\n";
}

void WriteConstellations(DataFolder& folder) {
  const std::vector<ConstellationDesign>& designs = ChallengeConstellations();
  std::string list = "[CONSTELLATIONS] " + std::to_string(designs.size()) + "\n";
  std::string library;
  for (const ConstellationDesign& design : designs) {
    list += std::string("[CONSTELLATION] ") + design.name + "\n";
    folder.Text(std::string("Resources/Boards/Challenge/") + design.name + ".definition.txt",
                ConstellationDefinition(design));
    folder.OpaquePicture(PicturePath(SilhouetteMaterial(design)), Silhouette(design));
    folder.OpaquePicture(PicturePath(OutlineMaterial(design)), Outline(design));
    library += BlendedPicture(SilhouetteMaterial(design)) + BlendedPicture(OutlineMaterial(design));
  }
  folder.Text(gamedata::kConstellationList, list + "[END]\n");
  folder.Text(gamedata::kConstellationMaterials, library);
}
