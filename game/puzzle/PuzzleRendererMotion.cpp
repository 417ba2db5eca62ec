// Every gem of the renderer that is not resting in its slot: the queue, the
// dropped gem, gems falling inward and breaking gems flying to the centre;
// and the turn of the shown disc toward its drop column.

#include <cmath>

#include "engine/effects/BeamManager.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/Maths.h"
#include "game/puzzle/CrystalMaterials.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/GameMessages.h"
#include "game/rules/PuzzleDisc.h"
#include "game/rules/PuzzlePipe.h"

namespace {

// The dropped gem is lost this near the centre.
constexpr float kLostRadius = 0.125f;
// A breaking gem vanishes this near the centre.
constexpr float kVanishRadius = 0.1f;
// The shown disc turns this many times the remaining angle a second.
constexpr float kSpinRate = 10.0f;
constexpr int kFanBeamSlot = 2;

// The step every flight takes once a frame; dt enters only through the
// speed, as the frame loop is paced.
void Step(GemMotion& motion, float dt) {
  motion.speed += dt;
  motion.position += motion.direction * (GPuzzleRenderer::kMotionScale * motion.speed);
}

Vector3 Normalised(Vector3 v) {
  v.Normalise();
  return v;
}

void PostGemPlaced() { PostAudioMessage(eMSG_AInGame_PlayGemPlaced, 0, 0.0); }

// A free record of the set, grown to at least `size` records; null when all
// are busy.
GemMotion* FreeRecord(std::vector<GemMotion>& flights, size_t size) {
  if (flights.size() < size) flights.resize(size);
  for (GemMotion& record : flights) {
    if (!record.active) return &record;
  }
  return nullptr;
}

}  // namespace

// ---- Queue ----

void GPuzzleRenderer::AcquireGem(CGPuzzlePipe& pipe) {
  if (pipe.capacity == 0 || !pipe.entries) return;
  for (GemMotion& record : queue) {
    if (record.active) continue;
    const CGPuzzleGem& front = pipe.At(0);
    record.active = true;
    record.colour = front.colour;
    record.type = front.type;
    record.position.x = kQueueEntryX;
    record.speed = 0.0f;
    record.direction = Vector3(-1.0f, 0.0f, 0.0f);
    pipe.Advance();
    return;
  }
}

void GPuzzleRenderer::UpdateQueue(float dt) {
  bool anyActive = false;
  for (uint32_t i = 0; i < kQueueLength; ++i) {
    GemMotion& record = queue[i];
    if (!record.active) continue;
    anyActive = true;
    if (static_cast<int32_t>(i) != selected) {
      record.speed += dt;
      if (record.position.x < 0.0f) {
        for (uint32_t j = 0; j < kQueueLength; ++j) {
          const GemMotion& ahead = queue[j];
          if (j == i || !ahead.active || ahead.position.x >= record.position.x) continue;
          if ((record.position - ahead.position).Length() >= kQueueGap) continue;
          // Only a gem that arrives with speed snaps into place with a sound.
          if (record.speed > dt) {
            record.position = ahead.position + Vector3(kQueueGap, 0.0f, 0.0f);
            PostGemPlaced();
          }
          record.speed = 0.0f;
          break;
        }
      }
      record.position += record.direction * (kMotionScale * record.speed);
      if (record.position.x <= kQueueFrontX) {
        record.position.x = kQueueFrontX;
        record.speed = 0.0f;
        PostGemPlaced();
      }
    }
    if (record.position.x == kQueueFrontX && record.speed == 0.0f) selected = static_cast<int32_t>(i);
  }
  CGPuzzleDisc* disc = CurrentDisc();
  for (uint32_t i = 0; i < kQueueLength && disc != nullptr; ++i) {
    GemMotion& record = queue[i];
    if (!record.active || disc->HasLiveColour(record.colour)) continue;
    BurstGem(record.colour, record.position - discCentre);
    record.active = false;
    if (selected == static_cast<int32_t>(i)) selected = -1;
  }
  if (!anyActive) selected = -1;
}

