#pragma once

// Art the shell's screens share: the front end's background, the eight gem
// fonts and the drawing of gem text and of models in one material.

#include <cstdint>

class C3MEModel;
class CMATMaterial;

// The picture behind the front end, the loading ring and the high scores.
inline constexpr const char* kFrontEndBackground = "Resources/HUD/novalithsbackground.png";
// Its size on the 800 x 600 screen, and the height from which it is clear:
// the menus write from there down (the data generator paints it so).
inline constexpr float kTitlePictureWidth = 800.0f;
inline constexpr float kTitlePictureHeight = 272.0f;
inline constexpr float kTitlePictureClearFrom = 172.0f;
// The gem fonts by colour: 0 red, 1 orange, 2 yellow, 3 green, 4 cyan,
// 5 blue, 6 purple, 7 black.
inline constexpr int kGemFontCount = 8;
inline constexpr const char* kGemFontFiles[kGemFontCount] = {
    "Resources/HUD/Fonts/RedGem.png",    "Resources/HUD/Fonts/OrangeGem.png", "Resources/HUD/Fonts/YellowGem.png",
    "Resources/HUD/Fonts/GreenGem.png",  "Resources/HUD/Fonts/CyanGem.png",   "Resources/HUD/Fonts/BlueGem.png",
    "Resources/HUD/Fonts/PurpleGem.png", "Resources/HUD/Fonts/BlackGem.png",
};
// The loading banner's font (green).
inline constexpr int kBannerFont = 3;

// Sets gem font n up on its texture.
void InitGemFont(int font);
// Sets all eight gem fonts up.
void InitGemFonts();
// Gem text centred on x at y; a glyph size of 0 keeps the font's own. The
// font's size and alpha come back after the draw.
void DrawGemText(int font, const char* text, float centreX, float y, float alpha, float glyphSize = 0.0f);
// Gem text starting at x.
void DrawGemTextAt(int font, const char* text, float x, float y, float alpha, float glyphSize = 0.0f);
// Every mesh of a model in one material (the model's own materials unused).
void DrawModelInMaterial(C3MEModel* model, CMATMaterial* material);
