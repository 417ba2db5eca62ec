#include "game/rules/PuzzleGem.h"

#include "engine/foundation/Maths.h"

namespace {

constexpr float kSpinDegrees = 360.0f;
constexpr float kSpinSeconds[CGPuzzleGem::kSpinChannels] = {5.0f, 5.0f, 0.0f};
constexpr float kShortestCountdown = 5.0f;
constexpr float kLongestCountdown = 15.0f;
// A White gem's spin speeds up from 0 to this as its countdown runs out.
constexpr float kExpirySpinSpeed = 2.0f;

}  // namespace

const char GemColourNames[kGemColourCount + 1][32] = {
    "Red", "Orange", "Yellow", "Green", "Cyan", "Blue", "Indigo", "White", "Black", "Gold", "Last",
};

const char GemTypeNames[kGemTypeCount][32] = {"Tetra", "Cubic", "Orb", "Octagon", "Star"};

bool IsLiveGemState(GemState state) {
  return state == GemState::Settled || state == GemState::Falling || state == GemState::InFlight ||
         state == GemState::Placed;
}

const char* GemColourName(int colour) {
  if (colour < 0 || colour >= kGemColourCount) return GemColourNames[kGemColourCount];
  return GemColourNames[colour];
}

CGPuzzleGem::CGPuzzleGem() {
  for (int i = 0; i < kSpinChannels; ++i) {
    spin[i].Set(AnimChannel::kPulse, true, 0.0f, kSpinDegrees, kSpinSeconds[i]);
  }
}

void CGPuzzleGem::SetColour(int newColour) {
  colour = newColour;
  if (colour == kGemWhite) StartCountdown();
}

void CGPuzzleGem::StartCountdown() { timer = timerStart = RandomRange(kShortestCountdown, kLongestCountdown); }

void CGPuzzleGem::Update(float dtSeconds) {
  float speed;
  if (colour == kGemWhite) {
    timer -= dtSeconds;
    if (timer <= 0.0f) state = GemState::Expired;
    // Every path that whitens a gem starts its countdown; a record made
    // White by hand without one spins at full speed rather than divide by 0.
    speed = timerStart > 0.0f ? kExpirySpinSpeed * (1.0f - timer / timerStart) : kExpirySpinSpeed;
  } else if (colour == kGemBlack || colour == kGemGold) {
    speed = 1.0f;
  } else {
    return;
  }
  // The third channel has no duration and would jump to its end: it stays.
  spin[0].Update(speed * dtSeconds);
  spin[1].Update(speed * dtSeconds);
}