// ---- Dropped gem ----

void GPuzzleRenderer::UpdateDroppedGem(CGPuzzleDisc* disc, float dt) {
  turnForwardAllowed = true;
  turnBackAllowed = true;
  if (!droppedGem.active) return;
  Step(droppedGem, dt);
  if (disc == nullptr) return;
  const Vector3 offset = droppedGem.position - discCentre;
  int ring = 0;
  int column = 0;
  if (!FindSlotAt(offset, ring, column)) return;
  column = WrapColumn(column, disc->slotsPerRing);
  // A turn by +1 brings column + 1 under the gem, a turn by -1 column - 1:
  // neither may bring a taken slot into its path.
  turnForwardAllowed = disc->GemAt(ring, column + 1).state == GemState::Empty;
  turnBackAllowed = disc->GemAt(ring, column - 1).state == GemState::Empty;

  bool land = false;
  if (ring == 0) {
    if (disc->GemAt(0, column).state == GemState::Empty) {
      land = true;
    } else if (offset.Length() <= kLostRadius) {
      droppedGem.active = false;
      BurstGem(droppedGem.colour, offset);
    }
  } else {
    const bool outermost = ring == static_cast<int>(disc->ringCount) - 1;
    if (outermost && disc->GemAt(ring, column).state != GemState::Empty) {
      droppedGem.active = false;
      BurstGem(droppedGem.colour, offset);
    } else if (disc->GemAt(ring, column).state == GemState::Empty &&
               disc->GemAt(ring - 1, column).state != GemState::Empty) {
      land = true;
    }
  }
  if (!land) return;
  droppedGem.active = false;
  if (!disc->PlaceGem(ring, column, true, droppedGem.colour, droppedGem.type)) {
    LogGEM("The dropped gem found no room at ring %d, column %d and is lost", ring, column);
  }
}

// ---- Falling gems ----

void GPuzzleRenderer::UpdateFallingGems(CGPuzzleDisc* disc, float dt) {
  if (disc == nullptr) return;
  const size_t slots = static_cast<size_t>(disc->ringCount) * disc->slotsPerRing;
  for (unsigned r = 0; r < disc->ringCount; ++r) {
    for (unsigned c = 0; c < disc->slotsPerRing; ++c) {
      const int ring = static_cast<int>(r);
      const int column = static_cast<int>(c);
      CGPuzzleGem& gem = disc->GemAt(ring, column);
      if (gem.state != GemState::Falling) continue;
      // With every record busy the slot waits for a later frame.
      GemMotion* record = FreeRecord(fallingFlights, slots);
      if (record == nullptr) continue;
      const int fall = static_cast<int>(disc->CountEmptyInward(ring, column));
      const Vector3 start = SlotPosition(ring, column);
      const Vector3 goal = SlotPosition(ring - fall, column);
      record->active = true;
      record->origin = start;
      record->position = start;
      record->direction = Normalised(start) * -1.0f;
      record->speed = 0.0f;
      record->travelDistance = (start - goal).Length();
      record->targetRing = ring - fall;
      record->column = column;
      record->ring = ring;
      record->colour = gem.colour;
      record->type = gem.type;
      gem.state = GemState::InFlight;
    }
  }
  for (GemMotion& record : fallingFlights) {
    if (!record.active) continue;
    disc->GemAt(record.ring, record.column).state = GemState::Empty;
    Step(record, dt);
    FindSlotAtLocal(record.position, record.ring, record.column);
    if (record.ring >= static_cast<int>(disc->ringCount)) record.ring = static_cast<int>(disc->ringCount) - 1;
    if ((record.position - record.origin).Length() >= record.travelDistance) {
      record.active = false;
      if (!disc->PlaceGem(record.ring, record.column, false, record.colour, record.type)) {
        LogGEM("A falling gem found no room at ring %d, column %d and is lost", record.ring, record.column);
      }
    } else {
      disc->GemAt(record.ring, record.column).state = GemState::InFlight;
    }
  }
}

