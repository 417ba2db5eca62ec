#include "content/game/GlyphSheets.h"

#include <algorithm>
#include <cmath>

#include "content/game/GameDataNames.h"
#include "content/kit/StyledText.h"

namespace {

using namespace glyphsheet;

constexpr int kGlyphPixels = 54;  // about the size of a capital in the 64-pixel cell
constexpr float kOutline = 2.0f;

// The glyph order of the game's glyph text.
constexpr char kCharacters[kGlyphCount + 1] = "0123456789+-=?!*ABCDEFGHIJKLMNOPQRSTUVWXYZ:/().%,";

struct FontLook {
  Colour top, bottom, outline;
};

// Font indices 0 to 7: red, orange, yellow, green, cyan, blue, purple, and a
// near-black font with a light rim for labels over the dark sky.
constexpr FontLook kLooks[8] = {
    {{1.00f, 0.55f, 0.50f}, {0.80f, 0.05f, 0.05f}, {0.30f, 0.00f, 0.00f}},
    {{1.00f, 0.80f, 0.45f}, {0.90f, 0.40f, 0.02f}, {0.35f, 0.12f, 0.00f}},
    {{1.00f, 1.00f, 0.65f}, {0.95f, 0.75f, 0.05f}, {0.35f, 0.25f, 0.00f}},
    {{0.70f, 1.00f, 0.60f}, {0.10f, 0.65f, 0.15f}, {0.00f, 0.22f, 0.04f}},
    {{0.70f, 1.00f, 1.00f}, {0.05f, 0.70f, 0.80f}, {0.00f, 0.22f, 0.30f}},
    {{0.60f, 0.75f, 1.00f}, {0.10f, 0.25f, 0.90f}, {0.02f, 0.05f, 0.32f}},
    {{0.90f, 0.65f, 1.00f}, {0.50f, 0.10f, 0.75f}, {0.18f, 0.02f, 0.28f}},
    {{0.22f, 0.22f, 0.26f}, {0.04f, 0.04f, 0.06f}, {0.80f, 0.82f, 0.90f}},
};

// The glyph alone in a 64 x 64 mask: ink centred within the part of the cell
// its advance covers (the glyph text draws a narrow glyph shifted left by the
// width it lacks, so its advance is the right-hand part of the cell) and
// pulled inside the margin.
Mask GlyphMask(const TextPainter& painter, int index) {
  const std::string text(1, kCharacters[index]);
  const int limit = kCellSize - 2 * kInkMargin - 2 * int(kOutline);
  int sizeX = kGlyphPixels, sizeY = kGlyphPixels;
  TextLine line = painter.Render(text, sizeX, sizeY, 0);
  InkBounds ink = FindInk(line.mask);
  // Wide glyphs (W, M, %) are narrowed, tall ones (brackets) shortened.
  const int inkWidth = ink.x1 - ink.x0, inkHeight = ink.y1 - ink.y0;
  if (inkWidth > limit || inkHeight > limit) {
    if (inkWidth > limit) sizeX = sizeX * limit / inkWidth;
    if (inkHeight > limit) sizeY = sizeY * limit / inkHeight;
    line = painter.Render(text, sizeX, sizeY, 0);
    ink = FindInk(line.mask);
  }

  Mask cell(kCellSize, kCellSize);
  if (ink.x1 == 0) return cell;
  const int advance = GlyphAdvance(index);
  const float centreX = float(kCellSize) - float(advance) / 2.0f;
  const int left = int(std::lround(centreX - float(ink.x1 - ink.x0) / 2.0f)) - ink.x0;
  // Capitals and digits sit on one baseline, centred on the cell's middle;
  // anything reaching past the margin is moved back inside.
  const int capTop = int(std::lround(float(kCellSize) / 2.0f - float(sizeY) * 0.36f));
  int top = capTop - (line.baseline - int(std::lround(float(sizeY) * 0.73f)));
  const int lowest = kInkMargin + int(kOutline), highest = kCellSize - kInkMargin - int(kOutline);
  top = std::clamp(top, lowest - ink.y0, highest - ink.y1);
  const int leftClamped = std::clamp(left, lowest - ink.x0, highest - ink.x1);
  for (int y = ink.y0; y < ink.y1; ++y) {
    for (int x = ink.x0; x < ink.x1; ++x) {
      const int cx = x + leftClamped, cy = y + top;
      if (cx >= 0 && cy >= 0 && cx < kCellSize && cy < kCellSize) cell.Ref(cx, cy) = line.mask.At(x, y);
    }
  }
  return cell;
}

}  // namespace

char GlyphCharacter(int index) { return index >= 0 && index < kGlyphCount ? kCharacters[index] : '*'; }

int GlyphAdvance(int index) {
  switch (GlyphCharacter(index)) {
    case '!':
    case ',':
      return 46;
    case 'I':
    case ':':
    case '.':
      return 42;
    case '(':
    case ')':
      return 49;
    default:
      return 64;
  }
}

std::vector<Mask> RenderGlyphs(const std::string& boldFontPath) {
  TextPainter painter(boldFontPath);
  std::vector<Mask> glyphs;
  if (!painter.Ok()) return glyphs;
  for (int index = 0; index < kGlyphCount; ++index) glyphs.push_back(GlyphMask(painter, index));
  return glyphs;
}

Image PaintGlyphSheet(const std::vector<Mask>& glyphs, int fontIndex) {
  const FontLook& look = kLooks[std::clamp(fontIndex, 0, 7)];
  TextStyle style;
  style.top = look.top;
  style.bottom = look.bottom;
  style.outline = look.outline;
  style.outlineWidth = kOutline;
  style.bevel = fontIndex == 7 ? 1.2f : 2.5f;

  Image sheet(kSheetSize, kSheetSize);
  for (size_t index = 0; index < glyphs.size(); ++index) {
    DrawStyledMask(sheet, glyphs[index], CellOrigin(int(index) % kColumns), CellOrigin(int(index) / kColumns), style);
  }
  return sheet;
}

void WriteGlyphSheets(DataFolder& folder, const std::string& boldFontPath) {
  const std::vector<Mask> glyphs = RenderGlyphs(boldFontPath);
  if (glyphs.empty()) {
    folder.Fail();
    return;
  }
  for (size_t font = 0; font < gamedata::kGlyphSheets.size(); ++font) {
    folder.Picture(gamedata::kGlyphSheets[font], PaintGlyphSheet(glyphs, int(font)));
  }
}
