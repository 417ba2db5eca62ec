#include "game/puzzle/NovalithObject.h"

#include <algorithm>

#include "engine/effects/BeamManager.h"
#include "engine/effects/ParticleManager.h"
#include "engine/foundation/Clock.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MSGSystem.h"
#include "game/puzzle/EffectsPool.h"
#include "game/rules/GameMessages.h"
#include "game/rules/GameRandom.h"
#include "game/rules/MatchRecord.h"
#include "platform/Random.h"

namespace {

// Colour indices 0 to 6 are the rainbow colours.
constexpr int kRainbowColours = 7;
// The colour an empty star explodes in ("GemCrystalBlack").
constexpr int kEmptyExplosionColour = 7;
constexpr float kStartTint[4] = {0.0f, 0.0f, 0.0f, 0.75f};
constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kBeamAlpha = 0.75f;
// Each colour's flare sits a little above the one before.
constexpr float kFlareRise = 0.0125f;
// Flare beams spawned per second at a full share of the crystals.
constexpr float kFlareBeamsPerSecond = 500.0f;
// Star beams go to a colour that wins one of these draws.
constexpr int kStarBeamPasses = 100;
constexpr int kStarBeamDraw = 10000;
constexpr int kStarBeamWinAbove = 8800;
constexpr int kQuakeStarBeams = 25;
constexpr int kExplosionStarBeams = 100;
constexpr int kExplosionParticleCount = 2000;
constexpr double kFirstFlareDelay = 0.5;
constexpr double kMaxFlareDelay = 0.25;
constexpr double kExplodeSoundDelay = 0.125;
// A delay of exactly 0 would deliver the flare inside its own handler's post.
constexpr double kShortestQueuedDelay = 1e-6;
// The beams' texture-coordinate pairs, per strip vertex.
constexpr float kBeamUVs[6][2] = {{0.0f, 0.0f}, {0.0f, 0.5f}, {0.5f, 0.0f}, {0.5f, 1.0f}, {1.0f, 0.5f}, {1.0f, 1.0f}};

float FrameTime() { return Clock::Instance().GetGameDelta(); }

// A random direction in the star's plane.
Vector3 RandomFlatDirection() {
  Vector3 direction(RandomFraction() * 2.0f - 1.0f, 0.0f, RandomFraction() * 2.0f - 1.0f);
  direction.Normalise();
  return direction;
}

void SetBeamColour(BeamManager& beams, const float* rgb) {
  std::copy(rgb, rgb + 3, beams.colour);
  beams.colour[3] = kBeamAlpha;
}

CMATMaterial* EffectMaterial(const char* name) { return CMATManager::GetInstance()->FindMaterial(name); }

void SetUpBeams(BeamManager* beams, const char* materialName, const Vector3& at) {
  if (beams == nullptr) return;
  beams->Create(256, 0);
  UseBeamMaterial(*beams, materialName);
  PlaceEffect(*beams, at);
  for (int pair = 0; pair < 6; ++pair) beams->uvPairs[pair] = Vector2(kBeamUVs[pair][0], kBeamUVs[pair][1]);
  beams->KillAll();
}

}  // namespace

NovalithObject::NovalithObject() {
  name = "Novalith";
  gemEndpoint_.name = "Novalith";
  GetGEMMSGService()->AddListener(&gemEndpoint_);
  SetActive(1);
  dormant_.Set(this, "Novalith.Dormant", &NovalithObject::EnterDormant, nullptr, &NovalithObject::DormantMessage,
               nullptr);
  growing_.Set(this, "Novalith.Growing", &NovalithObject::EnterGrowing, &NovalithObject::UpdateGrowing,
               &NovalithObject::GrowingMessage, nullptr);
  unstable_.Set(this, "Novalith.Unstable", &NovalithObject::EnterUnstable, &NovalithObject::UpdateUnstable,
                &NovalithObject::UnstableMessage, &NovalithObject::ExitUnstable);
  collapsing_.Set(this, "Novalith.Collapsing", &NovalithObject::EnterCollapsing, &NovalithObject::UpdateCollapsing,
                  nullptr, nullptr);
  exploding_.Set(this, "Novalith.Exploding", &NovalithObject::EnterExploding, nullptr, nullptr, nullptr);
}

NovalithObject::~NovalithObject() {
  // A flare still waiting must not reach a star that is gone.
  if (ReceiverId() < 0) return;
  CMSGSystem* system = CMSGSystem::Existing();
  if (CMSGService* service = system ? system->ServiceOfReceiver(ReceiverId()) : nullptr) {
    service->CancelMessagesTo(ReceiverId());
  }
}

