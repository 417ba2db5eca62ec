#include "engine/graphics/GFXSprite.h"

#include <GL/gl.h>

#include <cmath>

#include "engine/graphics/EffectHooks.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFlipbook.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/Texture.h"

namespace {

// Sprite texture coordinates give v = max at the rectangle's minimum y; the
// renderer's textured rectangle takes them the other way up.
void DrawQuad(const Rect& position, const Rect& uv) {
  Rect flipped = uv;
  flipped.min.y = uv.max.y;
  flipped.max.y = uv.min.y;
  GFXDisplay::DrawTexturedRect2D(position, flipped);
}

}  // namespace

GFXSprite::GFXSprite() {
  uv.min = Vector2(0.0f, 1.0f);
  uv.max = Vector2(1.0f, 0.0f);
  uv.centre = Vector2(0.5f, 0.5f);
}

void GFXSprite::SetFlipbook(GFXFlipbook* book) {
  flipbook = book;
  if (book == nullptr) return;
  book->active = true;
  book->Update(0.0f);
  uv.min = book->frameRect.min;
  uv.max = book->frameRect.max;
  image = book->currentTexture;
}

void GFXSprite::SizeToTexture() {
  if (image == nullptr || useMaterial) return;
  const auto* texture = static_cast<const CTEXTexture*>(image);
  const float width = static_cast<float>(texture->Width()) * std::fabs(uv.max.x - uv.min.x);
  const float height = static_cast<float>(texture->Height()) * std::fabs(uv.max.y - uv.min.y);
  rect.SetCentreExtent(rect.centre, width, height);
}

void GFXSprite::PointAt(const Vector2& target) {
  const Vector2 d = target - rect.centre;
  rotation.value = std::atan2(d.y, d.x) * 57.29578f;
  pointing = true;
}

void GFXSprite::Update(float dt) {
  if (!animated) return;
  if (flipbook != nullptr) {
    flipbook->Update(dt);
    uv.min = flipbook->frameRect.min;
    uv.max = flipbook->frameRect.max;
    image = flipbook->currentTexture;
  }
  if (spinning) {
    const float rate = rotation.rate;
    rotation.Step(mirrorX ? -rate * dt : rate * dt);
    rotation.rate = rate;
  }
  if (scaling) {
    scaleStepX.Step(dt);
    scaleStepY.Step(dt);
    scaleX.Update(dt);
    scaleY.Update(dt);
  }
  if (fading) fade.Update(dt);
  const float halfX = std::fabs(rect.max.x - rect.min.x) / 2.0f;
  const float halfY = std::fabs(rect.max.y - rect.min.y) / 2.0f;
  rect.min = Vector2(-halfX, -halfY);
  rect.max = Vector2(halfX, halfY);
}

float GFXSprite::DrawnAlpha() const { return fadeAlpha && fading ? fade.output : colour[3]; }

void GFXSprite::Render() {
  if (!visible || image == nullptr) return;
  glPushMatrix();
  glTranslatef(rect.centre.x, rect.centre.y, 0.0f);
  Rect copy = uv;
  if (spinning || pointing) glRotatef(rotation.value, 0.0f, 0.0f, 1.0f);
  if (scaling) glScalef(scaleX.output, scaleY.output, 1.0f);
  if (mirrorY) copy.SwapY();
  if (mirrorX) copy.SwapX();
  glColor4f(colour[0], colour[1], colour[2], DrawnAlpha());
  if (useMaterial) {
    auto* material = static_cast<CMATMaterial*>(image);
    EffectMakeMaterialCurrent(material);
    for (int stage = 0; stage < material->StageCount(); ++stage) {
      EffectBindStage(material, stage);
      DrawQuad(rect, copy);
    }
  } else {
    EffectBindTexture(static_cast<const CTEXTexture*>(image));
    DrawQuad(rect, copy);
  }
  glPopMatrix();
}
