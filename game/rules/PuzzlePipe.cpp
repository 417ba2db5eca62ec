#include "game/rules/PuzzlePipe.h"

#include "game/rules/GameRandom.h"
#include "game/rules/PuzzleDisc.h"
#include "platform/Random.h"

namespace {

constexpr int kGenerateAttempts = 100;
// Each time a colour came up in the last five, its chance to be taken again
// shrinks by this factor.
constexpr float kRecentColourWeight = 0.75f;
// A sequence hands over to generation when fewer board gems than this are
// left from the front on.
constexpr unsigned kSequenceReserve = 9;

// Draws values below count until one passes the share test; from then on
// the first value that is live on the disc is taken. Stale shares of 0 for
// every live value make this slow, never endless: a draw of 0 always passes.
template <class Live>
int DrawByShare(int count, const float* shares, Live isLive) {
  bool passed = false;
  int value = 0;
  for (;;) {
    if (passed && isLive(value)) return value;
    value = platform::NextRandom() % count;
    if (RandomFraction() <= shares[value]) passed = true;
  }
}

}  // namespace

CGPuzzlePipe::CGPuzzlePipe(CGPuzzleDisc* owner) : disc(owner) {}

void CGPuzzlePipe::Init(unsigned newCapacity) {
  entries.reset(newCapacity == 0 ? nullptr : new CGPuzzleGem[newCapacity]);
  head = 0;
  capacity = entries ? newCapacity : 0;
  Clear();
}

void CGPuzzlePipe::Clear() {
  head = 0;
  for (unsigned i = 0; i < capacity; ++i) entries[i].state = GemState::Empty;
}

CGPuzzleGem& CGPuzzlePipe::At(unsigned position) { return entries[(head + position) % capacity]; }

const CGPuzzleGem& CGPuzzlePipe::At(unsigned position) const { return entries[(head + position) % capacity]; }

void CGPuzzlePipe::Push(int colour, int shape) {
  if (capacity == 0) return;
  CGPuzzleGem& entry = entries[(head + capacity - 1) % capacity];
  entry.SetColour(colour);
  entry.type = shape;
  entry.state = GemState::Settled;
  head = (head + 1) % capacity;
}

void CGPuzzlePipe::Advance() {
  if (capacity == 0) return;
  if (mode == kPipeSequence) {
    AdvanceSequence();
  } else if (mode == kPipeGenerated) {
    Generate();
  } else {
    Push(platform::NextRandom() % kGemColourCount, kGemTetra);
  }
}

void CGPuzzlePipe::AdvanceSequence() {
  ++head;
  bool wrapped = false;
  if (head >= capacity) {
    head = 0;
    wrapped = true;
  }
  const bool nearEnd = capacity >= kSequenceReserve && head >= capacity - kSequenceReserve;
  if (wrapped || nearEnd || entries[head].state != GemState::Settled) mode = kPipeGenerated;
}

int CGPuzzlePipe::DrawColour() const {
  return DrawByShare(kGemColourCount, disc->colourShares, [this](int c) { return disc->HasLiveColour(c); });
}

int CGPuzzlePipe::DrawShape() const {
  return DrawByShare(kGemTypeCount, disc->shapeShares, [this](int s) { return disc->HasLiveType(s); });
}

void CGPuzzlePipe::Generate() {
  if (capacity == 0 || !disc->HasLiveGem()) return;
  int colour = 0;
  int shape = 0;
  for (int attempt = 0; attempt < kGenerateAttempts; ++attempt) {
    colour = DrawColour();
    shape = DrawShape();
    if (PassesRecencyTest(colour)) break;
  }
  Push(colour, shape);
  for (int i = 0; i + 1 < kRecentColours; ++i) recentColours[i] = recentColours[i + 1];
  recentColours[kRecentColours - 1] = colour;
}

bool CGPuzzlePipe::PassesRecencyTest(int colour) const {
  float weight = 1.0f;
  for (int recent : recentColours) {
    if (recent == colour) weight *= kRecentColourWeight;
  }
  return 0.2f + 0.8f * RandomFraction() <= weight;
}

void CGPuzzlePipe::RemoveDead() {
  for (unsigned i = 0; i < capacity; ++i) {
    if (At(i).state != GemState::Dead) continue;
    for (unsigned j = i; j + 1 < capacity; ++j) At(j) = At(j + 1);
    // With the front itself removed, the copy is the new front: Dead only
    // when the next entry was Dead too, and a later call removes that one.
    At(capacity - 1) = At(0);
  }
}

bool CGPuzzlePipe::IsUniform() const {
  if (capacity == 0) return false;
  const int frontColour = entries[head].colour;
  for (unsigned i = 0; i < capacity; ++i) {
    if (entries[i].colour != frontColour) return false;
  }
  return true;
}

void CGPuzzlePipe::KillColour(int colour) {
  for (unsigned i = 0; i < capacity; ++i) {
    // An Empty entry holds no gem of any colour.
    if (entries[i].colour == colour && entries[i].state != GemState::Empty) entries[i].state = GemState::Dead;
  }
}