void NovalithObject::Reset() {
  std::fill(std::begin(crystalCounts), std::end(crystalCounts), 0u);
  total = 0;
  glowLevel = 0.0f;
  glowTarget = 0.0f;
  for (int colour = 0; colour < kCrystalColourCount; ++colour) crystalColours[colour] = CrystalColour(colour);
  if (!effectsReady) {
    InitBeamEffects();
    InitParticleEffects();
    effectsReady = true;
  } else if (BeamManager* flares = EffectsPool::Instance().Beams(kFlareBeams)) {
    flares->KillAll();
  }
  explodePending = false;
  Next(&dormant_);
}

void NovalithObject::AddCrystals(const MatchRecord& match) {
  const int colour = match.colour;
  if (colour < 0 || colour >= kCrystalColourCount) return;
  fresh = false;
  EmitFlare(colour, static_cast<float>(match.gemCount) / 20.0f);
  crystalCounts[colour] += match.gemCount;
  total += match.gemCount;
  if (IsCurrent(&dormant_)) Next(&growing_);
  PostAudioMessage(eMSG_AInGame_PlayGemsCleared, 0, 0.0);
}

void NovalithObject::EmitFlare(int colour, float strength) {
  ParticleManager* halo = EffectsPool::Instance().Particles(kHaloParticles);
  if (halo == nullptr) return;
  PlaceEffect(*halo, Vector3(position.x, position.y + static_cast<float>(colour) * kFlareRise, position.z));
  const float k = strength * 0.5f + 1.0f;
  std::copy(ColourOf(colour), ColourOf(colour) + 3, halo->colour);
  halo->colour[3] = 1.0f;
  halo->sizeRate = 2.5f / k;
  halo->fadeTime = -1.0f / k;
  halo->lifespan = 1.5f * k;
  halo->enabled = true;
  if (halo->IsActive() == 0) halo->SetActive(1);
  halo->Emit(1);
  halo->enabled = false;
}

float NovalithObject::Fill() const {
  return total < capacity ? static_cast<float>(total) / static_cast<float>(capacity) : 1.0f;
}

void NovalithObject::SpawnStarBeam() {
  if (total == 0) return;
  const float fill = Fill();
  BeamManager* beams = EffectsPool::Instance().Beams(kStarBeams);
  if (beams != nullptr) {
    beams->driftSpeed = 0.35f + 0.125f * fill;
    beams->startWidth = 0.025f * fill;
    beams->endWidth = 0.1f * fill;
    beams->fadeRate = 0.5f * fill;
    beams->growthSpeed = 0.5f + fill;
    beams->length = 0.5f + 0.5f * fill * (1.0f + RandomFraction());
  }
  for (int pass = 0; pass < kStarBeamPasses; ++pass) {
    for (int colour = 0; colour < kCrystalColourCount; ++colour) {
      if (crystalCounts[colour] == 0 || platform::NextRandom() % kStarBeamDraw <= kStarBeamWinAbove) continue;
      const float share = static_cast<float>(crystalCounts[colour]) / static_cast<float>(total);
      const float* rgb = ColourOf(colour);
      for (int channel = 0; channel < 3; ++channel) tint[channel] = share * rgb[channel];
      if (beams != nullptr) {
        SetBeamColour(*beams, rgb);
        beams->Spawn(RandomFlatDirection());
      }
      return;
    }
  }
}

void NovalithObject::UpdateGlow(float dt) {
  const float level = Fill() * pulse.output;
  glowTarget = 0.25f + 0.95f * level;
  if (IsCurrent(&growing_)) {
    glowLevel += (glowTarget - glowLevel) * dt * 0.9f;
  } else {
    glowLevel = glowTarget;
  }
  BeamManager* flares = EffectsPool::Instance().Beams(kFlareBeams);
  if (flares != nullptr) {
    flares->driftSpeed = 0.0f;
    flares->startWidth = glowLevel * 0.75f;
    flares->endWidth = glowLevel * 0.25f;
    flares->length = 0.65f;
    flares->growthSpeed = 0.005f;
    flares->fadeRate = 0.25f + 2.0f * RandomFraction() * level;
  }
  tint[0] = tint[1] = tint[2] = 0.0f;
  tint[3] = 1.0f;
  for (int colour = 0; colour < kCrystalColourCount; ++colour) {
    const float share = total == 0 ? 0.0f : static_cast<float>(crystalCounts[colour]) / static_cast<float>(total);
    const float* rgb = ColourOf(colour);
    for (int channel = 0; channel < 3; ++channel) tint[channel] += share * rgb[channel];
    if (flares == nullptr) continue;
    SetBeamColour(*flares, rgb);
    const int count = static_cast<int>(share * dt * kFlareBeamsPerSecond);
    for (int beam = 0; beam < count; ++beam) flares->Spawn(RandomFlatDirection());
  }
}

