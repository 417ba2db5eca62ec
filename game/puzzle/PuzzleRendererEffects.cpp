// The renderer's gem effects: the slots of the effects pool it sets up, the
// burst of a breaking gem and the rainbow ring.

#include <vector>

#include "engine/effects/BeamManager.h"
#include "engine/effects/ParticleManager.h"
#include "engine/foundation/Maths.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "game/puzzle/CrystalMaterials.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/GameRandom.h"
#include "game/rules/PuzzleDisc.h"

namespace {

constexpr int kBreakParticles = 2;
constexpr int kPieceParticles = 3;
constexpr int kBurstBeams = 4;
constexpr int kRainbowBeams = 5;
constexpr int kBurstBeamCount = 32;
constexpr int kPiecesMinimum = 8;
constexpr uint16_t kPiecesSpread = 16;
// A White gem's crystal is opaque; its burst is drawn see-through.
constexpr float kWhiteBurstAlpha = 0.75f;
// Rainbow arcs start in Green, the middle of the seven rainbow colours.
constexpr int kRainbowMiddleColour = kGemGreen;

struct BeamSlotSettings {
  int slot;
  int32_t capacity;
  int32_t mode;
  const char* material;
  float driftSpeed;
  float length;
  float startWidth;
  float endWidth;
  float growthSpeed;
  float fadeRate;
  Vector2 uvPairs[6];
};

const BeamSlotSettings kBeamSlots[] = {
    {2,
     128,
     0,
     "FX_GemBeams",
     0.0f,
     1.0f,
     0.025f,
     0.025f,
     1.0f,
     2.0f,
     {{0, 0}, {0, 0.5f}, {0.5f, 0}, {0.5f, 1}, {1, 0.5f}, {1, 1}}},
    {3,
     64,
     0,
     "FX_GemBeams",
     0.0f,
     0.5f,
     0.0625f,
     0.0625f,
     0.0f,
     1.5f,
     {{0, 0}, {0, 1}, {1, 0}, {1, 0}, {0, 1}, {1, 1}}},
    {4,
     512,
     0,
     "FX_GemBeams",
     0.75f,
     0.25f,
     0.025f,
     0.025f,
     0.5f,
     2.0f,
     {{0, 0}, {0, 0.5f}, {0.5f, 0}, {0.5f, 1}, {1, 0.5f}, {1, 1}}},
    {5, 512, 1, "FX_Rainbow", 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.25f, {{0, 0}, {0, 1}, {1, 0}, {1, 0}, {0, 1}, {1, 1}}},
};

void SetColour(float target[4], const float source[4]) {
  for (int k = 0; k < 4; ++k) target[k] = source[k];
}

CMATMaterial* FindMaterial(const char* name) { return CMATManager::GetInstance()->FindMaterial(String(name)); }

// Emits once at a point in the burst colour, with emission on only for it.
void EmitAt(ParticleManager* particles, const Vector3& point, const float rgba[4], int count) {
  if (particles == nullptr) return;
  SetColour(particles->colour, rgba);
  particles->SetPosition(point);
  particles->enabled = true;
  if (!particles->IsActive()) particles->SetActive(1);
  // Plays no part while the rate mode is off.
  particles->emitAccumulator = 10.0f;
  particles->Emit(count);
  particles->enabled = false;
}

}  // namespace

