// What the renderer draws: gems, discs, the drop marker, the moving gems,
// the rainbow progress, and the three draw delegates that put them together.
// Every push of the model-view matrix has its pop.

#include <GL/gl.h>

#include "engine/foundation/Maths.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/GFXLight.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/RenderState.h"
#include "engine/scene/model/ModelDrawing.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/NovalithObject.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/GameRandom.h"
#include "game/rules/PuzzleDisc.h"

namespace {

// The graphics layer's filled circle: radius 0.5 in the x-z plane.
constexpr int kFilledCircleList = 7;

constexpr GFXRenderFlags kGemWord = 0x1083c;
constexpr GFXRenderFlags kMovingGemWord = 0x83c;
constexpr GFXRenderFlags kDiscWord = 0x82c;
constexpr GFXRenderFlags kMarkerWord = 0x1a4;
constexpr GFXRenderFlags kOverlayWord = 0x80c;
constexpr GFXRenderFlags kGlowWord = 0x124;
// A gem stage is drawn through display lists of geometry only.
constexpr GFXRenderFlags kGemStageBits = RenderFlag::COMPILE3ME | RenderFlag::NOMATERIALS;

// A White gem shakes up to this far as its countdown runs out.
constexpr float kShakeAmplitude = 0.0125f;
constexpr float kQueueGemScale = 0.25f;
// Each upcoming disc is turned a further 30 degrees and fainter by a quarter.
constexpr float kUpcomingTurnDegrees = 30.0f;
constexpr float kUpcomingFade = 0.25f;
constexpr float kRainbowRowStartX = -2.65f;
constexpr float kRainbowRowZ = 3.0f;
constexpr float kRainbowRowStep = 2.0f / 7.0f;
constexpr float kGlowScaleDivisor = 2.5f;

void CallFilledCircle() {
  if (const uint32_t list = GFX_GL::GetShapeList(kFilledCircleList)) glCallList(list);
}

void Translate(const Vector3& v) { glTranslatef(v.x, v.y, v.z); }

void ScaleUniform(float k) { glScalef(k, k, k); }

// Turns about y by the heading of p, so a gem faces out from the centre.
void FaceOutward(const Vector3& p) {
  const float heading = p.HeadingDegrees();
  if (heading != 0.0f) glRotatef(heading, 0.0f, 1.0f, 0.0f);
}

}  // namespace