void NovalithObject::Quake() {
  bool heldCrystals = false;
  total = 0;
  for (int colour = 0; colour < kCrystalColourCount; ++colour) {
    uint32_t& count = crystalCounts[colour];
    if (count == 0) continue;
    heldCrystals = true;
    EmitFlare(colour, 1.0f);
    count -= std::max(1u, static_cast<uint32_t>(static_cast<float>(count) * 0.75f));
    total += count;
  }
  for (int beam = 0; beam < kQuakeStarBeams; ++beam) SpawnStarBeam();
  // Only a quake that takes the last crystal kills the star: one on an
  // empty star would otherwise end the game after the next match refills it.
  if (heldCrystals && total == 0) died = true;
  PostAudioMessage(eMSG_AInGame_PlayNovalithCollapse, 0, 0.0);
}

void NovalithObject::InitBeamEffects() {
  EffectsPool& pool = EffectsPool::Instance();
  SetUpBeams(pool.Beams(kFlareBeams), "FX_StarFlare", position);
  SetUpBeams(pool.Beams(kStarBeams), "FX_StarBeams", position);
}

void NovalithObject::InitParticleEffects() {
  EffectsPool& pool = EffectsPool::Instance();
  if (ParticleManager* halo = pool.Particles(kHaloParticles)) {
    halo->name = "FX.Novalith.Halo";
    halo->Create(32);
    halo->renderStateWord = 0x108;
    halo->emitterType = 0;
    halo->emitRate = 1000.0f;
    halo->rateMode = false;
    halo->sizeMin = 0.0f;
    halo->sizeMax = 2.5f;
    halo->sizeRate = 2.5f;
    halo->fadeOn = true;
    halo->fadeTime = -1.0f;
    halo->lifespan = 1.0f;
    halo->maxSpeed = 0.0f;
    std::copy(std::begin(kWhite), std::end(kWhite), halo->colour);
    halo->gravity = 0.0f;
    halo->gravityDirection = Vector3();
    halo->spaceMode = 1;
    halo->SetMaterial(EffectMaterial("StarHalo"));
    PlaceEffect(*halo, Vector3(position.x, position.y + kFlareRise, position.z));
    halo->KillAll();
  }
  if (ParticleManager* explosion = pool.Particles(kExplosionParticles)) {
    explosion->name = "FX.Novalith.Explode";
    explosion->Create(2048);
    explosion->renderStateWord |= 0x108;
    explosion->emitterType = 0;
    explosion->emitRate = 100000.0f;
    explosion->sizeMin = 0.125f;
    explosion->sizeMax = 0.125f;
    explosion->sizeRate = 0.0f;
    explosion->fadeOn = true;
    explosion->fadeTime = 0.0f;
    explosion->maxSpeed = 0.01f;
    std::copy(std::begin(kWhite), std::end(kWhite), explosion->colour);
    explosion->gravity = 0.0f;
    explosion->gravityDirection = Vector3(0.0f, 0.0f, 1.0f);
    explosion->lifespan = 1000.0f;
    explosion->spaceMode = 1;
    explosion->SetMaterial(EffectMaterial("StarExplosion"));
    PlaceEffect(*explosion, position);
  }
}

// --- States ---------------------------------------------------------------

void NovalithObject::Request(CMSGMessage* message, FsmState* state) {
  message->handled |= 1;
  Next(state);
}

void NovalithObject::PostFlareToSelf(double delaySeconds) {
  PostGameMessageTo(ReceiverId(), ReceiverId(), eMSG_GNovalithFlare, 0, std::max(delaySeconds, kShortestQueuedDelay));
}

const float* NovalithObject::ColourOf(int colour) const {
  const float* rgba = colour >= 0 && colour < kCrystalColourCount ? crystalColours[colour] : nullptr;
  return rgba != nullptr ? rgba : kWhite;
}

void NovalithObject::EnterDormant() {
  std::fill(std::begin(crystalCounts), std::end(crystalCounts), 0u);
  total = 0;
  died = false;
  fresh = true;
}

void NovalithObject::DormantMessage(CMSGMessage* message) {
  if (message->id == eMSG_GNovalithExplode) {
    explodePending = true;
    Request(message, &collapsing_);
  }
}

