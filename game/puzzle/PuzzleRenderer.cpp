// The renderer's construction, its four states and the messages they answer.

#include "game/puzzle/PuzzleRenderer.h"

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/Maths.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/scene/model/ModelManager.h"
#include "game/puzzle/Constellation.h"
#include "game/puzzle/CrystalMaterials.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/GameProfile.h"
#include "game/puzzle/NovalithObject.h"
#include "game/rules/GameMessages.h"
#include "game/rules/PuzzleDisc.h"

const Vector3 GPuzzleRenderer::kDiscCentre{-6.125f, 0.0f, 0.0f};
const Vector3 GPuzzleRenderer::kRainbowRowOrigin{-5.0f, 0.0f, 0.0f};

namespace {

constexpr const char* kGemModelFiles[kGemTypeCount] = {
    "Resources/Models/Gems/GemTetra.3mx", "Resources/Models/Gems/GemCubicChamfer.3mx",
    "Resources/Models/Gems/GemOrb.3mx",   "Resources/Models/Gems/GemOctagonal.3mx",
    "Resources/Models/Gems/Novalith.3mx",
};
constexpr const char* kFocusMaterial = "FocusOrb";

// The first presentation of a game, and any with one disc left, turns
// the view further and slower than the presentations between discs.
constexpr float kLongPresentDegrees = 120.0f;
constexpr float kLongPresentSeconds = 3.0f;
constexpr float kShortPresentDegrees = 30.0f;
constexpr float kShortPresentSeconds = 1.0f;
constexpr float kClearingSeconds = 1.0f;
constexpr double kExplosionSeconds = 10.0;
// The disc is at least this full: the star turns unstable.
constexpr float kUnstableFill = 0.75f;
// A gem arrives in the queue every 0.125 s to 3.125 s while play goes on;
// the burst after a presentation arrives within 0.125 s to 1 s.
constexpr float kAcquireSpreadSeconds = 3.0f;
constexpr float kFirstAcquireSpreadSeconds = 0.875f;
constexpr float kAcquireMinimumSeconds = 0.125f;
// Where the pan of a newly presented constellation starts and looks from.
const Vector3 kPanStart{0.0f, 0.0f, 0.0f};
const Vector3 kPanViewCentre{4.0f, 0.0f, 4.0f};
constexpr float kRainbowSpacingFactor = 1.5f;

float FrameTime() { return Clock::Instance().GetGameDelta(); }

}  // namespace

int WrapColumn(int column, unsigned slotsPerRing) {
  if (slotsPerRing == 0) return 0;
  const int n = static_cast<int>(slotsPerRing);
  const int wrapped = column % n;
  return wrapped < 0 ? wrapped + n : wrapped;
}

GPuzzleRenderer::GPuzzleRenderer() {
  CMSGListener::name = "GPuzzleRenderer";
  SetActive(1);
  fsmPresent_.Set(this, "Novalith.Present", &GPuzzleRenderer::EnterPresent, &GPuzzleRenderer::UpdatePresent,
                  &GPuzzleRenderer::PresentMessage, &GPuzzleRenderer::ExitPresent);
  fsmInGame_.Set(this, "Novalith.InGame", &GPuzzleRenderer::EnterInGame, &GPuzzleRenderer::UpdateInGame,
                 &GPuzzleRenderer::InGameMessage, nullptr);
  fsmClearing_.Set(this, "Novalith.Clearing", &GPuzzleRenderer::EnterClearing, &GPuzzleRenderer::UpdateClearing,
                   &GPuzzleRenderer::ClearingMessage, &GPuzzleRenderer::ExitClearingOrExplosion);
  fsmExplosion_.Set(this, "Novalith.Explosion", &GPuzzleRenderer::EnterExplosion, &GPuzzleRenderer::UpdateExplosion,
                    &GPuzzleRenderer::NoMessage, &GPuzzleRenderer::ExitClearingOrExplosion);
  Next(&fsmPresent_);

  drawDelegates_[0] = [this] { DrawPresent(); };
  drawDelegates_[1] = [this] { DrawInGame(); };
  drawDelegates_[2] = [this] { DrawClearing(); };
  drawDelegates_[3] = [this] { DrawClearing(); };

  spin.Set(ValueStepper::kWrap, 0.0f, 360.0f, 0.0f, 0.0f);

  CreateGemEffects();
  CreateBeamEffects();

  star = std::make_unique<NovalithObject>();
  star->position = discCentre;
  star->Reset();

  CMATManager* materials = CMATManager::GetInstance();
  for (int colour = 0; colour < kGemColourCount; ++colour) {
    crystalMaterials[colour] = materials->GetMaterial(CrystalMaterialName(colour));
  }
  focusMaterial = materials->GetMaterial(kFocusMaterial);
  // Registered now, read by the model manager's next load.
  for (int type = 0; type < kGemTypeCount; ++type) {
    gemModels[type] = C3MEManager::Instance().GetModel(String(kGemModelFiles[type]));
  }
  ClearQueue();
  // Headless games build renderers too; GL state needs a context.
  if (GetDisplay()->HasContext()) SetupScene();
}

