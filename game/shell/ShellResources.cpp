#include "game/shell/ShellResources.h"

#include "engine/foundation/String.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/TextureManager.h"
#include "engine/scene/model/Mesh.h"
#include "engine/scene/model/Model.h"
#include "game/puzzle/GlyphText.h"

namespace {

GlyphText* GemFont(int font) {
  if (font < 0 || font >= kGemFontCount) return nullptr;
  return GlyphFont(static_cast<uint32_t>(font));
}

GlyphStyle StyleOf(float alpha, float glyphSize) {
  GlyphStyle style;
  style.alpha = alpha;
  if (glyphSize > 0.0f) style.size = glyphSize;
  return style;
}

}  // namespace

void InitGemFont(int font) {
  if (font < 0 || font >= kGemFontCount) return;
  CTEXTexture* sheet = CTEXManager::GetInstance()->GetTexture(String(kGemFontFiles[font]));
  if (GlyphText* glyphs = GemFont(font)) glyphs->Init(sheet);
}

void InitGemFonts() {
  for (int font = 0; font < kGemFontCount; ++font) InitGemFont(font);
}

void DrawGemText(int font, const char* text, float centreX, float y, float alpha, float glyphSize) {
  GlyphText* glyphs = GemFont(font);
  if (glyphs == nullptr || text == nullptr) return;
  const GlyphStyle style = StyleOf(alpha, glyphSize);
  glyphs->DrawAt(text, centreX - glyphs->Measure(text, style.size) * 0.5f, y, style);
}

void DrawGemTextAt(int font, const char* text, float x, float y, float alpha, float glyphSize) {
  GlyphText* glyphs = GemFont(font);
  if (glyphs == nullptr || text == nullptr) return;
  glyphs->DrawAt(text, x, y, StyleOf(alpha, glyphSize));
}

void DrawModelInMaterial(C3MEModel* model, CMATMaterial* material) {
  if (model == nullptr) return;
  for (uint32_t m = 0; m < model->GetMeshCount(); ++m) {
    const C3MEMesh* mesh = model->GetMesh(m);
    if (mesh == nullptr || mesh->vertexCount == 0 || mesh->vertices == nullptr || mesh->lodCount == 0 ||
        mesh->lods == nullptr) {
      continue;
    }
    const C3MELod& groups = mesh->lods[0];
    GFXDisplay::SetVertexArrays(mesh->vertices, mesh->texCoordSetCount > 0 ? mesh->texCoords : nullptr);
    for (uint32_t k = 0; k < groups.listCount && groups.lists != nullptr; ++k) {
      const C3MEIndexList& group = groups.lists[k];
      GFXDisplay::DrawMeshGroup(material, group.primitiveKind, group.indexCount, group.indices);
    }
  }
}