void NovalithObject::EnterGrowing() { pulse.Set(AnimChannel::kRiseFast, false, 1.0f, 1.0f, 0.0f); }

void NovalithObject::UpdateGrowing() { UpdateGlow(FrameTime()); }

bool NovalithObject::CollapseOnRequest(CMSGMessage* message) {
  if (message->id == eMSG_GNovalithExplode) {
    explodePending = true;
  } else if (message->id != eMSG_GDiscClear) {
    return false;
  }
  Request(message, &collapsing_);
  return true;
}

void NovalithObject::GrowingMessage(CMSGMessage* message) {
  if (CollapseOnRequest(message)) return;
  if (message->id == eMSG_GNovalithUnstable) Request(message, &unstable_);
}

void NovalithObject::EnterUnstable() {
  for (int colour = 0; colour < kRainbowColours; ++colour) {
    if (crystalCounts[colour] > 0) EmitFlare(colour, 1.0f);
  }
  pulse.Set(AnimChannel::kRiseFast, false, 0.0f, 0.0f, 0.0f);
  PostFlareToSelf(kFirstFlareDelay);
  PostAudioMessage(eMSG_AInGame_PlayNovalithUnstable, 0, 0.0);
  PostGameMessage(eMSG_GNovalithUnstable, 0, 0.0);
}

void NovalithObject::UpdateUnstable() {
  pulse.Update(FrameTime());
  UpdateGlow(FrameTime());
  if (pulse.Finished()) StepUnstablePulse();
}

void NovalithObject::StepUnstablePulse() {
  // The intensity creeps up in small random steps and drops back once it
  // reaches a half.
  const float current = pulse.output;
  const float jitter = RandomFraction() * 0.0125f;
  float next = current < 0.5f ? current + jitter : jitter - current;
  if (next <= 0.0f) next = 0.125f;
  if (next > 1.0f) next = 1.0f;
  pulse.duration = (1.0f + RandomFraction()) * 0.125f;
  pulse.t = 0.0f;
  pulse.loop = false;
  if (current > next) {
    pulse.curve = AnimChannel::kFallFast;
    pulse.start = next;
    pulse.range = current - next;
  } else {
    pulse.curve = AnimChannel::kRiseFast;
    pulse.start = current;
    pulse.range = next - current;
  }
}

void NovalithObject::UnstableMessage(CMSGMessage* message) {
  if (CollapseOnRequest(message)) return;
  if (message->id == eMSG_GNovalithStable) {
    Request(message, &growing_);
  } else if (message->id == eMSG_GNovalithFlare) {
    message->handled |= 1;
    SpawnStarBeam();
    PostFlareToSelf(RandomFraction() * kMaxFlareDelay);
  }
}

void NovalithObject::ExitUnstable() { PostAudioMessage(eMSG_AInGame_StopNovalithUnstable, 0, 0.0); }

void NovalithObject::EnterCollapsing() {
  pulse.Set(AnimChannel::kRiseFast, false, 0.0f, 1.0f, 1.0f);
  PostAudioMessage(eMSG_AInGame_PlayNovalithCollapse, 0, 0.0);
}

void NovalithObject::UpdateCollapsing() {
  pulse.Update(FrameTime());
  UpdateGlow(FrameTime());
  if (pulse.Finished()) Next(explodePending ? &exploding_ : &dormant_);
}

void NovalithObject::EnterExploding() {
  if (total == 0) {
    EmitFlare(kEmptyExplosionColour, 1.0f);
    std::copy(std::begin(kStartTint), std::end(kStartTint), tint);
  } else {
    for (int colour = 0; colour < kRainbowColours; ++colour) {
      if (crystalCounts[colour] > 0) EmitFlare(colour, 1.0f);
    }
    for (int beam = 0; beam < kExplosionStarBeams; ++beam) SpawnStarBeam();
  }
  if (ParticleManager* explosion = EffectsPool::Instance().Particles(kExplosionParticles)) {
    explosion->KillAll();
    explosion->enabled = true;
    explosion->rateMode = false;
    std::copy(std::begin(tint), std::end(tint), explosion->colour);
    explosion->Emit(kExplosionParticleCount);
    explosion->enabled = false;
    explosion->rateMode = true;
  }
  pulse.Set(AnimChannel::kRiseFast, false, 0.0f, 0.0f, 0.0f);
  PostAudioMessage(eMSG_AInGame_PlayNovalithExplode, 0, kExplodeSoundDelay);
}
