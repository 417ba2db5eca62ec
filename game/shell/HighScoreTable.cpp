#include "game/shell/HighScoreTable.h"

#include <cstring>
#include <string>
#include <utility>

#include "engine/foundation/File.h"
#include "engine/foundation/Log.h"
#include "game/puzzle/GameProfile.h"
#include "game/shell/PackedBytes.h"
#include "platform/AtomicFile.h"
#include "platform/UserFolder.h"

namespace {

constexpr int kRecords = kHighScoreTables * kHighScoresPerTable;
// A record: the longest name, its end byte and the two numbers.
constexpr size_t kMaxRecordBytes = HighScoreTable::kMaxNameBytes + 1 + 8;

bool IsValidMode(int32_t mode) { return mode >= 0 && mode < kHighScoreTables; }

// Where a name read at pos ends: the index of its zero byte or line feed,
// or of the end of the data when it runs out first. npos when it runs on
// past the longest name allowed.
size_t FindNameEnd(const uint8_t* bytes, size_t size, size_t pos) {
  for (size_t i = pos; i < size; ++i) {
    if (bytes[i] == '\0' || bytes[i] == '\n') return i;
    if (i - pos == HighScoreTable::kMaxNameBytes) return std::string::npos;
  }
  return size;
}

}  // namespace

void HighScoreTable::Load(HighScoreRows& rows) {
  const std::string path = platform::UserReadPath(kFileName);
  File file;
  if ((file.OpenRead(path.c_str()) & File::kOpen) == 0) return;
  // The longest file worth reading; anything beyond the twenty records is ignored.
  uint8_t bytes[kRecords * kMaxRecordBytes];
  const size_t size = file.ReadBlock(bytes, 1, sizeof bytes);
  file.Close();

  size_t pos = 0;
  for (int record = 0; record < kRecords; ++record) {
    // Record 2r + m is rank r of mode m.
    HighScoreEntry& entry = rows[record % kHighScoreTables][record / kHighScoreTables];
    if (pos == size) {
      LogGEM("High-score file %s is cut short : it holds %d of %d records", path.c_str(), record, kRecords);
      return;
    }
    const size_t nameEnd = FindNameEnd(bytes, size, pos);
    if (nameEnd == std::string::npos) {
      LogGEM("High-score file %s : name of record %d is longer than %u bytes, rest ignored", path.c_str(), record,
             kMaxNameBytes);
      return;
    }
    entry.name.AssignCharsLimited(reinterpret_cast<const char*>(bytes + pos), static_cast<uint32_t>(nameEnd - pos));
    pos = nameEnd < size ? nameEnd + 1 : size;
    uint32_t numbers[2] = {0, 0};
    const bool whole = size - pos >= sizeof numbers;
    for (int i = 0; i < 2 && size - pos >= 4; ++i, pos += 4) numbers[i] = packed::DecodeU32(bytes + pos);
    entry.score = numbers[0];
    entry.stars = numbers[1];
    if (!whole || nameEnd == size) {
      LogGEM("High-score file %s is cut short in record %d", path.c_str(), record);
      return;
    }
  }
}

bool HighScoreTable::Save(const HighScoreRows& rows) {
  std::string bytes;
  for (int record = 0; record < kRecords; ++record) {
    const HighScoreEntry& entry = rows[record % kHighScoreTables][record / kHighScoreTables];
    const uint32_t length = entry.name.Length();
    packed::AppendTerminated(bytes, entry.name.Chars(), length < kMaxNameBytes ? length : kMaxNameBytes);
    packed::AppendU32(bytes, entry.score);
    packed::AppendU32(bytes, entry.stars);
  }
  const std::string path = platform::UserWritePath(kFileName);
  if (!platform::ReplaceFileAtomically(path, bytes)) {
    LogGEM("Failed to write high-score file %s", path.c_str());
    return false;
  }
  return true;
}

void HighScoreTable::Insert(HighScoreRows& rows, int32_t mode) {
  if (!IsValidMode(mode)) return;
  HighScoreEntry* table = rows[mode];
  // Starts over after every swap; equal scores never swap, so the row that
  // was higher stays higher.
  for (int rank = 0; rank + 1 < kHighScoresPerTable;) {
    if (table[rank].score < table[rank + 1].score) {
      std::swap(table[rank].name, table[rank + 1].name);
      std::swap(table[rank].score, table[rank + 1].score);
      std::swap(table[rank].stars, table[rank + 1].stars);
      rank = 0;
    } else {
      ++rank;
    }
  }
}

bool HighScoreTable::AddAndSave(HighScoreRows& rows, int32_t mode, uint32_t score, uint32_t stars) {
  const GameProfile* profile = GetCurrentProfile();
  if (profile == nullptr || !IsValidMode(mode)) return false;
  Insert(rows, mode);
  HighScoreEntry& lowest = rows[mode][kHighScoresPerTable - 1];
  if (score < lowest.score) return false;
  // A result equal to the lowest replaces it and stays below the equal rows.
  lowest.name = profile->name;
  lowest.score = score;
  lowest.stars = stars;
  Insert(rows, mode);
  Save(rows);
  return true;
}
