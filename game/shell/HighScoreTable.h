#pragma once

// The high-score file "00000000.dat" in the user folder and the operations
// on the game's two tables of ten rows. The file has no header: twenty
// records, rank by rank with the two modes side by side (record 2r + m),
// each the name and a zero byte, then the score and the stars (32-bit,
// little-endian).

#include <cstdint>

#include "game/puzzle/HighScoreEntry.h"

class HighScoreTable {
 public:
  static constexpr const char* kFileName = "00000000.dat";
  // Longest name a record may hold.
  static constexpr uint32_t kMaxNameBytes = 255;

  // Reads the file (the user folder's, else the working directory's) into
  // the rows. Without a file nothing changes; a short file fills the rows it
  // reaches and logs one line.
  static void Load(HighScoreRows& rows);
  // Writes both tables atomically; false (one log line) when it fails.
  static bool Save(const HighScoreRows& rows);
  // Orders a mode's table by descending score; equal scores keep their order.
  static void Insert(HighScoreRows& rows, int32_t mode);
  // Enters a result of the current profile into a mode's table when it is at
  // least the lowest score there, then saves. True when it entered; false
  // (nothing changed) for a lower score, no current profile or a mode other
  // than 0 or 1.
  static bool AddAndSave(HighScoreRows& rows, int32_t mode, uint32_t score, uint32_t stars);
};