GPuzzleRenderer::~GPuzzleRenderer() {
  // Acquisitions still queued for this renderer must not reach another
  // object that is given its id later.
  GetGEMMSGService()->CancelMessagesTo(GetObjectId());
}

void GPuzzleRenderer::SetDiscs(DiscTable* table, uint32_t first, uint32_t count) {
  discTable_ = table;
  firstDisc_ = first;
  discCount_ = count < kMaxDiscsShown ? count : kMaxDiscsShown;
}

CGPuzzleDisc* GPuzzleRenderer::Disc(uint32_t i) const {
  if (discTable_ == nullptr || i >= discCount_) return nullptr;
  const size_t index = static_cast<size_t>(firstDisc_) + i;
  return index < discTable_->size() ? (*discTable_)[index].get() : nullptr;
}

void GPuzzleRenderer::ClearQueue() {
  for (GemMotion& record : queue) record.active = false;
}

void GPuzzleRenderer::DrawCurrent() {
  if (currentDraw_ != nullptr && *currentDraw_) (*currentDraw_)();
}

int32_t GPuzzleRenderer::ProfileConstellation() const {
  return profile != nullptr ? static_cast<int32_t>(profile->Current().constellationIndex) : -1;
}

void GPuzzleRenderer::PostToStar(uint32_t id, double delaySeconds) {
  if (star) PostGameMessageTo(GetObjectId(), star->ReceiverId(), id, 0, delaySeconds);
}

void GPuzzleRenderer::PostToSelf(uint32_t id, double delaySeconds) {
  PostGameMessageTo(GetObjectId(), GetObjectId(), id, 0, delaySeconds);
}

void GPuzzleRenderer::UpdateFlightsAndQueue(float dt) {
  UpdateBreakingGems(CurrentDisc(), dt);
  UpdateDroppedGem(CurrentDisc(), dt);
  UpdateQueue(dt);
}

void GPuzzleRenderer::UpdatePlane(float dt) {
  if (galacticPlane != nullptr) galacticPlane->Update(dt);
}

void GPuzzleRenderer::AcquireAndRepeat() {
  if (CGPuzzleDisc* disc = CurrentDisc(); disc != nullptr && disc->queue) AcquireGem(*disc->queue);
  PostToSelf(eMSG_GAcquireGem, RandomFloat(kAcquireSpreadSeconds) + kAcquireMinimumSeconds);
}

// ---- Present ----

void GPuzzleRenderer::EnterPresent() {
  currentDraw_ = &drawDelegates_[0];
  if (!firstPresentation && discCount_ != 1) {
    presentChannel.Set(AnimChannel::kSmoothRise, false, kShortPresentDegrees, 0.0f, kShortPresentSeconds);
  } else {
    presentChannel.Set(AnimChannel::kSmoothRise, false, kLongPresentDegrees, 0.0f, kLongPresentSeconds);
    firstPresentation = false;
    if (galacticPlane != nullptr) {
      const int32_t index = ProfileConstellation();
      if (index >= 0 && static_cast<size_t>(index) < galacticPlane->constellations.size()) {
        galacticPlane->current = index;
        Constellation& constellation = galacticPlane->constellations[static_cast<size_t>(index)];
        constellation.panStart = kPanStart;
        constellation.viewCentre = kPanViewCentre;
      } else {
        galacticPlane->current = -1;
      }
    }
  }
  ClearQueue();
}

void GPuzzleRenderer::UpdatePresent() {
  const float dt = FrameTime();
  UpdateFlightsAndQueue(dt);
  bool arrived = true;
  if (galacticPlane != nullptr) {
    galacticPlane->Update(dt);
    const int32_t current = galacticPlane->current;
    if (current >= 0 && static_cast<size_t>(current) < galacticPlane->constellations.size()) {
      arrived = galacticPlane->constellations[static_cast<size_t>(current)].PanToCurrentStar(dt);
    }
  }
  presentChannel.Update(dt);
  if (presentChannel.Finished() && arrived) Next(&fsmInGame_);
}

void GPuzzleRenderer::PresentMessage(CMSGMessage* message) {
  if (message->id != eMSG_GAcquireGem) return;
  AcquireAndRepeat();
  message->handled |= 1;
}

void GPuzzleRenderer::ExitPresent() {
  const uint32_t spread = queueLength > 2 ? queueLength - 2 : 0;
  const int acquisitions = RandomBelow(static_cast<uint16_t>(spread)) + 2;
  for (int i = 0; i < acquisitions; ++i) {
    PostToSelf(eMSG_GAcquireGem, RandomFloat(kFirstAcquireSpreadSeconds) + kAcquireMinimumSeconds);
  }
  PostGameMessage(eMSG_GUnlockPuzzle, 0, 0.0);
}

