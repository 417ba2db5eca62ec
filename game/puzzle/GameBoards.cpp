// The discs the game plays: the Challenge's board files and the Panic's
// random discs, and the start of each disc.

#include <string>

#include "engine/foundation/Log.h"
#include "engine/foundation/Maths.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/NovalithObject.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/BoardFile.h"
#include "platform/Random.h"

namespace {

constexpr const char* kBoardFolder = "Resources/Boards/Challenge/";
constexpr const char* kBoardExtension = ".stars";
constexpr int kRandomPasses = 10;
// Share of the empty slots a pass of the random builder fills.
constexpr int kRandomFillPercent = 80;

std::string TrimTrailingBlanks(const char* text) {
  std::string trimmed = text;
  while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.pop_back();
  return trimmed;
}

// An index outside [0, count) becomes 0, with a log line.
uint32_t IndexInRange(uint32_t& index, uint32_t count, const char* what) {
  if (index >= count) {
    LogWarning("The profile's %s %u is outside 0 to %u; starting at 0", what, index, count == 0 ? 0 : count - 1);
    index = 0;
  }
  return index;
}

}  // namespace

bool Game::LoadBoards() {
  if (!profile || galacticPlane == nullptr) {
    LogError("No board: the game has no profile or no constellation list");
    return false;
  }
  // Each failure below is told once, by the reader of the file at fault.
  if (galacticPlane->constellations.empty()) return false;
  ModeStats& stats = profile->Current();
  std::vector<Constellation>& constellations = galacticPlane->constellations;
  const uint32_t current =
      IndexInRange(stats.constellationIndex, static_cast<uint32_t>(constellations.size()), "constellation");
  Constellation& constellation = constellations[current];
  if (constellation.starCount == 0) {
    // A definition that failed to read has said why already.
    if (constellation.definitionRead) {
      LogError("Load failed! Constellation %s has no stars", constellation.definitionPath.Chars());
    } else if (constellation.definitionPath.IsEmpty()) {
      LogError("Load failed! Constellation %u of the list has no definition", current);
    }
    return false;
  }
  IndexInRange(stats.discIndex, constellation.starCount, "disc");
  const std::string path = kBoardFolder + TrimTrailingBlanks(constellation.name.Chars()) + kBoardExtension;
  if (!ReadBoardFile(path.c_str())) return false;
  // One disc per star: a shorter board would leave stars without a disc.
  if (discs.size() < constellation.starCount) {
    LogError("Load failed! %s has %u discs for %u stars", path.c_str(), static_cast<unsigned>(discs.size()),
             constellation.starCount);
    ReleaseDiscs();
    return false;
  }
  for (uint32_t i = 0; i < current; ++i) constellations[i].completed = constellations[i].starCount;
  constellation.completed = stats.discIndex;
  if (hud != nullptr) hud->constellationName = constellation.name;
  StartDisc();
  return currentDisc != nullptr;
}

bool Game::ReadBoardFile(const char* path) {
  ReleaseDiscs();
  return ReadBoard(path, discs);
}

void Game::ReleaseDiscs() {
  if (currentDisc != nullptr) carriedRainbow_ = currentDisc->rainbowGem;
  currentDisc = nullptr;
  discs.clear();
}

void Game::BuildRandomDisc(unsigned index, unsigned rings, unsigned gems, float fillRatio, uint16_t colourBound,
                           uint16_t shapeBound) {
  if (index >= discs.size()) discs.resize(index + 1);
  if (discs[index].get() == currentDisc && currentDisc != nullptr) {
    carriedRainbow_ = currentDisc->rainbowGem;
    currentDisc = nullptr;
  }
  discs[index] = std::make_unique<CGPuzzleDisc>(rings, gems);
  CGPuzzleDisc& disc = *discs[index];
  disc.queue->Init(rings * gems);
  disc.queue->Init(kGeneratedPipeLength);
  disc.queue->mode = kPipeGenerated;
  // Colours and shapes beyond the tables would index past them.
  const uint16_t colours = static_cast<uint16_t>(colourBound < kGemColourCount - 1 ? colourBound + 1 : kGemColourCount);
  const uint16_t shapes = static_cast<uint16_t>(shapeBound < kGemTypeCount - 1 ? shapeBound + 1 : kGemTypeCount);
  const unsigned slots = rings * gems;
  float achieved = 0.0f;
  for (int pass = 0; pass < kRandomPasses && achieved < fillRatio && slots > 0; ++pass) {
    for (unsigned r = 0; r < rings; ++r) {
      for (unsigned s = 0; s < gems; ++s) {
        CGPuzzleGem& gem = disc.GemAt(static_cast<int>(r), static_cast<int>(s));
        if (gem.state != GemState::Empty) continue;
        // The last ring stays empty: the player drops into it.
        if (r + 1 < rings && platform::NextRandom() % 100 < kRandomFillPercent) {
          gem.SetColour(RandomBelow(colours));
          gem.type = RandomBelow(shapes);
          gem.state = GemState::Settled;
        } else {
          gem = CGPuzzleGem();
        }
      }
    }
    achieved = static_cast<float>(disc.CountGems()) / static_cast<float>(slots);
  }
  disc.Compact();
}

void Game::SelectCurrentDisc() {
  const CGPuzzleGem rainbow = currentDisc != nullptr ? currentDisc->rainbowGem : carriedRainbow_;
  if (discs.empty()) {
    currentDisc = nullptr;
    return;
  }
  uint32_t index = 0;
  if (profile) index = IndexInRange(profile->Current().discIndex, static_cast<uint32_t>(discs.size()), "disc");
  currentDisc = discs[index].get();
  if (currentDisc == nullptr) return;
  currentDisc->rainbowGem = rainbow;
  currentDisc->Rotate(0);
  if (hud != nullptr) hud->totalStars = static_cast<uint32_t>(discs.size());
}

void Game::StartDisc() {
  SelectCurrentDisc();
  if (currentDisc == nullptr) return;
  CGPuzzlePipe& queue = *currentDisc->queue;
  // A queue left blank in the board file is drawn from the disc instead.
  if (queue.IsUniform()) {
    currentDisc->TakeCensus();
    queue.Clear();
    for (unsigned i = 0; i < queue.capacity; ++i) queue.Generate();
  }
  ShowCurrentDiscs();
  if (renderer != nullptr) {
    if (renderer->star) renderer->star->capacity = currentDisc->CountGems();
    renderer->ClearQueue();
  }
  if (hud == nullptr) return;
  if (profile && profile->mode == kModeChallenge) {
    // The countdown is the star's par time; the clock starts again for it.
    hud->timeLeft = CurrentParSeconds();
    ModeStats& stats = profile->Current();
    stats.timePlayed += hud->elapsed;
    hud->elapsed = 0.0f;
  }
  hud->disc = currentDisc;
}

float Game::CurrentParSeconds() const {
  if (!profile || galacticPlane == nullptr) return 0.0f;
  const ModeStats& stats = profile->modes[kModeChallenge];
  const std::vector<Constellation>& constellations = galacticPlane->constellations;
  if (stats.constellationIndex >= constellations.size()) return 0.0f;
  const Constellation& constellation = constellations[stats.constellationIndex];
  return stats.discIndex < constellation.stars.size() ? constellation.stars[stats.discIndex].parSeconds : 0.0f;
}
