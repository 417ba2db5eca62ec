// Where the slots of a disc lie, and which slot a moving gem is over.

#include <cmath>

#include "engine/foundation/Maths.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/PuzzleDisc.h"

namespace {

// A disc of this many slots a ring has spacing 0.25; fewer slots space
// their rings wider.
constexpr float kReferenceSlots = 16.0f;
constexpr float kTwoPi = 2.0f * kPi;
// A gem exactly on a slot's centre (a falling gem before it moves, on a
// paused clock) must not round up into the ring outside it.
constexpr float kRingTolerance = 0.001f;

// Radius of ring 0's slot centres less one spacing: where the ring count
// starts.
float InnerRadius(unsigned slotsPerRing, float spacing) { return static_cast<float>(slotsPerRing) * spacing / kTwoPi; }

// Angle of (x, z) from +x toward +z, in [0, 360).
float AngleDegrees(float x, float z) {
  float angle = std::atan2(z, x) * kRadiansToDegrees;
  if (angle < 0.0f) angle += 360.0f;
  return angle >= 360.0f ? 0.0f : angle;
}

// The disc a slot lookup works on, with the answer cleared; null (nothing
// to find) without a disc or slots.
const CGPuzzleDisc* LookupDisc(const GPuzzleRenderer& renderer, int& ring, int& column) {
  ring = 0;
  column = 0;
  const CGPuzzleDisc* disc = renderer.CurrentDisc();
  return disc != nullptr && disc->slotsPerRing > 0 ? disc : nullptr;
}

}  // namespace

float GPuzzleRenderer::RingSpacingFor(unsigned slotsPerRing) {
  const float slots = slotsPerRing == 0 ? kReferenceSlots : static_cast<float>(slotsPerRing);
  return (kReferenceSlots / slots * 0.5f + 0.5f) * 0.25f;
}

float GPuzzleRenderer::RingRadius(int ring, unsigned slotsPerRing) {
  const float spacing = RingSpacingFor(slotsPerRing);
  return static_cast<float>(ring) * spacing + InnerRadius(slotsPerRing, spacing);
}

Vector3 GPuzzleRenderer::SlotPositionOn(unsigned slotsPerRing, int ring, int column) {
  const float radius = RingRadius(ring, slotsPerRing);
  const float slots = slotsPerRing == 0 ? 1.0f : static_cast<float>(slotsPerRing);
  const float angle = static_cast<float>(column) * 360.0f / slots * kDegreesToRadians;
  return Vector3(radius * std::cos(angle), 0.0f, radius * std::sin(angle));
}

float GPuzzleRenderer::RingSpacing() const {
  const CGPuzzleDisc* disc = CurrentDisc();
  return RingSpacingFor(disc != nullptr ? disc->slotsPerRing : 0);
}

Vector3 GPuzzleRenderer::SlotPosition(int ring, int column) const {
  const CGPuzzleDisc* disc = CurrentDisc();
  return SlotPositionOn(disc != nullptr ? disc->slotsPerRing : static_cast<unsigned>(kReferenceSlots), ring, column);
}

bool GPuzzleRenderer::FindSlotAt(const Vector3& offset, int& ring, int& column) const {
  const CGPuzzleDisc* disc = LookupDisc(*this, ring, column);
  if (disc == nullptr) return false;
  const unsigned slots = disc->slotsPerRing;
  const float spacing = RingSpacingFor(slots);
  const float b = -spin.value * kDegreesToRadians;
  const float x = offset.x * std::cos(b) - offset.z * std::sin(b);
  const float z = offset.x * std::sin(b) + offset.z * std::cos(b);
  float heading = HeadingDegreesOf(x, z) - 90.0f;
  while (heading < 0.0f) heading += 360.0f;
  while (heading >= 360.0f) heading -= 360.0f;
  const float distance = std::sqrt(x * x + z * z + offset.y * offset.y) - InnerRadius(slots, spacing);
  ring = RoundToInt(distance / spacing) - 1;
  if (ring < 0) ring = 0;
  column = WrapColumn(RoundToInt(heading / (360.0f / static_cast<float>(slots))), slots);
  // The heading is rounded up: with the spin a hair past the drop column
  // the next column comes out, and this takes it back.
  const int dropColumn = disc->dropColumn;
  if (column == 0 && dropColumn == static_cast<int>(slots) - 1) {
    column = -1;
  } else if (column > dropColumn) {
    column -= 1;
  }
  return static_cast<float>(disc->ringCount) * spacing >= distance;
}

bool GPuzzleRenderer::FindSlotAtLocal(const Vector3& position, int& ring, int& column) const {
  const CGPuzzleDisc* disc = LookupDisc(*this, ring, column);
  if (disc == nullptr) return false;
  const unsigned slots = disc->slotsPerRing;
  const float spacing = RingSpacingFor(slots);
  // The inverse of SlotPosition: a gem falling inward sits exactly on its
  // column's angle, so the nearest column is its own.
  const float step = 360.0f / static_cast<float>(slots);
  column = WrapColumn(static_cast<int>(std::lround(AngleDegrees(position.x, position.z) / step)), slots);
  const float distance = position.Length() - InnerRadius(slots, spacing);
  ring = RoundToInt(distance / spacing - kRingTolerance);
  if (ring < 0) ring = 0;
  return static_cast<float>(disc->ringCount) * spacing >= distance;
}
