#pragma once

// The gem record kept by every disc slot, every queue entry and the disc's
// rainbow tracker, with the colour, shape and state numbers it holds.

#include "engine/foundation/AnimChannel.h"

// Colours 0-6 are the rainbow, in rainbow order.
enum GemColour : int {
  kGemRed = 0,
  kGemOrange = 1,
  kGemYellow = 2,
  kGemGreen = 3,
  kGemCyan = 4,
  kGemBlue = 5,
  kGemIndigo = 6,
  kGemWhite = 7,  // counts down, then breaks and whitens its ring neighbours
  kGemBlack = 8,  // joins a group of any colour
  kGemGold = 9,   // scores extra
};
constexpr int kGemColourCount = 10;

// The renderer's gem models are indexed by shape in this order.
enum GemType : int {
  kGemTetra = 0,
  kGemCubic = 1,
  kGemOrb = 2,
  kGemOctagon = 3,
  kGemStar = 4,
};
constexpr int kGemTypeCount = 5;

enum class GemState : int {
  Empty = 0,
  Settled = 1,   // at rest; the only state that matches
  Falling = 2,   // marked by gravity; the renderer moves it inward
  InFlight = 3,  // the slot is taken by a gem the renderer is moving
  Expired = 4,   // a White gem whose countdown ran out
  Breaking = 5,  // matched or exploded; the renderer empties the slot
  Dead = 6,      // a queued gem whose colour has left the disc
  Placed = 7,    // just landed, not yet tested for a match
};

// Settled, Falling, InFlight and Placed: a gem that is, or will be, in play.
bool IsLiveGemState(GemState state);

// Colour names "Red" to "Gold", then the end marker "Last" that lists stop at.
extern const char GemColourNames[kGemColourCount + 1][32];
// Shape names "Tetra" to "Star".
extern const char GemTypeNames[kGemTypeCount][32];

// The name of a colour; colours outside the table read as the end marker.
const char* GemColourName(int colour);

class CGPuzzleGem {
 public:
  static constexpr int kSpinChannels = 3;

  CGPuzzleGem();
  virtual ~CGPuzzleGem() = default;
  CGPuzzleGem(const CGPuzzleGem&) = default;
  CGPuzzleGem& operator=(const CGPuzzleGem&) = default;

  // Sets the colour; a White gem also starts a countdown of 5 to 15 seconds.
  void SetColour(int newColour);
  // Starts a White gem's countdown afresh.
  void StartCountdown();
  // Counts a White gem down (Expired when it runs out) and spins White,
  // Black and Gold gems; White ones spin faster as their time runs out.
  void Update(float dtSeconds);

  // Degrees of turn the renderer reads; the third channel never moves.
  AnimChannel spin[kSpinChannels];
  int colour = kGemRed;
  int type = kGemTetra;
  GemState state = GemState::Empty;
  // A White gem's seconds left, and the countdown's full length.
  float timer = 0.0f;
  float timerStart = 0.0f;
  // Set by a flood fill; cleared before each fill.
  bool visited = false;
  // Once found in a group of two or more, or recoloured by the group
  // generator; never cleared, read only by the generator.
  bool grouped = false;
};
