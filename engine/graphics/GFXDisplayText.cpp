// The renderer's list of fonts and text drawing in overlay space.

#include <GL/gl.h>

#include "engine/foundation/PlaceholderWarning.h"
#include "engine/graphics/GFXDisplayBlock.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/Texture.h"
#include "engine/runtime/display/Display.h"

namespace GFXDisplay {
namespace {

constexpr int kGlyphRows = 16;

CDisplay* OverlayDisplay() {
  Block& state = State();
  return state.display != nullptr ? state.display : GetDisplay();
}

}  // namespace

int NewFont() {
  auto* font = new GFXFont();
  if (font == nullptr) return -1;
  PooledList& fonts = State().fonts;
  if (!fonts.AddTail(font)) {
    delete font;
    return -1;
  }
  return int(fonts.Count()) - 1;
}

int AddFont(const char* name) {
  const int index = NewFont();
  // The font stays, empty, so the index the caller keeps still names it.
  if (index >= 0 && !GetFont(index)->Load(name)) WarnPlaceholder(name, "no .fnt or .dat font file read");
  return index;
}

GFXFont* GetFont(int n) {
  const PooledList& fonts = State().fonts;
  if (n < 0 || uint32_t(n) >= fonts.Count()) return nullptr;
  return static_cast<GFXFont*>(fonts.At(uint32_t(n)));
}

int GetFontCount() { return int(State().fonts.Count()); }

void PrintAt(int font, const char* text, int x, int y) {
  if (font < 0) font = 0;
  GFXFont* chosen = GetFont(font);
  if (chosen == nullptr) {
    Log("[GFXDisplay] Attempting to PrintAt with a NULL font\n");
    return;
  }
  CDisplay* display = OverlayDisplay();
  const bool overlayActive = display != nullptr && display->HasState(CDisplay::kOverlay);
  if (!overlayActive && display != nullptr) display->BeginOrtho2D(nullptr);
  glTranslatef(float(x), float(y), 0.0f);
  chosen->Print(text);
  glTranslatef(float(-x), float(-y), 0.0f);
  if (!overlayActive && display != nullptr) display->EndOrtho2D();
}

void PrintAt(int font, const char* text, const Vector2& at) { PrintAt(font, text, int(at.x), int(at.y)); }

void PrintAt(const char* text, int font, const GFXTextCell& cell) { PrintAt(font, text, cell.x, cell.y); }

void PrintAt(const char* text, int font, int x, int y) { PrintAt(font, text, x, y); }

int GetFontHeight(int n) {
  const GFXFont* font = GetFont(n);
  if (font == nullptr) return 0;
  if (font->info != nullptr) return int(font->scale.y);
  const CMATStage* first = font->material != nullptr ? font->material->GetStage(0) : nullptr;
  if (first == nullptr || first->texture == nullptr) return 0;
  return int(float(first->texture->Height()) / float(kGlyphRows));
}

int GetTextWidth(int n, const char* text) {
  const GFXFont* font = GetFont(n);
  return font != nullptr ? int(font->GetDrawnWidth(text)) : 0;
}

void SetFontColour(int n, const float rgba[4]) {
  GFXFont* font = GetFont(n);
  if (font != nullptr) font->SetColourValues(rgba);
}

void DeleteFontLists() {
  for (PooledListNode* node = State().fonts.Head(); node != nullptr; node = node->next) {
    static_cast<GFXFont*>(node->data)->DeleteLists();
  }
}

void RebuildFontLists() {
  for (PooledListNode* node = State().fonts.Head(); node != nullptr; node = node->next) {
    auto* font = static_cast<GFXFont*>(node->data);
    if (!font->rebuild) continue;
    if (font->type == GFXFont::kSystem) {
      font->RebuildSystemLists();
    } else {
      font->BuildLists();
    }
  }
}

void DeleteAllFonts() {
  PooledList& fonts = State().fonts;
  while (fonts.Count() > 0) delete static_cast<GFXFont*>(fonts.RemoveAt(0));
}

}  // namespace GFXDisplay
