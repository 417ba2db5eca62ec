#include <GL/gl.h>

#include "engine/effects/ParticleManager.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/RenderState.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/GalacticPlane.h"

namespace {

constexpr GFXRenderFlags kBackdropWord = 0x82c;

}  // namespace

std::vector<RingPlace> GalacticPlane::RingPlacements() const {
  std::vector<RingPlace> places;
  if (constellationCount == 0) return places;
  const float step = 360.0f / static_cast<float>(constellationCount);
  Vector3 point(0.0f, radius * kRingShare, 0.0f);
  for (uint32_t i = 0; i < constellations.size(); ++i) {
    // The one in play is left off the ring and takes no place on it.
    if (static_cast<int32_t>(i) == current) continue;
    places.push_back(RingPlace{i, point, step * static_cast<float>(i)});
    point.RotateAboutZ(step);
  }
  return places;
}

void GalacticPlane::Draw() {
  GFXDisplay::SetRenderState(kBackdropWord);
  glPushMatrix();
  GFXDisplay::RotateXYZ(0.0f, kTiltDegrees, 0.0f);
  GFXDisplay::RotateXYZ(0.0f, 0.0f, spin.GetValue());
  if (material != nullptr) {
    GFXDisplay::SetMaterial(material);
    for (int stage = 0; stage < material->StageCount(); ++stage) {
      GFXDisplay::BindMaterialStage(stage);
      GFXDisplay::DrawTexturedSphere(Vector3(), radius, true);
    }
  }
  if (ParticleManager* field = EffectsPool::Instance().Particles(kStarFieldSlot)) {
    glPushMatrix();
    glScalef(radius, radius, radius);
    field->Render();
    glPopMatrix();
  }
  for (const RingPlace& place : RingPlacements()) {
    Constellation& constellation = constellations[place.index];
    constellation.viewCentre = constellation.panStart = constellation.targetSize * 0.5f;
    glPushMatrix();
    glTranslatef(place.position.x, place.position.y, place.position.z);
    if (place.degrees != 0.0f) glRotatef(place.degrees, 0.0f, 0.0f, 1.0f);
    glScalef(-1.0f, 1.0f, 1.0f);
    constellation.Draw(true);
    glPopMatrix();
  }
  DrawMarkers();
  glPopMatrix();
}

void GalacticPlane::DrawMarkers() {
  if (markerSprite == nullptr) return;
  for (uint32_t i = 0; i < markerCount; ++i) {
    StarMarker& marker = markers[i];
    glPushMatrix();
    glTranslatef(marker.current.x, marker.current.y, marker.current.z);
    glRotatef(-spin.GetValue(), 0.0f, 0.0f, 1.0f);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    markerSprite->rect.SetCentreExtent(Vector2(), 2.0f * marker.size, 2.0f * marker.size);
    markerSprite->SetFlipbook(marker.flipbook.get());
    markerSprite->visible = true;
    markerSprite->Render();
    glPopMatrix();
  }
}
