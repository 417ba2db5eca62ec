// The high-score file: twenty records of a name and two numbers.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/FuzzTarget.h"
#include "game/shell/HighScoreTable.h"

FUZZ_TARGET(HighScoreFile) {
  // The user folder's own table, as the game reads it: a damaged one is
  // moved aside, and the copy is dropped again so none pile up.
  const std::string own = std::string("user/") + HighScoreTable::kFileName;
  fuzz::ScratchFile(own.c_str(), data, size);
  HighScoreRows rows{};
  const HighScoreTable::FileState state = HighScoreTable::Load(rows);
  std::filesystem::remove(own + HighScoreTable::kDamagedSuffix);
  HighScoreTable::Insert(rows, 0);
  HighScoreTable::Insert(rows, 1);
  if (state != HighScoreTable::FileState::Read) return;
  // Whatever was taken from a file is saved and taken back row for row.
  if (!HighScoreTable::Save(rows)) std::abort();
  HighScoreRows again{};
  if (HighScoreTable::Load(again) != HighScoreTable::FileState::Read) std::abort();
  for (int mode = 0; mode < kHighScoreTables; ++mode) {
    for (int rank = 0; rank < kHighScoresPerTable; ++rank) {
      const HighScoreEntry& a = rows[mode][rank];
      const HighScoreEntry& b = again[mode][rank];
      if (!(a.name == b.name) || a.score != b.score || a.stars != b.stars) std::abort();
    }
  }
}
