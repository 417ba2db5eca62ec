#include "engine/graphics/GFXFlipbook.h"

#include "engine/graphics/Texture.h"

GFXFlipbook::~GFXFlipbook() { delete[] textures; }

void GFXFlipbook::HoldOneTexture(CTEXTexture* texture) {
  delete[] textures;
  textures = new CTEXTexture*[1];
  textures[0] = texture;
  textureCount = 1;
  currentTexture = texture;
  mode = kGrid;
}

void GFXFlipbook::SetFrameSize(CTEXTexture* texture, float x, float y, float w, float h) {
  HoldOneTexture(texture);
  const float width = texture != nullptr ? static_cast<float>(texture->Width()) : 0.0f;
  const float height = texture != nullptr ? static_cast<float>(texture->Height()) : 0.0f;
  // A texture not loaded yet has no size: keep an empty grid (the frame
  // stays the whole texture) rather than dividing by zero.
  if (width > 0.0f && height > 0.0f) {
    gap = Vector2(x / width, y / height);
    cell = Vector2(w / width, h / height);
  } else {
    gap = Vector2();
    cell = Vector2();
  }
  frameRect.min = Vector2(0.0f, 1.0f);
  frameRect.max = Vector2(1.0f, 0.0f);
}

void GFXFlipbook::SetGrid(CTEXTexture* texture, uint32_t inColumns, uint32_t inRows) {
  HoldOneTexture(texture);
  columns = inColumns;
  rows = inRows;
  gap = Vector2();
  cell = Vector2(inColumns > 0 ? 1.0f / static_cast<float>(inColumns) : 0.0f,
                 inRows > 0 ? 1.0f / static_cast<float>(inRows) : 0.0f);
  frameRect.min = Vector2(0.0f, cell.y);
  frameRect.max = Vector2(cell.x, 0.0f);
}

void GFXFlipbook::SetTextures(CTEXTexture* const* list, uint32_t count) {
  delete[] textures;
  textures = nullptr;
  textureCount = 0;
  mode = kOff;
  if (list == nullptr || count == 0) return;
  textures = new CTEXTexture*[count];
  for (uint32_t i = 0; i < count; ++i) textures[i] = list[i];
  textureCount = count;
  currentTexture = textures[0];
  mode = kTextureList;
}

void GFXFlipbook::UpdateGridRect() {
  const Vector2 step(2.0f * gap.x + cell.x, 2.0f * gap.y + cell.y);
  if (step.x <= 0.0f || step.y <= 0.0f) return;
  // The small bias keeps 1/step from truncating one column short when the
  // float reciprocal lands just below a whole number (7, 15, ... columns).
  int perRow = static_cast<int>(1.0f / step.x + 1e-4f);
  if (perRow < 1) perRow = 1;
  const int row = static_cast<int>(frame.value / static_cast<float>(perRow));
  const int column = static_cast<int>(frame.value - static_cast<float>(row * perRow));
  const float left = static_cast<float>(column) * step.x + gap.x / 2.0f;
  const float top = static_cast<float>(row) * step.y + gap.y / 2.0f;
  frameRect.min = Vector2(left, 1.0f - top);
  frameRect.max = Vector2(left + step.x, 1.0f - (top + step.y));
}

void GFXFlipbook::Update(float dt) {
  if (!active || mode == kOff) return;
  // Step replaces the rate with the amount; put the per-second rate back.
  const float rate = frame.rate;
  frame.Step(rate * dt);
  frame.rate = rate;
  if (mode == kGrid) {
    currentTexture = textureCount > 0 ? textures[0] : nullptr;
    UpdateGridRect();
    return;
  }
  if (textureCount == 0) return;
  float index = frame.value;
  if (!(index >= 0.0f)) index = 0.0f;
  uint32_t i = static_cast<uint32_t>(index);
  if (i >= textureCount) i = textureCount - 1;  // a frame past the list shows the last
  currentTexture = textures[i];
}

bool GFXFlipbook::SetFrame(uint32_t n) {
  frame.value = static_cast<float>(n);
  return frame.ApplyLimits();
}

void GFXFlipbook::SetStepper(int32_t stepperMode, float minimum, float maximum, float value, float rate) {
  frame.Set(stepperMode, minimum, maximum, value, rate);
}

void GFXFlipbook::Clear() {
  if (textures == nullptr) return;
  delete[] textures;
  textures = nullptr;
  textureCount = 0;
  mode = kOff;
}
