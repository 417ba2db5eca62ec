#pragma once

// A player's profile: the progress and statistics the game's rules keep
// (the base), plus the name handling, the achievements and the profile file
// "Profiles/<name>.profile" in the user folder.

#include <memory>

#include "engine/foundation/String.h"
#include "game/puzzle/GameProfile.h"

class Profile : public GameProfile {
 public:
  // A fresh profile (empty name, both modes at their defaults); it becomes
  // the current profile.
  Profile() = default;
  ~Profile() override = default;

  // Assigns the name, lower-cased (names are stored lower-case).
  void SetName(const char* newName);
  // Stores the mode; starting Panic clears the previous Panic game's record
  // (the Panic best score and level stay).
  void SetMode(int32_t newMode);
  // True while neither mode has any play time.
  bool HasNeverPlayed() const;
  // True once a Challenge game has been played (it has play time); until
  // then a Challenge begins with the story.
  bool HasPlayedChallenge() const;

  // Moves part of the pending points into the score, raises the best score
  // to it and checks the achievements.
  void UpdateScore() override;
  // Sets each achievement whose condition has become true and announces it
  // to the game, in ascending order.
  void CheckAchievements();

  // Writes the profile file atomically; false (one log line, and the file
  // and reason in saveFailure) when the name is not a safe file name or the
  // file cannot be written.
  bool Save() override;
  // Reads the profile file of that name (the user folder's, else the working
  // directory's). False when it is missing, unsafe, unreadable or refused
  // (the last two told on the terminal); a refused file leaves the profile
  // as it was, a cut one loads as far as it goes.
  bool Load(const String& profileName) override;
  // Removes this profile's file from the user folder; true when it was removed.
  bool Delete();
  // True when there is a profile file of that name, also one that cannot be
  // read: such a file is never written over by a new profile.
  static bool Exists(const String& profileName);
};

// A new profile loaded by name, current on success. On failure it is
// dropped, whichever profile was current before is current again, and the
// result is null.
std::unique_ptr<Profile> LoadProfileNamed(const String& profileName);
// A new profile of that name written to its file, current on success. When
// the file cannot be written (told on the terminal) the profile is dropped,
// whichever profile was current before is current again, and the result is
// null: a profile that exists only in memory would lose the player's games.
std::unique_ptr<Profile> CreateProfileNamed(const String& profileName);
