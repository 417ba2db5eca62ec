#include <GL/gl.h>

#include <algorithm>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXStats.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/graphics/RenderState.h"
#include "game/puzzle/Constellation.h"
#include "game/rules/GameRandom.h"

namespace {

constexpr GFXRenderFlags kFlatWord = 0x08;
constexpr GFXRenderFlags kRingWord = 0x28;  // depth-tested among the others
constexpr GFXRenderFlags kStarDotWord = 0x104;
constexpr GFXRenderFlags kTwinkleWord = 0x184;
// Star dots float just above the images.
constexpr float kDotLift = 0.00125f;
// A star dot's radius is this share of the constellation's width (the shape
// list's sphere has a radius of one half).
constexpr float kDotRadiusShare = 1.0f / 40.0f;
constexpr float kShapeListRadius = 0.5f;
constexpr float kTwinkleShare = 0.1f;

// Draws the image (x-z plane, from the origin to the size) once per stage,
// each stage at the alpha the rule gives.
template <class AlphaRule>
void DrawImage(CMATMaterial* material, const Vector3& size, AlphaRule alpha) {
  if (material == nullptr) return;
  GFXDisplay::SetMaterial(material);
  for (int stage = 0; stage < material->StageCount(); ++stage) {
    material->GetStage(static_cast<uint32_t>(stage))->colour[3] = alpha();
    GFXDisplay::BindMaterialStage(stage);
    GFXDisplay::DrawTexturedRectAtDepth(Vector3(), size);
  }
}

}  // namespace

float Constellation::Progress() const {
  return starCount > 0 ? static_cast<float>(completed) / static_cast<float>(starCount) : 0.0f;
}

void Constellation::Draw(bool onRing) {
  GFXDisplay::SetRenderState(onRing ? kRingWord : kFlatWord);
  glPushMatrix();
  glTranslatef(-viewCentre.x, -viewCentre.y, -viewCentre.z);
  const float progress = Progress();
  DrawImage(silhouette, size, [progress] { return 0.5f + 0.5f * progress; });
  GFXDisplay::PushDepthOffset();
  // The outline shimmers once any star is complete.
  DrawImage(outline, size,
            [progress] { return progress > 0.0f ? progress + RandomFraction() * 0.1f - 0.05f : progress; });
  GFXDisplay::PopDepthOffset();

  glFrontFace(GL_CCW);
  GFXDisplay::SetRenderState(kStarDotWord);
  glColor4f(0.0f, 0.0f, 0.25f, 0.5f);
  const float dotScale = size.x * kDotRadiusShare / kShapeListRadius;
  for (const ConstellationStar& star : stars) {
    GFXDisplay::CallShapeList(Vector3(star.position.x * size.x, kDotLift, star.position.y * size.z), dotScale);
  }

  GFXDisplay::SetRenderState(kTwinkleWord);
  glColor4f(0.0f, 0.0f, 0.0f, 0.5f);
  glBegin(GL_TRIANGLE_STRIP);
  glVertex3f(0.0f, 0.0f, 0.0f);
  glVertex3f(0.5f, 0.0f, 0.0f);
  glVertex3f(0.0f, 0.5f, 0.0f);
  glVertex3f(0.5f, 0.5f, 0.0f);
  glEnd();
  GFXStats::GetInstance()->CountQuads(1);
  // The sprites draw in x-y: turn the constellation's x-z plane onto it.
  glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
  const size_t lit = std::min<size_t>(completed, stars.size());
  for (size_t i = 0; sprite != nullptr && i < lit; ++i) {
    const ConstellationStar& star = stars[i];
    if (star.flipbook == nullptr) continue;
    sprite->rect.SetCentreExtent(Vector2(star.position.x * size.x, -(star.position.y * size.z)), size.x * kTwinkleShare,
                                 size.z * kTwinkleShare);
    sprite->SetFlipbook(star.flipbook.get());
    sprite->visible = true;
    sprite->Render();
  }
  glPopMatrix();
  glFrontFace(GFXDisplay::WindingFlag() != 0 ? GL_CCW : GL_CW);
}
