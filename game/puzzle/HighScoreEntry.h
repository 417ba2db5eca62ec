#pragma once

// One row of a high-score table. The game keeps two tables of ten rows, one
// per mode, row 0 the best; the shell loads, orders and saves them.

#include <cstdint>

#include "engine/foundation/String.h"

constexpr int kHighScoreTables = 2;
constexpr int kHighScoresPerTable = 10;

struct HighScoreEntry {
  String name;
  uint32_t score = 0;
  uint32_t stars = 0;
};

// Both tables, indexed by mode (0 Challenge, 1 Panic) and then by rank.
using HighScoreRows = HighScoreEntry[kHighScoreTables][kHighScoresPerTable];

// What became of a result offered to a table.
enum class HighScoreOutcome {
  NotEntered,  // below the lowest row (or no profile): nothing changed
  Saved,       // entered and the file written
  NotSaved,    // entered in the rows, but the file was not written
};