// ---- InGame ----

void GPuzzleRenderer::EnterInGame() { currentDraw_ = &drawDelegates_[1]; }

void GPuzzleRenderer::UpdateInGame() {
  CGPuzzleDisc* disc = CurrentDisc();
  if (disc != nullptr) {
    PostToStar(disc->GetFillRatio() >= kUnstableFill ? eMSG_GNovalithUnstable : eMSG_GNovalithStable, 0.0);
  }
  const float dt = FrameTime();
  UpdateSpin(disc, dt);
  UpdateFallingGems(disc, dt);
  UpdateFlightsAndQueue(dt);
  UpdatePlane(dt);
}

void GPuzzleRenderer::InGameMessage(CMSGMessage* message) {
  switch (message->id) {
    case eMSG_GMatchedRainbow: {
      CGPuzzleDisc* disc = CurrentDisc();
      if (disc == nullptr) break;
      const float spacing = RingSpacing() * kRainbowSpacingFactor;
      for (unsigned ring = 0; ring < disc->ringCount; ++ring) {
        // Turned the way the disc is drawn, as the breaking gems are.
        Vector3 point = SlotPosition(static_cast<int>(ring), disc->dropColumn);
        point.RotateAboutY(-spin.value);
        const float width =
            (static_cast<float>(ring) / static_cast<float>(disc->ringCount) + 0.5f) * (spacing / 2.0f) * 1.5f;
        RainbowRing(point, width);
      }
      break;
    }
    case eMSG_GDiscClear:
      Next(&fsmClearing_);
      break;
    case eMSG_GNovalithExplode:
      Next(&fsmExplosion_);
      break;
    case eMSG_GDropGem:
      LaunchSelectedGem();
      break;
    case eMSG_GAcquireGem:
      AcquireAndRepeat();
      break;
    case eMSG_GColourLeftDisc:
      if (message->parameter != 0) BurstQueuedColour(*reinterpret_cast<const int*>(message->parameter));
      break;
    default:
      return;
  }
  message->handled |= 1;
}

void GPuzzleRenderer::LaunchSelectedGem() {
  if (!droppedGem.active && selected >= 0 && static_cast<uint32_t>(selected) < kQueueLength && queue[selected].active) {
    GemMotion& record = queue[selected];
    droppedGem.active = true;
    droppedGem.position = record.position;
    droppedGem.colour = record.colour;
    droppedGem.type = record.type;
    droppedGem.direction = Vector3(-1.0f, 0.0f, 0.0f);
    droppedGem.speed = 1.0f;
    record.active = false;
  }
  bool anyActive = false;
  for (const GemMotion& record : queue) anyActive = anyActive || record.active;
  if (!anyActive) selected = -1;
}

void GPuzzleRenderer::BurstQueuedColour(int colour) {
  for (uint32_t i = 0; i < kQueueLength; ++i) {
    GemMotion& record = queue[i];
    if (!record.active || record.colour != colour) continue;
    BurstGem(record.colour, record.position - discCentre);
    record.active = false;
    if (selected == static_cast<int32_t>(i)) selected = -1;
  }
}

// ---- Clearing ----

void GPuzzleRenderer::EnterClearing() {
  currentDraw_ = &drawDelegates_[2];
  PostToStar(eMSG_GDiscClear, 0.0);
  // Falls from 1 to 0.
  clearingChannel.Set(AnimChannel::kFallFast, false, 0.0f, 1.0f, kClearingSeconds);
  clearDonePosted = false;
}

void GPuzzleRenderer::UpdateClearing() {
  const float dt = FrameTime();
  UpdateFlightsAndQueue(dt);
  clearingChannel.Update(dt);
  if (clearingChannel.Finished() && !clearDonePosted) {
    clearDonePosted = true;
    PostGameMessage(eMSG_GRendererClearDone, 0, 0.0);
  }
  UpdatePlane(dt);
}

void GPuzzleRenderer::ClearingMessage(CMSGMessage* message) {
  if (message->id != eMSG_GNextDisc) return;
  Next(&fsmPresent_);
  message->handled |= 1;
}

void GPuzzleRenderer::ExitClearingOrExplosion() {
  if (star) star->Reset();
}

// ---- Explosion ----

void GPuzzleRenderer::EnterExplosion() {
  currentDraw_ = &drawDelegates_[3];
  // The board stays on screen at full size while it bursts apart.
  clearingChannel.Set(AnimChannel::kLinear, false, 1.0f, 1.0f, 0.0f);
  if (CGPuzzleDisc* disc = CurrentDisc()) disc->BreakAll();
  PostToStar(eMSG_GNovalithExplode, 0.0);
  PostGameMessage(eMSG_GNovalithExplosionFinished, 0, kExplosionSeconds);
}

void GPuzzleRenderer::UpdateExplosion() {
  const float dt = FrameTime();
  UpdateFlightsAndQueue(dt);
  UpdatePlane(dt);
}
