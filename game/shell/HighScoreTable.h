#pragma once

// The high-score file "00000000.dat" in the user folder and the operations
// on the game's two tables of ten rows. The file has no header: twenty
// records, rank by rank with the two modes side by side (record 2r + m),
// each the name and a zero byte, then the score and the stars (32-bit,
// little-endian).

#include <cstdint>

#include "game/puzzle/HighScoreEntry.h"
#include "game/shell/ProfileName.h"

class HighScoreTable {
 public:
  static constexpr const char* kFileName = "00000000.dat";
  // A damaged file is moved aside under its name and this ending.
  static constexpr const char* kDamagedSuffix = ".damaged";
  // Longest name a record may hold: that of a profile.
  static constexpr uint32_t kMaxNameBytes = kMaxProfileFileName;
  // The most a row can hold, as the table shows it: eight digits of score,
  // three of stars. A file holding more was not written by the game.
  static constexpr uint32_t kMaxScore = 99999999;
  static constexpr uint32_t kMaxStars = 999;

  // What a load found of the file.
  enum class FileState {
    Missing,  // no file (or a damaged one, now moved aside): a save makes one
    Read,     // read, whole or cut short
    Kept,     // there but unreadable: never saved over
  };

  // Reads the file (the user folder's, else the working directory's) into
  // the rows. Without a file nothing changes; a short file fills the rows it
  // reaches and logs one line. A file that cannot be read, or that holds a
  // record no game writes (a name that is not text of at most kMaxNameBytes,
  // a score or star count past the most a row holds), leaves the rows as
  // they were and is reported on the terminal; a damaged one is moved aside.
  static FileState Load(HighScoreRows& rows);
  // Writes both tables atomically; false (one line on the terminal naming
  // the file and the reason) when it fails.
  static bool Save(const HighScoreRows& rows);
  // Orders a mode's table by descending score; equal scores keep their order.
  static void Insert(HighScoreRows& rows, int32_t mode);
  // Enters a result of the current profile into a mode's table when it is at
  // least the lowest score there, then saves, unless the file was found
  // unreadable (Kept). Nothing changes for a lower score, no current profile
  // or a mode other than 0 or 1. A result past the most a row holds enters
  // as that most.
  static HighScoreOutcome AddAndSave(HighScoreRows& rows, int32_t mode, uint32_t score, uint32_t stars,
                                     FileState file = FileState::Read);
};
