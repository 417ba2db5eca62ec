#pragma once

// The crystal materials of the colour indices (0 to 6 the rainbow colours,
// 7 White, 8 Black, 9 Gold): the gem models and the Novalith take their
// colour from the first stage of these materials.

constexpr int kCrystalColourCount = 10;

// The material name of a colour index ("GemCrystalRed" ...); null out of
// range. Index 7 names "GemCrystalBlack" and 8 "GemCrystalWhite": the game's
// material library paints them so that the White gem looks white.
const char* CrystalMaterialName(int colour);

// The first-stage colour (RGBA) of the colour's crystal material. A material
// the library lacks is made by the material manager with one default stage.
// Null out of range or when the material has no stage. The pointer lives as
// long as the material.
float* CrystalColour(int colour);