void GPuzzleRenderer::CreateGemEffects() {
  EffectsPool& pool = EffectsPool::Instance();
  const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  if (ParticleManager* breaks = pool.Particles(kBreakParticles)) {
    breaks->name = "FX.GemBreak";
    breaks->Create(512);
    breaks->renderStateWord = 0x108;
    // Each emit call then spawns exactly its count.
    breaks->rateMode = false;
    breaks->emitRate = 1000.0f;
    breaks->sizeRandom = false;
    breaks->sizeMin = 0.25f;
    breaks->sizeMax = 2.0f;
    breaks->sizeRate = 0.75f;
    breaks->fadeTime = 0.5f;
    breaks->lifespan = 0.45f;
    breaks->maxSpeed = 0.0f;
    SetColour(breaks->colour, white);
    breaks->gravity = 0.0f;
    breaks->gravityDirection = Vector3();
    breaks->spaceMode = 1;
    // No spin: the pieces and flashes face the camera as they are.
    breaks->spinMode = 0;
    breaks->spinRandom = true;
    if (CMATMaterial* material = FindMaterial("StarHalo")) breaks->SetMaterial(material);
  }
  if (ParticleManager* pieces = pool.Particles(kPieceParticles)) {
    pieces->name = "FX.GemPieces";
    pieces->Create(512);
    pieces->renderStateWord |= 0x108;
    pieces->emitRate = 1000.0f;
    pieces->sizeMin = 0.0f;
    pieces->sizeMax = 0.25f;
    pieces->sizeRate = -0.25f;
    pieces->fadeTime = -0.5f;
    pieces->maxSpeed = 0.125f;
    SetColour(pieces->colour, white);
    pieces->gravity = 0.0981f;
    pieces->gravityDirection = Vector3(0.0f, 0.0f, 1.0f);
    pieces->spaceMode = 1;
    pieces->spinMode = 0;
    pieces->spinRandom = true;
    pieces->quads = 1;
    if (CMATMaterial* material = FindMaterial("GemPieces")) pieces->SetMaterial(material);
  }
}

void GPuzzleRenderer::CreateBeamEffects() {
  EffectsPool& pool = EffectsPool::Instance();
  for (const BeamSlotSettings& settings : kBeamSlots) {
    BeamManager* beams = pool.Beams(settings.slot);
    if (beams == nullptr) continue;
    beams->Create(settings.capacity, settings.mode);
    UseBeamMaterial(*beams, settings.material);
    beams->driftSpeed = settings.driftSpeed;
    beams->length = settings.length;
    beams->startWidth = settings.startWidth;
    beams->endWidth = settings.endWidth;
    beams->growthSpeed = settings.growthSpeed;
    beams->fadeRate = settings.fadeRate;
    for (int k = 0; k < 6; ++k) beams->uvPairs[k] = settings.uvPairs[k];
  }
}

void GPuzzleRenderer::BurstGem(int colour, const Vector3& offset) {
  const Vector3 point = discCentre + offset;
  float rgba[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  if (const float* crystal = CrystalColour(colour)) SetColour(rgba, crystal);
  if (colour == kGemWhite) rgba[3] = kWhiteBurstAlpha;
  EffectsPool& pool = EffectsPool::Instance();
  EmitAt(pool.Particles(kBreakParticles), point, rgba, 1);
  EmitAt(pool.Particles(kPieceParticles), point, rgba, kPiecesMinimum + RandomBelow(kPiecesSpread));
  if (BeamManager* beams = pool.Beams(kBurstBeams)) {
    SetColour(beams->colour, rgba);
    beams->SetPosition(point);
    for (int i = 0; i < kBurstBeamCount; ++i) {
      Vector3 direction(RandomFraction() * 2.0f - 1.0f, RandomFraction() * 2.0f - 1.0f, RandomFraction() * 2.0f - 1.0f);
      direction.Normalise();
      beams->Spawn(direction);
    }
  }
}

void GPuzzleRenderer::RainbowRing(const Vector3& point, float width) {
  const CGPuzzleDisc* disc = CurrentDisc();
  BeamManager* beams = EffectsPool::Instance().Beams(kRainbowBeams);
  if (disc == nullptr || beams == nullptr) return;
  const int points = static_cast<int>(disc->slotsPerRing / 2);
  if (points == 0) return;
  beams->driftSpeed = 0.0f;
  beams->startWidth = width;
  beams->endWidth = width;
  beams->length = 0.0f;
  beams->growthSpeed = 0.0f;
  beams->fadeRate = 0.25f;
  const float step = 360.0f / static_cast<float>(2 * points);
  // One arc each way round; they meet on the far side of the disc, Red on
  // one side and Indigo on the other.
  for (int side : {-1, 1}) {
    std::vector<BeamPoint> strip(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i) {
      BeamPoint& p = strip[static_cast<size_t>(i)];
      if (i == 0) {
        p.position = discCentre + point;
      } else {
        p.position = strip[static_cast<size_t>(i - 1)].position;
        p.position.RotateAboutY(static_cast<float>(side) * step, discCentre);
      }
      const int colour = kRainbowMiddleColour + side * (i * 4 / points);
      if (const float* crystal = CrystalColour(colour)) SetColour(p.colour, crystal);
    }
    beams->SpawnMany(strip.data(), points);
  }
}