// ---- Breaking gems ----

void GPuzzleRenderer::UpdateBreakingGems(CGPuzzleDisc* disc, float dt) {
  if (disc != nullptr) {
    const size_t slots = static_cast<size_t>(disc->ringCount) * disc->slotsPerRing;
    BeamManager* fan = EffectsPool::Instance().Beams(kFanBeamSlot);
    for (unsigned r = 0; r < disc->ringCount; ++r) {
      const unsigned n = disc->slotsPerRing;
      const float angleStep = 360.0f / static_cast<float>(n);
      for (unsigned c = 0; c < n; ++c) {
        const int ring = static_cast<int>(r);
        const int column = static_cast<int>(c);
        CGPuzzleGem& gem = disc->GemAt(ring, column);
        if (gem.state != GemState::Breaking) continue;
        GemMotion* record = FreeRecord(breakingFlights, slots);
        if (record != nullptr) {
          const float radius = RingRadius(ring, n);
          const float angle = static_cast<float>(c) * angleStep * kDegreesToRadians;
          Vector3 position(radius * std::cos(angle), 0.0f, radius * std::sin(angle));
          // Turned as the disc is drawn.
          position.RotateAboutY(-spin.value);
          record->active = true;
          record->origin = position;
          record->position = position;
          record->colour = gem.colour;
          record->type = gem.type;
          record->direction = Normalised(position) * -1.0f;
          record->speed = 0.0f;
          record->ring = ring;
          BurstGem(gem.colour, position);

          // A fan of beams runs along the ring on both sides, wider toward
          // the centre and where the neighbours break too.
          int spread = (static_cast<int>(disc->ringCount) - ring) / 2;
          if (spread < 1) spread = 1;
          int beams = (disc->GemAt(ring, column - 1).state == GemState::Breaking ? 2 : 1) +
                      (disc->GemAt(ring, column + 1).state == GemState::Breaking ? 1 : 0);
          beams *= spread;
          const float fanStep = 360.0f / static_cast<float>(n * static_cast<unsigned>(spread));
          if (fan != nullptr) {
            if (const float* rgba = CrystalColour(gem.colour)) {
              for (int k = 0; k < 4; ++k) fan->colour[k] = rgba[k];
            }
            for (float side : {-fanStep, fanStep}) {
              Vector3 from = discCentre + position;
              for (int b = 0; b < beams; ++b) {
                Vector3 to = from;
                to.RotateAboutY(side, discCentre);
                const Vector3 chord = to - from;
                fan->length = chord.Length();
                fan->SetPosition(from);
                fan->Spawn(Normalised(chord));
                from = to;
              }
            }
          }
        }
        // Emptied even without a free record: the match must not wait.
        gem.state = GemState::Empty;
      }
    }
  }
  for (GemMotion& record : breakingFlights) {
    if (!record.active) continue;
    Step(record, dt);
    if (record.position.Length() <= kVanishRadius) record.active = false;
  }
}

// ---- Spin ----

void GPuzzleRenderer::UpdateSpin(CGPuzzleDisc* disc, float dt) {
  if (disc == nullptr || disc->slotsPerRing == 0) return;
  const unsigned slots = disc->slotsPerRing;
  targetAngle = static_cast<float>(disc->dropColumn) * 360.0f / static_cast<float>(slots);
  if (targetAngle > 180.0f) targetAngle -= 360.0f;
  const float t = targetAngle * kDegreesToRadians;
  const float radius = RingRadius(disc->landingRing, slots);
  dropMarker = Vector3(std::cos(t), 0.0f, std::sin(t)) * radius;
  turn = targetAngle - spin.value;
  while (turn > 180.0f) turn -= 360.0f;
  while (turn < -180.0f) turn += 360.0f;
  spin.Step(dt * turn * kSpinRate);
}
