#pragma once
// One text font drawn with display lists, one list per character drawing a
// textured quad and moving the pen on. Bitmap fonts are cut from a texture
// (a 16 x 16 grid or a BMFont description, 256 lists); system fonts are
// rasterised by the platform (96 lists, characters 32 to 127).

#include <cstddef>
#include <cstdint>

#include "engine/foundation/String.h"
#include "engine/foundation/Vector2.h"

class CMATMaterial;

// A parsed BMFont description.
struct GFXFontInfo {
  struct Glyph {
    uint8_t present = 0;
    uint16_t x = 0, y = 0, width = 0, height = 0;
    int16_t xOffset = 0, yOffset = 0;
    uint16_t xAdvance = 0, page = 0, unused = 0;
  };
  uint16_t lineHeight = 0;
  uint16_t firstCharacter = 0;
  uint16_t textureWidth = 0;
  uint16_t textureHeight = 0;
  uint16_t reserved = 0;
  uint32_t reservedWords[2] = {0, 0};
  Glyph glyphs[256];
};

class GFXFont {
 public:
  enum Type : int32_t { kNone = 0, kSystem = 1, kBitmap = 2 };
  static constexpr int kGlyphCount = 256;
  static constexpr int kSystemFirst = 32;
  static constexpr int kSystemCount = 96;

  GFXFont();
  virtual ~GFXFont();
  GFXFont(const GFXFont&) = delete;
  GFXFont& operator=(const GFXFont&) = delete;

  // Loads by name (an extension is dropped): the ".fnt" file, else the
  // ".dat" width table, after which a ".fnt" is written beside it.
  bool Load(const char* name);
  // Reads a BMFont description or the engine font file; false when it
  // cannot be opened.
  bool ReadText(const char* path);
  // Parses BMFont text (always succeeds; lines that do not match are skipped).
  bool ReadBMFont(const char* text, size_t length);
  // Writes the engine font file; false when it cannot be written.
  bool WriteText(const char* path) const;

  // Builds the 256 lists of a bitmap font when the rebuild flag is set and
  // its material's first stage has a loaded texture.
  void BuildLists();
  void BuildBMFontLists();
  // Rasterises a system font through the platform into 96 lists.
  void CreateSystemFont(const char* face, int height, int width, int weight, bool italic, bool underline, bool outline);
  void BuildSystemLists();
  void RebuildSystemLists();
  // Marks for rebuilding and deletes the lists of the font's type.
  void DeleteLists();

  // Draws text at the current matrix (the caller translated to the pen).
  void Print(const char* text);
  // Sum of the character widths (texels, unscaled), by unsigned code.
  float GetTextWidth(const char* text) const;
  // How far printing the text moves the pen, in the units it is drawn in:
  // a grid font's widths are texels of its sheet, drawn scaled from the
  // sheet's cell to the font's scale. Other fonts give their width sum.
  float GetDrawnWidth(const char* text) const;

  void SetColour(float r, float g, float b, float a);
  void RestoreColour();
  void SetColourValues(float r, float g, float b, float a);
  void SetColourValues(const float rgba[4]) { SetColourValues(rgba[0], rgba[1], rgba[2], rgba[3]); }

  CMATMaterial* material = nullptr;
  String name;
  Vector2 scale{16.0f, 16.0f};
  bool shadow = false;
  bool rebuild = true;
  GFXFontInfo* info = nullptr;
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float savedColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  uint8_t widths[kGlyphCount] = {};
  uint32_t listBase = 0;
  int32_t type = kNone;
  int32_t height = 0;
  int32_t width = 0;
  int32_t weight = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t outline = 0;

 private:
  bool ReadEngineFont(const char* text, size_t length);
  void CallLists(const char* text, size_t length);
};

// The base name of a font file name: without the extension of its last
// path component ("Fonts/Big.v2.png" gives "Fonts/Big.v2").
String FontBaseName(const char* name);
// Clears the material's back side bit, makes its first stage blend and sets
// that stage's mipmap setting.
void PrepareFontMaterial(CMATMaterial* material, int32_t mipmap);
