#pragma once

// The part of a player profile the game's rules work on: the progress of
// both modes, the counters the scoring raises and the rainbow run. The
// shell's profile derives from it and adds the file, the achievements and
// the statistics page; exactly one profile is current at a time.

#include <cstdint>

#include "engine/foundation/String.h"
#include "game/rules/MatchRecord.h"
#include "game/rules/PuzzleGem.h"

enum GameMode : int32_t {
  kModeChallenge = 0,
  kModePanic = 1,
};
constexpr int kModeCount = 2;

// One mode's progress.
struct ModeStats {
  // Points counted so far in the mode's current run.
  uint32_t score = 0;
  // Points earned but not yet moved into the score (UpdateScore moves them).
  uint32_t pendingScore = 0;
  // The current disc within the current constellation (Challenge).
  uint32_t discIndex = 0;
  uint32_t discsCompleted = 0;
  uint32_t parCompletions = 0;
  uint32_t totalStars = 0;
  // The current constellation; it selects the Challenge's board file.
  uint32_t constellationIndex = 0;
  uint32_t constellationCount = 0;
  uint32_t level = 1;
  int32_t gemsToNextLevel = 100;
  float timePlayed = 0.0f;
};

class GameProfile {
 public:
  static constexpr int kAchievementCount = 28;

  // Becomes the current profile.
  GameProfile();
  // Stops being the current profile.
  virtual ~GameProfile();
  GameProfile(const GameProfile&) = delete;
  GameProfile& operator=(const GameProfile&) = delete;

  // Reads the profile of that name; false when it cannot be read.
  virtual bool Load(const String& profileName) = 0;
  // Writes the profile; false on failure.
  virtual bool Save() = 0;
  // Save, telling the player of a failure: one line on the terminal and in
  // the log naming the profile and, when known, its file and the reason.
  bool SaveReported();

  // Adds points to the current mode's pending score (saturating), then
  // raises the mode's best score to its score.
  void AddScore(uint64_t points);
  // Moves a quarter of the pending points into the score (all of them when
  // a quarter rounds to 0). The shell also checks achievements here.
  virtual void UpdateScore();
  // Counts cleared gems toward the next level; true when a level was gained.
  bool AddLevelProgress(int32_t gems);
  // Records one cleared group.
  void AddMatchStats(const MatchRecord& match);
  // Counts a completed disc of the current mode.
  void AddDiscCompleted(bool onPar);
  CGPuzzleGem GetRainbowGem() const { return rainbow; }

  // The current mode's record.
  ModeStats& Current() { return modes[mode == kModePanic ? kModePanic : kModeChallenge]; }
  uint32_t& BestScore() { return bestScore[mode == kModePanic ? kModePanic : kModeChallenge]; }
  uint32_t& BestLevel() { return bestLevel[mode == kModePanic ? kModePanic : kModeChallenge]; }

  String name;
  int32_t mode = kModeChallenge;
  ModeStats modes[kModeCount];
  uint32_t bestLevel[kModeCount] = {};
  // Big matches ("Excellent!" counts 2, "Incredible!" 1).
  uint32_t excellence = 0;
  // Cascade runs of 4 to 6 ("Skillful!") and of more than 6 ("Masterful!").
  uint32_t skillfulCascades = 0;
  uint32_t masterfulCascades = 0;
  uint32_t cascades = 0;
  uint32_t stars = 0;
  uint32_t parStars = 0;
  uint32_t constellations = 0;
  uint32_t panicStars = 0;
  uint32_t rainbows = 0;
  uint8_t achieved[kAchievementCount] = {};
  uint32_t bestScore[kModeCount] = {};
  uint32_t gemsCleared = 0;
  uint32_t gemsByColour[kGemColourCount] = {};
  uint32_t gemsByType[kGemTypeCount] = {};
  uint32_t typeMatches[kGemTypeCount] = {};
  // The current rainbow run: its colour is the next one the run needs, its
  // type the shape of the starting Red group, state Settled once started.
  CGPuzzleGem rainbow;
  // Why the last Save failed: the file and the system's reason (empty when
  // not known, and after a save that worked). Never stored.
  String saveFailure;
};

// The current profile, or null.
GameProfile* GetCurrentProfile();
// Makes a profile current again: a caller that loads a new profile beside the
// current one gives the current role back when the new one fails to load.
void SetCurrentProfile(GameProfile* profile);

// Adds without passing the largest value (scores are kept in 32 bits).
uint32_t AddSaturated(uint32_t value, uint64_t amount);