void GPuzzleRenderer::DrawGem(int colour, int type) {
  if (colour < 0 || colour >= kGemColourCount || type < 0 || type >= kGemTypeCount) return;
  CMATMaterial* material = crystalMaterials[colour];
  glPushMatrix();
  GFXDisplay::SetRenderState(kGemWord);
  GFXDisplay::SetMaterial(material);
  const float planeSpin = galacticPlane != nullptr ? galacticPlane->spin.value : 0.0f;
  const int stages = material != nullptr ? material->StageCount() : 0;
  for (int stage = 0; stage < stages; ++stage) {
    // The glint is laid over the depth the crystal wrote.
    GFXDisplay::BeginMaterialPass(stage);
    GFXDisplay::BindMaterialStage(stage);
    GFXDisplay::SetRenderState(GFXDisplay::GetRenderState() | kGemStageBits);
    GFXDisplay::LockRenderState(true);
    // The crystal's texture turns with the galaxy.
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glScalef(1.0f, 1.0f, 1.0f);
    if (planeSpin != 0.0f) glRotatef(planeSpin, 0.0f, 0.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    GFXDisplay::DrawModel(gemModels[type]);
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    GFXDisplay::LockRenderState(false);
    GFXDisplay::SetRenderState(GFXDisplay::GetRenderState() & ~RenderFlag::NOMATERIALS);
  }
  GFXDisplay::EndMaterialPasses();
  glPopMatrix();
}

void GPuzzleRenderer::DrawDisc(const CGPuzzleDisc& disc, bool withMarkers) {
  const unsigned slots = disc.slotsPerRing;
  const float rings = static_cast<float>(disc.ringCount);
  float base = RingSpacingFor(slots) * 1.5f;
  // Discs of many rings draw their outer gems larger.
  const float growth = disc.ringCount <= 3 ? 0.85f : 0.85f + static_cast<float>(disc.ringCount - 3) * 0.03125f;
  glPushMatrix();
  GFXDisplay::RotateXYZ(0.0f, spin.value, 0.0f);
  for (unsigned r = 0; r < disc.ringCount; ++r) {
    if (r > 0) base *= growth;
    const float ringShare = static_cast<float>(r) / rings;
    for (unsigned c = 0; c < slots; ++c) {
      const CGPuzzleGem& gem = disc.GemAt(static_cast<int>(r), static_cast<int>(c));
      Vector3 p = SlotPositionOn(slots, static_cast<int>(r), static_cast<int>(c));
      if (gem.state == GemState::Settled) {
        glPushMatrix();
        if (gem.colour == kGemWhite) {
          const float left = gem.timerStart > 0.0f ? gem.timer / gem.timerStart : 1.0f;
          Vector3 shake(RandomFraction() * 2.0f - 1.0f, RandomFraction() * 2.0f - 1.0f, RandomFraction() * 2.0f - 1.0f);
          shake.Normalise();
          p += shake * ((1.0f - left) * kShakeAmplitude);
        }
        Translate(p);
        if (gem.colour == kGemWhite || gem.colour == kGemBlack || gem.colour == kGemGold) {
          GFXDisplay::RotateXYZ(gem.spin[0].output, gem.spin[1].output, gem.spin[2].output);
        }
        FaceOutward(p);
        ScaleUniform((ringShare / 2.0f + 0.5f) * base);
        DrawGem(gem.colour, gem.type);
        glPopMatrix();
      } else if (withMarkers) {
        GFXDisplay::SetRenderState(kMarkerWord);
        glColor4f(0.0f, 0.0f, 0.25f, 0.75f - (0.3f / rings) * static_cast<float>(r));
        glPushMatrix();
        Translate(p);
        ScaleUniform((ringShare + 0.5f) * (base / 2.0f) * 1.5f);
        CallFilledCircle();
        glPopMatrix();
      }
    }
  }
  if (withMarkers) DrawDropMarker();
  glPopMatrix();
}

void GPuzzleRenderer::DrawDropMarker() {
  const CGPuzzleDisc* disc = CurrentDisc();
  if (disc == nullptr || disc->ringCount == 0) return;
  GFXDisplay::SetRenderState(kOverlayWord);
  glPushMatrix();
  GFXDisplay::SetMaterial(focusMaterial);
  const float spacing = RingSpacing();
  float half =
      (spacing / 2.0f) * (static_cast<float>(disc->landingRing) / static_cast<float>(disc->ringCount) + 0.5f) * 2.5f;
  const Vector3& m = dropMarker;
  const int stages = focusMaterial != nullptr ? focusMaterial->StageCount() : 0;
  for (int stage = 0; stage < stages; ++stage) {
    GFXDisplay::BindMaterialStage(stage);
    GFXDisplay::DrawTexturedRectAtDepth(Vector3(m.x - half, m.y, m.z - half), Vector3(m.x + half, m.y, m.z + half));
    half *= 0.75f;
  }
  glPopMatrix();
}

void GPuzzleRenderer::DrawQueue() {
  GFXDisplay::SetRenderState(kMovingGemWord);
  for (const GemMotion& record : queue) {
    if (!record.active) continue;
    glPushMatrix();
    Translate(record.position);
    ScaleUniform(kQueueGemScale);
    DrawGem(record.colour, record.type);
    glPopMatrix();
  }
}

void GPuzzleRenderer::DrawDroppedGem() {
  if (!droppedGem.active) return;
  GFXDisplay::SetRenderState(kMovingGemWord);
  glPushMatrix();
  Translate(droppedGem.position);
  ScaleUniform(RingSpacing());
  DrawGem(droppedGem.colour, droppedGem.type);
  glPopMatrix();
}

void GPuzzleRenderer::DrawFlights(const std::vector<GemMotion>& flights, unsigned ringCount, float spacing) {
  GFXDisplay::SetRenderState(kMovingGemWord);
  const float rings = ringCount == 0 ? 1.0f : static_cast<float>(ringCount);
  for (const GemMotion& record : flights) {
    if (!record.active) continue;
    const float originLength = record.origin.Length();
    // Shrinks as it nears the centre.
    const float k = originLength > 0.0f ? record.position.Length() / originLength : 0.0f;
    glPushMatrix();
    Translate(record.position);
    FaceOutward(record.position);
    ScaleUniform((static_cast<float>(record.ring) / rings / 2.0f + 0.5f) * spacing * k);
    DrawGem(record.colour, record.type);
    glPopMatrix();
  }
}

void GPuzzleRenderer::DrawFallingGems() {
  const CGPuzzleDisc* disc = CurrentDisc();
  if (disc == nullptr) return;
  glPushMatrix();
  GFXDisplay::RotateXYZ(0.0f, spin.value, 0.0f);
  DrawFlights(fallingFlights, disc->ringCount, RingSpacing());
  glPopMatrix();
}

void GPuzzleRenderer::DrawBreakingGems() {
  const CGPuzzleDisc* disc = CurrentDisc();
  if (disc == nullptr) return;
  // Breaking flights start turned as the disc is drawn.
  DrawFlights(breakingFlights, disc->ringCount, RingSpacing());
}

void GPuzzleRenderer::DrawRainbowProgress() {
  const CGPuzzleDisc* disc = CurrentDisc();
  if (disc == nullptr) return;
  // The run's record: Settled while a run is on, its colour the next one
  // the run needs (so also the count collected), its shape the run's.
  const CGPuzzleGem run = disc->GetRainbowGem();
  if (run.state != GemState::Settled) return;
  glPushMatrix();
  Translate(rainbowRowOrigin);
  float x = kRainbowRowStartX;
  for (int colour = 0; colour < run.colour && colour < kGemColourCount; ++colour) {
    glPushMatrix();
    glTranslatef(x, 0.0f, kRainbowRowZ);
    ScaleUniform(kQueueGemScale);
    GFXDisplay::SetRenderState(kMovingGemWord);
    DrawGem(colour, run.type);
    glPopMatrix();
    x += kRainbowRowStep;
  }
  glPopMatrix();
}

void GPuzzleRenderer::DrawStarGlow() {
  if (!star) return;
  GFXDisplay::SetRenderState(kGlowWord);
  glColor4fv(star->tint);
  glPushMatrix();
  ScaleUniform(star->glowLevel / kGlowScaleDivisor);
  CallFilledCircle();
  glPopMatrix();
}

void GPuzzleRenderer::DrawStarGlowAtCentre() {
  glPushMatrix();
  Translate(discCentre);
  DrawStarGlow();
  glPopMatrix();
}

void GPuzzleRenderer::DrawUpcomingDiscs(bool tinted) {
  glEnable(GL_FOG);
  GFXDisplay::SetRenderState(kDiscWord);
  for (uint32_t i = 1; i < discCount_; ++i) {
    const CGPuzzleDisc* disc = Disc(i);
    if (disc == nullptr) continue;
    glPushMatrix();
    GFXDisplay::RotateXYZ(0.0f, 0.0f, static_cast<float>(i) * kUpcomingTurnDegrees);
    Translate(discCentre);
    if (tinted) glColor4f(1.0f, 1.0f, 1.0f, 1.0f - kUpcomingFade * static_cast<float>(i));
    DrawDisc(*disc, false);
    glPopMatrix();
  }
  glDisable(GL_FOG);
}

void GPuzzleRenderer::DrawBackdrop() {
  if (galacticPlane == nullptr) return;
  glPushMatrix();
  Translate(discCentre);
  galacticPlane->Draw();
  const int32_t index = ProfileConstellation();
  if (index >= 0 && static_cast<size_t>(index) < galacticPlane->constellations.size()) {
    galacticPlane->constellations[static_cast<size_t>(index)].Draw(false);
  }
  glPopMatrix();
}

void GPuzzleRenderer::DrawPresent() {
  const float turnDegrees = presentChannel.output;
  glPushMatrix();
  GFXDisplay::RotateXYZ(0.0f, 0.0f, turnDegrees);
  DrawUpcomingDiscs(false);
  glPopMatrix();
  DrawBackdrop();
  glPushMatrix();
  GFXDisplay::RotateXYZ(0.0f, 0.0f, turnDegrees);
  glPushMatrix();
  Translate(discCentre);
  if (const CGPuzzleDisc* disc = CurrentDisc()) DrawDisc(*disc, false);
  glPopMatrix();
  glPopMatrix();
  DrawRainbowProgress();
  // At the disc centre, as the other delegates draw it.
  DrawStarGlowAtCentre();
}

void GPuzzleRenderer::DrawInGame() {
  DrawUpcomingDiscs(true);
  DrawBackdrop();
  glPushMatrix();
  Translate(discCentre);
  DrawFallingGems();
  DrawBreakingGems();
  if (const CGPuzzleDisc* disc = CurrentDisc()) DrawDisc(*disc, true);
  DrawStarGlow();
  glPopMatrix();
  DrawDroppedGem();
  DrawQueue();
  DrawRainbowProgress();
}

void GPuzzleRenderer::DrawClearing() {
  DrawUpcomingDiscs(true);
  DrawBackdrop();
  GFXDisplay::SetRenderState(kOverlayWord);
  glPushMatrix();
  Translate(discCentre);
  ScaleUniform(clearingChannel.output);
  if (const CGPuzzleDisc* disc = CurrentDisc()) DrawDisc(*disc, true);
  DrawBreakingGems();
  glPopMatrix();
  DrawRainbowProgress();
  DrawStarGlowAtCentre();
}

void GPuzzleRenderer::SetupScene() {
  SetupFog();
  SetupLight();
}

void GPuzzleRenderer::SetupFog() {
  const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  glFogi(GL_FOG_MODE, GL_EXP2);
  glFogfv(GL_FOG_COLOR, black);
  glFogf(GL_FOG_DENSITY, 0.095f);
  glHint(GL_FOG_HINT, GL_NICEST);
  glFogf(GL_FOG_START, 2.0f);
  glFogf(GL_FOG_END, 25.0f);
  glEnable(GL_FOG);
}

void GPuzzleRenderer::SetupLight() {
  GFXLight* light = GetLight(0);
  for (int k = 0; k < 4; ++k) {
    light->ambient[k] = 1.0f;
    light->diffuse[k] = 1.0f;
  }
  light->SetPosition(discCentre);
  light->directional = 0;
  light->SetEnabled(true);
}
